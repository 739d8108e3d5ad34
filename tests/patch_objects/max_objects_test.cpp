// The Max objects of help patches (gate, arithmetic, select, trigger, pack
// ... expr) and jit.lcd and jit.cellblock, through their boxes: messages
// in, what comes out, against their reference pages worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "patch_objects/object_kit.h"
#include "patch_objects/patch_objects.h"
#include "zelk/host.h"
#include "boxes.h"

namespace {

using zelk::host::Box;
using zelk::host::Event;

using boxes::make;

// "5" is an int, "2.5" a float, "1 2" a list, "foo 1" the message foo.
void deliver(Box& box, int inlet, const std::string& text) {
  std::istringstream in(text);
  std::vector<t_atom> atoms;
  std::string word, first;
  in >> first;
  char* end = nullptr;
  std::strtod(first.c_str(), &end);
  const bool number = !first.empty() && *end == '\0';
  if (number) in.seekg(0);
  while (in >> word) {
    t_atom a;
    std::strtod(word.c_str(), &end);
    if (*end != '\0') jit_atom_setsym(&a, gensym(word.c_str()));
    else if (word.find_first_of(".e") != std::string::npos) jit_atom_setfloat(&a, std::strtod(word.c_str(), nullptr));
    else jit_atom_setlong(&a, std::strtoll(word.c_str(), nullptr, 10));
    atoms.push_back(a);
  }
  const char* selector = !number ? first.c_str() : atoms.size() > 1 ? "list" : atoms[0].a_type == A_LONG ? "int" : "float";
  box.send(gensym(selector), atoms, inlet);
}

// "1:int 5" per outlet event, "!" per console line, joined by "; ".
std::string events(Box& box) {
  std::string out;
  for (const Event& e : box.events()) {
    if (!out.empty()) out += "; ";
    if (e.kind != Event::Kind::Outlet) {
      out += "!";
      continue;
    }
    out += std::to_string(e.outlet) + ":" + e.selector->s_name;
    for (const t_atom& a : e.atoms) {
      const std::string t = zelk::objects::shown_text(a);
      out += " " + (t.empty() ? std::string("\"\"") : t);
    }
  }
  box.clear_events();
  return out;
}

struct Step {
  int inlet;
  const char* message;
};
struct Case {
  const char* box;
  std::vector<Step> steps;
  const char* expect;
  const char* shown = nullptr;  // displayed_value afterwards, where checked
};

const Case kCases[] = {
    // gate: the left inlet opens an outlet (clamped) without output; bang reports it.
    {"gate 2", {{1, "5"}, {0, "2"}, {1, "5"}, {1, "foo 1"}, {0, "9"}, {1, "bang"}, {0, "-3"}, {1, "7.5"}, {0, "bang"}, {0, "0"}, {1, "3"}},
     "1:int 5; 1:foo 1; 1:bang; 0:float 7.5; 0:int -3"},
    {"gate 1 1", {{1, "4"}, {0, "foo"}}, "0:int 4; !"},
    // Arithmetic: ints truncate floats; a list sets both operands; set stays silent.
    {"+ 5", {{0, "3"}, {0, "2.7"}, {1, "1.5"}, {0, "bang"}, {0, "10 20"}, {0, "set 4"}, {0, "bang"}, {1, "foo"}},
     "0:int 8; 0:int 7; 0:int 3; 0:int 30; 0:int 24; !"},
    {"- 1.5", {{0, "4"}}, "0:float 2.5"},
    {"* 3", {{0, "-4"}, {0, "9223372036854775807"}}, "0:int -12; 0:int 9223372036854775805"},
    {"/", {{0, "7"}, {1, "2"}, {0, "-7"}}, "0:int 7; 0:int -3"},
    {"/ 0.", {{0, "1"}, {1, "4"}, {0, "1"}}, "0:float -2147483648.; 0:float 0.25"},
    // select: a float compares truncated; the rest goes out of the right as it came.
    {"sel 1 foo", {{0, "1"}, {0, "foo"}, {0, "2"}, {0, "bar 3"}, {0, "1.9"}, {0, "symbol foo"}}, "0:bang; 1:bang; 2:int 2; 2:bar 3; 0:bang; 1:bang"},
    {"select 5", {{1, "6"}, {0, "6"}, {0, "5"}}, "0:bang; 1:int 5"},
    // trigger, right to left: i and f take 0 for a list, s the empty symbol for a number.
    {"t b i f l s 7", {{0, "2.5"}, {0, "1 2"}},
     "5:int 7; 4:symbol \"\"; 3:float 2.5; 2:float 2.5; 1:int 2; 0:bang; "
     "5:int 7; 4:symbol \"\"; 3:list 1 2; 2:float 0.; 1:int 0; 0:bang"},
    {"trigger s a", {{0, "foo 1"}}, "1:foo 1; 0:symbol foo"},
    {"t", {{0, "3"}}, "1:int 3; 0:int 3"},
    {"loadmess 5 foo", {{0, "loadbang"}, {0, "bang"}, {0, "set go"}, {0, "bang"}}, "0:list 5 foo; 0:list 5 foo; 0:go"},
    // pack keeps each slot's type; only the left inlet outputs.
    {"pack 0 0. s", {{2, "foo"}, {1, "2"}, {0, "1.7"}, {0, "3 4.5 bar"}, {1, "baz"}, {0, "bang"}},
     "0:list 1 2. foo; 0:list 3 4.5 bar; !; 0:list 3 4.5 bar"},
    {"unpack 0 0. s", {{0, "1.5 2 foo 9"}, {0, "7"}, {0, "bang"}}, "2:symbol foo; 1:float 2.; 0:int 1; 0:int 7; !"},
    {"prepend set", {{0, "1 2"}, {0, "foo 3"}, {0, "5"}, {0, "set frgb"}, {0, "1 2 3"}}, "0:set 1 2; 0:set foo 3; 0:set 5; 0:frgb 1 2 3"},
    {"prepend 7", {{0, "8"}}, "0:list 7 8"},
    {"route foo 2", {{0, "foo 1 2"}, {0, "foo"}, {0, "2 bar"}, {0, "foo bar 5"}, {0, "baz 1"}, {0, "3"}, {1, "baz"}, {0, "baz 1"}},
     "0:list 1 2; 0:bang; 1:bar; 0:bar 5; 2:baz 1; 2:int 3; 0:int 1"},
    // The boxes the runner draws: what they keep is what they show.
    {"number", {{0, "3.7"}, {0, "set 9"}, {0, "bang"}, {0, "foo"}}, "0:int 3; 0:int 9; !", "9"},
    {"flonum", {{0, "2"}, {0, "set 0.25"}}, "0:float 2.", "0.25"},
    {"attrui threshold", {{0, "bang"}, {0, "128"}, {0, "1 2.5"}}, "0:threshold 128; 0:threshold 1 2.5", "threshold 1 2.5"},
    {"attrui", {{0, "1"}}, "!", ""},
    {"toggle", {{0, "bang"}}, "0:int 1", "1"},
};

TEST(MaxObjects, MessagesInGiveTheirReferencePagesOutputs) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.box);
    auto box = make(c.box);
    ASSERT_TRUE(box);
    for (const Step& s : c.steps) deliver(*box, s.inlet, s.message);
    EXPECT_EQ(events(*box), c.expect);
    std::string shown;
    EXPECT_EQ(zelk::host::displayed_value(box->object(), &shown), c.shown != nullptr);
    if (c.shown) {
      EXPECT_EQ(shown, c.shown);
    }
  }
}

