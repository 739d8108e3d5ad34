#include "tools/zelk/graph.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <cmath>
#include <sstream>

#include "max.jit.mop.h"
#include "patch_objects/patch_objects.h"

namespace zelk::runner {
namespace {

std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// As the host reads a word of box text: a number, else a symbol.
bool is_number(const std::string& w) {
  if (w.empty() || w.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
  char* end = nullptr;
  std::strtod(w.c_str(), &end);
  return end == w.c_str() + w.size() && w.find_first_of("0123456789") != std::string::npos;
}

bool is_type_name(const std::string& w) {
  return w == "char" || w == "long" || w == "float32" || w == "float64";
}

// The attribute a patch reaches by this name: the object's own, else the wrapper's.
const host::AttributeInfo* find_attribute(const host::ClassInfo& ci, const std::string& name) {
  for (const auto* list : {&ci.attributes, &ci.wrapper_attributes})
    for (const auto& a : *list)
      if (a.name == name) return &a;
  return nullptr;
}

// Values for attribute `a` as the host would take them; false with the reason.
bool check_values(const host::AttributeInfo& a, const std::vector<std::string>& values, std::string* why) {
  if (!a.user_settable) {
    *why = "the attribute '" + a.name + "' cannot be set";
    return false;
  }
  if (values.empty()) {
    *why = "the attribute '" + a.name + "' needs a value";
    return false;
  }
  if (static_cast<long>(values.size()) > a.max_count) {
    *why = "the attribute '" + a.name + "' takes " +
           (a.max_count == 1 ? std::string("one value") : "at most " + std::to_string(a.max_count) + " values");
    return false;
  }
  for (const std::string& v : values) {
    const bool number = is_number(v);
    bool ok = true;
    if (a.type == "symbol")
      ok = !number && (!(a.wrapper && (a.name == "type" || a.name == "out_type")) || is_type_name(v));
    else if (a.type != "atom")
      ok = number;
    if (!ok) {
      *why = "the attribute '" + a.name + "' (" + a.type + ") cannot take '" + v + "'";
      return false;
    }
  }
  return true;
}

// Matrix arguments before the first @: [planecount] [type] [dim...].
bool check_matrix_arguments(const std::vector<std::string>& w, std::size_t end, std::string* why) {
  std::size_t i = 1;
  if (i < end && is_number(w[i])) ++i;
  if (i < end && is_type_name(w[i])) ++i;
  while (i < end && is_number(w[i])) ++i;
  if (i < end) {
    *why = "malformed argument '" + w[i] + "': matrix arguments are [planecount] [type] [dim...] before any @";
    return false;
  }
  return true;
}

// The arguments of a box text, checked against the class.
bool check_box_arguments(const std::vector<std::string>& w, const host::ClassInfo* ci, std::string* why) {
  std::size_t first_at = 1;
  while (first_at < w.size() && w[first_at][0] != '@') ++first_at;
  if (ci && ci->matrix_inputs + ci->matrix_outputs > 0 && !check_matrix_arguments(w, first_at, why)) return false;
  for (std::size_t i = first_at; i < w.size(); ++i) {
    if (w[i][0] != '@') continue;
    const std::string name = w[i].substr(1);
    if (name.empty()) {
      *why = "malformed argument '@': no attribute name after '@'";
      return false;
    }
    if (i + 1 >= w.size() || w[i + 1][0] == '@') {
      *why = "malformed argument '" + w[i] + "': no value after it";
      return false;
    }
    if (ci && !(ci->attributes.empty() && ci->wrapper_attributes.empty())) {
      const host::AttributeInfo* a = find_attribute(*ci, name);
      if (!a) {
        *why = "malformed argument '" + w[i] + "': " + w[0] + " has no attribute '" + name + "'";
        return false;
      }
      std::vector<std::string> values;
      for (std::size_t j = i + 1; j < w.size() && w[j][0] != '@'; ++j) values.push_back(w[j]);
      std::string reason;
      if (!check_values(*a, values, &reason)) {
        *why = "malformed argument '" + w[i] + "': " + reason + " of " + w[0];
        return false;
      }
    }
  }
  return true;
}

const std::vector<int> kNone;

}  // namespace

bool check_message(const host::ClassInfo& ci, const std::string& message, std::string* why) {
  std::vector<std::string> w = words(message);
  if (w.empty()) {
    *why = "no message";
    return false;
  }
  const std::string& selector = w[0];
  if (ci.messages.empty() && ci.attributes.empty() && ci.wrapper_attributes.empty()) return true;
  const host::AttributeInfo* a = find_attribute(ci, selector);
  auto has = [&](const std::vector<std::string>& list) {
    return std::find(list.begin(), list.end(), selector) != list.end();
  };
  // Messages the object or its wrapper answer come first, as the host dispatches them.
  if (has(ci.messages) || has(ci.wrapper_messages)) return true;
  if (a) {
    if (!check_values(*a, {w.begin() + 1, w.end()}, why)) return false;
    return true;
  }
  if (selector.rfind("get", 0) == 0) {
    if (const host::AttributeInfo* g = find_attribute(ci, selector.substr(3))) {
      if (g->user_gettable) return true;
      *why = "the attribute '" + g->name + "' cannot be read";
      return false;
    }
  }
  *why = "has no message or attribute '" + selector + "'";
  return false;
}

LateChecks::Cells& LateChecks::cells_of(int box) {
  auto it = cells_.find(box);
  if (it != cells_.end()) return it->second;
  Cells c;
  const host::Box& b = *graph_.nodes()[box].box;
  const std::vector<t_atom> type = b.attribute("type"), planes = b.attribute("planecount");
  if (!type.empty() && type[0].a_type == A_SYM) c.type = type[0].a_w.w_sym->s_name;
  if (!planes.empty()) c.planecount = static_cast<long>(jit_atom_getlong(const_cast<t_atom*>(&planes[0])));
  return cells_[box] = c;
}

bool LateChecks::check(int box, const std::string& message, std::string* why) {
  const std::vector<std::string> w = words(message);
  if (w.empty()) return true;
  std::string name = w[0];
  if (name.rfind("out_", 0) == 0) name = name.substr(4);
  Cells& c = cells_of(box);
  if (c.type.empty()) return true;  // no matrix output to size or name
  if (name == "type" && w.size() > 1 && is_type_name(w[1])) c.type = w[1];
  if (name == "planecount" && w.size() > 1 && is_number(w[1]))
    c.planecount = std::clamp(std::atol(w[1].c_str()), 1L, 32L);
  if (name == "dim" && w.size() > 1) {
    // The host's layout: rows rounded up to 16 bytes, sizes below 1 taken as 1.
    const long long cell = c.planecount * (c.type == "char" ? 1 : c.type == "float64" ? 8 : 4);
    long double bytes = static_cast<long double>(cell);
    for (std::size_t k = 1; k < w.size() && k <= 32; ++k) {
      const long double size = std::max(1.0L, std::floor(std::strtold(w[k].c_str(), nullptr)));
      bytes = k == 1 ? std::ceil(bytes * size / 16) * 16 : bytes * size;
    }
    if (bytes > static_cast<long double>(host::max_block_bytes())) {
      *why = "'" + message + "' asks for more than the host can hold (" +
             std::to_string(host::max_block_bytes()) + " bytes of " + std::to_string(c.planecount) +
             "-plane " + c.type + " cells)";
      return false;
    }
  }
  if (w[0] == "out_name" && w.size() > 1) {
    t_symbol* s = gensym(w[1].c_str());
    auto held = names_.find(w[1]);
    const bool by_other_step = held != names_.end() && held->second != box;
    void* holder = jit_object_findregistered(s);
    const bool by_other_box = holder && holder != max_jit_mop_getoutput(graph_.nodes()[box].box->object(), 1);
    if (by_other_step || by_other_box) {
      *why = "the matrix name '" + w[1] + "' is another box's";
      return false;
    }
    names_[w[1]] = box;
  }
  return true;
}

Graph::~Graph() {
  // Closing the patch is no step: what boxes say while freed is not reported.
  for (auto& n : nodes_) n.box->on_event = nullptr;
  // Last box first, so no box outlives the box it sends to.
  while (!nodes_.empty()) nodes_.pop_back();
}

bool Graph::add_box(const std::string& text, const std::string& id, const std::string& where,
                    std::string* why) {
  std::vector<std::string> w = words(text);
  if (w.empty()) {
    *why = where + ": no object name";
    return false;
  }
  std::string reason;
  const auto& known = host::patch_object_names();
  const bool ours = w[0].rfind("zelk.", 0) == 0;
  if (!ours && !std::binary_search(known.begin(), known.end(), w[0])) {
    std::string names;
    for (const auto& k : known)
      if (k != "message" && k != "toggle" && k != "button" && k != "inlet" && k != "outlet")
        names += (names.empty() ? "" : ", ") + k;
    *why = where + ": unknown object " + w[0] + ": this runner knows the zelk objects (zelk list names them), " +
           names + ", message boxes, toggles, buttons, comments, panels and subpatchers";
    return false;
  }
  if (!host::load_object(w[0], &reason)) {
    *why = where + ": unknown object " + w[0] + (reason.empty() ? "" : " (" + reason + ")") +
           ": not one of the zelk objects (zelk list names them)";
    return false;
  }
  Node n;
  const bool have_class = host::class_info(w[0], &n.info);
  if (!check_box_arguments(w, have_class ? &n.info : nullptr, &reason)) {
    *why = where + ": " + reason;
    return false;
  }
  n.box = host::Box::create(text, &reason);
  if (!n.box) {
    *why = where + ": " + (reason.empty() ? "the box could not be created" : reason);
    return false;
  }
  n.object = n.box->object_name();
  n.id = id;
  n.inlets = n.box->inlet_count();
  n.sends_matrices = n.info.matrix_outputs > 0 || host::sends_matrices(n.object);
  nodes_.push_back(std::move(n));
  reach_.emplace_back(static_cast<std::size_t>(nodes_.back().box->outlet_count()));
  return true;
}

bool Graph::build_chain(const std::vector<std::string>& texts, std::string* why) {
  for (std::size_t j = 0; j < texts.size(); ++j)
    if (!add_box(texts[j], "", "box " + std::to_string(j) + " '" + texts[j] + "'", why)) return false;
  for (std::size_t j = 0; j + 1 < nodes_.size(); ++j) {
    // Only matrices go on: a box without a matrix outlet has no cord to the next.
    if (!nodes_[j].sends_matrices) continue;
    nodes_[j].box->connect(0, *nodes_[j + 1].box);
    wires_.push_back({static_cast<int>(j), 0, static_cast<int>(j + 1), 0});
  }
  for (auto& outlets : reach_)
    for (auto& r : outlets) r = {0};
  // A chain that starts with a movie or camera gets the frames out of it.
  if (!nodes_.empty() && host::is_frame_source(nodes_[0].object)) sources_ = {0};
  else if (!nodes_.empty()) entry_ = {{0, 0}};
  return true;
}

bool Graph::build_patch(const Patch& patch, std::string* why) {
  is_patch_ = true;
  std::vector<int> node_of(patch.boxes.size(), -1);
  for (std::size_t k = 0; k < patch.boxes.size(); ++k) {
    const PatchBox& b = patch.boxes[k];
    if (b.kind != PatchBox::Kind::Object) continue;
    node_of[k] = static_cast<int>(nodes_.size());
    if (!add_box(b.text, b.id, "box " + b.id + " '" + b.text + "'", why)) return false;
  }
  int first_inlet = -1;
  for (std::size_t k = 0; k < patch.boxes.size(); ++k)
    if (patch.boxes[k].kind == PatchBox::Kind::Inlet &&
        (first_inlet < 0 || patch.boxes[k].index < patch.boxes[first_inlet].index))
      first_inlet = static_cast<int>(k);
  for (std::size_t j = 0; j < nodes_.size(); ++j)
    if (host::is_frame_source(nodes_[j].object)) sources_.push_back(static_cast<int>(j));
  if (first_inlet < 0 && sources_.empty()) {
    *why = "the patch has no inlet box, jit.movie or jit.grab for the frames to come from";
    return false;
  }
  for (const PatchLine& l : patch.lines) {
    const PatchBox& from = patch.boxes[l.from];
    const PatchBox& to = patch.boxes[l.to];
    const std::string where = "the line from " + from.id + " outlet " + std::to_string(l.outlet) + " to " +
                              to.id + " inlet " + std::to_string(l.inlet);
    const int src = node_of[l.from], dst = node_of[l.to];
    if (src >= 0 && l.outlet >= nodes_[src].box->outlet_count()) {
      *why = where + ": " + nodes_[src].object + " has " + std::to_string(nodes_[src].box->outlet_count()) +
             " outlets";
      return false;
    }
    if (dst >= 0 && l.inlet >= nodes_[dst].inlets) {
      *why = where + ": " + nodes_[dst].object + " has " + std::to_string(nodes_[dst].inlets) +
             (nodes_[dst].inlets == 1 ? " inlet" : " inlets");
      return false;
    }
    if (from.kind == PatchBox::Kind::Inlet) {
      if (l.from == first_inlet && dst >= 0) entry_.push_back({dst, l.inlet});
    } else if (to.kind == PatchBox::Kind::Outlet) {
      reach_[src][l.outlet].push_back(to.index);
    } else {
      nodes_[src].box->connect(l.outlet, *nodes_[dst].box, l.inlet);
      wires_.push_back({src, l.outlet, dst, l.inlet});
    }
  }
  return true;
}

int Graph::find(const std::string& ref) const {
  if (!ref.empty() && std::all_of(ref.begin(), ref.end(), [](unsigned char c) { return std::isdigit(c); })) {
    if (ref.size() > 6) return -1;
    const int j = std::stoi(ref);
    return j < static_cast<int>(nodes_.size()) ? j : -1;
  }
  for (std::size_t j = 0; j < nodes_.size(); ++j)
    if (!nodes_[j].id.empty() && nodes_[j].id == ref) return static_cast<int>(j);
  return -1;
}

const std::vector<int>& Graph::reached_outlets(int node, int outlet) const {
  if (node < 0 || node >= static_cast<int>(reach_.size()) || outlet < 0 ||
      outlet >= static_cast<int>(reach_[node].size()))
    return kNone;
  return reach_[node][outlet];
}

std::vector<std::pair<int, host::Event>> Graph::take_creation_events() {
  std::vector<std::pair<int, host::Event>> out;
  for (std::size_t j = 0; j < nodes_.size(); ++j) {
    for (const host::Event& e : nodes_[j].box->events()) out.emplace_back(static_cast<int>(j), e);
    nodes_[j].box->clear_events();
  }
  return out;
}

void Graph::listen(std::function<void(int, const host::Event&)> fn) {
  for (std::size_t j = 0; j < nodes_.size(); ++j)
    nodes_[j].box->on_event = [fn, j](const host::Event& e) { fn(static_cast<int>(j), e); };
}

void Graph::load() {
  for (auto& n : nodes_)
    if (n.object == "loadbang" || n.object == "loadmess") n.box->send(gensym("loadbang"));
}

void Graph::send_frame(void* matrix) {
  for (const auto& [node, inlet] : entry_) nodes_[node].box->send_matrix(matrix, inlet);
  // Each frame is a tick of the patch's running clocks, which bang its movie
  // or camera; a patch without one has every source banged once.
  host::set_source_frame(matrix);
  if (host::tick_clocks() == 0)
    for (int node : sources_) nodes_[node].box->send(gensym("bang"));
  host::set_source_frame(nullptr);
  for (auto& n : nodes_) n.box->clear_events();
}

}  // namespace zelk::runner
