// The binding that zelk.mass and zelk.sum share: one hidden array of up to
// 32 float atoms, one value per plane, and the same matrix_calc; they
// differ in their names and in how the totals are accumulated.
#pragma once

#include "frame/kit.h"
#include "moments/list_mop.h"
#include "moments/plane_totals.h"

namespace moments {

struct t_plane_totals {
  t_object ob;
  long count;
  t_atom value[frame::kMaxPlanes];
};

inline t_plane_totals* plane_totals_new() {
  auto* x = static_cast<t_plane_totals*>(frame::alloc_instance());
  if (x) x->count = 0;
  return x;
}

inline void plane_totals_free(t_plane_totals*) {}

template <Totals K>
t_jit_err plane_totals_calc(t_plane_totals* x, void* inputs, void*) {
  void* in = frame::list_matrix(inputs, 0);
  if (!x || !in) return JIT_ERR_INVALID_PTR;
  frame::Locked lock(in);
  const t_jit_matrix_info info = frame::get_info(in);
  char* data = frame::get_data(in);
  if (!data) {
    x->count = 0;
    return JIT_ERR_INVALID_INPUT;
  }
  float totals[frame::kMaxPlanes];
  const long n = plane_totals(frame::to_matrix(info, data), K, totals);
  for (long p = 0; p < n; ++p) jit_atom_setfloat(&x->value[p], totals[p]);
  x->count = n;
  return JIT_ERR_NONE;
}

template <Totals K>
frame::ClassSpec plane_totals_spec(const char* max_name, const char* jit_name,
                                   const char* description, const char* getter,
                                   const char* assist) {
  return {max_name,
          jit_name,
          description,
          sizeof(t_plane_totals),
          frame::as_method(plane_totals_new),
          frame::as_method(plane_totals_free),
          frame::as_method(plane_totals_calc<K>),
          sizeof(frame::ListWrapper<1>),
          moments::list_mop(),
          {1, {{getter, assist}}}};
}

inline void plane_totals_main(const frame::ClassSpec& spec, const char* attribute) {
  void* c = frame::begin_class(spec);
  FRAME_ARRAY_ATTR(c, t_plane_totals, value, count, attribute, "atom", frame::kAttrHidden);
  frame::finish_class(c, spec);
}

}  // namespace moments
