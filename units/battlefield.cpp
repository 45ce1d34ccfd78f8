// The quiet battlefield: the aim test every weapon takes, and nothing else.
#include "units/battlefield.h"

#include "world/queries.h"

bool TTRVBattlefield::FireBullet(TTRVEntity&, const TAffineVector& from, const TAffineVector& to, float deviation,
                                 const TAffineVector& facing) {
  return CanAim(from, to, deviation, facing);
}

bool TTRVBattlefield::FireGun(TTRVEntity&, const TAffineVector& from, const TAffineVector& to, float deviation,
                              const TAffineVector& facing) {
  return CanAim(from, to, deviation, facing);
}

bool TTRVBattlefield::FireRocket(TTRVEntity&, const TAffineVector& from, const TAffineVector& to, float,
                                 TGLBaseSceneObject*, float deviation, const TAffineVector& facing) {
  return CanAim(from, to, deviation, facing);
}

TTRVBattlefield& QuietBattlefield() {
  static TTRVBattlefield quiet;
  return quiet;
}
