// Tagged value reader and writer for theme meshes; every length is checked before it is trusted.
#include "scene/meshstream.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

bool IsIntegerTag(std::uint8_t tag) { return tag == vaInt8 || tag == vaInt16 || tag == vaInt32; }
bool IsStringTag(std::uint8_t tag) {
  return tag == vaString || tag == vaLString || tag == vaWString || tag == vaUTF8String;
}
bool IsBooleanTag(std::uint8_t tag) { return tag == vaFalse || tag == vaTrue; }

TMeshStreamError UnknownArchiveVersion(std::string_view className, int version) {
  return TMeshStreamError(std::string(className) + " : unknown archive version " + std::to_string(version));
}

// ---- 80-bit extended floats ----

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kDoubleFraction = (std::uint64_t{1} << 52) - 1;

// value >> shift, rounded to nearest with ties to even.
std::uint64_t ShiftRightRounded(std::uint64_t value, int shift) {
  if (shift <= 0) return value;
  if (shift > 64) return 0;  // value < 2^64 <= half of one unit: rounds to zero
  std::uint64_t kept = shift == 64 ? 0 : value >> shift;
  std::uint64_t lost = shift == 64 ? value : value & ((std::uint64_t{1} << shift) - 1);
  std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (lost > half || (lost == half && (kept & 1))) ++kept;
  return kept;
}

}  // namespace

TExtendedBytes EncodeExtended(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  bool negative = bits >> 63;
  int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & kDoubleFraction;

  std::uint64_t mantissa = 0;
  int extendedExponent = 0;
  if (exponent == 0x7FF) {
    extendedExponent = 0x7FFF;
    // Infinity keeps only the integer bit; a NaN keeps its payload and is made quiet.
    mantissa = fraction == 0 ? kIntegerBit : kIntegerBit | (std::uint64_t{1} << 62) | (fraction << 11);
  } else if (exponent == 0) {
    if (fraction != 0) {
      // A double denormal is an ordinary normal number in the wider exponent range.
      int lead = std::countl_zero(fraction);
      mantissa = fraction << lead;
      extendedExponent = 1 - kDoubleBias - 52 + 63 - lead + kExtendedBias;
    }
  } else {
    mantissa = kIntegerBit | (fraction << 11);
    extendedExponent = exponent - kDoubleBias + kExtendedBias;
  }

  TExtendedBytes out{};
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  std::uint16_t top = static_cast<std::uint16_t>(extendedExponent | (negative ? 0x8000 : 0));
  out[8] = static_cast<std::uint8_t>(top);
  out[9] = static_cast<std::uint8_t>(top >> 8);
  return out;
}

double DecodeExtended(const TExtendedBytes& bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= std::uint64_t{bytes[i]} << (8 * i);
  std::uint16_t top = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
  std::uint64_t sign = std::uint64_t(top >> 15) << 63;
  int exponent = top & 0x7FFF;

  if (exponent == 0x7FFF) {
    std::uint64_t payload = mantissa & ~kIntegerBit;
    if (payload == 0) return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
    std::uint64_t fraction = ((payload >> 11) & kDoubleFraction) | (std::uint64_t{1} << 51);
    return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52) | fraction);
  }
  if (mantissa == 0) return std::bit_cast<double>(sign);

  // Normalise: extended denormals (exponent 0) have the exponent of 1 and no integer bit, and
  // a missing integer bit on a normal exponent is read the same way rather than refused.
  int lead = std::countl_zero(mantissa);
  mantissa <<= lead;
  int unbiased = (exponent == 0 ? 1 : exponent) - kExtendedBias - lead;
  int doubleExponent = unbiased + kDoubleBias;

  if (doubleExponent >= 0x7FF) return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
  if (doubleExponent >= 1) {
    std::uint64_t significand = ShiftRightRounded(mantissa, 11);  // 53 bits, may carry to 54
    if (significand >> 53) {
      significand >>= 1;
      if (++doubleExponent >= 0x7FF) return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
    }
    return std::bit_cast<double>(sign | (std::uint64_t(doubleExponent) << 52) | (significand & kDoubleFraction));
  }
  // Double denormal: a carry into bit 52 lands on the smallest normal, which the encoding gives for free.
  std::uint64_t fraction = ShiftRightRounded(mantissa, 11 + 1 - doubleExponent);
  return std::bit_cast<double>(sign | fraction);
}

