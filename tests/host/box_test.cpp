// Object boxes through the host: creation, outlets, messages, matrices
// flowing through the default jit_matrix handler, and the patch engine.
#include <gtest/gtest.h>

#include <cstring>

#include "probe.h"

namespace {

using probe::Owned;

using zelk::host::Box;
using zelk::host::Event;
using zelk::host::event_matrix;
using zelk::host::matrix_info;
using zelk::host::new_matrix;

std::vector<const Event*> of_kind(const Box& b, Event::Kind k) {
  std::vector<const Event*> out;
  for (const Event& e : b.events())
    if (e.kind == k) out.push_back(&e);
  return out;
}

int g_main_runs = 0;
void counting_main() {
  ++g_main_runs;
  probe::register_all();
}

TEST(BoxCreate, UnknownObjectFailsWithAClearReason) {
  probe::register_all();
  std::string why;
  EXPECT_EQ(Box::create("zelk.nosuchthing 1 2", &why), nullptr);
  EXPECT_NE(why.find("no object named zelk.nosuchthing in "), std::string::npos) << why;
  EXPECT_EQ(Box::create("   ", &why), nullptr);
  EXPECT_EQ(Box::create("../etc/passwd", &why), nullptr);
}

TEST(BoxCreate, MalformedAttributeArgumentsFail) {
  probe::register_all();
  std::string why;
  EXPECT_EQ(Box::create("test.probe @", &why), nullptr);
  EXPECT_EQ(why, "test.probe: @ without an attribute name");
  EXPECT_EQ(Box::create("test.probe @l @c 1", &why), nullptr);
  EXPECT_EQ(why, "test.probe: attribute @l needs a value");
  EXPECT_EQ(Box::create("test.probe @c 1 @l", &why), nullptr);
}

TEST(BoxCreate, CreatorFailureReportsItsConsoleLines) {
  probe::register_all();
  std::string why;
  EXPECT_EQ(Box::create("test.fail", &why), nullptr);
  EXPECT_EQ(why, "test.fail: could not allocate object");
}

TEST(BoxCreate, UnknownAttributeArgumentPostsButCreates) {
  auto b = probe::make("test.probe @nosuch 3 @l 2");
  EXPECT_EQ(probe::jit(*b)->l, 2);
  auto lines = of_kind(*b, Event::Kind::Console);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->text, "test.probe: unknown attribute \"nosuch\"");
}

TEST(BoxCreate, MainRunsOncePerProcess) {
  static const bool registered = zelk::host::register_object_main("test.once", counting_main);
  ASSERT_TRUE(registered);
  EXPECT_FALSE(zelk::host::register_object_main("test.once", counting_main));
  std::string why;
  // Its main registers other classes, none named test.once.
  EXPECT_FALSE(zelk::host::load_object("test.once", &why));
  EXPECT_FALSE(zelk::host::load_object("test.once", &why));
  EXPECT_EQ(g_main_runs, 1);
  EXPECT_NE(why.find("no Max class"), std::string::npos) << why;
  auto a = probe::make("test.probe");
  auto b = probe::make("test.probe");
  EXPECT_NE(a->jit_object(), b->jit_object());
}

TEST(BoxOutlets, LastCreatedIsLeftmostAndDumpIsRightmost) {
  auto b = probe::make("test.two");
  ASSERT_EQ(b->outlet_count(), 3);
  Owned in(new_matrix(_jit_sym_char, 1, {4, 4}));
  b->send_matrix(in.get());
  auto out = of_kind(*b, Event::Kind::Outlet);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0]->outlet, 1);  // rightmost matrix outlet first
  EXPECT_EQ(out[1]->outlet, 0);
  EXPECT_EQ(event_matrix(*out[1]), max_jit_mop_getoutput(b->object(), 1));
  EXPECT_EQ(event_matrix(*out[0]), max_jit_mop_getoutput(b->object(), 2));
  char text[64] = "untouched";
  max_jit_mop_assist(b->object(), nullptr, 2, 2, text);
  EXPECT_STREQ(text, "dumpout");
  max_jit_mop_assist(b->object(), nullptr, 2, 1, text);
  EXPECT_STREQ(text, "(matrix) out");
  max_jit_mop_assist(b->object(), nullptr, 1, 0, text);
  EXPECT_STREQ(text, "(matrix) in");
  std::strcpy(text, "untouched");
  max_jit_mop_assist(b->object(), nullptr, 2, 3, text);
  EXPECT_STREQ(text, "untouched");
}

