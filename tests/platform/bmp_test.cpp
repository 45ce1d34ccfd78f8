// BMP reading and writing: round trips, hand-made files of every accepted kind, and a
// table of hostile headers that must each be refused with their own error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace {

using platform::Bitmap;
using platform::BmpInfo;
using platform::Color;
using platform::MakeColor;
using Bytes = std::vector<std::uint8_t>;

constexpr Color kRed = MakeColor(255, 0, 0), kGreen = MakeColor(0, 255, 0), kBlue = MakeColor(0, 0, 255),
                kWhite = MakeColor(255, 255, 255), kBlack = 0;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Patch16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Patch32(Bytes& b, std::size_t at, std::uint32_t v) {
  Patch16(b, at, v & 0xFFFF);
  Patch16(b, at + 2, v >> 16);
}

// Field offsets in a file with the common 40-byte header.
// clang-format off
enum : std::size_t { kFileSize = 2, kPixelOffset = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22,
                     kPlanes = 26, kBits = 28, kCompression = 30, kColorsUsed = 46 };
// clang-format on

// A small BMP file written field by field, independent of the game's own writer.
struct BmpLayout {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0, height = 0;  // negative height: rows top-down
  std::uint32_t bits = 8, compression = 0, colorsUsed = 0;
  std::vector<Color> palette;        // entries written blue, green, red (, 0)
  std::vector<std::uint32_t> masks;  // red, green, blue (, alpha) for bit fields
  std::vector<Bytes> rows;           // in file order, unpadded
};

Bytes BuildBmp(const BmpLayout& s) {
  Bytes header;
  Put32(header, s.headerSize);
  if (s.headerSize == 12) {
    Put16(header, static_cast<std::uint32_t>(s.width));
    Put16(header, static_cast<std::uint32_t>(s.height));
    Put16(header, 1);
    Put16(header, s.bits);
  } else {
    Put32(header, static_cast<std::uint32_t>(s.width));
    Put32(header, static_cast<std::uint32_t>(s.height));
    Put16(header, 1);
    Put16(header, s.bits);
    Put32(header, s.compression);
    Put32(header, 0);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, s.colorsUsed);
    Put32(header, 0);
    if (s.headerSize == 40) {
      for (const std::uint32_t m : s.masks) Put32(header, m);  // bit fields follow a short header
    } else {
      for (std::size_t i = 0; i < 4; ++i) Put32(header, i < s.masks.size() ? s.masks[i] : 0);
      header.resize(s.headerSize, 0);
    }
  }
  for (const Color c : s.palette) {
    header.push_back(static_cast<std::uint8_t>(platform::BlueOf(c)));
    header.push_back(static_cast<std::uint8_t>(platform::GreenOf(c)));
    header.push_back(static_cast<std::uint8_t>(platform::RedOf(c)));
    if (s.headerSize != 12) header.push_back(0);
  }
  Bytes pixels;
  for (const Bytes& row : s.rows) {
    pixels.insert(pixels.end(), row.begin(), row.end());
    pixels.resize((pixels.size() + 3) / 4 * 4, 0);
  }
  Bytes file{'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + header.size());
  Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// 3 x 2, 8 bits, four palette entries; the bottom row comes first in the file.
BmpLayout EightBitLayout() {
  BmpLayout s;
  s.width = 3;
  s.height = 2;
  s.bits = 8;
  s.colorsUsed = 4;
  s.palette = {kRed, kGreen, kBlue, kWhite};
  s.rows = {{0, 1, 2}, {3, 0, 1}};
  return s;
}

// 2 x 1, 32 bits with bit-field masks after a 40-byte header, bytes in R, G, B, A order.
BmpLayout BitfieldLayout() {
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.bits = 32;
  s.compression = 3;
  s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  s.rows = {{10, 20, 30, 0xFF, 40, 50, 60, 0xFF}};
  return s;
}

std::string Rows(const Bitmap& b) {  // colours as hex, rows top to bottom
  std::string s;
  char buf[16];
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      std::snprintf(buf, sizeof buf, "%06X ", b.Pixel(x, y));
      s += buf;
    }
    s += '|';
  }
  return s;
}

std::string Expect(std::initializer_list<std::initializer_list<Color>> rows) {
  Bitmap b(static_cast<int>(rows.begin()->size()), static_cast<int>(rows.size()), 24);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (const Color c : row) b.SetPixel(x++, y, c);
    ++y;
  }
  return Rows(b);
}

