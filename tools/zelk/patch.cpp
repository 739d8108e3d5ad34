#include "tools/zelk/patch.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace zelk::runner {
namespace {

using nlohmann::json;

std::string box_name(const json& box, std::size_t k) {
  if (box.contains("id") && box["id"].is_string()) return "box " + box["id"].get<std::string>();
  return "box " + std::to_string(k + 1);
}

// A string member, or "" when it is missing or not a string.
std::string text_of(const json& box, const char* key) {
  return box.contains(key) && box[key].is_string() ? box[key].get<std::string>() : std::string();
}

bool number_at(const json& rect, std::size_t i, double* v) {
  if (!rect.is_array() || rect.size() <= i || !rect[i].is_number()) return false;
  *v = rect[i].get<double>();
  return true;
}

// One entry of "boxes": {"box": {...}}.
bool read_box(const json& entry, std::size_t k, PatchBox* b, std::string* why) {
  if (!entry.is_object() || !entry.contains("box") || !entry["box"].is_object()) {
    *why = "box " + std::to_string(k + 1) + " of \"boxes\" is not a {\"box\": {...}} entry";
    return false;
  }
  const json& box = entry["box"];
  const std::string name = box_name(box, k);
  if (!box.contains("id") || !box["id"].is_string() || box["id"].get<std::string>().empty()) {
    *why = name + " has no \"id\"";
    return false;
  }
  b->id = box["id"].get<std::string>();
  const std::string cls = text_of(box, "maxclass");
  b->maxclass = cls;
  if (box.contains("fontsize") && box["fontsize"].is_number()) b->fontsize = box["fontsize"].get<double>();
  b->bold = box.contains("fontface") && box["fontface"] == 1;
  if (box.contains("patching_rect")) {
    number_at(box["patching_rect"], 0, &b->x);
    number_at(box["patching_rect"], 1, &b->y);
    number_at(box["patching_rect"], 2, &b->width);
    number_at(box["patching_rect"], 3, &b->height);
  }
  if (cls == "newobj" || cls == "message") {
    b->kind = PatchBox::Kind::Object;
    if (cls == "newobj" && !(box.contains("text") && box["text"].is_string())) {
      *why = name + " is an object box without text";
      return false;
    }
    b->text = text_of(box, "text");
    // A message box runs as the object "message", its text the arguments.
    if (cls == "message") b->text = "message " + b->text;
    return true;
  }
  // User interface objects with no text: their class names the object.
  if (cls == "toggle" || cls == "button" || cls == "number" || cls == "flonum" || cls == "jit.pwindow" ||
      cls == "jit.cellblock" || cls == "attrui") {
    b->kind = PatchBox::Kind::Object;
    b->text = cls;
    if (cls == "attrui" && !text_of(box, "attr").empty()) b->text += " " + text_of(box, "attr");
    return true;
  }
  if (cls == "inlet" || cls == "outlet") {
    b->kind = cls == "inlet" ? PatchBox::Kind::Inlet : PatchBox::Kind::Outlet;
    b->comment = text_of(box, "comment");
    if (box.contains("index")) {
      // Max writes 0 where the position alone numbers the port.
      if (!box["index"].is_number_integer() || box["index"].get<long long>() < 0 ||
          box["index"].get<long long>() > 1000) {
        *why = name + " (" + cls + ") has an \"index\" that is not a number from 0";
        return false;
      }
      b->index = static_cast<int>(box["index"].get<long long>());
    }
    return true;
  }
  if (cls == "comment" || cls == "panel") {
    b->kind = PatchBox::Kind::Comment;
    b->text = text_of(box, "text");
    return true;
  }
  *why = name + " is a '" + (cls.empty() ? std::string("?") : cls) +
         "' box, which this runner cannot run (it runs object boxes it knows, message boxes, " +
         "toggle, button, number, flonum, jit.pwindow, jit.cellblock, attrui, inlets, outlets, " +
         "comments and panels)";
  return false;
}

// Inlets or outlets without an "index" are numbered left to right, as Max does.
void number_ports(std::vector<PatchBox>& boxes, PatchBox::Kind kind, std::size_t first) {
  std::vector<PatchBox*> ports;
  for (std::size_t i = first; i < boxes.size(); ++i)
    if (boxes[i].kind == kind) ports.push_back(&boxes[i]);
  if (std::all_of(ports.begin(), ports.end(), [](PatchBox* b) { return b->index > 0; })) return;
  std::stable_sort(ports.begin(), ports.end(), [](PatchBox* a, PatchBox* b) { return a->x < b->x; });
  for (std::size_t i = 0; i < ports.size(); ++i) ports[i]->index = static_cast<int>(i) + 1;
}

// Where a line's end lands: a box and its port. A subpatcher's box is not a
// box of the run: its ports lead to the inlet and outlet boxes inside it.
struct Ends {
  std::map<std::string, int> box;                       // id -> box index
  std::map<std::string, std::map<int, int>> sub_inlet;  // subpatcher id -> port -> inlet box
  std::map<std::string, std::map<int, int>> sub_outlet;
};

bool read_end(const json& line, const char* key, const Ends& ends, int* box, int* port, std::size_t k,
              std::string* why) {
  const std::string where = "line " + std::to_string(k + 1);
  if (!line.contains(key) || !line[key].is_array() || line[key].size() < 2 || !line[key][0].is_string() ||
      !line[key][1].is_number_integer()) {
    *why = where + " has no \"" + key + "\": [box id, number]";
    return false;
  }
  const std::string id = line[key][0].get<std::string>();
  const long long n = line[key][1].get<long long>();
  if (n < 0 || n > 255) {
    *why = where + ": " + key + " " + std::to_string(n) + " is no inlet or outlet number";
    return false;
  }
  const bool source = std::string(key) == "source";
  const auto& subs = source ? ends.sub_outlet : ends.sub_inlet;
  if (const auto sub = subs.find(id); sub != subs.end()) {
    const auto port_box = sub->second.find(static_cast<int>(n));
    if (port_box == sub->second.end()) {
      *why = where + ": the subpatcher " + id + " has no " + (source ? "outlet " : "inlet ") + std::to_string(n);
      return false;
    }
    *box = port_box->second;
    *port = 0;
    return true;
  }
  const auto it = ends.box.find(id);
  if (it == ends.box.end()) {
    *why = where + ": its " + key + " names a box that is not in the patch ('" + id + "')";
    return false;
  }
  *box = it->second;
  *port = static_cast<int>(n);
  return true;
}

bool is_subpatcher(const json& entry, const PatchBox& b) {
  if (b.kind != PatchBox::Kind::Object) return false;
  const std::string first = b.text.substr(0, b.text.find(' '));
  return (first == "p" || first == "patcher") && entry["box"].contains("patcher") &&
         entry["box"]["patcher"].is_object();
}

constexpr int kMaxNesting = 32;

// The boxes and lines of one patcher into `out`; a subpatcher's boxes join
// them in its place, their ids prefixed with its own ("obj-5/obj-2").
bool parse_patcher(const json& patcher, const std::string& prefix, int depth, Patch* out, std::string* why) {
  if (depth > kMaxNesting) {
    *why = "subpatchers nested more than " + std::to_string(kMaxNesting) + " deep";
    return false;
  }
  Patch& p = *out;
  Ends ends;
  const std::size_t first_box = p.boxes.size();
  const int here = static_cast<int>(p.patchers.size());
  {
    Patcher window;
    if (patcher.contains("rect")) {
      number_at(patcher["rect"], 2, &window.width);
      number_at(patcher["rect"], 3, &window.height);
    }
    window.hidden = patcher.contains("showrootpatcherontab") && patcher["showrootpatcherontab"] == 0;
    window.tab = patcher.contains("showontab") && patcher["showontab"] == 1;
    p.patchers.push_back(window);
  }
  if (patcher.contains("boxes")) {
    if (!patcher["boxes"].is_array()) {
      *why = "\"boxes\" is not a list";
      return false;
    }
    std::set<std::string> seen;
    for (std::size_t k = 0; k < patcher["boxes"].size(); ++k) {
      const json& entry = patcher["boxes"][k];
      PatchBox b;
      if (!read_box(entry, k, &b, why)) return false;
      if (!seen.insert(b.id).second) {
        *why = "two boxes have the id " + prefix + b.id;
        return false;
      }
      b.id = prefix + b.id;
      b.patcher = here;
      if (!is_subpatcher(entry, b)) {
        ends.box[b.id.substr(prefix.size())] = static_cast<int>(p.boxes.size());
        p.boxes.push_back(std::move(b));
        continue;
      }
      Patch sub;
      if (!parse_patcher(entry["box"]["patcher"], b.id + "/", depth + 1, &sub, why)) {
        *why = "in the subpatcher " + b.id + " '" + b.text + "': " + *why;
        return false;
      }
      const int offset = static_cast<int>(p.boxes.size());
      const int first_patcher = static_cast<int>(p.patchers.size());
      const std::size_t space = b.text.find(' ');
      sub.patchers[0].name = space == std::string::npos ? std::string() : b.text.substr(space + 1);
      for (Patcher& w : sub.patchers) p.patchers.push_back(std::move(w));
      const std::string id = b.id.substr(prefix.size());
      ends.sub_inlet[id];
      ends.sub_outlet[id];
      for (PatchBox& inner : sub.boxes) {
        if (inner.kind == PatchBox::Kind::Inlet || inner.kind == PatchBox::Kind::Outlet) {
          // Inside, they pass messages through; they fire where their box sits.
          const bool inlet = inner.kind == PatchBox::Kind::Inlet;
          (inlet ? ends.sub_inlet : ends.sub_outlet)[id][inner.index - 1] = offset + static_cast<int>(&inner - sub.boxes.data());
          inner.kind = PatchBox::Kind::Object;
          inner.text = inlet ? "inlet" : "outlet";
          inner.x = b.x;
          inner.y = b.y;
        }
        inner.patcher += first_patcher;
        p.boxes.push_back(std::move(inner));
      }
      for (PatchLine l : sub.lines) {
        l.from += offset;
        l.to += offset;
        p.lines.push_back(l);
      }
      b.kind = PatchBox::Kind::Subpatcher;
      p.boxes.push_back(std::move(b));
    }
  }
  number_ports(p.boxes, PatchBox::Kind::Inlet, first_box);
  number_ports(p.boxes, PatchBox::Kind::Outlet, first_box);
  if (patcher.contains("lines")) {
    if (!patcher["lines"].is_array()) {
      *why = "\"lines\" is not a list";
      return false;
    }
    for (std::size_t k = 0; k < patcher["lines"].size(); ++k) {
      const json& entry = patcher["lines"][k];
      if (!entry.is_object() || !entry.contains("patchline") || !entry["patchline"].is_object()) {
        *why = "line " + std::to_string(k + 1) + " is not a {\"patchline\": {...}} entry";
        return false;
      }
      PatchLine l;
      if (!read_end(entry["patchline"], "source", ends, &l.from, &l.outlet, k, why) ||
          !read_end(entry["patchline"], "destination", ends, &l.to, &l.inlet, k, why))
        return false;
      const PatchBox& from = p.boxes[l.from];
      const PatchBox& to = p.boxes[l.to];
      if (from.kind == PatchBox::Kind::Outlet || from.kind == PatchBox::Kind::Comment ||
          to.kind == PatchBox::Kind::Inlet || to.kind == PatchBox::Kind::Comment) {
        *why = "line " + std::to_string(k + 1) + " from " + from.id + " to " + to.id +
               " joins boxes that cannot be joined that way";
        return false;
      }
      p.lines.push_back(l);
    }
  }
  return true;
}

}  // namespace