TEST(BoxMessages, UnknownMessageIsAConsoleLine) {
  auto b = probe::make("test.probe");
  std::string why;
  EXPECT_FALSE(b->send_text("frobnicate 1", &why));
  EXPECT_EQ(why, "test.probe: doesn't understand \"frobnicate\"");
  EXPECT_FALSE(b->send_text("matrix_calc"));  // direct-call methods are not messages
  EXPECT_FALSE(b->send_text("assist"));
  auto lines = of_kind(*b, Event::Kind::Console);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]->text, why);
}

TEST(BoxMessages, JitterMethodsWithAndWithoutArguments) {
  auto b = probe::make("test.probe");
  probe::Jit* x = probe::jit(*b);
  EXPECT_TRUE(b->send_text("reset"));
  EXPECT_TRUE(b->send_text("reset 1 2"));
  EXPECT_EQ(x->resets, 2);
  EXPECT_TRUE(b->send_text("add 3 0.25"));
  EXPECT_TRUE(b->send_text("add 2.9 1"));  // converted per declared type
  EXPECT_EQ(x->l, 5);
  EXPECT_DOUBLE_EQ(x->f64, 1.25);
  EXPECT_TRUE(b->send_text("add"));  // missing arguments are 0
  EXPECT_EQ(x->l, 5);
}

TEST(BoxConsole, LinesBelongToTheBoxThatRuns) {
  auto a = probe::make("test.probe");
  auto b = probe::make("test.probe");
  a->send_text("nope");
  b->send_text("other");
  b->send_text("third");
  ASSERT_EQ(of_kind(*a, Event::Kind::Console).size(), 1u);
  ASSERT_EQ(of_kind(*b, Event::Kind::Console).size(), 2u);
  EXPECT_EQ(of_kind(*b, Event::Kind::Console)[1]->text, "test.probe: doesn't understand \"third\"");
  std::vector<std::string> seen;
  a->on_event = [&](const Event& e) {
    seen.push_back(e.text);
    a->clear_events();  // a listener may clear while it is told
  };
  a->send_text("again");
  EXPECT_EQ(seen.size(), 1u);
}

TEST(BoxMatrix, OutputFollowsTheInput) {
  auto b = probe::make("test.probe");
  Owned in(new_matrix(_jit_sym_float32, 3, {7, 5}));
  reinterpret_cast<float*>(zelk::host::matrix_data(in.get()))[0] = 0.5f;
  b->send_matrix(in.get());
  ASSERT_EQ(of_kind(*b, Event::Kind::Outlet).size(), 1u);
  void* out = event_matrix(*of_kind(*b, Event::Kind::Outlet)[0]);
  ASSERT_NE(out, nullptr);
  t_jit_matrix_info i = matrix_info(out);
  EXPECT_EQ(i.type, _jit_sym_float32);
  EXPECT_EQ(i.planecount, 3);
  EXPECT_EQ(i.dimcount, 2);
  EXPECT_EQ(i.dim[0], 7);
  EXPECT_EQ(i.dim[1], 5);
  EXPECT_EQ(reinterpret_cast<float*>(zelk::host::matrix_data(out))[0], 0.5f);
  EXPECT_EQ(probe::jit(*b)->seen_matrix, in.get());  // passed as it is
}

TEST(BoxMatrix, NolinkOutputKeepsItsShape) {
  auto b = probe::make("test.nolink");
  void* out = max_jit_mop_getoutput(b->object(), 1);
  t_jit_matrix_info before = matrix_info(out);
  Owned in(new_matrix(_jit_sym_float64, 2, {9, 9, 9}));
  b->send_matrix(in.get());
  t_jit_matrix_info after = matrix_info(out);
  EXPECT_EQ(after.type, before.type);
  EXPECT_EQ(after.planecount, before.planecount);
  EXPECT_EQ(after.dimcount, before.dimcount);
  EXPECT_EQ(after.dim[0], before.dim[0]);
}

