// A small scene rendered through the layer at 640 x 480 and read back: fog at the horizon,
// the lit textured model where it stands, sprite, direct drawing, HUD on top, render order,
// projection, picking and off-screen rendering.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/pixels.h"
#include "tests/support/window_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/window.h"
#include "scene/cadencer.h"
#include "scene/directopengl.h"
#include "scene/freeform.h"
#include "scene/gl.h"
#include "scene/imposter.h"
#include "scene/memoryviewer.h"
#include "scene/proxy.h"
#include "scene/quadrics.h"
#include "scene/sprite.h"
#include "scene/viewer.h"

namespace {

constexpr int kW = 640, kH = 480;

using testpixels::At;
using testpixels::Of;
using testpixels::Rgb;

::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 8) {
  return testpixels::NearRgb(got, want, tolerance);
}

// A unit cube centred on the origin, written to the stream form and read back, as a theme
// model would be.
std::vector<std::uint8_t> CubeStream() {
  TAffineVectorList v, n;
  TTexPointList t;
  const TAffineVector normals[] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  for (const TAffineVector& nn : normals) {
    TAffineVector a = std::abs(nn.y) > 0.5f ? TAffineVector(1, 0, 0) : TAffineVector(0, 1, 0);
    TAffineVector b = glm::cross(nn, a);
    TAffineVector c = nn * 0.5f;
    TAffineVector corners[] = {c - a * 0.5f - b * 0.5f, c + a * 0.5f - b * 0.5f, c + a * 0.5f + b * 0.5f,
                               c - a * 0.5f + b * 0.5f};
    int order[] = {0, 1, 2, 0, 2, 3};
    for (int i : order) {
      v.push_back(corners[i]);
      n.push_back(nn);
      t.push_back({i == 1 || i == 2 ? 1.0f : 0.0f, i >= 2 ? 1.0f : 0.0f});
    }
  }
  TMeshObjectList list;
  list.Add(MakeMeshObject("cube", v, n, t));
  std::vector<std::uint8_t> bytes;
  WriteMeshObjectList(list, bytes);
  return bytes;
}

void Unlit(TGLMaterial& m, float r, float g, float b, float a = 1) {
  m.MaterialOptions = moNoLighting;
  m.FrontProperties.Diffuse.SetColor(r, g, b, a);
}

class RenderTest : public testwindow::SceneWindowTest {
 protected:
  RenderTest() : SceneWindowTest(kW, kH) {}
  void SetUp() override {
    SceneWindowTest::SetUp();
    if (IsSkipped()) return;
    camera_->Position.SetPoint(0, 2, -6);
    viewer_->Buffer.AmbientColor.SetColor(0.3f, 0.3f, 0.3f);
    viewer_->Buffer.FogEnable = true;
    viewer_->Buffer.FogEnvironment.FogColor.SetColor(1, 0, 1);
    viewer_->Buffer.FogEnvironment.FogStart = 10;
    viewer_->Buffer.FogEnvironment.FogEnd = 40;

    auto* sun = scene_.Objects().AddNewChild<TGLLightSource>();
    sun->LightStyle = lsParallel;
    sun->SpotDirection.SetVector(0, 0.5f, -1);  // high behind the camera
  }

  void TearDown() override {
    scene_.DeleteAllObjects();
    library_.Clear();
    SceneWindowTest::TearDown();
  }

  TGLFreeForm* AddTexturedCube(TGLBaseSceneObject& parent) {
    platform::Bitmap red(8, 8, 24);
    red.FillRect(0, 0, 8, 8, platform::MakeColor(255, 0, 0));
    if (!library_.GetLibMaterialByName("red")) library_.AddTextureMaterial("red", red);
    auto* cube = parent.AddNewChild<TGLFreeForm>();
    std::vector<std::uint8_t> bytes = CubeStream();
    std::size_t pos = 0;
    std::string error;
    EXPECT_TRUE(cube->LoadMeshes(bytes, pos, error)) << error;
    EXPECT_EQ(pos, bytes.size());
    cube->Material.MaterialLibrary = &library_;
    cube->Material.LibMaterialName = "red";
    return cube;
  }

  TGLMaterialLibrary library_;
};