TEST(BmpRead, AcceptedKindsGiveTheirPicturesTheRightWayUp) {
  BmpLayout topDown = EightBitLayout();
  topDown.height = -2;
  BmpLayout oneBit;
  oneBit.width = 10;
  oneBit.height = 1;
  oneBit.bits = 1;
  oneBit.palette = {kBlack, kWhite};
  oneBit.rows = {{0b10100000, 0b11000000}};
  BmpLayout fourBit;
  fourBit.width = 3;
  fourBit.height = 1;
  fourBit.bits = 4;
  fourBit.colorsUsed = 4;
  fourBit.palette = {kRed, kGreen, kBlue, kWhite};
  fourBit.rows = {{0x12, 0x30}};
  BmpLayout trueColour;
  trueColour.width = 2;
  trueColour.height = 2;
  trueColour.bits = 24;
  trueColour.rows = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}};  // blue, green, red bytes
  BmpLayout core = oneBit;
  core.headerSize = 12;
  BmpLayout v5 = trueColour;
  v5.headerSize = 124;
  BmpLayout plain32;
  plain32.width = 2;
  plain32.height = 1;
  plain32.bits = 32;
  plain32.rows = {{1, 2, 3, 0x80, 4, 5, 6, 0xFF}};

  // clang-format off
  const struct {
    const char* name;
    BmpLayout layout;
    int bits;
    std::string picture;
  } cases[] = {
    {"8-bit bottom-up", EightBitLayout(), 24, Expect({{kWhite, kRed, kGreen}, {kRed, kGreen, kBlue}})},
    {"8-bit top-down", topDown, 24, Expect({{kRed, kGreen, kBlue}, {kWhite, kRed, kGreen}})},
    {"1-bit", oneBit, 24, Expect({{kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite, kWhite}})},
    {"4-bit", fourBit, 24, Expect({{kGreen, kBlue, kWhite}})},
    {"24-bit", trueColour, 24, Expect({{kBlue, kWhite}, {kRed, kGreen}})},
    {"core header", core, 24, Expect({{kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite, kWhite}})},
    {"v5 header", v5, 24, Expect({{kBlue, kWhite}, {kRed, kGreen}})},
    {"32-bit", plain32, 32, Expect({{MakeColor(3, 2, 1), MakeColor(6, 5, 4)}})},
    {"32-bit bit fields", BitfieldLayout(), 32, Expect({{MakeColor(10, 20, 30), MakeColor(40, 50, 60)}})},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = BuildBmp(c.layout);
    Bitmap b;
    std::string error;
    ASSERT_TRUE(b.LoadBmpFromMemory(file, error)) << error;
    EXPECT_EQ(b.Bits(), c.bits);
    EXPECT_EQ(Rows(b), c.picture);
  }
}

// A pixel pattern with every channel different, and alpha from transparent to opaque.
Bitmap Pattern(int bits) {
  Bitmap b(5, 3, bits);  // odd width: 24-bit rows need padding
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      std::uint8_t* p = b.Scanline(y) + x * (bits / 8);
      p[0] = static_cast<std::uint8_t>(x * 50 + 1);
      p[1] = static_cast<std::uint8_t>(y * 80 + 2);
      p[2] = static_cast<std::uint8_t>(x * 20 + y * 7);
      if (bits == 32) p[3] = static_cast<std::uint8_t>((x + 5 * y) * 18);
    }
  }
  return b;
}

bool SameBytes(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Bits() != b.Bits()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.Scanline(y), a.Scanline(y) + a.Width() * a.Bits() / 8, b.Scanline(y))) return false;
  return true;
}

TEST(BmpRoundTrip, EncodedPicturesReadBackByteForByte) {
  for (const int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    const Bitmap original = Pattern(bits);
    const Bytes file = original.EncodeBmp();
    BmpInfo info;
    std::string error;
    ASSERT_TRUE(platform::InspectBmp(file, info, error)) << error;
    EXPECT_EQ(info.length, file.size()) << "a reader of embedded pictures consumes exactly the file";
    Bitmap loaded;
    ASSERT_TRUE(loaded.LoadBmpFromMemory(file, error)) << error;
    EXPECT_TRUE(SameBytes(original, loaded)) << "alpha included for 32 bits";
  }
}

class BmpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps two builds' suites running side by side out of each other's files.
    dir_ = std::filesystem::temp_directory_path() /
           ("morvane-bmp-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

TEST_F(BmpFiles, SavedFilesLoadBackAndReplaceOldOnesWithoutLeftovers) {
  for (const int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    const std::string path = Path("Screenshot.bmp");
    std::string error;
    ASSERT_TRUE(Bitmap(2, 2, 24).SaveBmp(path, error)) << error;
    ASSERT_TRUE(Pattern(bits).SaveBmp(path, error)) << error;  // over the old file
    Bitmap loaded;
    ASSERT_TRUE(loaded.LoadBmpFile(path, error)) << error;
    EXPECT_TRUE(SameBytes(Pattern(bits), loaded));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "no temporary file left";
  }
}

TEST_F(BmpFiles, FileErrorsAreReported) {
  std::string error;
  Bitmap b(1, 1, 24);
  EXPECT_FALSE(b.LoadBmpFile(Path("missing.bmp"), error));
  EXPECT_EQ(error, "File not found");
  EXPECT_FALSE(b.SaveBmp(Path("no-such-folder/x.bmp"), error));
  EXPECT_EQ(error, "Cannot write file");
  EXPECT_FALSE(Bitmap().SaveBmp(Path("empty.bmp"), error));
  EXPECT_EQ(error, "Empty bitmap");
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
  { std::ofstream(Path("text.bmp")) << "hello"; }
  EXPECT_FALSE(b.LoadBmpFile(Path("text.bmp"), error));
  EXPECT_EQ(error, "Not a bitmap");
}

TEST(BmpRead, BytesAfterTheFileAreNotPartOfIt) {
  Bytes file = BuildBmp(EightBitLayout());
  const std::size_t length = file.size();
  file.insert(file.end(), 7, 0xEE);
  BmpInfo info;
  std::string error;
  ASSERT_TRUE(platform::InspectBmp(file, info, error)) << error;
  EXPECT_EQ(info.length, length);
  Bitmap b;
  EXPECT_TRUE(b.LoadBmpFromMemory(file, error)) << error;
}

TEST(BmpRead, EveryShorterPrefixIsRefused) {
  for (const Bytes& whole :
       {BuildBmp(EightBitLayout()), BuildBmp(BitfieldLayout()), Pattern(24).EncodeBmp()}) {
    for (const bool statedSize : {true, false}) {
      Bytes file = whole;
      if (!statedSize) Patch32(file, kFileSize, 0);  // some writers leave it zero
      for (std::size_t n = 0; n < file.size(); ++n) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        Bitmap b;
        std::string error;
        EXPECT_FALSE(b.LoadBmpFromMemory(prefix, error)) << n << " of " << file.size();
        EXPECT_FALSE(error.empty());
      }
    }
  }
}

