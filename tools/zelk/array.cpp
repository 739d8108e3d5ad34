#include "tools/zelk/array.h"

#include <cstring>
#include <limits>

namespace zelk::runner {

std::size_t Array::cell_count() const {
  std::size_t n = 1;
  for (long d : dims) n *= static_cast<std::size_t>(d);
  return n;
}

const char* type_name(frame::CellType t) {
  switch (t) {
    case frame::CellType::Char: return "char";
    case frame::CellType::Long: return "long";
    case frame::CellType::Float32: return "float32";
    case frame::CellType::Float64: return "float64";
    default: return "unknown";
  }
}

frame::CellType type_from_name(const char* name) {
  if (!name) return frame::CellType::Unknown;
  for (auto t : {frame::CellType::Char, frame::CellType::Long, frame::CellType::Float32,
                 frame::CellType::Float64})
    if (std::strcmp(name, type_name(t)) == 0) return t;
  return frame::CellType::Unknown;
}

bool checked_product(const std::vector<long long>& factors, std::size_t unit, std::size_t limit,
                     std::size_t* out) {
  std::size_t n = unit;
  for (long long f : factors) {
    if (f < 0) return false;
    auto u = static_cast<std::size_t>(f);
    if (u != 0 && n > limit / u) return false;
    n *= u;
  }
  if (n > limit) return false;
  *out = n;
  return true;
}

namespace {

// Walks every row (run of dim[0] cells) of the array, calling f(row index
// into packed data, byte offset into the strided buffer).
template <class F>
void for_each_row(const Array& a, const long* dimstride, F&& f) {
  const std::size_t dc = a.dims.size();
  if (dc == 0 || a.cell_count() == 0) return;
  const std::size_t row_bytes = a.cell_bytes() * static_cast<std::size_t>(a.dims[0]);
  std::vector<long> idx(dc, 0);
  std::size_t packed = 0;
  for (;;) {
    long offset = 0;
    for (std::size_t i = 1; i < dc; ++i) offset += idx[i] * dimstride[i];
    f(packed, offset, row_bytes);
    packed += row_bytes;
    std::size_t i = 1;
    for (; i < dc; ++i) {
      if (++idx[i] < a.dims[i]) break;
      idx[i] = 0;
    }
    if (i == dc) return;
  }
}

// Rows are contiguous within themselves only when cells are packed.
bool packed_cells(const Array& a, const long* dimstride) {
  return a.dims.empty() || a.dims[0] <= 1 || dimstride[0] == static_cast<long>(a.cell_bytes());
}

}  // namespace

void copy_to_strided(const Array& a, std::byte* dst, const long* dimstride) {
  const bool packed = packed_cells(a, dimstride);
  for_each_row(a, dimstride, [&](std::size_t p, long off, std::size_t n) {
    if (packed) {
      std::memcpy(dst + off, a.data.data() + p, n);
      return;
    }
    for (long x = 0; x < a.dims[0]; ++x)
      std::memcpy(dst + off + x * dimstride[0], a.data.data() + p + x * a.cell_bytes(),
                  a.cell_bytes());
  });
}

void copy_from_strided(Array* a, const std::byte* src, const long* dimstride) {
  a->data.assign(a->cell_count() * a->cell_bytes(), std::byte{0});
  const bool packed = packed_cells(*a, dimstride);
  for_each_row(*a, dimstride, [&](std::size_t p, long off, std::size_t n) {
    if (packed) {
      std::memcpy(a->data.data() + p, src + off, n);
      return;
    }
    for (long x = 0; x < a->dims[0]; ++x)
      std::memcpy(a->data.data() + p + x * a->cell_bytes(), src + off + x * dimstride[0],
                  a->cell_bytes());
  });
}

}  // namespace zelk::runner
