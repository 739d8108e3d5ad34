// The four list-output objects loaded as the host loads them: outlets and
// their order, selectors, bang and output mode, assist texts, error codes
// and their order, attributes a patch may or may not reach.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "max.jit.mop.h"
#include "support/host_fixture.h"

namespace {

using zelk::host::Box;
using zelk::host::Event;
using zt::cell;
using zt::make_matrix;

struct Sent {
  int outlet;
  std::string selector;
  std::vector<double> values;
};

// What the box sent from its outlets since the last call (other events are
// dropped with them).
std::vector<Sent> sent(Box& b) {
  std::vector<Sent> out;
  for (const Event& e : b.events())
    if (e.kind == Event::Kind::Outlet)
      out.push_back({e.outlet, e.selector ? e.selector->s_name : "", zt::atom_values(e)});
  b.clear_events();
  return out;
}

void expect_values(const std::vector<double>& got, std::initializer_list<double> want,
                   double tol = 1e-6) {
  ASSERT_EQ(got.size(), want.size());
  size_t i = 0;
  for (double w : want) {
    EXPECT_NEAR(got[i], w, tol * std::max(1.0, std::fabs(w))) << "element " << i;
    ++i;
  }
}

std::string assist(Box& b, long direction, long index) {
  char text[512] = "untouched";
  jit_object_method(b.object(), gensym("assist"), nullptr, reinterpret_cast<void*>(direction),
                    reinterpret_cast<void*>(index), text);
  return text;
}

zt::HostMatrix two_by_one() {
  auto m = make_matrix(_jit_sym_char, 1, {2, 1});
  cell<std::uint8_t>(m.get(), 0) = cell<std::uint8_t>(m.get(), 1) = 255;
  return m;
}

TEST(ZelkMoments, SendsFourListsRightToLeft) {
  auto b = zt::make_box("zelk.moments");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->outlet_count(), 5);
  auto m = two_by_one();
  b->send_matrix(m.get());
  const auto s = sent(*b);
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].outlet, 3);
  EXPECT_EQ(s[0].selector, "float");
  expect_values(s[0].values, {510});
  EXPECT_EQ(s[1].outlet, 2);
  EXPECT_EQ(s[1].selector, "list");
  expect_values(s[1].values, {0.5, 0});
  EXPECT_EQ(s[2].outlet, 1);
  EXPECT_EQ(s[2].selector, "list");
  expect_values(s[2].values, {0.125, 0.015625, 0, 0, 0, 0, 0});
  EXPECT_EQ(s[3].outlet, 0);
  EXPECT_EQ(s[3].selector, "list");
  expect_values(s[3].values, {0.125, 0, 0, 0, 0, 0, 0});

  // The same picture in float32: K scales it all the same.
  auto f = make_matrix(_jit_sym_float32, 1, {2, 1});
  cell<float>(f.get(), 0) = cell<float>(f.get(), 1) = 1.0f;
  b->send_matrix(f.get());
  const auto t = sent(*b);
  ASSERT_EQ(t.size(), 4u);
  expect_values(t[0].values, {2});
  expect_values(t[2].values, {31.875, 1016.015625, 0, 0, 0, 0, 0});
  expect_values(t[3].values, {31.875, 0, 0, 0, 0, 0, 0});
}

TEST(ZelkMoments, ZeroMassResendsThePreviousFrame) {
  auto b = zt::make_box("zelk.moments");
  auto black = make_matrix(_jit_sym_float32, 1, {4, 3});
  b->send_matrix(black.get());
  auto s = sent(*b);  // nothing measured yet: the initial values
  ASSERT_EQ(s.size(), 4u);
  expect_values(s[0].values, {0});
  expect_values(s[1].values, {-1, -1});
  expect_values(s[3].values, {0, 0, 0, 0, 0, 0, 0});

  auto m = make_matrix(_jit_sym_char, 1, {3, 3});
  cell<std::uint8_t>(m.get(), 0, 0) = cell<std::uint8_t>(m.get(), 2, 2) = 255;
  b->send_matrix(m.get());
  sent(*b);
  b->send_matrix(black.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 4u);
  expect_values(s[0].values, {510});
  expect_values(s[1].values, {1, 1});
  expect_values(s[2].values, {1, 1, 0, 0, 0, 0, 0});
  expect_values(s[3].values, {0.5, 0.5, 0.5, 0, 0, 0, 0});
}