TEST(MaxObjects, SendReachesEveryLiveReceiverOfItsName) {
  auto s = make("s zelk_test_a");
  auto r1 = make("r zelk_test_a");
  auto r2 = make("receive zelk_test_a");
  auto other = make("r zelk_test_b");
  deliver(*s, 0, "5");
  EXPECT_EQ(events(*r1), "0:int 5");
  EXPECT_EQ(events(*r2), "0:int 5");
  r1.reset();  // freed: no longer registered
  deliver(*s, 0, "foo 1");
  EXPECT_EQ(events(*r2), "0:foo 1");
  EXPECT_EQ(events(*other), "");
  deliver(*other, 0, "set zelk_test_a");
  deliver(*make("send zelk_test_a"), 0, "bang");
  EXPECT_EQ(events(*other), "0:bang");
  deliver(*make("s zelk_test_nobody"), 0, "1");  // nothing listens: nothing happens
}

struct ExprCase {
  const char* box;
  std::vector<Step> steps;  // then a bang in the left inlet gives the value
  bool is_float;
  double value;
};

const ExprCase kExprs[] = {
    {"expr $i1 + $i2", {{1, "3"}, {0, "4"}}, false, 7},
    {"expr $f1 / 2", {{0, "3"}}, true, 1.5},
    {"expr $i1 / 2", {{0, "7.9"}}, false, 3},
    {"expr 7 / 2", {}, false, 3},
    {"expr 7. / 2", {}, true, 3.5},
    {"expr $i1 % 3", {{0, "-7"}}, false, -1},
    {"expr ($i1 > 2) && ($i2 < 5)", {{0, "3 4"}}, false, 1},
    {"expr -$i1 * 2 + 1", {{0, "4"}}, false, -7},
    {"expr 1 << 3 | 1", {}, false, 9},
    {"expr pow($f1, 2)", {{0, "3"}}, true, 9},
    {"expr sqrt(16)", {}, true, 4},
    {"expr int($f1 * 10)", {{0, "0.37"}}, false, 3},
    {"expr min($i1, 2.5)", {{0, "4"}}, true, 2.5},
    {"expr max($i1,$i2)", {{0, "3 9"}}, false, 9},
    {"expr max(1.\\, min(20.\\, $f1))", {{0, "0.5"}}, true, 1},  // commas as Max saves them
    {"expr abs(-3) + floor(2)", {}, false, 5},
    {"expr floor(-2.5)", {}, true, -3},
    {"expr atan2(1, 1) * 4", {}, true, 3.14159265358979323846},
    {"expr $f2 * $i1", {{1, "0.5"}, {0, "3"}}, true, 1.5},
    {"expr $i1 / 0", {{0, "5"}}, false, 0},
};