TEST(BoxMatrix, PlanelinkOffKeepsOnlyThePlaneCount) {
  auto b = probe::make("test.planeoff");
  void* out = max_jit_mop_getoutput(b->object(), 1);
  long planes = matrix_info(out).planecount;
  Owned in(new_matrix(_jit_sym_long, planes == 1 ? 2 : 1, {6, 3}));
  b->send_matrix(in.get());
  t_jit_matrix_info i = matrix_info(out);
  EXPECT_EQ(i.planecount, planes);
  EXPECT_EQ(i.type, _jit_sym_long);
  EXPECT_EQ(i.dim[0], 6);
}

TEST(BoxMatrix, TypeConstraintConvertsTheInput) {
  auto b = probe::make("test.f64in");
  Owned in(new_matrix(_jit_sym_float32, 1, {3, 2}));
  auto* d = reinterpret_cast<float*>(zelk::host::matrix_data(in.get()));
  d[0] = 0.75f;
  b->send_matrix(in.get());
  probe::Jit* x = probe::jit(*b);
  EXPECT_EQ(x->seen_type, _jit_sym_float64);
  EXPECT_NE(x->seen_matrix, in.get());
  void* own = max_jit_mop_getinput(b->object(), 1);
  EXPECT_EQ(x->seen_matrix, own);
  EXPECT_DOUBLE_EQ(reinterpret_cast<double*>(zelk::host::matrix_data(own))[0], 0.75);
  EXPECT_EQ(matrix_info(own).dim[1], 2);
}

TEST(BoxMatrix, SingleTypeCharConvertsFloatInputAndOutput) {
  auto b = probe::make("test.char");
  Owned in(new_matrix(_jit_sym_float32, 1, {2, 2}));
  reinterpret_cast<float*>(zelk::host::matrix_data(in.get()))[1] = 1.0f;
  b->send_matrix(in.get());
  probe::Jit* x = probe::jit(*b);
  EXPECT_EQ(x->seen_type, _jit_sym_char);
  void* out = event_matrix(*of_kind(*b, Event::Kind::Outlet).at(0));
  EXPECT_EQ(matrix_info(out).type, _jit_sym_char);
  EXPECT_EQ(static_cast<unsigned char>(zelk::host::matrix_data(out)[1]), 255);
}

TEST(BoxMatrix, ErrorCodeIsRecordedAndNothingSent) {
  auto b = probe::make("test.probe @result 1297306704");  // 'MSTP'
  Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
  b->send_matrix(in.get());
  auto errors = of_kind(*b, Event::Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->code, JIT_ERR_MISMATCH_TYPE);
  EXPECT_TRUE(of_kind(*b, Event::Kind::Outlet).empty());
}

TEST(BoxMatrix, OutputmodeZeroSuppressesEverything) {
  auto b = probe::make("test.probe @outputmode 0");
  EXPECT_EQ(max_jit_mop_getoutputmode(b->object()), 0);
  Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
  b->send_matrix(in.get());
  b->send_text("bang");
  EXPECT_TRUE(b->events().empty());
  EXPECT_EQ(probe::jit(*b)->calls, 0);
  EXPECT_TRUE(b->send_text("outputmode 1"));
  b->send_text("bang");  // resends without computing
  EXPECT_EQ(of_kind(*b, Event::Kind::Outlet).size(), 1u);
  EXPECT_EQ(probe::jit(*b)->calls, 0);
}

TEST(BoxMatrix, UnknownMatrixNameIsAConsoleLine) {
  auto b = probe::make("test.probe");
  t_atom a;
  jit_atom_setsym(&a, gensym("no_such_matrix_name"));
  b->send(_jit_sym_jit_matrix, {a});
  auto lines = of_kind(*b, Event::Kind::Console);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->text, "test.probe: no matrix named no_such_matrix_name");
  b->send(_jit_sym_jit_matrix, {});
  EXPECT_EQ(of_kind(*b, Event::Kind::Console).size(), 2u);
  EXPECT_EQ(probe::jit(*b)->calls, 0);
}

