#include "probe.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace probe {
namespace {

struct Variant {
  const char* max_name;
  const char* jit_name;
  long outputs;
  long inputs;
  bool nolink;
  bool planelink_off;
  const char* input_type;   // the input's only type
  const char* single_type;  // every io
  bool fail_new;
  bool mproc;
  bool sized = false;  // output limits as jit.histogram's: sizes and dimension counts
};

constexpr Variant kVariants[] = {
    {"test.probe", "test_probe", 1, 1, false, false, nullptr, nullptr, false, false},
    {"test.nolink", "test_nolink", 1, 1, true, false, nullptr, nullptr, false, false},
    {"test.planeoff", "test_planeoff", 1, 1, false, true, nullptr, nullptr, false, false},
    {"test.f64in", "test_f64in", 1, 1, false, false, "float64", nullptr, false, false},
    {"test.char", "test_char", 1, 1, false, false, nullptr, "char", false, false},
    {"test.two", "test_two", 2, 1, false, false, nullptr, nullptr, false, false},
    {"test.fail", "test_fail", 1, 1, false, false, nullptr, nullptr, true, false},
    {"test.mproc", "test_mproc", 1, 1, false, false, nullptr, nullptr, false, true},
    {"test.twoin", "test_twoin", 1, 2, false, false, nullptr, nullptr, false, false},
    {"test.sized", "test_sized", 1, 1, false, false, nullptr, nullptr, false, false, true},
};
constexpr int kCount = sizeof kVariants / sizeof kVariants[0];

struct Wrapper {
  t_object ob;
  void* obex;
};

void* g_jit_class[kCount];
t_messlist* g_max_class[kCount];

template <class F>
method as_method(F* f) {
  return reinterpret_cast<method>(reinterpret_cast<void (*)()>(f));
}

t_jit_err probe_calc(Jit* x, void* ins, void* outs) {
  ++x->calls;
  void* in = jit_object_method(ins, _jit_sym_getindex, static_cast<t_atom_long>(0));
  void* out = jit_object_method(outs, _jit_sym_getindex, static_cast<t_atom_long>(0));
  if (!in) return JIT_ERR_INVALID_PTR;
  t_jit_matrix_info info;
  jit_object_method(in, _jit_sym_getinfo, &info);
  x->seen_type = info.type;
  x->seen_planes = info.planecount;
  x->seen_matrix = in;
  if (void* right = jit_object_method(ins, _jit_sym_getindex, static_cast<t_atom_long>(1))) {
    char* data = nullptr;
    jit_object_method(right, _jit_sym_getdata, &data);
    x->seen_right = data ? static_cast<unsigned char>(data[0]) : -1;
  }
  if (x->result) return x->result;
  if (out) jit_object_method(out, _jit_sym_frommatrix, in);
  return JIT_ERR_NONE;
}

void probe_reset(Jit* x) { ++x->resets; }
void probe_add(Jit* x, t_atom_long a, double b) {
  x->l += a;
  x->f64 += b;
}
void jit_free(Jit*) {}

template <int V>
void* jit_new() {
  if (kVariants[V].fail_new) return nullptr;
  auto* x = static_cast<Jit*>(jit_object_alloc(g_jit_class[V]));
  x->count = 2;
  x->arr[0] = 1.5f;
  x->arr[1] = 2.5f;
  x->sym = gensym("none");
  x->out = 7;
  x->hidden = 9;
  return x;
}

template <int V>
t_jit_err mproc(void* max, void* mop) {
  void* o = max_jit_obex_jitob_get(max);
  void* in = jit_object_method(mop, _jit_sym_getinputlist);
  void* out = jit_object_method(mop, _jit_sym_getoutputlist);
  auto e = reinterpret_cast<t_jit_err>(jit_object_method(o, _jit_sym_matrix_calc, in, out));
  if (e) return jit_error_code(max, e);
  max_jit_obex_dumpout(max, gensym("done"), 0, nullptr);
  return JIT_ERR_NONE;
}

template <int V>
void* max_new(t_symbol*, long argc, t_atom* argv) {
  const Variant& v = kVariants[V];
  void* x = max_jit_obex_new(g_max_class[V], gensym(v.jit_name));
  if (!x) return nullptr;
  void* o = jit_object_new(gensym(v.jit_name));
  if (!o) {
    error("%s: could not allocate object", v.max_name);
    freeobject(static_cast<t_object*>(x));
    return nullptr;
  }
  max_jit_mop_setup_simple(x, o, argc, argv);
  max_jit_attr_args(x, static_cast<short>(argc), argv);
  return x;
}

void max_free(void* x) {
  max_jit_mop_free(x);
  jit_object_free(max_jit_obex_jitob_get(x));
  max_jit_obex_free(x);
}

void attr(void* c, const char* name, const char* type, long offset, long flags = kOrdinary) {
  void* a = jit_object_new(_jit_sym_jit_attr_offset, name, gensym(type), flags, nullptr, nullptr,
                           offset);
  ASSERT_NE(a, nullptr) << name;
  if (std::string(name) == "clipped") jit_attr_addfilterset_clip(a, 0, 10, 1, 1);
  if (std::string(name) == "fclipped") jit_attr_addfilterset_clip(a, -1, 1, 1, 1);
  jit_class_addattr(c, static_cast<t_jit_object*>(a));
}

template <int V>
void main_fn() {
  const Variant& v = kVariants[V];
  void* c = jit_class_new(v.jit_name, as_method(jit_new<V>), as_method(jit_free), sizeof(Jit), 0L);
  g_jit_class[V] = c;
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(v.inputs),
                             static_cast<t_atom_long>(v.outputs));
  if (v.single_type) jit_mop_single_type(mop, gensym(v.single_type));
  if (v.input_type)
    jit_attr_setsym(jit_object_method(mop, _jit_sym_getinput, static_cast<t_atom_long>(1)),
                    _jit_sym_types, gensym(v.input_type));
  void* out1 = jit_object_method(mop, _jit_sym_getoutput, static_cast<t_atom_long>(1));
  if (v.planelink_off) jit_attr_setlong(out1, _jit_sym_planelink, 0);
  if (v.nolink) jit_mop_output_nolink(mop, 1);
  if (v.sized) {
    // Dimension 0 at least 256 (no other dimension named), at most 1000 by
    // 4, and exactly two dimensions.
    t_atom a[2];
    jit_atom_setlong(&a[0], 256);
    jit_object_method(out1, _jit_sym_mindim, static_cast<t_atom_long>(1), a);
    jit_atom_setlong(&a[0], 1000);
    jit_atom_setlong(&a[1], 4);
    jit_object_method(out1, _jit_sym_maxdim, static_cast<t_atom_long>(2), a);
    jit_attr_setlong(out1, _jit_sym_mindimcount, 2);
    jit_attr_setlong(out1, _jit_sym_maxdimcount, 2);
  }
  jit_class_addadornment(c, static_cast<t_jit_object*>(mop));
  jit_class_addmethod(c, as_method(probe_calc), "matrix_calc", A_CANT, 0L);
  jit_class_addmethod(c, as_method(probe_reset), "reset", 0L);
  jit_class_addmethod(c, as_method(probe_add), "add", A_LONG, A_FLOAT, 0L);
  attr(c, "c", "char", offsetof(Jit, c));
  attr(c, "l", "long", offsetof(Jit, l));
  attr(c, "al", "atom_long", offsetof(Jit, al));
  attr(c, "f32", "float32", offsetof(Jit, f32));
  attr(c, "f64", "float64", offsetof(Jit, f64));
  attr(c, "sym", "symbol", offsetof(Jit, sym));
  attr(c, "atom", "atom", offsetof(Jit, atom));
  attr(c, "out", "long", offsetof(Jit, out), kOutput);
  attr(c, "hidden", "long", offsetof(Jit, hidden), kHidden);
  attr(c, "clipped", "long", offsetof(Jit, clipped));
  attr(c, "fclipped", "float64", offsetof(Jit, fclipped));
  attr(c, "result", "long", offsetof(Jit, result));
  void* arr = jit_object_new(_jit_sym_jit_attr_offset_array, "arr", gensym("float32"), 4L,
                             kOrdinary, nullptr, nullptr, static_cast<long>(offsetof(Jit, count)),
                             static_cast<long>(offsetof(Jit, arr)));
  jit_class_addattr(c, static_cast<t_jit_object*>(arr));
  jit_class_register(c);