TEST(ZelkMoments, RefusedInputsSendNothing) {
  auto b = zt::make_box("zelk.moments");
  auto planes = make_matrix(_jit_sym_char, 4, {3, 3});
  auto line = make_matrix(_jit_sym_char, 1, {9});
  auto cube = make_matrix(_jit_sym_char, 1, {3, 3, 2});
  b->send_matrix(planes.get());
  b->send_matrix(line.get());
  b->send_matrix(cube.get());
  EXPECT_EQ(zt::error_codes(*b), (std::vector<long>{JIT_ERR_MISMATCH_PLANE, JIT_ERR_MISMATCH_DIM,
                                                    JIT_ERR_MISMATCH_DIM}));
  EXPECT_TRUE(sent(*b).empty());
}

TEST(ZelkMoments, HasNoBangAndOutputAttributesCanOnlyBeRead) {
  auto b = zt::make_box("zelk.moments");
  EXPECT_FALSE(b->send_text("bang"));
  zelk::host::ClassInfo info;
  ASSERT_TRUE(zelk::host::class_info("zelk.moments", &info));
  ASSERT_EQ(info.attributes.size(), 4u);
  const char* names[] = {"moments", "hu", "centroids", "mass"};
  const long counts[] = {7, 7, 2, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(info.attributes[i].name, names[i]);
    EXPECT_EQ(info.attributes[i].type, "float32");
    EXPECT_EQ(info.attributes[i].max_count, counts[i]);
    EXPECT_EQ(info.attributes[i].flags, 0x40200);
    EXPECT_TRUE(info.attributes[i].user_gettable);
    EXPECT_FALSE(info.attributes[i].user_settable);
  }
  b->send_text("mass 3");
  auto m = make_matrix(_jit_sym_char, 1, {1, 1});
  cell<std::uint8_t>(m.get(), 0) = 7;
  b->send_matrix(m.get());
  const auto s = sent(*b);
  ASSERT_FALSE(s.empty());
  expect_values(s[0].values, {7});
}

TEST(ZelkMoments, AssistTexts) {
  auto b = zt::make_box("zelk.moments");
  EXPECT_EQ(assist(*b, 2, 0), "(list) Moments");
  EXPECT_EQ(assist(*b, 2, 1), "(list) Hu invariants");
  EXPECT_EQ(assist(*b, 2, 2), "(list) Centroids");
  EXPECT_EQ(assist(*b, 2, 3), "(list) Mass");
  EXPECT_EQ(assist(*b, 2, 4), "dumpout");
  EXPECT_EQ(assist(*b, 2, 5), "untouched");
  char host_text[512] = "";
  max_jit_mop_assist(b->object(), nullptr, 1, 0, host_text);
  EXPECT_EQ(assist(*b, 1, 0), host_text);
}

