// Feeds arbitrary bytes to the theme mesh reader: it must answer an error or a list, never crash,
// and whatever it accepts must survive a write-read-write cycle unchanged and flatten in bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "scene/meshobject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMeshObjectList list;
  std::size_t pos = 0;
  std::string error;
  if (!ReadMeshObjectList(std::span(data, size), pos, list, error)) {
    if (list.Count() != 0 || pos != 0 || error.empty()) std::abort();
    return 0;
  }
  if (pos > size) std::abort();

  std::vector<std::uint8_t> first;
  WriteMeshObjectList(list, first);
  TMeshObjectList again;
  std::size_t againPos = 0;
  if (!ReadMeshObjectList(first, againPos, again, error) || againPos != first.size()) std::abort();
  std::vector<std::uint8_t> second;
  WriteMeshObjectList(again, second);
  if (second != first) std::abort();

  TAffineVector min, max;
  list.GetExtents(min, max);
  if (list.TriangleCount() != again.TriangleCount()) std::abort();
  for (const auto& mesh : list) {
    if (!mesh) continue;
    const TMeshTriangles& t = mesh->Triangles();
    std::size_t n = t.positions.size();
    if (n % 3 != 0 || (!t.normals.empty() && t.normals.size() != n) ||
        (!t.texCoords.empty() && t.texCoords.size() != n) || (!t.colours.empty() && t.colours.size() != n))
      std::abort();
  }
  return 0;
}
