// The Max objects that steer messages in help patches: gate, the
// arithmetic boxes, select, trigger, send and receive, loadmess, pack,
// unpack, prepend, route, and the number, flonum and attrui boxes, which
// keep what they show for the runner to draw.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "patch_objects/object_kit.h"

namespace zelk::objects {
namespace {

constexpr long kMaxOutlets = 256;  // a typo'd "gate 100000" must not make a box of 100000 outlets

t_atom long_atom(t_atom_long v) {
  t_atom a;
  jit_atom_setlong(&a, v);
  return a;
}
t_atom float_atom(double v) {
  t_atom a;
  jit_atom_setfloat(&a, v);
  return a;
}
t_atom sym_atom(t_symbol* s) {
  t_atom a;
  jit_atom_setsym(&a, s);
  return a;
}

// A double as an int the way C truncates, saturated where C would be undefined.
t_atom_long truncated(double v) {
  if (!(v == v)) return 0;
  constexpr double lo = static_cast<double>(std::numeric_limits<t_atom_long>::min());
  constexpr double hi = static_cast<double>(std::numeric_limits<t_atom_long>::max());
  if (v <= lo) return std::numeric_limits<t_atom_long>::min();
  if (v >= hi) return std::numeric_limits<t_atom_long>::max();
  return static_cast<t_atom_long>(v);
}

bool is_plain_number(t_symbol* s) { return is(s, "int") || is(s, "float"); }

// A message's atoms sent again out of `outlet`: as it came.
void pass(void* outlet, t_symbol* s, long argc, t_atom* argv) {
  outlet_anything(outlet, s, static_cast<short>(argc), argv);
}

// One outlet's send of "symbol X".
void send_symbol(void* outlet, t_symbol* s) {
  t_atom a = sym_atom(s);
  outlet_anything(outlet, gensym("symbol"), 1, &a);
}

// Atoms equal as select and route compare them: numbers by value, symbols by name.
bool same_atom(const t_atom& a, const t_atom& b) {
  if (is_number(a) && is_number(b)) return number_of(a) == number_of(b);
  return a.a_type == A_SYM && b.a_type == A_SYM && a.a_w.w_sym == b.a_w.w_sym;
}

// ---- gate ---------------------------------------------------------------------------

// gate N [open]: the right inlet's messages go out of outlet `open` (1 is
// the leftmost); 0 closes it, below 0 is the leftmost, above N the rightmost.
struct Gate {
  std::vector<void*> outlets;  // left to right
  t_atom_long open = 0;

  void init(t_object* self, long argc, t_atom* argv) {
    long n = argc >= 1 && is_number(argv[0]) ? static_cast<long>(number_of(argv[0])) : 1;
    if (n < 1 || n > kMaxOutlets) {
      error("gate: %ld outlets: takes 1 to %ld", n, kMaxOutlets);
      n = std::clamp(n, 1L, kMaxOutlets);
    }
    if (argc >= 2 && is_number(argv[1])) open = truncated(number_of(argv[1]));
    inlet_new(self, nullptr);
    outlets.resize(static_cast<std::size_t>(n));
    for (long i = n - 1; i >= 0; --i) outlets[static_cast<std::size_t>(i)] = outlet_new(self, nullptr);
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (proxy_getinlet(self) == 1) {
      if (open == 0) return;
      const auto n = static_cast<t_atom_long>(outlets.size());
      pass(outlets[static_cast<std::size_t>(std::clamp<t_atom_long>(open, 1, n) - 1)], s, argc, argv);
      return;
    }
    if (is(s, "bang")) outlet_int(outlets[0], open);
    else if (is_plain_number(s) && argc >= 1) open = truncated(number_of(argv[0]));
    else error("gate: doesn't understand \"%s\" in its left inlet", s->s_name);
  }
};

// ---- + - * / -----------------------------------------------------------------------

// The right operand from the box (0 unless typed; a float makes the box
// compute in floats), the left from the left inlet, which outputs. Ints
// wrap in 64 bits; int division by 0 divides by 1, float division by 0
// gives -2^31, as Max documents for /.
template <char Op>
struct Arithmetic {
  struct Operand {
    t_atom_long i = 0;
    double f = 0;
  };
  bool floating = false;
  Operand left, right;
  void* outlet = nullptr;

