// expr: a C-like expression over its inlets ($i1..$i9 as ints, $f1..$f9
// as floats), parsed once when the box is made. Values keep C's types: an
// operation on two ints is an int, anything with a float is a float,
// comparisons and logic give ints; the result goes out as an int or a float.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "patch_objects/object_kit.h"

namespace zelk::objects {
namespace {

struct Value {
  bool is_float = false;
  std::int64_t i = 0;
  double f = 0;
  double real() const { return is_float ? f : static_cast<double>(i); }
  static Value of_int(std::int64_t v) { return {false, v, 0}; }
  static Value of_float(double v) { return {true, 0, v}; }
};

// C's truncation, saturated (and NaN as 0) where C's would be undefined.
std::int64_t to_int(double v) {
  if (!(v == v)) return 0;
  if (v <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
  if (v >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(v);
}
std::int64_t int_of(const Value& v) { return v.is_float ? to_int(v.f) : v.i; }

struct Node {
  enum Kind { Number, Inlet, Unary, Binary, Call } kind = Number;
  Value value;           // Number
  int inlet = 0;         // Inlet
  bool as_float = false; // Inlet: $f, else $i
  std::string op;        // Unary, Binary: the operator; Call: the function
  std::vector<std::unique_ptr<Node>> args;
};

struct Function {
  const char* name;
  int arity;
};
constexpr Function kFunctions[] = {
    {"sin", 1},   {"cos", 1},   {"tan", 1},   {"asin", 1},  {"acos", 1},  {"atan", 1},  {"atan2", 2},
    {"sinh", 1},  {"cosh", 1},  {"tanh", 1},  {"sqrt", 1},  {"abs", 1},   {"fabs", 1},  {"pow", 2},
    {"exp", 1},   {"log", 1},   {"ln", 1},    {"log10", 1}, {"min", 2},   {"max", 2},   {"int", 1},
    {"float", 1}, {"floor", 1}, {"ceil", 1},  {"round", 1}, {"fmod", 2},
};

// Recursive descent over C's precedence: || && | ^ & (== !=) (< > <= >=)
// (<< >>) (+ -) (* / %) unary.
class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}
  std::unique_ptr<Node> parse(std::string* why) {
    std::unique_ptr<Node> n = binary(0);
    skip();
    if (n && pos_ < s_.size()) fail("unexpected \"" + s_.substr(pos_, 10) + "\"");
    if (!why_.empty()) {
      *why = why_;
      return nullptr;
    }
    return n;
  }
  int inlets() const { return inlets_; }

 private:
  static constexpr const char* kLevels[][4] = {{"||"},       {"&&"},      {"|"},       {"^"},  {"&"},
                                               {"==", "!="}, {"<=", ">=", "<", ">"}, {"<<", ">>"},
                                               {"+", "-"},   {"*", "/", "%"}};
  static constexpr int kLevelCount = 10;
  static constexpr int kMaxDepth = 200;  // nesting a stack can take

  void skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  bool accept(const std::string& t) {
    skip();
    if (s_.compare(pos_, t.size(), t) != 0) return false;
    // "|" is not the start of "||", nor "<" of "<<" or "<=", nor "&" of "&&".
    const char next = pos_ + t.size() < s_.size() ? s_[pos_ + t.size()] : '\0';
    if (t.size() == 1 && (t == "|" || t == "&") && next == t[0]) return false;
    if (t.size() == 1 && (t == "<" || t == ">") && (next == '=' || next == t[0])) return false;
    pos_ += t.size();
    return true;
  }
  void fail(const std::string& why) {
    if (why_.empty()) why_ = why;
  }

  std::unique_ptr<Node> binary(int level) {
    if (level == kLevelCount) return unary();
    std::unique_ptr<Node> left = binary(level + 1);
    while (left && why_.empty()) {
      const char* matched = nullptr;
      for (const char* op : kLevels[level])
        if (op && accept(op)) {
          matched = op;
          break;
        }
      if (!matched) break;
      auto n = std::make_unique<Node>();
      n->kind = Node::Binary;
      n->op = matched;
      n->args.push_back(std::move(left));
      n->args.push_back(binary(level + 1));
      if (!n->args[1]) return nullptr;
      left = std::move(n);
    }
    return left;
  }

  std::unique_ptr<Node> unary() {
    if (++depth_ > kMaxDepth) {
      fail("nested too deeply");
      return nullptr;
    }
    std::unique_ptr<Node> n;
    for (const char* op : {"-", "+", "!", "~"})
      if (!n && accept(op)) {
        n = std::make_unique<Node>();
        n->kind = Node::Unary;
        n->op = op;
        n->args.push_back(unary());
        if (!n->args[0]) n = nullptr;
        --depth_;
        return n;
      }
    n = primary();
    --depth_;
    return n;
  }

  std::unique_ptr<Node> primary() {
    skip();
    if (pos_ >= s_.size()) {
      fail("ends too early");
      return nullptr;
    }
    const char c = s_[pos_];
    if (accept("(")) {
      std::unique_ptr<Node> n = binary(0);
      if (n && !accept(")")) fail("a ( without its )");
      return why_.empty() ? std::move(n) : nullptr;
    }
    auto n = std::make_unique<Node>();
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      std::size_t end = pos_;
      while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '.')) ++end;
      if (end < s_.size() && (s_[end] == 'e' || s_[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < s_.size() && (s_[e] == '-' || s_[e] == '+')) ++e;
        if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
          end = e;
          while (end < s_.size() && std::isdigit(static_cast<unsigned char>(s_[end]))) ++end;
        }
      }
      const std::string word = s_.substr(pos_, end - pos_);
      pos_ = end;
      if (word.find_first_of("0123456789") == std::string::npos) return fail("a lone ."), nullptr;
      if (word.find_first_of(".eE") == std::string::npos) n->value = Value::of_int(to_int(std::strtod(word.c_str(), nullptr)));
      else n->value = Value::of_float(std::strtod(word.c_str(), nullptr));
      return n;
    }
    if (c == '$') {
      const char type = pos_ + 1 < s_.size() ? s_[pos_ + 1] : '\0';
      const char digit = pos_ + 2 < s_.size() ? s_[pos_ + 2] : '\0';
      if ((type != 'i' && type != 'f') || digit < '1' || digit > '9') {
        fail("only $i1..$i9 and $f1..$f9 are known (" + s_.substr(pos_, 3) + ")");
        return nullptr;
      }
      pos_ += 3;
      n->kind = Node::Inlet;
      n->inlet = digit - '1';
      n->as_float = type == 'f';
      inlets_ = std::max(inlets_, n->inlet + 1);
      return n;
    }
    if (std::isalpha(static_cast<unsigned char>(c))) {
      std::size_t end = pos_;
      while (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_')) ++end;
      const std::string name = s_.substr(pos_, end - pos_);
      pos_ = end;
      const Function* f = nullptr;
      for (const Function& k : kFunctions)
        if (name == k.name) f = &k;
      if (!f) return fail("no function " + name), nullptr;
      if (!accept("(")) return fail(name + " without (...)"), nullptr;
      n->kind = Node::Call;
      n->op = name;
      for (int a = 0; a < f->arity; ++a) {
        if (a > 0 && !accept(",")) return fail(name + " takes " + std::to_string(f->arity) + " arguments"), nullptr;
        n->args.push_back(binary(0));
        if (!n->args.back()) return nullptr;
      }
      if (!accept(")")) return fail(name + " takes " + std::to_string(f->arity) + " arguments"), nullptr;
      return n;
    }
    fail(std::string("unexpected \"") + c + "\"");
    return nullptr;
  }

