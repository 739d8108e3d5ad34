// Attributes of a computing object: types, clip filters, arrays, the getter
// protocol, and what a patch may get or set compared with plug-in code.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

using zelk::host::Event;

t_atom L(t_atom_long v) {
  t_atom a;
  jit_atom_setlong(&a, v);
  return a;
}
t_atom F(double v) {
  t_atom a;
  jit_atom_setfloat(&a, v);
  return a;
}
t_atom S(const char* s) {
  t_atom a;
  jit_atom_setsym(&a, gensym(s));
  return a;
}

std::vector<std::string> console(const zelk::host::Box& b) {
  std::vector<std::string> lines;
  for (const Event& e : b.events())
    if (e.kind == Event::Kind::Console) lines.push_back(e.text);
  return lines;
}

TEST(AttributeTypes, ScalarsAreStoredInPlace) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  b->send(gensym("c"), {L(300)});
  EXPECT_EQ(x->c, 300 & 0xFF);
  b->send(gensym("l"), {F(-3.9)});
  EXPECT_EQ(x->l, -3);  // float to long truncates toward zero
  b->send(gensym("l"), {L(1LL << 40), L(5)});
  EXPECT_EQ(x->l, 1LL << 40);  // a 64-bit long here, first atom only
  b->send(gensym("f32"), {L(2)});
  EXPECT_FLOAT_EQ(x->f32, 2.0f);
  b->send(gensym("f64"), {F(0.125)});
  EXPECT_DOUBLE_EQ(x->f64, 0.125);
  b->send(gensym("sym"), {S("hello")});
  EXPECT_EQ(x->sym, gensym("hello"));
  b->send(gensym("atom"), {S("any")});
  EXPECT_EQ(x->atom.a_type, A_SYM);
  EXPECT_TRUE(console(*b).empty());
}

// Max stores "long" as a C long (4 bytes in the Windows DLLs) and
// "atom_long" as a t_atom_long: each member is written at its own size.
TEST(AttributeTypes, LongIsAPlatformLongAndAtomLongAnAtomLong) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  x->al = -1;
  b->send(gensym("l"), {L(-5)});
  EXPECT_EQ(x->l, -5L);
  EXPECT_EQ(x->al, -1);  // the next member is untouched
  b->send(gensym("al"), {L(3 + (t_atom_long{5} << 32))});
  EXPECT_EQ(x->al, 3 + (t_atom_long{5} << 32));
  EXPECT_EQ(jit_attr_getlong(x, gensym("al")), 3 + (t_atom_long{5} << 32));
  EXPECT_TRUE(console(*b).empty());
}

TEST(AttributeTypes, WrongKindOfValueIsRefused) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  x->l = 4;
  b->send(gensym("l"), {S("four")});
  EXPECT_EQ(x->l, 4);
  b->send(gensym("sym"), {L(3)});
  EXPECT_EQ(x->sym, gensym("none"));
  b->send(gensym("l"), {});
  EXPECT_EQ(x->l, 4);
  EXPECT_EQ(console(*b).size(), 3u);
}

TEST(AttributeClip, ClipsOnEverySet) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  b->send(gensym("clipped"), {L(11)});
  EXPECT_EQ(x->clipped, 10);
  b->send(gensym("clipped"), {L(-5)});
  EXPECT_EQ(x->clipped, 0);
  b->send(gensym("clipped"), {F(9.99)});
  EXPECT_EQ(x->clipped, 9);
  b->send(gensym("clipped"), {F(1e300)});
  EXPECT_EQ(x->clipped, 10);
  jit_attr_setfloat(x, gensym("fclipped"), 1.5);
  EXPECT_DOUBLE_EQ(x->fclipped, 1.0);
  jit_attr_setlong(x, gensym("fclipped"), -2);
  EXPECT_DOUBLE_EQ(x->fclipped, -1.0);
  jit_attr_setlong(x, gensym("clipped"), 1000);  // plug-in code is filtered too
  EXPECT_EQ(x->clipped, 10);
}

TEST(AttributeArray, TakesAtMostMaxCountAndStoresTheCount) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  b->send(gensym("arr"), {F(1), F(2), F(3), F(4), F(5), F(6)});
  EXPECT_EQ(x->count, 4);
  EXPECT_FLOAT_EQ(x->arr[3], 4.0f);
  b->send(gensym("arr"), {L(9)});
  EXPECT_EQ(x->count, 1);
  EXPECT_FLOAT_EQ(x->arr[0], 9.0f);
  b->send(gensym("arr"), {});
  EXPECT_EQ(x->count, 0);
  t_atom_long vals[3] = {7, 8, 9};
  jit_attr_setlong_array(x, gensym("arr"), 3, vals);
  t_atom_long back[8] = {};
  EXPECT_EQ(jit_attr_getlong_array(x, gensym("arr"), 8, back), 3);
  EXPECT_EQ(back[2], 9);
  EXPECT_EQ(jit_attr_getlong_array(x, gensym("arr"), 2, back), 2);
}

