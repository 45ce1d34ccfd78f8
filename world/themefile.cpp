// Reading and writing theme files as records. Every length is checked against the bytes
// left; nothing here trusts the file.
#include "world/themefile.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/bitmap.h"
#include "scene/meshobject.h"

namespace {

class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Pos() const { return pos_; }
  void SetPos(std::size_t pos) { pos_ = pos; }
  std::size_t Left() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::span<const std::uint8_t> Rest() const { return bytes_.subspan(pos_); }

  bool Byte(std::uint8_t& v) {
    if (Left() < 1) return false;
    v = bytes_[pos_++];
    return true;
  }
  bool String(std::string& s) {
    std::uint8_t n;
    if (!Byte(n) || Left() < n) return false;
    s.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return true;
  }
  bool Float(float& f) {
    if (Left() < 4) return false;
    const std::uint32_t bits = std::uint32_t{bytes_[pos_]} | std::uint32_t{bytes_[pos_ + 1]} << 8 |
                               std::uint32_t{bytes_[pos_ + 2]} << 16 | std::uint32_t{bytes_[pos_ + 3]} << 24;
    std::memcpy(&f, &bits, 4);
    pos_ += 4;
    return true;
  }
  bool Vector(TAffineVector& v) { return Float(v.x) && Float(v.y) && Float(v.z); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

std::string PastTheEnd(const char* what) { return std::string(what) + " runs past the end of the file"; }

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The texture's length comes from its own headers, so those are checked before any byte is taken.
bool TakeBmp(ByteCursor& in, std::vector<std::uint8_t>& bmp, std::string& error) {
  platform::BmpInfo info;
  std::string why;
  const std::span<const std::uint8_t> rest = in.Rest();
  if (!platform::InspectBmp(rest, info, why)) return Fail(error, "texture: " + why);
  // A header can pass its checks and the picture still fail to decode: decode it here, so a
  // record the reader keeps is one the theme can build.
  platform::Bitmap decoded;
  if (!decoded.LoadBmpFromMemory(rest.first(info.length), why)) return Fail(error, "texture: " + why);
  bmp.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(info.length));
  in.SetPos(in.Pos() + info.length);
  return true;
}

bool ParseMaterial(ByteCursor& in, TTRVMaterialRecord& m, std::string& error) {
  if (!in.String(m.materialName)) return Fail(error, PastTheEnd("name"));
  if (!in.String(m.infoText1) || !in.String(m.infoText2)) return Fail(error, PastTheEnd("info text"));
  std::uint8_t* settings[] = {&m.heightLayer, &m.slopeLayer,     &m.paintsClass,  &m.bandLow,  &m.bandPeak,
                              &m.bandHigh,    &m.slopeThreshold, &m.textureScale, &m.alphaMode};
  for (std::uint8_t* s : settings)
    if (!in.Byte(*s)) return Fail(error, PastTheEnd("settings"));
  return TakeBmp(in, m.bmp, error);
}

bool ParseObject(std::span<const std::uint8_t> bytes, ByteCursor& in, TTRVObjectRecord& o, std::string& error) {
  if (!in.String(o.objectName)) return Fail(error, PastTheEnd("name"));
  if (!in.String(o.objectText)) return Fail(error, PastTheEnd("text"));
  if (!in.String(o.objectMaterial)) return Fail(error, PastTheEnd("material name"));
  if (!in.Byte(o.kind)) return Fail(error, PastTheEnd("kind"));
  if (!in.Float(o.height)) return Fail(error, PastTheEnd("height"));
  // The height lands in the world's height grid: a NaN there would poison every query.
  if (!std::isfinite(o.height)) return Fail(error, "height is not a finite number");

  TMeshObjectList meshes;
  std::size_t end = in.Pos();
  std::string why;
  if (!ReadMeshObjectList(bytes, end, meshes, why)) return Fail(error, "meshes: " + why);
  o.meshes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(in.Pos()), bytes.begin() + static_cast<std::ptrdiff_t>(end));
  in.SetPos(end);

  std::uint8_t count;
  if (!in.Byte(count)) return Fail(error, PastTheEnd("marker count"));
  o.markers.resize(count);
  for (TTRVMarkerPoint& p : o.markers) {
    if (!in.Vector(p.position) || !in.Vector(p.scale)) return Fail(error, PastTheEnd("marker points"));
    if (!Finite(p.position) || !Finite(p.scale)) return Fail(error, "marker point is not finite");
  }
  return true;
}

std::string RecordLabel(const char* kind, std::size_t index, const std::string& name, std::size_t at) {
  std::string label = std::string(kind) + " " + std::to_string(index);
  if (!name.empty()) label += " (\"" + name + "\")";
  return label + " at byte " + std::to_string(at) + ": ";
}

// Why one more object of this kind cannot be listed, or empty. kindCounts has 256 entries.
std::string ObjectCountFault(std::size_t objectsBefore, std::span<const std::size_t> kindCounts, std::uint8_t kind) {
  if (objectsBefore >= kMaxThemeObjects)
    return "more than " + std::to_string(kMaxThemeObjects) + " objects (object indices are single bytes)";
  if (kindCounts[kind] >= kMaxObjectsOfOneKind)
    return "more than " + std::to_string(kMaxObjectsOfOneKind) + " objects of kind " + std::to_string(kind) +
           " (kind lists count in single bytes)";
  return {};
}

