// zelk.moments: normalised central moments, Hu invariants, centroid and mass
// of a single-plane image, sent as lists.
#include "frame/kit.h"
#include "moments/list_mop.h"
#include "moments/moments.h"

struct t_zelk_moments {
  t_object ob;
  long count7;  // shared by moments and hu
  float moments[7];
  float hu[7];
  long count2;
  float centroids[2];
  float mass;
  moments::RawSums raw;
  moments::CentralMoments central;
  double centroid[2];
};

static t_zelk_moments* zelk_moments_new() {
  auto* x = static_cast<t_zelk_moments*>(frame::alloc_instance());
  if (!x) return nullptr;
  x->count7 = 7;
  x->count2 = 2;
  // Until a frame with mass arrives: no centroid, nothing measured.
  for (float& v : x->moments) v = 0;
  for (float& v : x->hu) v = 0;
  x->centroids[0] = x->centroids[1] = -1;
  x->mass = 0;
  return x;
}

static void zelk_moments_free(t_zelk_moments*) {}

static t_jit_err zelk_moments_matrix_calc(t_zelk_moments* x, void* inputs, void*) {
  void* in = frame::list_matrix(inputs, 0);
  if (!x || !in) return JIT_ERR_INVALID_PTR;
  frame::Locked lock(in);
  const t_jit_matrix_info info = frame::get_info(in);
  char* data = frame::get_data(in);
  if (!data) return JIT_ERR_INVALID_INPUT;
  if (info.planecount != 1) return JIT_ERR_MISMATCH_PLANE;
  if (info.dimcount != 2) return JIT_ERR_MISMATCH_DIM;
  x->raw = {};
  x->centroid[0] = x->centroid[1] = 0;
  moments::accumulate_moments(frame::to_matrix(info, data), x->raw);
  moments::finish_moments(x->raw, x->central, x->centroid,
                          {x->moments, x->hu, x->centroids, &x->mass}, jit_math_pow);
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {"zelk.moments",
                                      "zelk_moments",
                                      "measures the moments and Hu invariants of a one-plane image",
                                      sizeof(t_zelk_moments),
                                      frame::as_method(zelk_moments_new),
                                      frame::as_method(zelk_moments_free),
                                      frame::as_method(zelk_moments_matrix_calc),
                                      sizeof(frame::ListWrapper<4, false>),
                                      moments::list_mop(),
                                      {4,
                                       {{"getmoments", "(list) Moments"},
                                        {"gethu", "(list) Hu invariants"},
                                        {"getcentroids", "(list) Centroids"},
                                        {"getmass", "(list) Mass"}},
                                       false,
                                       false}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  const long flags = frame::kAttrOutput;
  FRAME_ARRAY_ATTR(c, t_zelk_moments, moments, count7, "moments", "float32", flags);
  FRAME_ARRAY_ATTR(c, t_zelk_moments, hu, count7, "hu", "float32", flags);
  FRAME_ARRAY_ATTR(c, t_zelk_moments, centroids, count2, "centroids", "float32", flags);
  FRAME_ATTR(c, t_zelk_moments, mass, "mass", "float32", flags);
  frame::finish_class(c, spec);
  return 0;
}