TEST(AttributeGetter, AllocatesWhenAskedAndFillsABufferOtherwise) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  long count = 0;
  t_atom* atoms = nullptr;
  auto before = zelk::host::memory();
  EXPECT_EQ(jit_object_method(x, gensym("getarr"), &count, &atoms), nullptr);
  ASSERT_NE(atoms, nullptr);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(atoms[0].a_type, A_FLOAT);
  EXPECT_DOUBLE_EQ(atoms[1].a_w.w_float, 2.5);
  EXPECT_EQ(zelk::host::memory().allocations, before.allocations + 1);
  jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes);

  t_atom buf[1];
  t_atom* p = buf;
  count = 1;
  jit_object_method(x, gensym("getarr"), &count, &p);
  EXPECT_EQ(p, buf);
  EXPECT_EQ(count, 1);  // truncated to the buffer
  EXPECT_DOUBLE_EQ(buf[0].a_w.w_float, 1.5);
  t_atom big[8];
  p = big;
  count = 8;
  jit_object_method(x, gensym("getc"), &count, &p);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(big[0].a_type, A_LONG);

  x->count = 0;  // an empty value hands out nothing
  count = 0;
  atoms = nullptr;
  jit_object_method(x, gensym("getarr"), &count, &atoms);
  EXPECT_EQ(atoms, nullptr);
  EXPECT_EQ(count, 0);
}

TEST(AttributeFlags, PatchAccessFollowsTheFlagKinds) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  const int dump = b->outlet_count() - 1;
  // Ordinary: a patch may get and set.
  EXPECT_TRUE(b->send_text("l 12"));
  b->clear_events();
  EXPECT_TRUE(b->send_text("getl"));
  ASSERT_EQ(b->events().size(), 1u);
  const Event& e = b->events()[0];
  EXPECT_EQ(e.outlet, dump);
  EXPECT_EQ(e.selector, gensym("l"));
  ASSERT_EQ(e.atoms.size(), 1u);
  EXPECT_EQ(e.atoms[0].a_w.w_long, 12);

  // Output: gettable, not settable.
  b->clear_events();
  std::string why;
  EXPECT_FALSE(b->send_text("out 3", &why));
  EXPECT_EQ(why, "test.probe: attribute out is not settable");
  EXPECT_EQ(x->out, 7);
  EXPECT_TRUE(b->send_text("getout"));
  EXPECT_EQ(b->events().back().atoms[0].a_w.w_long, 7);

  // Hidden: neither, and a get sends nothing.
  b->clear_events();
  EXPECT_FALSE(b->send_text("hidden 1"));
  EXPECT_FALSE(b->send_text("gethidden"));
  EXPECT_EQ(x->hidden, 9);
  for (const Event& ev : b->events()) EXPECT_EQ(ev.kind, Event::Kind::Console);
  EXPECT_EQ(console(*b).size(), 2u);

  // Plug-in code ignores the user opacity.
  EXPECT_EQ(jit_attr_setlong(x, gensym("out"), 5), JIT_ERR_NONE);
  EXPECT_EQ(jit_attr_getlong(x, gensym("out")), 5);
  EXPECT_EQ(jit_attr_setlong(x, gensym("hidden"), 1), JIT_ERR_NONE);
  EXPECT_EQ(jit_attr_getlong(x, gensym("hidden")), 1);
  t_atom two = L(2);
  EXPECT_EQ(jit_object_method(x, gensym("hidden"), reinterpret_cast<void*>(1L), &two), nullptr);
  EXPECT_EQ(x->hidden, 2);  // the setter by selector, with (argc, argv)
  long count = 0;
  t_atom* atoms = nullptr;
  jit_object_method(x, gensym("gethidden"), &count, &atoms);
  ASSERT_EQ(count, 1);
  jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
}

TEST(AttributeFlags, BoxArgumentsCannotSetOpaqueAttributes) {
  auto b = probe::make("test.probe @out 1 @l 3 @hidden 2");
  EXPECT_EQ(probe::jit(*b)->out, 7);
  EXPECT_EQ(probe::jit(*b)->hidden, 9);
  EXPECT_EQ(probe::jit(*b)->l, 3);
  EXPECT_EQ(console(*b).size(), 2u);
}

TEST(AttributeFlags, OpaqueFlagsBindPluginCodeToo) {
  void* a = jit_object_new(_jit_sym_jit_attr_offset, "sealed", _jit_sym_long,
                           static_cast<long>(JIT_ATTR_SET_OPAQUE | JIT_ATTR_GET_OPAQUE), nullptr,
                           nullptr, static_cast<long>(sizeof(t_object)));
  void* c = jit_class_new("test_sealed", nullptr, nullptr, sizeof(t_object) + 8, 0L);
  jit_class_addattr(c, static_cast<t_jit_object*>(a));
  void* o = jit_object_alloc(c);
  EXPECT_NE(jit_attr_setlong(o, gensym("sealed"), 3), JIT_ERR_NONE);
  EXPECT_EQ(jit_attr_getlong(o, gensym("sealed")), 0);
  jit_object_free(o);
}

