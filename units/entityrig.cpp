// The model rig of each unit type: proxies of the type theme's parts, with the pivots, probes
// and mount points the types' steps move and test. Built once at set-up; nothing here moves.
#include "platform/random.h"
#include "scene/proxy.h"
#include "units/entity.h"

namespace {

TGLProxyObject* AddPart(TGLBaseSceneObject& parent, const TTRVTheme* theme, int part) {
  auto* proxy = parent.AddNewChild<TGLProxyObject>();
  // Without the theme (or the part) the proxy draws nothing; the rig still stands, so the
  // types' steps find every node where they expect it.
  proxy->MasterObject = theme ? theme->Object(part) : nullptr;
  return proxy;
}

template <class T = TGLDummyCube>
T* AddNode(TGLBaseSceneObject& parent, float x, float y, float z) {
  T* node = parent.AddNewChild<T>();
  node->Position.SetPoint(x, y, z);
  return node;
}

}  // namespace

void TTRVEntity::BuildRig(const TTRVTheme* theme) {
  switch (state.unitType) {
    case utHeli: {
      auto* tilt = AddNewChild<TGLDummyCube>();
      auto* body = tilt->AddNewChild<TGLDummyCube>();
      AddPart(*body, theme, 0);                                  // fuselage
      AddPart(*body, theme, 1);                                  // main rotor
      AddPart(*body, theme, 2)->Position.SetPoint(0, -0.16f, 0.2f);  // gun
      AddNode(*body, 0.139f, -0.147f, 0);                        // rocket pods
      AddNode(*body, -0.139f, -0.147f, 0);
      TGLProxyObject* tail = AddPart(*body, theme, 1);
      tail->Position.SetPoint(-0.025f, 0, -0.479f);
      // The default direction (+Z) is parallel to the tail rotor's axis; turned aside first,
      // the frame never has to be guessed from two parallel vectors.
      tail->Direction.SetVector(1, 0, 0);
      tail->Up.SetVector(0, 0, -1);
      tail->Scale.SetVector(0.2f, 1, 0.2f);
      AddNewChild<TGLDummyCube>();  // ground marker
      break;
    }
    case utTank: {
      auto* hull = AddNewChild<TGLDummyCube>();
      AddPart(*hull, theme, 0);
      TGLProxyObject* turret = AddPart(*hull, theme, 1);
      AddPart(*turret, theme, 2)->Position.SetPoint(0, 0.194f, 0.14f);
      // Corner probes: front +X, front -X, rear +X, rear -X.
      for (const TAffineVector& corner : {TAffineVector{0.099f, 0.106f, 0.147f}, TAffineVector{-0.099f, 0.106f, 0.147f},
                                          TAffineVector{0.099f, 0.106f, -0.147f}, TAffineVector{-0.099f, 0.106f, -0.147f}})
        AddNode(*hull, corner.x, corner.y, corner.z)->Scale.SetVector(0.198f, 0.212f, 0.295f);
      AddNode(*this, 0, 0, 0.25f);  // ground contacts
      AddNode(*this, 0.25f, 0, -0.25f);
      AddNode(*this, -0.25f, 0, -0.25f);
      // Forward probes, each of its own random length, reaching ahead from the origin.
      for (float x : {0.25f, 0.0f}) {
        const float length = 0.75f + 0.5f * static_cast<float>(platform::Random().Real());
        TGLDummyCube* probe = AddNode(*this, x, 0.106f, length / 2);
        probe->Scale.SetVector(0.5f, 0.5f, length);
      }
      break;
    }
    case utBoat: {
      const TTRVTheme* heli = world->FindTheme(UnitTypeInfo(utHeli).themeName);
      auto* hullNode = AddNewChild<TGLDummyCube>();
      TGLProxyObject* hull = AddPart(*hullNode, theme, 0);
      TGLProxyObject* frontTurret = AddPart(*hull, theme, 1);
      frontTurret->Position.SetPoint(0, 0.505f, 1.132f);
      AddPart(*frontTurret, theme, 2)->Position.SetPoint(0, 0.057f, 0.048f);
      // Mounts keep their set-up turn as the rest orientation, so their aim is a yaw from it.
      struct Mount {
        TAffineVector at;
        float turn;
        const TTRVTheme* theme;
        int part;
      };
      for (const Mount& m : {Mount{{0.239f, 0.687f, 0.07f}, -90, heli, 2}, Mount{{-0.239f, 0.687f, 0.07f}, 90, heli, 2},
                             Mount{{0, 0.493f, -1.646f}, 180, theme, 3}}) {
        TGLDummyCube* mount = AddNode(*hull, m.at.x, m.at.y, m.at.z);
        mount->Turn(m.turn);
        mount->StoreRestOrientation();
        AddPart(*mount, m.theme, m.part);
      }
      AddNode(*this, 0, 0, 2);                      // bow point
      AddNode(*this, 0, 0, -2.123f)->Pitch(-45);    // stern point
      for (int i = 0; i < 2; ++i) {
        const float length = i == 0 ? 3.3f : 3.3f + static_cast<float>(platform::Random().Real());
        TGLDummyCube* probe = AddNode(*this, i == 0 ? 1.0f : -1.0f, 0.386f, length / 2);
        probe->Scale.SetVector(2, 0.773f, length);
      }
      break;
    }
    default: {
      TGLProxyObject* base = AddPart(*this, theme, 0);
      TGLDummyCube* pivot = AddNode(*base, 0, 1, 0);
      AddPart(*pivot, theme, 1);
      break;
    }
  }
}
