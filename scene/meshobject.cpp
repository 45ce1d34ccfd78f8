// Theme mesh objects: their stream form, the class registry, load-time checks and flattening
// into triangles. Nothing here touches OpenGL.
#include "scene/meshobject.h"

#include <algorithm>
#include <new>
#include <string_view>

namespace {

// ---- class registry: constant tables, one per kind of list ----

template <class T>
using TFactory = std::unique_ptr<T> (*)();

template <class T>
struct TClassEntry {
  std::string_view name;
  TFactory<T> create;
};

// A mesh list holds only mesh objects and a face-group list only face groups, so a stream can
// never nest lists deeper than those two levels.
constexpr TClassEntry<TMeshObject> kMeshClasses[] = {
    {"TMeshObject", []() { return std::make_unique<TMeshObject>(); }},
};

constexpr TClassEntry<TFaceGroup> kFaceGroupClasses[] = {
    {"TFGVertexIndexList", []() -> std::unique_ptr<TFaceGroup> { return std::make_unique<TFGVertexIndexList>(); }},
    {"TFGVertexNormalTexIndexList",
     []() -> std::unique_ptr<TFaceGroup> { return std::make_unique<TFGVertexNormalTexIndexList>(); }},
    {"TFGIndexTexCoordList",
     []() -> std::unique_ptr<TFaceGroup> { return std::make_unique<TFGIndexTexCoordList>(); }},
};

template <class T, std::size_t N>
TFactory<T> FindClass(const TClassEntry<T> (&table)[N], std::string_view name) {
  for (const auto& entry : table)
    if (entry.name == name) return entry.create;
  return nullptr;
}

// ---- object lists ----

// Items introduce their class by name the first time and by index into this list's own
// table afterwards; an empty slot is a boolean and an integer.
template <class T, std::size_t N, class Adopt>
void ReadObjectList(TMeshStreamReader& reader, std::string_view listClass, const TClassEntry<T> (&registry)[N],
                    Adopt adopt) {
  std::int32_t version = reader.ReadInteger();
  if (version != 0) throw UnknownArchiveVersion(listClass, version);
  reader.ReadListBegin();
  std::vector<TFactory<T>> classes;
  while (!reader.EndOfList()) {
    std::uint8_t tag = reader.NextTag();
    TFactory<T> create = nullptr;
    if (IsIntegerTag(tag)) {
      std::int32_t index = reader.ReadInteger();
      if (index < 0 || std::size_t(index) >= classes.size())
        throw TMeshStreamError("Class index " + std::to_string(index) + " out of range in ObjectList archive (" +
                               std::to_string(classes.size()) + " classes seen)");
      create = classes[std::size_t(index)];
    } else if (IsStringTag(tag)) {
      std::string name = reader.ReadString();
      create = FindClass(registry, name);
      if (!create) throw TMeshStreamError("Class " + name + " not found");
      classes.push_back(create);
    } else if (IsBooleanTag(tag)) {
      reader.ReadBoolean();
      reader.ReadInteger();
      adopt(nullptr);
      continue;
    } else {
      throw TMeshStreamError("Broken ObjectList archive");
    }
    std::unique_ptr<T> item = create();
    item->ReadFromStream(reader);
    adopt(std::move(item));
  }
  reader.ReadListEnd();
}

template <class T>
void WriteObjectList(TMeshStreamWriter& writer, const std::vector<std::unique_ptr<T>>& items) {
  writer.WriteInteger(0);
  writer.WriteListBegin();
  std::vector<std::string_view> classes;
  for (const auto& item : items) {
    if (!item) {
      writer.WriteBoolean(false);
      writer.WriteInteger(0);
      continue;
    }
    std::string_view name = item->ClassName();
    auto seen = std::find(classes.begin(), classes.end(), name);
    if (seen == classes.end()) {
      writer.WriteString(name);
      classes.push_back(name);
    } else {
      writer.WriteInteger(static_cast<std::int32_t>(seen - classes.begin()));
    }
    item->WriteToStream(writer);
  }
  writer.WriteListEnd();
}

std::int32_t ReadVersion(TMeshStreamReader& reader, std::string_view className, std::int32_t highest) {
  std::int32_t version = reader.ReadInteger();
  if (version < 0 || version > highest) throw UnknownArchiveVersion(className, version);
  return version;
}

// ---- load-time checks ----

std::string CheckIndices(std::string_view className, std::string_view what, const TIntegerList& indices,
                         std::size_t limit, std::string_view limitName) {
  for (std::int32_t index : indices)
    if (index < 0 || std::size_t(index) >= limit)
      return std::string(className) + " " + std::string(what) + " index " + std::to_string(index) +
             " out of range (" + std::to_string(limit) + " " + std::string(limitName) + ")";
  return {};
}

std::string CheckMode(const TFaceGroup& group, std::int32_t mode) {
  if (group.ModeAllowed(mode)) return {};
  return std::string(group.ClassName()) + " mode " + std::to_string(mode) + " not allowed";
}

bool InRange(std::int32_t index, std::size_t size) { return index >= 0 && std::size_t(index) < size; }

// ---- flattening ----

class TTriangleSink {
 public:
  TTriangleSink(const TMeshObject& mesh, TMeshTriangles& out)
      : mesh_(mesh),
        out_(out),
        colours_(!mesh.colourList.empty() && mesh.colourList.size() == mesh.vertexList.size()) {}