TEST_F(RenderTest, SmallSceneShowsFogModelSpriteDirectDrawingAndHud) {
  auto* ground = scene_.Objects().AddNewChild<TGLPlane>();
  ground->SetSize(400, 400);
  ground->Subdivisions = 80;
  ground->Pitch(-90);  // the plane's face turns up
  ground->Material.FrontProperties.Diffuse.SetColor(0.1f, 0.6f, 0.1f);

  auto* cube = AddTexturedCube(scene_.Objects());
  cube->Position.SetPoint(0, 1, 0);

  auto* sprite = scene_.Objects().AddNewChild<TGLSprite>();
  sprite->Position.SetPoint(-2, 1, 0);  // -X is on the right for a camera looking along +Z
  sprite->SetSize(1, 1);
  Unlit(sprite->Material, 1, 1, 0);

  auto* direct = scene_.Objects().AddNewChild<TGLDirectOpenGL>();
  direct->Position.SetPoint(2, 1, 0);
  int calls = 0;
  direct->OnRender = [&calls](TGLDirectOpenGL&, TRenderContext&) {
    ++calls;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 1, 1, 1);
    glBegin(GL_QUADS);
    glVertex3f(-0.4f, -0.4f, 0);
    glVertex3f(0.4f, -0.4f, 0);
    glVertex3f(0.4f, 0.4f, 0);
    glVertex3f(-0.4f, 0.4f, 0);
    glEnd();
    glPopAttrib();
  };

  auto* hudParent = scene_.Objects().AddNewChild<TGLHUDSprite>();
  hudParent->Position.SetPoint(50, 50, 0);
  hudParent->SetSize(40, 40);
  Unlit(hudParent->Material, 0, 1, 0);
  // A child in pixel space too: not moved by its parent, drawn over the model.
  auto* hudChild = hudParent->AddNewChild<TGLHUDSprite>();
  hudChild->Position.SetPoint(320, 300, 0);
  hudChild->SetSize(6, 6);
  Unlit(hudChild->Material, 1, 1, 1);

  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  if (const char* dir = std::getenv("MORVANE_SHOTS")) {
    std::string error;
    shot.SaveBmp(std::string(dir) + "/render_small_scene.bmp", error);
  }
  ASSERT_EQ(shot.Width(), kW);
  ASSERT_EQ(shot.Height(), kH);
  EXPECT_EQ(calls, 1);

  // Far ground just below the horizon is wholly fogged; the sky above is the background.
  EXPECT_TRUE(Near(At(shot, 40, kH / 2 + 4), {255, 0, 255}));
  EXPECT_TRUE(Near(At(shot, 600, 40), {0, 0, 64}));
  // The near ground is lit green, not fogged.
  Rgb nearGround = At(shot, 40, kH - 5);
  EXPECT_GT(nearGround.g, nearGround.r + 40);
  // The red textured cube, lit by the sun behind the camera, where it stands.
  Rgb model = At(shot, kW / 2, 282);
  EXPECT_GT(model.r, 120);
  EXPECT_LT(model.g, 40);
  EXPECT_LT(model.b, 40);
  EXPECT_TRUE(Near(At(shot, 420, 290), {255, 255, 0}));   // sprite
  EXPECT_TRUE(Near(At(shot, 220, 290), {0, 255, 255}));   // direct drawing
  EXPECT_TRUE(Near(At(shot, 50, 50), {0, 255, 0}));       // HUD sprite
  EXPECT_TRUE(Near(At(shot, 320, 300), {255, 255, 255})); // HUD child over the model

  // Projection and picking agree with what is on screen.
  TVector s = viewer_->Buffer.WorldToScreen(cube->AbsolutePosition());
  EXPECT_NEAR(s.x, kW / 2, 1);
  EXPECT_NEAR(kH - s.y, 290, 3);
  EXPECT_EQ(viewer_->Buffer.GetPickedObject(kW / 2, 282), cube);
  EXPECT_EQ(viewer_->Buffer.GetPickedObject(420, 290), sprite);
  TVector ray = viewer_->Buffer.ScreenToVector(s.x, s.y);
  TVector toCube = VectorNormalize(cube->AbsolutePosition() - camera_->AbsolutePosition());
  EXPECT_GT(VectorDotProduct(ray, toCube), 0.9999f);

  // Hiding the HUD parent hides its child.
  hudParent->Visible = false;
  shot = viewer_->CreateSnapshotBitmap();
  EXPECT_FALSE(Near(At(shot, 320, 300), {255, 255, 255}));
  EXPECT_FALSE(Near(At(shot, 50, 50), {0, 255, 0}));
}

