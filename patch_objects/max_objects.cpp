// The Max objects of patches and help files, as a headless run has them:
// print posts to the console, message boxes send their text, loadbang fires
// once after loading, toggle and button pass what they are sent on. A metro
// has no clock: each frame of a run ticks the running ones (tick_clocks).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"
#include "patch_objects/patch_objects.h"
#include "zelk/host.h"

namespace zelk::objects {
namespace {

// A word the box text split off with its comma: a number again where it is one.
t_atom word_atom(const std::string& w) {
  t_atom a;
  char* end = nullptr;
  const double v = std::strtod(w.c_str(), &end);
  if (end == w.c_str() + w.size() && w.find_first_of("0123456789") != std::string::npos) {
    if (w.find_first_of(".eE") == std::string::npos) jit_atom_setlong(&a, static_cast<t_atom_long>(v));
    else jit_atom_setfloat(&a, v);
  } else {
    jit_atom_setsym(&a, gensym(w.c_str()));
  }
  return a;
}

struct Print {
  std::string name = "print";
  void init(t_object*, long argc, t_atom* argv) {
    Arguments args = split_arguments(argc, argv);
    if (!args.leading.empty()) name = atom_text(args.leading[0]);
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    // Max leaves out the selectors of plain numbers and lists.
    std::string text = is(s, "int") || is(s, "float") || is(s, "list") ? "" : s->s_name;
    for (long i = 0; i < argc; ++i) {
      if (!text.empty()) text += ' ';
      text += atom_text(argv[i]);
    }
    post("%s: %s", name.c_str(), text.c_str());
  }
};

// A message box: its text, messages separated by commas, $1..$9 replaced
// by what came in.
struct Message {
  std::vector<std::vector<t_atom>> messages;
  void* outlet = nullptr;

  void set(long argc, const t_atom* argv) {
    messages.assign(1, {});
    for (long i = 0; i < argc; ++i) {
      const t_atom& a = argv[i];
      std::string word = a.a_type == A_SYM ? a.a_w.w_sym->s_name : "";
      if (!word.empty() && word.back() == ',') {
        word.pop_back();
        if (!word.empty()) messages.back().push_back(word_atom(word));
        messages.emplace_back();
      } else {
        messages.back().push_back(a);
      }
    }
  }
  Shown shown;
  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    set(argc, argv);
    // Its text, as "set" leaves it: how a patch shows a list.
    shown.text(self, [this] {
      std::string t;
      for (std::size_t m = 0; m < messages.size(); ++m)
        for (std::size_t k = 0; k < messages[m].size(); ++k) {
          if (!t.empty()) t.push_back(' ');
          t.append(shown_text(messages[m][k]));
          if (k + 1 == messages[m].size() && m + 1 < messages.size()) t.push_back(',');
        }
      return t;
    });
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "set")) {
      set(argc, argv);
      return;
    }
    std::vector<t_atom> in;
    if (!is(s, "bang") && !is(s, "int") && !is(s, "float") && !is(s, "list")) {
      t_atom sel;
      jit_atom_setsym(&sel, s);
      in.push_back(sel);
    }
    in.insert(in.end(), argv, argv + argc);
    for (const auto& m : messages) {
      if (m.empty()) continue;
      std::vector<t_atom> out = m;
      for (t_atom& a : out) {
        const char* w = a.a_type == A_SYM ? a.a_w.w_sym->s_name : "";
        if (w[0] == '$' && w[1] >= '1' && w[1] <= '9' && !w[2]) {
          const std::size_t k = static_cast<std::size_t>(w[1] - '1');
          if (k < in.size()) a = in[k];
          else jit_atom_setlong(&a, 0);
        }
      }
      send_atoms(outlet, static_cast<long>(out.size()), out.data());
    }
  }
};

// A number sets the state and goes out as it came (a float as an int); bang
// flips between 0 and 1; "set N" changes the state and sends nothing.
struct Toggle {
  t_atom_long state = 0;
  void* outlet = nullptr;
  Shown shown;
  void init(t_object* self, long, t_atom*) {
    outlet = outlet_new(self, nullptr);
    shown.text(self, [this] { return std::string(state ? "1" : "0"); });
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    const bool number = argc >= 1 && is_number(argv[0]);
    if (is(s, "set")) {
      if (number) state = static_cast<t_atom_long>(number_of(argv[0]));
      return;
    }
    if (is(s, "bang")) state = state ? 0 : 1;
    else if (number) state = static_cast<t_atom_long>(number_of(argv[0]));
    else return;
    outlet_int(outlet, state);
  }
};

