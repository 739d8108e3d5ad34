// What a patch may send to a Max object: its own messages, the Jitter
// methods and attributes that the standard wrapper exposes, and "getNAME"
// answered through the dump outlet. Refusals and unknown messages become
// console lines, never crashes.
#include <cstring>
#include <string_view>
#include <vector>

#include "internal.h"

namespace zelk::host::detail {
namespace {

thread_local int t_inlet = 0;

class InletScope {
 public:
  explicit InletScope(int inlet) : saved_(t_inlet) { t_inlet = inlet; }
  ~InletScope() { t_inlet = saved_; }
  InletScope(const InletScope&) = delete;
  InletScope& operator=(const InletScope&) = delete;

 private:
  int saved_;
};

Attr* patch_attr(t_object* x, const char* name, void** target) {
  Class* c = class_of(x);
  Obex* ob = obex_of(x);
  if (!c || !ob) return nullptr;
  if (c->standard_wrapped && ob->jitob) {
    Class* jc = class_of(ob->jitob);
    if (Attr* a = jc ? jc->find_attr(name) : nullptr) {
      *target = ob->jitob;
      return a;
    }
  }
  if (c->standard_wrapped || c->mop_wrapped) {
    if (Attr* a = obex_class()->find_attr(name)) {
      *target = ob;
      return a;
    }
  }
  return nullptr;
}

}  // namespace

int inlet_count(t_object* x) {
  Obex* ob = obex_of(x);
  if (ob && ob->mop && ob->mop->ninputs > 1) return static_cast<int>(ob->mop->ninputs);
  Instance* inst = instance_of(x);
  return 1 + (inst ? inst->extra_inlets : 0);
}

int current_inlet() { return t_inlet; }

Dispatch patch_set(t_object* x, t_symbol* name, long argc, t_atom* argv) {
  void* target = nullptr;
  Attr* a = patch_attr(x, name->s_name, &target);
  if (!a) return Dispatch::Unknown;
  if (!attr_settable(a, Access::Patch)) {
    error("%s: attribute %s is not settable", object_name(x), name->s_name);
    return Dispatch::Refused;
  }
  t_jit_err e = attr_write(target, a, argc, argv);
  if (e == JIT_ERR_NONE) return Dispatch::Handled;
  if (e == JIT_ERR_INVALID_INPUT)
    error("%s: attribute %s needs a value", object_name(x), name->s_name);
  else if (e == JIT_ERR_MISMATCH_TYPE)
    error("%s: attribute %s: wrong type of value", object_name(x), name->s_name);
  else
    error("%s: could not set attribute %s", object_name(x), name->s_name);
  return Dispatch::Refused;
}

Dispatch patch_get(t_object* x, const char* name) {
  void* target = nullptr;
  Attr* a = patch_attr(x, name, &target);
  if (!a) return Dispatch::Unknown;
  if (!attr_gettable(a, Access::Patch)) {
    error("%s: attribute %s is not gettable", object_name(x), name);
    return Dispatch::Refused;
  }
  long count = 0;
  t_atom* atoms = nullptr;
  if (attr_get_message(target, a, &count, &atoms) != JIT_ERR_NONE) {
    error("%s: could not get attribute %s", object_name(x), name);
    return Dispatch::Refused;
  }
  max_jit_obex_dumpout(x, a->name, static_cast<short>(count), atoms);
  if (atoms) jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
  return Dispatch::Handled;
}

// Names of the attributes a patch may get: the computing object's, then the wrapper's.
std::vector<t_symbol*> gettable_names(t_object* x) {
  std::vector<t_symbol*> names;
  Class* c = class_of(x);
  Obex* ob = obex_of(x);
  if (!c || !ob) return names;
  std::vector<Attr*> attrs;
  if (c->standard_wrapped && ob->jitob)
    if (Class* jc = class_of(ob->jitob)) attrs = jc->attrs;
  if (c->standard_wrapped || c->mop_wrapped)
    attrs.insert(attrs.end(), obex_class()->attrs.begin(), obex_class()->attrs.end());
  for (Attr* a : attrs) {
    void* target = nullptr;
    // Only the attribute a name reaches counts: the object's own hides the wrapper's.
    if (attr_gettable(a, Access::Patch) && patch_attr(x, a->name->s_name, &target) == a)
      names.push_back(a->name);
  }
  return names;
}

// The messages every wrapped Jitter object understands.
Dispatch wrapper_message(t_object* x, t_symbol* s) {
  Class* c = class_of(x);
  Obex* ob = obex_of(x);
  if (!c || !ob || !(c->standard_wrapped || c->mop_wrapped)) return Dispatch::Unknown;
  std::string_view name = s->s_name;
  if (name == "clear") {
    for (long j = 0; ob->mop && j < ob->mop->noutputs; ++j)
      if (ob->own_out[j]) jit_object_method(ob->own_out[j], _jit_sym_clear);
    return Dispatch::Handled;
  }
  if (name == "getattributes") {
    std::vector<t_atom> atoms;
    for (t_symbol* n : gettable_names(x)) {
      t_atom a;
      jit_atom_setsym(&a, n);
      atoms.push_back(a);
    }
    max_jit_obex_dumpout(x, gensym("attributes"), static_cast<short>(atoms.size()), atoms.data());
    return Dispatch::Handled;
  }
  if (name == "getstate") {
    for (t_symbol* n : gettable_names(x)) patch_get(x, n->s_name);
    return Dispatch::Handled;
  }
  return Dispatch::Unknown;
}

Dispatch max_dispatch(t_object* x, int inlet, t_symbol* s, long argc, t_atom* argv) {
  Class* c = class_of(x);
  if (!c || !s) return Dispatch::Unknown;
  if (argc < 0 || (argc > 0 && !argv)) argc = 0;
  if (inlet < 0 || inlet >= inlet_count(x)) {
    error("%s: no inlet %d", object_name(x), inlet);
    return Dispatch::Refused;
  }
  InletScope scope(inlet);
  if (const Method* m = c->find_method(s); m && m->sig != Sig::Cant) {
    call_typed(x, *m, s, argc, argv);
    return Dispatch::Handled;
  }
  Obex* ob = obex_of(x);
  if (c->is_max && c->standard_wrapped && ob && ob->jitob) {
    Class* jc = class_of(ob->jitob);
    if (const Method* m = jc ? jc->find_method(s) : nullptr; m && m->sig != Sig::Cant) {
      call_typed(ob->jitob, *m, s, argc, argv);
      return Dispatch::Handled;
    }
  }
  if (c->is_max) {
    Dispatch d = wrapper_message(x, s);
    if (d != Dispatch::Unknown) return d;
    d = patch_set(x, s, argc, argv);
    if (d != Dispatch::Unknown) return d;
    if (std::strncmp(s->s_name, "get", 3) == 0) {
      d = patch_get(x, s->s_name + 3);
      if (d != Dispatch::Unknown) return d;
    }
  }
  // What no method of its own takes goes to "anything", as in Max.
  if (const Method* m = c->find_method(gensym("anything")); m && m->sig == Sig::Gimme) {
    call_typed(x, *m, s, argc, argv);
    return Dispatch::Handled;
  }
  error("%s: doesn't understand \"%s\"", object_name(x), s->s_name);
  return Dispatch::Unknown;
}

}  // namespace zelk::host::detail

extern "C" long proxy_getinlet(t_object*) { return zelk::host::detail::current_inlet(); }
