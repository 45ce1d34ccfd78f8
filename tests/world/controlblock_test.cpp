// A computer pilot lets go of the controls every frame but keeps its aim and its weapon.
#include <gtest/gtest.h>

#include "world/controlblock.h"

namespace {

TEST(ControlBlock, ClearingLetsGoOfEverythingButTheAimAndTheWeapon) {
  TTRVControlBlock c;
  c.accelerate = c.brake = c.climb = c.descend = c.turnLeft = c.turnRight = c.fire = c.secondary = true;
  c.mouseDX = 5;
  c.mouseDY = -3;
  c.steerX = 0.4f;
  c.steerY = -0.2f;
  c.aimPoint = TVector(1, 2, 3, 1);
  c.weaponRequest = 2;
  ClearControls(c);
  EXPECT_FALSE(c.accelerate || c.brake || c.climb || c.descend || c.turnLeft || c.turnRight || c.fire || c.secondary);
  EXPECT_EQ(c.mouseDX, 0);
  EXPECT_EQ(c.mouseDY, 0);
  EXPECT_EQ(c.steerX, 0);
  EXPECT_EQ(c.steerY, 0);
  EXPECT_EQ(c.aimPoint.x, 1);
  EXPECT_EQ(c.aimPoint.z, 3);
  EXPECT_EQ(c.weaponRequest, 2);
}

}  // namespace