  void Triangle(const TMeshCorner& a, const TMeshCorner& b, const TMeshCorner& c) {
    std::size_t count = mesh_.vertexList.size();
    if (!InRange(a.vertex, count) || !InRange(b.vertex, count) || !InRange(c.vertex, count)) return;
    for (const TMeshCorner* corner : {&a, &b, &c}) {
      out_.positions.push_back(mesh_.vertexList[std::size_t(corner->vertex)]);
      bool hasNormal = InRange(corner->normal, mesh_.normalList.size());
      anyNormal_ |= hasNormal;
      // Gaps take the fixed-function default normal, which is what a missing array would give.
      out_.normals.push_back(hasNormal ? mesh_.normalList[std::size_t(corner->normal)] : TAffineVector(0, 0, 1));
      anyTexCoord_ |= corner->hasTexCoord;
      out_.texCoords.push_back(corner->hasTexCoord ? corner->texCoord : TTexPoint(0, 0));
      if (colours_) out_.colours.push_back(mesh_.colourList[std::size_t(corner->vertex)]);
    }
  }

  void Finish() {
    if (!anyNormal_) out_.normals.clear();
    if (!anyTexCoord_) out_.texCoords.clear();
  }

 private:
  const TMeshObject& mesh_;
  TMeshTriangles& out_;
  bool colours_;
  bool anyNormal_ = false;
  bool anyTexCoord_ = false;
};

// Turns n corners drawn in a primitive mode into triangles, keeping the winding a strip or
// fan would have on screen; an unfinished last primitive is dropped.
template <class CornerAt>
void Triangulate(std::int32_t mode, std::size_t n, CornerAt corner, TTriangleSink& sink) {
  switch (mode) {
    case fgmmTriangles:
    case fgmmFlatTriangles:
      for (std::size_t i = 0; i + 2 < n; i += 3) sink.Triangle(corner(i), corner(i + 1), corner(i + 2));
      break;
    case fgmmTriangleStrip:
      for (std::size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0) sink.Triangle(corner(i), corner(i + 1), corner(i + 2));
        else sink.Triangle(corner(i + 1), corner(i), corner(i + 2));
      }
      break;
    case fgmmTriangleFan:
      for (std::size_t i = 1; i + 1 < n; ++i) sink.Triangle(corner(0), corner(i), corner(i + 1));
      break;
    case fgmmQuads:
      for (std::size_t i = 0; i + 3 < n; i += 4) {
        sink.Triangle(corner(i), corner(i + 1), corner(i + 2));
        sink.Triangle(corner(i), corner(i + 2), corner(i + 3));
      }
      break;
    default:
      break;
  }
}