TEST_F(RenderTest, BlendedObjectsDrawAfterOpaqueOnesWhateverTheirPlaceInTheTree) {
  viewer_->Buffer.FogEnable = false;
  // First in the tree, nearer to the camera, half transparent white.
  auto* glass = scene_.Objects().AddNewChild<TGLSprite>();
  glass->Position.SetPoint(0, 1, -2);
  glass->SetSize(0.5f, 0.5f);
  Unlit(glass->Material, 1, 1, 1, 0.5f);
  glass->Material.BlendingMode = bmTransparency;
  auto* wall = scene_.Objects().AddNewChild<TGLPlane>();
  wall->Position.SetPoint(0, 1, 0);
  wall->SetSize(2, 2);
  wall->Turn(180);  // face the camera
  Unlit(wall->Material, 1, 0, 0);
  // An additive sprite over the wall brightens it.
  auto* glow = scene_.Objects().AddNewChild<TGLSprite>();
  glow->Position.SetPoint(0.6f, 1, -1);
  glow->SetSize(0.3f, 0.3f);
  Unlit(glow->Material, 0, 0, 1, 1);
  glow->Material.BlendingMode = bmAdditive;

  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  TVector g = viewer_->Buffer.WorldToScreen(glass->AbsolutePosition());
  EXPECT_TRUE(Near(At(shot, static_cast<int>(g.x), kH - static_cast<int>(g.y)), {255, 128, 128}, 10));
  TVector a = viewer_->Buffer.WorldToScreen(glow->AbsolutePosition());
  EXPECT_TRUE(Near(At(shot, static_cast<int>(a.x), kH - static_cast<int>(a.y)), {255, 0, 255}, 10));
  // Away from both, the wall itself.
  TVector w = viewer_->Buffer.WorldToScreen(TVector(-0.7f, 1.6f, 0, 1));
  EXPECT_TRUE(Near(At(shot, static_cast<int>(w.x), kH - static_cast<int>(w.y)), {255, 0, 0}));
}

TEST_F(RenderTest, AlphaRulesAndProxiesOfAHiddenMaster) {
  viewer_->Buffer.FogEnable = false;
  // A texture whose left half is pure black: super-black makes that half see-through.
  platform::Bitmap bmp(16, 16, 24);
  bmp.FillRect(0, 0, 16, 16, platform::MakeColor(200, 200, 200));
  bmp.FillRect(0, 0, 8, 16, platform::MakeColor(0, 0, 0));
  TGLLibMaterial* cut = library_.AddTextureMaterial("cut", bmp);
  cut->Material.Texture.SetImageAlpha(tiaSuperBlackTransparent);
  cut->Material.BlendingMode = bmAlphaTest50;
  cut->Material.MaterialOptions = moNoLighting;
  cut->Material.FrontProperties.Diffuse.SetColor(1, 1, 1);

  auto* masters = scene_.Objects().AddNewChild<TGLDummyCube>();
  masters->Visible = false;
  auto* master = masters->AddNewChild<TGLPlane>();
  master->Material.MaterialLibrary = &library_;
  master->Material.LibMaterialName = "cut";
  master->SetSize(2, 2);
  auto* proxy = scene_.Objects().AddNewChild<TGLProxyObject>();
  proxy->MasterObject = master;
  proxy->Position.SetPoint(0, 2, 0);
  proxy->Turn(180);

  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  TVector c = viewer_->Buffer.WorldToScreen(proxy->AbsolutePosition());
  int cx = static_cast<int>(c.x), cy = kH - static_cast<int>(c.y);
  // Turned to face the camera, the plane shows its face as an image: black half on the left.
  EXPECT_TRUE(Near(At(shot, cx - 40, cy), {0, 0, 64}));  // background shows through
  EXPECT_TRUE(Near(At(shot, cx + 40, cy), {200, 200, 200}));
}

