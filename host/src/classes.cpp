// Class registry and the class set-up calls of both sides: Jitter classes
// (methods, attributes, adornments) and Max classes (setup, addmess, addbang).
// Classes are registered once, live until the process exits and are looked
// up from several threads, hence the lock.
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "internal.h"

namespace zelk::host::detail {
namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<t_symbol*, Class*> jit;
  std::unordered_map<std::string, Class*> max;
  Class* current_max = nullptr;
  const std::string* loading = nullptr;
  std::vector<Class*> all;  // every class ever made, registered or not: they live forever
};

Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

void ensure_builtins() {
  static bool done = [] {
    matrix_class();
    list_class();
    mop_class();
    attr_class();
    attr_array_class();
    obex_class();
    return true;
  }();
  (void)done;
}

// Type codes follow the name and end with 0; read as int, the width they
// were passed with.
std::vector<short> read_types(va_list ap) {
  std::vector<short> types;
  for (int i = 0; i < 16; ++i) {
    int t = va_arg(ap, int);
    if (t == A_NOTHING) break;
    types.push_back(static_cast<short>(t));
  }
  return types;
}

Method make_method(method fn, const char* name, const std::vector<short>& types) {
  Method m;
  m.name = gensym(name);
  m.fn = fn;
  if (types.empty())
    m.sig = Sig::None;
  else if (types[0] == A_CANT)
    m.sig = Sig::Cant;
  else if (types[0] == A_GIMME)
    m.sig = Sig::Gimme;
  else {
    m.sig = Sig::Typed;
    m.types = types;
  }
  return m;
}

}  // namespace

const Method* Class::find_method(t_symbol* s) const {
  for (const Method& m : methods)
    if (m.name == s) return &m;
  return nullptr;
}

Attr* Class::find_attr(const char* name) const {
  for (Attr* a : attrs)
    if (std::strcmp(a->name->s_name, name) == 0) return a;
  return nullptr;
}

void Class::add_method(const Method& m) {
  for (Method& old : methods)
    if (old.name == m.name) {
      old = m;
      return;
    }
  methods.push_back(m);
}

void add_direct_method(Class* c, const char* name, void* (*fn)(void*, void*, void*, void*, void*)) {
  Method m;
  m.name = gensym(name);
  m.fn = fn_cast<method>(fn);
  m.sig = Sig::Cant;
  c->add_method(m);
}

Class* new_class(const std::string& name, bool is_max) {
  auto* c = new Class;
  c->name = name;
  c->sym = gensym(name.c_str());
  c->is_max = is_max;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.all.push_back(c);
  return c;
}

void register_jit_class(Class* c) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.jit.emplace(c->sym, c).second) c->registered = true;
}

Class* find_jit_class(t_symbol* name) {
  if (!name) return nullptr;
  ensure_builtins();
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.jit.find(name);
  return it == r.jit.end() ? nullptr : it->second;
}

Class* find_max_class(const std::string& object_name) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.max.find(object_name);
  return it == r.max.end() ? nullptr : it->second;
}

Class* current_max_class() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.current_max;
}

void set_loading_name(const std::string* name) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.loading = name;
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

extern "C" {

void* jit_class_new(const char* name, method mnew, method mfree, long size, ...) {
  if (!name || !*name) return nullptr;
  Class* c = new_class(name, false);
  c->mnew = mnew;
  c->mfree = mfree;
  c->size = size < static_cast<long>(sizeof(t_object)) ? static_cast<long>(sizeof(t_object)) : size;
  return c;
}

t_jit_err jit_class_addmethod(void* c, method m, const char* name, ...) {
  if (!c || !m || !name) return JIT_ERR_INVALID_PTR;
  va_list ap;
  va_start(ap, name);
  std::vector<short> types = read_types(ap);
  va_end(ap);
  static_cast<Class*>(c)->add_method(make_method(m, name, types));
  return JIT_ERR_NONE;
}

t_jit_err jit_class_addattr(void* c, t_jit_object* attr) {
  Class* ac = class_of(attr);
  if (!c || !ac || (ac != attr_class() && ac != attr_array_class())) return JIT_ERR_INVALID_PTR;
  auto* cls = static_cast<Class*>(c);
  auto* a = reinterpret_cast<Attr*>(attr);
  for (Attr*& old : cls->attrs)
    if (old->name == a->name) {
      old = a;
      return JIT_ERR_NONE;
    }
  cls->attrs.push_back(a);
  return JIT_ERR_NONE;
}

t_jit_err jit_class_addadornment(void* c, t_jit_object* o) {
  if (!c || !prefix_of(o)) return JIT_ERR_INVALID_PTR;
  static_cast<Class*>(c)->adornments.push_back(o);
  return JIT_ERR_NONE;
}

void* jit_class_adornment_get(void* c, t_symbol* classname) {
  if (!c) return nullptr;
  for (t_object* o : static_cast<Class*>(c)->adornments)
    if (class_of(o) && class_of(o)->sym == classname) return o;
  return nullptr;
}

t_jit_err jit_class_register(void* c) {
  if (!c) return JIT_ERR_INVALID_PTR;
  auto* cls = static_cast<Class*>(c);
  register_jit_class(cls);
  return cls->registered ? JIT_ERR_NONE : JIT_ERR_DUPLICATE;
}

void* jit_class_findbyname(t_symbol* classname) { return find_jit_class(classname); }

void setup(t_messlist** ident, method makefun, method freefun, short size, method, short type,
           ...) {
  Registry& r = registry();
  std::string name;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    name = r.loading ? *r.loading : std::string();
  }
  Class* c = new_class(name, true);
  std::lock_guard<std::mutex> lock(r.mutex);
  c->mnew = makefun;
  c->mfree = freefun;
  c->size = size < static_cast<short>(sizeof(t_object)) ? static_cast<long>(sizeof(t_object)) : size;
  c->new_type = type;
  r.current_max = c;
  if (!c->name.empty()) r.max[c->name] = c;
  if (ident) *ident = reinterpret_cast<t_messlist*>(c);
}

