// zelk.label: labels the 4-connected blobs of a binary image.
#include <climits>

#include "frame/kit.h"
#include "region/label.h"

struct t_zelk_label {
  t_object ob;
  long threshold;
  unsigned char mode;
  unsigned char charmode;
  void* stack;   // fill records, resized every frame
  void* labels;  // 32-bit labels behind char output
  region::LabelTables tables;
};

static t_zelk_label* zelk_label_new() {
  auto* x = static_cast<t_zelk_label*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->threshold = 0;
  x->mode = 0;
  x->charmode = 0;
  x->stack = frame::new_internal_matrix("char", 1, 1);
  x->labels = frame::new_internal_matrix("long", 1, 2);
  return x;
}

static void zelk_label_free(t_zelk_label* x) {
  frame::free_matrix(x->stack);
  frame::free_matrix(x->labels);
}

static t_jit_err zelk_label_matrix_calc(t_zelk_label* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out || !x->stack) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out), lock_stack(x->stack), lock_labels(x->labels);
  t_jit_matrix_info in_info = frame::get_info(in), out_info = frame::get_info(out);
  t_jit_matrix_info stack_info = frame::get_info(x->stack);
  const long in_w = in_info.dim[0], in_h = in_info.dimcount > 1 ? in_info.dim[1] : 1;
  // Room for every record one pass can push, not only the fill's limit. A
  // block whose size a `long` cannot hold (32 bits on Windows) is more than
  // the host could give.
  const std::int64_t stack_bytes = region::fill_stack_bytes(in_w, in_h);
  if (stack_bytes > LONG_MAX) return JIT_ERR_OUT_OF_MEM;
  stack_info.dim[0] = static_cast<long>(stack_bytes);
  char* labels_data = nullptr;
  out_info.type = x->charmode ? _jit_sym_char : _jit_sym_long;
  if (x->charmode) {
    if (!x->labels) return JIT_ERR_GENERIC;
    t_jit_matrix_info labels_info = frame::get_info(x->labels);
    labels_info.type = _jit_sym_long;
    labels_info.dimcount = 2;
    labels_info.dim[0] = in_w;
    labels_info.dim[1] = in_h;
    if (const t_jit_err e = frame::set_info(x->labels, labels_info)) return e;
    frame::clear(x->labels);
    if (!(labels_data = frame::get_data(x->labels))) return JIT_ERR_GENERIC;
  }
  // A matrix the host cannot resize keeps its old block, smaller or of
  // narrower cells: the fill and the labels would run past it.
  if (const t_jit_err e = frame::set_info(x->stack, stack_info)) return e;
  if (const t_jit_err e = frame::set_info(out, out_info)) return e;
  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  char* stack_data = frame::get_data(x->stack);
  if (!in_data || !out_data || !stack_data) return JIT_ERR_GENERIC;
  if (in_info.type != _jit_sym_char) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (in_info.dimcount != 2 || out_info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;

  const long w = std::min(in_info.dim[0], out_info.dim[0]);
  const long h = std::min(in_info.dim[1], out_info.dim[1]);
  frame::clear(out);
  const frame::Matrix src = frame::to_matrix(in_info, in_data);
  const frame::Matrix dst = frame::to_matrix(out_info, out_data);
  const region::LabelSettings s{x->threshold, x->mode, x->charmode != 0};
  auto* stack = reinterpret_cast<region::FillRecord*>(stack_data);
  const auto in_view = frame::plane_view<const std::uint8_t>(src, w, h);
  if (!x->charmode) {
    const auto labels = frame::plane_view<std::int32_t>(dst, w, h);
    const long count = region::label_blobs(in_view, labels, stack, x->tables, s.threshold);
    region::finish_long(s, count, x->tables, labels);
  } else {
    const frame::Matrix lab = frame::to_matrix(frame::get_info(x->labels), labels_data);
    const auto labels = frame::plane_view<std::int32_t>(lab, w, h);
    const long count = region::label_blobs(in_view, labels, stack, x->tables, s.threshold);
    region::finish_char(s, count, x->tables, frame::plane_view<const std::int32_t>(lab, w, h),
                        frame::plane_view<std::uint8_t>(dst, w, h));
  }
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.label", "zelk_label",
    "numbers the 4-connected blobs of a binary image", sizeof(t_zelk_label), frame::as_method(zelk_label_new),
    frame::as_method(zelk_label_free), frame::as_method(zelk_label_matrix_calc),
    sizeof(frame::MaxWrapper),
    // One plane of long or char labels, whatever the wrapper is asked for.
    {.output = {.planecount = 1, .types = "long char"}}, {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_label, threshold, "threshold", "long");
  FRAME_ATTR(c, t_zelk_label, mode, "mode", "char", frame::kAttrOrdinary, frame::clip(0, 1));
  FRAME_ATTR(c, t_zelk_label, charmode, "charmode", "char", frame::kAttrOrdinary, frame::clip(0, 1));
  frame::finish_class(c, spec);
  return 0;
}
