// The particle's colour ramp and motion.
#include "effects/particle.h"

#include <algorithm>
#include <utility>

TTRVFX::TTRVFX(const TTRVFXinfo& info)
    : position(info.position),
      velocity(info.velocity),
      life(info.life),
      size(info.size),
      colorKeys(info.colorKeys),
      segments(info.segments) {}

TTRVFX::TTRVFX(TTRVFXinfo&& info)
    : position(info.position),
      velocity(info.velocity),
      life(info.life),
      size(info.size),
      colorKeys(std::move(info.colorKeys)),
      segments(info.segments) {}

TVector TTRVFX::ColorAt(float t) const {
  if (colorKeys.empty()) return TVector(0);
  if (colorKeys.size() == 1 || t >= colorKeys.back().time) return colorKeys.back().color;
  // t is before the last key, so some interval ends after it; the first one that does is
  // the one to blend in (the first interval also covers anything before the first key).
  std::size_t i = 0;
  while (i + 2 < colorKeys.size() && t >= colorKeys[i + 1].time) ++i;
  const TTRVFXColorKey& a = colorKeys[i];
  const TTRVFXColorKey& b = colorKeys[i + 1];
  const float span = b.time - a.time;
  // Before the first key (or on keys sharing a time) there is nothing to blend toward yet.
  const float f = span > 0 ? std::clamp((t - a.time) / span, 0.0f, 1.0f) : 0.0f;
  return a.color + (b.color - a.color) * f;
}

bool TTRVFX::Advance(float dt) {
  elapsed += dt;
  position += velocity * dt;
  return !Expired();
}