  Operand operand(const t_atom& a) const {
    Operand o;
    o.i = a.a_type == A_LONG ? a.a_w.w_long : truncated(number_of(a));
    o.f = floating ? number_of(a) : static_cast<double>(o.i);
    return o;
  }
  void init(t_object* self, long argc, t_atom* argv) {
    inlet_new(self, nullptr);
    outlet = outlet_new(self, nullptr);
    if (argc >= 1 && is_number(argv[0])) {
      floating = argv[0].a_type == A_FLOAT;
      right = operand(argv[0]);
    }
  }

  void output() {
    if (floating) {
      const double a = left.f, b = right.f;
      outlet_float(outlet, Op == '+'   ? a + b
                           : Op == '-' ? a - b
                           : Op == '*' ? a * b
                           : b == 0    ? -2147483648.0
                                       : a / b);
      return;
    }
    const auto a = static_cast<std::int64_t>(left.i), b = static_cast<std::int64_t>(right.i);
    const auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
    std::int64_t v = a;  // also the quotient by 0 (as by 1) and the one that wraps back to itself
    if (Op == '+') v = static_cast<std::int64_t>(ua + ub);
    else if (Op == '-') v = static_cast<std::int64_t>(ua - ub);
    else if (Op == '*') v = static_cast<std::int64_t>(ua * ub);
    else if (b != 0 && !(b == -1 && a == std::numeric_limits<std::int64_t>::min())) v = a / b;
    outlet_int(outlet, static_cast<t_atom_long>(v));
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const bool numbers = argc >= 1 && std::all_of(argv, argv + argc, is_number);
    if (proxy_getinlet(self) == 1) {
      if ((is_plain_number(s) || is(s, "list")) && numbers) right = operand(argv[0]);
      else error("%c: doesn't understand \"%s\" in its right inlet", Op, s->s_name);
      return;
    }
    if (is(s, "set") && numbers) {
      left = operand(argv[0]);
      return;
    }
    if (is(s, "bang")) return output();
    if (!(is_plain_number(s) || is(s, "list")) || !numbers) {
      error("%c: doesn't understand \"%s\"", Op, s->s_name);
      return;
    }
    left = operand(argv[0]);
    if (argc >= 2) right = operand(argv[1]);
    output();
  }
};

// ---- select --------------------------------------------------------------------------

// select A B ...: an input equal to argument k bangs outlet k; anything
// else goes out of the rightmost outlet as it came. A float compares
// truncated. With one argument the right inlet replaces it.
// select and route: their arguments are keys (`0` without any), an outlet
// for each and a rightmost one for the rest; a right inlet replaces the
// first key.
struct Keyed {
  std::vector<t_atom> keys;
  std::vector<void*> outlets;  // left to right, the rightmost for the rest

  void make_keys(t_object* self, long argc, t_atom* argv, bool right_inlet) {
    keys.assign(argv, argv + std::min(argc, kMaxOutlets - 1));
    if (keys.empty()) keys.push_back(long_atom(0));
    if (right_inlet) inlet_new(self, nullptr);
    outlets.resize(keys.size() + 1);
    for (std::size_t i = outlets.size(); i-- > 0;) outlets[i] = outlet_new(self, nullptr);
  }

  // True when the message came to the right inlet (and was taken there).
  bool replaced_key(t_object* self, const char* name, t_symbol* s, long argc, t_atom* argv) {
    if (proxy_getinlet(self) != 1) return false;
    const std::vector<t_atom> v = message_atoms(s, argc, argv);
    if (v.size() == 1) keys[0] = v[0];
    else error("%s: its right inlet takes one number or symbol", name);
    return true;
  }
};

struct Select : Keyed {
  void init(t_object* self, long argc, t_atom* argv) { make_keys(self, argc, argv, argc <= 1); }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (replaced_key(self, "select", s, argc, argv)) return;
    t_atom in;
    bool comparable = true;
    if (is(s, "int") && argc >= 1) in = argv[0];
    else if (is(s, "float") && argc >= 1) in = long_atom(truncated(number_of(argv[0])));
    else if (is(s, "symbol") && argc >= 1 && argv[0].a_type == A_SYM) in = argv[0];
    else if (!is(s, "list") && !is(s, "bang")) in = sym_atom(s);
    else comparable = false;
    if (comparable)
      for (std::size_t k = 0; k < keys.size(); ++k)
        if (same_atom(in, keys[k])) return (void)outlet_bang(outlets[k]);
    pass(outlets.back(), s, argc, argv);
  }
};

// ---- trigger ---------------------------------------------------------------------------

// trigger FORMAT...: each outlet, right to left, sends the input as its
// letter says (b bang, i int, f float, l list, s symbol, a as it came) or
// a constant typed in its place. As Max documents it: a symbol, list or
// bang is 0 to i and f; anything but a list or a number is the list 0 to
// l; anything but a symbol is the empty symbol to s.
struct Trigger {
  std::vector<t_atom> formats;
  std::vector<void*> outlets;  // left to right