void BuildTriangles(const TMeshObject& mesh, TMeshTriangles& out) {
  out = {};
  TTriangleSink sink(mesh, out);
  std::size_t vertexCount = mesh.vertexList.size();
  if (mesh.meshMode == momTriangles || mesh.meshMode == momTriangleStrip) {
    bool normals = mesh.normalList.size() == vertexCount;
    bool texCoords = mesh.texCoordList.size() == vertexCount;
    auto corner = [&](std::size_t i) {
      TMeshCorner c;
      c.vertex = static_cast<std::int32_t>(i);
      c.normal = normals ? c.vertex : -1;
      c.hasTexCoord = texCoords;
      if (texCoords) c.texCoord = TTexPoint(mesh.texCoordList[i]);
      return c;
    };
    Triangulate(mesh.meshMode == momTriangles ? fgmmTriangles : fgmmTriangleStrip, vertexCount, corner, sink);
  } else if (mesh.meshMode == momFaceGroups) {
    for (const auto& group : mesh.faceGroupList) {
      if (!group || !group->ModeAllowed(group->DrawMode())) continue;
      auto corner = [&](std::size_t i) { return group->CornerAt(mesh, i); };
      Triangulate(group->DrawMode(), group->CornerCount(), corner, sink);
    }
  }
  sink.Finish();
}

}  // namespace

// ---- face groups ----

void TFaceGroup::ReadFromStream(TMeshStreamReader& reader) {
  std::int32_t version = ReadVersion(reader, ClassName(), 1);
  groupMaterial = reader.ReadString();
  lightMapSlot = version >= 1 ? reader.ReadInteger() : -1;
}

void TFaceGroup::WriteToStream(TMeshStreamWriter& writer) const {
  writer.WriteInteger(lightMapSlot < 0 ? 0 : 1);
  writer.WriteString(groupMaterial);
  if (lightMapSlot >= 0) writer.WriteInteger(lightMapSlot);
}

void TFGVertexIndexList::ReadFromStream(TMeshStreamReader& reader) {
  TFaceGroup::ReadFromStream(reader);
  ReadVersion(reader, ClassName(), 0);
  ReadIntegerList(reader, vertexIndexList);
  groupMode = static_cast<TFaceGroupMode>(reader.ReadInteger());
}

void TFGVertexIndexList::WriteToStream(TMeshStreamWriter& writer) const {
  TFaceGroup::WriteToStream(writer);
  writer.WriteInteger(0);
  WriteIntegerList(writer, vertexIndexList);
  writer.WriteInteger(groupMode);
}

std::string TFGVertexIndexList::Validate(const TMeshObject& mesh) const {
  std::string problem = CheckMode(*this, groupMode);
  if (problem.empty())
    problem = CheckIndices(ClassName(), "vertex", vertexIndexList, mesh.vertexList.size(), "vertices");
  return problem;
}

TMeshCorner TFGVertexIndexList::CornerAt(const TMeshObject& mesh, std::size_t i) const {
  TMeshCorner c;
  c.vertex = vertexIndexList[i];
  std::size_t vertexCount = mesh.vertexList.size();
  if (!InRange(c.vertex, vertexCount)) return c;
  if (mesh.normalList.size() == vertexCount) c.normal = c.vertex;
  if (mesh.texCoordList.size() == vertexCount) {
    c.hasTexCoord = true;
    c.texCoord = TTexPoint(mesh.texCoordList[std::size_t(c.vertex)]);
  }
  return c;
}

void TFGVertexNormalTexIndexList::ReadFromStream(TMeshStreamReader& reader) {
  TFGVertexIndexList::ReadFromStream(reader);
  ReadVersion(reader, ClassName(), 0);
  ReadIntegerList(reader, normalIndexList);
  ReadIntegerList(reader, texIndexList);
}

void TFGVertexNormalTexIndexList::WriteToStream(TMeshStreamWriter& writer) const {
  TFGVertexIndexList::WriteToStream(writer);
  writer.WriteInteger(0);
  WriteIntegerList(writer, normalIndexList);
  WriteIntegerList(writer, texIndexList);
}