  const std::string& s_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  int inlets_ = 0;
  std::string why_;
};

struct Expr {
  std::unique_ptr<Node> root;
  std::vector<Value> inlets;  // what came in, as it came
  void* outlet = nullptr;
  bool divided_by_zero = false;

  bool init(t_object* self, long argc, t_atom* argv) {
    // The box text came split into atoms; rejoined, floats keep their point.
    // Max saves a comma in a box's text escaped, "min($f1\, 100)", and a
    // backslash means nothing else in an expression.
    std::string text;
    for (long i = 0; i < argc; ++i) {
      if (i) text += ' ';
      for (const char c : shown_text(argv[i]))
        if (c != '\\') text += c;
    }
    Parser p(text);
    std::string why;
    root = p.parse(&why);
    if (!root) {
      error("expr: %s: %s", text.empty() ? "no expression" : text.c_str(), why.c_str());
      return false;
    }
    inlets.assign(static_cast<std::size_t>(std::max(p.inlets(), 1)), Value::of_int(0));
    for (std::size_t i = 1; i < inlets.size(); ++i) inlet_new(self, nullptr);
    outlet = outlet_new(self, nullptr);
    return true;
  }

  static bool store(Value* slot, const t_atom& a) {
    if (!is_number(a)) return false;
    *slot = a.a_type == A_LONG ? Value::of_int(a.a_w.w_long) : Value::of_float(a.a_w.w_float);
    return true;
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const auto inlet = static_cast<std::size_t>(proxy_getinlet(self));
    if (!is(s, "bang")) {
      if (!is(s, "int") && !is(s, "float") && !is(s, "list")) {
        error("expr: doesn't understand \"%s\"", s->s_name);
        return;
      }
      // A list spreads over the inlets from the one it came in.
      for (long k = 0; k < argc && inlet + static_cast<std::size_t>(k) < inlets.size(); ++k)
        if (!store(&inlets[inlet + static_cast<std::size_t>(k)], argv[k])) {
          error("expr: %s is not a number", atom_text(argv[k]).c_str());
          return;
        }
    }
    if (inlet != 0) return;
    divided_by_zero = false;
    const Value v = eval(*root);
    if (divided_by_zero) error("expr: divide by zero");
    if (v.is_float) outlet_float(outlet, v.f);
    else outlet_int(outlet, static_cast<t_atom_long>(v.i));
  }