float DoubleToFloat(double value) {
  // Halfway between the largest float and 2^128: from there on the nearest float is infinity.
  constexpr double kOverflow = 340282356779733661637539395458142568448.0;
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  float sign = std::signbit(value) ? -1.0f : 1.0f;
  if (std::fabs(value) >= kOverflow) return sign * std::numeric_limits<float>::infinity();
  if (std::fabs(value) > std::numeric_limits<float>::max()) return sign * std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

// ---- reader ----

TMeshStreamReader::TMeshStreamReader(std::span<const std::uint8_t> bytes, std::size_t pos)
    : bytes_(bytes), pos_(pos) {
  if (pos_ > bytes_.size()) Truncated(0);
}

void TMeshStreamReader::Truncated(std::size_t wanted) const {
  throw TMeshStreamError("Mesh stream ends early: " + std::to_string(wanted) + " bytes wanted at byte " +
                         std::to_string(pos_) + " of " + std::to_string(bytes_.size()));
}

std::uint8_t TMeshStreamReader::NextTag() const {
  if (pos_ >= bytes_.size()) Truncated(1);
  return bytes_[pos_];
}

std::uint8_t TMeshStreamReader::TakeTag(bool (*fits)(std::uint8_t), std::string_view expected) {
  std::uint8_t tag = NextTag();
  if (!fits(tag))
    throw TMeshStreamError("Mesh stream: " + std::string(expected) + " expected at byte " + std::to_string(pos_) +
                           ", found tag " + std::to_string(tag));
  ++pos_;
  return tag;
}

std::span<const std::uint8_t> TMeshStreamReader::ReadRaw(std::size_t count) {
  if (count > Remaining()) Truncated(count);
  auto out = bytes_.subspan(pos_, count);
  pos_ += count;
  return out;
}

std::uint8_t TMeshStreamReader::ReadRawByte() { return ReadRaw(1)[0]; }

std::uint32_t TMeshStreamReader::ReadRawUInt32() {
  auto b = ReadRaw(4);
  return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
}

void TMeshStreamReader::RequireItems(std::uint64_t count, std::uint64_t itemSize, std::string_view what) const {
  // Both factors stay below 2^32 in every caller, so the product cannot wrap.
  if (count * itemSize > Remaining())
    throw TMeshStreamError(std::string(what) + " claims " + std::to_string(count) + " items of " +
                           std::to_string(itemSize) + " bytes but only " + std::to_string(Remaining()) +
                           " bytes remain");
}

void TMeshStreamReader::ReadListBegin() { TakeTag([](std::uint8_t t) { return t == vaList; }, "list begin"); }
void TMeshStreamReader::ReadListEnd() { TakeTag([](std::uint8_t t) { return t == vaNull; }, "list end"); }

std::int32_t TMeshStreamReader::ReadInteger() {
  switch (TakeTag(IsIntegerTag, "integer")) {
    case vaInt8: return static_cast<std::int8_t>(ReadRaw(1)[0]);
    case vaInt16: {
      auto b = ReadRaw(2);
      return static_cast<std::int16_t>(b[0] | b[1] << 8);
    }
    default: return static_cast<std::int32_t>(ReadRawUInt32());
  }
}

bool TMeshStreamReader::ReadBoolean() { return TakeTag(IsBooleanTag, "boolean") == vaTrue; }

double TMeshStreamReader::ReadFloat() {
  TakeTag([](std::uint8_t t) { return t == vaExtended; }, "float");
  auto b = ReadRaw(10);
  TExtendedBytes ext;
  std::memcpy(ext.data(), b.data(), ext.size());
  return DecodeExtended(ext);
}

std::string TMeshStreamReader::ReadString() {
  std::uint8_t tag = TakeTag(IsStringTag, "string");
  if (tag == vaString) {
    auto text = ReadRaw(ReadRawByte());
    return std::string(text.begin(), text.end());
  }
  std::uint32_t length = ReadRawUInt32();
  if (tag == vaLString) {
    auto text = ReadRaw(length);
    return std::string(text.begin(), text.end());
  }
  // Names are single-byte text: ASCII is kept and every other character, whether it came as a
  // UTF-16 unit, a surrogate pair or a UTF-8 sequence, becomes one '?', so a name reads the same
  // whichever of the two tags carried it.
  std::string out;
  if (tag == vaWString) {
    RequireItems(length, 2, "Wide string");
    auto units = ReadRaw(std::size_t{length} * 2);
    for (std::size_t i = 0; i < length; ++i) {
      unsigned unit = units[2 * i] | units[2 * i + 1] << 8;
      if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
        continue;
      }
      out.push_back('?');
      bool high = unit >= 0xD800 && unit <= 0xDBFF;
      if (high && i + 1 < length) {
        unsigned next = units[2 * i + 2] | units[2 * i + 3] << 8;
        if (next >= 0xDC00 && next <= 0xDFFF) ++i;
      }
    }
    return out;
  }
  auto text = ReadRaw(length);
  for (std::size_t i = 0; i < text.size();) {
    std::uint8_t lead = text[i++];
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      continue;
    }
    out.push_back('?');
    int continuation = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    while (continuation-- > 0 && i < text.size() && (text[i] & 0xC0) == 0x80) ++i;
  }
  return out;
}

// ---- writer ----

