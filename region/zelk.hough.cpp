// zelk.hough: the straight-line Hough accumulator of a binary image.
#include "frame/kit.h"
#include "region/hough.h"

#include <algorithm>

struct t_zelk_hough {
  t_object ob;
  double rho;
  double theta;
  region::HoughTables tables;  // sines and cosines of the current frame
};

static t_zelk_hough* zelk_hough_new() {
  auto* x = static_cast<t_zelk_hough*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->rho = region::kDefaultRho;
  x->theta = region::kDefaultTheta;
  return x;
}

static void zelk_hough_free(t_zelk_hough*) {}

static t_jit_err zelk_hough_matrix_calc(t_zelk_hough* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  t_jit_matrix_info out_info = frame::get_info(out);
  if (in_info.type != _jit_sym_char) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (in_info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;

  const long w = in_info.dim[0], h = in_info.dim[1];
  const region::HoughGeometry g = region::hough_geometry(x->rho, x->theta, w, h);
  out_info.type = _jit_sym_long;
  out_info.planecount = 1;
  out_info.dimcount = 2;
  // Jitter keeps every size at 1 or more: with no distance or angle bins
  // the accumulator is one cell of zeros, and nothing is voted.
  const long columns = std::max(1L, g.n_rho), rows = std::max(1L, g.n_theta);
  out_info.dim[0] = columns;
  out_info.dim[1] = rows;
  // An output that did not take this shape is never voted into.
  if (frame::set_info(out, out_info) != JIT_ERR_NONE || out_info.type != _jit_sym_long ||
      out_info.planecount != 1 || out_info.dimcount != 2 || out_info.dim[0] != columns ||
      out_info.dim[1] != rows)
    return JIT_ERR_GENERIC;
  frame::clear(out);
  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  if (!in_data || !out_data) return JIT_ERR_INVALID_PTR;

  if (g.n_rho < 1 || g.n_theta < 1) return JIT_ERR_NONE;
  region::fill_angle_tables(x->tables, g, jit_math_sin, jit_math_cos);
  region::hough_vote(frame::plane_view<const std::uint8_t>(frame::to_matrix(in_info, in_data), w, h),
                     frame::plane_view<std::int32_t>(frame::to_matrix(out_info, out_data), g.n_rho, g.n_theta),
                     x->tables, g);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.hough", "zelk_hough",
    "votes the straight lines of a binary image into an accumulator", sizeof(t_zelk_hough), frame::as_method(zelk_hough_new),
    frame::as_method(zelk_hough_free), frame::as_method(zelk_hough_matrix_calc),
    sizeof(frame::MaxWrapper), {.inputs = 1, .outputs = 1, .output_nolink = true, .output = {}}, {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_hough, rho, "rho", "float64");
  FRAME_ATTR(c, t_zelk_hough, theta, "theta", "float64");
  frame::finish_class(c, spec);
  return 0;
}
