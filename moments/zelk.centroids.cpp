// zelk.centroids: mass and weighted centroid of a single-plane image, sent
// as lists after every matrix and on bang.
#include "frame/kit.h"
#include "moments/centroids.h"
#include "moments/list_mop.h"

struct t_zelk_centroids {
  t_object ob;
  long count;
  t_atom centroids[2];
  t_atom mass;
};

static t_zelk_centroids* zelk_centroids_new() {
  auto* x = static_cast<t_zelk_centroids*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->count = 2;
  // What an empty frame gives, so a bang before the first matrix sends
  // defined values.
  jit_atom_setfloat(&x->centroids[0], -1);
  jit_atom_setfloat(&x->centroids[1], -1);
  jit_atom_setfloat(&x->mass, 0);
  return x;
}

static void zelk_centroids_free(t_zelk_centroids*) {}

static t_jit_err zelk_centroids_matrix_calc(t_zelk_centroids* x, void* inputs, void*) {
  void* in = frame::list_matrix(inputs, 0);
  if (!x || !in) return JIT_ERR_INVALID_PTR;
  frame::Locked lock(in);
  const t_jit_matrix_info info = frame::get_info(in);
  char* data = frame::get_data(in);
  if (info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;
  if (!data) return JIT_ERR_INVALID_INPUT;
  const moments::Centroid c = moments::compute_centroid(frame::to_matrix(info, data));
  jit_atom_setfloat(&x->mass, c.mass);
  jit_atom_setfloat(&x->centroids[0], c.cx);
  jit_atom_setfloat(&x->centroids[1], c.cy);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.centroids",
    "zelk_centroids",
    "finds the mass and weighted centroid of a one-plane image",
    sizeof(t_zelk_centroids),
    frame::as_method(zelk_centroids_new),
    frame::as_method(zelk_centroids_free),
    frame::as_method(zelk_centroids_matrix_calc),
    sizeof(frame::ListWrapper<2>),
    moments::list_mop(),
    {2, {{"getcentroids", "(list) centroids"}, {"getmass", "(list) mass"}}}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ARRAY_ATTR(c, t_zelk_centroids, centroids, count, "centroids", "atom", frame::kAttrHidden);
  FRAME_ATTR(c, t_zelk_centroids, mass, "mass", "atom", frame::kAttrHidden);
  frame::finish_class(c, spec);
  return 0;
}
