// Object boxes: box text parsed into atoms, the wrapper created through its
// class's creator, messages and matrices sent into its inlet, and what its
// outlets send routed to connected boxes, depth first.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "internal.h"

namespace zelk::host {
namespace {

constexpr int kMaxDepth = 256;  // a patch loop would otherwise overflow the stack
thread_local int t_depth = 0;

bool is_number(const std::string& w, bool* integral) {
  size_t i = 0, n = w.size();
  if (i < n && (w[i] == '-' || w[i] == '+')) ++i;
  size_t digits = 0, frac = 0;
  while (i < n && std::isdigit(static_cast<unsigned char>(w[i]))) ++i, ++digits;
  bool dot = i < n && w[i] == '.';
  if (dot) {
    ++i;
    while (i < n && std::isdigit(static_cast<unsigned char>(w[i]))) ++i, ++frac;
  }
  if (digits + frac == 0) return false;
  bool exp = i < n && (w[i] == 'e' || w[i] == 'E');
  if (exp) {
    ++i;
    if (i < n && (w[i] == '-' || w[i] == '+')) ++i;
    size_t ed = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(w[i]))) ++i, ++ed;
    if (ed == 0) return false;
  }
  *integral = !dot && !exp;
  return i == n;
}

t_atom to_atom(const std::string& w) {
  t_atom a;
  bool integral = false;
  if (is_number(w, &integral)) {
    errno = 0;
    if (integral) {
      long long v = std::strtoll(w.c_str(), nullptr, 10);
      if (errno != ERANGE) {
        jit_atom_setlong(&a, static_cast<t_atom_long>(v));
        return a;
      }
    }
    jit_atom_setfloat(&a, std::strtod(w.c_str(), nullptr));
    return a;
  }
  jit_atom_setsym(&a, gensym(w.c_str()));
  return a;
}

// Words separated by white space; double quotes keep a symbol with spaces.
std::vector<t_atom> tokenize(const std::string& text, std::string* first) {
  std::vector<t_atom> atoms;
  size_t i = 0, n = text.size();
  bool have_first = false;
  while (i < n) {
    while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= n) break;
    std::string w;
    bool quoted = text[i] == '"';
    if (quoted) {
      ++i;
      while (i < n && text[i] != '"') w += text[i++];
      if (i < n) ++i;
    } else {
      while (i < n && !std::isspace(static_cast<unsigned char>(text[i]))) w += text[i++];
    }
    if (first && !have_first) {
      *first = w;
      have_first = true;
      continue;
    }
    if (quoted) {
      t_atom a;
      jit_atom_setsym(&a, gensym(w.c_str()));
      atoms.push_back(a);
    } else {
      atoms.push_back(to_atom(w));
    }
  }
  return atoms;
}

bool is_at(const t_atom& a) { return a.a_type == A_SYM && a.a_w.w_sym->s_name[0] == '@'; }

// "@" alone or "@name" without values cannot be applied: the box is not made.
bool check_attr_args(const std::string& object, const std::vector<t_atom>& args, std::string* why) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (!is_at(args[i])) continue;
    const char* name = args[i].a_w.w_sym->s_name + 1;
    if (!*name) {
      *why = object + ": @ without an attribute name";
      return false;
    }
    if (i + 1 >= args.size() || is_at(args[i + 1])) {
      *why = object + ": attribute @" + name + " needs a value";
      return false;
    }
  }
  return true;
}

std::string console_text(const Box::Impl& impl) {
  std::string s;
  for (const Event& e : impl.events)
    if (e.kind == Event::Kind::Console) s += (s.empty() ? "" : "\n") + e.text;
  return s;
}

}  // namespace

namespace detail {

void deliver(Box::Impl* dest, int inlet, t_symbol* s, long argc, t_atom* argv) {
  if (!dest || !dest->object) return;
  BoxScope scope(dest);
  if (t_depth >= kMaxDepth) {
    error("%s: stack overflow", dest->name.c_str());
    return;
  }
  ++t_depth;
  max_dispatch(dest->object, inlet, s, argc, argv);
  --t_depth;
}

}  // namespace detail

