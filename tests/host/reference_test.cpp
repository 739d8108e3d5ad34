// What a class tells about itself through the host: its description, the
// assist texts of a box's inlets and outlets, and attribute values read back
// as atoms. In-process objects cover the edges; the built plug-ins show that
// the kit registers all of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ext.h"
#include "max.jit.mop.h"
#include "zelk/host.h"

namespace {

using zelk::host::Box;
using zelk::host::ClassInfo;

template <class F>
method as_method(F* f) {
  return reinterpret_cast<method>(reinterpret_cast<void (*)()>(f));
}

constexpr long kOrdinary = 0x08040000;
constexpr long kManyValues = 5;

struct Jit {
  t_object ob;
  t_atom_long level;
  long count;
  t_atom_long pair[2];
  t_atom_long many;  // read through a getter that reports kManyValues values
};

struct Wrapper {
  t_object ob;
  void* obex;
};

// ---- test.described: two matrix inputs, a description, its own assist ----

void* g_described_jit = nullptr;
t_messlist* g_described_max = nullptr;
void* g_object_asked = reinterpret_cast<void*>(1);  // what "description" was called with

const char* described_text(void* x) {
  g_object_asked = x;
  return "doubles nothing, describes itself";
}

t_jit_err described_calc(void*, void*, void*) { return JIT_ERR_NONE; }
void jit_free(void*) {}

void* described_jit_new() {
  auto* x = static_cast<Jit*>(jit_object_alloc(g_described_jit));
  x->level = 3;
  x->count = 2;
  x->pair[0] = 4;
  x->pair[1] = 5;
  return x;
}

t_jit_err many_get(Jit*, void*, long* ac, t_atom** av) {
  *ac = kManyValues;
  *av = static_cast<t_atom*>(jit_getbytes(kManyValues * static_cast<long>(sizeof(t_atom))));
  for (long i = 0; i < kManyValues; ++i) jit_atom_setlong(*av + i, i + 1);
  return JIT_ERR_NONE;
}

// Outlet 0 fills the whole buffer; outlet 1 writes nothing.
void described_assist(void*, void*, long direction, long index, char* text) {
  if (direction == 1)
    std::strcpy(text, index == 0 ? "(matrix) left" : "(matrix) right");
  else if (index == 0) {
    std::memset(text, 'x', 511);
    text[511] = '\0';
  }
}

void* described_new(t_symbol*, long argc, t_atom* argv) {
  void* x = max_jit_obex_new(g_described_max, gensym("test_described"));
  if (!x) return nullptr;
  max_jit_mop_setup_simple(x, jit_object_new(gensym("test_described")), argc, argv);
  max_jit_attr_args(x, static_cast<short>(argc), argv);
  return x;
}

void described_free(void* x) {
  max_jit_mop_free(x);
  jit_object_free(max_jit_obex_jitob_get(x));
  max_jit_obex_free(x);
}

void add_attr(void* c, const char* name, long offset, method get = nullptr) {
  void* a = jit_object_new(_jit_sym_jit_attr_offset, name, _jit_sym_long, kOrdinary, get, nullptr,
                           offset);
  jit_class_addattr(c, static_cast<t_jit_object*>(a));
}

void described_main() {
  void* c = jit_class_new("test_described", as_method(described_jit_new), as_method(jit_free),
                          sizeof(Jit), 0L);
  g_described_jit = c;
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(2), static_cast<t_atom_long>(1));
  jit_class_addadornment(c, static_cast<t_jit_object*>(mop));
  jit_class_addmethod(c, as_method(described_calc), "matrix_calc", A_CANT, 0L);
  add_attr(c, "level", offsetof(Jit, level));
  void* pair = jit_object_new(_jit_sym_jit_attr_offset_array, "pair", _jit_sym_long, 2L, kOrdinary,
                              nullptr, nullptr, static_cast<long>(offsetof(Jit, count)),
                              static_cast<long>(offsetof(Jit, pair)));
  jit_class_addattr(c, static_cast<t_jit_object*>(pair));
  add_attr(c, "many", offsetof(Jit, many), as_method(many_get));
  jit_class_register(c);
  setup(&g_described_max, as_method(described_new), as_method(described_free),
        sizeof(Wrapper), nullptr, A_GIMME, 0);
  void* classex = max_jit_classex_setup(offsetof(Wrapper, obex));
  void* q = jit_class_findbyname(gensym("test_described"));
  max_jit_classex_mop_wrap(classex, q, 0);
  max_jit_classex_standard_wrap(classex, q, 0);
  addmess(as_method(described_assist), const_cast<char*>("assist"), A_CANT, 0);
  addmess(as_method(described_text), const_cast<char*>("description"), A_CANT, 0);
}

// ---- test.plain: "description" is an ordinary message, no assist --------

void* g_plain_jit = nullptr;
t_messlist* g_plain_max = nullptr;
int g_plain_description_sent = 0;

void* plain_jit_new() { return jit_object_alloc(g_plain_jit); }

void plain_description(void*, t_symbol*, long, t_atom*) { ++g_plain_description_sent; }

