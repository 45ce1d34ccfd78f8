// Theme mesh streams: value tags, 80-bit floats, numeric lists, object lists and every way a
// damaged or hostile stream must be refused without crashing.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/meshobject.h"
#include "scene/meshstream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// Expects f to throw TMeshStreamError with `fragment` in its message.
template <class F>
void ExpectStreamError(F&& f, const std::string& fragment) {
  try {
    f();
    ADD_FAILURE() << "no error, expected: " << fragment;
  } catch (const TMeshStreamError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

// ---- values ----

TEST(MeshStreamValues, IntegersTakeTheSmallestTagAndReadBackSignExtended) {
  struct Case {
    std::int32_t value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0, {2, 0}},
      {100, {2, 100}},
      {-1, {2, 0xFF}},
      {127, {2, 0x7F}},
      {-128, {2, 0x80}},
      {128, {3, 0x80, 0x00}},
      {200, {3, 0xC8, 0x00}},
      {-129, {3, 0x7F, 0xFF}},
      {32767, {3, 0xFF, 0x7F}},
      {-32768, {3, 0x00, 0x80}},
      {32768, {4, 0x00, 0x80, 0x00, 0x00}},
      {40000, {4, 0x40, 0x9C, 0x00, 0x00}},
      {-40000, {4, 0xC0, 0x63, 0xFF, 0xFF}},
      {std::numeric_limits<std::int32_t>::max(), {4, 0xFF, 0xFF, 0xFF, 0x7F}},
      {std::numeric_limits<std::int32_t>::min(), {4, 0x00, 0x00, 0x00, 0x80}},
  };
  for (const Case& c : cases) {
    Bytes out;
    TMeshStreamWriter(out).WriteInteger(c.value);
    EXPECT_EQ(out, c.bytes) << c.value;
    TMeshStreamReader reader(out);
    EXPECT_EQ(reader.ReadInteger(), c.value);
    EXPECT_EQ(reader.Remaining(), 0u);
  }
}

TEST(MeshStreamValues, StringsShortAndLongRoundTrip) {
  for (std::size_t length : {0u, 1u, 255u, 256u, 1000u}) {
    std::string text(length, 'x');
    Bytes out;
    TMeshStreamWriter(out).WriteString(text);
    if (length < 256) {
      ASSERT_EQ(out.size(), 2 + length);
      EXPECT_EQ(out[0], vaString);
      EXPECT_EQ(out[1], length);
    } else {
      ASSERT_EQ(out.size(), 5 + length);
      EXPECT_EQ(out[0], vaLString);
      std::uint32_t stored = out[1] | out[2] << 8 | out[3] << 16 | std::uint32_t(out[4]) << 24;
      EXPECT_EQ(stored, length);
    }
    TMeshStreamReader reader(out);
    EXPECT_EQ(reader.ReadString(), text);
  }
}

TEST(MeshStreamValues, WideAndUtf8StringsBecomeSingleByteText) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::string text;
  };
  const Case cases[] = {
      {"wide ASCII", {18, 2, 0, 0, 0, 'A', 0, 'b', 0}, "Ab"},
      {"wide accented letter", {18, 3, 0, 0, 0, 'J', 0, 0xE1, 0x00, 'n', 0}, "J?n"},
      {"wide surrogate pair is one character", {18, 3, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 'x', 0}, "?x"},
      {"wide lone high surrogate at the end", {18, 2, 0, 0, 0, 'x', 0, 0x3D, 0xD8}, "x?"},
      {"UTF-8 ASCII", {20, 3, 0, 0, 0, 'T', 'r', 'e'}, "Tre"},
      {"UTF-8 two-byte letter", {20, 3, 0, 0, 0, 'J', 0xC3, 0xA1}, "J?"},
      {"UTF-8 four-byte character", {20, 5, 0, 0, 0, 0xF0, 0x9F, 0x98, 0x80, 'x'}, "?x"},
      {"UTF-8 stray continuation bytes", {20, 2, 0, 0, 0, 0x80, 0x80}, "??"},
      {"UTF-8 sequence cut by the length", {20, 1, 0, 0, 0, 0xE2}, "?"},
  };
  for (const Case& c : cases) {
    TMeshStreamReader reader(c.bytes);
    EXPECT_EQ(reader.ReadString(), c.text) << c.what;
    EXPECT_EQ(reader.Remaining(), 0u) << c.what;
  }
}

