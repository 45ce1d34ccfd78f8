// The game's one typeface (DejaVu Sans, regular and bold) opened at the sizes asked for.
// A FontCache owns every font it opens and keeps the TrueType engine up while it lives.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

typedef struct _TTF_Font TTF_Font;

namespace platform {

// Path of DejaVu Sans (or its bold face) in the usual system font folders; empty if absent.
std::string FindDejaVuSans(bool bold);

// Dialog font sizes are given in points for a 96-dpi screen; fonts here take pixels.
constexpr int PixelsFromPoints(int points) { return (points * 96 + 36) / 72; }

class FontCache {
 public:
  // The system's DejaVu Sans.
  FontCache();
  // Any regular and bold face; an empty or missing bold path makes bold synthetic.
  FontCache(std::string regularPath, std::string boldPath);
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // True when the TrueType engine started and the regular face exists.
  bool Ready() const;
  // Why the last font could not be had.
  const std::string& Error() const { return error_; }

  // The font with this pixel size (the em height, 1..1000), opened on first use.
  // Null with Error() set when it cannot be opened. The cache keeps ownership.
  TTF_Font* Font(int pixelSize, bool bold);

  // Extent of one line of UTF-8 text; 0 when the font cannot be had. The height is the
  // font's line height, the same for any text.
  int TextWidth(std::string_view utf8, int pixelSize, bool bold);
  int TextHeight(std::string_view utf8, int pixelSize, bool bold);

 private:
  bool ttfStarted_ = false;
  std::string regularPath_;
  std::string boldPath_;
  std::string error_;
  std::map<std::pair<int, bool>, TTF_Font*> fonts_;
};

}  // namespace platform