void PutString(std::vector<std::uint8_t>& out, std::string_view s) {
  out.push_back(static_cast<std::uint8_t>(s.size()));
  out.insert(out.end(), s.begin(), s.end());
}

void PutFloat(std::vector<std::uint8_t>& out, float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, 4);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

}  // namespace

bool ParseThemeFile(std::span<const std::uint8_t> bytes, TTRVThemeFileData& out, std::string& error) {
  out = {};
  ByteCursor in(bytes);
  std::string magic;
  if (!in.String(magic) || magic != kThemeMagic) return Fail(error, "Not a theme file");
  std::string name;
  if (!in.String(name)) return Fail(error, PastTheEnd("Theme name"));
  out.themeName = std::move(name);

  std::array<std::size_t, 256> kindCounts{};
  while (!in.AtEnd()) {
    const std::size_t at = in.Pos();
    std::uint8_t tag;
    in.Byte(tag);
    std::string why;
    if (tag == kThemeMaterialTag) {
      TTRVMaterialRecord m;
      if (!ParseMaterial(in, m, why))
        return Fail(error, RecordLabel("Material", out.materials.size(), m.materialName, at) + why);
      out.materials.push_back(std::move(m));
    } else if (tag == kThemeObjectTag) {
      TTRVObjectRecord o;
      if (!ParseObject(bytes, in, o, why) || !(why = ObjectCountFault(out.objects.size(), kindCounts, o.kind)).empty())
        return Fail(error, RecordLabel("Object", out.objects.size(), o.objectName, at) + why);
      ++kindCounts[o.kind];
      out.objects.push_back(std::move(o));
    }
    // Any other byte is padding between records: skipped on its own.
  }
  return true;
}

std::string ThemeFileFault(const TTRVThemeFileData& data) {
  auto tooLong = [](const std::string& s) { return s.size() > 255; };
  if (tooLong(data.themeName)) return "theme name is longer than 255 characters";
  for (std::size_t i = 0; i < data.materials.size(); ++i) {
    const TTRVMaterialRecord& m = data.materials[i];
    const std::string who = "Material " + std::to_string(i) + " (\"" + m.materialName.substr(0, 64) + "\"): ";
    if (tooLong(m.materialName) || tooLong(m.infoText1) || tooLong(m.infoText2))
      return who + "a string is longer than 255 characters";
    platform::BmpInfo info;
    std::string why;
    if (!platform::InspectBmp(m.bmp, info, why)) return who + "texture: " + why;
    if (info.length != m.bmp.size()) return who + "texture has bytes after the bitmap's end";
  }
  std::array<std::size_t, 256> kindCounts{};
  for (std::size_t i = 0; i < data.objects.size(); ++i) {
    const TTRVObjectRecord& o = data.objects[i];
    const std::string who = "Object " + std::to_string(i) + " (\"" + o.objectName.substr(0, 64) + "\"): ";
    if (tooLong(o.objectName) || tooLong(o.objectText) || tooLong(o.objectMaterial))
      return who + "a string is longer than 255 characters";
    if (!std::isfinite(o.height)) return who + "height is not a finite number";
    TMeshObjectList meshes;
    std::size_t end = 0;
    std::string why;
    if (!ReadMeshObjectList(o.meshes, end, meshes, why)) return who + "meshes: " + why;
    if (end != o.meshes.size()) return who + "meshes have bytes after the list's end";
    if (o.markers.size() > 255) return who + "more than 255 marker points";
    for (const TTRVMarkerPoint& p : o.markers)
      if (!Finite(p.position) || !Finite(p.scale)) return who + "marker point is not finite";
    if (std::string count = ObjectCountFault(i, kindCounts, o.kind); !count.empty()) return who + count;
    ++kindCounts[o.kind];
  }
  return {};
}

std::vector<std::uint8_t> WriteThemeFile(const TTRVThemeFileData& data) {
  std::vector<std::uint8_t> out;
  if (!ThemeFileFault(data).empty()) return out;
  PutString(out, kThemeMagic);
  PutString(out, data.themeName);
  for (const TTRVMaterialRecord& m : data.materials) {
    out.push_back(kThemeMaterialTag);
    PutString(out, m.materialName);
    PutString(out, m.infoText1);
    PutString(out, m.infoText2);
    for (std::uint8_t b : {m.heightLayer, m.slopeLayer, m.paintsClass, m.bandLow, m.bandPeak, m.bandHigh,
                           m.slopeThreshold, m.textureScale, m.alphaMode})
      out.push_back(b);
    out.insert(out.end(), m.bmp.begin(), m.bmp.end());
  }
  for (const TTRVObjectRecord& o : data.objects) {
    out.push_back(kThemeObjectTag);
    PutString(out, o.objectName);
    PutString(out, o.objectText);
    PutString(out, o.objectMaterial);
    out.push_back(o.kind);
    PutFloat(out, o.height);
    out.insert(out.end(), o.meshes.begin(), o.meshes.end());
    out.push_back(static_cast<std::uint8_t>(o.markers.size()));
    for (const TTRVMarkerPoint& p : o.markers)
      for (float f : {p.position.x, p.position.y, p.position.z, p.scale.x, p.scale.y, p.scale.z}) PutFloat(out, f);
  }
  return out;
}
