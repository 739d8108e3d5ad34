// The matrix operator: one io object per input and output with its
// constraints (types, plane count range, dimension count range, links to
// input 1), as a class adornment and, per wrapper, an instance with lists.
#include <algorithm>
#include <cstddef>

#include "internal.h"

namespace zelk::host::detail {
namespace {

long index_arg(void* a) { return static_cast<int>(reinterpret_cast<t_ptr_int>(a)); }

void io_defaults(Io* io) {
  io->types_count = 4;
  io->types[0] = _jit_sym_char;
  io->types[1] = _jit_sym_long;
  io->types[2] = _jit_sym_float32;
  io->types[3] = _jit_sym_float64;
  io->minplanecount = 1;
  io->maxplanecount = JIT_MATRIX_MAX_PLANECOUNT;
  io->mindimcount = 1;
  io->maxdimcount = JIT_MATRIX_MAX_DIMCOUNT;
  // No size limits until an object sets them.
  io->mindim_count = io->maxdim_count = 0;
  io->planelink = io->typelink = io->dimlink = 1;
}

Class* make_io_class() {
  Class* c = new_class("jit_mop_io", false);
  c->size = sizeof(Io);
  builtin_attr(c, "types", _jit_sym_symbol, offsetof(Io, types), kMaxTypes, offsetof(Io, types_count));
  for (auto [name, off] : {std::pair{"minplanecount", offsetof(Io, minplanecount)},
                           std::pair{"maxplanecount", offsetof(Io, maxplanecount)}})
    jit_attr_addfilterset_clip(builtin_attr(c, name, _jit_sym_long, static_cast<long>(off)), 1,
                               JIT_MATRIX_MAX_PLANECOUNT, 1, 1);
  for (auto [name, off] : {std::pair{"mindimcount", offsetof(Io, mindimcount)},
                           std::pair{"maxdimcount", offsetof(Io, maxdimcount)}})
    jit_attr_addfilterset_clip(builtin_attr(c, name, _jit_sym_long, static_cast<long>(off)), 1,
                               JIT_MATRIX_MAX_DIMCOUNT, 1, 1);
  // Sizes per dimension: a size below 1 is no size.
  jit_attr_addfilterset_clip(builtin_attr(c, "mindim", _jit_sym_long, offsetof(Io, mindim),
                                          JIT_MATRIX_MAX_DIMCOUNT, offsetof(Io, mindim_count)),
                             1, 0, 1, 0);
  jit_attr_addfilterset_clip(builtin_attr(c, "maxdim", _jit_sym_long, offsetof(Io, maxdim),
                                          JIT_MATRIX_MAX_DIMCOUNT, offsetof(Io, maxdim_count)),
                             1, 0, 1, 0);
  for (auto [name, off] : {std::pair{"planelink", offsetof(Io, planelink)},
                           std::pair{"typelink", offsetof(Io, typelink)},
                           std::pair{"dimlink", offsetof(Io, dimlink)}})
    jit_attr_addfilterset_clip(builtin_attr(c, name, _jit_sym_long, static_cast<long>(off)), 0, 1,
                               1, 1);
  register_jit_class(c);
  return c;
}

Class* io_class() {
  static Class* c = make_io_class();
  return c;
}

Io* new_io() {
  auto* io = static_cast<Io*>(alloc_record(io_class(), sizeof(Io)));
  if (io) io_defaults(io);
  return io;
}

Mop* self(void* x) { return static_cast<Mop*>(x); }

void* m_getinput(void* x, void* a, void*, void*, void*) {
  long i = index_arg(a);
  return (i >= 1 && i <= self(x)->ninputs) ? self(x)->inputs[i - 1] : nullptr;
}

void* m_getoutput(void* x, void* a, void*, void*, void*) {
  long i = index_arg(a);
  return (i >= 1 && i <= self(x)->noutputs) ? self(x)->outputs[i - 1] : nullptr;
}

void* m_getinputlist(void* x, void*, void*, void*, void*) { return self(x)->inputlist; }
void* m_getoutputlist(void* x, void*, void*, void*, void*) { return self(x)->outputlist; }

void m_free(void* x) {
  Mop* m = self(x);
  for (long i = 0; i < m->ninputs; ++i) jit_object_free(m->inputs[i]);
  for (long i = 0; i < m->noutputs; ++i) jit_object_free(m->outputs[i]);
  if (m->inputlist) jit_object_free(m->inputlist);
  if (m->outputlist) jit_object_free(m->outputlist);
}

Mop* make_mop(long inputs, long outputs) {
  auto* m = static_cast<Mop*>(alloc_record(mop_class(), sizeof(Mop)));
  if (!m) return nullptr;
  m->ninputs = std::clamp(inputs, 0L, kMaxIo);
  m->noutputs = std::clamp(outputs, 0L, kMaxIo);
  for (long i = 0; i < m->ninputs; ++i) m->inputs[i] = new_io();
  for (long i = 0; i < m->noutputs; ++i) m->outputs[i] = new_io();
  return m;
}

void* new_mop_obj(Class*, const NewArgs& args) {
  return make_mop(args.as_long(0), args.as_long(1));
}

Class* make_mop_class() {
  Class* c = new_class("jit_mop", false);
  c->size = sizeof(Mop);
  c->builtin_new = new_mop_obj;
  c->builtin_args = 2;
  c->mfree = fn_cast<method>(m_free);
  add_direct_method(c, "getinput", m_getinput);
  add_direct_method(c, "getoutput", m_getoutput);
  add_direct_method(c, "getinputlist", m_getinputlist);
  add_direct_method(c, "getoutputlist", m_getoutputlist);
  register_jit_class(c);
  return c;
}

void copy_io(Io* dst, const Io* src) {
  // Everything after the header is plain data.
  auto* d = reinterpret_cast<char*>(dst) + sizeof(t_object);
  auto* s = reinterpret_cast<const char*>(src) + sizeof(t_object);
  std::copy(s, s + (sizeof(Io) - sizeof(t_object)), d);
}

}  // namespace

Class* mop_class() {
  static Class* c = make_mop_class();
  return c;
}

Mop* as_mop(void* x) { return class_of(x) == mop_class() ? self(x) : nullptr; }

Mop* mop_copy(const Mop* t) {
  Mop* m = make_mop(t->ninputs, t->noutputs);
  if (!m) return nullptr;
  for (long i = 0; i < m->ninputs; ++i) copy_io(m->inputs[i], t->inputs[i]);
  for (long i = 0; i < m->noutputs; ++i) copy_io(m->outputs[i], t->outputs[i]);
  return m;
}

bool io_allows_type(const Io* io, t_symbol* t) {
  for (long i = 0; i < io->types_count && i < kMaxTypes; ++i)
    if (io->types[i] == t) return true;
  return false;
}

t_symbol* io_first_type(const Io* io, t_symbol* fallback) {
  for (long i = 0; i < io->types_count && i < kMaxTypes; ++i)
    if (type_known(io->types[i])) return io->types[i];
  return fallback;  // no usable type listed: nothing better to pick
}

t_jit_matrix_info io_constrain(const Io* io, t_jit_matrix_info info) {
  if (!io_allows_type(io, info.type) || !type_known(info.type))
    info.type = io_first_type(io, type_known(info.type) ? info.type : _jit_sym_char);
  long lo = io->minplanecount, hi = io->maxplanecount;
  info.planecount = std::min(std::max(info.planecount, lo), std::max(lo, hi));
  long dlo = io->mindimcount, dhi = io->maxdimcount;
  long dc = std::min(std::max(info.dimcount, dlo), std::max(dlo, dhi));
  for (long k = info.dimcount; k < dc; ++k) info.dim[k] = 1;
  info.dimcount = dc;
  for (long k = 0; k < dc; ++k) {
    if (k < io->mindim_count) info.dim[k] = std::max(info.dim[k], io->mindim[k]);
    if (k < io->maxdim_count) info.dim[k] = std::min(info.dim[k], io->maxdim[k]);
  }
  return info;
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

extern "C" {

t_jit_err jit_mop_single_type(void* x, t_symbol* s) {
  Mop* m = as_mop(x);
  if (!m || !s) return JIT_ERR_INVALID_PTR;
  for (long i = 0; i < m->ninputs; ++i) jit_attr_setsym(m->inputs[i], _jit_sym_types, s);
  for (long i = 0; i < m->noutputs; ++i) jit_attr_setsym(m->outputs[i], _jit_sym_types, s);
  return JIT_ERR_NONE;
}

t_jit_err jit_mop_single_planecount(void* x, long c) {
  Mop* m = as_mop(x);
  if (!m) return JIT_ERR_INVALID_PTR;
  auto set = [c](Io* io) {
    jit_attr_setlong(io, _jit_sym_minplanecount, c);
    jit_attr_setlong(io, _jit_sym_maxplanecount, c);
  };
  for (long i = 0; i < m->ninputs; ++i) set(m->inputs[i]);
  for (long i = 0; i < m->noutputs; ++i) set(m->outputs[i]);
  return JIT_ERR_NONE;
}

t_jit_err jit_mop_output_nolink(void* x, long index) {
  Mop* m = as_mop(x);
  if (!m) return JIT_ERR_INVALID_PTR;
  if (index < 1 || index > m->noutputs) return JIT_ERR_OUT_OF_BOUNDS;
  Io* io = m->outputs[index - 1];
  io->typelink = io->planelink = io->dimlink = 0;
  return JIT_ERR_NONE;
}

}  // extern "C"
