// A frame as the runner reads and writes it: a packed n-dimensional array of
// cells, each of `planecount` values, dim[0] varying fastest. The layout is
// that of a C-order .npy array whose last axis is the planes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "frame/matrix.h"

namespace zelk::runner {

struct Array {
  frame::CellType type = frame::CellType::Unknown;
  long planecount = 0;
  std::vector<long> dims;  // dim[0] first
  std::vector<std::byte> data;

  std::size_t cell_bytes() const { return frame::cell_size(type) * static_cast<std::size_t>(planecount); }
  std::size_t cell_count() const;
};

// The host's name of a cell type ("char", "long", "float32", "float64").
const char* type_name(frame::CellType t);
frame::CellType type_from_name(const char* name);

// Bytes of `count` cells of `cell_bytes` each, or false when it would not fit
// in `limit` (guards every size taken from a file before it is believed).
bool checked_product(const std::vector<long long>& factors, std::size_t unit, std::size_t limit,
                     std::size_t* out);

// Copies between the packed layout and a strided one (dimstride[i] bytes
// between neighbours along dimension i, as in a matrix info).
void copy_to_strided(const Array& a, std::byte* dst, const long* dimstride);
void copy_from_strided(Array* a, const std::byte* src, const long* dimstride);

}  // namespace zelk::runner