TEST(MeshStreamValues, EachReadAcceptsOnlyItsOwnTags) {
  struct Case {
    const char* what;
    std::function<void(TMeshStreamReader&)> read;
    Bytes wrong;
  };
  const Case cases[] = {
      {"integer", [](TMeshStreamReader& r) { r.ReadInteger(); }, {vaTrue}},
      {"string", [](TMeshStreamReader& r) { r.ReadString(); }, {vaInt8, 3}},
      {"boolean", [](TMeshStreamReader& r) { r.ReadBoolean(); }, {vaInt8, 0}},
      {"float", [](TMeshStreamReader& r) { r.ReadFloat(); }, {vaInt8, 1}},
      {"list begin", [](TMeshStreamReader& r) { r.ReadListBegin(); }, {vaNull}},
      {"list end", [](TMeshStreamReader& r) { r.ReadListEnd(); }, {vaList}},
      {"integer", [](TMeshStreamReader& r) { r.ReadInteger(); }, {7, 0}},
  };
  for (const Case& c : cases) {
    TMeshStreamReader reader(c.wrong);
    ExpectStreamError([&] { c.read(reader); }, std::string(c.what) + " expected");
    EXPECT_EQ(reader.Position(), 0u) << "a refused tag is not consumed";
  }
}

TEST(MeshStreamValues, BooleansListsAndPeeking) {
  Bytes out;
  TMeshStreamWriter writer(out);
  writer.WriteListBegin();
  writer.WriteBoolean(true);
  writer.WriteBoolean(false);
  writer.WriteListEnd();
  EXPECT_EQ(out, (Bytes{1, 9, 8, 0}));

  TMeshStreamReader reader(out);
  EXPECT_EQ(reader.NextTag(), vaList);
  EXPECT_EQ(reader.Position(), 0u);
  reader.ReadListBegin();
  EXPECT_FALSE(reader.EndOfList());
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_FALSE(reader.ReadBoolean());
  EXPECT_TRUE(reader.EndOfList());
  reader.ReadListEnd();
  ExpectStreamError([&] { reader.NextTag(); }, "ends early");
}

TEST(MeshStreamValues, TruncatedValuesAreRefused) {
  const Bytes cases[] = {
      {vaInt16, 1},
      {vaInt32, 1, 2, 3},
      {vaExtended, 0, 0, 0, 0, 0, 0, 0, 0, 0x3F},
      {vaString, 5, 'a', 'b'},
      {vaLString, 0xFF, 0xFF, 0xFF, 0xFF, 'a'},
      {vaWString, 0x00, 0x00, 0x00, 0x80, 'a', 0},  // 2^31 units: 2N overflows 32 bits
      {vaUTF8String, 2, 0, 0},
  };
  for (const Bytes& bytes : cases) {
    TMeshStreamReader reader(bytes);
    EXPECT_THROW(
        {
          if (IsIntegerTag(bytes[0])) reader.ReadInteger();
          else if (bytes[0] == vaExtended) reader.ReadFloat();
          else reader.ReadString();
        },
        TMeshStreamError)
        << int(bytes[0]);
  }
}

// ---- 80-bit floats ----

Bytes Ext(std::uint64_t mantissa, std::uint16_t signAndExponent) {
  Bytes out;
  for (int i = 0; i < 8; ++i) out.push_back(std::uint8_t(mantissa >> (8 * i)));
  out.push_back(std::uint8_t(signAndExponent));
  out.push_back(std::uint8_t(signAndExponent >> 8));
  return out;
}

TExtendedBytes AsExtended(const Bytes& b) {
  TExtendedBytes e;
  std::memcpy(e.data(), b.data(), e.size());
  return e;
}

bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

TEST(MeshStreamFloats, KnownEncodingsBothWays) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0.0, Ext(0, 0)},
      {-0.0, Ext(0, 0x8000)},
      {1.0, Ext(0x8000000000000000, 0x3FFF)},
      {-2.5, Ext(0xA000000000000000, 0xC000)},
      {inf, Ext(0x8000000000000000, 0x7FFF)},
      {-inf, Ext(0x8000000000000000, 0xFFFF)},
      // The smallest double denormal, 2^-1074, is a normal number in the wider format.
      {std::ldexp(1.0, -1074), Ext(0x8000000000000000, 0x3FFF - 1074)},
  };
  for (const Case& c : cases) {
    TExtendedBytes e = EncodeExtended(c.value);
    EXPECT_EQ(Bytes(e.begin(), e.end()), c.bytes) << c.value;
    EXPECT_TRUE(SameDouble(DecodeExtended(AsExtended(c.bytes)), c.value)) << c.value;
  }
}

