// zelk.binedge: marks the boundary cells of the regions of a binary image.
#include "frame/kit.h"
#include "region/binedge.h"

struct t_zelk_binedge {
  t_object ob;
};

static t_zelk_binedge* zelk_binedge_new() {
  return static_cast<t_zelk_binedge*>(frame::alloc_instance());
}

static void zelk_binedge_free(t_zelk_binedge*) {}

static t_jit_err zelk_binedge_matrix_calc(t_zelk_binedge* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in), out_info = frame::get_info(out);
  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  if (in_info.type != out_info.type) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  // The region's height comes from the output too: it needs two dimensions.
  if (in_info.dimcount != 2 || out_info.dimcount < 2) return JIT_ERR_MISMATCH_DIM;

  if (!frame::has_cells(in_info) || !frame::has_cells(out_info)) return JIT_ERR_NONE;
  const long w = std::min(in_info.dim[0], out_info.dim[0]);
  const long h = std::min(in_info.dim[1], out_info.dim[1]);
  region::binary_edges(frame::to_matrix(in_info, in_data), frame::to_matrix(out_info, out_data), w, h);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.binedge", "zelk_binedge",
    "marks the edge cells of the regions of a binary image", sizeof(t_zelk_binedge),
    frame::as_method(zelk_binedge_new), frame::as_method(zelk_binedge_free),
    frame::as_method(zelk_binedge_matrix_calc), sizeof(frame::MaxWrapper),
    {.output = {.planecount = 1}}, {}};  // one plane of edges, whatever the wrapper is asked for

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  frame::finish_class(c, spec);
  return 0;
}
