// jit.op, jit.rgb2luma and jit.matrix as patches use them, through their
// boxes, against values worked out by hand from their definitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "patch_objects/patch_objects.h"
#include "host/probe.h"
#include "patch_objects/matrix_ops.h"
#include "zelk/host.h"
#include "boxes.h"

namespace {

using zelk::host::Box;
using zelk::host::Event;

using boxes::make;

t_symbol* type_of(const std::string& name) { return gensym(name.c_str()); }

// A packed 1-D matrix of `cells` cells and `planes` planes from doubles.
probe::Owned matrix(const std::string& type, long planes, long cells, const std::vector<double>& values) {
  probe::Owned m(zelk::host::new_matrix(type_of(type), planes, {cells}));
  char* d = zelk::host::matrix_data(m.get());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double v = values[i];
    if (type == "char") reinterpret_cast<std::uint8_t*>(d)[i] = static_cast<std::uint8_t>(v);
    else if (type == "long") reinterpret_cast<std::int32_t*>(d)[i] = static_cast<std::int32_t>(v);
    else if (type == "float32") reinterpret_cast<float*>(d)[i] = static_cast<float>(v);
    else reinterpret_cast<double*>(d)[i] = v;
  }
  return m;
}

// Every value of the last matrix the box sent, as doubles (1-D matrices).
std::vector<double> sent(const Box& box) {
  void* m = boxes::last_matrix(box);
  if (!m) return {};
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  const char* d = zelk::host::matrix_data(m);
  std::vector<double> out;
  for (long i = 0; i < info.dim[0] * info.planecount; ++i) {
    if (info.type == _jit_sym_char) out.push_back(reinterpret_cast<const std::uint8_t*>(d)[i]);
    else if (info.type == _jit_sym_long) out.push_back(reinterpret_cast<const std::int32_t*>(d)[i]);
    else if (info.type == _jit_sym_float32) out.push_back(reinterpret_cast<const float*>(d)[i]);
    else out.push_back(reinterpret_cast<const double*>(d)[i]);
  }
  return out;
}

struct OpCase {
  const char* type;
  const char* op;
  double a;
  const char* val;  // as typed in the box: "100" is an int, "0.5" a float
  double expect;
};