std::string TFGVertexNormalTexIndexList::Validate(const TMeshObject& mesh) const {
  std::string problem = TFGVertexIndexList::Validate(mesh);
  // An empty index list borrows the vertex indices, which must then fit the list they select from.
  auto check = [&](const TIntegerList& own, std::size_t limit, std::string_view what, std::string_view limitName) {
    if (!problem.empty()) return;
    if (own.empty()) {
      if (limit > 0) problem = CheckIndices(ClassName(), what, vertexIndexList, limit, limitName);
      return;
    }
    if (own.size() < vertexIndexList.size())
      problem = std::string(ClassName()) + " has " + std::to_string(own.size()) + " " + std::string(what) +
                " indices for " + std::to_string(vertexIndexList.size()) + " vertex indices";
    else
      problem = CheckIndices(ClassName(), what, own, limit, limitName);
  };
  check(normalIndexList, mesh.normalList.size(), "normal", "normals");
  check(texIndexList, mesh.texCoordList.size(), "texture", "texture coordinates");
  return problem;
}

TMeshCorner TFGVertexNormalTexIndexList::CornerAt(const TMeshObject& mesh, std::size_t i) const {
  TMeshCorner c;
  c.vertex = vertexIndexList[i];
  auto pick = [&](const TIntegerList& own) { return own.empty() ? c.vertex : i < own.size() ? own[i] : -1; };
  std::int32_t normal = pick(normalIndexList);
  if (InRange(normal, mesh.normalList.size())) c.normal = normal;
  std::int32_t tex = pick(texIndexList);
  if (InRange(tex, mesh.texCoordList.size())) {
    c.hasTexCoord = true;
    c.texCoord = TTexPoint(mesh.texCoordList[std::size_t(tex)]);
  }
  return c;
}

void TFGIndexTexCoordList::ReadFromStream(TMeshStreamReader& reader) {
  TFGVertexIndexList::ReadFromStream(reader);
  ReadVersion(reader, ClassName(), 0);
  ReadAffineVectorList(reader, groupTexCoordList);
}

void TFGIndexTexCoordList::WriteToStream(TMeshStreamWriter& writer) const {
  TFGVertexIndexList::WriteToStream(writer);
  writer.WriteInteger(0);
  WriteAffineVectorList(writer, groupTexCoordList);
}

std::string TFGIndexTexCoordList::Validate(const TMeshObject& mesh) const {
  std::string problem = TFGVertexIndexList::Validate(mesh);
  if (problem.empty() && groupTexCoordList.size() != vertexIndexList.size())
    problem = std::string(ClassName()) + " has " + std::to_string(groupTexCoordList.size()) +
              " texture coordinates for " + std::to_string(vertexIndexList.size()) + " indices";
  return problem;
}

TMeshCorner TFGIndexTexCoordList::CornerAt(const TMeshObject& mesh, std::size_t i) const {
  TMeshCorner c = TFGVertexIndexList::CornerAt(mesh, i);
  c.hasTexCoord = i < groupTexCoordList.size();
  c.texCoord = c.hasTexCoord ? TTexPoint(groupTexCoordList[i]) : TTexPoint(0, 0);
  return c;
}

TFaceGroup& TFaceGroupList::Add(std::unique_ptr<TFaceGroup> group) {
  group->owner = &owner_;
  items_.push_back(std::move(group));
  return *items_.back();
}

void TFaceGroupList::ReadFromStream(TMeshStreamReader& reader) {
  items_.clear();
  ReadObjectList(reader, "TFaceGroupList", kFaceGroupClasses, [this](std::unique_ptr<TFaceGroup> group) {
    if (group) Add(std::move(group));
    else AddEmptySlot();
  });
}

void TFaceGroupList::WriteToStream(TMeshStreamWriter& writer) const { WriteObjectList(writer, items_); }

// ---- mesh objects ----

