// Theme mesh data: TMeshObject, its face groups and TMeshObjectList, their stream form and the
// flattened triangles they draw as. Holds no OpenGL state, so worlds load and measure meshes headless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "scene/meshstream.h"
#include "scene/vectorgeometry.h"

// Enumerations take any 32-bit value, so a mode read from a file is stored first and judged after.
enum TMeshObjectMode : std::int32_t { momTriangles = 0, momTriangleStrip = 1, momFaceGroups = 2 };
enum TFaceGroupMode : std::int32_t {
  fgmmTriangles = 0,
  fgmmTriangleStrip = 1,
  fgmmFlatTriangles = 2,  // drawn as plain triangles
  fgmmTriangleFan = 3,
  fgmmQuads = 4,
};
// renderFlags bit 0: draw face groups grouped by material. Carried for the file's sake only:
// theme meshes draw with one material for the whole model, so grouping changes nothing.
inline constexpr std::uint8_t mrfGroupByMaterial = 1;

// Triangles ready for client-side vertex arrays: every three positions are one triangle, and
// each other array is either empty (attribute absent) or exactly as long as positions.
struct TMeshTriangles {
  std::vector<TAffineVector> positions;
  std::vector<TAffineVector> normals;
  std::vector<TTexPoint> texCoords;
  std::vector<TVector> colours;

  std::size_t TriangleCount() const { return positions.size() / 3; }
};

// One drawn vertex of a face group, resolved against its mesh's lists.
struct TMeshCorner {
  std::int32_t vertex = -1;  // into vertexList; the per-vertex colour follows it
  std::int32_t normal = -1;  // into normalList, -1 for none
  bool hasTexCoord = false;
  TTexPoint texCoord{0, 0};
};

class TMeshObject;
class TMeshObjectList;

class TFaceGroup {
 public:
  virtual ~TFaceGroup() = default;
  virtual const char* ClassName() const = 0;

  virtual void ReadFromStream(TMeshStreamReader& reader);
  virtual void WriteToStream(TMeshStreamWriter& writer) const;
  // Empty when the mode is allowed for the class and every index lies inside the mesh's lists.
  virtual std::string Validate(const TMeshObject& mesh) const = 0;

  virtual std::size_t CornerCount() const = 0;
  virtual TFaceGroupMode DrawMode() const = 0;
  virtual bool ModeAllowed(std::int32_t mode) const = 0;
  // i < CornerCount(); tolerates indices that Validate would refuse (they come back as -1).
  virtual TMeshCorner CornerAt(const TMeshObject& mesh, std::size_t i) const = 0;

  std::string groupMaterial;       // carried, not used for drawing
  std::int32_t lightMapSlot = -1;  // negative: none (and written as the older form)
  TMeshObject* owner = nullptr;
};

// Indices into the mesh's vertices, whose normals, texture coordinates and colours come along.
class TFGVertexIndexList : public TFaceGroup {
 public:
  const char* ClassName() const override { return "TFGVertexIndexList"; }
  void ReadFromStream(TMeshStreamReader& reader) override;
  void WriteToStream(TMeshStreamWriter& writer) const override;
  std::string Validate(const TMeshObject& mesh) const override;
  std::size_t CornerCount() const override { return vertexIndexList.size(); }
  TFaceGroupMode DrawMode() const override { return groupMode; }
  bool ModeAllowed(std::int32_t mode) const override { return mode >= fgmmTriangles && mode <= fgmmQuads; }
  TMeshCorner CornerAt(const TMeshObject& mesh, std::size_t i) const override;

  TIntegerList vertexIndexList;
  TFaceGroupMode groupMode = fgmmTriangles;
};

// Separate vertex, normal and texture-coordinate indices; an empty normal or texture index
// list means the vertex index stands in for it.
class TFGVertexNormalTexIndexList : public TFGVertexIndexList {
 public:
  const char* ClassName() const override { return "TFGVertexNormalTexIndexList"; }
  void ReadFromStream(TMeshStreamReader& reader) override;
  void WriteToStream(TMeshStreamWriter& writer) const override;
  std::string Validate(const TMeshObject& mesh) const override;
  bool ModeAllowed(std::int32_t mode) const override { return mode >= fgmmTriangles && mode <= fgmmTriangleFan; }
  TMeshCorner CornerAt(const TMeshObject& mesh, std::size_t i) const override;

  TIntegerList normalIndexList;
  TIntegerList texIndexList;
};

// Vertex indices with the group's own texture coordinate per index (s, t in x, y).
class TFGIndexTexCoordList : public TFGVertexIndexList {
 public:
  const char* ClassName() const override { return "TFGIndexTexCoordList"; }
  void ReadFromStream(TMeshStreamReader& reader) override;
  void WriteToStream(TMeshStreamWriter& writer) const override;
  std::string Validate(const TMeshObject& mesh) const override;
  TMeshCorner CornerAt(const TMeshObject& mesh, std::size_t i) const override;

  TAffineVectorList groupTexCoordList;
};

// The face groups of one mesh object. Slots may be empty (null); they are kept and never drawn.
class TFaceGroupList {
 public:
  explicit TFaceGroupList(TMeshObject& owner) : owner_(owner) {}
  TFaceGroupList(const TFaceGroupList&) = delete;
  TFaceGroupList& operator=(const TFaceGroupList&) = delete;