// jit.op's char cells are 8-bit fixed point (256 = 1): * is a*b/256, / is
// a*256/b, a float val is v*256 (1 and above: 255); true is 255; + and -
// saturate while +m and -m wrap. Long wraps like int32; division by 0
// gives 0. Bitwise operators pass float through, the float-only ones pass
// char and long through.
const OpCase kOps[] = {
    {"char", "+", 200, "100", 255},   {"char", "+m", 200, "100", 44},  {"char", "-", 50, "100", 0},
    {"char", "-m", 50, "100", 206},   {"char", "*", 255, "128", 127},  {"char", "*", 100, "128", 50},
    {"char", "*", 200, "0.5", 100},   {"char", "/", 100, "200", 128},  {"char", "/", 200, "100", 255},
    {"char", "/", 7, "0", 0},         {"char", "%", 7, "3", 1},        {"char", "%", 7, "0", 0},
    {"char", "+", 0, "1.5", 255},     {"char", "+", 0, "0.25", 64},    {"char", "!/", 200, "100", 128},
    {"char", "!-", 50, "100", 50},    {"char", "!%", 3, "7", 1},       {"char", "!pass", 5, "9", 9},
    {"char", "ignore", 42, "7", 0},   {"char", "min", 3, "9", 3},      {"char", "max", 3, "9", 9},
    {"char", "avg", 255, "0", 127},   {"char", "absdiff", 10, "250", 240}, {"char", ">", 101, "100", 255},
    {"char", ">", 100, "100", 0},     {"char", "<", 99, "100", 255},   {"char", ">=", 100, "100", 255},
    {"char", "<=", 101, "100", 0},    {"char", "==", 5, "5", 255},     {"char", "!=", 5, "5", 0},
    {"char", ">p", 150, "100", 150},  {"char", ">p", 50, "100", 0},    {"char", "<p", 50, "100", 50},
    {"char", "==p", 100, "100", 100}, {"char", "&&", 3, "0", 0},       {"char", "||", 3, "0", 255},
    {"char", "!", 0, "9", 255},       {"char", "&", 12, "10", 8},      {"char", "|", 12, "10", 14},
    {"char", "^", 12, "10", 6},       {"char", "~", 12, "0", 243},     {"char", "<<", 200, "1", 144},
    {"char", ">>", 200, "3", 25},     {"char", "<<", 5, "8", 0},       {"char", "pass", 42, "7", 42},
    {"char", ">", 120, "300", 0},     {"char", "sqrt", 16, "0", 16},   {"char", "gte", 5, "5", 255},
    {"char", "fold", 9, "4", 9},
    {"long", "+", 2147483647, "1", -2147483648.0}, {"long", "+m", 2147483647, "1", -2147483648.0},
    {"long", "-", -5, "10", -15},     {"long", "*", 65536, "65536", 0}, {"long", "/", -7, "2", -3},
    {"long", "/", -2147483648.0, "-1", -2147483648.0}, {"long", "/", 5, "0", 0}, {"long", "%", -7, "3", -1},
    {"long", "abs", -5, "0", 5},      {"long", "avg", -3, "0", -1},    {"long", "absdiff", -5, "5", 10},
    {"long", ">", 3, "2", 1},         {"long", "!", 0, "0", 1},        {"long", "&&", 2, "3", 1},
    {"long", "~", 0, "0", -1},        {"long", "<<", 1, "31", -2147483648.0}, {"long", "<<", 1, "32", 0},
    {"long", ">>", -8, "1", -4},      {"long", ">>", -8, "40", -1},    {"long", "<=p", 4, "4", 4},
    {"long", "!/", 2, "7", 3},        {"long", "mult", 3, "4", 12},    {"long", "sin", 5, "0", 5},
    {"long", "*", 3, "2.9", 6},
    {"float32", "+", 0.5, "0.25", 0.75}, {"float32", "*", 1.5, "2.", 3}, {"float32", "/", 1, "4.", 0.25},
    {"float32", "/", 1, "0.", 0},     {"float32", "%", 5.5, "2.", 1.5}, {"float32", ">", 0.5, "0.25", 1},
    {"float32", "<p", 0.25, "0.5", 0.25}, {"float32", "abs", -2.5, "0.", 2.5}, {"float32", "avg", 1, "2.", 1.5},
    {"float32", "&", 7.9, "3.", 7.9}, {"float32", "~", 0.5, "0.", 0.5}, {"float32", "!", 0, "0.", 1},
    {"float32", "absdiff", 1, "3.5", 2.5}, {"float32", "-m", 1, "3.", -2}, {"float32", "sqrt", 16, "0.", 4},
    {"float32", "pow", 2, "10.", 1024}, {"float32", "hypot", 3, "4.", 5}, {"float32", "fold", 7, "5.", 3},
    {"float32", "wrap", -1, "5.", 4}, {"float32", "round", 2.5, "0.", 3}, {"float32", "trunc", -2.7, "0.", -2},
    {"float32", "floor", -2.5, "0.", -3}, {"float32", "ceil", 2.1, "0.", 3}, {"float32", "exp2", 3, "0.", 8},
    {"float64", "+", 0.1, "0.2", 0.1 + 0.2}, {"float64", "/", 1, "3.", 1.0 / 3}, {"float64", "%", -5.5, "2.", -1.5},
    {"float64", "<", 1, "2.", 1},     {"float64", "||", 0, "0.", 0},   {"float64", "|", 4.2, "3.", 4.2},
    {"float64", "min", -1, "1.", -1}, {"float64", "==p", 2.5, "2.5", 2.5}, {"float64", "atan2", 1, "1.", M_PI / 4},
    {"float64", "log10", 1000, "0.", 3}, {"float64", "log", 1, "0.", 0}, {"float64", "!-", 1, "0.5", -0.5},
    {"float64", "fold", -7, "5.", 3}, {"float64", "wrap", 12, "5.", 2}, {"float64", "tanh", 0, "0.", 0},
};

TEST(JitOp, EveryOperatorFollowsItsDefinitionOnEveryCellType) {
  for (const OpCase& c : kOps) {
    SCOPED_TRACE(std::string(c.type) + " " + c.op + " " + std::to_string(c.a) + " val " + c.val);
    auto box = make(std::string("jit.op @op ") + c.op + " @val " + c.val);
    ASSERT_TRUE(box);
    probe::Owned in = matrix(c.type, 1, 1, {c.a});
    box->send_matrix(in.get());
    const std::vector<double> out = sent(*box);
    ASSERT_EQ(out.size(), 1u);
    if (std::string(c.type) == "float32") EXPECT_FLOAT_EQ(out[0], static_cast<float>(c.expect));
    else EXPECT_DOUBLE_EQ(out[0], c.expect);
  }
}