TEST(ZelkCentroids, SendsMassThenCentroidsAndResendsOnBang) {
  auto b = zt::make_box("zelk.centroids");
  EXPECT_EQ(b->outlet_count(), 3);
  b->send_text("bang");  // before any matrix: the values of an empty frame
  auto s = sent(*b);
  ASSERT_EQ(s.size(), 2u);
  expect_values(s[0].values, {0});
  expect_values(s[1].values, {-1, -1});

  auto m = make_matrix(_jit_sym_char, 1, {6, 5});
  cell<std::uint8_t>(m.get(), 4, 3) = 255;
  b->send_matrix(m.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].outlet, 1);
  EXPECT_EQ(s[0].selector, "float");
  EXPECT_EQ(s[0].values[0], static_cast<float>(255 * 0.00392156863));
  EXPECT_EQ(s[1].outlet, 0);
  EXPECT_EQ(s[1].selector, "list");
  expect_values(s[1].values, {4, 3});

  cell<std::uint8_t>(m.get(), 4, 3) = 0;  // not sent again: bang must not recompute
  b->send_text("bang");
  const auto again = sent(*b);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].values, s[0].values);
  EXPECT_EQ(again[1].values, s[1].values);

  auto negative = make_matrix(_jit_sym_long, 1, {6, 5});
  cell<std::int32_t>(negative.get(), 2, 2) = -40;
  cell<std::int32_t>(negative.get(), 5, 4) = 30;
  b->send_matrix(negative.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 2u);
  expect_values(s[0].values, {-10});
  expect_values(s[1].values, {-1, -1});

  auto nan = make_matrix(_jit_sym_float64, 1, {2, 2});
  cell<double>(nan.get(), 1, 1) = std::nan("");
  b->send_matrix(nan.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_TRUE(std::isnan(s[0].values[0]));
  expect_values(s[1].values, {-1, -1});
}

TEST(ZelkCentroids, ChecksComeInTheirOrder) {
  auto b = zt::make_box("zelk.centroids");
  auto planes = make_matrix(_jit_sym_char, 4, {3});
  auto line = make_matrix(_jit_sym_char, 1, {3});
  b->send_matrix(planes.get());
  b->send_matrix(line.get());
  EXPECT_EQ(zt::error_codes(*b), (std::vector<long>{JIT_ERR_MISMATCH_PLANE, JIT_ERR_MISMATCH_DIM}));
  EXPECT_TRUE(sent(*b).empty());

  auto o = zt::make_jit_object("zelk.centroids");
  ASSERT_TRUE(o);
  zt::HostMatrix planes_no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 4, {3}));
  zt::HostMatrix line_no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {3}));
  zt::HostMatrix no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {3, 3}));
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {}), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {planes_no_data.get()}, {}), JIT_ERR_MISMATCH_PLANE);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {line_no_data.get()}, {}), JIT_ERR_MISMATCH_DIM);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {no_data.get()}, {}), JIT_ERR_INVALID_INPUT);
}

TEST(ZelkMoments, DataIsCheckedFirst) {
  auto o = zt::make_jit_object("zelk.moments");
  ASSERT_TRUE(o);
  zt::HostMatrix planes_no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 4, {3}));
  auto planes_line = make_matrix(_jit_sym_char, 4, {3});
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {}), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {planes_no_data.get()}, {}), JIT_ERR_INVALID_INPUT);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {planes_line.get()}, {}), JIT_ERR_MISMATCH_PLANE);
  // The lock is given back on the failing paths.
  EXPECT_EQ(reinterpret_cast<t_atom_long>(
                jit_object_method(planes_line.get(), _jit_sym_lock, static_cast<t_atom_long>(0))),
            0);
}

TEST(ZelkMass, OnePlaneIsAFloatAndSeveralAList) {
  auto b = zt::make_box("zelk.mass");
  EXPECT_EQ(b->outlet_count(), 2);
  b->send_text("bang");  // nothing measured yet: nothing to send
  EXPECT_TRUE(sent(*b).empty());

  auto one = make_matrix(_jit_sym_char, 1, {5, 4});
  for (long y = 0; y < 4; ++y)
    for (long x = 0; x < 5; ++x) cell<std::uint8_t>(one.get(), x, y) = 255;
  b->send_matrix(one.get());
  auto s = sent(*b);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].outlet, 0);
  EXPECT_EQ(s[0].selector, "float");
  expect_values(s[0].values, {20});

  auto four = make_matrix(_jit_sym_char, 4, {3, 2, 2});
  for (long p = 0; p < 4; ++p)
    cell<std::uint8_t>(four.get(), 1, 1, p) = static_cast<std::uint8_t>(51 * p);
  b->send_matrix(four.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].selector, "list");
  expect_values(s[0].values, {0, 0.2, 0.4, 0.6});
  b->send_text("bang");
  const auto again = sent(*b);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].values, s[0].values);
}