TEST(MeshStreamFloats, EveryDoubleSurvivesTheWiderFormat) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -2.5,
                           double(1e-40f),
                           double(3.4e38f),
                           0.1,
                           -123456.789,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           std::ldexp(0.75, -1030),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (double v : values) {
    EXPECT_TRUE(SameDouble(DecodeExtended(EncodeExtended(v)), v)) << v;
    Bytes out;
    TMeshStreamWriter(out).WriteFloat(v);
    ASSERT_EQ(out.size(), 11u);
    EXPECT_EQ(out[0], vaExtended);
    TMeshStreamReader reader(out);
    EXPECT_TRUE(SameDouble(reader.ReadFloat(), v)) << v;
  }
}

TEST(MeshStreamFloats, ExtendedOnlyValuesRoundToNearestEven) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    Bytes bytes;
    double value;
  };
  const Case cases[] = {
      {"half an ulp above 1 ties to even", Ext(0x8000000000000400, 0x3FFF), 1.0},
      {"just above half an ulp rounds up", Ext(0x8000000000000401, 0x3FFF), 1.0 + std::ldexp(1.0, -52)},
      {"tie on an odd last bit rounds up", Ext(0x8000000000000C00, 0x3FFF), 1.0 + std::ldexp(1.0, -51)},
      {"all ones carries into the exponent", Ext(0xFFFFFFFFFFFFFFFF, 0x3FFF), 2.0},
      {"exponent beyond double range", Ext(0x8000000000000000, 0x7FFE), inf},
      {"negative beyond double range", Ext(0x8000000000000000, 0xFFFE), -inf},
      {"extended denormal", Ext(0x0000000000000001, 0x0000), 0.0},
      {"tiny negative", Ext(0x8000000000000000, 0x8001), -0.0},
      {"lands on a double denormal", Ext(0xC000000000000000, 0x3FFF - 1073), std::ldexp(1.5, -1073)},
      {"missing integer bit is normalised", Ext(0x4000000000000000, 0x3FFF), 0.5},
      {"NaN", Ext(0xC000000000000000, 0x7FFF), std::numeric_limits<double>::quiet_NaN()},
      {"NaN with only low payload bits", Ext(0x8000000000000001, 0x7FFF), std::numeric_limits<double>::quiet_NaN()},
  };
  for (const Case& c : cases) EXPECT_TRUE(SameDouble(DecodeExtended(AsExtended(c.bytes)), c.value)) << c.what;
}

TEST(MeshStreamFloats, NarrowingToFloatNeverOverflowsUndefined) {
  const float finf = std::numeric_limits<float>::infinity();
  const float fmax = std::numeric_limits<float>::max();
  const double halfway = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);  // from here on infinity is nearest
  struct Case {
    double value;
    float expected;
  };
  const Case cases[] = {
      {0.0, 0.0f},         {1.0, 1.0f},           {-2.5, -2.5f},
      {1e-40, 1e-40f},     {3.4e38, 3.4e38f},     {double(fmax), fmax},
      {3.5e38, finf},      {-1e300, -finf},       {std::nextafter(halfway, 0.0), fmax},
      {halfway, finf},     {-halfway, -finf},     {double(finf), finf}};
  for (const Case& c : cases) EXPECT_EQ(DoubleToFloat(c.value), c.expected) << c.value;
  EXPECT_TRUE(std::isnan(DoubleToFloat(std::numeric_limits<double>::quiet_NaN())));
}

// ---- numeric lists ----

TEST(MeshStreamLists, EmptyListHasNoRawBlock) {
  Bytes vectors, integers;
  TMeshStreamWriter vw(vectors), iw(integers);
  WriteAffineVectorList(vw, {});
  WriteIntegerList(iw, {});
  EXPECT_EQ(vectors, (Bytes{2, 0, 2, 0, 2, 12, 2, 0}));  // version, count, item size, second version
  EXPECT_EQ(integers, (Bytes{2, 0, 2, 0, 2, 4}));
}

TEST(MeshStreamLists, ItemsAreLittleEndianFloatsAndIntegers) {
  Bytes out;
  TMeshStreamWriter writer(out);
  WriteAffineVectorList(writer, {TAffineVector(1, -2, 0.5f)});
  WriteIntegerList(writer, {1, -2});
  EXPECT_EQ(out, Concat({{2, 0, 2, 1, 2, 12},
                         {0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x3F},
                         {2, 0},
                         {2, 0, 2, 2, 2, 4},
                         {1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}}));
}

