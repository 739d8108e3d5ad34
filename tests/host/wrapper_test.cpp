// The Max wrapper around every matrix object, through boxes: output modes,
// the wrapper's attributes as box arguments and messages with their getters
// on the dump outlet, and its own messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using probe::Owned;

using zelk::host::Box;
using zelk::host::Event;
using zelk::host::event_matrix;
using zelk::host::matrix_info;
using zelk::host::new_matrix;

std::vector<void*> matrices_sent(const Box& b) {
  std::vector<void*> out;
  for (const Event& e : b.events())
    if (void* m = event_matrix(e)) out.push_back(m);
  return out;
}

// What the dump outlet said, each message as "selector v1 v2 ...".
std::vector<std::string> dumped(const Box& b) {
  std::vector<std::string> out;
  for (const Event& e : b.events()) {
    if (e.kind != Event::Kind::Outlet || e.outlet != b.outlet_count() - 1) continue;
    std::string s = e.selector->s_name;
    for (const t_atom& a : e.atoms) {
      s += ' ';
      if (a.a_type == A_SYM)
        s += a.a_w.w_sym->s_name;
      else if (a.a_type == A_LONG)
        s += std::to_string(a.a_w.w_long);
      else
        s += std::to_string(a.a_w.w_float);
    }
    out.push_back(s);
  }
  return out;
}

TEST(WrapperOutputmode, EachModeAsMaxDefinesIt) {
  struct Case {
    long mode;
    long calls;      // matrix_calc calls for one matrix
    int sent;        // matrices sent
    bool the_input;  // the one sent is the input itself
  } const cases[] = {{0, 0, 0, false}, {1, 1, 1, false}, {2, 0, 1, true}, {3, 0, 1, false}};
  for (const Case& c : cases) {
    auto b = probe::make("test.probe @outputmode " + std::to_string(c.mode));
    Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
    b->send_matrix(in.get());
    EXPECT_EQ(probe::jit(*b)->calls, c.calls) << c.mode;
    auto sent = matrices_sent(*b);
    ASSERT_EQ(static_cast<int>(sent.size()), c.sent) << c.mode;
    if (c.sent) {
      EXPECT_EQ(sent[0] == in.get(), c.the_input) << c.mode;
      EXPECT_EQ(sent[0] == max_jit_mop_getoutput(b->object(), 1), !c.the_input) << c.mode;
    }
  }
}

// As Jitter's matrix operators do: mode 2 passes the input on through the
// leftmost output only, and outputs follow the input only when calculated,
// so mode 3 resends the last output as it was.
TEST(WrapperOutputmode, PassThroughIsLeftmostAndOnlyCalculatingAdapts) {
  auto two = probe::make("test.two @outputmode 2");
  Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
  two->send_matrix(in.get());
  auto sent = matrices_sent(*two);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], in.get());
  EXPECT_EQ(two->events().front().outlet, 0);

  auto b = probe::make("test.probe");
  b->send_matrix(in.get());
  ASSERT_TRUE(b->send_text("outputmode 3"));
  b->clear_events();
  Owned big(new_matrix(_jit_sym_long, 3, {5, 4}));
  b->send_matrix(big.get());
  sent = matrices_sent(*b);
  ASSERT_EQ(sent.size(), 1u);
  const t_jit_matrix_info i = matrix_info(sent[0]);
  EXPECT_EQ(i.type, _jit_sym_char);
  EXPECT_EQ(i.planecount, 1);
  EXPECT_EQ(i.dim[0], 2);
}

TEST(WrapperOutputmode, OwnMatrixProcedureRunsInEveryMode) {
  for (long mode : {0, 1, 2, 3}) {
    auto b = probe::make("test.mproc @outputmode " + std::to_string(mode));
    Owned in(new_matrix(_jit_sym_char, 1, {2, 2}));
    b->send_matrix(in.get());
    EXPECT_EQ(dumped(*b), std::vector<std::string>{"done"}) << mode;
  }
}

