// The world's drawing order: the ground after what stands on it, before the sky.
#include <gtest/gtest.h>

#include <vector>

#include "scene/directopengl.h"
#include "scene/freeform.h"
#include "scene/proxy.h"
#include "scene/quadrics.h"
#include "scene/rendercontext.h"
#include "world/worldroot.h"

TEST(WorldRoot, TheSectorsGroundIsDrawnAfterEverythingStandingOnItAndBeforeTheSky) {
  TGLFreeForm model;
  TTRVWorldRoot root;
  const auto proxyIn = [&](TGLBaseSceneObject& parent) {
    auto* proxy = parent.AddNewChild<TGLProxyObject>();
    proxy->MasterObject = &model;
    return proxy;
  };
  auto* sectors = root.AddNewChild<TGLDummyCube>();
  auto* firstSector = sectors->AddNewChild<TGLDummyCube>();
  auto* firstGround = firstSector->AddNewChild<TGLDirectOpenGL>();
  TGLProxyObject* tree = proxyIn(*firstSector);
  auto* secondSector = sectors->AddNewChild<TGLDummyCube>();
  auto* secondGround = secondSector->AddNewChild<TGLDirectOpenGL>();
  TGLProxyObject* wall = proxyIn(*secondSector);
  auto* units = root.AddNewChild<TGLDummyCube>();
  TGLProxyObject* tank = proxyIn(*units);
  auto* sky = root.AddNewChild<TGLSphere>();
  auto* hook = root.AddNewChild<TGLDirectOpenGL>();  // reads the depth of all the above
  root.groundSource = sectors;
  root.groundBefore = sky;

  TRenderContext rci;
  root.BuildList(rci);
  const std::vector<TGLBaseSceneObject*> expected{tree, wall, tank, firstGround, secondGround, sky, hook};
  EXPECT_EQ(rci.opaque, expected);

  // With nothing to come before, the ground closes the list.
  root.groundBefore = nullptr;
  TRenderContext last;
  root.BuildList(last);
  const std::vector<TGLBaseSceneObject*> closing{tree, wall, tank, sky, hook, firstGround, secondGround};
  EXPECT_EQ(last.opaque, closing);
}
