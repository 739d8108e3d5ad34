// zelk.ravg: exponential running average of a matrix stream, split across
// the host's worker threads.
#include "frame/kit.h"
#include "temporal/locks.h"
#include "temporal/ravg.h"

struct t_zelk_ravg {
  t_object ob;
  double alpha;
  void* internal;      // float32 average of char and long input
  const char* in_base;  // the input's data during a frame, for the parts' places in their rows
};

static t_zelk_ravg* zelk_ravg_new() {
  auto* x = static_cast<t_zelk_ravg*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->alpha = 0.05;
  x->in_base = nullptr;
  x->internal = frame::new_internal_matrix("float32", 1, 2);
  return x;
}

static void zelk_ravg_free(t_zelk_ravg* x) { frame::free_matrix(x->internal); }

// The row groups come from dimstride[1] even for one dimension.
static frame::Matrix view(const t_jit_matrix_info& info, char* data) {
  frame::Matrix m = frame::to_matrix(info, data);
  m.dimstride[1] = info.dimstride[1];
  return m;
}

// Runs on the host's worker threads, one part of the region each; reads the
// record and writes nothing but its part of the output and internal data.
static void ravg_slice_calc(t_zelk_ravg* x, long dimcount, long* dim, long,
                            t_jit_matrix_info* in_info, char* in_data,
                            t_jit_matrix_info* out_info, char* out_data,
                            t_jit_matrix_info* internal_info, char* internal_data) {
  const double alpha = x->alpha;
  if (dimcount < 1) return;
  if (dimcount == 1) dim[1] = 1;
  // Parts are cut along the first two dimensions only, so the offset of the
  // part's first cell within its row is its offset modulo the row stride.
  long first_cell = 0;
  const long cell = in_info->dimstride[0], row = in_info->dimstride[1];
  if (cell > 0 && x->in_base) {
    std::ptrdiff_t offset = in_data - x->in_base;
    if (dimcount > 1 && row > 0) offset %= row;
    first_cell = static_cast<long>(offset / cell);
  }
  temporal::ravg_slice(alpha, dimcount, dim, view(*in_info, in_data), view(*out_info, out_data),
                       view(*internal_info, internal_data), temporal::BlendKernel::Fastest,
                       first_cell);
}

static bool same_region(const t_jit_matrix_info& info, const temporal::Region& r) {
  if (info.planecount != r.planecount || info.dimcount != r.dimcount) return false;
  for (long i = 0; i < r.dimcount; ++i)
    if (info.dim[i] != r.dim[i]) return false;
  return true;
}

static t_jit_err zelk_ravg_matrix_calc(t_zelk_ravg* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  temporal::LockSet<3> locks({in, out, x->internal}, {1, 0, 2});
  t_jit_matrix_info in_info = frame::get_info(in), out_info = frame::get_info(out);
  t_jit_matrix_info internal_info{};
  if (x->internal) internal_info = frame::get_info(x->internal);
  const frame::CellType type = frame::cell_type(in_info.type);
  if (in_info.type != out_info.type || type == frame::CellType::Unknown) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != out_info.planecount) return JIT_ERR_MISMATCH_PLANE;
  temporal::Region r = temporal::working_region(view(in_info, nullptr), view(out_info, nullptr));
  if (in_info.size != out_info.size) {
    error("Mismatched sizes");
    return JIT_ERR_GENERIC;
  }
  const bool integer = type == frame::CellType::Char || type == frame::CellType::Long;
  if (integer && x->internal && !same_region(internal_info, r)) {
    internal_info.dimcount = r.dimcount;
    internal_info.planecount = r.planecount;
    for (long i = 0; i < r.dimcount; ++i) internal_info.dim[i] = r.dim[i];
    frame::set_info(x->internal, internal_info);
    frame::clear(x->internal);
  }

  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  char* internal_data = x->internal ? frame::get_data(x->internal) : nullptr;
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  if (!internal_data) return JIT_ERR_INVALID_PTR;
  // Row runs follow the input's stride; odd strides must not reach outside
  // the output or the average.
  if (!temporal::ravg_rows_fit(r, view(in_info, in_data), view(out_info, out_data),
                               view(internal_info, internal_data)))
    return JIT_ERR_GENERIC;
  x->in_base = in_data;
  jit_parallel_ndim_simplecalc3(frame::as_method(ravg_slice_calc), x, r.dimcount, r.dim,
                                r.planecount, &in_info, in_data, &out_info, out_data,
                                &internal_info, internal_data, 0, 0, 0);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.ravg", "zelk_ravg", "running (exponential) average of a stream of frames",
    sizeof(t_zelk_ravg), frame::as_method(zelk_ravg_new),
    frame::as_method(zelk_ravg_free), frame::as_method(zelk_ravg_matrix_calc),
    sizeof(frame::MaxWrapper), {}, {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_ravg, alpha, "alpha", "float64", frame::kAttrOrdinary, frame::clip(0, 1));
  frame::finish_class(c, spec);
  return 0;
}
