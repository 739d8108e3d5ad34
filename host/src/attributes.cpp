// Attribute objects: a member of a record at a fixed offset (or a count
// member plus an array), typed, with an optional clip filter. Values are
// copied with memcpy because members need not be aligned, and every access
// is checked against the record size so a bad offset cannot write outside.
// The deferral flags (DEFER/USURP, low or not) are accepted and run
// synchronously: this host has no scheduler to defer to.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "internal.h"

namespace zelk::host::detail {
namespace {

// "long" is a C long, as Max stores it: 4 bytes in the Windows DLLs.
t_symbol* atom_long_sym() {
  static t_symbol* s = gensym("atom_long");
  return s;
}

long elem_size(t_symbol* type) {
  if (type == _jit_sym_char) return 1;
  if (type == _jit_sym_long) return sizeof(long);
  if (type == atom_long_sym()) return sizeof(t_atom_long);
  if (type == _jit_sym_float32) return sizeof(float);
  if (type == _jit_sym_float64) return sizeof(double);
  if (type == _jit_sym_atom) return sizeof(t_atom);
  if (type == _jit_sym_symbol) return sizeof(t_symbol*);
  return 0;
}

bool is_number(const t_atom& a) { return a.a_type == A_LONG || a.a_type == A_FLOAT; }

// Truncation toward zero that stays defined for NaN and huge values.
t_atom_long to_long(double d) {
  if (std::isnan(d)) return 0;
  constexpr double lo = static_cast<double>(std::numeric_limits<t_atom_long>::min());
  if (d <= lo) return std::numeric_limits<t_atom_long>::min();
  if (d >= -lo) return std::numeric_limits<t_atom_long>::max();
  return static_cast<t_atom_long>(d);
}

t_atom_long clipped_long(const Attr* a, const t_atom& v) {
  if (v.a_type == A_LONG) {
    t_atom_long x = v.a_w.w_long;
    if (a->usemin && static_cast<double>(x) < a->min) return to_long(a->min);
    if (a->usemax && static_cast<double>(x) > a->max) return to_long(a->max);
    return x;
  }
  double d = v.a_w.w_float;
  if (a->usemin && d < a->min) d = a->min;
  if (a->usemax && d > a->max) d = a->max;
  return to_long(d);
}

double clipped_double(const Attr* a, const t_atom& v) {
  double d = v.a_type == A_LONG ? static_cast<double>(v.a_w.w_long) : v.a_w.w_float;
  if (a->usemin && d < a->min) d = a->min;
  if (a->usemax && d > a->max) d = a->max;
  return d;
}

bool fits(void* obj, long offset, long bytes) {
  Prefix* p = prefix_of(obj);
  return p && offset >= 0 && bytes >= 0 && offset <= p->size && bytes <= p->size - offset;
}

char* member(void* obj, long offset) { return static_cast<char*>(obj) + offset; }

void read_elem(const Attr* a, const char* src, t_atom* out) {
  if (a->type == _jit_sym_char) {
    unsigned char v;
    std::memcpy(&v, src, 1);
    jit_atom_setlong(out, v);
  } else if (a->type == _jit_sym_long) {
    long v;
    std::memcpy(&v, src, sizeof v);
    jit_atom_setlong(out, v);
  } else if (a->type == atom_long_sym()) {
    t_atom_long v;
    std::memcpy(&v, src, sizeof v);
    jit_atom_setlong(out, v);
  } else if (a->type == _jit_sym_float32) {
    float v;
    std::memcpy(&v, src, sizeof v);
    jit_atom_setfloat(out, v);
  } else if (a->type == _jit_sym_float64) {
    double v;
    std::memcpy(&v, src, sizeof v);
    jit_atom_setfloat(out, v);
  } else if (a->type == _jit_sym_atom) {
    std::memcpy(out, src, sizeof(t_atom));
  } else {
    t_symbol* v;
    std::memcpy(&v, src, sizeof v);
    jit_atom_setsym(out, v);
  }
}

void write_elem(const Attr* a, char* dst, const t_atom& v) {
  if (a->type == _jit_sym_char) {
    auto c = static_cast<unsigned char>(clipped_long(a, v));  // low 8 bits
    std::memcpy(dst, &c, 1);
  } else if (a->type == _jit_sym_long) {
    // Past a 32-bit long's range the value saturates: it stays past every
    // bound an object applies, where a cast would wrap it into range.
    t_atom_long w = std::clamp<t_atom_long>(clipped_long(a, v), LONG_MIN, LONG_MAX);
    long x = static_cast<long>(w);
    std::memcpy(dst, &x, sizeof x);
  } else if (a->type == atom_long_sym()) {
    t_atom_long x = clipped_long(a, v);
    std::memcpy(dst, &x, sizeof x);
  } else if (a->type == _jit_sym_float32) {
    auto f = static_cast<float>(clipped_double(a, v));
    std::memcpy(dst, &f, sizeof f);
  } else if (a->type == _jit_sym_float64) {
    double d = clipped_double(a, v);
    std::memcpy(dst, &d, sizeof d);
  } else if (a->type == _jit_sym_atom) {
    std::memcpy(dst, &v, sizeof v);
  } else {
    t_symbol* s = v.a_w.w_sym ? v.a_w.w_sym : _jit_sym_nothing;
    std::memcpy(dst, &s, sizeof s);
  }
}

bool accepts(const Attr* a, const t_atom& v) {
  if (a->type == _jit_sym_atom) return true;
  if (a->type == _jit_sym_symbol) return v.a_type == A_SYM;
  return is_number(v);
}

// The value's element count, or -1 when its members lie outside the record.
long raw_count(void* obj, const Attr* a) {
  long es = elem_size(a->type);
  if (!a->is_array) return fits(obj, a->offset, es) ? 1 : -1;
  if (!fits(obj, a->countoffset, sizeof(long)) || !fits(obj, a->offset, es * a->maxcount))
    return -1;
  long n;
  std::memcpy(&n, member(obj, a->countoffset), sizeof n);
  if (n < 0) n = 0;
  return n > a->maxcount ? a->maxcount : n;
}

long raw_read(void* obj, const Attr* a, t_atom* out, long cap) {
  long n = raw_count(obj, a);
  if (n < 0) return 0;
  long es = elem_size(a->type);
  for (long i = 0; i < n && i < cap; ++i) read_elem(a, member(obj, a->offset + i * es), out + i);
  return n;
}

using Getter = t_jit_err (*)(void*, void*, long*, t_atom**);
using Setter = t_jit_err (*)(void*, void*, long, t_atom*);

void* new_attr(Class* c, const NewArgs& args) {
  bool array = c == attr_array_class();
  int i = 0;
  const char* name = args.as<const char*>(i++);
  t_symbol* type = args.as<t_symbol*>(i++);
  long maxcount = array ? args.as_long(i++) : 1;
  long flags = args.as_long(i++);
  method get = args.as<method>(i++);
  method set = args.as<method>(i++);
  long countoffset = array ? args.as_long(i++) : 0;
  long offset = args.as_long(i);
  if (!name || !*name || elem_size(type) == 0) return nullptr;
  if (maxcount < 1) maxcount = 1;
  if (maxcount > kAttrMaxArray) maxcount = kAttrMaxArray;
  auto* a = static_cast<Attr*>(alloc_record(c, sizeof(Attr)));
  if (!a) return nullptr;
  a->name = gensym(name);
  a->type = type;
  a->flags = flags;
  a->get = get;
  a->set = set;
  a->offset = offset;
  a->countoffset = countoffset;
  a->maxcount = maxcount;
  a->is_array = array;
  return a;
}

Class* make_attr_class(const char* name) {
  Class* c = new_class(name, false);
  c->size = sizeof(Attr);
  c->builtin_new = new_attr;
  c->builtin_args = std::string_view(name) == "jit_attr_offset_array" ? 8 : 6;
  register_jit_class(c);
  return c;
}

// Target and attribute for the jit_attr_* calls; null when unknown.
Attr* lookup(void* x, t_symbol* s, void** target) {
  if (!s) return nullptr;
  return find_attr_target(x, s->s_name, target);
}

}  // namespace

Class* attr_class() {
  static Class* c = make_attr_class("jit_attr_offset");
  return c;
}

Class* attr_array_class() {
  static Class* c = make_attr_class("jit_attr_offset_array");
  return c;
}

Attr* builtin_attr(Class* c, const char* name, t_symbol* type, long offset, long maxcount,
                   long countoffset) {
  Class* ac = maxcount > 1 ? attr_array_class() : attr_class();
  auto* a = static_cast<Attr*>(alloc_record(ac, sizeof(Attr)));
  a->name = gensym(name);
  a->type = type;
  a->offset = offset;
  a->countoffset = countoffset;
  a->maxcount = maxcount;
  a->is_array = maxcount > 1;
  c->attrs.push_back(a);
  return a;
}

bool attr_gettable(const Attr* a, Access how) {
  if (a->flags & JIT_ATTR_GET_OPAQUE) return false;
  return !(how == Access::Patch && (a->flags & JIT_ATTR_GET_OPAQUE_USER));
}

bool attr_settable(const Attr* a, Access how) {
  if (a->flags & JIT_ATTR_SET_OPAQUE) return false;
  return !(how == Access::Patch && (a->flags & JIT_ATTR_SET_OPAQUE_USER));
}

long attr_count(void* obj, const Attr* a) {
  long n = raw_count(obj, a);
  return n < 0 ? 0 : n;
}

long attr_read(void* obj, const Attr* a, t_atom* out, long cap) {
  if (!a->get) return raw_read(obj, a, out, cap);
  long count = 0;
  t_atom* atoms = nullptr;
  fn_cast<Getter>(a->get)(obj, const_cast<Attr*>(a), &count, &atoms);
  if (!atoms) return 0;
  for (long i = 0; i < count && i < cap; ++i) out[i] = atoms[i];
  jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
  return count;
}

t_jit_err attr_write(void* obj, const Attr* a, long argc, const t_atom* argv) {
  if (a->set)
    return fn_cast<Setter>(a->set)(obj, const_cast<Attr*>(a), argc, const_cast<t_atom*>(argv));
  if (argc < 0 || (argc > 0 && !argv)) return JIT_ERR_INVALID_PTR;
  if (!a->is_array && argc < 1) return JIT_ERR_INVALID_INPUT;
  long n = a->is_array ? (argc < a->maxcount ? argc : a->maxcount) : 1;
  for (long i = 0; i < n; ++i)
    if (!accepts(a, argv[i])) return JIT_ERR_MISMATCH_TYPE;
  if (raw_count(obj, a) < 0) return JIT_ERR_OUT_OF_BOUNDS;
  long es = elem_size(a->type);
  for (long i = 0; i < n; ++i) write_elem(a, member(obj, a->offset + i * es), argv[i]);
  if (a->is_array) std::memcpy(member(obj, a->countoffset), &n, sizeof n);
  return JIT_ERR_NONE;
}

t_jit_err attr_get_message(void* obj, const Attr* a, long* count, t_atom** atoms) {
  if (!count || !atoms) return JIT_ERR_INVALID_PTR;
  if (a->get) return fn_cast<Getter>(a->get)(obj, const_cast<Attr*>(a), count, atoms);
  long n = attr_count(obj, a);
  if (!*atoms || *count <= 0) {
    // The caller asked the host to allocate; nothing to hand out for an empty value.
    *count = 0;
    *atoms = nullptr;
    if (n == 0) return JIT_ERR_NONE;
    auto* buf = static_cast<t_atom*>(jit_getbytes(n * static_cast<long>(sizeof(t_atom))));
    if (!buf) return JIT_ERR_OUT_OF_MEM;
    raw_read(obj, a, buf, n);
    *atoms = buf;
    *count = n;
    return JIT_ERR_NONE;
  }
  raw_read(obj, a, *atoms, *count);
  if (n < *count) *count = n;
  return JIT_ERR_NONE;
}

Attr* find_attr_target(void* x, const char* name, void** target) {
  Class* c = class_of(x);
  if (!c || !name) return nullptr;
  if (Attr* a = c->find_attr(name)) {
    *target = x;
    return a;
  }
  if (c->is_max) {
    Obex* ob = obex_of(x);
    Class* oc = class_of(ob);
    if (Attr* a = oc ? oc->find_attr(name) : nullptr) {
      *target = ob;
      return a;
    }
  }
  return nullptr;
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

namespace {

t_jit_err set_atoms(void* x, t_symbol* s, long argc, const t_atom* argv) {
  void* target = nullptr;
  Attr* a = lookup(x, s, &target);
  if (!a) return class_of(x) ? JIT_ERR_GENERIC : JIT_ERR_INVALID_PTR;
  if (!attr_settable(a, Access::Internal)) return JIT_ERR_GENERIC;
  return attr_write(target, a, argc, argv);
}

// Reads up to `cap` atoms of an attribute; 0 when unknown or not gettable.
long get_atoms(void* x, t_symbol* s, t_atom* out, long cap) {
  void* target = nullptr;
  Attr* a = lookup(x, s, &target);
  if (!a || !attr_gettable(a, Access::Internal)) return 0;
  long n = attr_read(target, a, out, cap);
  return n < cap ? n : cap;
}

}  // namespace

extern "C" {

t_jit_err jit_attr_addfilterset_clip(void* x, double min, double max, long usemin, long usemax) {
  Class* c = class_of(x);
  if (c != attr_class() && c != attr_array_class()) return JIT_ERR_INVALID_PTR;
  auto* a = static_cast<Attr*>(x);
  a->min = min;
  a->max = max;
  a->usemin = usemin != 0;
  a->usemax = usemax != 0;
  return JIT_ERR_NONE;
}

t_jit_err jit_attr_setlong(void* x, t_symbol* s, t_atom_long c) {
  t_atom a;
  jit_atom_setlong(&a, c);
  return set_atoms(x, s, 1, &a);
}

t_jit_err jit_attr_setfloat(void* x, t_symbol* s, t_atom_float c) {
  t_atom a;
  jit_atom_setfloat(&a, c);
  return set_atoms(x, s, 1, &a);
}

t_jit_err jit_attr_setsym(void* x, t_symbol* s, t_symbol* c) {
  t_atom a;
  jit_atom_setsym(&a, c);
  return set_atoms(x, s, 1, &a);
}

t_jit_err jit_attr_setlong_array(void* x, t_symbol* s, long count, t_atom_long* vals) {
  if (count < 0 || (count > 0 && !vals)) return JIT_ERR_INVALID_PTR;
  std::vector<t_atom> atoms(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) jit_atom_setlong(&atoms[i], vals[i]);
  return set_atoms(x, s, count, atoms.data());
}

t_atom_long jit_attr_getlong(void* x, t_symbol* s) {
  t_atom a;
  return get_atoms(x, s, &a, 1) > 0 ? jit_atom_getlong(&a) : 0;
}

t_atom_float jit_attr_getfloat(void* x, t_symbol* s) {
  t_atom a;
  return get_atoms(x, s, &a, 1) > 0 ? jit_atom_getfloat(&a) : 0;
}

t_symbol* jit_attr_getsym(void* x, t_symbol* s) {
  t_atom a;
  return get_atoms(x, s, &a, 1) > 0 ? jit_atom_getsym(&a) : _jit_sym_nothing;
}

long jit_attr_getlong_array(void* x, t_symbol* s, long max, t_atom_long* vals) {
  if (max <= 0 || !vals) return 0;
  std::vector<t_atom> atoms(static_cast<size_t>(max));
  long n = get_atoms(x, s, atoms.data(), max);
  for (long i = 0; i < n; ++i) vals[i] = jit_atom_getlong(&atoms[i]);
  return n;
}

}  // extern "C"

namespace zelk::host {

std::vector<t_atom> Box::attribute(const std::string& name) const {
  void* target = nullptr;
  Attr* a = nullptr;
  if (void* jitob = jit_object()) a = find_attr_target(jitob, name.c_str(), &target);
  if (!a && impl_->object) a = find_attr_target(impl_->object, name.c_str(), &target);
  if (!a || !attr_gettable(a, Access::Internal)) return {};
  // A getter may report more values than the room it was given: read again
  // with room for all of them.
  std::vector<t_atom> atoms(static_cast<std::size_t>(a->maxcount));
  long n = attr_read(target, a, atoms.data(), static_cast<long>(atoms.size()));
  if (n > static_cast<long>(atoms.size()) && n <= kAttrMaxArray) {
    atoms.resize(static_cast<std::size_t>(n));
    n = attr_read(target, a, atoms.data(), n);
  }
  atoms.resize(static_cast<std::size_t>(std::clamp(n, 0L, static_cast<long>(atoms.size()))));
  return atoms;
}

}  // namespace zelk::host