void TMeshStreamWriter::WriteRaw(std::span<const std::uint8_t> bytes) {
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void TMeshStreamWriter::WriteRawUInt32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TMeshStreamWriter::WriteInteger(std::int32_t value) {
  auto raw = static_cast<std::uint32_t>(value);
  if (value >= -128 && value <= 127) {
    out_.push_back(vaInt8);
    out_.push_back(static_cast<std::uint8_t>(raw));
  } else if (value >= -32768 && value <= 32767) {
    out_.push_back(vaInt16);
    out_.push_back(static_cast<std::uint8_t>(raw));
    out_.push_back(static_cast<std::uint8_t>(raw >> 8));
  } else {
    out_.push_back(vaInt32);
    WriteRawUInt32(raw);
  }
}

void TMeshStreamWriter::WriteFloat(double value) {
  out_.push_back(vaExtended);
  TExtendedBytes ext = EncodeExtended(value);
  WriteRaw(ext);
}

void TMeshStreamWriter::WriteString(std::string_view text) {
  if (text.size() < 256) {
    out_.push_back(vaString);
    out_.push_back(static_cast<std::uint8_t>(text.size()));
  } else {
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
      throw TMeshStreamError("String too long for the mesh stream");
    out_.push_back(vaLString);
    WriteRawUInt32(static_cast<std::uint32_t>(text.size()));
  }
  WriteRaw(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// ---- numeric lists ----

namespace {

// Every list item is a run of 32-bit little-endian components: floats or signed integers.
template <class Item>
constexpr int ComponentCount() {
  if constexpr (std::is_arithmetic_v<Item>) return 1;
  else return Item::length();
}

template <class Item>
auto& Component(Item& item, int k) {
  if constexpr (std::is_arithmetic_v<Item>) {
    (void)k;
    return item;
  } else {
    return item[k];
  }
}

template <class Item>
void ReadNumericList(TMeshStreamReader& reader, std::string_view className, std::vector<Item>& list,
                     bool trailingVersion) {
  constexpr int kComponents = ComponentCount<Item>();
  constexpr std::int32_t kItemSize = 4 * kComponents;
  std::int32_t version = reader.ReadInteger();
  if (version != 0) throw UnknownArchiveVersion(className, version);
  std::int32_t count = reader.ReadInteger();
  std::int32_t itemSize = reader.ReadInteger();
  if (count < 0) throw TMeshStreamError(std::string(className) + " has a negative count");
  if (itemSize != kItemSize)
    throw TMeshStreamError(std::string(className) + " item size " + std::to_string(itemSize) + ", expected " +
                           std::to_string(kItemSize));
  list.clear();
  if (count > 0) {
    reader.RequireItems(static_cast<std::uint64_t>(count), kItemSize, className);
    auto raw = reader.ReadRaw(std::size_t(count) * kItemSize);
    list.resize(std::size_t(count));
    const std::uint8_t* p = raw.data();
    for (Item& item : list) {
      for (int k = 0; k < kComponents; ++k, p += 4) {
        std::uint32_t bits = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                             std::uint32_t{p[3]} << 24;
        auto& c = Component(item, k);
        using C = std::remove_reference_t<decltype(c)>;
        c = std::bit_cast<C>(bits);
      }
    }
  }
  if (trailingVersion) {
    version = reader.ReadInteger();
    if (version != 0) throw UnknownArchiveVersion(className, version);
  }
}

template <class Item>
void WriteNumericList(TMeshStreamWriter& writer, const std::vector<Item>& list, bool trailingVersion) {
  constexpr int kComponents = ComponentCount<Item>();
  if (list.size() > std::size_t(std::numeric_limits<std::int32_t>::max() / (4 * kComponents)))
    throw TMeshStreamError("List too long for the mesh stream");
  writer.WriteInteger(0);
  writer.WriteInteger(static_cast<std::int32_t>(list.size()));
  writer.WriteInteger(4 * kComponents);
  std::vector<std::uint8_t> raw;
  raw.reserve(list.size() * 4 * kComponents);
  for (Item item : list) {
    for (int k = 0; k < kComponents; ++k) {
      auto bits = std::bit_cast<std::uint32_t>(Component(item, k));
      for (int i = 0; i < 4; ++i) raw.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
  }
  writer.WriteRaw(raw);
  if (trailingVersion) writer.WriteInteger(0);
}

}  // namespace

void ReadAffineVectorList(TMeshStreamReader& r, TAffineVectorList& l) { ReadNumericList(r, "TAffineVectorList", l, true); }
void ReadVectorList(TMeshStreamReader& r, TVectorList& l) { ReadNumericList(r, "TVectorList", l, true); }
void ReadTexPointList(TMeshStreamReader& r, TTexPointList& l) { ReadNumericList(r, "TTexPointList", l, false); }
void ReadIntegerList(TMeshStreamReader& r, TIntegerList& l) { ReadNumericList(r, "TIntegerList", l, false); }
void ReadSingleList(TMeshStreamReader& r, TSingleList& l) { ReadNumericList(r, "TSingleList", l, false); }

void WriteAffineVectorList(TMeshStreamWriter& w, const TAffineVectorList& l) { WriteNumericList(w, l, true); }
void WriteVectorList(TMeshStreamWriter& w, const TVectorList& l) { WriteNumericList(w, l, true); }
void WriteTexPointList(TMeshStreamWriter& w, const TTexPointList& l) { WriteNumericList(w, l, false); }
void WriteIntegerList(TMeshStreamWriter& w, const TIntegerList& l) { WriteNumericList(w, l, false); }
void WriteSingleList(TMeshStreamWriter& w, const TSingleList& l) { WriteNumericList(w, l, false); }
