// The Max wrapper of a Jitter object: the obex (computing object, dump
// outlet, the wrapper's own attributes), the matrix inlets and outlets with
// the wrapper's own matrices, and the default "jit_matrix" handler that
// adapts input and outputs, runs matrix_calc and sends the results.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "internal.h"

namespace zelk::host::detail {
namespace {

// ---- the wrapper's matrix attributes ----------------------------------------
// dim, type and planecount set every output's matrix; out_... the first
// output's, in_... (read only) the matrix the first input is converted into.
// Values always end within the operator's constraints for that output.

enum class Prop { Dim, Type, Planecount, Name };

// A number as a `long` (32 bits on Windows), saturated rather than wrapped.
long long_of(const t_atom* a) {
  return static_cast<long>(std::clamp<t_atom_long>(jit_atom_getlong(const_cast<t_atom*>(a)), LONG_MIN, LONG_MAX));
}

struct MatrixRef {
  Matrix* m;
  const Io* io;
};

// The matrices an attribute reads (the first of them) and writes.
std::vector<MatrixRef> matrices_of(Obex* ob, char which) {
  std::vector<MatrixRef> out;
  if (!ob || !ob->mop) return out;
  if (which == 'i') {
    if (ob->mop->ninputs > 0 && ob->own_in[0]) out.push_back({ob->own_in[0], ob->mop->inputs[0]});
    return out;
  }
  long n = which == 'o' ? std::min(1L, ob->mop->noutputs) : ob->mop->noutputs;
  for (long j = 0; j < n; ++j)
    if (ob->own_out[j]) out.push_back({ob->own_out[j], ob->mop->outputs[j]});
  return out;
}

char which_of(const Attr* a);

Prop prop_of(const Attr* a) {
  std::string_view n = a->name->s_name;
  if (char w = which_of(a); w != 'a') n.remove_prefix(w == 'o' ? 4 : 3);
  if (n == "dim") return Prop::Dim;
  if (n == "type") return Prop::Type;
  if (n == "planecount") return Prop::Planecount;
  return Prop::Name;
}

char which_of(const Attr* a) {
  const char* n = a->name->s_name;
  if (std::strncmp(n, "out_", 4) == 0) return 'o';
  if (std::strncmp(n, "in_", 3) == 0) return 'i';
  return 'a';
}

t_jit_err matrix_prop_get(void* x, void* attr, long* count, t_atom** atoms) {
  auto* a = static_cast<Attr*>(attr);
  if (!count || !atoms) return JIT_ERR_INVALID_PTR;
  std::vector<MatrixRef> ms = matrices_of(static_cast<Obex*>(x), which_of(a));
  std::vector<t_atom> v;
  if (!ms.empty()) {
    const t_jit_matrix_info& i = ms[0].m->info;
    t_atom t;
    switch (prop_of(a)) {
      case Prop::Dim:
        for (long k = 0; k < i.dimcount; ++k) v.push_back((jit_atom_setlong(&t, i.dim[k]), t));
        break;
      case Prop::Type: v.push_back((jit_atom_setsym(&t, i.type), t)); break;
      case Prop::Planecount: v.push_back((jit_atom_setlong(&t, i.planecount), t)); break;
      case Prop::Name: {
        Prefix* p = prefix_of(ms[0].m);
        v.push_back((jit_atom_setsym(&t, p && p->registered ? p->registered : _jit_sym_nothing), t));
        break;
      }
    }
  }
  long n = static_cast<long>(v.size());
  if (!*atoms || *count <= 0) {
    *count = 0;
    *atoms = nullptr;
    if (n == 0) return JIT_ERR_NONE;
    *atoms = static_cast<t_atom*>(jit_getbytes(n * static_cast<long>(sizeof(t_atom))));
    if (!*atoms) return JIT_ERR_OUT_OF_MEM;
    *count = n;
  } else {
    *count = std::min(*count, n);
  }
  std::copy(v.begin(), v.begin() + *count, *atoms);
  return JIT_ERR_NONE;
}

bool is_num(const t_atom& a) { return a.a_type == A_LONG || a.a_type == A_FLOAT; }

t_jit_err matrix_prop_set(void* x, void* attr, long argc, t_atom* argv) {
  auto* a = static_cast<Attr*>(attr);
  if (argc < 1 || !argv) return JIT_ERR_INVALID_INPUT;
  Prop prop = prop_of(a);
  std::vector<MatrixRef> ms = matrices_of(static_cast<Obex*>(x), which_of(a));
  if (prop == Prop::Name) {
    if (argv[0].a_type != A_SYM || !argv[0].a_w.w_sym || !*argv[0].a_w.w_sym->s_name)
      return JIT_ERR_MISMATCH_TYPE;
    for (const MatrixRef& r : ms)
      if (!register_object(r.m, argv[0].a_w.w_sym)) return JIT_ERR_DUPLICATE;
    return JIT_ERR_NONE;
  }
  if (prop == Prop::Type ? (argv[0].a_type != A_SYM || !type_known(argv[0].a_w.w_sym))
                         : !std::all_of(argv, argv + std::min(argc, a->maxcount), is_num))
    return JIT_ERR_MISMATCH_TYPE;
  for (const MatrixRef& r : ms) {
    t_jit_matrix_info info = r.m->info;
    if (prop == Prop::Type) {
      info.type = argv[0].a_w.w_sym;
    } else if (prop == Prop::Planecount) {
      info.planecount = std::clamp(long_of(argv), 1L,
                                   static_cast<long>(JIT_MATRIX_MAX_PLANECOUNT));
    } else {
      info.dimcount = std::min(argc, static_cast<long>(JIT_MATRIX_MAX_DIMCOUNT));
      for (long k = 0; k < info.dimcount; ++k)
        info.dim[k] = std::max(1L, long_of(argv + k));
    }
    info = io_constrain(r.io, info);
    if (t_jit_err e = matrix_setinfo(r.m, &info)) return e;
  }
  return JIT_ERR_NONE;
}

Class* make_obex_class() {
  Class* c = new_class("max_jit_obex", false);
  c->size = sizeof(Obex);
  jit_attr_addfilterset_clip(builtin_attr(c, "outputmode", _jit_sym_long, offsetof(Obex, outputmode)), 0,
                             kModeLast, 1, 1);
  jit_attr_addfilterset_clip(builtin_attr(c, "adapt", _jit_sym_long, offsetof(Obex, adapt)), 0, 1, 1, 1);
  struct Spec {
    const char* name;
    t_symbol* type;
    long max;
  };
  const Spec specs[] = {{"dim", _jit_sym_long, JIT_MATRIX_MAX_DIMCOUNT},
                        {"type", _jit_sym_symbol, 1},
                        {"planecount", _jit_sym_long, 1}};
  for (const char* prefix : {"", "out_", "in_"}) {
    for (const Spec& s : specs) {
      Attr* a = builtin_attr(c, (std::string(prefix) + s.name).c_str(), s.type, 0, s.max);
      a->get = fn_cast<method>(matrix_prop_get);
      a->set = fn_cast<method>(matrix_prop_set);
      if (*prefix == 'i') a->flags = JIT_ATTR_SET_OPAQUE_USER;
    }
    if (*prefix) {
      Attr* a = builtin_attr(c, (std::string(prefix) + "name").c_str(), _jit_sym_symbol, 0);
      a->get = fn_cast<method>(matrix_prop_get);
      a->set = fn_cast<method>(matrix_prop_set);
      if (*prefix == 'i') a->flags = JIT_ATTR_SET_OPAQUE_USER;
    }
  }
  register_jit_class(c);
  return c;
}

void send_outputs(t_object* x, Obex* ob) {
  Mop* mop = ob->mop;
  for (long j = mop->noutputs - 1; j >= 0; --j) {
    Prefix* p = prefix_of(ob->own_out[j]);
    if (!p || !p->registered || !ob->out_outlet[j]) continue;
    t_atom a;
    jit_atom_setsym(&a, p->registered);
    outlet_anything(ob->out_outlet[j], _jit_sym_jit_matrix, 1, &a);
  }
  (void)x;
}

// Outputs without calculating: the incoming matrix itself, through the
// leftmost output only, as Jitter's matrix operators pass it on.
void send_input(Obex* ob, Matrix* in) {
  Prefix* p = prefix_of(in);
  if (!p || !p->registered || ob->mop->noutputs < 1 || !ob->out_outlet[0]) return;
  t_atom a;
  jit_atom_setsym(&a, p->registered);
  outlet_anything(ob->out_outlet[0], _jit_sym_jit_matrix, 1, &a);
}

t_jit_err run_calc(Obex* ob) {
  Class* c = class_of(ob->jitob);
  if (!c || !c->find_method(_jit_sym_matrix_calc)) return JIT_ERR_INVALID_OBJECT;
  return reinterpret_cast<t_jit_err>(
      jit_object_method(ob->jitob, _jit_sym_matrix_calc, ob->mop->inputlist, ob->mop->outputlist));
}

bool links_off(const Io* io) { return !io->typelink && !io->planelink && !io->dimlink; }

// Outputs follow the input they are linked to; setinfo is a no-op when
// nothing changes, so a steady stream allocates nothing.
void adapt_outputs(Obex* ob, const Matrix* in) {
  Mop* mop = ob->mop;
  for (long j = 0; j < mop->noutputs; ++j) {
    const Io* io = mop->outputs[j];
    Matrix* out = ob->own_out[j];
    if (!out || links_off(io)) continue;
    t_jit_matrix_info info = out->info;
    if (io->dimlink) {
      info.dimcount = in->info.dimcount;
      for (long k = 0; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) info.dim[k] = in->info.dim[k];
    }
    if (io->typelink) info.type = in->info.type;
    if (io->planelink) info.planecount = in->info.planecount;
    info = io_constrain(io, info);
    matrix_setinfo(out, &info);
  }
}

// The matrix the computation sees for an incoming one: itself when the
// input's constraints allow it, else a conversion into the wrapper's own.
Matrix* adapt_input(t_object* x, Obex* ob, long idx, Matrix* in) {
  const Io* io = ob->mop->inputs[idx];
  bool type_ok = io_allows_type(io, in->info.type);
  bool planes_ok = in->info.planecount >= io->minplanecount && in->info.planecount <= io->maxplanecount;
  if ((type_ok && planes_ok) || !in->data) return in;
  Matrix* own = ob->own_in[idx];
  t_jit_matrix_info want = in->info;
  want.type = type_ok ? in->info.type : io_first_type(io, in->info.type);
  long lo = static_cast<long>(io->minplanecount), hi = std::max(lo, static_cast<long>(io->maxplanecount));
  want.planecount = std::clamp(in->info.planecount, lo, hi);
  if (matrix_setinfo(own, &want) != JIT_ERR_NONE) {
    error("%s: could not convert the input matrix", object_name(x));
    return nullptr;
  }
  matrix_copy_from(own, in);
  return own;
}

void* mop_jit_matrix(t_object* x, t_symbol*, long argc, t_atom* argv) {
  Obex* ob = obex_of(x);
  if (!ob || !ob->mop_ready) return nullptr;
  if (argc < 1 || argv[0].a_type != A_SYM) {
    error("%s: jit_matrix needs a matrix name", object_name(x));
    return nullptr;
  }
  t_symbol* name = argv[0].a_w.w_sym;
  Matrix* in = as_matrix(jit_object_findregistered(name));
  if (!in) {
    error("%s: no matrix named %s", object_name(x), name->s_name);
    return nullptr;
  }
  long idx = current_inlet();
  Mop* mop = ob->mop;
  if (idx < 0 || idx >= mop->ninputs) return nullptr;
  Matrix* use = adapt_input(x, ob, idx, in);
  if (!use) return nullptr;
  if (idx != 0) {
    // Only the leftmost input starts a frame. The others wait for it, so they
    // are kept as copies: their senders may change or free their matrices.
    Matrix* own = ob->own_in[idx];
    if (use != own) {
      t_jit_matrix_info want = use->info;
      if (!own || matrix_setinfo(own, &want) != JIT_ERR_NONE) {
        error("%s: could not keep the matrix of inlet %ld", object_name(x), idx);
        return nullptr;
      }
      matrix_copy_from(own, use);
    }
    mop->inputlist->items[idx] = own;
    return nullptr;
  }
  mop->inputlist->items[idx] = use;
  Class* c = class_of(x);
  // Outputs follow the input only when they are calculated (an object's own
  // procedure calculates in every mode): mode 3 resends the last output as it was.
  if (ob->adapt && (c->mproc || ob->outputmode == kModeCalc)) adapt_outputs(ob, use);
  if (c->mproc) {
    // An object's own procedure runs for every matrix, as in Max: it keeps
    // its results current and checks the output mode where it sends.
    fn_cast<t_jit_err (*)(void*, void*)>(c->mproc)(x, mop);
  } else if (ob->outputmode == kModeCalc) {
    if (t_jit_err e = run_calc(ob))
      jit_error_code(x, e);
    else
      send_outputs(x, ob);
  } else if (ob->outputmode == kModeInput) {
    send_input(ob, use);
  } else if (ob->outputmode == kModeLast) {
    send_outputs(x, ob);
  }
  // The incoming matrix belongs to someone else; keep no pointer to it.
  mop->inputlist->items[idx] = ob->own_in[idx];
  return nullptr;
}

void* mop_outputmatrix(t_object* x) {
  max_jit_mop_outputmatrix(x);
  return nullptr;
}

void install(Class* c, const char* name, method fn, Sig sig) {
  t_symbol* s = gensym(name);
  if (c->find_method(s)) return;  // the object's own handler wins
  Method m;
  m.name = s;
  m.fn = fn;
  m.sig = sig;
  c->add_method(m);
}

void place_obex_pointer(void* x, void* obex) {
  Prefix* p = prefix_of(x);
  long off = p->cls->oboffset;
  if (off >= static_cast<long>(sizeof(t_object)) && off + static_cast<long>(sizeof(void*)) <= p->size)
    std::memcpy(static_cast<char*>(x) + off, &obex, sizeof obex);
}

// Matrix arguments typed before the first @: [planecount] [type] [dim...].
void apply_matrix_args(t_object* x, Obex* ob, long argc, t_atom* argv) {
  long n = max_jit_attr_args_offset(static_cast<short>(std::min<long>(argc, 32767)), argv);
  if (n <= 0) return;
  long planecount = 0;
  t_symbol* type = nullptr;
  long dims[JIT_MATRIX_MAX_DIMCOUNT];
  long ndims = 0;
  long i = 0;
  auto number = [&](long k) { return argv[k].a_type == A_LONG || argv[k].a_type == A_FLOAT; };
  if (i < n && number(i)) planecount = long_of(&argv[i++]);
  if (i < n && argv[i].a_type == A_SYM && type_known(argv[i].a_w.w_sym)) type = argv[i++].a_w.w_sym;
  for (; i < n && number(i); ++i)
    if (ndims < JIT_MATRIX_MAX_DIMCOUNT) dims[ndims++] = long_of(&argv[i]);
  if (i < n) {
    t_atom* a = &argv[i];
    error("%s: unknown matrix argument %s", object_name(x),
          a->a_type == A_SYM ? a->a_w.w_sym->s_name : "(number)");
  }
  if (!planecount && !type && !ndims) return;
  for (long j = 0; j < ob->mop->noutputs; ++j) {
    Matrix* out = ob->own_out[j];
    t_jit_matrix_info info = out->info;
    if (planecount) info.planecount = planecount;
    if (type) info.type = type;
    if (ndims) {
      info.dimcount = ndims;
      for (long k = 0; k < ndims; ++k) info.dim[k] = dims[k];
    }
    info = io_constrain(ob->mop->outputs[j], info);
    matrix_setinfo(out, &info);
  }
  // A box that names its matrix keeps it: typed arguments switch adaptation off.
  ob->adapt = 0;
}

Matrix* new_own_matrix(const Io* io) {
  t_jit_matrix_info info;
  jit_matrix_info_default(&info);
  Matrix* m = make_matrix(io_constrain(io, info));
  if (m) register_object(m, jit_symbol_unique());
  return m;
}

}  // namespace

Class* obex_class() {
  static Class* c = make_obex_class();
  return c;
}

Obex* obex_of(void* wrapper) {
  Instance* inst = instance_of(wrapper);
  return inst ? static_cast<Obex*>(inst->obex) : nullptr;
}

const char* object_name(void* x) {
  Prefix* p = prefix_of(x);
  if (p && !p->max && p->wrapper) p = prefix_of(p->wrapper);
  return p ? p->cls->name.c_str() : "(unknown)";
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;

extern "C" {

void freeobject(t_object* op) {
  Prefix* p = prefix_of(op);
  if (!p) return;
  if (!p->cls->is_max) {
    free_object(op);
    return;
  }
  Instance* inst = p->max;
  BoxScope scope(inst && inst->box ? inst->box : current_box());
  if (p->cls->mfree) fn_cast<void (*)(void*)>(p->cls->mfree)(op);
  // Whatever the free function left behind is the host's to release.
  max_jit_mop_free(op);
  max_jit_obex_free(op);
  if (inst) {
    free_outlets(inst);
    delete inst;
    p->max = nullptr;
  }
  release_record(op);
}

void* max_jit_classex_setup(long oboffset) {
  Class* c = current_max_class();
  if (c) c->oboffset = oboffset;
  return c;
}

t_jit_err max_jit_classex_mop_wrap(void* mclass, void* jclass, long flags) {
  auto* c = static_cast<Class*>(mclass);
  if (!c || !jclass) return JIT_ERR_INVALID_PTR;
  c->jit = static_cast<Class*>(jclass);
  c->mop_wrapped = true;
  c->mop_flags = flags;
  if (!(flags & MAX_JIT_MOP_FLAGS_OWN_JIT_MATRIX))
    install(c, "jit_matrix", fn_cast<method>(mop_jit_matrix), Sig::Gimme);
  if (!(flags & MAX_JIT_MOP_FLAGS_OWN_BANG))
    install(c, "bang", fn_cast<method>(mop_outputmatrix), Sig::None);
  if (!(flags & MAX_JIT_MOP_FLAGS_OWN_OUTPUTMATRIX))
    install(c, "outputmatrix", fn_cast<method>(mop_outputmatrix), Sig::None);
  return JIT_ERR_NONE;
}

t_jit_err max_jit_classex_mop_mproc(void* mclass, void*, void* mproc) {
  auto* c = static_cast<Class*>(mclass);
  if (!c) return JIT_ERR_INVALID_PTR;
  c->mproc = fn_cast<method>(mproc);
  return JIT_ERR_NONE;
}

t_jit_err max_jit_classex_standard_wrap(void* mclass, void* jclass, long) {
  auto* c = static_cast<Class*>(mclass);
  if (!c || !jclass) return JIT_ERR_INVALID_PTR;
  if (!c->jit) c->jit = static_cast<Class*>(jclass);
  c->standard_wrapped = true;
  return JIT_ERR_NONE;
}

void* newobject(void* maxclass) {
  auto* c = static_cast<Class*>(maxclass);
  if (!c || !c->is_max) return nullptr;
  void* x = alloc_record(c, c->size);
  if (!x) return nullptr;
  auto* inst = new Instance;
  inst->box = current_box();
  prefix_of(x)->max = inst;
  return x;
}

void* inlet_new(void* x, const char*) {
  Instance* inst = instance_of(x);
  if (!inst) return nullptr;
  ++inst->extra_inlets;
  return x;
}

void* max_jit_obex_new(void* mc, t_symbol* classname) {
  auto* c = static_cast<Class*>(mc);
  if (!c || !c->is_max || !find_jit_class(classname)) return nullptr;
  void* x = newobject(c);
  if (!x) return nullptr;
  Instance* inst = instance_of(x);
  auto* ob = static_cast<Obex*>(alloc_record(obex_class(), sizeof(Obex)));
  ob->outputmode = 1;
  ob->adapt = 1;
  inst->obex = ob;
  place_obex_pointer(x, ob);
  return x;
}

void max_jit_obex_free(void* x) {
  Instance* inst = instance_of(x);
  if (!inst || !inst->obex) return;
  max_jit_mop_free(x);
  release_record(inst->obex);
  inst->obex = nullptr;
  place_obex_pointer(x, nullptr);
}

t_jit_err max_jit_obex_jitob_set(void* x, void* jitob) {
  Obex* ob = obex_of(x);
  if (!ob) return JIT_ERR_INVALID_PTR;
  ob->jitob = jitob;
  if (Prefix* p = prefix_of(jitob)) p->wrapper = x;
  return JIT_ERR_NONE;
}

void* max_jit_obex_jitob_get(void* x) {
  Obex* ob = obex_of(x);
  return ob ? ob->jitob : nullptr;
}

void max_jit_obex_dumpout_set(void* x, void* outlet) {
  if (Obex* ob = obex_of(x)) ob->dumpout = outlet;
}

void* max_jit_obex_dumpout_get(void* x) {
  Obex* ob = obex_of(x);
  return ob ? ob->dumpout : nullptr;
}

void max_jit_obex_dumpout(void* x, t_symbol* s, short argc, t_atom* argv) {
  if (void* out = max_jit_obex_dumpout_get(x)) outlet_anything(out, s, argc, argv);
}

t_jit_err max_jit_mop_setup_simple(void* x, void* o, long argc, t_atom* argv) {
  Obex* ob = obex_of(x);
  if (!ob) return JIT_ERR_INVALID_PTR;
  max_jit_obex_jitob_set(x, o);
  if (!ob->dumpout) max_jit_obex_dumpout_set(x, outlet_new(x, nullptr));
  if (ob->mop_ready) return JIT_ERR_NONE;
  Mop* tmpl = as_mop(jit_class_adornment_get(class_of(o), _jit_sym_jit_mop));
  if (!tmpl) return JIT_ERR_INVALID_OBJECT;
  Mop* mop = mop_copy(tmpl);
  if (!mop) return JIT_ERR_OUT_OF_MEM;
  ob->mop = mop;
  mop->inputlist = make_list();
  mop->outputlist = make_list();
  for (long j = mop->noutputs - 1; j >= 0; --j)
    ob->out_outlet[j] = static_cast<Outlet*>(outlet_new(x, "jit_matrix"));
  for (long i = 0; i < mop->ninputs; ++i) {
    ob->own_in[i] = new_own_matrix(mop->inputs[i]);
    mop->inputlist->items[mop->inputlist->count++] = ob->own_in[i];
  }
  for (long j = 0; j < mop->noutputs; ++j) {
    ob->own_out[j] = new_own_matrix(mop->outputs[j]);
    mop->outputlist->items[mop->outputlist->count++] = ob->own_out[j];
  }
  ob->mop_ready = true;
  apply_matrix_args(static_cast<t_object*>(x), ob, argv ? argc : 0, argv);
  return JIT_ERR_NONE;
}

void max_jit_mop_free(void* x) {
  Obex* ob = obex_of(x);
  if (!ob) return;
  for (long i = 0; i < kMaxIo; ++i) {
    if (ob->own_in[i]) jit_object_free(ob->own_in[i]);
    if (ob->own_out[i]) jit_object_free(ob->own_out[i]);
    ob->own_in[i] = ob->own_out[i] = nullptr;
  }
  if (ob->mop) jit_object_free(ob->mop);  // with its io objects and lists
  ob->mop = nullptr;
  ob->mop_ready = false;
}

void max_jit_mop_assist(void* x, void*, long m, long a, char* s) {
  Obex* ob = obex_of(x);
  Instance* inst = instance_of(x);
  if (!s || !inst) return;
  long nin = ob && ob->mop ? ob->mop->ninputs : 1;
  long nout = ob && ob->mop ? ob->mop->noutputs : 0;
  long last = static_cast<long>(inst->outlets.size()) - 1;
  if (m == 1) {
    if (a == 0)
      std::strcpy(s, "(matrix) in");
    else if (a > 0 && a < nin)
      std::sprintf(s, "(matrix) in%ld", a + 1);
  } else if (m == 2) {
    if (a == last)
      std::strcpy(s, "dumpout");
    else if (a >= 0 && a < nout)
      std::strcpy(s, "(matrix) out");
  }
}

void* max_jit_mop_getinput(void* x, long index) {
  Obex* ob = obex_of(x);
  if (!ob || !ob->mop || index < 1 || index > ob->mop->ninputs) return nullptr;
  return ob->own_in[index - 1];
}

void* max_jit_mop_getoutput(void* x, long index) {
  Obex* ob = obex_of(x);
  if (!ob || !ob->mop || index < 1 || index > ob->mop->noutputs) return nullptr;
  return ob->own_out[index - 1];
}

long max_jit_mop_getoutputmode(void* x) {
  Obex* ob = obex_of(x);
  return ob ? static_cast<long>(ob->outputmode) : 0;
}

t_jit_err max_jit_mop_outputmatrix(void* x) {
  Obex* ob = obex_of(x);
  if (!ob || !ob->mop_ready) return JIT_ERR_INVALID_PTR;
  if (ob->outputmode != 0) send_outputs(static_cast<t_object*>(x), ob);
  return JIT_ERR_NONE;
}

long max_jit_attr_args_offset(short ac, t_atom* av) {
  if (!av) return 0;
  for (long i = 0; i < ac; ++i)
    if (av[i].a_type == A_SYM && av[i].a_w.w_sym && av[i].a_w.w_sym->s_name[0] == '@') return i;
  return ac < 0 ? 0 : ac;
}

void max_jit_attr_args(void* x, short ac, t_atom* av) {
  if (!av || ac <= 0) return;
  auto* ob = static_cast<t_object*>(x);
  long i = max_jit_attr_args_offset(ac, av);
  while (i < ac) {
    const char* name = av[i].a_w.w_sym->s_name + 1;
    long j = i + 1;
    while (j < ac && !(av[j].a_type == A_SYM && av[j].a_w.w_sym->s_name[0] == '@')) ++j;
    if (!*name)
      error("%s: @ without an attribute name", object_name(x));
    else if (j == i + 1)
      error("%s: attribute %s needs a value", object_name(x), name);
    else if (patch_set(ob, gensym(name), j - i - 1, av + i + 1) == Dispatch::Unknown)
      error("%s: unknown attribute \"%s\"", object_name(x), name);
    i = j;
  }
}

}  // extern "C"