TEST(JitOp, EveryNameRunsOnEveryTypeAsABoxOfItsOwn) {
  // jit.<operator>, as jit.op with that operator: it wins over an @op typed in the box.
  for (std::string_view name : zelk::objects::op_names())
    for (const char* type : {"char", "long", "float32", "float64"}) {
      const std::string text = "jit." + std::string(name) + " @op pass @val 2";
      SCOPED_TRACE(text + " on " + type);
      auto box = make(text);
      ASSERT_TRUE(box);
      zelk::objects::Op op;
      ASSERT_TRUE(zelk::objects::parse_op(name, &op));
      probe::Owned in = matrix(type, 1, 3, {0, 1, 3});
      box->send_matrix(in.get());
      const std::vector<double> out = sent(*box);
      ASSERT_EQ(out.size(), 3u);
      for (const Event& e : box->events()) EXPECT_NE(e.kind, Event::Kind::Error) << e.text;
      auto expect = [&](auto a) {
        using T = decltype(a);
        return static_cast<double>(zelk::objects::apply_op<T>(op, a, zelk::objects::scalar_as<T>({2, false})));
      };
      for (std::size_t i = 0; i < 3; ++i) {
        const double a = std::vector<double>{0, 1, 3}[i];
        const std::string t = type;
        const double want = t == "char"    ? expect(static_cast<std::uint8_t>(a))
                            : t == "long"  ? expect(static_cast<std::int32_t>(a))
                            : t == "float32" ? expect(static_cast<float>(a))
                                           : expect(a);
        if (std::isnan(want)) EXPECT_TRUE(std::isnan(out[i]));
        else EXPECT_EQ(out[i], want);
      }
    }
}

TEST(JitOp, OperatorsAndValuesCyclePerPlaneAndARightMatrixFitsTheLeft) {
  auto box = make("jit.op @op + - @val 1 2");
  ASSERT_TRUE(box);
  probe::Owned three = matrix("char", 3, 1, {10, 10, 10});
  box->send_matrix(three.get());
  EXPECT_EQ(sent(*box), (std::vector<double>{11, 8, 11})) << "plane 2 takes + and 1 again";

  probe::Owned left = matrix("char", 2, 2, {10, 100, 20, 100});
  probe::Owned right = matrix("char", 2, 2, {5, 30, 5, 200});
  box->send_matrix(right.get(), 1);
  box->clear_events();
  box->send_matrix(left.get());
  EXPECT_EQ(sent(*box), (std::vector<double>{15, 70, 25, 0}));

  // A float32 matrix of one cell: converted to char (x255) and stretched over both cells.
  probe::Owned small = matrix("float32", 2, 1, {0.5, 0.1});
  box->send_matrix(small.get(), 1);
  box->clear_events();
  box->send_matrix(left.get());
  EXPECT_EQ(sent(*box), (std::vector<double>{137, 75, 147, 75}));

  // A number into the right inlet goes back to a scalar operand.
  box->send(gensym("int"), {[] { t_atom a; jit_atom_setlong(&a, 1); return a; }()}, 1);
  box->clear_events();
  box->send_matrix(left.get());
  EXPECT_EQ(sent(*box), (std::vector<double>{11, 99, 21, 99}));

  box->clear_events();
  box->send_text("op sqrtx");
  ASSERT_FALSE(box->events().empty());
  EXPECT_EQ(box->events()[0].text, "jit.op: unknown operator sqrtx");
  box->clear_events();
  box->send_matrix(left.get());
  EXPECT_EQ(sent(*box), (std::vector<double>{11, 99, 21, 99})) << "an unknown operator keeps the old ones";
}