  std::size_t Count() const { return items_.size(); }
  TFaceGroup* operator[](std::size_t i) const { return items_[i].get(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  TFaceGroup& Add(std::unique_ptr<TFaceGroup> group);
  void AddEmptySlot() { items_.push_back(nullptr); }
  void Clear() { items_.clear(); }

  void ReadFromStream(TMeshStreamReader& reader);
  void WriteToStream(TMeshStreamWriter& writer) const;

 private:
  TMeshObject& owner_;
  std::vector<std::unique_ptr<TFaceGroup>> items_;
};

class TMeshObject {
 public:
  TMeshObject() = default;
  TMeshObject(const TMeshObject&) = delete;
  TMeshObject& operator=(const TMeshObject&) = delete;

  const char* ClassName() const { return "TMeshObject"; }
  // Reading refuses indices outside the lists and modes outside the allowed sets.
  void ReadFromStream(TMeshStreamReader& reader);
  void WriteToStream(TMeshStreamWriter& writer) const;
  // Empty when meshMode and every face group are acceptable.
  std::string Validate() const;

  // Whoever edits the lists below after the first draw calls this so the triangles are rebuilt.
  void StructureChanged();
  std::uint32_t ChangeCount() const { return changeCount_; }
  // What the object draws, built on first use after a change (main thread only). Hidden
  // objects are built as well; callers that draw or measure skip them.
  const TMeshTriangles& Triangles() const;

  std::string name;
  TAffineVectorList vertexList;
  TAffineVectorList normalList;
  bool shown = true;
  TAffineVectorList texCoordList;  // s, t in x, y
  TTexPointList lightMapCoordList;
  TVectorList colourList;          // r, g, b, a
  TFaceGroupList faceGroupList{*this};
  TMeshObjectMode meshMode = momTriangles;
  std::uint8_t renderFlags = 0;
  std::vector<TVectorList> extraTexCoordSets;  // texture units 1 and up
  std::int32_t binormalSet = 2;
  std::int32_t tangentSet = 1;
  TMeshObjectList* owner = nullptr;

 private:
  std::uint32_t changeCount_ = 0;
  mutable bool trianglesValid_ = false;
  mutable TMeshTriangles triangles_;
};

// A model: mesh objects in drawing order, empty slots kept as null entries.
class TMeshObjectList {
 public:
  TMeshObjectList() = default;
  TMeshObjectList(const TMeshObjectList&) = delete;
  TMeshObjectList& operator=(const TMeshObjectList&) = delete;
  TMeshObjectList(TMeshObjectList&& other) noexcept;
  TMeshObjectList& operator=(TMeshObjectList&& other) noexcept;

  std::size_t Count() const { return items_.size(); }
  TMeshObject* operator[](std::size_t i) const { return items_[i].get(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  TMeshObject& Add(std::unique_ptr<TMeshObject> mesh);
  void AddEmptySlot() { items_.push_back(nullptr); }
  void Clear() { items_.clear(); }

  // Throws TMeshStreamError, leaving the list empty.
  void ReadFromStream(TMeshStreamReader& reader);
  void WriteToStream(TMeshStreamWriter& writer) const;

  // Of the shown objects, as drawn.
  std::size_t TriangleCount() const;
  // False (and min, max untouched) when nothing shown has a triangle.
  bool GetExtents(TAffineVector& min, TAffineVector& max) const;

 private:
  std::vector<std::unique_ptr<TMeshObject>> items_;
};

// Reads one mesh list at pos. On success pos ends just after the list's end tag; on failure
// out is empty, pos is unchanged and error says what was wrong. Never throws on bad input.
bool ReadMeshObjectList(std::span<const std::uint8_t> bytes, std::size_t& pos, TMeshObjectList& out,
                        std::string& error);
// Appends the list's stream form to out.
void WriteMeshObjectList(const TMeshObjectList& list, std::vector<std::uint8_t>& out);

// Builders for tests and the data forge. Normals and texture coordinates are either empty or
// one per vertex. Adding a group switches the mesh to face-group mode.
std::unique_ptr<TMeshObject> MakeMeshObject(std::string name, TAffineVectorList vertices,
                                            TAffineVectorList normals = {}, TTexPointList texCoords = {},
                                            TMeshObjectMode mode = momTriangles);
TFGVertexIndexList& AddVertexIndexGroup(TMeshObject& mesh, TIntegerList vertexIndices,
                                        TFaceGroupMode mode = fgmmTriangles, std::string material = {});
TFGVertexNormalTexIndexList& AddNormalTexIndexGroup(TMeshObject& mesh, TIntegerList vertexIndices,
                                                    TIntegerList normalIndices, TIntegerList texIndices,
                                                    TFaceGroupMode mode = fgmmTriangles,
                                                    std::string material = {});
TFGIndexTexCoordList& AddIndexTexCoordGroup(TMeshObject& mesh, TIntegerList vertexIndices,
                                            TTexPointList texCoords, TFaceGroupMode mode = fgmmTriangles,
                                            std::string material = {});
