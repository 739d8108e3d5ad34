// Object records, method dispatch by selector and the registry of named
// objects. Every record the host hands out is preceded by a Prefix, which is
// how the host recognises its own objects and finds their class.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "internal.h"

namespace zelk::host::detail {
namespace {

struct Names {
  std::mutex mutex;
  std::unordered_map<t_symbol*, void*> objects;
  std::unordered_map<t_symbol*, std::vector<void*>> clients;
};

Names& names() {
  static Names* n = new Names;
  return *n;
}

using Direct = void* (*)(void*, void*, void*, void*, void*);
using NoArgs = void* (*)(void*);
using Gimme = void* (*)(void*, t_symbol*, long, t_atom*);
// Typed arguments: integer-class values and doubles travel in separate
// register files, in order within each, so one signature serves every
// mix of up to four of each kind.
using Mixed = void* (*)(void*, void*, void*, void*, void*, double, double, double, double);

}  // namespace

void* alloc_record(Class* c, long size) {
  if (size < static_cast<long>(sizeof(t_object))) size = sizeof(t_object);
  auto* block = static_cast<char*>(std::calloc(1, sizeof(Prefix) + static_cast<size_t>(size)));
  if (!block) return nullptr;
  auto* p = new (block) Prefix{};
  p->magic = kObjectMagic;
  p->cls = c;
  p->size = size;
  auto* ob = reinterpret_cast<t_object*>(block + sizeof(Prefix));
  ob->o_messlist = reinterpret_cast<t_messlist*>(c);
  ob->o_magic = kObjectMagic;
  return ob;
}

Prefix* prefix_of(void* x) {
  if (!x) return nullptr;
  auto* ob = static_cast<t_object*>(x);
  if (ob->o_magic != kObjectMagic) return nullptr;
  auto* p = reinterpret_cast<Prefix*>(static_cast<char*>(x) - sizeof(Prefix));
  return p->magic == kObjectMagic ? p : nullptr;
}

Class* class_of(void* x) {
  Prefix* p = prefix_of(x);
  return p ? p->cls : nullptr;
}

void release_record(void* x) {
  Prefix* p = prefix_of(x);
  if (!p) return;
  unregister_object(x);
  p->magic = 0;
  static_cast<t_object*>(x)->o_magic = 0;
  std::free(p);
}

void free_object(void* x) {
  Class* c = class_of(x);
  if (!c) return;
  if (c->is_max) {
    freeobject(static_cast<t_object*>(x));
    return;
  }
  if (c->mfree) fn_cast<void (*)(void*)>(c->mfree)(x);
  release_record(x);
}

void* call_direct(void* x, const Method& m, t_symbol* s, void* a0, void* a1, void* a2, void* a3) {
  switch (m.sig) {
    case Sig::None: return fn_cast<NoArgs>(m.fn)(x);
    case Sig::Gimme:
      return fn_cast<Gimme>(m.fn)(x, s, static_cast<long>(reinterpret_cast<t_ptr_int>(a0)),
                                           static_cast<t_atom*>(a1));
    default: return fn_cast<Direct>(m.fn)(x, a0, a1, a2, a3);
  }
}

void* call_typed(void* x, const Method& m, t_symbol* s, long argc, t_atom* argv) {
  switch (m.sig) {
    case Sig::None: return fn_cast<NoArgs>(m.fn)(x);
    case Sig::Gimme: return fn_cast<Gimme>(m.fn)(x, s, argc, argv);
    case Sig::Cant: return nullptr;  // not reachable from a patch
    case Sig::Typed: break;
  }
  void* ints[4] = {};
  double floats[4] = {};
  int ni = 0, nf = 0;
  for (size_t i = 0; i < m.types.size(); ++i) {
    t_atom* a = static_cast<long>(i) < argc ? argv + i : nullptr;
    switch (m.types[i]) {
      case A_FLOAT:
      case A_DEFFLOAT:
        if (nf == 4) return nullptr;
        floats[nf++] = jit_atom_getfloat(a);
        break;
      case A_SYM:
      case A_DEFSYM:
        if (ni == 4) return nullptr;
        ints[ni++] = jit_atom_getsym(a);
        break;
      case A_OBJ:
        if (ni == 4) return nullptr;
        ints[ni++] = (a && a->a_type == A_OBJ) ? a->a_w.w_obj : nullptr;
        break;
      default:
        if (ni == 4) return nullptr;
        ints[ni++] = reinterpret_cast<void*>(jit_atom_getlong(a));
        break;
    }
  }
  return fn_cast<Mixed>(m.fn)(x, ints[0], ints[1], ints[2], ints[3], floats[0], floats[1],
                                       floats[2], floats[3]);
}

void* register_object(void* x, t_symbol* s) {
  Prefix* p = prefix_of(x);
  if (!p || !s || s == _jit_sym_nothing) return nullptr;
  Names& n = names();
  std::lock_guard<std::mutex> lock(n.mutex);
  auto it = n.objects.find(s);
  // A name held by another object stays with it: handing its object out
  // would let the caller free what it does not own.
  if (it != n.objects.end()) return it->second == x ? x : nullptr;
  if (p->registered) {
    n.objects.erase(p->registered);
    n.clients.erase(p->registered);
  }
  n.objects.emplace(s, x);
  p->registered = s;
  return x;
}

void unregister_object(void* x) {
  Prefix* p = prefix_of(x);
  if (!p || !p->registered) return;
  Names& n = names();
  std::lock_guard<std::mutex> lock(n.mutex);
  n.objects.erase(p->registered);
  n.clients.erase(p->registered);
  p->registered = nullptr;
}

void* new_object(Class* c, const NewArgs& args) {
  if (c->builtin_new) return c->builtin_new(c, args);
  if (c->mnew) return fn_cast<void* (*)()>(c->mnew)();
  return alloc_record(c, c->size);
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

extern "C" {

void* jit_object_alloc(void* c) {
  if (!c) return nullptr;
  return alloc_record(static_cast<Class*>(c), static_cast<Class*>(c)->size);
}

void* jit_object_new(t_symbol* classname, ...) {
  Class* c = find_jit_class(classname);
  if (!c) return nullptr;
  NewArgs args;
  va_list ap;
  va_start(ap, classname);
  for (int i = 0; i < c->builtin_args; ++i) args.p[i] = va_arg(ap, void*);
  va_end(ap);
  return new_object(c, args);
}

// The SDK's 64-bit form of jit_object_new: every value pointer-sized.
void* jit_object_new_imp(void* classname, void* p1, void* p2, void* p3, void* p4, void* p5,
                         void* p6, void* p7, void* p8, void*) {
  Class* c = find_jit_class(static_cast<t_symbol*>(classname));
  return c ? new_object(c, NewArgs{{p1, p2, p3, p4, p5, p6, p7, p8}}) : nullptr;
}

t_jit_err jit_object_free(void* x) {
  if (!prefix_of(x)) return JIT_ERR_INVALID_PTR;
  free_object(x);
  return JIT_ERR_NONE;
}

// Every method takes at most four pointer-sized arguments; on the supported
// ABIs these are all in registers, so reading four is harmless.
void* jit_object_method(void* x, t_symbol* s, ...) {
  va_list ap;
  va_start(ap, s);
  void* a0 = va_arg(ap, void*);
  void* a1 = va_arg(ap, void*);
  void* a2 = va_arg(ap, void*);
  void* a3 = va_arg(ap, void*);
  va_end(ap);
  return send_method(x, s, a0, a1, a2, a3);
}

// The SDK's 64-bit form of jit_object_method.
void* jit_object_method_imp(void* x, void* s, void* p1, void* p2, void* p3, void* p4, void*,
                            void*, void*, void*) {
  return send_method(x, static_cast<t_symbol*>(s), p1, p2, p3, p4);
}

}  // extern "C"

namespace zelk::host::detail {

void* send_method(void* x, t_symbol* s, void* a0, void* a1, void* a2, void* a3) {
  Class* c = class_of(x);
  if (!c || !s) return nullptr;
  if (const Method* m = c->find_method(s)) return call_direct(x, *m, s, a0, a1, a2, a3);
  void* target = nullptr;
  if (std::strncmp(s->s_name, "get", 3) == 0) {
    if (Attr* a = find_attr_target(x, s->s_name + 3, &target)) {
      if (!attr_gettable(a, Access::Internal)) return reinterpret_cast<void*>(JIT_ERR_GENERIC);
      return reinterpret_cast<void*>(
          attr_get_message(target, a, static_cast<long*>(a0), static_cast<t_atom**>(a1)));
    }
  }
  if (Attr* a = find_attr_target(x, s->s_name, &target)) {
    if (!attr_settable(a, Access::Internal)) return reinterpret_cast<void*>(JIT_ERR_GENERIC);
    return reinterpret_cast<void*>(attr_write(
        target, a, static_cast<long>(reinterpret_cast<t_ptr_int>(a0)), static_cast<t_atom*>(a1)));
  }
  return nullptr;
}

}  // namespace zelk::host::detail

extern "C" {

void* jit_object_register(void* x, t_symbol* s) { return register_object(x, s); }

void* jit_object_findregistered(t_symbol* s) {
  if (!s) return nullptr;
  Names& n = names();
  std::lock_guard<std::mutex> lock(n.mutex);
  auto it = n.objects.find(s);
  return it == n.objects.end() ? nullptr : it->second;
}

void* jit_object_attach(t_symbol* s, void* x) {
  if (!s || !x) return nullptr;
  Names& n = names();
  std::lock_guard<std::mutex> lock(n.mutex);
  std::vector<void*>& list = n.clients[s];
  bool present = false;
  for (void* c : list) present = present || c == x;
  if (!present) list.push_back(x);
  auto it = n.objects.find(s);
  return it == n.objects.end() ? nullptr : it->second;
}

t_jit_err jit_object_detach(t_symbol* s, void* x) {
  if (!s || !x) return JIT_ERR_INVALID_PTR;
  Names& n = names();
  std::lock_guard<std::mutex> lock(n.mutex);
  auto it = n.clients.find(s);
  if (it == n.clients.end()) return JIT_ERR_GENERIC;
  for (auto c = it->second.begin(); c != it->second.end(); ++c)
    if (*c == x) {
      it->second.erase(c);
      if (it->second.empty()) n.clients.erase(it);
      return JIT_ERR_NONE;
    }
  return JIT_ERR_GENERIC;
}

t_symbol* jit_object_classname(void* x) {
  Class* c = class_of(x);
  return c ? c->sym : nullptr;
}

}  // extern "C"
