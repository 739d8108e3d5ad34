// Host matrices: 16-byte aligned data and rows (dimstride[1] rounded up to a
// multiple of 16), counted allocations, reallocation only when the shape
// changes, conversion between the four cell types, and matrix lists.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "internal.h"

namespace zelk::host::detail {
namespace {

constexpr long kAlign = 16;
constexpr long long kMinBlock = 16;  // an empty matrix still has a valid block

long long round_up(long long v) { return (v + kAlign - 1) / kAlign * kAlign; }

// Normalises `info` (clamped counts, dims, strides, size) for a layout with
// rows `row_stride` bytes apart (0: packed and rounded to 16). False when the
// type is unknown or the data would be too large.
bool layout(t_jit_matrix_info& info, long row_stride) {
  long ts = type_size(info.type);
  if (ts == 0) return false;
  info.planecount = std::clamp(info.planecount, 1L, static_cast<long>(JIT_MATRIX_MAX_PLANECOUNT));
  info.dimcount = std::clamp(info.dimcount, 1L, static_cast<long>(JIT_MATRIX_MAX_DIMCOUNT));
  for (long k = 0; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) {
    if (k >= info.dimcount) info.dim[k] = 1;
    // Jitter keeps every size at 1 or more; a matrix of no cells would let
    // an object send a size that Max never shows it.
    if (info.dim[k] < 1) info.dim[k] = 1;
    if (info.dim[k] > kMaxAllocation) return false;
  }
  long long cell = info.planecount * ts;
  long long row = cell * info.dim[0];
  if (row > kMaxAllocation) return false;
  long long stride = row_stride > 0 ? std::max<long long>(row_stride, row) : round_up(row);
  long long strides[JIT_MATRIX_MAX_DIMCOUNT];
  strides[0] = cell;
  strides[1] = stride;
  for (long k = 2; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) {
    if (info.dim[k - 1] != 0 && strides[k - 1] > kMaxAllocation / info.dim[k - 1]) return false;
    strides[k] = strides[k - 1] * info.dim[k - 1];
  }
  long long size;
  if (info.dimcount == 1) {
    size = stride;
  } else {
    long top = info.dimcount - 1;
    if (info.dim[top] != 0 && strides[top] > kMaxAllocation / info.dim[top]) return false;
    size = strides[top] * info.dim[top];
  }
  // The info holds the size as a `long`, 32 bits on Windows: a matrix it
  // cannot describe is refused, never described wrapped. No stride exceeds
  // the size.
  if (size > LONG_MAX) return false;
  for (long k = 0; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) info.dimstride[k] = static_cast<long>(strides[k]);
  info.size = static_cast<long>(size);
  return true;
}

bool same_shape(const t_jit_matrix_info& a, const t_jit_matrix_info& b) {
  if (a.type != b.type || a.planecount != b.planecount || a.dimcount != b.dimcount) return false;
  for (long k = 0; k < a.dimcount; ++k)
    if (a.dim[k] != b.dim[k]) return false;
  return true;
}

char* alloc_data(long size) {
  return static_cast<char*>(counted_alloc(std::max<long long>(size, kMinBlock)));
}

// ---- conversion ----------------------------------------------------------------

template <class S, class D>
D convert(S v) {
  constexpr bool s_float = std::is_floating_point_v<S>;
  constexpr bool d_float = std::is_floating_point_v<D>;
  if constexpr (std::is_same_v<S, D>) {
    return v;
  } else if constexpr (d_float && std::is_same_v<S, uint8_t>) {
    return static_cast<D>(v / 255.0);
  } else if constexpr (d_float && s_float) {
    return static_cast<D>(v);
  } else if constexpr (d_float) {
    return static_cast<D>(v);
  } else if constexpr (std::is_same_v<D, uint8_t> && s_float) {
    double d = static_cast<double>(v) * 255.0;
    if (!(d > 0)) return 0;  // also NaN
    return d >= 255.0 ? 255 : static_cast<uint8_t>(d);
  } else if constexpr (s_float) {  // float -> long
    double d = static_cast<double>(v);
    if (std::isnan(d)) return 0;
    if (d <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (d >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(d);
  } else {
    return static_cast<D>(v);  // char <-> long: plain
  }
}

struct CopyJob {
  const Matrix* src;
  Matrix* dst;
  long n[JIT_MATRIX_MAX_DIMCOUNT];  // overlap per destination dimension
};

template <class S, class D>
void copy_rows(const CopyJob& j, long dim, const char* sp, char* dp) {
  const t_jit_matrix_info& si = j.src->info;
  const t_jit_matrix_info& di = j.dst->info;
  if (dim > 0) {
    long sstride = dim < si.dimcount ? si.dimstride[dim] : 0;
    for (long i = 0; i < j.n[dim]; ++i)
      copy_rows<S, D>(j, dim - 1, sp + i * sstride, dp + i * di.dimstride[dim]);
    return;
  }
  for (long x = 0; x < j.n[0]; ++x) {
    const char* s = sp + x * si.dimstride[0];
    char* d = dp + x * di.dimstride[0];
    for (long p = 0; p < di.planecount; ++p) {
      D v{};
      if (p < si.planecount) {
        S sv;
        std::memcpy(&sv, s + p * sizeof(S), sizeof sv);
        v = convert<S, D>(sv);
      }
      std::memcpy(d + p * sizeof(D), &v, sizeof v);
    }
  }
}

template <class F>
void with_type(t_symbol* t, F&& f) {
  if (t == _jit_sym_char) f(uint8_t{});
  else if (t == _jit_sym_long) f(int32_t{});
  else if (t == _jit_sym_float32) f(float{});
  else f(double{});
}

// ---- methods --------------------------------------------------------------------

Matrix* self(void* x) { return static_cast<Matrix*>(x); }
void* err(t_jit_err e) { return reinterpret_cast<void*>(e); }
int int_arg(void* a) { return static_cast<int>(reinterpret_cast<t_ptr_int>(a)); }

void* m_lock(void* x, void* a, void*, void*, void*) {
  Matrix* m = self(x);
  long prev = m->lock;
  int v = int_arg(a);
  if (v != -1) m->lock = v ? 1 : 0;
  return reinterpret_cast<void*>(prev);
}

void* m_getinfo(void* x, void* a, void*, void*, void*) {
  if (!a) return err(JIT_ERR_INVALID_PTR);
  *static_cast<t_jit_matrix_info*>(a) = self(x)->info;
  return err(JIT_ERR_NONE);
}

void* m_setinfo(void* x, void* a, void*, void*, void*) {
  return err(matrix_setinfo(self(x), static_cast<t_jit_matrix_info*>(a)));
}

void* m_getdata(void* x, void* a, void*, void*, void*) {
  if (a) *static_cast<char**>(a) = self(x)->data;
  return self(x)->data;
}

void* m_data(void* x, void* a, void*, void*, void*) {
  Matrix* m = self(x);
  if (m->owns) return err(JIT_ERR_GENERIC);  // its own block cannot be swapped out
  m->data = static_cast<char*>(a);
  return err(JIT_ERR_NONE);
}

void* m_clear(void* x, void*, void*, void*, void*) {
  Matrix* m = self(x);
  if (m->data && m->info.size > 0) std::memset(m->data, 0, static_cast<size_t>(m->info.size));
  return err(JIT_ERR_NONE);
}

void* m_register(void* x, void* a, void*, void*, void*) {
  return register_object(x, static_cast<t_symbol*>(a));
}

void* m_getname(void* x, void*, void*, void*, void*) { return prefix_of(x)->registered; }

void* m_frommatrix(void* x, void* a, void*, void*, void*) {
  Matrix* src = as_matrix(a);
  if (!src) return err(JIT_ERR_INVALID_INPUT);
  return err(matrix_copy_from(self(x), src));
}

void m_free(void* x) {
  Matrix* m = self(x);
  if (m->owns) counted_free(m->data);
  m->data = nullptr;
}

void* new_matrix_obj(Class*, const NewArgs& args) {
  auto* in = args.as<t_jit_matrix_info*>(0);
  t_jit_matrix_info info;
  if (in)
    info = *in;
  else
    jit_matrix_info_default(&info);
  return make_matrix(info);
}

Class* make_matrix_class() {
  Class* c = new_class("jit_matrix", false);
  c->size = sizeof(Matrix);
  c->builtin_new = new_matrix_obj;
  c->builtin_args = 1;
  c->mfree = fn_cast<method>(m_free);
  add_direct_method(c, "lock", m_lock);
  add_direct_method(c, "getinfo", m_getinfo);
  add_direct_method(c, "setinfo", m_setinfo);
  add_direct_method(c, "getdata", m_getdata);
  add_direct_method(c, "data", m_data);
  add_direct_method(c, "clear", m_clear);
  add_direct_method(c, "register", m_register);
  add_direct_method(c, "getname", m_getname);
  add_direct_method(c, "frommatrix", m_frommatrix);
  register_jit_class(c);
  return c;
}

void* l_getindex(void* x, void* a, void*, void*, void*) {
  auto* l = static_cast<MatrixList*>(x);
  long i = int_arg(a);
  return (i >= 0 && i < l->count) ? l->items[i] : nullptr;
}

void* l_getsize(void* x, void*, void*, void*, void*) {
  return reinterpret_cast<void*>(static_cast<MatrixList*>(x)->count);
}

void* new_list_obj(Class*, const NewArgs&) { return make_list(); }

Class* make_list_class() {
  Class* c = new_class("jit_matrix_list", false);
  c->size = sizeof(MatrixList);
  c->builtin_new = new_list_obj;
  add_direct_method(c, "getindex", l_getindex);
  add_direct_method(c, "getsize", l_getsize);
  register_jit_class(c);
  return c;
}

}  // namespace

long type_size(t_symbol* t) {
  if (t == _jit_sym_char) return 1;
  if (t == _jit_sym_long || t == _jit_sym_float32) return 4;
  if (t == _jit_sym_float64) return 8;
  return 0;
}

bool type_known(t_symbol* t) { return type_size(t) != 0; }

Class* matrix_class() {
  static Class* c = make_matrix_class();
  return c;
}

Class* list_class() {
  static Class* c = make_list_class();
  return c;
}

Matrix* as_matrix(void* x) {
  return class_of(x) == matrix_class() ? static_cast<Matrix*>(x) : nullptr;
}

Matrix* make_matrix(const t_jit_matrix_info& in, long row_stride, bool with_data) {
  t_jit_matrix_info info = in;
  if (!layout(info, row_stride)) return nullptr;
  bool reference = (info.flags & JIT_MATRIX_DATA_REFERENCE) || !with_data;
  char* data = reference ? nullptr : alloc_data(info.size);
  if (!reference && !data) return nullptr;
  auto* m = static_cast<Matrix*>(alloc_record(matrix_class(), sizeof(Matrix)));
  if (!m) {
    counted_free(data);
    return nullptr;
  }
  if (reference) info.flags |= JIT_MATRIX_DATA_REFERENCE;
  m->info = info;
  m->data = data;
  m->capacity = data ? std::max<long>(info.size, kMinBlock) : 0;
  m->owns = !reference;
  return m;
}

t_jit_err matrix_setinfo(Matrix* m, const t_jit_matrix_info* in) {
  if (!m || !in) return JIT_ERR_INVALID_PTR;
  if (!type_known(in->type)) return JIT_ERR_MISMATCH_TYPE;
  t_jit_matrix_info info = *in;
  info.flags = m->info.flags;
  if (!layout(info, 0)) return JIT_ERR_OUT_OF_MEM;
  if (same_shape(info, m->info)) return JIT_ERR_NONE;  // keeps data and any padded stride
  if (m->owns) {
    // A shape that fits the block keeps it: an output that a patch retypes
    // every frame (char in, long out) must not allocate every frame.
    if (info.size > m->capacity || !m->data) {
      // A new block comes zeroed from the system, page by page as it is
      // touched: no pass over it here.
      char* data = alloc_data(info.size);
      if (!data) return JIT_ERR_OUT_OF_MEM;
      counted_free(m->data);
      m->data = data;
      m->capacity = std::max<long>(info.size, kMinBlock);
    } else {
      std::memset(m->data, 0, static_cast<size_t>(std::max<long>(info.size, 0)));
    }
  } else {
    // Borrowed data of the old shape must not be reached through the new one.
    m->data = nullptr;
  }
  m->info = info;
  return JIT_ERR_NONE;
}

t_jit_err matrix_copy_from(Matrix* dst, const Matrix* src) {
  if (!dst || !src) return JIT_ERR_INVALID_PTR;
  if (dst == src) return JIT_ERR_NONE;
  if (!src->data) return JIT_ERR_INVALID_INPUT;
  if (!dst->data) return JIT_ERR_INVALID_OUTPUT;
  CopyJob job{src, dst, {}};
  for (long k = 0; k < dst->info.dimcount; ++k) {
    long s = k < src->info.dimcount ? src->info.dim[k] : 1;
    job.n[k] = std::min(dst->info.dim[k], s);
  }
  with_type(src->info.type, [&](auto s) {
    with_type(dst->info.type, [&](auto d) {
      copy_rows<decltype(s), decltype(d)>(job, dst->info.dimcount - 1, src->data, dst->data);
    });
  });
  return JIT_ERR_NONE;
}

MatrixList* make_list() {
  return static_cast<MatrixList*>(alloc_record(list_class(), sizeof(MatrixList)));
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

extern "C" t_jit_err jit_matrix_info_default(t_jit_matrix_info* info) {
  if (!info) return JIT_ERR_INVALID_PTR;
  std::memset(info, 0, sizeof *info);
  info->type = _jit_sym_char;
  info->planecount = 4;
  info->dimcount = 2;
  for (long k = 0; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) info->dim[k] = 1;
  layout(*info, 0);
  return JIT_ERR_NONE;
}

namespace zelk::host {
namespace {

t_jit_matrix_info info_for(t_symbol* type, long planecount, const std::vector<long>& dims) {
  t_jit_matrix_info info;
  jit_matrix_info_default(&info);
  info.type = type;
  info.planecount = planecount;
  info.dimcount = dims.empty() ? 1 : static_cast<long>(std::min<size_t>(dims.size(), JIT_MATRIX_MAX_DIMCOUNT));
  for (long k = 0; k < info.dimcount; ++k) info.dim[k] = dims.empty() ? 1 : dims[k];
  return info;
}

}  // namespace

void* new_matrix(t_symbol* type, long planecount, const std::vector<long>& dims) {
  return detail::make_matrix(info_for(type, planecount, dims));
}

void* new_matrix_strided(t_symbol* type, long planecount, const std::vector<long>& dims,
                         long row_stride) {
  return detail::make_matrix(info_for(type, planecount, dims), row_stride);
}

void* new_matrix_without_data(t_symbol* type, long planecount, const std::vector<long>& dims) {
  return detail::make_matrix(info_for(type, planecount, dims), 0, false);
}

t_jit_matrix_info matrix_info(void* matrix) {
  t_jit_matrix_info info;
  std::memset(&info, 0, sizeof info);
  if (detail::Matrix* m = detail::as_matrix(matrix)) info = m->info;
  return info;
}

char* matrix_data(void* matrix) {
  detail::Matrix* m = detail::as_matrix(matrix);
  return m ? m->data : nullptr;
}

void* new_matrix_list(const std::vector<void*>& matrices) {
  detail::MatrixList* l = detail::make_list();
  if (!l) return nullptr;
  for (void* m : matrices)
    if (l->count < JIT_MATRIX_MAX_DIMCOUNT) l->items[l->count++] = m;
  return l;
}

t_jit_err matrix_calc(void* jit_object, const std::vector<void*>& inputs,
                      const std::vector<void*>& outputs) {
  if (!detail::prefix_of(jit_object)) return JIT_ERR_INVALID_PTR;
  void* in = new_matrix_list(inputs);
  void* out = new_matrix_list(outputs);
  auto e = reinterpret_cast<t_jit_err>(jit_object_method(jit_object, _jit_sym_matrix_calc, in, out));
  jit_object_free(in);
  jit_object_free(out);
  return e;
}

}  // namespace zelk::host
