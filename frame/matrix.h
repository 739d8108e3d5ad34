// The matrix type every computation works on: a description of an
// n-dimensional grid of cells plus typed, strided views over its memory.
// Host-free on purpose: computations, their tests and the benchmarks use
// only this header (and its siblings errors.h and walk.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace frame {

inline constexpr int kMaxDims = 32;
inline constexpr int kMaxPlanes = 32;

enum class CellType : int { Char, Long, Float32, Float64, Unknown };

template <class T> struct CellTypeOf;
template <> struct CellTypeOf<std::uint8_t> { static constexpr CellType value = CellType::Char; };
template <> struct CellTypeOf<std::int32_t> { static constexpr CellType value = CellType::Long; };
template <> struct CellTypeOf<float> { static constexpr CellType value = CellType::Float32; };
template <> struct CellTypeOf<double> { static constexpr CellType value = CellType::Float64; };

constexpr std::size_t cell_size(CellType t) {
  switch (t) {
    case CellType::Char: return 1;
    case CellType::Long: return 4;
    case CellType::Float32: return 4;
    case CellType::Float64: return 8;
    default: return 0;
  }
}

// Description of a matrix as the host hands it over: `dimstride[i]` is the
// byte step along dimension i; rows may be padded (dimstride[1] > dim[0] cells).
struct Matrix {
  CellType type = CellType::Unknown;
  long planecount = 0;
  long dimcount = 0;
  long dim[kMaxDims] = {};
  long dimstride[kMaxDims] = {};
  long size = 0;  // bytes of data
  std::byte* data = nullptr;

  long width() const { return dimcount >= 1 ? dim[0] : 0; }
  long height() const { return dimcount >= 2 ? dim[1] : (dimcount == 1 ? 1 : 0); }
  long row_stride() const { return dimcount >= 2 ? dimstride[1] : 0; }
};

// One plane of a two-dimensional region: `width` cells per row, rows
// `row_stride` bytes apart, cells `step` values apart (0 when width is 1,
// as the walk hands them to kernels).
template <class T>
struct PlaneView {
  std::byte* base = nullptr;
  long width = 0;
  long height = 0;
  long row_stride = 0;  // bytes
  long step = 1;        // values of T between cells

  T* row(long y) const { return reinterpret_cast<T*>(base + y * row_stride); }
  T& at(long x, long y) const { return row(y)[x * step]; }
};

// View of plane `plane` of a 2-D (or 1-D, as one row) matrix, limited to
// width x height cells. The caller has checked the type.
template <class T>
PlaneView<T> plane_view(const Matrix& m, long width, long height, long plane = 0) {
  PlaneView<T> v;
  v.base = m.data + plane * static_cast<long>(sizeof(T));
  v.width = width;
  v.height = height;
  v.row_stride = m.row_stride();
  v.step = m.planecount;
  return v;
}

// Calls `f(T{})` with the C++ type that matches `t`; returns false for an
// unknown type. Lets a computation pick its typed kernel once per call.
template <class F>
bool dispatch_type(CellType t, F&& f) {
  switch (t) {
    case CellType::Char: f(std::uint8_t{}); return true;
    case CellType::Long: f(std::int32_t{}); return true;
    case CellType::Float32: f(float{}); return true;
    case CellType::Float64: f(double{}); return true;
    default: return false;
  }
}

}  // namespace frame