std::unique_ptr<Box> Box::create(const std::string& text, std::string* why) {
  std::string reason;
  if (!why) why = &reason;
  std::string name;
  std::vector<t_atom> args = tokenize(text, &name);
  if (name.empty()) {
    *why = "empty box";
    return nullptr;
  }
  if (!check_attr_args(name, args, why)) return nullptr;
  if (!load_object(name, why)) return nullptr;
  detail::Class* c = detail::find_max_class(name);
  if (!c || !c->mnew) {
    *why = name + ": has no creator";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->name = name;
  Impl* raw = impl.get();
  auto box = std::make_unique<Box>(std::move(impl));
  raw->self = box.get();
  void* x = nullptr;
  {
    detail::BoxScope scope(raw);
    if (c->new_type == A_GIMME)
      x = detail::fn_cast<void* (*)(t_symbol*, long, t_atom*)>(c->mnew)(
          gensym(name.c_str()), static_cast<long>(args.size()), args.data());
    else if (args.empty())
      x = detail::fn_cast<void* (*)()>(c->mnew)();
    else
      error("%s: takes no arguments", name.c_str());
  }
  if (!detail::prefix_of(x)) {
    std::string lines = console_text(*raw);
    *why = lines.empty() ? name + ": could not create object" : lines;
    return nullptr;
  }
  raw->object = static_cast<t_object*>(x);
  if (detail::Instance* inst = detail::instance_of(x)) inst->box = raw;
  return box;
}

Box::Box(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Box::~Box() {
  if (!impl_) return;
  // Cords into this box go away with it.
  for (detail::Outlet* o : impl_->incoming) {
    auto& c = o->conns;
    for (size_t i = 0; i < c.size();)
      if (c[i].dest == impl_.get())
        c.erase(c.begin() + static_cast<long>(i));
      else
        ++i;
  }
  impl_->incoming.clear();
  if (impl_->object) {
    detail::BoxScope scope(impl_.get());
    freeobject(impl_->object);
    impl_->object = nullptr;
  }
}

const std::string& Box::object_name() const { return impl_->name; }
t_object* Box::object() const { return impl_->object; }
void* Box::jit_object() const { return max_jit_obex_jitob_get(impl_->object); }

int Box::outlet_count() const {
  detail::Instance* inst = detail::instance_of(impl_->object);
  return inst ? static_cast<int>(inst->outlets.size()) : 0;
}

int Box::inlet_count() const { return detail::inlet_count(impl_->object); }

std::string Box::assist(int direction, int index) const {
  constexpr std::size_t kAssistBytes = 512;  // the buffer Max hands to assist
  const int count = direction == 1 ? inlet_count() : direction == 2 ? outlet_count() : 0;
  if (index < 0 || index >= count) return {};
  detail::Class* c = detail::class_of(impl_->object);
  const detail::Method* m = c ? c->find_method(gensym("assist")) : nullptr;
  if (!m || m->sig != detail::Sig::Cant) return {};
  char text[kAssistBytes] = {};
  detail::BoxScope scope(impl_.get());
  detail::fn_cast<void (*)(void*, void*, long, long, char*)>(m->fn)(impl_->object, nullptr, direction,
                                                                    index, text);
  return std::string(text, strnlen(text, kAssistBytes));
}

void Box::send_matrix(void* matrix, int inlet) {
  detail::Prefix* p = detail::prefix_of(matrix);
  if (!p || !detail::as_matrix(matrix)) {
    detail::BoxScope scope(impl_.get());
    error("%s: not a matrix", impl_->name.c_str());
    return;
  }
  // A matrix travels by name; one that has none gets a fresh one.
  if (!p->registered) detail::register_object(matrix, jit_symbol_unique());
  t_atom a;
  jit_atom_setsym(&a, p->registered);
  send(_jit_sym_jit_matrix, {a}, inlet);
}

void Box::send(t_symbol* selector, const std::vector<t_atom>& args, int inlet) {
  std::vector<t_atom> copy = args;  // handlers receive writable atoms
  detail::deliver(impl_.get(), inlet, selector, static_cast<long>(copy.size()), copy.data());
}

bool Box::send_text(const std::string& message, std::string* why) {
  std::string sel;
  std::vector<t_atom> args = tokenize(message, &sel);
  if (sel.empty()) {
    if (why) *why = "empty message";
    return false;
  }
  size_t before = impl_->events.size();
  detail::BoxScope scope(impl_.get());
  detail::Dispatch d = detail::max_dispatch(impl_->object, 0, gensym(sel.c_str()),
                                            static_cast<long>(args.size()), args.data());
  if (d == detail::Dispatch::Handled) return true;
  if (why) {
    why->clear();
    for (size_t i = before; i < impl_->events.size(); ++i)
      if (impl_->events[i].kind == Event::Kind::Console)
        *why += (why->empty() ? "" : "\n") + impl_->events[i].text;
    if (why->empty()) *why = impl_->name + ": cannot take \"" + sel + "\"";
  }
  return false;
}

void Box::connect(int outlet, Box& dest, int inlet) {
  detail::Outlet* o = detail::outlet_at(impl_->object, outlet);
  if (!o) {
    detail::BoxScope scope(impl_.get());
    error("%s: no outlet %d", impl_->name.c_str(), outlet);
    return;
  }
  o->conns.push_back(detail::Conn{dest.impl_.get(), inlet});
  dest.impl_->incoming.push_back(o);
}

const std::vector<Event>& Box::events() const { return impl_->events; }
void Box::clear_events() { impl_->events.clear(); }

void* event_matrix(const Event& e) {
  if (e.kind != Event::Kind::Outlet || e.selector != _jit_sym_jit_matrix || e.atoms.empty() ||
      e.atoms[0].a_type != A_SYM)
    return nullptr;
  return detail::as_matrix(jit_object_findregistered(e.atoms[0].a_w.w_sym));
}

}  // namespace zelk::host