TEST(WrapperInputs, ARightHandMatrixIsKeptAsACopyUntilTheLeftOneArrives) {
  auto b = probe::make("test.twoin");
  {
    Owned right(zelk::host::new_matrix(_jit_sym_char, 4, {2, 2}));
    zelk::host::matrix_data(right.get())[0] = 42;
    b->send_matrix(right.get(), 1);
    zelk::host::matrix_data(right.get())[0] = 7;  // changed by its sender, then freed
  }
  EXPECT_EQ(probe::jit(*b)->calls, 0);
  Owned left(zelk::host::new_matrix(_jit_sym_char, 4, {2, 2}));
  b->send_matrix(left.get());
  EXPECT_EQ(probe::jit(*b)->calls, 1);
  EXPECT_EQ(probe::jit(*b)->seen_right, 42);
}

TEST(WrapperAttributes, BoxArgumentsAndMessagesAnswerOnTheDumpOutlet) {
  struct Case {
    const char* box;
    const char* message;  // sent after creation, or ""
    const char* get;
    const char* answer;
  } const cases[] = {
      {"test.probe", "", "getoutputmode", "outputmode 1"},
      {"test.probe @outputmode 2", "", "getoutputmode", "outputmode 2"},
      {"test.probe @outputmode 9", "", "getoutputmode", "outputmode 3"},  // clipped
      {"test.probe", "outputmode -1", "getoutputmode", "outputmode 0"},
      {"test.probe @adapt 0", "", "getadapt", "adapt 0"},
      {"test.probe @dim 8 6", "", "getdim", "dim 8 6"},
      {"test.probe", "dim 0 5", "getdim", "dim 1 5"},
      {"test.probe @type float32", "", "gettype", "type float32"},
      {"test.char @type float32", "", "gettype", "type char"},  // the operator's constraint
      {"test.probe @planecount 3", "", "getplanecount", "planecount 3"},
      {"test.probe", "planecount 99", "getplanecount", "planecount 32"},
      {"test.probe @out_dim 4", "", "getout_dim", "out_dim 4"},
      {"test.probe @out_type long", "", "getout_type", "out_type long"},
      {"test.probe @out_planecount 2", "", "getout_planecount", "out_planecount 2"},
      {"test.probe @out_name wrapper_test_out", "", "getout_name", "out_name wrapper_test_out"},
      {"test.f64in", "", "getin_type", "in_type float64"},
      {"test.probe 2 long 5 4", "", "getadapt", "adapt 0"},
      {"test.probe 2 long 5 4", "", "getdim", "dim 5 4"},
      // Jitter's limits: mindim/maxdim are sizes, mindimcount/maxdimcount
      // the number of dimensions, wherever the wrapper sizes an output.
      {"test.sized", "dim 10", "getdim", "dim 256 1"},
      {"test.sized @dim 2000 9 5", "", "getdim", "dim 1000 4"},
      {"test.sized 1 char 300 2", "", "getdim", "dim 300 2"},
  };
  for (const Case& c : cases) {
    auto b = probe::make(c.box);
    if (*c.message) {
      EXPECT_TRUE(b->send_text(c.message)) << c.box << " / " << c.message;
    }
    b->clear_events();
    EXPECT_TRUE(b->send_text(c.get)) << c.box;
    EXPECT_EQ(dumped(*b), std::vector<std::string>{c.answer}) << c.box << " / " << c.message;
  }
}

TEST(WrapperAttributes, WrongValuesAreRefusedAndChangeNothing) {
  for (const char* message : {"type banana", "type 3", "dim foo", "planecount bar", "outputmode x",
                              "out_name 4", "in_dim 3", "dim", "outputmode"}) {
    auto b = probe::make("test.probe @dim 8 6 @type long");
    std::string why;
    EXPECT_FALSE(b->send_text(message, &why)) << message;
    EXPECT_FALSE(why.empty()) << message;
    t_jit_matrix_info i = matrix_info(max_jit_mop_getoutput(b->object(), 1));
    EXPECT_EQ(i.type, _jit_sym_long) << message;
    EXPECT_EQ(i.dim[0], 8) << message;
    EXPECT_EQ(max_jit_mop_getoutputmode(b->object()), 1) << message;
  }
  std::string why;
  EXPECT_EQ(Box::create("test.probe @type banana", &why)->attribute("type")[0].a_w.w_sym, _jit_sym_char);
}

