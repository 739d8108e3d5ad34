// zelk.trackpoints: draws a list of points into a char index image.
#include "frame/kit.h"
#include "temporal/trackpoints.h"

struct t_zelk_trackpoints {
  t_object ob;
  long size[2];  // width, height
  long sizecount;
};

static t_zelk_trackpoints* zelk_trackpoints_new() {
  auto* x = static_cast<t_zelk_trackpoints*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->size[0] = 320;
  x->size[1] = 240;
  x->sizecount = 2;  // a query before the first set reports both values
  return x;
}

static void zelk_trackpoints_free(t_zelk_trackpoints*) {}

// The output keeps one char plane whatever the input's plane count.
static void shape_output(void* max) {
  void* out = max_jit_mop_getoutput(max, 1);
  if (!out) return;
  t_jit_matrix_info info = frame::get_info(out);
  info.type = _jit_sym_char;
  info.planecount = 1;
  info.dimcount = 2;
  frame::set_info(out, info);
}

static t_jit_err zelk_trackpoints_matrix_calc(t_zelk_trackpoints* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  t_jit_matrix_info out_info = frame::get_info(out);
  char* in_data = frame::get_data(in);
  if (!in_data) return JIT_ERR_GENERIC;
  if (in_info.type != _jit_sym_float32) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 3) return JIT_ERR_MISMATCH_PLANE;

  out_info.type = _jit_sym_char;
  out_info.dimcount = 2;
  out_info.dim[0] = x->size[0];
  out_info.dim[1] = x->size[1];
  // A size the host cannot hold fails the frame: drawing into the image it
  // still has would send a picture of another size as if all were well.
  if (const t_jit_err e = frame::set_info(out, out_info)) return e;
  frame::clear(out);
  char* out_data = frame::get_data(out);
  if (!out_data) return JIT_ERR_GENERIC;
  temporal::draw_points(frame::to_matrix(in_info, in_data), frame::to_matrix(out_info, out_data));
  return JIT_ERR_NONE;
}

static frame::MopSpec trackpoints_mop() {
  frame::MopSpec m;
  m.output_planelink_off = true;
  // Type and size come from the object every frame; following the point
  // list's would reallocate the image twice a frame.
  m.output_nolink = true;
  return m;
}

static const frame::ClassSpec spec = {
    "zelk.trackpoints", "zelk_trackpoints", "draws a list of points into a char image, numbered from 1",
    sizeof(t_zelk_trackpoints),
    frame::as_method(zelk_trackpoints_new), frame::as_method(zelk_trackpoints_free),
    frame::as_method(zelk_trackpoints_matrix_calc), sizeof(frame::MaxWrapper),
    trackpoints_mop(), {}, shape_output};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ARRAY_ATTR(c, t_zelk_trackpoints, size, sizecount, "size", "long");
  frame::finish_class(c, spec);
  return 0;
}