TEST(MeshStreamLists, EveryListTypeRoundTrips) {
  const TAffineVectorList affine{{1, 2, 3}, {-4, 5.5f, 1e-40f}};
  const TVectorList vectors{{1, 2, 3, 4}, {0.25f, 0.5f, 0.75f, 1}};
  const TTexPointList points{{0, 1}, {0.5f, -0.5f}, {3, 4}};
  const TIntegerList integers{0, -1, 40000, std::numeric_limits<std::int32_t>::min()};
  const TSingleList singles{1.5f, -0.0f, 3.4e38f};
  Bytes out;
  TMeshStreamWriter writer(out);
  WriteAffineVectorList(writer, affine);
  WriteVectorList(writer, vectors);
  WriteTexPointList(writer, points);
  WriteIntegerList(writer, integers);
  WriteSingleList(writer, singles);

  TMeshStreamReader reader(out);
  TAffineVectorList a{{9, 9, 9}};  // replaced, not appended to
  TVectorList v;
  TTexPointList p;
  TIntegerList i;
  TSingleList s;
  ReadAffineVectorList(reader, a);
  ReadVectorList(reader, v);
  ReadTexPointList(reader, p);
  ReadIntegerList(reader, i);
  ReadSingleList(reader, s);
  EXPECT_EQ(a, affine);
  EXPECT_EQ(v, vectors);
  EXPECT_EQ(p, points);
  EXPECT_EQ(i, integers);
  EXPECT_EQ(s, singles);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(MeshStreamLists, BadHeadersAreRefusedBeforeAllocating) {
  struct Case {
    const char* what;
    std::function<void(TMeshStreamReader&)> read;
    Bytes bytes;
    std::string error;
  };
  auto affine = [](TMeshStreamReader& r) { TAffineVectorList l; ReadAffineVectorList(r, l); };
  auto vectors = [](TMeshStreamReader& r) { TVectorList l; ReadVectorList(r, l); };
  auto points = [](TMeshStreamReader& r) { TTexPointList l; ReadTexPointList(r, l); };
  auto integers = [](TMeshStreamReader& r) { TIntegerList l; ReadIntegerList(r, l); };
  const Case cases[] = {
      {"affine item size 16", affine, {2, 0, 2, 1, 2, 16}, "TAffineVectorList item size 16, expected 12"},
      {"vector item size 12", vectors, {2, 0, 2, 1, 2, 12}, "TVectorList item size 12, expected 16"},
      {"tex point item size 12", points, {2, 0, 2, 1, 2, 12}, "TTexPointList item size 12, expected 8"},
      {"integer item size 2", integers, {2, 0, 2, 1, 2, 2}, "TIntegerList item size 2, expected 4"},
      {"empty list with a foreign item size", integers, {2, 0, 2, 0, 2, 8}, "item size 8"},
      {"negative count", integers, {2, 0, 2, 0xFF, 2, 4}, "negative count"},
      {"hostile count", affine, {2, 0, 4, 0xFF, 0xFF, 0xFF, 0x7F, 2, 12, 1, 2, 3}, "claims 2147483647 items"},
      {"count one past the data", integers, {2, 0, 2, 2, 2, 4, 1, 0, 0, 0}, "claims 2 items"},
      {"list version 1", integers, {2, 1, 2, 0, 2, 4}, "TIntegerList : unknown archive version 1"},
      {"second version 1", vectors, {2, 0, 2, 0, 2, 16, 2, 1}, "TVectorList : unknown archive version 1"},
      {"missing second version", affine, {2, 0, 2, 0, 2, 12}, "ends early"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMeshStreamReader reader(c.bytes);
    ExpectStreamError([&] { c.read(reader); }, c.error);
  }
}

// ---- object lists ----

// A one-mesh list written value by value, so that single fields can be set to what the writer
// never produces (old versions, foreign sizes, hostile counts).
struct HandWrittenList {
  std::int32_t listVersion = 0;
  std::string meshClass = "TMeshObject";
  std::int32_t baseVersion = 1;
  std::int32_t ownVersion = 2;
  std::int32_t vertexCount = 3;  // as claimed; three vertices follow whenever it is positive
  std::int32_t vertexItemSize = 12;
  std::string groupClass = "TFGVertexIndexList";
  std::int32_t groupVersion = 1;
  TIntegerList indices{0, 1, 2};
  std::int32_t groupMode = 0;
  std::int32_t meshMode = 2;
  std::int32_t flagsSize = 1;
  std::int32_t extraSets = 1;   // as claimed; one set follows whenever it is positive
  Bytes itemIntroduction;       // replaces the mesh's class name when set
  Bytes afterMesh;              // more items before the end tag

  Bytes Write() const {
    Bytes out;
    TMeshStreamWriter w(out);
    w.WriteInteger(listVersion);
    w.WriteListBegin();
    if (itemIntroduction.empty()) w.WriteString(meshClass);
    else w.WriteRaw(itemIntroduction);
    w.WriteInteger(baseVersion);
    w.WriteString("hut");
    w.WriteInteger(0);
    w.WriteInteger(vertexCount);
    w.WriteInteger(vertexItemSize);
    if (vertexCount > 0) {
      Bytes raw;
      TMeshStreamWriter rw(raw);
      WriteAffineVectorList(rw, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
      w.WriteRaw(std::span(raw).subspan(6, 36));
    }
    w.WriteInteger(0);
    WriteAffineVectorList(w, {});  // normals
    if (baseVersion >= 1) w.WriteBoolean(false);
    w.WriteInteger(ownVersion);
    WriteAffineVectorList(w, {});  // texture coordinates
    if (ownVersion >= 1) WriteTexPointList(w, {{0.5f, 0.25f}});
    WriteVectorList(w, {});  // colours
    w.WriteInteger(0);
    w.WriteListBegin();
    w.WriteString(groupClass);
    w.WriteInteger(groupVersion);
    w.WriteString("bark");
    if (groupVersion >= 1) w.WriteInteger(7);
    w.WriteInteger(0);
    WriteIntegerList(w, indices);
    w.WriteInteger(groupMode);
    w.WriteListEnd();
    w.WriteInteger(meshMode);
    w.WriteInteger(flagsSize);
    w.WriteRawByte(1);
    if (ownVersion >= 2) {
      w.WriteInteger(extraSets);
      if (extraSets > 0) WriteVectorList(w, {{1, 2, 3, 4}});
      w.WriteInteger(4);
      w.WriteInteger(3);
    }
    w.WriteRaw(afterMesh);
    w.WriteListEnd();
    return out;
  }
};

bool Read(const Bytes& bytes, TMeshObjectList& list, std::string& error) {
  std::size_t pos = 0;
  bool ok = ReadMeshObjectList(bytes, pos, list, error);
  EXPECT_EQ(pos, ok ? bytes.size() : 0u);
  return ok;
}

TEST(MeshObjectListStream, HandWrittenListReads) {
  TMeshObjectList list;
  std::string error;
  ASSERT_TRUE(Read(HandWrittenList{}.Write(), list, error)) << error;
  ASSERT_EQ(list.Count(), 1u);
  const TMeshObject& mesh = *list[0];
  EXPECT_EQ(mesh.name, "hut");
  EXPECT_EQ(mesh.vertexList, (TAffineVectorList{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  EXPECT_FALSE(mesh.shown);
  EXPECT_EQ(mesh.meshMode, momFaceGroups);
  EXPECT_EQ(mesh.renderFlags, mrfGroupByMaterial);
  EXPECT_EQ(mesh.extraTexCoordSets, (std::vector<TVectorList>{{{1, 2, 3, 4}}}));
  EXPECT_EQ(mesh.owner, &list);
  ASSERT_EQ(mesh.faceGroupList.Count(), 1u);
  auto* group = dynamic_cast<const TFGVertexIndexList*>(mesh.faceGroupList[0]);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->groupMaterial, "bark");
  EXPECT_EQ(group->vertexIndexList, (TIntegerList{0, 1, 2}));
  EXPECT_EQ(group->owner, &mesh);
}

TEST(MeshObjectListStream, OlderVersionsReadWithTheirDefaults) {
  struct Case {
    std::int32_t baseVersion, ownVersion, groupVersion;
    bool shown;
    std::size_t lightMapCoords;
    std::int32_t binormalSet, tangentSet;
    std::size_t extraSets;
    std::int32_t lightMapSlot;
  };
  const Case cases[] = {
      {0, 0, 0, true, 0, 2, 1, 0, -1},
      {1, 0, 1, false, 0, 2, 1, 0, 7},
      {1, 1, 1, false, 1, 2, 1, 0, 7},
      {1, 2, 0, false, 1, 4, 3, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "base " << c.baseVersion << " own " << c.ownVersion << " group "
                                    << c.groupVersion);
    HandWrittenList hand;
    hand.baseVersion = c.baseVersion;
    hand.ownVersion = c.ownVersion;
    hand.groupVersion = c.groupVersion;
    TMeshObjectList list;
    std::string error;
    ASSERT_TRUE(Read(hand.Write(), list, error)) << error;
    const TMeshObject& mesh = *list[0];
    EXPECT_EQ(mesh.shown, c.shown);
    EXPECT_EQ(mesh.lightMapCoordList.size(), c.lightMapCoords);
    EXPECT_EQ(mesh.binormalSet, c.binormalSet);
    EXPECT_EQ(mesh.tangentSet, c.tangentSet);
    EXPECT_EQ(mesh.extraTexCoordSets.size(), c.extraSets);
    EXPECT_EQ(mesh.faceGroupList[0]->lightMapSlot, c.lightMapSlot);
  }
}

TEST(MeshObjectListStream, DamagedStreamsAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    std::function<void(HandWrittenList&)> damage;
    std::string error;
  };
  const Case cases[] = {
      {"list version", [](auto& h) { h.listVersion = 1; }, "TMeshObjectList : unknown archive version 1"},
      {"mesh base version", [](auto& h) { h.baseVersion = 2; }, "TMeshObject : unknown archive version 2"},
      {"mesh own version", [](auto& h) { h.ownVersion = 3; }, "TMeshObject : unknown archive version 3"},
      {"negative version", [](auto& h) { h.baseVersion = -1; }, "TMeshObject : unknown archive version -1"},
      {"face group version", [](auto& h) { h.groupVersion = 2; }, "TFGVertexIndexList : unknown archive version 2"},
      {"float where an item starts", [](auto& h) { h.itemIntroduction = {vaExtended}; }, "Broken ObjectList archive"},
      {"list begin where an item starts", [](auto& h) { h.itemIntroduction = {vaList}; }, "Broken ObjectList archive"},
      {"unknown class", [](auto& h) { h.meshClass = "TSkeletonMeshObject"; }, "Class TSkeletonMeshObject not found"},
      {"face group in a mesh list", [](auto& h) { h.meshClass = "TFGVertexIndexList"; }, "Class TFGVertexIndexList not found"},
      {"mesh object in a face-group list", [](auto& h) { h.groupClass = "TMeshObject"; }, "Class TMeshObject not found"},
      {"class index before any class", [](auto& h) { h.itemIntroduction = {vaInt8, 0}; }, "Class index 0 out of range"},
      {"class index past the table", [](auto& h) { h.afterMesh = {vaInt8, 1}; }, "Class index 1 out of range"},
      {"negative class index", [](auto& h) { h.afterMesh = {vaInt8, 0xFF}; }, "Class index -1 out of range"},
      {"renderFlags size", [](auto& h) { h.flagsSize = 2; }, "renderFlags size 2, expected 1"},
      {"vertex item size", [](auto& h) { h.vertexItemSize = 16; }, "TAffineVectorList item size 16, expected 12"},
      {"hostile vertex count", [](auto& h) { h.vertexCount = 0x7FFFFFFF; }, "claims 2147483647 items"},
      {"hostile texture set count", [](auto& h) { h.extraSets = 0x7FFFFFFF; }, "TVectorList"},
      {"negative texture set count", [](auto& h) { h.extraSets = -1; }, "negative number of texture sets"},
      {"mesh mode", [](auto& h) { h.meshMode = 3; }, "TMeshObject mode 3 not allowed"},
      {"group mode", [](auto& h) { h.groupMode = 5; }, "TFGVertexIndexList mode 5 not allowed"},
      {"vertex index", [](auto& h) { h.indices = {0, 1, 3}; }, "TFGVertexIndexList vertex index 3 out of range (3 vertices)"},
      {"negative vertex index", [](auto& h) { h.indices = {0, -1, 2}; }, "vertex index -1 out of range"},
      {"index with no vertices", [](auto& h) { h.vertexCount = 0; }, "vertex index 0 out of range (0 vertices)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HandWrittenList hand;
    c.damage(hand);
    TMeshObjectList list;
    list.Add(std::make_unique<TMeshObject>());  // stale content must not survive a failure
    std::string error;
    EXPECT_FALSE(Read(hand.Write(), list, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(list.Count(), 0u);
  }
}

TEST(MeshObjectListStream, EmptySlotsAreKept) {
  HandWrittenList hand;
  hand.afterMesh = {vaFalse, vaInt8, 0, vaTrue, vaInt8, 5};  // a careless writer's slot reads the same
  TMeshObjectList list;
  std::string error;
  ASSERT_TRUE(Read(hand.Write(), list, error)) << error;
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_NE(list[0], nullptr);
  EXPECT_EQ(list[1], nullptr);
  EXPECT_EQ(list[2], nullptr);

  Bytes written;
  WriteMeshObjectList(list, written);
  Bytes tail(written.end() - 7, written.end());
  EXPECT_EQ(tail, (Bytes{vaFalse, vaInt8, 0, vaFalse, vaInt8, 0, vaNull}));
}

// Two meshes using every face-group class, with an empty slot in each kind of list.
TMeshObjectList AllClassesFixture() {
  TMeshObjectList list;
  auto quad = MakeMeshObject("roof", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                             {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  quad->colourList = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 0.5f}};
  quad->lightMapCoordList = {{0.1f, 0.2f}};
  quad->renderFlags = mrfGroupByMaterial;
  AddVertexIndexGroup(*quad, {0, 1, 2}, fgmmTriangles, "tiles");
  AddVertexIndexGroup(*quad, {0, 2, 3, 1}, fgmmTriangleStrip);
  AddIndexTexCoordGroup(*quad, {0, 1, 2, 3}, {{0, 0}, {2, 0}, {2, 2}, {0, 2}}, fgmmQuads).lightMapSlot = 3;
  AddVertexIndexGroup(*quad, {3, 2, 1}, fgmmFlatTriangles);
  quad->faceGroupList.AddEmptySlot();
  AddNormalTexIndexGroup(*quad, {0, 1, 2, 3}, {3, 2, 1, 0}, {}, fgmmTriangleFan, "moss");
  list.Add(std::move(quad));
  list.AddEmptySlot();

  auto wall = MakeMeshObject("wall", {{0, 0, 0}, {0, 2, 0}, {2, 0, 0}, {2, 2, 0}}, {}, {}, momTriangleStrip);
  wall->shown = false;
  wall->extraTexCoordSets = {{{1, 2, 3, 4}}, {}};
  wall->binormalSet = 5;
  wall->tangentSet = 6;
  list.Add(std::move(wall));
  return list;
}

TEST(MeshObjectListStream, WriterOutputReadsBackAndWritesIdentically) {
  Bytes first;
  WriteMeshObjectList(AllClassesFixture(), first);
  first.push_back(0xAB);  // whatever the theme file holds next is not touched

  TMeshObjectList list;
  std::size_t pos = 0;
  std::string error;
  ASSERT_TRUE(ReadMeshObjectList(first, pos, list, error)) << error;
  EXPECT_EQ(pos, first.size() - 1);
  Bytes second;
  WriteMeshObjectList(list, second);
  second.push_back(0xAB);
  EXPECT_EQ(second, first);

  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[1], nullptr);
  const TMeshObject& roof = *list[0];
  EXPECT_EQ(roof.colourList.size(), 4u);
  ASSERT_EQ(roof.faceGroupList.Count(), 6u);
  EXPECT_EQ(roof.faceGroupList[4], nullptr);
  EXPECT_STREQ(roof.faceGroupList[2]->ClassName(), "TFGIndexTexCoordList");
  EXPECT_EQ(roof.faceGroupList[2]->lightMapSlot, 3);
  EXPECT_EQ(roof.faceGroupList[1]->lightMapSlot, -1);
  auto* fan = dynamic_cast<const TFGVertexNormalTexIndexList*>(roof.faceGroupList[5]);
  ASSERT_NE(fan, nullptr);
  EXPECT_EQ(fan->normalIndexList, (TIntegerList{3, 2, 1, 0}));
  EXPECT_EQ(fan->groupMode, fgmmTriangleFan);
  const TMeshObject& wall = *list[2];
  EXPECT_FALSE(wall.shown);
  EXPECT_EQ(wall.binormalSet, 5);
  EXPECT_EQ(wall.extraTexCoordSets.size(), 2u);
}

TEST(MeshObjectListStream, ListStartsAtTheGivenPosition) {
  Bytes bytes{'O', 'x'};
  WriteMeshObjectList(AllClassesFixture(), bytes);
  TMeshObjectList list;
  std::size_t pos = 2;
  std::string error;
  ASSERT_TRUE(ReadMeshObjectList(bytes, pos, list, error)) << error;
  EXPECT_EQ(pos, bytes.size());

  pos = bytes.size() + 1;
  EXPECT_FALSE(ReadMeshObjectList(bytes, pos, list, error));
  EXPECT_EQ(pos, bytes.size() + 1);
  EXPECT_EQ(list.Count(), 0u);
}

TEST(MeshObjectListStream, RepeatedClassesAreIntroducedByIndex) {
  TMeshObjectList list;
  list.Add(MakeMeshObject("a", {}));
  list.Add(MakeMeshObject("b", {}));
  auto& third = list.Add(MakeMeshObject("c", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  AddVertexIndexGroup(third, {0, 1, 2});
  AddVertexIndexGroup(third, {2, 1, 0});
  AddIndexTexCoordGroup(third, {0, 1, 2}, {{0, 0}, {1, 0}, {0, 1}});
  AddVertexIndexGroup(third, {1, 2, 0});

  auto dataOf = [](const auto& object) {
    Bytes out;
    TMeshStreamWriter w(out);
    object.WriteToStream(w);
    return out;
  };
  auto name = [](std::string_view s) { return Concat({{vaString, std::uint8_t(s.size())}, Text(s)}); };
  const auto& groups = third.faceGroupList;
  EXPECT_EQ(dataOf(groups), Concat({{2, 0, vaList},
                                    name("TFGVertexIndexList"), dataOf(*groups[0]),
                                    {vaInt8, 0}, dataOf(*groups[1]),
                                    name("TFGIndexTexCoordList"), dataOf(*groups[2]),
                                    {vaInt8, 0}, dataOf(*groups[3]),
                                    {vaNull}}));
  EXPECT_EQ(dataOf(list), Concat({{2, 0, vaList},
                                  name("TMeshObject"), dataOf(*list[0]),
                                  {vaInt8, 0}, dataOf(*list[1]),
                                  {vaInt8, 0}, dataOf(*list[2]),
                                  {vaNull}}));
}

TEST(MeshObjectListStream, EveryTruncationFailsCleanly) {
  Bytes whole;
  WriteMeshObjectList(AllClassesFixture(), whole);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    Bytes prefix(whole.begin(), whole.begin() + std::ptrdiff_t(length));
    TMeshObjectList list;
    list.AddEmptySlot();
    std::size_t pos = 0;
    std::string error;
    ASSERT_FALSE(ReadMeshObjectList(prefix, pos, list, error)) << "prefix of " << length << " bytes";
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(error.empty());
  }
}

TEST(MeshObjectListStream, FaceGroupIndicesAreCheckedAtLoad) {
  // Each row builds a mesh the writer happily writes but the reader must refuse.
  struct Case {
    const char* what;
    std::function<void(TMeshObject&)> spoil;
    std::string error;
  };
  const Case cases[] = {
      {"vertex index past the end", [](auto& m) { AddVertexIndexGroup(m, {0, 1, 4}); }, "vertex index 4 out of range"},
      {"quads are not allowed with separate indices",
       [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 2, 3}, {}, {}, fgmmQuads); },
       "TFGVertexNormalTexIndexList mode 4 not allowed"},
      {"normal index past the end", [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 2}, {0, 1, 3}, {}); },
       "normal index 3 out of range (3 normals)"},
      {"texture index past the end", [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 2}, {}, {0, 0, 2}); },
       "texture index 2 out of range (2 texture coordinates)"},
      {"borrowed vertex index past the normals", [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 3}, {}, {0, 0, 0}); },
       "normal index 3 out of range (3 normals)"},
      {"short normal index list", [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 2}, {0, 1}, {}); },
       "has 2 normal indices for 3 vertex indices"},
      {"short texture index list", [](auto& m) { AddNormalTexIndexGroup(m, {0, 1, 2}, {}, {1}); },
       "has 1 texture indices for 3 vertex indices"},
      {"texture coordinates one short",
       [](auto& m) { AddIndexTexCoordGroup(m, {0, 1, 2}, {{0, 0}, {1, 0}}); },
       "TFGIndexTexCoordList has 2 texture coordinates for 3 indices"},
      {"texture coordinates one over",
       [](auto& m) { AddIndexTexCoordGroup(m, {0, 1, 2}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}); },
       "has 4 texture coordinates for 3 indices"},
      {"bad group behind an empty slot",
       [](auto& m) {
         m.faceGroupList.AddEmptySlot();
         AddVertexIndexGroup(m, {0, 1, 2}, TFaceGroupMode(-1));
       },
       "TFGVertexIndexList mode -1 not allowed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Four vertices, three normals, two texture coordinates: no count matches another.
    auto mesh = MakeMeshObject("odd", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}},
                               {{0, 0}, {1, 1}});
    c.spoil(*mesh);
    TMeshObjectList list;
    list.Add(std::move(mesh));
    Bytes bytes;
    WriteMeshObjectList(list, bytes);
    TMeshObjectList read;
    std::string error;
    EXPECT_FALSE(Read(bytes, read, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

TEST(MeshObjectListStream, IndicesThatFitAreAccepted) {
  auto mesh = MakeMeshObject("fine", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{0, 0, 1}}, {});
  AddNormalTexIndexGroup(*mesh, {0, 1, 2}, {0, 0, 0, 0}, {});  // longer normal list, no texture list at all
  AddVertexIndexGroup(*mesh, {});
  TMeshObjectList list;
  list.Add(std::move(mesh));
  Bytes bytes;
  WriteMeshObjectList(list, bytes);
  TMeshObjectList read;
  std::string error;
  EXPECT_TRUE(Read(bytes, read, error)) << error;
}

}  // namespace