TEST(WrapperAttributes, AdaptOffKeepsTheOutputTheBoxNamed) {
  auto b = probe::make("test.probe @adapt 0 @dim 3 2 @type float32");
  Owned in(new_matrix(_jit_sym_char, 1, {5, 5}));
  b->send_matrix(in.get());
  t_jit_matrix_info i = matrix_info(max_jit_mop_getoutput(b->object(), 1));
  EXPECT_EQ(i.type, _jit_sym_float32);
  EXPECT_EQ(i.dim[0], 3);
  EXPECT_EQ(i.dim[1], 2);
  EXPECT_TRUE(b->send_text("adapt 1"));
  b->send_matrix(in.get());
  i = matrix_info(max_jit_mop_getoutput(b->object(), 1));
  EXPECT_EQ(i.type, _jit_sym_char);
  EXPECT_EQ(i.dim[0], 5);
}

TEST(WrapperAttributes, LimitsHoldWhenTheOutputFollowsTheInput) {
  auto b = probe::make("test.sized");
  Owned in(new_matrix(_jit_sym_char, 1, {5, 7, 3}));
  b->send_matrix(in.get());
  t_jit_matrix_info i = matrix_info(max_jit_mop_getoutput(b->object(), 1));
  EXPECT_EQ(i.dimcount, 2);
  EXPECT_EQ(i.dim[0], 256);
  EXPECT_EQ(i.dim[1], 4);
}

TEST(WrapperMessages, ClearGetattributesGetstate) {
  auto b = probe::make("test.probe @outputmode 3");
  void* out = max_jit_mop_getoutput(b->object(), 1);
  zelk::host::matrix_data(out)[0] = 7;
  EXPECT_TRUE(b->send_text("clear"));
  EXPECT_EQ(zelk::host::matrix_data(out)[0], 0);

  b->clear_events();
  EXPECT_TRUE(b->send_text("getattributes"));
  auto d = dumped(*b);
  ASSERT_EQ(d.size(), 1u);
  for (const char* name : {" l ", " outputmode ", " adapt ", " dim ", " out_name ", " in_type "})
    EXPECT_NE((d[0] + " ").find(name), std::string::npos) << name;
  EXPECT_EQ(d[0].find(" hidden "), std::string::npos);
  EXPECT_EQ(d[0].rfind("attributes ", 0), 0u);

  b->clear_events();
  EXPECT_TRUE(b->send_text("getstate"));
  d = dumped(*b);
  EXPECT_NE(std::find(d.begin(), d.end(), "outputmode 3"), d.end());
  EXPECT_NE(std::find(d.begin(), d.end(), "adapt 1"), d.end());
  EXPECT_NE(std::find(d.begin(), d.end(), "l 0"), d.end());
}

TEST(WrapperInfo, ClassInfoNamesTheWrappersAttributesApart) {
  probe::make("test.probe");
  zelk::host::ClassInfo ci;
  ASSERT_TRUE(zelk::host::class_info("test.probe", &ci));
  std::vector<std::string> names;
  for (const auto& a : ci.wrapper_attributes) {
    EXPECT_TRUE(a.wrapper);
    names.push_back(a.name);
  }
  for (const char* n : {"outputmode", "adapt", "dim", "type", "planecount", "out_dim", "out_name", "in_dim"})
    EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;
  for (const auto& a : ci.attributes) EXPECT_FALSE(a.wrapper) << a.name;
  EXPECT_EQ(ci.wrapper_messages, (std::vector<std::string>{"clear", "getattributes", "getstate"}));
}

}  // namespace
