// matrix_calc of the blob descriptors, shared by their bindings: the checks
// and resizing of the objects that read a label image, and of those that
// read a blob moment matrix. A missing object or matrix does nothing and
// succeeds, as every blob descriptor does.
#pragma once

#include <algorithm>
#include <cstring>

#include "blobs/angles.h"
#include "frame/kit.h"

namespace blobs {

// Makes `out` a one-dimensional matrix of `length` cells of `planes` values
// of `type` and returns its data; null when it has none or the host did not
// give it that shape, so nothing is written to a matrix of another layout.
// Jitter keeps a size of at least 1: with no blob the one cell is written
// here as zeros (mass 0 at (0, 0)), never left holding an earlier frame's.
inline char* resize_output(void* out, t_symbol* type, long planes, long length,
                           t_jit_matrix_info& info) {
  const long cells = std::max(1L, length);
  info = frame::get_info(out);
  info.type = type;
  info.planecount = planes;
  info.dimcount = 1;
  info.dim[0] = cells;
  frame::set_info(out, info);
  char* data = frame::get_data(out);
  if (!data || info.type != type || info.planecount != planes || info.dimcount < 1 || info.dim[0] < cells)
    return nullptr;
  if (length == 0) std::memset(data, 0, static_cast<std::size_t>(info.dimstride[0]));
  return data;
}

// Label image in (two dimensions, one char plane), one cell per label out.
// Record holds `tables` with accumulate(view) -> L and write(count, matrix).
template <class Record>
t_jit_err label_image_calc(Record* x, void* inputs, void* outputs, t_symbol* out_type,
                           long out_planes) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_NONE;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  char* in_data = frame::get_data(in);
  if (in_info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;
  if (in_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (in_info.type != _jit_sym_char) return JIT_ERR_MISMATCH_TYPE;
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  const frame::Matrix src = frame::to_matrix(in_info, in_data);
  const long count = x->tables.accumulate(
      frame::plane_view<const std::uint8_t>(src, std::max(0L, src.dim[0]), std::max(0L, src.dim[1])));
  t_jit_matrix_info out_info;
  char* out_data = resize_output(out, out_type, out_planes, count, out_info);
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  x->tables.write(count, frame::to_matrix(out_info, out_data));
  return JIT_ERR_NONE;
}

// Blob moment matrix in (one dimension, 17 float32 planes), one float32 per
// cell out: out[k] = per_cell(pointer to the 17 values of cell k).
template <class Record, class PerCell>
t_jit_err moment_matrix_calc(Record* x, void* inputs, void* outputs, PerCell&& per_cell) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_NONE;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  char* in_data = frame::get_data(in);
  t_jit_err err = JIT_ERR_NONE;
  if (in_info.dimcount != 1)
    err = JIT_ERR_MISMATCH_DIM;
  else if (in_info.planecount != kMomentPlanes)
    err = JIT_ERR_MISMATCH_PLANE;
  else if (in_info.type != _jit_sym_float32)
    err = JIT_ERR_MISMATCH_TYPE;
  if (err) {
    error("Make sure object is connected to leftmost outlet of zelk.blobs.moments!");
    return err;
  }
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  const long n = std::max(0L, in_info.dim[0]);
  t_jit_matrix_info out_info;
  char* out_data = resize_output(out, _jit_sym_float32, 1, n, out_info);
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  for_each_blob(frame::to_matrix(in_info, in_data), frame::to_matrix(out_info, out_data), n,
                per_cell);
  return JIT_ERR_NONE;
}

// Operator constraints of the blob descriptors: one type (and, for all but
// the ordering, one plane count) on every matrix, then an unlinked
// one-dimensional output of its own plane count and type.
inline frame::MopSpec blob_mop(const char* in_type, long in_planes, long out_planes,
                               const char* out_type) {
  frame::MopSpec m;
  m.single_type = in_type;
  m.single_planecount = in_planes;
  m.output_nolink = true;
  m.output = frame::OutputLimits{out_planes, 1, out_type};
  return m;
}

}  // namespace blobs
