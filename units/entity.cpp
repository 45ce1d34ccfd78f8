// The unit's construction, set-up and the frame every type shares (the rigs: entityrig.cpp).
#include "units/entity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/random.h"
#include "terrain/sectorstream.h"
#include "units/targets.h"
#include "world/weapons.h"

namespace {

const TTRVTheme* ThemeOf(const TTRVWorld& world, int unitType) {
  return world.FindTheme(UnitTypeInfo(unitType).themeName);
}

}  // namespace

TTRVEntity::TTRVEntity() { farTimer = 3.0f * static_cast<float>(platform::Random().Real()); }

TTRVEntity::~TTRVEntity() {
  // A unit freed on its own, out of a world that goes on, may still be another's target; one
  // freed with its side goes with every unit that could hold it.
  if (world && !Parent())
    ForEachUnit(*world, [this](TTRVEntity& other) {
      if (other.target == this) other.target = nullptr;
    });
}

const TTRVUnitHooks& TTRVEntity::Hooks() const {
  const int type = state.unitType < kUnitTypes ? static_cast<int>(state.unitType) : static_cast<int>(utTurret);
  return (*hooks)[static_cast<std::size_t>(type)];
}

void TTRVEntity::Setup(TTRVWorld& w, const TAffineVector& position, bool newUnit, const TTRVUnitState& source,
                       const TAffineVector& direction) {
  world = &w;
  if (newUnit) {
    // Only the identity of a new unit comes from its placement; everything else starts at zero.
    state = TTRVUnitState{};
    state.unitType = source.unitType;
    state.side = source.side;
    state.isPlayer = source.isPlayer;
  } else {
    state = source;
  }
  Position.SetPoint(position);
  if (VectorLength(direction) > 0) Direction.SetVector(direction);

  ChooseTargetSide();
  BuildRig(ThemeOf(w, state.unitType));
  if (newUnit) StartNewUnit();
  DrawEngageRange();

  const TTRVUnitTypeInfo& info = TypeInfo();
  // Turned -45 (toward +X) so that its own quarters sit diagonally to the unit's axes and
  // ClassifyDirection's 'L' falls on the unit's +X side and 'R' on its -X side; a +45 turn
  // would put 'L' straight ahead and 'R' behind.
  steerFrame = AddNewChild<TGLDummyCube>();
  steerFrame->Turn(-45);
  aimNode = AddNewChild<TGLDummyCube>();
  aimNode->Position.SetPoint(0, info.aimHeight, 0);
  imposterNode = AddNewChild<TGLImposter>();
  imposterNode->Builder = info.farImposter ? &w.farImposterBuilder : &w.nearImposterBuilder;
  const TTRVTheme* theme = ThemeOf(w, state.unitType);
  imposterNode->ImpostoredObject = theme ? theme->Object(0) : nullptr;
  imposterNode->Visible = false;
  soundNode = AddNewChild<TGLDummyCube>();

  // The box rides with the part that tilts: the fuselage for a helicopter, the model's root
  // otherwise.
  TGLBaseSceneObject* boxParent = Children(0);
  if (state.unitType == utHeli) boxParent = boxParent->Children(0);
  hitBox = boxParent->AddNewChild<TGLDummyCube>();
  hitBox->Position.SetPoint(info.hitBoxCentre);
  hitBox->Scale.SetVector(info.hitBoxScale);

  if (newUnit && state.isPlayer && state.unitType != utTurret) {
    const double difficulty = w.Context().settings.Difficulty;
    state.armour = static_cast<float>(static_cast<double>(state.armour) * difficulty *
                                      static_cast<double>(info.playerArmourFactor));
  }

  // Until something is aimed at, the guns look ahead rather than at the map's corner.
  controls.aimPoint = TVector(AbsoluteAffinePosition() + TAffineVector(AbsoluteDirection()) * 10.0f +
                                  TAffineVector(0, info.aimHeight, 0),
                              1);

  airBeacon = std::make_unique<TTRVAIBeacon>(*this, w.airPathFinder);
  groundBeacon = std::make_unique<TTRVAIBeacon>(*this, w.groundPathFinder);
  waterBeacon = std::make_unique<TTRVAIBeacon>(*this, w.waterPathFinder);
}

void TTRVEntity::ChooseTargetSide() {
  // Any side but the unit's own, each equally likely. With a single side there is no other
  // to choose, and the unit keeps its own (it then makes for its own objective); drawing
  // until the side differs would never end.
  const int sides = static_cast<int>(world->sides.size());
  const int own = state.side;
  if (sides < 2) {
    state.targetSide = state.side;
    return;
  }
  if (own >= sides) {
    state.targetSide = static_cast<std::uint8_t>(platform::Random().Int(sides));
    return;
  }
  int pick = platform::Random().Int(sides - 1);
  if (pick >= own) ++pick;
  state.targetSide = static_cast<std::uint8_t>(pick);
}

void TTRVEntity::DrawEngageRange() {
  const TTRVUnitTypeInfo& info = TypeInfo();
  engageRange = info.engageDraws > 0
                    ? static_cast<std::uint16_t>(info.engageBase + info.engageStep * platform::Random().Int(info.engageDraws))
                    : 0;
}

