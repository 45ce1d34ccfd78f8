// Font lookup and the TTF_Font cache over SDL2_ttf.
#include "platform/fonts.h"

#include <SDL_ttf.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

constexpr const char* kFontFolders[] = {
    "/usr/share/fonts/truetype/dejavu/",  // Debian, Ubuntu
    "/usr/share/fonts/TTF/",              // Arch
    "/usr/share/fonts/dejavu-sans-fonts/",
    "/usr/share/fonts/dejavu/",
    "/usr/local/share/fonts/",
};

constexpr int kMaxPixelSize = 1000;

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string FindDejaVuSans(bool bold) {
  const char* file = bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf";
  for (const char* folder : kFontFolders) {
    std::string path = std::string(folder) + file;
    if (IsFile(path)) return path;
  }
  return {};
}

FontCache::FontCache() : FontCache(FindDejaVuSans(false), FindDejaVuSans(true)) {}

FontCache::FontCache(std::string regularPath, std::string boldPath)
    : regularPath_(std::move(regularPath)), boldPath_(std::move(boldPath)) {
  // TTF_Init counts its callers, so each cache may start and stop it independently.
  ttfStarted_ = TTF_Init() == 0;
  if (!ttfStarted_) error_ = std::string("Cannot start font engine: ") + TTF_GetError();
}

FontCache::~FontCache() {
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
  if (ttfStarted_) TTF_Quit();
}

bool FontCache::Ready() const { return ttfStarted_ && IsFile(regularPath_); }

TTF_Font* FontCache::Font(int pixelSize, bool bold) {
  if (!ttfStarted_) return nullptr;
  if (pixelSize < 1 || pixelSize > kMaxPixelSize) {
    error_ = "Bad font size";
    return nullptr;
  }
  const auto key = std::make_pair(pixelSize, bold);
  if (const auto it = fonts_.find(key); it != fonts_.end()) return it->second;

  const bool realBold = bold && IsFile(boldPath_);
  const std::string& path = realBold ? boldPath_ : regularPath_;
  if (!IsFile(path)) {
    error_ = "Font not found: " + path;
    return nullptr;
  }
  TTF_Font* font = TTF_OpenFont(path.c_str(), pixelSize);
  if (font == nullptr) {
    error_ = std::string("Cannot open font: ") + TTF_GetError();
    return nullptr;
  }
  if (bold && !realBold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  fonts_.emplace(key, font);
  return font;
}

int FontCache::TextWidth(std::string_view utf8, int pixelSize, bool bold) {
  TTF_Font* font = Font(pixelSize, bold);
  if (font == nullptr || utf8.empty()) return 0;
  int w = 0, h = 0;
  if (TTF_SizeUTF8(font, std::string(utf8).c_str(), &w, &h) != 0) return 0;
  return w;
}

int FontCache::TextHeight(std::string_view, int pixelSize, bool bold) {
  TTF_Font* font = Font(pixelSize, bold);
  return font == nullptr ? 0 : TTF_FontHeight(font);
}

}  // namespace platform