  setup(&g_max_class[V], as_method(max_new<V>), as_method(max_free), sizeof(Wrapper), nullptr,
        A_GIMME, 0);
  void* classex = max_jit_classex_setup(offsetof(Wrapper, obex));
  void* q = jit_class_findbyname(gensym(v.jit_name));
  max_jit_classex_mop_wrap(classex, q, v.mproc ? MAX_JIT_MOP_FLAGS_OWN_BANG : 0);
  if (v.mproc) max_jit_classex_mop_mproc(classex, q, reinterpret_cast<void*>(as_method(mproc<V>)));
  max_jit_classex_standard_wrap(classex, q, 0);
  addmess(as_method(max_jit_mop_assist), const_cast<char*>("assist"), A_CANT, 0);
}

template <int... I>
void register_variants(std::integer_sequence<int, I...>) {
  (zelk::host::register_object_main(kVariants[I].max_name, main_fn<I>), ...);
}

}  // namespace

void register_all() {
  static bool done = [] {
    zelk::host::set_console_echo(false);
    register_variants(std::make_integer_sequence<int, kCount>{});
    return true;
  }();
  (void)done;
}

std::unique_ptr<zelk::host::Box> make(const std::string& text) {
  register_all();
  std::string why;
  auto b = zelk::host::Box::create(text, &why);
  EXPECT_TRUE(b) << text << ": " << why;
  return b;
}

Jit* jit(const zelk::host::Box& b) { return static_cast<Jit*>(b.jit_object()); }

}  // namespace probe