void* plain_new(t_symbol*, long argc, t_atom* argv) {
  void* x = max_jit_obex_new(g_plain_max, gensym("test_plain"));
  if (!x) return nullptr;
  max_jit_mop_setup_simple(x, jit_object_new(gensym("test_plain")), argc, argv);
  return x;
}

void plain_main() {
  void* c = jit_class_new("test_plain", as_method(plain_jit_new), as_method(jit_free), sizeof(Jit), 0L);
  g_plain_jit = c;
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(1), static_cast<t_atom_long>(1));
  jit_class_addadornment(c, static_cast<t_jit_object*>(mop));
  jit_class_addmethod(c, as_method(described_calc), "matrix_calc", A_CANT, 0L);
  jit_class_register(c);
  setup(&g_plain_max, as_method(plain_new), as_method(described_free), sizeof(Wrapper), nullptr,
        A_GIMME, 0);
  void* classex = max_jit_classex_setup(offsetof(Wrapper, obex));
  void* q = jit_class_findbyname(gensym("test_plain"));
  max_jit_classex_mop_wrap(classex, q, 0);
  max_jit_classex_standard_wrap(classex, q, 0);
  addmess(as_method(plain_description), const_cast<char*>("description"), A_GIMME, 0);
}

void register_objects() {
  static bool done = [] {
    zelk::host::set_console_echo(false);
    zelk::host::register_object_main("test.described", described_main);
    zelk::host::register_object_main("test.plain", plain_main);
    return true;
  }();
  (void)done;
}

std::unique_ptr<Box> make(const std::string& text) {
  register_objects();
  std::string why;
  auto b = Box::create(text, &why);
  EXPECT_TRUE(b) << text << ": " << why;
  return b;
}

bool has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

std::vector<long long> longs(const std::vector<t_atom>& atoms) {
  std::vector<long long> v;
  for (const t_atom& a : atoms) {
    EXPECT_EQ(a.a_type, A_LONG);
    v.push_back(a.a_w.w_long);
  }
  return v;
}

std::vector<double> floats(const std::vector<t_atom>& atoms) {
  std::vector<double> v;
  for (const t_atom& a : atoms) {
    EXPECT_EQ(a.a_type, A_FLOAT);
    v.push_back(a.a_w.w_float);
  }
  return v;
}

TEST(ClassDescription, ReadFromTheDirectCallMethodWithoutAnObject) {
  auto b = make("test.described");
  ASSERT_TRUE(b);
  ClassInfo info;
  ASSERT_TRUE(zelk::host::class_info("test.described", &info));
  EXPECT_EQ(info.description, "doubles nothing, describes itself");
  EXPECT_EQ(g_object_asked, nullptr);
  EXPECT_FALSE(has(info.messages, "description"));
  EXPECT_FALSE(has(info.messages, "assist"));
  EXPECT_FALSE(b->send_text("description"));  // no patch can send it
}

TEST(ClassDescription, AnOrdinaryMessageOfThatNameIsNotTheText) {
  auto b = make("test.plain");
  ASSERT_TRUE(b);
  ClassInfo info;
  ASSERT_TRUE(zelk::host::class_info("test.plain", &info));
  EXPECT_EQ(info.description, "");
  EXPECT_EQ(g_plain_description_sent, 0);  // reading the class info sent nothing
  EXPECT_TRUE(has(info.messages, "description"));
  EXPECT_TRUE(b->send_text("description"));
  EXPECT_EQ(g_plain_description_sent, 1);
}

TEST(BoxAssist, InletsAndOutletsOfTheWrapperClass) {
  auto b = make("test.described");
  ASSERT_TRUE(b);
  ASSERT_EQ(b->inlet_count(), 2);
  ASSERT_EQ(b->outlet_count(), 2);  // matrix out, dumpout
  EXPECT_EQ(b->assist(1, 0), "(matrix) left");
  EXPECT_EQ(b->assist(1, 1), "(matrix) right");
  EXPECT_EQ(b->assist(2, 0), std::string(511, 'x'));  // a full buffer comes back whole
  // A fresh buffer every time: nothing written is no text, not the last one.
  EXPECT_EQ(b->assist(2, 1), "");
  // Ports the box does not have and directions Max never uses are not asked.
  EXPECT_EQ(b->assist(1, 2), "");
  EXPECT_EQ(b->assist(2, 2), "");
  EXPECT_EQ(b->assist(2, -1), "");
  EXPECT_EQ(b->assist(0, 0), "");
  EXPECT_EQ(b->assist(3, 0), "");
}

TEST(BoxAssist, AClassWithoutAssistGivesNoText) {
  auto b = make("test.plain");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->inlet_count(), 1);
  EXPECT_EQ(b->assist(1, 0), "");
  EXPECT_EQ(b->assist(2, 0), "");
}

