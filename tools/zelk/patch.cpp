#include "tools/zelk/patch.h"

#include <algorithm>
#include <fstream>
#include <map>
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
  if (box.contains("patching_rect")) {
    number_at(box["patching_rect"], 0, &b->x);
    number_at(box["patching_rect"], 1, &b->y);
  }
  if (cls == "newobj") {
    b->kind = PatchBox::Kind::Object;
    if (!box.contains("text") || !box["text"].is_string()) {
      *why = name + " is an object box without text";
      return false;
    }
    b->text = box["text"].get<std::string>();
    return true;
  }
  if (cls == "inlet" || cls == "outlet") {
    b->kind = cls == "inlet" ? PatchBox::Kind::Inlet : PatchBox::Kind::Outlet;
    b->comment = text_of(box, "comment");
    if (box.contains("index")) {
      if (!box["index"].is_number_integer() || box["index"].get<long long>() < 1 ||
          box["index"].get<long long>() > 1000) {
        *why = name + " (" + cls + ") has an \"index\" that is not a number from 1";
        return false;
      }
      b->index = static_cast<int>(box["index"].get<long long>());
    }
    return true;
  }
  if (cls == "comment") {
    b->kind = PatchBox::Kind::Comment;
    return true;
  }
  *why = name + " is a '" + (cls.empty() ? std::string("?") : cls) +
         "' box: only zelk object boxes, inlets, outlets and comments can run here";
  return false;
}

// Inlets or outlets without an "index" are numbered left to right, as Max does.
void number_ports(std::vector<PatchBox>& boxes, PatchBox::Kind kind) {
  std::vector<PatchBox*> ports;
  for (auto& b : boxes)
    if (b.kind == kind) ports.push_back(&b);
  if (std::all_of(ports.begin(), ports.end(), [](PatchBox* b) { return b->index > 0; })) return;
  std::stable_sort(ports.begin(), ports.end(), [](PatchBox* a, PatchBox* b) { return a->x < b->x; });
  for (std::size_t i = 0; i < ports.size(); ++i) ports[i]->index = static_cast<int>(i) + 1;
}

bool read_end(const json& line, const char* key, const std::map<std::string, int>& ids, int* box,
              int* port, std::size_t k, std::string* why) {
  const std::string where = "line " + std::to_string(k + 1);
  if (!line.contains(key) || !line[key].is_array() || line[key].size() < 2 || !line[key][0].is_string() ||
      !line[key][1].is_number_integer()) {
    *why = where + " has no \"" + key + "\": [box id, number]";
    return false;
  }
  const auto it = ids.find(line[key][0].get<std::string>());
  if (it == ids.end()) {
    *why = where + ": its " + key + " names a box that is not in the patch ('" +
           line[key][0].get<std::string>() + "')";
    return false;
  }
  const long long n = line[key][1].get<long long>();
  if (n < 0 || n > 255) {
    *why = where + ": " + key + " " + std::to_string(n) + " is no inlet or outlet number";
    return false;
  }
  *box = it->second;
  *port = static_cast<int>(n);
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
  const json& patcher = doc["patcher"];
  Patch p;
  if (patcher.contains("boxes")) {
    if (!patcher["boxes"].is_array()) {
      *why = name + ": \"boxes\" is not a list";
      return false;
    }
    std::map<std::string, int> seen;
    for (std::size_t k = 0; k < patcher["boxes"].size(); ++k) {
      PatchBox b;
      if (!read_box(patcher["boxes"][k], k, &b, why)) {
        *why = name + ": " + *why;
        return false;
      }
      if (!seen.emplace(b.id, static_cast<int>(p.boxes.size())).second) {
        *why = name + ": two boxes have the id " + b.id;
        return false;
      }
      p.boxes.push_back(std::move(b));
    }
  }
  number_ports(p.boxes, PatchBox::Kind::Inlet);
  number_ports(p.boxes, PatchBox::Kind::Outlet);
  std::map<std::string, int> ids;
  for (std::size_t i = 0; i < p.boxes.size(); ++i) ids[p.boxes[i].id] = static_cast<int>(i);
  if (patcher.contains("lines")) {
    if (!patcher["lines"].is_array()) {
      *why = name + ": \"lines\" is not a list";
      return false;
    }
    for (std::size_t k = 0; k < patcher["lines"].size(); ++k) {
      const json& entry = patcher["lines"][k];
      if (!entry.is_object() || !entry.contains("patchline") || !entry["patchline"].is_object()) {
        *why = name + ": line " + std::to_string(k + 1) + " is not a {\"patchline\": {...}} entry";
        return false;
      }
      PatchLine l;
      if (!read_end(entry["patchline"], "source", ids, &l.from, &l.outlet, k, why) ||
          !read_end(entry["patchline"], "destination", ids, &l.to, &l.inlet, k, why)) {
        *why = name + ": " + *why;
        return false;
      }
      const PatchBox& from = p.boxes[l.from];
      const PatchBox& to = p.boxes[l.to];
      if (from.kind == PatchBox::Kind::Outlet || from.kind == PatchBox::Kind::Comment ||
          to.kind == PatchBox::Kind::Inlet || to.kind == PatchBox::Kind::Comment) {
        *why = name + ": line " + std::to_string(k + 1) + " from " + from.id + " to " + to.id +
               " joins boxes that cannot be joined that way";
        return false;
      }
      p.lines.push_back(l);
    }
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
