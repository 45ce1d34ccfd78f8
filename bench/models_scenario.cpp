// morvane-bench models [THEME...] [--out FOLDER] [--window]: a contact sheet per theme, every
// object of the theme lit on a neutral ground from a three-quarter view, each framed to its own
// bounding box, 640 x 480 per cell, written as <Theme>.bmp. The models are drawn the way the
// game shows them, through a proxy of the theme's free form. --window takes each cell from the
// window's back buffer instead of the off-screen viewer, to compare the two paths.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "platform/bitmap.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "scene/camera.h"
#include "scene/customobject.h"
#include "scene/memoryviewer.h"
#include "scene/proxy.h"
#include "scene/viewer.h"
#include "world/theme.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCellWidth = 640, kCellHeight = 480;
constexpr int kColumns = 4;
constexpr unsigned kBackground = 0x00A8A29C;  // a light warm grey, red in the low byte
constexpr float kModelSize = 4;               // every object is scaled to this largest side

struct Options {
  std::vector<std::string> themes;
  fs::path out;
  bool window = false;
};

Options ParseOptions(const BenchOptions& bench) {
  Options o;
  o.out = platform::ProgramFolder() / "sheets";
  for (std::size_t i = 0; i < bench.arguments.size(); ++i) {
    const std::string& a = bench.arguments[i];
    if (a == "--out" && i + 1 < bench.arguments.size()) o.out = bench.arguments[++i];
    else if (a == "--window") o.window = true;
    else o.themes.push_back(a);
  }
  return o;
}

// Every theme file of the program folder, by name.
std::vector<std::string> AllThemes(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
    if (e.path().extension() == ".TRV") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The rig shared by every cell: a camera, a key light from above and the camera's left, a
// weaker fill from its right, and one proxy that shows the object of the moment.
struct Stage {
  TGLScene scene;
  TGLCamera* camera;
  TGLProxyObject* proxy;

  Stage() {
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->FocalLength = 50;
    auto* key = scene.Objects().AddNewChild<TGLLightSource>();
    key->LightStyle = lsParallel;
    key->SpotDirection.SetVector(-0.35f, 1.2f, 1);  // toward the light
    auto* fill = scene.Objects().AddNewChild<TGLLightSource>();
    fill->LightStyle = lsParallel;
    fill->SpotDirection.SetVector(1.2f, 0.4f, -0.2f);
    fill->Diffuse = TGLColor{0.35f, 0.35f, 0.38f, 1};
    fill->Specular = TGLColor{0, 0, 0, 1};
    proxy = scene.Objects().AddNewChild<TGLProxyObject>();
  }

  // Scales the object to kModelSize, centres its box on the origin and puts the camera in
  // front of it, to its right and above, just far enough that all eight corners are in view.
  void Frame(TGLFreeForm& model, int width, int height) {
    TAffineVector lo, hi;
    if (!model.GetExtents(lo, hi)) lo = hi = TAffineVector(0, 0, 0);
    const TAffineVector size = hi - lo, centre = (lo + hi) * 0.5f;
    const float largest = std::max({size.x, size.y, size.z, 1e-3f});
    const float scale = kModelSize / largest;
    proxy->MasterObject = &model;
    proxy->Scale.SetVector(scale, scale, scale);
    proxy->Position.SetPoint(-centre * scale);

    const TAffineVector toEye = VectorNormalize(TAffineVector(0.62f, 0.48f, 0.62f));
    const TAffineVector view = -toEye;
    const TAffineVector right = VectorNormalize(glm::cross(view, TAffineVector(0, 1, 0)));
    const TAffineVector up = glm::cross(right, view);
    float halfW, halfH;
    camera->HalfExtents(width, height, halfW, halfH);
    const float nearPlane = camera->NearPlane(width, height);
    const float tanW = halfW / nearPlane, tanH = halfH / nearPlane;
    float distance = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const TAffineVector p((corner & 1 ? hi.x : lo.x), (corner & 2 ? hi.y : lo.y), (corner & 4 ? hi.z : lo.z));
      const TAffineVector d = (p - centre) * scale;
      const float depth = glm::dot(d, view);
      distance = std::max({distance, std::fabs(glm::dot(d, right)) / tanW - depth,
                           std::fabs(glm::dot(d, up)) / tanH - depth});
    }
    distance = std::max(distance * 1.12f, nearPlane + kModelSize);
    camera->Position.SetPoint(toEye * distance);
    // Up first: setting it corrects Direction, setting Direction afterwards corrects Up.
    camera->Up.SetVector(0, 1, 0);
    camera->Direction.SetVector(view);
    camera->DepthOfView = distance + 2 * kModelSize;
  }
};

