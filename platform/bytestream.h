// Little-endian byte streams for the game's own file formats: a reader over a byte span whose
// every read says whether the bytes were there (it never reads past the end), and the writer
// that mirrors it. Strings are bytes here; code pages are the caller's business.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace platform {

// " (byte N)": where in a file a reader's message points.
inline std::string AtByte(std::size_t pos) { return " (byte " + std::to_string(pos) + ")"; }

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t pos = 0) : bytes_(bytes), pos_(pos) {}

  std::size_t Pos() const { return pos_; }
  std::size_t Left() const { return pos_ <= bytes_.size() ? bytes_.size() - pos_ : 0; }
  bool AtEnd() const { return Left() == 0; }
  // The next byte; only when !AtEnd().
  std::uint8_t Peek() const { return bytes_[pos_]; }

  // Each read is all or nothing: false, and the position unchanged, when the bytes run out.
  bool Raw(void* out, std::size_t n) {
    if (Left() < n) return false;
    if (n) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool U8(std::uint8_t& v) { return Raw(&v, 1); }
  bool U16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!Raw(b, 2)) return false;
    v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
  }
  bool I16(std::int16_t& v) {
    std::uint16_t u;
    if (!U16(u)) return false;
    v = static_cast<std::int16_t>(u);
    return true;
  }
  bool U32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!Raw(b, 4)) return false;
    v = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u;
    if (!U32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  bool F32(float& v) {
    std::uint32_t u;
    if (!U32(u)) return false;
    v = std::bit_cast<float>(u);
    return true;
  }
  bool F64(double& v) {
    std::uint8_t b[8];
    if (!Raw(b, 8)) return false;
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = u << 8 | b[i];
    v = std::bit_cast<double>(u);
    return true;
  }
  // One length byte, then that many bytes.
  bool ShortString(std::string& s) {
    if (Left() < 1 || Left() - 1 < bytes_[pos_]) return false;
    const std::size_t n = bytes_[pos_];
    s.assign(reinterpret_cast<const char*>(bytes_.data() + pos_ + 1), n);
    pos_ += 1 + n;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_;
};

class ByteWriter {
 public:
  std::vector<std::uint8_t> bytes;
  void U8(std::uint8_t v) { bytes.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void F64(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) U8(static_cast<std::uint8_t>(u >> (8 * i)));
  }
  void Raw(const std::uint8_t* p, std::size_t n) {
    // Grown then copied: the optimiser's bounds warnings misread a range insert of a few bytes.
    if (n == 0) return;
    const std::size_t at = bytes.size();
    bytes.resize(at + n);
    std::memcpy(bytes.data() + at, p, n);
  }
  // Callers keep `s` to 255 bytes: the length is one byte.
  void ShortString(const std::string& s) {
    U8(static_cast<std::uint8_t>(s.size()));
    Raw(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  }
};

}  // namespace platform
