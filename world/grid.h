// TTRVGrid: one value per map cell, indexed [x][z] with x the outer index, stored flat so a
// whole-map pass walks memory in order. TTRVCell: a cell reference. Nothing here knows what
// the values mean; the world, the path finders and the generator give them meaning.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TTRVCell {
  std::int32_t x = 0;
  std::int32_t z = 0;
  bool operator==(const TTRVCell&) const = default;
};

template <class T>
class TTRVGrid {
 public:
  TTRVGrid() = default;
  TTRVGrid(int sizeX, int sizeZ, T fill = T{}) { Reset(sizeX, sizeZ, fill); }

  // Negative sizes count as 0. Every cell takes the fill value.
  void Reset(int sizeX, int sizeZ, T fill = T{}) {
    sizeX_ = sizeX > 0 ? sizeX : 0;
    sizeZ_ = sizeZ > 0 ? sizeZ : 0;
    if (sizeX_ == 0 || sizeZ_ == 0) sizeX_ = sizeZ_ = 0;
    cells_.assign(static_cast<std::size_t>(sizeX_) * static_cast<std::size_t>(sizeZ_), fill);
  }
  void Fill(T value) { cells_.assign(cells_.size(), value); }
  void Clear() { Reset(0, 0); }

  int SizeX() const { return sizeX_; }
  int SizeZ() const { return sizeZ_; }
  bool Empty() const { return cells_.empty(); }
  bool Inside(int x, int z) const { return x >= 0 && z >= 0 && x < sizeX_ && z < sizeZ_; }

  // Unchecked: the caller has made sure the cell is inside.
  T& operator()(int x, int z) {
    assert(Inside(x, z));
    return cells_[Index(x, z)];
  }
  const T& operator()(int x, int z) const {
    assert(Inside(x, z));
    return cells_[Index(x, z)];
  }
  // Checked: a cell outside the grid reads as `outside` and ignores writes.
  T At(int x, int z, T outside = T{}) const { return Inside(x, z) ? cells_[Index(x, z)] : outside; }
  void Set(int x, int z, T value) {
    if (Inside(x, z)) cells_[Index(x, z)] = value;
  }

  // x-major, like the world file stores its grids.
  std::vector<T>& Cells() { return cells_; }
  const std::vector<T>& Cells() const { return cells_; }

 private:
  std::size_t Index(int x, int z) const {
    return static_cast<std::size_t>(x) * static_cast<std::size_t>(sizeZ_) + static_cast<std::size_t>(z);
  }

  int sizeX_ = 0;
  int sizeZ_ = 0;
  std::vector<T> cells_;
};
