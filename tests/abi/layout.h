// What a plug-in built against one set of headers relies on in another's
// host: type sizes, field offsets, constants. Each side includes its own
// headers, then this file, and so fills the same table.
#pragma once

#include <cstddef>

struct LayoutEntry {
  const char* what;
  long long value;
};

#define ZELK_LAYOUT(v) {#v, static_cast<long long>(v)}
#define ZELK_LAYOUT_TABLE                                                                    \
  {                                                                                          \
    ZELK_LAYOUT(sizeof(t_atom)), ZELK_LAYOUT(alignof(t_atom)), ZELK_LAYOUT(offsetof(t_atom, a_w)), \
    ZELK_LAYOUT(sizeof(t_symbol)), ZELK_LAYOUT(offsetof(t_symbol, s_thing)),                 \
    ZELK_LAYOUT(sizeof(t_object)), ZELK_LAYOUT(offsetof(t_object, o_outlet)),                \
    ZELK_LAYOUT(sizeof(t_atom_long)), ZELK_LAYOUT(sizeof(t_ptr_int)),                        \
    ZELK_LAYOUT(sizeof(t_max_err)), ZELK_LAYOUT(sizeof(t_jit_err)),                          \
    ZELK_LAYOUT(sizeof(t_jit_matrix_info)), ZELK_LAYOUT(offsetof(t_jit_matrix_info, type)),  \
    ZELK_LAYOUT(offsetof(t_jit_matrix_info, flags)),                                         \
    ZELK_LAYOUT(offsetof(t_jit_matrix_info, dimcount)),                                      \
    ZELK_LAYOUT(offsetof(t_jit_matrix_info, dim)),                                           \
    ZELK_LAYOUT(offsetof(t_jit_matrix_info, dimstride)),                                     \
    ZELK_LAYOUT(offsetof(t_jit_matrix_info, planecount)), ZELK_LAYOUT(JIT_MATRIX_MAX_DIMCOUNT), \
    ZELK_LAYOUT(JIT_MATRIX_MAX_PLANECOUNT), ZELK_LAYOUT(A_LONG), ZELK_LAYOUT(A_FLOAT),       \
    ZELK_LAYOUT(A_SYM), ZELK_LAYOUT(A_GIMME), ZELK_LAYOUT(A_CANT),                           \
    ZELK_LAYOUT(JIT_ERR_GENERIC), ZELK_LAYOUT(JIT_ERR_INVALID_PTR),                          \
    ZELK_LAYOUT(JIT_ERR_OUT_OF_MEM), ZELK_LAYOUT(JIT_ERR_MISMATCH_TYPE),                     \
    ZELK_LAYOUT(JIT_ERR_MISMATCH_PLANE), ZELK_LAYOUT(JIT_ERR_MISMATCH_DIM),                  \
    ZELK_LAYOUT(JIT_ERR_INVALID_INPUT), ZELK_LAYOUT(JIT_ERR_INVALID_OUTPUT),                 \
    ZELK_LAYOUT(JIT_ATTR_GET_DEFER_LOW), ZELK_LAYOUT(JIT_ATTR_SET_USURP_LOW),                \
    ZELK_LAYOUT(JIT_ATTR_SET_OPAQUE_USER), ZELK_LAYOUT(JIT_ATTR_GET_OPAQUE_USER),            \
    ZELK_LAYOUT(MAX_JIT_MOP_FLAGS_OWN_BANG), ZELK_LAYOUT(MAX_JIT_MOP_FLAGS_OWN_OUTPUTMATRIX), \
  }

inline constexpr int kLayoutEntries = 39;
extern const LayoutEntry sdk_layout[kLayoutEntries];
extern const LayoutEntry host_layout[kLayoutEntries];