TEST(BoxMatrix, MatrixArgumentsSetTheOutput) {
  auto b = probe::make("test.probe 2 float32 8 6 @l 1");
  void* out = max_jit_mop_getoutput(b->object(), 1);
  t_jit_matrix_info i = matrix_info(out);
  EXPECT_EQ(i.planecount, 2);
  EXPECT_EQ(i.type, _jit_sym_float32);
  EXPECT_EQ(i.dimcount, 2);
  EXPECT_EQ(i.dim[0], 8);
  EXPECT_EQ(i.dim[1], 6);
  EXPECT_EQ(probe::jit(*b)->l, 1);
  auto c = probe::make("test.char 3 float32 5");  // constraints still apply
  EXPECT_EQ(matrix_info(max_jit_mop_getoutput(c->object(), 1)).type, _jit_sym_char);
  EXPECT_EQ(matrix_info(max_jit_mop_getoutput(c->object(), 1)).dim[0], 5);
}

TEST(BoxMatrix, SteadyStateAllocatesNothing) {
  auto b = probe::make("test.f64in");
  Owned in(new_matrix(_jit_sym_float32, 2, {64, 48}));
  b->send_matrix(in.get());
  b->clear_events();
  auto before = zelk::host::memory();
  for (int i = 0; i < 1000; ++i) {
    b->send_matrix(in.get());
    b->clear_events();
  }
  EXPECT_EQ(zelk::host::memory().allocations, before.allocations);
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes);
  EXPECT_EQ(probe::jit(*b)->calls, 1001);
}

TEST(BoxMatrix, OwnMatrixProcedureRunsInsteadOfTheDefault) {
  auto b = probe::make("test.mproc");
  Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
  b->send_matrix(in.get());
  auto out = of_kind(*b, Event::Kind::Outlet);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]->selector, gensym("done"));
  EXPECT_EQ(out[0]->outlet, b->outlet_count() - 1);
  EXPECT_FALSE(b->send_text("bang"));  // owned by the object, which has none
}

TEST(BoxMatrix, FreeingABoxReleasesItsMatrices) {
  auto before = zelk::host::memory();
  {
    auto b = probe::make("test.two 1 char 100 100");
    Owned in(new_matrix(_jit_sym_float32, 4, {50, 50}));
    b->send_matrix(in.get());
  }
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes);
}

TEST(BoxPatch, ConnectionsDeliverDepthFirstInOrder) {
  auto a = probe::make("test.probe");
  auto b = probe::make("test.char");
  auto c = probe::make("test.probe");
  a->connect(0, *b);
  a->connect(0, *c);
  b->connect(0, *c);
  std::vector<std::string> order;
  auto note = [&](const char* who) {
    return [&order, who](const Event& e) {
      if (e.kind == Event::Kind::Outlet) order.push_back(who);
    };
  };
  a->on_event = note("a");
  b->on_event = note("b");
  c->on_event = note("c");
  Owned in(new_matrix(_jit_sym_float32, 1, {3, 3}));
  a->send_matrix(in.get());
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c", "c"}));
  EXPECT_EQ(probe::jit(*c)->calls, 2);
  EXPECT_EQ(probe::jit(*c)->seen_type, _jit_sym_float32);  // the last one came from a
  b.reset();  // cords into and out of b go with it
  order.clear();
  a->send_matrix(in.get());
  EXPECT_EQ(order, (std::vector<std::string>{"a", "c"}));
}

TEST(BoxPatch, AFeedbackLoopStopsInsteadOfOverflowing) {
  auto a = probe::make("test.probe");
  a->connect(0, *a);
  Owned in(new_matrix(_jit_sym_char, 1, {1}));
  a->send_matrix(in.get());
  bool overflow = false;
  for (const Event& e : a->events())
    overflow = overflow || (e.kind == Event::Kind::Console && e.text == "test.probe: stack overflow");
  EXPECT_TRUE(overflow);
}

}  // namespace