TEST(MatrixArguments, FixTheOutputAndTheSizeComputed) {
  // jit.op 1 char 2: two cells of one char plane, whatever comes; the
  // left input must agree in type and planes.
  auto op = make("jit.op 1 char 2 @op + @val 10");
  probe::Owned three = matrix("char", 1, 3, {1, 2, 3});
  op->send_matrix(three.get());
  EXPECT_EQ(sent(*op), (std::vector<double>{11, 12}));
  probe::Owned one = matrix("char", 1, 1, {5});
  op->clear_events();
  op->send_matrix(one.get());
  EXPECT_EQ(sent(*op), (std::vector<double>{15, 12})) << "the cell no input covers keeps its value";
  const struct {
    const char* type;
    long planes;
    long code;
  } refused[] = {{"long", 1, JIT_ERR_MISMATCH_TYPE}, {"char", 2, JIT_ERR_MISMATCH_PLANE}};
  for (const auto& r : refused) {
    probe::Owned bad = matrix(r.type, r.planes, 2, std::vector<double>(static_cast<std::size_t>(r.planes) * 2, 1));
    op->clear_events();
    op->send_matrix(bad.get());
    ASSERT_FALSE(op->events().empty());
    EXPECT_EQ(op->events().back().code, r.code);
  }
  auto adapting = make("jit.op 1 char 2 @adapt 1 @op + @val 1");
  probe::Owned l = matrix("long", 1, 3, {1, 2, 3});
  adapting->send_matrix(l.get());
  EXPECT_EQ(sent(*adapting), (std::vector<double>{2, 3, 4}));

  // jit.rgb2luma keeps its one char plane and takes the size.
  auto luma = make("jit.rgb2luma 4 float32 1");
  probe::Owned argb = matrix("char", 4, 2, {255, 20, 20, 20, 0, 255, 255, 255});
  luma->send_matrix(argb.get());
  EXPECT_EQ(sent(*luma), (std::vector<double>{19}));
}

// Jitter's char luminance, worked out another way: the weights truncated to
// 1/65536 and the sum divided and floored in double, then clamped.
std::uint8_t fixed_point_luma(const double scale[4], const std::uint8_t argb[4]) {
  double sum = 0;
  for (int p = 0; p < 4; ++p) sum += std::trunc(scale[p] * 65536) * argb[p];
  return static_cast<std::uint8_t>(std::clamp(std::floor(sum / 65536), 0.0, 255.0));
}

TEST(JitRgb2Luma, EveryColourAsJitterFixedPointGivesIt) {
  // Every RGB colour once, alpha varying, in a 4096 x 4096 matrix: at the
  // defaults, at weights summing to exactly 1, and at weights past 0..1
  // that need the clamp.
  const double scale_sets[][4] = {{0, 0.299, 0.587, 0.114}, {0.25, 0.25, 0.25, 0.25}, {0.1, 1.5, -0.3, 0.2}};
  probe::Owned in(zelk::host::new_matrix(_jit_sym_char, 4, {4096, 4096}));
  const t_jit_matrix_info info = zelk::host::matrix_info(in.get());
  char* data = zelk::host::matrix_data(in.get());
  auto colour = [](long i) {
    return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i >> 16),
                                       static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
  };
  for (long y = 0; y < 4096; ++y)
    for (long x = 0; x < 4096; ++x)
      std::memcpy(data + y * info.dimstride[1] + x * 4, colour(y * 4096 + x).data(), 4);
  for (const auto& scale : scale_sets) {
    auto box = make("jit.rgb2luma @ascale " + std::to_string(scale[0]) + " @rscale " + std::to_string(scale[1]) +
                    " @gscale " + std::to_string(scale[2]) + " @bscale " + std::to_string(scale[3]));
    box->send_matrix(in.get());
    void* out = boxes::last_matrix(*box);
    ASSERT_TRUE(out);
    const t_jit_matrix_info oi = zelk::host::matrix_info(out);
    ASSERT_EQ(oi.type, _jit_sym_char);
    ASSERT_EQ(oi.planecount, 1);
    const auto* luma = reinterpret_cast<const std::uint8_t*>(zelk::host::matrix_data(out));
    long differ = 0;
    for (long y = 0; y < 4096; ++y)
      for (long x = 0; x < 4096; ++x)
        differ += luma[y * oi.dimstride[1] + x] != fixed_point_luma(scale, colour(y * 4096 + x).data());
    EXPECT_EQ(differ, 0) << scale[0] << " " << scale[1] << " " << scale[2] << " " << scale[3];
  }
}