void TMeshObject::ReadFromStream(TMeshStreamReader& reader) {
  std::int32_t version = ReadVersion(reader, ClassName(), 1);
  name = reader.ReadString();
  ReadAffineVectorList(reader, vertexList);
  ReadAffineVectorList(reader, normalList);
  shown = version >= 1 ? reader.ReadBoolean() : true;

  version = ReadVersion(reader, ClassName(), 2);
  ReadAffineVectorList(reader, texCoordList);
  if (version >= 1) ReadTexPointList(reader, lightMapCoordList);
  else lightMapCoordList.clear();
  ReadVectorList(reader, colourList);
  faceGroupList.ReadFromStream(reader);
  meshMode = static_cast<TMeshObjectMode>(reader.ReadInteger());
  std::int32_t flagsSize = reader.ReadInteger();
  if (flagsSize != 1)
    throw TMeshStreamError("TMeshObject renderFlags size " + std::to_string(flagsSize) + ", expected 1");
  renderFlags = reader.ReadRawByte();
  extraTexCoordSets.clear();
  binormalSet = 2;
  tangentSet = 1;
  if (version >= 2) {
    std::int32_t sets = reader.ReadInteger();
    if (sets < 0) throw TMeshStreamError("TMeshObject has a negative number of texture sets");
    // No reserve: each set consumes stream bytes, so a hostile count runs out of input first.
    for (std::int32_t i = 0; i < sets; ++i) ReadVectorList(reader, extraTexCoordSets.emplace_back());
    binormalSet = reader.ReadInteger();
    tangentSet = reader.ReadInteger();
  }
  if (std::string problem = Validate(); !problem.empty()) throw TMeshStreamError(problem);
  StructureChanged();
}

void TMeshObject::WriteToStream(TMeshStreamWriter& writer) const {
  writer.WriteInteger(1);
  writer.WriteString(name);
  WriteAffineVectorList(writer, vertexList);
  WriteAffineVectorList(writer, normalList);
  writer.WriteBoolean(shown);

  writer.WriteInteger(2);
  WriteAffineVectorList(writer, texCoordList);
  WriteTexPointList(writer, lightMapCoordList);
  WriteVectorList(writer, colourList);
  faceGroupList.WriteToStream(writer);
  writer.WriteInteger(meshMode);
  writer.WriteInteger(1);
  writer.WriteRawByte(renderFlags);
  writer.WriteInteger(static_cast<std::int32_t>(extraTexCoordSets.size()));
  for (const TVectorList& set : extraTexCoordSets) WriteVectorList(writer, set);
  writer.WriteInteger(binormalSet);
  writer.WriteInteger(tangentSet);
}

std::string TMeshObject::Validate() const {
  if (meshMode < momTriangles || meshMode > momFaceGroups)
    return "TMeshObject mode " + std::to_string(meshMode) + " not allowed";
  for (const auto& group : faceGroupList)
    if (group)
      if (std::string problem = group->Validate(*this); !problem.empty()) return problem;
  return {};
}

void TMeshObject::StructureChanged() {
  ++changeCount_;
  trianglesValid_ = false;
}

const TMeshTriangles& TMeshObject::Triangles() const {
  if (!trianglesValid_) {
    BuildTriangles(*this, triangles_);
    trianglesValid_ = true;
  }
  return triangles_;
}

// ---- mesh lists ----

TMeshObjectList::TMeshObjectList(TMeshObjectList&& other) noexcept : items_(std::move(other.items_)) {
  for (auto& mesh : items_)
    if (mesh) mesh->owner = this;
}

TMeshObjectList& TMeshObjectList::operator=(TMeshObjectList&& other) noexcept {
  items_ = std::move(other.items_);
  for (auto& mesh : items_)
    if (mesh) mesh->owner = this;
  return *this;
}

TMeshObject& TMeshObjectList::Add(std::unique_ptr<TMeshObject> mesh) {
  mesh->owner = this;
  items_.push_back(std::move(mesh));
  return *items_.back();
}

void TMeshObjectList::ReadFromStream(TMeshStreamReader& reader) {
  items_.clear();
  try {
    ReadObjectList(reader, "TMeshObjectList", kMeshClasses, [this](std::unique_ptr<TMeshObject> mesh) {
      if (mesh) Add(std::move(mesh));
      else AddEmptySlot();
    });
  } catch (...) {
    items_.clear();  // never leave a half-read model behind
    throw;
  }
}