TEST_F(RenderTest, MemoryViewerRendersTopDownOffScreen) {
  viewer_->Buffer.FogEnable = false;
  auto* tile = scene_.Objects().AddNewChild<TGLPlane>();
  tile->SetSize(16, 32);
  tile->Pitch(-90);
  tile->Position.SetPoint(8, 0, 0);  // covers x 0..16: the left half of the picture from above
  Unlit(tile->Material, 0, 0, 1);

  auto* bakeCamera = scene_.Objects().AddNewChild<TGLCamera>();
  bakeCamera->CameraStyle = csOrthogonal;
  bakeCamera->FocalLength = 3.1415927f;
  bakeCamera->DepthOfView = 256;
  bakeCamera->Position.SetPoint(0, 256, 0);
  bakeCamera->Up.SetVector(0, 0, 1);
  bakeCamera->Direction.SetVector(0, -1, 0);

  TGLMemoryViewer bake(64, 64);
  bake.SetCamera(bakeCamera);
  bake.Buffer.BackgroundColor = 0x00800000;  // navy
  bake.Render();
  platform::Bitmap top = bake.CaptureBitmap();
  ASSERT_EQ(top.Width(), 64);
  // Looking down with +Z up the picture, +X lies on the left.
  EXPECT_TRUE(Near(At(top, 16, 32), {0, 0, 255}));
  EXPECT_TRUE(Near(At(top, 48, 32), {0, 0, 128}));

  TGLTexture texture;
  bake.CopyToTexture(texture);
  EXPECT_NE(texture.Handle(), 0u);
  EXPECT_EQ(texture.Width(), 64);
  // The window's own frame is untouched by the off-screen one.
  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  EXPECT_EQ(shot.Width(), kW);
}

TEST_F(RenderTest, ImpostersShowAPictureOfTheirObjectBatchedAtTheRenderPoint) {
  viewer_->Buffer.FogEnable = false;
  auto* masters = scene_.Objects().AddNewChild<TGLDummyCube>();
  masters->Visible = false;
  TGLFreeForm* cube = AddTexturedCube(*masters);
  TGLStaticImposterBuilder builder;
  builder.SampleSize = 32;
  builder.AlphaTreshold = 0.1f;
  builder.ImposterOptions = impoAlphaTest | impoNearestFiltering;
  std::vector<TGLImposter*> imposters;
  for (float x : {-1.5f, 1.5f}) {
    auto* imp = scene_.Objects().AddNewChild<TGLImposter>();
    imp->Builder = &builder;
    imp->ImpostoredObject = cube;
    imp->Position.SetPoint(x, 1, 0);
    imposters.push_back(imp);
  }
  auto* point = scene_.Objects().AddNewChild<TGLRenderPoint>();
  builder.SetRenderPoint(point);

  platform::Bitmap shot = viewer_->CreateSnapshotBitmap();
  EXPECT_EQ(builder.PicturedCount(), 1);  // one picture set shared by both imposters
  for (TGLImposter* imp : imposters) {
    TVector c = viewer_->Buffer.WorldToScreen(imp->AbsolutePosition());
    Rgb px = At(shot, static_cast<int>(c.x), kH - static_cast<int>(c.y));
    EXPECT_GT(px.r, 100);
    EXPECT_LT(px.g, 40);
  }
  // Beside the pictured cube the picture is see-through.
  TVector side = viewer_->Buffer.WorldToScreen(TVector(0, 1, 0, 1));
  EXPECT_TRUE(Near(At(shot, static_cast<int>(side.x), kH - static_cast<int>(side.y)), {0, 0, 64}));

  // Without its render point the builder still draws, at each imposter's place.
  point->Free();
  EXPECT_EQ(builder.RenderPoint(), nullptr);
  shot = viewer_->CreateSnapshotBitmap();
  TVector c = viewer_->Buffer.WorldToScreen(imposters[0]->AbsolutePosition());
  EXPECT_GT(At(shot, static_cast<int>(c.x), kH - static_cast<int>(c.y)).r, 100);
}

TEST_F(RenderTest, ImposterPicturesAreTakenAFewAFrame) {
  auto* masters = scene_.Objects().AddNewChild<TGLDummyCube>();
  masters->Visible = false;
  TGLStaticImposterBuilder builder;
  builder.SampleSize = 16;
  builder.MaxNewPicturesPerFlush = 1;
  std::vector<TGLImposter*> imposters;
  for (float x : {-3.0f, 0.0f, 3.0f}) {
    auto* imp = scene_.Objects().AddNewChild<TGLImposter>();
    imp->Builder = &builder;
    imp->ImpostoredObject = AddTexturedCube(*masters);  // three models
    imp->Position.SetPoint(x, 1, 0);
    imposters.push_back(imp);
  }
  builder.SetRenderPoint(scene_.Objects().AddNewChild<TGLRenderPoint>());
  for (int frame = 1; frame <= 4; ++frame) {
    viewer_->CreateSnapshotBitmap();
    EXPECT_EQ(builder.PicturedCount(), std::min(frame, 3)) << "frame " << frame;
  }
}

}  // namespace