void Configure(TGLSceneBuffer& buffer) {
  buffer.BackgroundColor = kBackground;
  buffer.AmbientColor = TGLColor{0.38f, 0.38f, 0.4f, 1};
}

// Name and number in the cell's top-left corner, dark on the light ground.
void Caption(platform::Bitmap& sheet, platform::FontCache& fonts, int left, int top, const std::string& text) {
  sheet.DrawText(left + 10, top + 8, text, platform::MakeColor(30, 30, 34), fonts, 18, true);
}

}  // namespace

int RunModelsScenario(const BenchOptions& bench) {
  const Options options = ParseOptions(bench);
  const fs::path themeFolder = platform::ProgramFolder() / "themes";
  const std::vector<std::string> themes = options.themes.empty() ? AllThemes(themeFolder) : options.themes;
  if (themes.empty()) {
    std::fprintf(stderr, "morvane-bench: no themes in %s\n", themeFolder.string().c_str());
    return 1;
  }
  int code = 0;
  {
    BenchDisplay display;
    if (!display.Open(kCellWidth, kCellHeight, "morvane-bench", "Morvane Field Command - models")) return 1;
    platform::Window& window = display.window;
    std::string error;
    platform::MessageLoop loop(window);
    loop.PumpEvents();
    TGLMemoryViewer memory(kCellWidth, kCellHeight);
    TGLSceneViewer onScreen(window);
    Configure(memory.Buffer);
    Configure(onScreen.Buffer);
    platform::FontCache fonts;
    std::error_code ec;
    fs::create_directories(options.out, ec);

    for (const std::string& name : themes) {
      TTRVTheme theme;
      const TTRVThemeLoadResult loaded = theme.LoadThemeFile(themeFolder / (name + ".TRV"));
      if (!loaded.ok) {
        std::fprintf(stderr, "morvane-bench: theme %s: %s\n", name.c_str(), loaded.error.c_str());
        code = 1;
        continue;
      }
      const int count = static_cast<int>(theme.objectInfos.size());
      std::printf("theme_%s_objects: %d\n", name.c_str(), count);
      if (count == 0) continue;

      const int columns = std::min(count, kColumns), rows = (count + kColumns - 1) / kColumns;
      platform::Bitmap sheet(columns * kCellWidth, rows * kCellHeight, 24);
      sheet.FillRect(0, 0, sheet.Width(), sheet.Height(), kBackground);
      Stage stage;
      memory.SetCamera(stage.camera);
      onScreen.SetCamera(stage.camera);
      int blank = 0;
      for (int i = 0; i < count; ++i) {
        TGLFreeForm* model = theme.Object(i);
        if (!model) continue;
        // What each model costs the renderer every time it is drawn near the camera.
        std::printf("theme_%s_%s_triangles: %zu\n", name.c_str(), theme.objectInfos[i].objectName.c_str(),
                    model->MeshObjects.TriangleCount());
        loop.PumpEvents();
        window.MakeCurrent();
        stage.Frame(*model, kCellWidth, kCellHeight);
        platform::Bitmap cell;
        if (options.window) {
          cell = onScreen.CreateSnapshotBitmap();
        } else {
          memory.Render();
          cell = memory.CaptureBitmap();
        }
        // A cell of one colour (the background, or black from a viewer that drew nothing) is
        // counted, not hidden.
        bool drawn = false;
        for (int y = 0; y < cell.Height() && !drawn; y += 2)
          for (int x = 0; x < cell.Width() && !drawn; x += 2) drawn = cell.Pixel(x, y) != cell.Pixel(0, 0);
        if (!drawn) ++blank;
        const int left = (i % kColumns) * kCellWidth, top = (i / kColumns) * kCellHeight;
        sheet.Draw(left, top, cell);
        sheet.FillRect(left, top, left + kCellWidth, top + 1, platform::MakeColor(120, 116, 110));
        sheet.FillRect(left, top, left + 1, top + kCellHeight, platform::MakeColor(120, 116, 110));
        Caption(sheet, fonts, left, top, std::to_string(i) + " " + theme.objectInfos[i].objectName);
      }
      if (blank > 0) std::printf("theme_%s_blank_cells: %d\n", name.c_str(), blank);
      const fs::path file = options.out / (name + ".bmp");
      if (!sheet.SaveBmp(file.string(), error)) {
        std::fprintf(stderr, "morvane-bench: %s\n", error.c_str());
        code = 1;
      } else {
        std::printf("theme_%s_sheet: %s\n", name.c_str(), file.string().c_str());
      }
      memory.SetCamera(nullptr);
      onScreen.SetCamera(nullptr);
    }
    const char* viewer = options.window                   ? "window"
                         : memory.UsesFramebufferObject() ? "framebuffer object"
                                                          : "back buffer";
    std::printf("viewer: %s\n", viewer);
  }
  return code;
}