TEST(BmpRead, HostileHeadersAreRefusedWithTheirReason) {
  using Edit = std::function<void(Bytes&)>;
  const auto field32 = [](std::size_t at, std::uint32_t v) -> Edit {
    return [=](Bytes& b) { Patch32(b, at, v); };
  };
  const auto field16 = [](std::size_t at, std::uint32_t v) -> Edit {
    return [=](Bytes& b) { Patch16(b, at, v); };
  };
  const auto shorten = [](std::size_t n) -> Edit {
    return [=](Bytes& b) {
      b.resize(b.size() - n);
      Patch32(b, kFileSize, static_cast<std::uint32_t>(b.size()));
    };
  };
  const Bytes eight = BuildBmp(EightBitLayout());
  const Bytes bitfields = BuildBmp(BitfieldLayout());
  BmpLayout coreLayout = EightBitLayout();
  coreLayout.headerSize = 12;
  coreLayout.palette.resize(256);
  const Bytes core = BuildBmp(coreLayout);

  // clang-format off
  const struct {
    const char* name;
    const Bytes& base;
    Edit edit;
    const char* error;
  } cases[] = {
    {"empty", eight, [](Bytes& b) { b.clear(); }, "Not a bitmap"},
    {"one byte", eight, [](Bytes& b) { b.resize(1); }, "Not a bitmap"},
    {"wrong magic", eight, [](Bytes& b) { b[1] = 'A'; }, "Not a bitmap"},
    {"file header only", eight, [](Bytes& b) { b.resize(16); }, "Truncated bitmap"},
    {"stated size past the end", eight, field32(kFileSize, static_cast<std::uint32_t>(eight.size() + 1)), "Truncated bitmap"},
    {"unknown header size", eight, field32(kHeaderSize, 20), "Unsupported bitmap header"},
    {"header size 64", eight, field32(kHeaderSize, 64), "Unsupported bitmap header"},
    {"huge header size", eight, field32(kHeaderSize, 0xFFFFFFFF), "Unsupported bitmap header"},
    {"header past the end", eight, field32(kHeaderSize, 124), "Truncated bitmap"},
    {"zero width", eight, field32(kWidth, 0), "Bad bitmap size"},
    {"negative width", eight, field32(kWidth, static_cast<std::uint32_t>(-3)), "Bad bitmap size"},
    {"width over the limit", eight, field32(kWidth, 16385), "Bad bitmap size"},
    {"zero height", eight, field32(kHeight, 0), "Bad bitmap size"},
    {"height over the limit", eight, field32(kHeight, 16385), "Bad bitmap size"},
    {"top-down over the limit", eight, field32(kHeight, static_cast<std::uint32_t>(-16385)), "Bad bitmap size"},
    {"most negative height", eight, field32(kHeight, 0x80000000u), "Bad bitmap size"},
    {"core header zero width", core, field16(18, 0), "Bad bitmap size"},
    {"no planes", eight, field16(kPlanes, 0), "Bad bitmap planes"},
    {"two planes", eight, field16(kPlanes, 2), "Bad bitmap planes"},
    {"0 bits", eight, field16(kBits, 0), "Unsupported bitmap depth"},
    {"2 bits", eight, field16(kBits, 2), "Unsupported bitmap depth"},
    {"16 bits", eight, field16(kBits, 16), "Unsupported bitmap depth"},
    {"64 bits", eight, field16(kBits, 64), "Unsupported bitmap depth"},
    {"run-length 8", eight, field32(kCompression, 1), "Unsupported bitmap compression"},
    {"run-length 4", eight, field32(kCompression, 2), "Unsupported bitmap compression"},
    {"bit fields on 8 bits", eight, field32(kCompression, 3), "Unsupported bitmap compression"},
    {"embedded JPEG", eight, field32(kCompression, 4), "Unsupported bitmap compression"},
    {"alpha bit fields", bitfields, field32(kCompression, 6), "Unsupported bitmap compression"},
    {"palette larger than the depth allows", eight, field32(kColorsUsed, 257), "Bad bitmap palette"},
    {"absurd palette", eight, field32(kColorsUsed, 0xFFFFFFFF), "Bad bitmap palette"},
    {"palette past the end", eight, field32(kColorsUsed, 200), "Truncated bitmap"},
    {"palette over the pixels", eight, field32(kColorsUsed, 5), "Bad pixel data offset"},
    {"pixels inside the header", eight, field32(kPixelOffset, 0), "Bad pixel data offset"},
    {"pixels inside the palette", eight, field32(kPixelOffset, 14 + 40 + 8), "Bad pixel data offset"},
    {"pixels past the end", eight, field32(kPixelOffset, static_cast<std::uint32_t>(eight.size() + 1)), "Bad pixel data offset"},
    {"last row short", eight, shorten(1), "Truncated bitmap"},
    {"rows too wide for the file", eight, field32(kWidth, 16384), "Truncated bitmap"},
    {"too many rows for the file", eight, field32(kHeight, static_cast<std::uint32_t>(-3)), "Truncated bitmap"},
    {"no red mask", bitfields, field32(54, 0), "Bad bitmap masks"},
    {"overlapping masks", bitfields, field32(58, 0x000000FF), "Bad bitmap masks"},
    {"masks cut off", bitfields, [](Bytes& b) { b.resize(14 + 40 + 6); Patch32(b, kFileSize, 0); }, "Truncated bitmap"},
    {"core palette past the end", core, shorten(10), "Truncated bitmap"},
  };
  // clang-format on
  for (const auto& c : cases) {
    Bytes file = c.base;
    c.edit(file);
    Bitmap b(1, 1, 24);
    b.SetPixel(0, 0, kRed);
    std::string error;
    EXPECT_FALSE(b.LoadBmpFromMemory(file, error)) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_EQ(b.Width(), 1) << c.name << ": a refused file leaves the bitmap as it was";
    EXPECT_EQ(b.Pixel(0, 0), kRed) << c.name;
  }
}

}  // namespace