  void init(t_object* self, long argc, t_atom* argv) {
    formats.assign(argv, argv + std::min(argc, kMaxOutlets));
    if (formats.empty()) formats = {sym_atom(gensym("i")), sym_atom(gensym("i"))};
    outlets.resize(formats.size());
    for (std::size_t i = outlets.size(); i-- > 0;) outlets[i] = outlet_new(self, nullptr);
  }

  static char letter(const t_atom& f) {
    if (f.a_type != A_SYM) return 0;
    const std::string n = f.a_w.w_sym->s_name;
    for (const char* full : {"bang", "int", "float", "list", "symbol", "anything"})
      if (n == full || (n.size() == 1 && n[0] == full[0])) return full[0];
    return 0;
  }

  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    const bool number = is_plain_number(s) && argc >= 1;
    const bool list = is(s, "list") && argc >= 1;
    for (std::size_t k = formats.size(); k-- > 0;) {
      void* o = outlets[k];
      const t_atom& f = formats[k];
      switch (letter(f)) {
        case 'b': outlet_bang(o); break;
        case 'i': outlet_int(o, number ? truncated(number_of(argv[0])) : 0); break;
        case 'f': outlet_float(o, number ? number_of(argv[0]) : 0.0); break;
        case 'l':
          if (number || list) send_atoms(o, argc, argv);
          else {
            t_atom zero = long_atom(0);
            outlet_list(o, gensym("list"), 1, &zero);
          }
          break;
        case 's':
          if (is(s, "symbol") && argc >= 1 && argv[0].a_type == A_SYM) send_symbol(o, argv[0].a_w.w_sym);
          else if (!number && !list && !is(s, "bang") && !is(s, "symbol")) send_symbol(o, s);
          else send_symbol(o, gensym(""));
          break;
        case 'a': pass(o, s, argc, argv); break;
        default: send_atoms(o, 1, &f);  // a constant
      }
    }
  }
};

// ---- send, receive -----------------------------------------------------------------------

struct Receive;
// Receivers by name, in the order they were made: one process, one namespace, as in Max.
std::map<t_symbol*, std::vector<Receive*>>& receivers() {
  static auto* r = new std::map<t_symbol*, std::vector<Receive*>>;  // outlives every box, whenever freed
  return *r;
}

// receive NAME: what any send NAME is sent. "set NAME" listens to another name.
struct Receive {
  t_symbol* name = nullptr;
  void* outlet = nullptr;

  void listen(t_symbol* to) {
    if (name) {
      auto& v = receivers()[name];
      v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    name = to;
    if (name) receivers()[name].push_back(this);
  }
  ~Receive() { listen(nullptr); }
  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    if (argc >= 1 && argv[0].a_type == A_SYM) listen(argv[0].a_w.w_sym);
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "set") && argc >= 1 && argv[0].a_type == A_SYM) listen(argv[0].a_w.w_sym);
    else error("receive: doesn't understand \"%s\"", s->s_name);
  }
};

// send NAME: every message to each receive NAME, none when there is none.
struct Send {
  t_symbol* name = nullptr;
  void init(t_object*, long argc, t_atom* argv) {
    if (argc >= 1 && argv[0].a_type == A_SYM) name = argv[0].a_w.w_sym;
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "set") && argc >= 1 && argv[0].a_type == A_SYM) {
      name = argv[0].a_w.w_sym;
      return;
    }
    if (!name) return (void)error("send: no name to send to");
    auto it = receivers().find(name);
    if (it == receivers().end()) return;
    // By index: a receiver's patch may add or remove receivers while it runs.
    const std::vector<Receive*>& v = it->second;
    for (std::size_t i = 0; i < v.size(); ++i) pass(v[i]->outlet, s, argc, argv);
  }
};

// ---- loadmess ----------------------------------------------------------------------------

// loadmess ARGS: its arguments as one message when the patch has loaded
// ("loadbang", which the runner sends) and on bang; "set" replaces them.
struct LoadMess {
  std::vector<t_atom> args;
  void* outlet = nullptr;
  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    args.assign(argv, argv + argc);
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "loadbang") || is(s, "bang")) send_atoms(outlet, static_cast<long>(args.size()), args.data());
    else if (is(s, "set")) args.assign(argv, argv + argc);
    else error("loadmess: doesn't understand \"%s\"", s->s_name);
  }
};

