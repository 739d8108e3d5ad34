// zelk.covariance: running mean and mean deviation of a vector stream, and
// their outer product d·dᵀ.
#include <cstdint>
#include <limits>

#include "frame/kit.h"
#include "temporal/covariance.h"
#include "temporal/locks.h"

struct t_zelk_covariance {
  t_object ob;
  t_symbol* dev_name;
  t_symbol* mean_name;
  void* dev;   // d, N x 1
  void* mean;  // mu, N x 1
  std::int32_t count;        // frames since the last restart
  std::int32_t last_length;  // N of the last restart
};

// An internal matrix registered under a fresh name, the object its client.
static void* registered_matrix(t_zelk_covariance* x, t_symbol** name) {
  t_jit_matrix_info info;
  jit_matrix_info_default(&info);
  info.type = _jit_sym_float32;
  info.dimcount = 2;
  info.planecount = 1;
  *name = jit_symbol_unique();
  void* made = jit_object_new(_jit_sym_jit_matrix, &info);
  void* m = made ? jit_object_method(made, _jit_sym_register, *name) : nullptr;
  if (!m) {
    frame::free_matrix(made);  // not registered: still ours
    error("could not allocate internal matrix!");
    return nullptr;
  }
  jit_object_attach(*name, x);
  frame::clear(m);
  return m;
}

static t_zelk_covariance* zelk_covariance_new() {
  auto* x = static_cast<t_zelk_covariance*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->dev = registered_matrix(x, &x->dev_name);
  x->mean = registered_matrix(x, &x->mean_name);
  x->count = 0;
  x->last_length = 0;
  return x;
}

static void zelk_covariance_free(t_zelk_covariance* x) {
  if (x->dev) jit_object_detach(x->dev_name, x);
  if (x->mean) jit_object_detach(x->mean_name, x);
  frame::free_matrix(x->dev);
  frame::free_matrix(x->mean);
}

static void zelk_covariance_reset(t_zelk_covariance* x) {
  x->count = 0;
  if (x->dev) frame::clear(x->dev);
  if (x->mean) frame::clear(x->mean);
}

static t_jit_err zelk_covariance_matrix_calc(t_zelk_covariance* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out || !x->dev || !x->mean) return JIT_ERR_INVALID_PTR;
  temporal::LockSet<4> locks({in, out, x->dev, x->mean}, {1, 0, 2, 3});
  const t_jit_matrix_info in_info = frame::get_info(in);
  t_jit_matrix_info out_info = frame::get_info(out);
  t_jit_matrix_info dev_info = frame::get_info(x->dev), mean_info = frame::get_info(x->mean);
  if (in_info.type != _jit_sym_float32 && in_info.type != _jit_sym_float64)
    return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 1 || out_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (in_info.dimcount != 1) return JIT_ERR_MISMATCH_DIM;

  const long n = in_info.dim[0];
  out_info.dimcount = 2;
  out_info.type = in_info.type;
  out_info.dim[0] = out_info.dim[1] = n;
  frame::set_info(out, out_info);
  if (n != x->last_length || in_info.type != mean_info.type) {
    for (t_jit_matrix_info* info : {&dev_info, &mean_info}) {
      info->dimcount = 2;
      info->type = in_info.type;
      info->dim[0] = n;
      info->dim[1] = 1;
    }
    frame::set_info(x->dev, dev_info);
    frame::set_info(x->mean, mean_info);
    frame::clear(x->dev);
    frame::clear(x->mean);
    x->last_length = static_cast<std::int32_t>(n);
    x->count = 0;
  }

  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  char* dev_data = frame::get_data(x->dev);
  char* mean_data = frame::get_data(x->mean);
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  if (!dev_data || !mean_data) return JIT_ERR_GENERIC;
  // Values are written in the input's type: a matrix that did not take it
  // would be overrun.
  if (out_info.type != in_info.type || dev_info.type != in_info.type ||
      mean_info.type != in_info.type)
    return JIT_ERR_GENERIC;

  if (x->count < std::numeric_limits<std::int32_t>::max()) x->count += 1;
  temporal::covariance_update(frame::to_matrix(in_info, in_data), frame::to_matrix(mean_info, mean_data),
                              frame::to_matrix(dev_info, dev_data), frame::to_matrix(out_info, out_data),
                              x->count);
  return JIT_ERR_NONE;
}

static frame::MopSpec covariance_mop() {
  frame::MopSpec m;
  m.single_type = "float64";
  m.single_planecount = 1;
  // The object sizes its output itself: following the input's dims would
  // reallocate the output twice a frame.
  m.output_nolink = true;
  return m;
}

static const frame::ClassSpec spec = {
    "zelk.covariance", "zelk_covariance", "outer product of the running mean deviation of a vector stream",
    sizeof(t_zelk_covariance),
    frame::as_method(zelk_covariance_new), frame::as_method(zelk_covariance_free),
    frame::as_method(zelk_covariance_matrix_calc), sizeof(frame::MaxWrapper),
    covariance_mop(), {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  frame::add_method(c, frame::as_method(zelk_covariance_reset), "reset");
  frame::finish_class(c, spec);
  return 0;
}
