// The pictures the dialogs load from data/: after the forge's "help-bitmaps" step every one the
// screen-symbol help and the on/off switches name is there, 24-bit, at the size the dialog
// shows it, drawn, and keyed on black around the art.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/bitmap.h"
#include "tools/forge/forge.h"

namespace forge {
bool ForgeHelpBitmaps(const ForgeContext& context, std::string& error);
}  // namespace forge

namespace {

namespace fs = std::filesystem;

TEST(HelpBitmaps, EveryPictureTheDialogsReadIsWrittenAtItsSize) {
  const fs::path out = fs::temp_directory_path() / ("forge-help-" + std::to_string(getpid()));
  fs::remove_all(out);
  forge::ForgeContext context;
  context.outDir = out;
  context.scratch = out / ".scratch";
  context.quick = true;
  std::string error;
  ASSERT_TRUE(forge::ForgeHelpBitmaps(context, error)) << error;

  // Names as the dialogs spell them (file names are case-sensitive); the map and the tick are
  // drawn unstretched, the symbols stretched to these sizes.
  struct Picture {
    const char* file;
    int size;
  };
  const Picture pictures[] = {{"HUDArtillery", 64}, {"TimeAccel", 64},  {"HUDshield", 32}, {"iconTurret", 32},
                              {"iconHeli", 32},     {"iconTank", 32},   {"iconBoat", 32},  {"HUDkills", 32},
                              {"HUDnums", 32},      {"HUDmap", 154},    {"tick", 25}};
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.file);
    const fs::path file = out / "data" / (std::string(p.file) + ".bmp");
    ASSERT_TRUE(fs::exists(file));
    platform::Bitmap b;
    ASSERT_TRUE(b.LoadBmpFile(file.string(), error)) << error;
    EXPECT_EQ(b.Bits(), 24);
    EXPECT_EQ(b.Width(), p.size);
    EXPECT_EQ(b.Height(), p.size);
    int drawn = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) drawn += b.Pixel(x, y) != 0 ? 1 : 0;
    EXPECT_GT(drawn, b.Width() * b.Height() / 10) << "too little art";
    EXPECT_EQ(b.Pixel(0, 0), 0u) << "the corner should be the black key";
  }
  fs::remove_all(out);
}

}  // namespace