void TTRVEntity::StartNewUnit() {
  const float ground = SurfaceAt(GroundOf(*world), Position.AsAffineVector(), false).height;
  const TTRVUnitTypeInfo& info = TypeInfo();
  state.WreckDone() = 0;
  state.armour = info.baseArmour;
  switch (state.unitType) {
    case utHeli:
      Position.SetY(ground + 2);
      state.Altitude() = 1.0f;
      state.RotorSpeed() = 30;
      state.RocketPod() = 3;
      break;
    case utTank:
      Position.SetY(ground);
      state.Weapon() = weapons::tank::kMachineGun;
      break;
    case utBoat:
      Position.SetY(ground);
      break;
    default: {
      // Turrets on a naval base's pier stand at the height they were placed at.
      const bool navalBase = state.side < world->sides.size() && world->sides[state.side].navalBase != 0;
      if (!navalBase) Position.SetY(ground);
      state.Weapon() = platform::Random().Int(2) == 0 ? weapons::turret::kMachineGun : weapons::turret::kRockets;
      break;
    }
  }
}

void TTRVEntity::ShowDetail(bool near) {
  if (Count() > 0) Children(0)->Visible = near;
  if (imposterNode) imposterNode->Visible = !near;
}

char TTRVEntity::ClassifyDirection(const TAffineVector& point) const {
  const TAffineVector offset = point - AbsoluteAffinePosition();
  const float b = VectorDotProduct(offset, TAffineVector(steerFrame->AbsoluteRight()));
  const float a = VectorDotProduct(offset, TAffineVector(steerFrame->AbsoluteDirection()));
  if (b >= 0) return a >= 0 ? 'L' : a <= -b ? 'C' : 'Z';
  return a < 0 ? 'R' : a <= -b ? 'E' : 'Q';
}

int TTRVEntity::EngineFrequency() const {
  switch (state.unitType) {
    case utHeli: {
      const TVector& v = state.Velocity();
      return 22050 + static_cast<int>(std::trunc(1500.0f * VectorLength(TAffineVector(v))));
    }
    case utTank:
      return 10000 + std::abs(static_cast<int>(std::trunc(2000.0f * state.ForwardSpeed())));
    case utBoat:
      return 22050 + std::abs(static_cast<int>(std::trunc(2000.0f * state.ForwardSpeed())));
    default:
      return 0;
  }
}

TTRVUnitRef TTRVEntity::Ref() {
  TTRVUnitRef r;
  r.object = this;
  r.collisionBox = hitBox;
  r.armour = &state.armour;
  r.side = state.side;
  r.unitType = state.unitType;
  r.isPlayer = state.isPlayer != 0;
  r.isFar = isFar != 0;
  return r;
}

TTRVEntity::WreckWater TTRVEntity::SinkWreck(float dt) {
  const TTRVUnitTypeInfo& info = TypeInfo();
  if (!info.sinksAtSea) return WreckWater::None;
  const float y = Position.Y();
  // On the floor, or put far below it by the far step: left alone.
  if (y <= kWreckFloor) return WreckWater::Sunk;
  if (y >= info.sinkThreshold) return WreckWater::None;
  Position.SetY(std::max(y - kWreckSinkRate * dt, kWreckFloor));
  return WreckWater::Sinking;
}

void TTRVEntity::Progress(double deltaTime) {
  if (!world) return;  // never set up
  const float dt = static_cast<float>(deltaTime);
  const TAffineVector position = AbsoluteAffinePosition();
  sector = SectorAt(*world, position);

  // Headless runs without a camera target see every unit as near.
  const TTRVWorldContext& context = world->Context();
  const TGLBaseSceneObject* viewer = context.cameraTarget ? context.cameraTarget : context.camera;
  cameraDistance = viewer ? VectorLength(viewer->AbsoluteAffinePosition() - position) : 0.0f;
  isFar = cameraDistance >= kFarDistance ? 1 : 0;

  const TTRVUnitHooks& steps = Hooks();
  const TTRVUnitTypeInfo& info = TypeInfo();
  if (isFar) {
    battlefield->Silence(*this);
    if (state.unitType == utBoat) {
      // A boat stays on the sea as its imposter, where it is big enough to be seen.
      Visible = true;
      ShowDetail(false);
    } else {
      Visible = false;
    }
    if (steps.far) steps.far(*this, dt);
    return;
  }

  Visible = true;
  // The settings derive each type's detail distance from LODdist (index = unit type).
  ShowDetail(cameraDistance < context.settings.LodDistances[std::min<std::size_t>(state.unitType, 3)]);
  if (state.isPlayer && !autopilot) {
    if (steps.player) steps.player(*this, dt);
  } else if (steps.ai) {
    steps.ai(*this, dt);
  }
  if (Wrecked()) {
    ClearControls();
    switch (SinkWreck(dt)) {
      case WreckWater::Sinking:
        if (steps.sinking) steps.sinking(*this, dt);
        break;
      case WreckWater::Sunk:
        break;
      case WreckWater::None:
        if (steps.physics) steps.physics(*this, dt);
        break;
    }
  } else if (steps.physics) {
    steps.physics(*this, dt);
  }
  if (Wrecked()) {
    battlefield->Silence(*this);
  } else if (info.engineSample) {
    battlefield->SetEngineSound(*this, EngineFrequency());
  }
}