  Value eval(const Node& n) {
    switch (n.kind) {
      case Node::Number: return n.value;
      case Node::Inlet: {
        const Value& in = inlets[static_cast<std::size_t>(n.inlet)];
        return n.as_float ? Value::of_float(in.real()) : Value::of_int(int_of(in));
      }
      case Node::Unary: {
        const Value a = eval(*n.args[0]);
        if (n.op == "-") return a.is_float ? Value::of_float(-a.f) : Value::of_int(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a.i)));
        if (n.op == "+") return a;
        if (n.op == "!") return Value::of_int(a.real() == 0);
        return Value::of_int(~int_of(a));
      }
      case Node::Binary: return binary(n.op, eval(*n.args[0]), eval(*n.args[1]));
      case Node::Call: return call(n);
    }
    return {};
  }

  Value binary(const std::string& op, const Value& a, const Value& b) {
    if (op == "&&") return Value::of_int(a.real() != 0 && b.real() != 0);
    if (op == "||") return Value::of_int(a.real() != 0 || b.real() != 0);
    if (op == "==") return Value::of_int(a.real() == b.real());
    if (op == "!=") return Value::of_int(a.real() != b.real());
    if (op == "<") return Value::of_int(a.real() < b.real());
    if (op == ">") return Value::of_int(a.real() > b.real());
    if (op == "<=") return Value::of_int(a.real() <= b.real());
    if (op == ">=") return Value::of_int(a.real() >= b.real());
    const std::int64_t x = int_of(a), y = int_of(b);
    const auto ux = static_cast<std::uint64_t>(x), uy = static_cast<std::uint64_t>(y);
    // Bitwise operators and % work on ints, as in C.
    if (op == "&") return Value::of_int(x & y);
    if (op == "|") return Value::of_int(x | y);
    if (op == "^") return Value::of_int(x ^ y);
    if (op == "<<") return Value::of_int(y < 0 || y > 63 ? 0 : static_cast<std::int64_t>(ux << y));
    if (op == ">>") return Value::of_int(y < 0 || y > 63 ? (x < 0 ? -1 : 0) : x >> y);
    if (op == "%") {
      if (y == 0) return divided_by_zero = true, Value::of_int(0);
      return Value::of_int(y == -1 ? 0 : x % y);
    }
    if (a.is_float || b.is_float) {
      const double p = a.real(), q = b.real();
      if (op == "+") return Value::of_float(p + q);
      if (op == "-") return Value::of_float(p - q);
      if (op == "*") return Value::of_float(p * q);
      if (q == 0) return divided_by_zero = true, Value::of_float(0);
      return Value::of_float(p / q);
    }
    if (op == "+") return Value::of_int(static_cast<std::int64_t>(ux + uy));
    if (op == "-") return Value::of_int(static_cast<std::int64_t>(ux - uy));
    if (op == "*") return Value::of_int(static_cast<std::int64_t>(ux * uy));
    if (y == 0) return divided_by_zero = true, Value::of_int(0);
    if (y == -1) return Value::of_int(static_cast<std::int64_t>(0 - ux));
    return Value::of_int(x / y);
  }

  Value call(const Node& n) {
    const std::string& f = n.op;
    const Value a = eval(*n.args[0]);
    const Value b = n.args.size() > 1 ? eval(*n.args[1]) : Value{};
    const double x = a.real(), y = b.real();
    if (f == "int") return Value::of_int(int_of(a));
    if (f == "float") return Value::of_float(x);
    // These keep an int an int.
    if (f == "abs") return a.is_float ? Value::of_float(std::fabs(x)) : Value::of_int(a.i < 0 ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a.i)) : a.i);
    if (f == "min" || f == "max") {
      const bool first = f == "min" ? x <= y : x >= y;
      if (!a.is_float && !b.is_float) return first ? a : b;
      return Value::of_float(first ? x : y);
    }
    if (f == "floor" || f == "ceil" || f == "round") {
      if (!a.is_float) return a;
      return Value::of_float(f == "floor" ? std::floor(x) : f == "ceil" ? std::ceil(x) : std::round(x));
    }
    double r = 0;
    if (f == "sin") r = std::sin(x);
    else if (f == "cos") r = std::cos(x);
    else if (f == "tan") r = std::tan(x);
    else if (f == "asin") r = std::asin(x);
    else if (f == "acos") r = std::acos(x);
    else if (f == "atan") r = std::atan(x);
    else if (f == "atan2") r = std::atan2(x, y);
    else if (f == "sinh") r = std::sinh(x);
    else if (f == "cosh") r = std::cosh(x);
    else if (f == "tanh") r = std::tanh(x);
    else if (f == "sqrt") r = std::sqrt(x);
    else if (f == "fabs") r = std::fabs(x);
    else if (f == "pow") r = std::pow(x, y);
    else if (f == "exp") r = std::exp(x);
    else if (f == "log" || f == "ln") r = std::log(x);
    else if (f == "log10") r = std::log10(x);
    else if (f == "fmod") r = y == 0 ? (divided_by_zero = true, 0.0) : std::fmod(x, y);
    return Value::of_float(r);
  }
};

}  // namespace

std::vector<ObjectMain> expr_objects() { return {{"expr", object_main<Expr>}}; }

}  // namespace zelk::objects