TEST(Expr, ComputesWithCTypesAndRefusesWhatItCannotParse) {
  for (const ExprCase& c : kExprs) {
    SCOPED_TRACE(c.box);
    auto box = make(c.box);
    ASSERT_TRUE(box);
    for (const Step& s : c.steps) deliver(*box, s.inlet, s.message);
    box->clear_events();
    box->send(gensym("bang"));
    ASSERT_FALSE(box->events().empty());
    const Event& e = box->events().back();
    ASSERT_EQ(e.kind, Event::Kind::Outlet);
    ASSERT_EQ(e.selector->s_name, std::string(c.is_float ? "float" : "int"));
    EXPECT_DOUBLE_EQ(zelk::objects::number_of(e.atoms[0]), c.value);
  }
  EXPECT_EQ(make("expr $i1 + $f3")->inlet_count(), 3);
  auto zero = make("expr 1 / $i1");
  deliver(*zero, 0, "0");
  EXPECT_EQ(events(*zero), "!; 0:int 0") << "division by 0 is reported, and gives 0";
  for (const char* bad : {"expr $i1 +", "expr foo(1)", "expr $s1", "expr (1", "expr pow(1)", "expr 1 2", "expr"}) {
    zelk::host::register_patch_objects();
    std::string why;
    EXPECT_FALSE(Box::create(bad, &why)) << bad;
    EXPECT_NE(why.find("expr"), std::string::npos) << bad << ": " << why;
  }
}

// jit.lcd's pixels as one character each: '.' background, 'r' red pen, '?' other.
std::vector<std::string> picture(Box& lcd) {
  lcd.clear_events();
  lcd.send(gensym("bang"));
  void* m = boxes::last_matrix(lcd);
  if (!m) return {};
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  const auto* d = reinterpret_cast<const std::uint8_t*>(zelk::host::matrix_data(m));
  std::vector<std::string> rows;
  for (long y = 0; y < info.dim[1]; ++y) {
    rows.emplace_back();
    for (long x = 0; x < info.dim[0]; ++x) {
      const std::uint8_t* p = d + y * info.dimstride[1] + x * 4;
      rows.back() += p[1] == 255 && p[2] == 255 && p[3] == 255 ? '.' : p[1] == 255 && p[2] == 0 && p[3] == 0 ? 'r' : '?';
    }
  }
  return rows;
}

