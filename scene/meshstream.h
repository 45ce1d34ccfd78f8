// Tagged value stream that theme meshes travel in: a bounds-checked reader over a byte span,
// its mirror-image writer, the numeric list forms and the 80-bit float converter.
// Knows nothing of meshes or OpenGL; every malformed input becomes a TMeshStreamError.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "scene/vectorgeometry.h"

using TVectorList = std::vector<TVector>;
using TTexPointList = std::vector<TTexPoint>;
using TIntegerList = std::vector<std::int32_t>;

// Tag bytes that introduce each value.
enum TValueTag : std::uint8_t {
  vaNull = 0,        // end of list
  vaList = 1,        // begin of list
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,    // 80-bit float
  vaString = 6,      // length byte + bytes
  vaFalse = 8,
  vaTrue = 9,
  vaLString = 12,    // 32-bit length + bytes
  vaWString = 18,    // 32-bit count of UTF-16 units + 2 bytes each
  vaUTF8String = 20, // 32-bit length + UTF-8 bytes
};

bool IsIntegerTag(std::uint8_t tag);
bool IsStringTag(std::uint8_t tag);
bool IsBooleanTag(std::uint8_t tag);

class TMeshStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "<className> : unknown archive version <version>", the message every versioned class raises.
TMeshStreamError UnknownArchiveVersion(std::string_view className, int version);

// The 10-byte x87 extended format: 64-bit mantissa with an explicit integer bit, then 15 bits of
// exponent (bias 16383) and the sign. Decoded bit by bit so no host long double is involved.
using TExtendedBytes = std::array<std::uint8_t, 10>;
TExtendedBytes EncodeExtended(double value);
// Rounds to nearest even; magnitudes beyond double range become infinities, tiny ones zero.
double DecodeExtended(const TExtendedBytes& bytes);
// Rounds to nearest even like a hardware conversion, but never hits the undefined cast of an
// out-of-range double: too large a magnitude becomes an infinity.
float DoubleToFloat(double value);

class TMeshStreamReader {
 public:
  explicit TMeshStreamReader(std::span<const std::uint8_t> bytes, std::size_t pos = 0);

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return bytes_.size() - pos_; }

  // The tag of the next value, not consumed.
  std::uint8_t NextTag() const;
  // True when the next tag closes a list.
  bool EndOfList() const { return NextTag() == vaNull; }

  void ReadListBegin();
  void ReadListEnd();
  // Tags 2, 3 and 4, sign-extended.
  std::int32_t ReadInteger();
  bool ReadBoolean();
  double ReadFloat();
  // Tags 6, 12, 18 and 20, all turned into single-byte text.
  std::string ReadString();

  // Untagged bytes.
  std::uint8_t ReadRawByte();
  std::span<const std::uint8_t> ReadRaw(std::size_t count);
  // Refuses before anything is allocated when fewer than count * itemSize bytes remain.
  void RequireItems(std::uint64_t count, std::uint64_t itemSize, std::string_view what) const;

 private:
  std::uint8_t TakeTag(bool (*fits)(std::uint8_t), std::string_view expected);
  std::uint32_t ReadRawUInt32();
  [[noreturn]] void Truncated(std::size_t wanted) const;

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_;
};

// Appends to a byte vector; picks the smallest integer tag and the short or long string tag.
class TMeshStreamWriter {
 public:
  explicit TMeshStreamWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void WriteListBegin() { out_.push_back(vaList); }
  void WriteListEnd() { out_.push_back(vaNull); }
  void WriteInteger(std::int32_t value);
  void WriteBoolean(bool value) { out_.push_back(value ? vaTrue : vaFalse); }
  void WriteFloat(double value);
  void WriteString(std::string_view text);
  void WriteRawByte(std::uint8_t value) { out_.push_back(value); }
  void WriteRaw(std::span<const std::uint8_t> bytes);

 private:
  void WriteRawUInt32(std::uint32_t value);

  std::vector<std::uint8_t>& out_;
};

// Numeric lists: version 0, count, item size, raw items; the vector lists add a second version 0.
// The item size must be the native one, so a list written for other item layouts is refused.
void ReadAffineVectorList(TMeshStreamReader& reader, TAffineVectorList& list);
void ReadVectorList(TMeshStreamReader& reader, TVectorList& list);
void ReadTexPointList(TMeshStreamReader& reader, TTexPointList& list);
void ReadIntegerList(TMeshStreamReader& reader, TIntegerList& list);
void ReadSingleList(TMeshStreamReader& reader, TSingleList& list);

void WriteAffineVectorList(TMeshStreamWriter& writer, const TAffineVectorList& list);
void WriteVectorList(TMeshStreamWriter& writer, const TVectorList& list);
void WriteTexPointList(TMeshStreamWriter& writer, const TTexPointList& list);
void WriteIntegerList(TMeshStreamWriter& writer, const TIntegerList& list);
void WriteSingleList(TMeshStreamWriter& writer, const TSingleList& list);