void TMeshObjectList::WriteToStream(TMeshStreamWriter& writer) const { WriteObjectList(writer, items_); }

std::size_t TMeshObjectList::TriangleCount() const {
  std::size_t count = 0;
  for (const auto& mesh : items_)
    if (mesh && mesh->shown) count += mesh->Triangles().TriangleCount();
  return count;
}

bool TMeshObjectList::GetExtents(TAffineVector& min, TAffineVector& max) const {
  bool any = false;
  TAffineVector lo{}, hi{};
  for (const auto& mesh : items_) {
    if (!mesh || !mesh->shown) continue;
    for (const TAffineVector& p : mesh->Triangles().positions) {
      lo = any ? glm::min(lo, p) : p;
      hi = any ? glm::max(hi, p) : p;
      any = true;
    }
  }
  if (any) {
    min = lo;
    max = hi;
  }
  return any;
}

bool ReadMeshObjectList(std::span<const std::uint8_t> bytes, std::size_t& pos, TMeshObjectList& out,
                        std::string& error) {
  try {
    TMeshStreamReader reader(bytes, pos);
    out.ReadFromStream(reader);
    pos = reader.Position();
    return true;
  } catch (const TMeshStreamError& e) {
    error = e.what();
  } catch (const std::bad_alloc&) {
    error = "Out of memory reading a mesh list";
  }
  out.Clear();
  return false;
}

void WriteMeshObjectList(const TMeshObjectList& list, std::vector<std::uint8_t>& out) {
  TMeshStreamWriter writer(out);
  list.WriteToStream(writer);
}

// ---- builders ----

std::unique_ptr<TMeshObject> MakeMeshObject(std::string name, TAffineVectorList vertices, TAffineVectorList normals,
                                            TTexPointList texCoords, TMeshObjectMode mode) {
  auto mesh = std::make_unique<TMeshObject>();
  mesh->name = std::move(name);
  mesh->vertexList = std::move(vertices);
  mesh->normalList = std::move(normals);
  for (const TTexPoint& t : texCoords) mesh->texCoordList.emplace_back(t, 0.0f);
  mesh->meshMode = mode;
  return mesh;
}

namespace {

template <class Group>
Group& AddGroup(TMeshObject& mesh, std::unique_ptr<Group> group, TIntegerList vertexIndices, TFaceGroupMode mode,
                std::string material) {
  group->vertexIndexList = std::move(vertexIndices);
  group->groupMode = mode;
  group->groupMaterial = std::move(material);
  Group& ref = *group;
  mesh.faceGroupList.Add(std::move(group));
  mesh.meshMode = momFaceGroups;
  mesh.StructureChanged();
  return ref;
}

}  // namespace

TFGVertexIndexList& AddVertexIndexGroup(TMeshObject& mesh, TIntegerList vertexIndices, TFaceGroupMode mode,
                                        std::string material) {
  return AddGroup(mesh, std::make_unique<TFGVertexIndexList>(), std::move(vertexIndices), mode, std::move(material));
}

TFGVertexNormalTexIndexList& AddNormalTexIndexGroup(TMeshObject& mesh, TIntegerList vertexIndices,
                                                    TIntegerList normalIndices, TIntegerList texIndices,
                                                    TFaceGroupMode mode, std::string material) {
  auto group = std::make_unique<TFGVertexNormalTexIndexList>();
  group->normalIndexList = std::move(normalIndices);
  group->texIndexList = std::move(texIndices);
  return AddGroup(mesh, std::move(group), std::move(vertexIndices), mode, std::move(material));
}

TFGIndexTexCoordList& AddIndexTexCoordGroup(TMeshObject& mesh, TIntegerList vertexIndices, TTexPointList texCoords,
                                            TFaceGroupMode mode, std::string material) {
  auto group = std::make_unique<TFGIndexTexCoordList>();
  for (const TTexPoint& t : texCoords) group->groupTexCoordList.emplace_back(t, 0.0f);
  return AddGroup(mesh, std::move(group), std::move(vertexIndices), mode, std::move(material));
}