TEST(ZelkMass, InputWithoutDataEmptiesTheAttribute) {
  auto o = zt::make_jit_object("zelk.mass");
  ASSERT_TRUE(o);
  auto m = make_matrix(_jit_sym_float32, 3, {2, 2});
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {m.get()}, {}), JIT_ERR_NONE);
  long count = 0;
  t_atom* atoms = nullptr;
  jit_object_method(o.get(), gensym("getMass"), &count, &atoms);
  EXPECT_EQ(count, 3);
  jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
  zt::HostMatrix no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {3, 3}));
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {no_data.get()}, {}), JIT_ERR_INVALID_INPUT);
  count = 0;
  atoms = nullptr;
  jit_object_method(o.get(), gensym("getMass"), &count, &atoms);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {}), JIT_ERR_INVALID_PTR);
}

TEST(ZelkSum, SumsBytesUndivided) {
  auto b = zt::make_box("zelk.sum");
  auto one = make_matrix(_jit_sym_char, 1, {7, 3});
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 7; ++x) cell<std::uint8_t>(one.get(), x, y) = 255;
  b->send_matrix(one.get());
  auto s = sent(*b);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].selector, "float");
  expect_values(s[0].values, {255 * 21});
  auto l = make_matrix(_jit_sym_long, 2, {3});
  cell<std::int32_t>(l.get(), 0, 0, 0) = -5;
  cell<std::int32_t>(l.get(), 2, 0, 1) = 9;
  b->send_matrix(l.get());
  s = sent(*b);
  ASSERT_EQ(s.size(), 1u);
  expect_values(s[0].values, {-5, 9});
}

// Output mode 0 silences the matrix output and bang alike.
TEST(ListOutput, OutputModeZeroSilencesEverything) {
  for (const char* name : {"zelk.centroids", "zelk.mass", "zelk.sum"}) {
    auto b = zt::make_box(std::string(name) + " @outputmode 0");
    ASSERT_TRUE(b);
    auto m = two_by_one();
    b->send_matrix(m.get());
    b->send_text("bang");
    EXPECT_TRUE(sent(*b).empty()) << name;
    b->send_text("outputmode 1");
    b->send_matrix(m.get());
    EXPECT_FALSE(sent(*b).empty()) << name;
  }
}

TEST(ListOutput, HiddenAttributesAreOutOfAPatchsReach) {
  const std::pair<const char*, const char*> objects[] = {{"zelk.centroids", "centroids"},
                                                         {"zelk.centroids", "mass"},
                                                         {"zelk.mass", "Mass"},
                                                         {"zelk.sum", "sum"}};
  for (auto [name, attr] : objects) {
    auto b = zt::make_box(name);
    zelk::host::ClassInfo info;
    ASSERT_TRUE(zelk::host::class_info(name, &info));
    bool found = false;
    for (const auto& a : info.attributes)
      if (a.name == attr) {
        found = true;
        EXPECT_EQ(a.type, "atom");
        EXPECT_EQ(a.flags, 0x300);
        EXPECT_FALSE(a.user_gettable);
        EXPECT_FALSE(a.user_settable);
      }
    EXPECT_TRUE(found) << name << " " << attr;
    b->send_text(std::string(attr) + " 5");
    b->send_text(std::string("get") + attr);
    for (const auto& s : sent(*b)) EXPECT_NE(s.outlet, b->outlet_count() - 1) << "dumped " << attr;
  }
}