TEST(JitLcd, DrawsAsQuickDrawWithinTheMatrix) {
  using Rows = std::vector<std::string>;
  const struct {
    std::vector<const char*> messages;
    Rows expect;
  } cases[] = {
      // Right and bottom edges are exclusive; the pen hangs below-right of its point.
      {{"paintrect 1 1 3 4"}, {"........", ".rr.....", ".rr.....", ".rr.....", "........", "........"}},
      {{"linesegment 0 0 3 1"}, {"rr......", "..rr....", "........", "........", "........", "........"}},
      {{"pensize 2 2", "framerect 0 0 8 6"}, {"rrrrrrrr", "rrrrrrrr", "rr....rr", "rr....rr", "rrrrrrrr", "rrrrrrrr"}},
      {{"moveto 5 2", "line 2 0", "pensize 0 0", "lineto 0 0"}, {"........", "........", ".....rrr", "........", "........", "........"}},
      {{"paintoval 0 0 8 6"}, {"..rrrr..", ".rrrrrr.", "rrrrrrrr", "rrrrrrrr", ".rrrrrr.", "..rrrr.."}},
      {{"paintpoly 0 0 4 0 4 2"}, {".rrr....", "...r....", "........", "........", "........", "........"}},
      // Clipped, however far out.
      {{"linesegment -99999 -99999 99999 99999", "paintrect -5 5 99 99999"},
       {"r.......", ".r......", "..r.....", "...r....", "....r...", "rrrrrrrr"}},
      {{"paintrect 0 0 8 6", "brgb 255 255 255", "eraseoval 2 2 6 6", "clear", "framepoly 1 1 2 1"},
       {"........", ".rr.....", "........", "........", "........", "........"}},
  };
  for (const auto& c : cases) {
    auto lcd = make("jit.lcd 4 char 8 6");
    ASSERT_TRUE(lcd);
    ASSERT_TRUE(lcd->send_text("frgb 255 0 0"));
    for (const char* m : c.messages) ASSERT_TRUE(lcd->send_text(m)) << m;
    EXPECT_TRUE(lcd->events().empty()) << "drawing sends nothing";
    EXPECT_EQ(picture(*lcd), c.expect) << c.messages[0];
  }

  // Text stands on the pen's row line and moves the pen on; clipped at the edges.
  auto lcd = make("jit.lcd 4 char 16 12");
  for (const char* m : {"frgb 255 0 0", "moveto 1 9", "write Hi", "moveto 12 3", "write WWW", "font Arial 48", "write A"})
    ASSERT_TRUE(lcd->send_text(m));
  const Rows text = picture(*lcd);
  ASSERT_EQ(text.size(), 12u);
  EXPECT_EQ(text[9], std::string(16, '.')) << "nothing on or below the baseline";
  EXPECT_EQ(text[2].substr(1, 5), "r..r.") << "the H's uprights";
  // expr can make NaN: a coordinate, colour or size of NaN is 0 (and a size of 0 refused).
  t_atom nan;
  jit_atom_setfloat(&nan, std::nan(""));
  for (const char* m : {"paintrect", "frgb", "pensize", "dim", "ascii"}) lcd->send(gensym(m), std::vector<t_atom>(4, nan));
  for (const char* refused : {"jit_matrix foo", "paintrect 1 2", "framepoly 1 2 3", "foo"}) {
    lcd->clear_events();
    lcd->send_text(refused);
    ASSERT_EQ(lcd->events().size(), 1u) << refused;
    EXPECT_EQ(lcd->events()[0].kind, Event::Kind::Console) << refused;
  }
}

TEST(JitCellblock, KeepsABoundedCopyOfTheLastMatrix) {
  zelk::host::register_patch_objects();
  auto cb = make("jit.cellblock");
  ASSERT_TRUE(cb);
  std::vector<std::vector<std::string>> rows;
  ASSERT_TRUE(zelk::host::displayed_cells(cb->object(), &rows));
  EXPECT_TRUE(rows.empty());

  void* two = zelk::host::new_matrix(_jit_sym_char, 2, {3, 2});
  auto* d = reinterpret_cast<std::uint8_t*>(zelk::host::matrix_data(two));
  const long stride = zelk::host::matrix_info(two).dimstride[1];
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 3; ++x) d[y * stride + x * 2] = static_cast<std::uint8_t>(10 * y + x), d[y * stride + x * 2 + 1] = 7;
  cb->send_matrix(two);
  jit_object_free(two);  // a copy was kept
  ASSERT_TRUE(zelk::host::displayed_cells(cb->object(), &rows));
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"0 7", "1 7", "2 7"}, {"10 7", "11 7", "12 7"}}));
  cb->clear_events();
  cb->send(gensym("bang"));
  ASSERT_EQ(cb->events().size(), 6u);
  EXPECT_EQ(events(*cb).substr(0, 26), "0:list 0 0 0 7; 0:list 1 0");

  void* line = zelk::host::new_matrix(_jit_sym_float32, 1, {2});
  reinterpret_cast<float*>(zelk::host::matrix_data(line))[0] = 0.5f;
  reinterpret_cast<float*>(zelk::host::matrix_data(line))[1] = 2;
  cb->send_matrix(line);
  jit_object_free(line);
  zelk::host::displayed_cells(cb->object(), &rows);
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"0.5", "2."}}));

  void* big = zelk::host::new_matrix(_jit_sym_long, 1, {100, 70});
  cb->send_matrix(big);
  jit_object_free(big);
  zelk::host::displayed_cells(cb->object(), &rows);
  ASSERT_EQ(rows.size(), 64u);
  EXPECT_EQ(rows[63].size(), 64u);
  cb->send_text("clear");
  zelk::host::displayed_cells(cb->object(), &rows);
  EXPECT_TRUE(rows.empty());
  std::string text;
  EXPECT_FALSE(zelk::host::displayed_value(cb->object(), &text));
}

}  // namespace
