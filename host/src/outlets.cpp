// Outlets of Max objects: created right to left (each new one becomes the
// leftmost), recorded as events on the owning box and delivered to what is
// connected, in the order the connections were made.
#include <algorithm>

#include "internal.h"

namespace zelk::host::detail {

Instance* instance_of(void* x) {
  Prefix* p = prefix_of(x);
  return p ? p->max : nullptr;
}

int outlet_index(const Outlet* o) {
  return static_cast<int>(o->inst->outlets.size()) - 1 - o->order;
}

Outlet* outlet_at(t_object* x, int index) {
  Instance* inst = instance_of(x);
  if (!inst || index < 0 || index >= static_cast<int>(inst->outlets.size())) return nullptr;
  return inst->outlets[inst->outlets.size() - 1 - static_cast<size_t>(index)];
}

void free_outlets(Instance* inst) {
  for (Outlet* o : inst->outlets) {
    for (const Conn& c : o->conns) {
      auto& in = c.dest->incoming;
      in.erase(std::remove(in.begin(), in.end(), o), in.end());
    }
    delete o;
  }
  inst->outlets.clear();
}

}  // namespace zelk::host::detail

using namespace zelk::host::detail;
using zelk::host::Box;
using zelk::host::Event;

namespace {

Outlet* as_outlet(void* o) { return static_cast<Outlet*>(o); }

void send(void* o, t_symbol* s, long argc, t_atom* argv) {
  Outlet* out = as_outlet(o);
  if (!out || !s || argc < 0 || (argc > 0 && !argv)) return;
  if (Box::Impl* box = out->inst->box) {
    Event e;
    e.kind = Event::Kind::Outlet;
    e.outlet = outlet_index(out);
    e.selector = s;
    e.atoms.assign(argv, argv + argc);
    record_event(box, std::move(e));
  }
  // By index: a receiving box may connect further outlets while it runs.
  for (size_t i = 0; i < out->conns.size(); ++i) {
    Conn c = out->conns[i];
    deliver(c.dest, c.inlet, s, argc, argv);
  }
}

}  // namespace

extern "C" {

void* outlet_new(void* x, const char*) {
  Instance* inst = instance_of(x);
  if (!inst) return nullptr;
  auto* o = new Outlet;
  o->owner = static_cast<t_object*>(x);
  o->inst = inst;
  o->order = static_cast<int>(inst->outlets.size());
  inst->outlets.push_back(o);
  return o;
}

void* outlet_anything(void* o, t_symbol* s, short ac, t_atom* av) {
  send(o, s, ac, av);
  return nullptr;
}

void* outlet_list(void* o, t_symbol*, short ac, t_atom* av) {
  send(o, _jit_sym_list, ac, av);
  return nullptr;
}

void* outlet_float(void* o, double f) {
  t_atom a;
  jit_atom_setfloat(&a, f);
  send(o, _jit_sym_float, 1, &a);
  return nullptr;
}

void* outlet_int(void* o, t_atom_long n) {
  t_atom a;
  jit_atom_setlong(&a, n);
  send(o, _jit_sym_int, 1, &a);
  return nullptr;
}

void* outlet_bang(void* o) {
  send(o, _jit_sym_bang, 0, nullptr);
  return nullptr;
}

}  // extern "C"