TEST(ListOutput, AssistTexts) {
  auto c = zt::make_box("zelk.centroids");
  EXPECT_EQ(assist(*c, 2, 0), "(list) centroids");
  EXPECT_EQ(assist(*c, 2, 1), "(list) mass");
  EXPECT_EQ(assist(*c, 2, 2), "dumpout");
  EXPECT_EQ(assist(*c, 2, 3), "untouched");
  auto m = zt::make_box("zelk.mass");
  EXPECT_EQ(assist(*m, 2, 0), "(list) mass");
  EXPECT_EQ(assist(*m, 2, 1), "dumpout");
  auto s = zt::make_box("zelk.sum");
  EXPECT_EQ(assist(*s, 2, 0), "(list) sum");
  EXPECT_EQ(assist(*s, 2, 1), "dumpout");
  EXPECT_EQ(assist(*s, 2, 2), "untouched");
  EXPECT_EQ(assist(*s, 1, 0), "(matrix) in");
}

// Nothing is allocated per frame except the atoms zelk.moments's getters
// hand out, which are freed at once.
TEST(ListOutput, NoSteadyStateAllocation) {
  for (const char* name : {"zelk.moments", "zelk.centroids", "zelk.mass", "zelk.sum"}) {
    auto o = zt::make_jit_object(name);
    auto m = make_matrix(_jit_sym_char, 1, {64, 48});
    cell<std::uint8_t>(m.get(), 3, 4) = 9;
    ASSERT_EQ(zelk::host::matrix_calc(o.get(), {m.get()}, {}), JIT_ERR_NONE);
    const auto before = zelk::host::memory();
    for (int i = 0; i < 5; ++i) zelk::host::matrix_calc(o.get(), {m.get()}, {});
    EXPECT_EQ(zelk::host::memory().allocations, before.allocations) << name;

    auto b = zt::make_box(name);
    b->send_matrix(m.get());
    const auto warm = zelk::host::memory();
    for (int i = 0; i < 5; ++i) b->send_matrix(m.get());
    b->send_text("bang");
    EXPECT_EQ(zelk::host::memory().live_bytes, warm.live_bytes) << name;
  }
  auto b = zt::make_box("zelk.sum");
  auto m = make_matrix(_jit_sym_char, 1, {8, 8});
  b->send_matrix(m.get());
  const auto before = zelk::host::memory();
  for (int i = 0; i < 5; ++i) b->send_text("bang");
  EXPECT_EQ(zelk::host::memory().allocations, before.allocations);
}

// The matrix procedure runs for every matrix whatever the output mode: a
// bang after output mode 0 sends the last frame's values, not older ones.
TEST(ListOutput, EveryFrameIsComputedWhateverTheOutputMode) {
  auto b = zt::make_box("zelk.sum");
  auto six = make_matrix(_jit_sym_char, 1, {2, 1});
  cell<std::uint8_t>(six.get(), 0) = 6;
  auto twelve = make_matrix(_jit_sym_char, 1, {2, 1});
  cell<std::uint8_t>(twelve.get(), 0) = 5;
  cell<std::uint8_t>(twelve.get(), 1) = 7;
  b->send_matrix(six.get());
  sent(*b);
  for (long mode : {0, 2, 3}) {
    b->send_text("outputmode " + std::to_string(mode));
    b->send_matrix(twelve.get());
    auto s = sent(*b);
    EXPECT_EQ(s.empty(), mode == 0) << mode;
    b->send_text("outputmode 1");
    b->send_text("bang");
    s = sent(*b);
    ASSERT_EQ(s.size(), 1u) << mode;
    expect_values(s[0].values, {12});
    b->send_matrix(six.get());
    sent(*b);
  }
  // zelk.moments sends as soon as it has computed, but output mode 0 is
  // "no output" for it too.
  auto m = zt::make_box("zelk.moments @outputmode 0");
  auto in = two_by_one();
  m->send_matrix(in.get());
  EXPECT_TRUE(sent(*m).empty());
  m->send_text("outputmode 1");
  m->send_matrix(in.get());
  EXPECT_EQ(sent(*m).size(), 4u);
}

}  // namespace