TEST(JitRgb2Luma, ConvertsOtherTypesToCharAndWantsFourPlanes) {
  // Weights 19595, 38469 and 7471 (of 65536): (20, 20, 20) gives 19, white 254.
  const struct {
    const char* type;
    std::vector<double> argb;
    double expect;
  } cases[] = {{"char", {255, 20, 20, 20}, 19},
               {"char", {255, 255, 255, 255}, 254},
               {"float32", {1, 1, 0.5, 0.25}, (255 * 19595 + 127 * 38469 + 63 * 7471) >> 16},
               {"long", {0, 300, -5, 20}, (255 * 19595 + 20 * 7471) >> 16},
               {"float64", {0, -1, 2, 0.5}, (255 * 38469 + 127 * 7471) >> 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    auto box = make("jit.rgb2luma");
    probe::Owned in = matrix(c.type, 4, 1, c.argb);
    box->send_matrix(in.get());
    ASSERT_EQ(sent(*box), (std::vector<double>{c.expect}));
  }
  auto grey = make("jit.rgb2luma");
  probe::Owned one_plane = matrix("char", 1, 1, {9});
  grey->send_matrix(one_plane.get());
  ASSERT_FALSE(grey->events().empty());
  EXPECT_EQ(grey->events().back().kind, Event::Kind::Error);
  EXPECT_EQ(grey->events().back().code, JIT_ERR_MISMATCH_PLANE);
}

TEST(JitMatrix, CopiesAsItsAttributesSay) {
  const struct {
    const char* box;
    const char* type;
    long planes;
    std::vector<double> in;
    std::vector<double> expect;
  } cases[] = {
      // 4 char cells into 4 float32 planes of 2 cells: nearest cells 0 and 2, /255, new planes 0.
      {"jit.matrix 4 float32 2", "char", 1, {0, 51, 102, 255}, {0, 0, 0, 0, 102 / 255.0f, 0, 0, 0}},
      {"jit.matrix 1 char 4", "float64", 1, {1.5, -0.2, 0.5, 0.999}, {255, 0, 127, 254}},
      {"jit.matrix 1 char 2", "long", 1, {-7, 300}, {0, 255}},
      {"jit.matrix", "long", 1, {-7, 0, 70000}, {-7, 0, 70000}},  // adapting: as it came
      {"jit.matrix 1 char @adapt 1", "float64", 1, {0.25}, {0.25}},
      {"jit.matrix 2 char 2 @planemap 1 0", "char", 2, {1, 2, 3, 4}, {2, 1, 4, 3}},
      {"jit.matrix 2 char 1 @planemap 1 7", "char", 2, {1, 2}, {2, 0}},
      {"jit.matrix 1 char 4 @usesrcdim 1 @srcdimstart 1 @srcdimend 2 @usedstdim 1 @dstdimstart 2 @dstdimend 3",
       "char", 1, {10, 20, 30, 40}, {0, 0, 20, 30}},
      {"jit.matrix 1 char 4 @usedstdim 1 @dstdimstart 1 @dstdimend 2", "char", 1, {10, 20, 30, 40}, {0, 10, 30, 0}},
      {"jit.matrix 1 char 4 @interp 1", "char", 1, {0, 100}, {0, 50, 100, 100}},
      {"jit.matrix 1 float32 3 @interp 1", "char", 1, {0, 255}, {0, 170 / 255.0f, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    auto box = make(c.box);
    probe::Owned in = matrix(c.type, c.planes, static_cast<long>(c.in.size()) / c.planes, c.in);
    box->send_matrix(in.get());
    const std::vector<double> out = sent(*box);
    ASSERT_EQ(out.size(), c.expect.size());
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(out[i], c.expect[i]) << i;
  }
}

TEST(JitMatrix, NumbersSetEveryCellAndNamesAreShared) {
  auto box = make("jit.matrix shared 3 char 2");
  auto other = make("jit.matrix shared");
  box->send_text("setall 1 2");
  EXPECT_TRUE(sent(*box).empty()) << "setall sends nothing";
  other->send(gensym("bang"));
  EXPECT_EQ(sent(*other), (std::vector<double>{1, 2, 1, 1, 2, 1})) << "values cycle over the planes";
  box->send(gensym("float"), {[] { t_atom a; jit_atom_setfloat(&a, 0.5); return a; }()});
  EXPECT_EQ(sent(*box), (std::vector<double>{128, 128, 128, 128, 128, 128})) << "a number sets and sends";
  box->send_text("clear");
  other->clear_events();
  other->send(gensym("bang"));
  EXPECT_EQ(sent(*other), (std::vector<double>(6, 0)));

  auto quiet = make("jit.matrix 1 char 1 @thru 0");
  probe::Owned one = matrix("char", 1, 1, {9});
  quiet->send_matrix(one.get());
  EXPECT_TRUE(sent(*quiet).empty());
  quiet->send(gensym("bang"));
  EXPECT_EQ(sent(*quiet), (std::vector<double>{9}));
}

}  // namespace