// ---- pack, unpack ----------------------------------------------------------------------

// A slot of pack or an outlet of unpack, typed by its box argument: an int
// or i, a float or f, any other symbol (s: the empty one) a symbol.
struct Typed {
  char type = 'i';
  t_atom value{};
  static Typed from(const t_atom& a) {
    Typed t;
    if (a.a_type == A_FLOAT) t = {'f', a};
    else if (a.a_type == A_LONG) t = {'i', a};
    else {
      const std::string n = a.a_w.w_sym->s_name;
      if (n == "i" || n == "int") t = {'i', long_atom(0)};
      else if (n == "f" || n == "float") t = {'f', float_atom(0)};
      else t = {'s', sym_atom(n == "s" || n == "symbol" ? gensym("") : a.a_w.w_sym)};
    }
    return t;
  }
  // `a` as this type; false (reported as `who`'s error) when a number meets a symbol.
  bool take(const t_atom& a, const char* who) {
    if ((type == 's') != (a.a_type == A_SYM)) {
      error("%s: %s where a %s belongs", who, atom_text(a).c_str(), type == 's' ? "symbol" : "number");
      return false;
    }
    value = type == 'i' ? long_atom(truncated(number_of(a))) : type == 'f' ? float_atom(number_of(a)) : a;
    return true;
  }
};

std::vector<Typed> typed_list(long argc, t_atom* argv) {
  std::vector<Typed> out;
  for (long i = 0; i < std::min(argc, kMaxOutlets); ++i) out.push_back(Typed::from(argv[i]));
  if (out.empty()) out = {Typed::from(long_atom(0)), Typed::from(long_atom(0))};
  return out;
}

// pack: one inlet per slot; the left one outputs all slots as a list (a
// symbol first makes it its selector). A list fills slots from its inlet on.
struct Pack {
  std::vector<Typed> slots;
  void* outlet = nullptr;
  void init(t_object* self, long argc, t_atom* argv) {
    slots = typed_list(argc, argv);
    for (std::size_t i = 1; i < slots.size(); ++i) inlet_new(self, nullptr);
    outlet = outlet_new(self, nullptr);
  }
  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const auto inlet = static_cast<std::size_t>(proxy_getinlet(self));
    if (!is(s, "bang")) {
      const std::vector<t_atom> in = message_atoms(s, argc, argv);
      for (std::size_t k = 0; k < in.size() && inlet + k < slots.size(); ++k)
        if (!slots[inlet + k].take(in[k], "pack")) return;
    }
    if (inlet != 0) return;
    std::vector<t_atom> out;
    for (const Typed& t : slots) out.push_back(t.value);
    send_atoms(outlet, static_cast<long>(out.size()), out.data());
  }
};

// unpack: a list's items out of its outlets, right to left, each as its
// outlet's type; items past the last outlet are dropped.
struct Unpack {
  std::vector<Typed> outs;
  std::vector<void*> outlets;  // left to right
  void init(t_object* self, long argc, t_atom* argv) {
    outs = typed_list(argc, argv);
    outlets.resize(outs.size());
    for (std::size_t i = outlets.size(); i-- > 0;) outlets[i] = outlet_new(self, nullptr);
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "bang")) return (void)error("unpack: doesn't understand \"bang\"");
    const std::vector<t_atom> in = message_atoms(s, argc, argv);
    for (std::size_t k = std::min(in.size(), outs.size()); k-- > 0;) {
      if (!outs[k].take(in[k], "unpack")) continue;
      const t_atom& v = outs[k].value;
      if (v.a_type == A_SYM) send_symbol(outlets[k], v.a_w.w_sym);
      else send_atoms(outlets[k], 1, &v);
    }
  }
};

// ---- prepend, route ------------------------------------------------------------------------

// prepend WORDS: WORDS then the message (a number, list or "symbol X" as
// its values, anything else with its selector); "set WORDS" replaces them.
struct Prepend {
  std::vector<t_atom> words;
  void* outlet = nullptr;
  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    words.assign(argv, argv + argc);
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "set")) return (void)words.assign(argv, argv + argc);
    std::vector<t_atom> out = words;
    const std::vector<t_atom> in = is(s, "bang") ? std::vector<t_atom>{sym_atom(s)} : message_atoms(s, argc, argv);
    out.insert(out.end(), in.begin(), in.end());
    send_atoms(outlet, static_cast<long>(out.size()), out.data());
  }
};