bool parse_patch(const std::string& text, const std::string& name, Patch* out, std::string* why) {
  json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    *why = name + ": not a patch (not JSON)";
    return false;
  }
  if (!doc.is_object() || !doc.contains("patcher") || !doc["patcher"].is_object()) {
    *why = name + ": not a Max patch (no \"patcher\" object)";
    return false;
  }
  Patch p;
  if (!parse_patcher(doc["patcher"], "", 0, &p, why)) {
    *why = name + ": " + *why;
    return false;
  }
  // Max fires one outlet's lines right to left by where their ends sit.
  std::stable_sort(p.lines.begin(), p.lines.end(), [&](const PatchLine& a, const PatchLine& b) {
    if (a.from != b.from) return a.from < b.from;
    if (a.outlet != b.outlet) return a.outlet < b.outlet;
    const PatchBox& da = p.boxes[a.to];
    const PatchBox& db = p.boxes[b.to];
    if (da.x != db.x) return da.x > db.x;
    return da.y > db.y;
  });
  *out = std::move(p);
  return true;
}

bool read_patch(const std::string& path, Patch* out, std::string* why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *why = path + ": cannot open it";
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  if (in.bad()) {
    *why = path + ": cannot read it";
    return false;
  }
  return parse_patch(ss.str(), path, out, why);
}

}  // namespace zelk::runner