TEST(BoxAttribute, CurrentValuesAsAtoms) {
  auto b = make("test.described @level 6");
  ASSERT_TRUE(b);
  EXPECT_EQ(longs(b->attribute("level")), std::vector<long long>{6});
  EXPECT_EQ(longs(b->attribute("pair")), (std::vector<long long>{4, 5}));
  ASSERT_TRUE(b->send_text("pair 9"));
  EXPECT_EQ(longs(b->attribute("pair")), std::vector<long long>{9});  // the array's count follows
  // The wrapper's own attributes are found after the computing object's.
  EXPECT_EQ(longs(b->attribute("outputmode")), std::vector<long long>{1});
  EXPECT_TRUE(b->attribute("nosuch").empty());
  EXPECT_TRUE(b->attribute("").empty());
}

TEST(BoxAttribute, AGetterGivingMoreValuesThanItsCountIsReadWhole) {
  auto b = make("test.described");
  ASSERT_TRUE(b);
  EXPECT_EQ(longs(b->attribute("many")), (std::vector<long long>{1, 2, 3, 4, 5}));
}

// ---- the built plug-ins ------------------------------------------------------

class PluginReference : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = zelk::host::plugin_dirs();
    zelk::host::set_console_echo(false);
    const std::string dir = std::string(ZELK_BUILD_DIR) + "/plugins";
    if (!std::filesystem::exists(dir + "/zelk.sum.so")) GTEST_SKIP() << "plug-ins not built";
    zelk::host::set_plugin_dirs({dir});
  }
  void TearDown() override { zelk::host::set_plugin_dirs(saved_); }

  static std::unique_ptr<Box> box(const std::string& text) {
    std::string why;
    auto b = Box::create(text, &why);
    EXPECT_TRUE(b) << text << ": " << why;
    return b;
  }

  std::vector<std::string> saved_;
};

TEST_F(PluginReference, EveryObjectHasItsOwnOneLineDescription) {
  const auto names = zelk::host::available_objects();
  ASSERT_GE(names.size(), 20u);
  std::set<std::string> seen;
  for (const auto& name : names) {
    std::string why;
    ASSERT_TRUE(zelk::host::load_object(name, &why)) << why;
    ClassInfo info;
    ASSERT_TRUE(zelk::host::class_info(name, &info)) << name;
    EXPECT_FALSE(info.description.empty()) << name;
    EXPECT_EQ(info.description.find('\n'), std::string::npos) << name;
    // A binding that copied another's line would describe the wrong object.
    EXPECT_TRUE(seen.insert(info.description).second) << name << ": " << info.description;
    EXPECT_FALSE(has(info.messages, "description")) << name;
    EXPECT_FALSE(has(info.messages, "assist")) << name;
  }
}

TEST_F(PluginReference, ListObjectAssistTexts) {
  auto s = box("zelk.sum");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->inlet_count(), 1);
  ASSERT_EQ(s->outlet_count(), 2);
  EXPECT_EQ(s->assist(1, 0), "(matrix) in");
  EXPECT_EQ(s->assist(2, 0), "(list) sum");
  EXPECT_EQ(s->assist(2, 1), "dumpout");
  EXPECT_EQ(s->assist(2, 2), "");
  EXPECT_FALSE(s->send_text("description"));

  auto m = box("zelk.moments");
  ASSERT_TRUE(m);
  ASSERT_EQ(m->outlet_count(), 5);
  EXPECT_EQ(m->assist(2, 3), "(list) Mass");
  EXPECT_EQ(m->assist(2, 4), "dumpout");
}

TEST_F(PluginReference, MatrixObjectAssistTexts) {
  auto h = box("zelk.hough");
  ASSERT_TRUE(h);
  EXPECT_EQ(h->inlet_count(), 1);
  ASSERT_EQ(h->outlet_count(), 2);
  EXPECT_EQ(h->assist(1, 0), "(matrix) in");
  EXPECT_EQ(h->assist(2, 0), "(matrix) out");
  EXPECT_EQ(h->assist(2, 1), "dumpout");
}

TEST_F(PluginReference, DefaultsOfANewBox) {
  auto h = box("zelk.hough");
  ASSERT_TRUE(h);
  EXPECT_EQ(floats(h->attribute("rho")), std::vector<double>{4.0});
  ASSERT_EQ(h->attribute("theta").size(), 1u);
  EXPECT_NEAR(floats(h->attribute("theta"))[0], 0.0872664626, 1e-12);

  auto f = box("zelk.floodfill");
  ASSERT_TRUE(f);
  EXPECT_EQ(longs(f->attribute("seed")), (std::vector<long long>{0, 0}));
  ASSERT_TRUE(f->send_text("seed 3 4"));
  EXPECT_EQ(longs(f->attribute("seed")), (std::vector<long long>{3, 4}));

  auto l = box("zelk.label @mode 1");
  ASSERT_TRUE(l);
  EXPECT_EQ(longs(l->attribute("mode")), std::vector<long long>{1});  // char cells read as longs
  EXPECT_EQ(longs(l->attribute("charmode")), std::vector<long long>{0});

  // Hidden from a patch, still the host's to read; an empty array is no atoms.
  auto c = box("zelk.centroids");
  ASSERT_TRUE(c);
  EXPECT_EQ(floats(c->attribute("centroids")), (std::vector<double>{-1, -1}));
  auto s = box("zelk.sum");
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->attribute("sum").empty());
}

}  // namespace