// route A B ...: a message whose first item (its selector, or a number or
// list's first value) equals argument k goes out of outlet k without it
// (bang when nothing is left); others go out of the rightmost as they
// came. The right inlet replaces the first argument.
struct Route : Keyed {
  void init(t_object* self, long argc, t_atom* argv) { make_keys(self, argc, argv, true); }
  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (replaced_key(self, "route", s, argc, argv)) return;
    if (!is(s, "bang")) {
      const t_atom first = (is_plain_number(s) || is(s, "list")) && argc >= 1 ? argv[0] : sym_atom(s);
      const bool selector = first.a_type == A_SYM;  // the rest is all of argv
      for (std::size_t k = 0; k < keys.size(); ++k)
        if (same_atom(first, keys[k])) {
          const long skip = selector ? 0 : 1;
          send_atoms(outlets[k], argc - skip, argv + skip);
          return;
        }
    }
    pass(outlets.back(), s, argc, argv);
  }
};

// ---- number, flonum, attrui ----------------------------------------------------------------

// number and flonum: a number in (a list's first) is kept and sent, as an
// int by number; bang sends it again; "set N" keeps it silently. The right
// outlet is the mouse's, silent headless.
template <bool Float>
struct NumberBox {
  double value = 0;
  void* outlet = nullptr;
  Shown shown;
  void init(t_object* self, long, t_atom*) {
    outlet_new(self, nullptr);
    outlet = outlet_new(self, nullptr);
    shown.text(self, [this] { return Float ? float_text(value) : std::to_string(truncated(value)); });
  }
  void keep(const t_atom& a) { value = Float ? number_of(a) : static_cast<double>(truncated(number_of(a))); }
  void send() {
    if (Float) outlet_float(outlet, value);
    else outlet_int(outlet, truncated(value));
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    const bool number = argc >= 1 && is_number(argv[0]);
    if (is(s, "bang")) return send();
    if (is(s, "set") && number) return keep(argv[0]);
    if ((is_plain_number(s) || is(s, "list")) && number) {
      keep(argv[0]);
      return send();
    }
    error("%s: doesn't understand \"%s\"", Float ? "flonum" : "number", s->s_name);
  }
};

// attrui ATTR: in Max it shows and sets one attribute of the object it
// feeds, and sends only when the user changes it. Headless, values sent to
// it stand for the user's: "ATTR values..." goes out and is shown.
struct AttrUi {
  t_symbol* attr = nullptr;
  std::vector<t_atom> values;
  void* outlet = nullptr;
  Shown shown;
  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    if (argc >= 1 && argv[0].a_type == A_SYM) attr = argv[0].a_w.w_sym;
    shown.text(self, [this] {
      std::string t = attr ? attr->s_name : "";
      for (const t_atom& a : values) {
        t += ' ';
        t += shown_text(a);
      }
      return t;
    });
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (!attr) return (void)error("attrui: no attribute to set");
    if (!is(s, "bang")) {
      if (!is_plain_number(s) && !is(s, "list") && !is(s, "symbol"))
        return (void)error("attrui: doesn't understand \"%s\"", s->s_name);
      values = message_atoms(s, argc, argv);
    }
    if (values.empty()) return;
    outlet_anything(outlet, attr, static_cast<short>(values.size()), values.data());
  }
};

// One class per box name: the record type names its Max class.
struct SelectLong : Select {};
struct TriggerLong : Trigger {};
struct SendLong : Send {};
struct ReceiveLong : Receive {};

}  // namespace

std::vector<ObjectMain> control_objects() {
  return {
      {"gate", object_main<Gate>},
      {"+", object_main<Arithmetic<'+'>>},
      {"-", object_main<Arithmetic<'-'>>},
      {"*", object_main<Arithmetic<'*'>>},
      {"/", object_main<Arithmetic<'/'>>},
      {"sel", object_main<Select>},
      {"select", object_main<SelectLong>},
      {"t", object_main<Trigger>},
      {"trigger", object_main<TriggerLong>},
      {"s", object_main<Send>},
      {"send", object_main<SendLong>},
      {"r", object_main<Receive>},
      {"receive", object_main<ReceiveLong>},
      {"loadmess", object_main<LoadMess>},
      {"pack", object_main<Pack>},
      {"unpack", object_main<Unpack>},
      {"prepend", object_main<Prepend>},
      {"route", object_main<Route>},
      {"number", object_main<NumberBox<false>>},
      {"flonum", object_main<NumberBox<true>>},
      {"attrui", object_main<AttrUi>},
  };
}

}  // namespace zelk::objects