void addmess(method f, char* s, short type, ...) {
  Class* c = current_max_class();
  if (!c || !f || !s) return;
  std::vector<short> types;
  if (type != A_NOTHING) {
    types.push_back(type);
    va_list ap;
    // The SDK's signature ends its named arguments with a short; every ABI
    // we build for passes it promoted, so va_start after it is sound here.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif
    va_start(ap, type);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    std::vector<short> rest = read_types(ap);
    va_end(ap);
    types.insert(types.end(), rest.begin(), rest.end());
  }
  c->add_method(make_method(f, s, types));
}

void addbang(method f) {
  Class* c = current_max_class();
  if (!c || !f) return;
  c->add_method(make_method(f, "bang", {}));
}

}  // extern "C"

namespace zelk::host {

namespace {
AttributeInfo attribute_info(const Attr* a, bool wrapper) {
  AttributeInfo ai;
  ai.name = a->name->s_name;
  ai.type = a->type->s_name;
  ai.flags = a->flags;
  ai.max_count = a->maxcount;
  ai.user_gettable = attr_gettable(a, Access::Patch);
  ai.user_settable = attr_settable(a, Access::Patch);
  ai.clip_min = a->usemin;
  ai.clip_max = a->usemax;
  ai.min = a->min;
  ai.max = a->max;
  ai.wrapper = wrapper;
  return ai;
}

MatrixIoInfo io_info(const Io* io) {
  MatrixIoInfo m;
  for (long k = 0; k < io->types_count; ++k)
    if (io->types[k]) m.types.push_back(io->types[k]->s_name);
  m.minplanecount = io->minplanecount;
  m.maxplanecount = io->maxplanecount;
  m.mindimcount = io->mindimcount;
  m.maxdimcount = io->maxdimcount;
  m.planelink = io->planelink != 0;
  m.typelink = io->typelink != 0;
  m.dimlink = io->dimlink != 0;
  return m;
}
}  // namespace

bool class_info(const std::string& max_name, ClassInfo* out) {
  Class* mc = find_max_class(max_name);
  if (!mc || !out) return false;
  ClassInfo info;
  info.max_name = max_name;
  // Only a direct-call method is the (object) -> text getter; an ordinary
  // message that happens to be named so is never called here.
  if (const Method* m = mc->find_method(gensym("description")); m && m->sig == Sig::Cant) {
    if (const char* text = fn_cast<const char* (*)(void*)>(m->fn)(nullptr)) info.description = text;
  }
  if (mc->jit) {
    Class* jc = mc->jit;
    info.jit_name = jc->name;
    for (Attr* a : jc->attrs) info.attributes.push_back(attribute_info(a, false));
    if (mc->standard_wrapped || mc->mop_wrapped) {
      for (Attr* a : obex_class()->attrs)
        if (!(mc->standard_wrapped && jc->find_attr(a->name->s_name)))
          info.wrapper_attributes.push_back(attribute_info(a, true));
      info.wrapper_messages = {"clear", "getattributes", "getstate"};
    }
    if (mc->standard_wrapped)
      for (const Method& m : jc->methods)
        if (m.sig != Sig::Cant) info.messages.push_back(m.name->s_name);
    if (auto* mop = as_mop(jit_class_adornment_get(jc, _jit_sym_jit_mop))) {
      info.matrix_inputs = static_cast<int>(mop->ninputs);
      info.matrix_outputs = static_cast<int>(mop->noutputs);
      for (long i = 0; i < mop->ninputs; ++i) info.inputs.push_back(io_info(mop->inputs[i]));
      for (long i = 0; i < mop->noutputs; ++i) info.outputs.push_back(io_info(mop->outputs[i]));
    }
  }
  for (const Method& m : mc->methods)
    if (m.sig != Sig::Cant) info.messages.push_back(m.name->s_name);
  *out = std::move(info);
  return true;
}

}  // namespace zelk::host
