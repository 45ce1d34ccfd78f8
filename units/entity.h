// TTRVEntity: one fighting unit of any of the four types, a scene object under its side's
// cube. This holds what the types share: the fields, set-up with the model rig of the type,
// the frame common to every type (sector, camera distance, near or far, detail, wrecks) and
// the hand-over to the type's own steps through TTRVUnitHooks. The types' behaviour, the AI
// loop and sound live elsewhere; nothing here draws or plays anything.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "ai/beacon.h"
#include "scene/baseobject.h"
#include "scene/imposter.h"
#include "units/battlefield.h"
#include "units/unithooks.h"
#include "units/unitstate.h"
#include "units/unittypes.h"
#include "world/controlblock.h"
#include "world/grid.h"
#include "world/queries.h"
#include "world/world.h"

class TTRVSector;

// What a computer's driver or pilot is about; the byte is the one saves will store.
enum class TTRVAIState : std::uint8_t {
  Engage = 1,   // fights its target, or follows the player's unit on its side
  Idle = 2,     // no target: waits where it is
  Advance = 3,  // makes for the base of its side's main enemy
};

// At or beyond this distance from the camera target a unit is far.
inline constexpr float kFarDistance = 45.0f;
// isFar from construction until the first frame, so that searches skipping far units skip
// units that have not been placed yet.
inline constexpr std::uint8_t kFarUntilFirstFrame = 4;

class TTRVEntity : public TGLDummyCube {
 public:
  TTRVEntity();
  ~TTRVEntity() override;

  // Builds the unit at the position. A new unit reads only the first four bytes of the
  // source (type, side, target side, player flag) and starts from a zeroed block; a loaded
  // one takes the whole block but draws its target side and engage range anew. A zero
  // direction leaves the unit facing +Z.
  void Setup(TTRVWorld& world, const TAffineVector& position, bool newUnit, const TTRVUnitState& source,
             const TAffineVector& direction);

  // One frame of dt seconds.
  void Progress(double dt);

  // Near: the model (child 0) shown and the imposter hidden; far: the reverse.
  void ShowDetail(bool near);

  // Where the point lies around the unit, as the steering of the types reads it:
  // 'L' the quarter on the unit's +X side, 'R' the quarter on its -X side, and the quarters
  // ahead and behind split along the unit's own Z axis: 'Q' ahead on the +X side, 'E' ahead
  // on the -X side, 'Z' behind on the +X side, 'C' behind on the -X side.
  char ClassifyDirection(const TAffineVector& point) const;

  // The pilot's hands off: flags, mouse deltas and steering cleared, aim and weapon kept.
  void ClearControls() { ::ClearControls(controls); }

  bool Wrecked() const { return state.armour <= 0; }
  const TTRVUnitTypeInfo& TypeInfo() const { return UnitTypeInfo(state.unitType); }
  // The engine note of the type at the unit's present speed; 0 for a type without one.
  int EngineFrequency() const;
  // What the world's searches see of this unit.
  TTRVUnitRef Ref();

  TTRVWorld* world = nullptr;  // not owned
  TTRVUnitState state;
  TTRVSector* sector = nullptr;
  TTRVControlBlock controls;
  std::uint8_t isFar = kFarUntilFirstFrame;
  std::uint16_t engageRange = 0;
  TTRVEntity* target = nullptr;
  bool holdFire = false;
  // The player's unit flown by the computer's pilot (tests, benchmarks): the AI step instead of
  // the player's, so no controls are read and no camera is moved.
  bool autopilot = false;
  float aiTimer = 0;
  float farTimer = 0;  // drawn at construction so the far steps of units do not coincide
  std::unique_ptr<TTRVAIBeacon> airBeacon, groundBeacon, waterBeacon;
  TTRVAIState aiState = TTRVAIState::Idle;
  TGLDummyCube* steerFrame = nullptr;
  TGLDummyCube* aimNode = nullptr;
  TGLDummyCube* hitBox = nullptr;
  TGLDummyCube* soundNode = nullptr;
  TGLImposter* imposterNode = nullptr;
  float cameraDistance = 0;
  TTRVCell goalCell{0, 0};
  TTRVCell cell{0, 0};

  // Where the unit's shots, effects and sounds go; the quiet one until the game hands its own.
  TTRVBattlefield* battlefield = &QuietBattlefield();
  // The per-type steps; the default table unless a test hands in its own.
  const std::array<TTRVUnitHooks, 4>* hooks = &DefaultUnitHooks();

 private:
  void BuildRig(const TTRVTheme* theme);
  void StartNewUnit();
  void ChooseTargetSide();
  void DrawEngageRange();
  enum class WreckWater { None, Sinking, Sunk };
  // Lowers a wreck lying in the water toward kWreckFloor and says where it is.
  WreckWater SinkWreck(float dt);
  const TTRVUnitHooks& Hooks() const;
};
