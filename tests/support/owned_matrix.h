// A frame::Matrix that owns its memory, for computation tests: any type,
// plane count and dimensions, rows optionally padded.
#pragma once

#include <cstring>
#include <initializer_list>
#include <vector>

#include "frame/matrix.h"

namespace zt {

class OwnedMatrix {
 public:
  // `row_padding` extra bytes at the end of every row (dimstride[1] grows).
  OwnedMatrix(frame::CellType type, long planecount, std::initializer_list<long> dims,
              long row_padding = 0)
      : OwnedMatrix(type, planecount, std::vector<long>(dims), row_padding) {}
  OwnedMatrix(frame::CellType type, long planecount, const std::vector<long>& dims,
              long row_padding = 0) {
    m_.type = type;
    m_.planecount = planecount;
    m_.dimcount = static_cast<long>(dims.size());
    long stride = planecount * static_cast<long>(frame::cell_size(type));
    for (long i = 0; i < m_.dimcount; ++i) {
      m_.dim[i] = dims[i];
      m_.dimstride[i] = stride;
      stride *= dims[i];
      if (i == 0) stride += row_padding;
    }
    if (m_.dimcount == 1) m_.dimstride[1] = stride;
    m_.size = stride;
    // Padding bytes get a marker so tests can see they were left alone.
    storage_.assign(static_cast<std::size_t>(stride) + 16, std::byte{0xA5});
    m_.data = storage_.data();
    for (long y = 0; y < rows(); ++y)
      std::memset(row_ptr(y), 0, static_cast<std::size_t>(m_.dim[0] * m_.dimstride[0]));
  }

  // A copy owns a copy of the storage; the default one would point into
  // the original's.
  OwnedMatrix(const OwnedMatrix& o) : m_(o.m_), storage_(o.storage_) { m_.data = storage_.data(); }
  OwnedMatrix& operator=(const OwnedMatrix& o) {
    if (this != &o) {
      m_ = o.m_;
      storage_ = o.storage_;
      m_.data = storage_.data();
    }
    return *this;
  }
  OwnedMatrix(OwnedMatrix&&) = default;  // the moved vector keeps its buffer
  OwnedMatrix& operator=(OwnedMatrix&&) = default;

  frame::Matrix& matrix() { return m_; }
  const frame::Matrix& matrix() const { return m_; }
  operator const frame::Matrix&() const { return m_; }

  // Rows across all higher dimensions (dimcount 1: one row).
  long rows() const {
    long r = 1;
    for (long i = 1; i < m_.dimcount; ++i) r *= m_.dim[i];
    return m_.dimcount == 0 ? 0 : r;
  }
  std::byte* row_ptr(long y) const { return m_.data + y * m_.dimstride[1]; }

  // Cell (x, y) plane p of a 1-D or 2-D matrix; z indexes dimension 2.
  template <class T>
  T& at(long x, long y = 0, long p = 0, long z = 0) {
    return *reinterpret_cast<T*>(m_.data + z * (m_.dimcount > 2 ? m_.dimstride[2] : 0) +
                                 y * m_.dimstride[1] + x * m_.dimstride[0] +
                                 p * static_cast<long>(sizeof(T)));
  }

 private:
  frame::Matrix m_;
  std::vector<std::byte> storage_;
};

}  // namespace zt
