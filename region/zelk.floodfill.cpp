// zelk.floodfill: the region of a binary image 4-connected to a seed cell.
#include "frame/kit.h"
#include "region/floodfill.h"

struct t_zelk_floodfill {
  t_object ob;
  long seedcount;
  long seed[2];
  region::FillStack stack;  // block and size, kept between frames
};

static t_zelk_floodfill* zelk_floodfill_new() {
  auto* x = static_cast<t_zelk_floodfill*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->seedcount = 2;
  x->seed[0] = x->seed[1] = 0;
  x->stack = region::FillStack{};
  return x;
}

static void zelk_floodfill_free(t_zelk_floodfill* x) { region::release_fill_stack(x->stack); }

static t_jit_err zelk_floodfill_matrix_calc(t_zelk_floodfill* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_INVALID_PTR;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in), out_info = frame::get_info(out);
  char* in_data = frame::get_data(in);
  char* out_data = frame::get_data(out);
  if (!in_data || !out_data) return JIT_ERR_GENERIC;
  if (in_info.type != _jit_sym_char || out_info.type != in_info.type) return JIT_ERR_MISMATCH_TYPE;
  if (in_info.planecount != 1 || out_info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (in_info.dimcount != 2 || out_info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;

  // The block follows the input's size; the fill stays inside both matrices.
  if (!region::reserve_fill_stack(x->stack, region::fill_stack_bytes(in_info.dim[0], in_info.dim[1])))
    return JIT_ERR_OUT_OF_MEM;
  frame::clear(out);
  const long w = std::min(in_info.dim[0], out_info.dim[0]);
  const long h = std::min(in_info.dim[1], out_info.dim[1]);
  region::flood_fill(frame::plane_view<const std::uint8_t>(frame::to_matrix(in_info, in_data), w, h),
                     frame::plane_view<std::uint8_t>(frame::to_matrix(out_info, out_data), w, h),
                     x->stack.records, x->seed[0], x->seed[1]);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.floodfill", "zelk_floodfill",
    "fills the region of a binary image 4-connected to a seed cell", sizeof(t_zelk_floodfill),
    frame::as_method(zelk_floodfill_new), frame::as_method(zelk_floodfill_free),
    frame::as_method(zelk_floodfill_matrix_calc), sizeof(frame::MaxWrapper),
    {.inputs = 1, .outputs = 1, .single_type = "char", .single_planecount = 1, .output = {}},
    {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ARRAY_ATTR(c, t_zelk_floodfill, seed, seedcount, "seed", "long");
  frame::finish_class(c, spec);
  return 0;
}