// button, and loadbang (which the runner sends "loadbang" once, after loading).
struct Bang {
  void* outlet = nullptr;
  void init(t_object* self, long, t_atom*) { outlet = outlet_new(self, nullptr); }
  void message(t_object*, t_symbol*, long, t_atom*) { outlet_bang(outlet); }
};

struct Button : Bang {};
struct LoadBang : Bang {};

// metro and qmetro: a number other than 0 or a bang starts them, 0 or stop
// stops them, and they bang as they start, as Max's do. A headless run has
// no clock: each frame ticks every running one once (tick_clocks).
struct Metro;
std::vector<Metro*> g_clocks;

struct Metro {
  void* outlet = nullptr;
  bool running = false;
  Metro() { g_clocks.push_back(this); }
  ~Metro() { g_clocks.erase(std::find(g_clocks.begin(), g_clocks.end(), this)); }
  Metro(const Metro&) = delete;
  Metro& operator=(const Metro&) = delete;

  void init(t_object* self, long argc, t_atom* argv) {
    outlet = outlet_new(self, nullptr);
    inlet_new(self, nullptr);  // the interval
    for (auto& [name, values] : split_arguments(argc, argv).attributes)
      if (name == "active" && !values.empty() && is_number(values[0])) running = number_of(values[0]) != 0;
  }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    const bool number = (is(s, "int") || is(s, "float")) && argc >= 1 && is_number(argv[0]);
    if (is(s, "stop") || (number && number_of(argv[0]) == 0)) {
      running = false;
    } else if (is(s, "bang") || number) {
      running = true;
      outlet_bang(outlet);
    }
  }
};

// The inlets and outlets of a subpatcher, which pass everything on.
struct Thru {
  void* outlet = nullptr;
  void init(t_object* self, long, t_atom*) { outlet = outlet_new(self, nullptr); }
  void message(t_object*, t_symbol* s, long argc, t_atom* argv) {
    outlet_anything(outlet, s, static_cast<short>(argc), argv);
  }
};

// One class per name: a class template's record type names its Max class.
struct QMetro : Metro {};
struct Inlet : Thru {};
struct Outlet : Thru {};

}  // namespace

const std::vector<ObjectMain> kMaxObjects = {
    {"print", object_main<Print>},  {"message", object_main<Message>}, {"toggle", object_main<Toggle>},
    {"button", object_main<Button>}, {"loadbang", object_main<LoadBang>}, {"metro", object_main<Metro>},
    {"qmetro", object_main<QMetro>}, {"inlet", object_main<Inlet>},       {"outlet", object_main<Outlet>},
};

}  // namespace zelk::objects

namespace zelk::host {

namespace {
const std::vector<std::vector<objects::ObjectMain>>& all_lists() {
  static const std::vector<std::vector<objects::ObjectMain>> lists = {
      objects::jitter_objects(), objects::kMaxObjects, objects::control_objects(), objects::expr_objects()};
  return lists;
}
}  // namespace

void register_patch_objects() {
  for (const auto& list : all_lists())
    for (const auto& o : list) register_object_main(o.name, o.main);
}

const std::vector<std::string>& patch_object_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto& list : all_lists())
      for (const auto& o : list) n.push_back(o.name);
    std::sort(n.begin(), n.end());
    return n;
  }();
  return names;
}

int tick_clocks() {
  // A clock a tick stops or starts waits for the next frame.
  const std::vector<objects::Metro*> running = [] {
    std::vector<objects::Metro*> r;
    for (objects::Metro* m : objects::g_clocks)
      if (m->running) r.push_back(m);
    return r;
  }();
  for (objects::Metro* m : running)
    if (std::find(objects::g_clocks.begin(), objects::g_clocks.end(), m) != objects::g_clocks.end() && m->running)
      outlet_bang(m->outlet);
  return static_cast<int>(running.size());
}

bool is_frame_source(const std::string& name) { return name == "jit.movie" || name == "jit.grab"; }

bool sends_matrices(const std::string& name) {
  objects::Op op;
  return is_frame_source(name) || name == "jit.op" || name == "jit.rgb2luma" || name == "jit.matrix" || name == "jit.lcd" ||
         name == "jit.pack" || name == "jit.transpose" ||
         (name.rfind("jit.", 0) == 0 && objects::parse_op(std::string_view(name).substr(4), &op));
}

bool displayed_value(const void* object, std::string* text) {
  const objects::Shown* s = objects::shown_by(object);
  if (!s || !s->text_of) return false;
  *text = s->text_of();
  return true;
}

bool displayed_cells(const void* object, std::vector<std::vector<std::string>>* rows) {
  const objects::Shown* s = objects::shown_by(object);
  if (!s || !s->cells_of) return false;
  *rows = s->cells_of();
  return true;
}

}  // namespace zelk::host
