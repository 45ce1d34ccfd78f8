// TTRVSoundCall: what a running game asks of the engine's sound. The engine lends it through
// the world context; a game without one (headless runs, most tests) is silent. It names scene
// objects only: where a sound plays, never how it is mixed.
#pragma once

#include <string_view>

#include "scene/baseobject.h"
#include "scene/vectorgeometry.h"

class TTRVSoundCall {
 public:
  virtual ~TTRVSoundCall() = default;

  // Plays sample `name` on `object`'s emitter, or, with no object, on the next pooled node
  // moved to `position`. Nothing happens with the sound volume at 0 or when the point is more
  // than 30 units from the listener. `loops` above 1 loops until stopped; `volume` is 0 to 1
  // before the player's sound volume.
  virtual void PlaySound(std::string_view name, TGLBaseSceneObject* object, const TAffineVector& position, int loops,
                         float volume) = 0;
  // Sets the replay rate in Hz of the sound on `object`; false when it carries none.
  virtual bool SetFrequency(TGLBaseSceneObject& object, int hertz) = 0;
  // Stops and removes whatever sound `object` carries.
  virtual void Silence(TGLBaseSceneObject& object) = 0;
};
