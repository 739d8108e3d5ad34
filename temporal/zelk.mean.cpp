// zelk.mean: the running mean of every value over the frames since the last
// restart.
#include <cstring>
#include <limits>

#include "frame/kit.h"
#include "temporal/mean.h"

struct t_zelk_mean {
  t_object ob;
  double count;            // frames averaged since the last restart
  t_jit_matrix_info last;  // input of the last computed frame
  double* acc;             // means of char and long cells
  long acc_size;           // bytes
  temporal::Region region; // what acc is laid out for
};

static t_zelk_mean* zelk_mean_new() {
  auto* x = static_cast<t_zelk_mean*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->count = 0;
  std::memset(&x->last, 0, sizeof x->last);
  x->acc = nullptr;
  x->acc_size = 0;
  x->region = temporal::Region{};
  return x;
}

static void free_accumulator(t_zelk_mean* x) {
  if (x->acc) jit_freebytes(x->acc, x->acc_size);
  x->acc = nullptr;
  x->acc_size = 0;
}

static void zelk_mean_free(t_zelk_mean* x) { free_accumulator(x); }

static void zelk_mean_reset(t_zelk_mean* x) { x->count = 0; }

// A restart with an accumulator for the region. A fresh block is zeroed:
// its old content gets weight 0, and 0 · NaN would not vanish.
static bool restart(t_zelk_mean* x, const temporal::Region& r) {
  x->count = 0;
  free_accumulator(x);
  long long bytes = temporal::mean_accumulator_bytes(r);
  if (bytes < 0 || bytes > std::numeric_limits<long>::max()) return false;
  bytes = std::max(bytes, 16LL);  // an empty region still has an accumulator
  x->acc = static_cast<double*>(jit_getbytes(static_cast<long>(bytes)));
  if (!x->acc) return false;
  x->acc_size = static_cast<long>(bytes);
  std::memset(x->acc, 0, static_cast<size_t>(bytes));
  x->region = r;
  return true;
}

static bool same_shape(const t_jit_matrix_info& a, const t_jit_matrix_info& b) {
  if (a.planecount != b.planecount || a.dimcount != b.dimcount) return false;
  for (long i = 0; i < a.dimcount && i < JIT_MATRIX_MAX_DIMCOUNT; ++i)
    if (a.dim[i] != b.dim[i]) return false;
  return true;
}

static t_jit_err zelk_mean_matrix_calc(t_zelk_mean* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in), out_info = frame::get_info(out);
  const frame::CellType type = frame::cell_type(in_info.type);
  if (in_info.type != out_info.type || type == frame::CellType::Unknown) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != out_info.planecount) return JIT_ERR_MISMATCH_PLANE;

  frame::Matrix src = frame::to_matrix(in_info, nullptr), dst = frame::to_matrix(out_info, nullptr);
  const temporal::Region r = temporal::working_region(src, dst);
  if (!same_shape(in_info, x->last) || !x->acc) {
    if (!restart(x, r)) return JIT_ERR_OUT_OF_MEM;
  } else if (in_info.type != x->last.type) {
    x->count = 0;
  }
  // An output that grew alone widens the region past the accumulator; one
  // that shrank alone walks part of it, each cell with its own mean.
  const bool integer = type == frame::CellType::Char || type == frame::CellType::Long;
  if (integer && !temporal::region_within(r, x->region) && !restart(x, r)) return JIT_ERR_OUT_OF_MEM;

  src.data = reinterpret_cast<std::byte*>(frame::get_data(in));
  dst.data = reinterpret_cast<std::byte*>(frame::get_data(out));
  if (!src.data) return JIT_ERR_INVALID_INPUT;
  if (!dst.data) return JIT_ERR_INVALID_OUTPUT;
  x->count += 1;
  temporal::mean_walk(src, dst, r, x->count, x->acc, x->region);
  x->last = in_info;
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.mean", "zelk_mean", "running mean of a stream of frames since a reset or new shape",
    sizeof(t_zelk_mean), frame::as_method(zelk_mean_new),
    frame::as_method(zelk_mean_free), frame::as_method(zelk_mean_matrix_calc),
    sizeof(frame::MaxWrapper), {}, {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  frame::add_method(c, frame::as_method(zelk_mean_reset), "reset");
  frame::finish_class(c, spec);
  return 0;
}
