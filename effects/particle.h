// TTRVFX: one particle of the game's effects, a soft camera-facing disc that drifts at a
// constant velocity and changes colour along its keys. A plain value: no scene object, no GL;
// TTRVEffects keeps them in a vector and draws them in one batch.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/vectorgeometry.h"

// A colour (r, g, b, a) reached at `time` seconds of the particle's life.
struct TTRVFXColorKey {
  TVector color{0, 0, 0, 0};
  float time = 0;
};

// What a spawner hands to a new particle.
struct TTRVFXinfo {
  TAffineVector position{0, 0, 0};
  TAffineVector velocity{0, 0, 0};      // units per second
  std::vector<TTRVFXColorKey> colorKeys;  // times ascending, the first at 0
  float size = 0;                       // disc radius in world units
  float life = 0;                       // seconds
  std::uint8_t segments = 0;            // rim segments of the disc
};

class TTRVFX {
 public:
  explicit TTRVFX(const TTRVFXinfo& info);
  explicit TTRVFX(TTRVFXinfo&& info);

  // The colour at `t` seconds: linear between the two keys around t (the first two keys
  // before the second one's time), the last key's colour from its time on. No keys:
  // transparent black; one key: that colour.
  TVector ColorAt(float t) const;
  TVector Color() const { return ColorAt(elapsed); }

  // Moves the particle by dt; false once it has outlived its life.
  bool Advance(float dt);
  bool Expired() const { return elapsed > life; }

  TAffineVector position{0, 0, 0};
  TAffineVector velocity{0, 0, 0};
  float life = 0;
  float elapsed = 0;
  float size = 0;
  std::vector<TTRVFXColorKey> colorKeys;
  std::uint8_t segments = 0;
};
