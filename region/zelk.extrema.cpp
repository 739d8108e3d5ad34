// zelk.extrema: the peaks of a Hough accumulator as a list of (column, row).
#include "frame/kit.h"
#include "region/extrema.h"

struct t_zelk_extrema {
  t_object ob;
  long threshold;
  long maxpoints;
  long mode;
};

static t_zelk_extrema* zelk_extrema_new() {
  auto* x = static_cast<t_zelk_extrema*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->threshold = 20;
  x->maxpoints = 64;
  x->mode = 0;
  return x;
}

static void zelk_extrema_free(t_zelk_extrema*) {}

static t_jit_err refuse(t_jit_err code) {
  error("The input must come from zelk.hough!");
  return code;
}

static t_jit_err zelk_extrema_matrix_calc(t_zelk_extrema* x, void* inputs, void* outputs) {
  if (!x) return JIT_ERR_INVALID_PTR;
  const region::PeakSettings s = region::clamp_peak_settings(x->threshold, x->maxpoints, x->mode);
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  t_jit_matrix_info out_info = frame::get_info(out);
  if (in_info.type != _jit_sym_long) return refuse(JIT_ERR_MISMATCH_TYPE);
  if (in_info.planecount != 1) return refuse(JIT_ERR_MISMATCH_PLANE);
  if (in_info.dimcount != 2) return refuse(JIT_ERR_MISMATCH_DIM);

  // The operator gives the list its type, planes and dimension; they are
  // set here too, so a list of any other shape is never written.
  out_info.type = _jit_sym_float32;
  out_info.planecount = 2;
  out_info.dimcount = 1;
  out_info.dim[0] = s.maxpoints;
  if (frame::set_info(out, out_info) != JIT_ERR_NONE || out_info.type != _jit_sym_float32 ||
      out_info.planecount != 2 || out_info.dimcount != 1 || out_info.dim[0] != s.maxpoints)
    return JIT_ERR_GENERIC;
  frame::clear(out);
  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  if (!in_data || !out_data) return JIT_ERR_INVALID_PTR;

  const frame::Matrix acc = frame::to_matrix(in_info, in_data);
  region::find_peaks(frame::plane_view<const std::int32_t>(acc, acc.dim[0], acc.dim[1]), s,
                     reinterpret_cast<float*>(out_data), out_info.dimstride[0] / 4);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.extrema", "zelk_extrema",
    "finds the peaks of a Hough accumulator: one (rho bin, theta bin) per line", sizeof(t_zelk_extrema), frame::as_method(zelk_extrema_new),
    frame::as_method(zelk_extrema_free), frame::as_method(zelk_extrema_matrix_calc),
    sizeof(frame::MaxWrapper),
    {.inputs = 1, .outputs = 1, .output_nolink = true, .output = {.planecount = 2, .dimcount = 1, .types = "float32"}},
    {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_extrema, threshold, "threshold", "long");
  FRAME_ATTR(c, t_zelk_extrema, maxpoints, "maxpoints", "long");
  FRAME_ATTR(c, t_zelk_extrema, mode, "mode", "long");
  frame::finish_class(c, spec);
  return 0;
}