TEST(AttributeObjects, BadDeclarationsAreRefused) {
  EXPECT_EQ(jit_object_new(_jit_sym_jit_attr_offset, "x", gensym("int16"), 0L, nullptr, nullptr, 8L),
            nullptr);
  EXPECT_EQ(jit_object_new(_jit_sym_jit_attr_offset, nullptr, _jit_sym_long, 0L, nullptr, nullptr, 8L),
            nullptr);
  // A member placed beyond the record is never written.
  void* a = jit_object_new(_jit_sym_jit_attr_offset, "far", _jit_sym_float64, 0L, nullptr, nullptr,
                           1000L);
  void* c = jit_class_new("test_far", nullptr, nullptr, sizeof(t_object) + 8, 0L);
  jit_class_addattr(c, static_cast<t_jit_object*>(a));
  void* o = jit_object_alloc(c);
  EXPECT_EQ(jit_attr_setfloat(o, gensym("far"), 1.0), JIT_ERR_OUT_OF_BOUNDS);
  EXPECT_EQ(jit_attr_getfloat(o, gensym("far")), 0.0);
  EXPECT_NE(jit_attr_setlong(o, gensym("missing"), 1), JIT_ERR_NONE);
  jit_object_free(o);
}

TEST(AttributeInfo, ClassInfoDescribesWhatWasRegistered) {
  auto b = probe::make("test.probe");
  zelk::host::ClassInfo info;
  ASSERT_TRUE(zelk::host::class_info("test.probe", &info));
  EXPECT_FALSE(zelk::host::class_info("test.unloaded", &info));
  ASSERT_TRUE(zelk::host::class_info("test.probe", &info));
  EXPECT_EQ(info.jit_name, "test_probe");
  EXPECT_EQ(info.matrix_inputs, 1);
  EXPECT_EQ(info.matrix_outputs, 1);
  auto find = [&](const std::string& n) {
    for (auto& a : info.attributes)
      if (a.name == n) return a;
    ADD_FAILURE() << n;
    return zelk::host::AttributeInfo{};
  };
  EXPECT_TRUE(find("out").user_gettable);
  EXPECT_FALSE(find("out").user_settable);
  EXPECT_FALSE(find("hidden").user_gettable);
  EXPECT_EQ(find("arr").max_count, 4);
  EXPECT_TRUE(find("clipped").clip_max);
  EXPECT_EQ(find("clipped").max, 10);
  auto has = [&](const std::string& m) {
    return std::find(info.messages.begin(), info.messages.end(), m) != info.messages.end();
  };
  EXPECT_TRUE(has("reset"));
  EXPECT_TRUE(has("jit_matrix"));
  EXPECT_FALSE(has("matrix_calc"));
  EXPECT_FALSE(has("assist"));
}

// Each matrix input and output as its operator declared it, for the
// reference pages' matrix operator table.
TEST(AttributeInfo, ClassInfoDescribesTheMatrixInputsAndOutputs) {
  using Types = std::vector<std::string>;
  const Types all{"char", "long", "float32", "float64"};
  const struct {
    const char* name;
    std::size_t inputs, outputs;
    Types in_types, out_types;
    bool planelink, dimlink;
    long out_dimcounts[2];
  } cases[] = {
      {"test.probe", 1, 1, all, all, true, true, {1, 32}},
      {"test.char", 1, 1, {"char"}, {"char"}, true, true, {1, 32}},
      {"test.f64in", 1, 1, {"float64"}, all, true, true, {1, 32}},
      {"test.planeoff", 1, 1, all, all, false, true, {1, 32}},
      {"test.nolink", 1, 1, all, all, false, false, {1, 32}},
      {"test.sized", 1, 1, all, all, true, true, {2, 2}},
      {"test.twoin", 2, 1, all, all, true, true, {1, 32}},
      {"test.two", 1, 2, all, all, true, true, {1, 32}},
  };
  for (const auto& c : cases) {
    probe::make(c.name);
    zelk::host::ClassInfo info;
    ASSERT_TRUE(zelk::host::class_info(c.name, &info)) << c.name;
    ASSERT_EQ(info.inputs.size(), c.inputs) << c.name;
    ASSERT_EQ(info.outputs.size(), c.outputs) << c.name;
    EXPECT_EQ(info.inputs[0].types, c.in_types) << c.name;
    const zelk::host::MatrixIoInfo& out = info.outputs[0];
    EXPECT_EQ(out.types, c.out_types) << c.name;
    EXPECT_EQ(out.planelink, c.planelink) << c.name;
    EXPECT_EQ(out.dimlink, c.dimlink) << c.name;
    EXPECT_EQ(out.mindimcount, c.out_dimcounts[0]) << c.name;
    EXPECT_EQ(out.maxdimcount, c.out_dimcounts[1]) << c.name;
    EXPECT_EQ(out.maxplanecount, 32) << c.name;
  }
}

}  // namespace
