// zelk refpage: reference pages in Max's format (zelk.X.maxref.xml), one per
// object, shaped as Cycling '74's pages for Jitter matrix operators: the
// object's own attributes and messages, the operator's matrix inputs and
// outputs, and one paragraph for what every matrix operator shares (the
// Max wrapper's attributes and messages) instead of an entry for each. What
// a page lists (inlets and outlets with their assist texts, attributes with
// type, size, access, default and clip range, messages, matrix arguments,
// the inputs' and outputs' types, plane and dimension counts and links) is
// read from the class and from new boxes, so a page cannot drift from the
// code. Only the prose comes from a text file (docs/refpages/text.json): a
// listed item without text, or text for an item the page does not list,
// fails the command instead of writing a page that says less or more than
// the object does.
//
// Pages name only what a patch can use: an attribute the object keeps for
// itself (neither gettable nor settable) is left out, and so are, on an
// object without a matrix output, the wrapper's output attributes (adapt,
// dim, type, planecount, out_...) and clear, which such a box takes but
// which act on nothing there.
//
// Prose is reference markup as Max's pages use it: <o>object</o>,
// <m>message</m>, <at>attribute</at>, <ar>argument</ar>, <i>, <b>, <br/> and
// <link ...>text</link> pass through; any other '<' and every '&' are
// escaped; an object name (zelk.X, jit.X) not already inside <o> is put in
// one, so that every name links to its page.
//
// The text file is one JSON object:
//   "author":  the author the pages name;
//   "common":  what the objects share:
//              "messages": NAME -> {"digest", optional "description" and
//                 "args": [{"name", "type"}]}, for messages the wrapper
//                 installs (jit_matrix, bang, outputmatrix), used when an
//                 object has no text of its own for them;
//              "objargs": planecount, type, dim -> {"digest", "description"},
//                 the matrix arguments of an object with a matrix output;
//              "ports": assist text -> description, e.g. for "dumpout";
//              "matrix_operator": {"digest", "outputs", "no_outputs"}: the
//                 paragraph on the shared attributes and messages, for an
//                 object with and without a matrix output; {attributes} and
//                 {messages} stand for the names, which the class gives;
//   "objects": object name -> {"category" (the Object Explorer's),
//              "description" (2-4 sentences), "discussion" (the typical
//              chain, and what an empty frame gives where it matters),
//              "inlets" and "outlets": descriptions by index (may stop
//              early), "attributes", "messages": as in "common",
//              "matrix_operator": a sentence added to the shared paragraph
//              (optional), "seealso": [names]}.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/zelk/plugins.h"
#include "tools/zelk/run.h"
#include "zelk/host.h"

namespace zelk::runner {

namespace host = zelk::host;
using nlohmann::json;

namespace {

const char kRefpageHelp[] =
    "usage: zelk refpage [--plugins DIR] --out DIR [--text FILE] [OBJECT...]\n"
    "\n"
    "Writes DIR/OBJECT.maxref.xml, the reference page Max shows for OBJECT, for\n"
    "each object named, or for every object in the plug-in folder when none is.\n"
    "Inlets, outlets, attributes (type, size, access, default, range), messages,\n"
    "matrix arguments and the matrix inputs and outputs come from what the object\n"
    "registers; descriptions from FILE (default: docs/refpages/text.json, from\n"
    "the project's top folder). The pages the Max package carries are made so:\n"
    "\n"
    "  zelk refpage --out docs/refpages/zelk-ref\n"
    "\n"
    "Exit status: 0 when every page was written; 2 when an object cannot be\n"
    "loaded, FILE lacks text for something a page lists or has text for\n"
    "something it does not, a file cannot be written, or for a usage error.\n";

const char kDefaultText[] = "docs/refpages/text.json";

// Text and double-quoted attribute values: an apostrophe needs no escape.
std::string xml_escape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

bool name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

// Length of the object name (zelk.X or jit.X) starting at `at`, or 0; a
// sentence's full stop after it is not part of it.
std::size_t object_name_at(const std::string& s, std::size_t at) {
  if (at > 0 && name_char(s[at - 1])) return 0;
  for (const char* prefix : {"zelk.", "jit."}) {
    const std::size_t n = std::strlen(prefix);
    if (s.compare(at, n, prefix) != 0) continue;
    std::size_t end = at + n;
    while (end < s.size() && name_char(s[end])) ++end;
    while (end > at + n && s[end - 1] == '.') --end;
    return end > at + n ? end - at : 0;
  }
  return 0;
}

// Prose in reference markup, escaped and with every object name linked (see
// the top of this file); `why` gets what is wrong with the markup.
std::string markup(const std::string& text, std::string* why) {
  static const char* const kTags[] = {"o", "m", "at", "ar", "i", "b", "link"};
  std::string out;
  std::vector<std::string> open;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '<') {
      const std::size_t close = text.find('>', i);
      const std::string tag = close == std::string::npos ? "" : text.substr(i + 1, close - i - 1);
      const bool ending = !tag.empty() && tag[0] == '/';
      std::string name = tag.substr(ending ? 1 : 0);
      name = name.substr(0, name.find(' '));
      const bool known = std::any_of(std::begin(kTags), std::end(kTags), [&](const char* t) { return name == t; });
      if (tag == "br/") {
        out += "<br/>";
      } else if (known && !ending && (name == "link" || tag == name)) {
        open.push_back(name);
        out += "<" + tag + ">";
      } else if (known && ending && tag == "/" + name) {
        if (open.empty() || open.back() != name) *why = "</" + name + "> closes nothing open";
        if (!open.empty()) open.pop_back();
        out += "<" + tag + ">";
      } else {
        out += "&lt;";
        ++i;
        continue;
      }
      i = close + 1;
      continue;
    }
    // A link's own text stays as written.
    const bool linked =
        std::any_of(open.begin(), open.end(), [](const std::string& t) { return t == "o" || t == "link"; });
    if (const std::size_t n = linked ? 0 : object_name_at(text, i)) {
      out += "<o>" + text.substr(i, n) + "</o>";
      i += n;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
    ++i;
  }
  if (!open.empty()) *why = "<" + open.back() + "> is not closed";
  return out;
}

// Shortest text that reads back as the same value; float32 attributes as
// floats, so that 0.1 stays 0.1 rather than its double widening.
template <class T>
std::string shortest(T v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string number_text(double v, const std::string& type) {
  return type == "float32" ? shortest(static_cast<float>(v)) : shortest(v);
}

std::string atom_text(const t_atom& a, const std::string& type) {
  switch (a.a_type) {
    case A_LONG: return std::to_string(a.a_w.w_long);
    case A_FLOAT: return number_text(a.a_w.w_float, type);
    case A_SYM: return a.a_w.w_sym ? a.a_w.w_sym->s_name : "";
    default: return "";
  }
}

std::string values_text(const std::vector<t_atom>& atoms, const std::string& type) {
  std::string s;
  for (const t_atom& a : atoms) {
    if (!s.empty()) s += ' ';
    s += atom_text(a, type);
  }
  return s;
}

// "(matrix) in" -> "matrix"; a text without a type word is the dump outlet's.
std::string port_type(const std::string& assist) {
  if (assist.size() > 2 && assist[0] == '(') {
    const std::size_t close = assist.find(')');
    if (close != std::string::npos && close > 1) return assist.substr(1, close - 1);
  }
  return "anything";
}

std::string capitalised(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

// "attributes" -> "attribute", for the problems a page reports.
std::string singular(const std::string& kind) { return kind.substr(0, kind.size() - 1); }

// "in", "in2", ..., "out", "out2", as Jitter names a matrix operator's inputs and outputs.
std::string io_name(const char* base, std::size_t index) {
  return index == 0 ? std::string(base) : base + std::to_string(index + 1);
}

// The wrapper's attributes that act on the output matrices.
bool acts_on_outputs(const std::string& name) {
  return name == "adapt" || name == "dim" || name == "type" || name == "planecount" || name.rfind("out_", 0) == 0;
}

const json* member(const json& j, const char* key) {
  if (!j.is_object()) return nullptr;
  auto it = j.find(key);
  return it == j.end() ? nullptr : &*it;
}

std::string text_of(const json* j, const char* key) {
  const json* v = j ? member(*j, key) : nullptr;
  return v && v->is_string() ? v->get<std::string>() : std::string();
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  if (const std::size_t at = s.find(from); at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

// "a, b and c", each name in <tag>.
std::string names_text(const std::vector<std::string>& names, const char* tag) {
  std::string s;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) s += i + 1 == names.size() ? " and " : ", ";
    s += std::string("<") + tag + ">" + names[i] + "</" + tag + ">";
  }
  return s;
}

// Writes one page, collecting what the text lacks or has too much of.
class Page {
 public:
  Page(const json& text, const std::string& name, std::vector<std::string>* problems)
      : text_(text), name_(name), problems_(problems) {
    const json* objects = member(text, "objects");
    own_ = objects ? member(*objects, name.c_str()) : nullptr;
    common_ = member(text, "common");
  }

  bool write(const host::ClassInfo& ci, const host::Box& box, const host::Box& twin) {
    if (!own_ || !own_->is_object()) return problem("no text for " + name_);
    const bool outputs = ci.matrix_outputs > 0;
    for (const auto& a : ci.attributes)
      if (a.user_gettable || a.user_settable) attributes_.push_back(a);
    for (const auto& a : ci.wrapper_attributes)
      if (outputs || !acts_on_outputs(a.name)) wrapper_attributes_.push_back(a.name);
    for (const auto& m : ci.wrapper_messages)
      if (outputs || m != "clear") wrapper_messages_.push_back(m);
    const std::string category = text_of(own_, "category");
    for (const char* key : {"category", "description", "discussion"})
      if (text_of(own_, key).empty()) problem(name_ + ": no " + key);
    check_unlisted(ci);

    line(0, "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>");
    line(0, "<?xml-stylesheet href=\"./_c74_ref.xsl\" type=\"text/xsl\"?>");
    line(0, "");
    line(0, "<c74object name=\"" + xml_escape(name_) + "\" module=\"jit\" category=\"" + xml_escape(category) +
                "\">");
    prose(1, "digest", capitalised(ci.description));
    prose(1, "description", text_of(own_, "description"));
    prose(1, "discussion", text_of(own_, "discussion"));
    line(1, "<metadatalist>");
    element(2, "metadata name=\"author\"", xml_escape(text_of(&text_, "author")), "metadata");
    for (const std::string& tag : {std::string("Jitter"), std::string("zelk"), category})
      element(2, "metadata name=\"tag\"", xml_escape(tag), "metadata");
    line(1, "</metadatalist>");
    ports("inlet", "inlets", box, 1, box.inlet_count());
    ports("outlet", "outlets", box, 2, box.outlet_count());
    objargs(outputs);
    methods(ci);
    if (attributes_.empty()) {
      line(1, "<attributelist/>");
    } else {
      line(1, "<attributelist>");
      for (const auto& a : attributes_) attribute(a, box, twin);
      line(1, "</attributelist>");
    }
    matrix_operator(ci);
    line(1, "<seealsolist>");
    if (const json* see = member(*own_, "seealso"); see && see->is_array())
      for (const json& s : *see)
        if (s.is_string()) line(2, "<seealso name=\"" + xml_escape(s.get<std::string>()) + "\"/>");
    line(1, "</seealsolist>");
    line(0, "</c74object>");
    return true;
  }

  const std::string& xml() const { return out_; }

 private:
  bool problem(const std::string& p) {
    problems_->push_back(p);
    return false;
  }

  void line(int depth, const std::string& s) {
    out_.append(static_cast<std::size_t>(depth), '\t');
    out_ += s;
    out_ += '\n';
  }

  // <tag>xml</tag>; `close` when the opening tag carries attributes.
  void element(int depth, const std::string& open, const std::string& xml, const std::string& close = "") {
    line(depth, "<" + open + ">" + xml + "</" + (close.empty() ? open : close) + ">");
  }

  // An element of prose; none for empty text, which Max's pages leave out.
  void prose(int depth, const std::string& tag, const std::string& text) {
    if (text.empty()) return;
    std::string why;
    const std::string xml = markup(text, &why);
    if (!why.empty()) problem(name_ + ": " + tag + " \"" + text.substr(0, 40) + "...\": " + why);
    element(depth, tag, xml);
  }

  // The entry for an attribute or message: the object's own, else the
  // common one.
  const json* entry(const char* kind, const std::string& item) const {
    for (const json* scope : {own_, common_}) {
      const json* group = scope ? member(*scope, kind) : nullptr;
      if (const json* e = group ? member(*group, item.c_str()) : nullptr) return e;
    }
    return nullptr;
  }

  // Text for what the page does not list would describe an object that does
  // not exist.
  void check_unlisted(const host::ClassInfo& ci) {
    std::set<std::string> attributes, messages(ci.messages.begin(), ci.messages.end());
    for (const auto& a : attributes_) attributes.insert(a.name);
    for (const auto& [kind, listed] : {std::pair{"attributes", &attributes}, std::pair{"messages", &messages}})
      if (const json* group = member(*own_, kind); group && group->is_object())
        for (const auto& [item, value] : group->items())
          if (!listed->count(item))
            problem(name_ + ": text for " + singular(kind) + " " + item + ", which its page does not list");
  }

  void described(int depth, const char* kind, const std::string& item) {
    const json* e = entry(kind, item);
    const std::string digest = text_of(e, "digest");
    if (digest.empty()) problem(name_ + ": no digest for " + singular(kind) + " " + item);
    prose(depth, "digest", digest);
    prose(depth, "description", text_of(e, "description"));
  }

  void ports(const char* tag, const char* kind, const host::Box& box, int direction, int count) {
    const json* texts = member(*own_, kind);
    if (texts && (!texts->is_array() || static_cast<int>(texts->size()) > count))
      problem(name_ + ": more " + kind + " described than the " + std::to_string(count) + " it has");
    const json* common_ports = common_ ? member(*common_, "ports") : nullptr;
    line(1, std::string("<") + tag + "list>");
    for (int i = 0; i < count; ++i) {
      const std::string assist = box.assist(direction, i);
      if (assist.empty()) problem(name_ + ": " + tag + " " + std::to_string(i) + " has no assist text");
      std::string description;
      if (texts && texts->is_array() && i < static_cast<int>(texts->size()) && (*texts)[i].is_string())
        description = (*texts)[i].get<std::string>();
      if (description.empty()) description = text_of(common_ports, assist.c_str());
      line(2, std::string("<") + tag + " id=\"" + std::to_string(i) + "\" type=\"" +
                  xml_escape(port_type(assist)) + "\">");
      element(3, "digest", xml_escape(assist));
      prose(3, "description", description);
      line(2, std::string("</") + tag + ">");
    }
    line(1, std::string("</") + tag + "list>");
  }

  // The wrapper takes [planecount] [type] [dim...] before the first @ for
  // an object's matrix outputs; an object without one has no arguments.
  void objargs(bool outputs) {
    if (!outputs) {
      line(1, "<objarglist/>");
      return;
    }
    const json* args = common_ ? member(*common_, "objargs") : nullptr;
    line(1, "<objarglist>");
    for (const auto& [arg, type] :
         {std::pair{"planecount", "int"}, std::pair{"type", "symbol"}, std::pair{"dim", "int"}}) {
      const json* e = args ? member(*args, arg) : nullptr;
      if (text_of(e, "digest").empty()) problem("no common text for the matrix argument " + std::string(arg));
      line(2, std::string("<objarg name=\"") + arg + "\" optional=\"1\" type=\"" + type + "\">");
      prose(3, "digest", text_of(e, "digest"));
      prose(3, "description", text_of(e, "description"));
      line(2, "</objarg>");
    }
    line(1, "</objarglist>");
  }

  void methods(const host::ClassInfo& ci) {
    line(1, "<methodlist>");
    for (const std::string& m : ci.messages) {
      line(2, "<method name=\"" + xml_escape(m) + "\">");
      const json* e = entry("messages", m);
      const json* args = e ? member(*e, "args") : nullptr;
      if (args && args->is_array() && !args->empty()) {
        line(3, "<arglist>");
        for (const json& a : *args)
          line(4, "<arg name=\"" + xml_escape(text_of(&a, "name")) + "\" optional=\"0\" type=\"" +
                      xml_escape(text_of(&a, "type")) + "\"/>");
        line(3, "</arglist>");
      } else {
        line(3, "<arglist/>");
      }
      described(3, "messages", m);
      line(2, "</method>");
    }
    line(1, "</methodlist>");
  }

  static std::string sub_attribute(const std::string& name, const std::string& type, std::size_t size,
                                   const std::string& value) {
    return "<attribute name=\"" + name + "\" get=\"1\" set=\"1\" type=\"" + xml_escape(type) + "\" size=\"" +
           std::to_string(size) + "\" value=\"" + xml_escape(value) + "\"/>";
  }

  void attribute(const host::AttributeInfo& a, const host::Box& box, const host::Box& twin) {
    line(2, "<attribute name=\"" + xml_escape(a.name) + "\" get=\"" + (a.user_gettable ? "1" : "0") + "\" set=\"" +
                (a.user_settable ? "1" : "0") + "\" type=\"" + xml_escape(a.type) + "\" size=\"" +
                std::to_string(a.max_count) + "\">");
    described(3, "attributes", a.name);
    std::vector<std::string> subs;
    // A default is the class's only when two new boxes agree on it.
    const std::vector<t_atom> value = box.attribute(a.name);
    const std::string text = values_text(value, a.type);
    if (!value.empty() && text == values_text(twin.attribute(a.name), a.type))
      subs.push_back(sub_attribute("default", a.type, value.size(), text));
    const std::string type = a.type == "atom" ? "float64" : a.type;
    if (a.clip_min && a.clip_max)
      subs.push_back(sub_attribute("range", type, 2, number_text(a.min, type) + " " + number_text(a.max, type)));
    else if (a.clip_min)
      subs.push_back(sub_attribute("min", type, 1, number_text(a.min, type)));
    else if (a.clip_max)
      subs.push_back(sub_attribute("max", type, 1, number_text(a.max, type)));
    if (subs.empty()) {
      line(3, "<attributelist/>");
    } else {
      line(3, "<attributelist>");
      for (const auto& s : subs) line(4, s);
      line(3, "</attributelist>");
    }
    line(2, "</attribute>");
  }

  void matrix_io(const char* tag, const char* base, const std::vector<host::MatrixIoInfo>& ios) {
    for (std::size_t i = 0; i < ios.size(); ++i) {
      const host::MatrixIoInfo& io = ios[i];
      std::string types;
      for (const std::string& t : io.types) types += (types.empty() ? "" : " ") + t;
      line(2, std::string("<") + tag + " name=\"" + io_name(base, i) + "\" planelink=\"" +
                  (io.planelink ? "1" : "0") + "\" typelink=\"" + (io.typelink ? "1" : "0") + "\" dimlink=\"" +
                  (io.dimlink ? "1" : "0") + "\" minplanecount=\"" + std::to_string(io.minplanecount) +
                  "\" maxplanecount=\"" + std::to_string(io.maxplanecount) + "\" mindimcount=\"" +
                  std::to_string(io.mindimcount) + "\" maxdimcount=\"" + std::to_string(io.maxdimcount) + "\">");
      element(3, "types", xml_escape(types));
      line(2, std::string("</") + tag + ">");
    }
  }

  // The operator's inputs and outputs as Max's matrix operator table shows
  // them, then one paragraph for the wrapper's attributes and messages.
  void matrix_operator(const host::ClassInfo& ci) {
    line(1, "<mop matrixinputcount=\"" + std::to_string(ci.matrix_inputs) + "\" matrixoutputcount=\"" +
                std::to_string(ci.matrix_outputs) + "\">");
    matrix_io("matrixinput", "in", ci.inputs);
    matrix_io("matrixoutput", "out", ci.outputs);
    line(1, "</mop>");
    if (wrapper_attributes_.empty() && wrapper_messages_.empty()) return;
    const json* shared = common_ ? member(*common_, "matrix_operator") : nullptr;
    const char* variant = ci.matrix_outputs > 0 ? "outputs" : "no_outputs";
    std::string text = text_of(shared, variant);
    if (text.find("{attributes}") == std::string::npos || text.find("{messages}") == std::string::npos)
      problem(std::string("no common matrix_operator text \"") + variant +
              "\" naming {attributes} and {messages}");
    text = replaced(replaced(text, "{attributes}", names_text(wrapper_attributes_, "at")), "{messages}",
                    names_text(wrapper_messages_, "m"));
    if (const std::string note = text_of(own_, "matrix_operator"); !note.empty()) text += " " + note;
    line(1, "<misc name=\"Matrix Operator\">");
    line(2, "<entry name=\"Common attributes and messages\">");
    prose(3, "digest", text_of(shared, "digest"));
    prose(3, "description", text);
    line(2, "</entry>");
    line(1, "</misc>");
  }

  const json& text_;
  std::string name_;
  std::vector<std::string>* problems_;
  const json* own_ = nullptr;
  const json* common_ = nullptr;
  std::vector<host::AttributeInfo> attributes_;                     // the object's own a patch can get or set
  std::vector<std::string> wrapper_attributes_, wrapper_messages_;  // those that act here
  std::string out_;
};

bool read_file(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *bytes = ss.str();
  return !in.bad();
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int refpage_command(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kRefpageHelp, stdout);
      return kExitOk;
    }
  }
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, "refpage"); rc >= 0) return rc;
  std::string out_dir, text_path = kDefaultText;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& a = rest[i];
    if (a == "--out" || a == "--text") {
      if (i + 1 >= rest.size()) return fail("refpage: " + a + " needs a value");
      (a == "--out" ? out_dir : text_path) = rest[++i];
    } else if (!a.empty() && a[0] == '-') {
      return fail("refpage: unknown option '" + a + "' (zelk refpage --help)");
    } else {
      names.push_back(a);
    }
  }
  if (out_dir.empty()) return fail("refpage: --out DIR is needed (zelk refpage --help)");

  std::string bytes;
  if (!read_file(text_path, &bytes))
    return fail("refpage: cannot read " + text_path + " (run from the project's top folder, or give --text FILE)");
  const json text = json::parse(bytes, nullptr, false);
  if (text.is_discarded() || !text.is_object()) return fail("refpage: " + text_path + " is not a JSON object");

  if (names.empty()) names = host::available_objects();
  if (names.empty()) return fail("refpage: no objects in the plug-in folder");

  std::vector<std::string> problems;
  std::vector<std::pair<std::string, std::string>> pages;
  for (const std::string& name : names) {
    std::string why;
    host::ClassInfo ci;
    if (!host::load_object(name, &why) || !host::class_info(name, &ci))
      return fail("refpage: cannot load " + name + (why.empty() ? "" : " (" + why + ")"));
    std::unique_ptr<host::Box> box = host::Box::create(name, &why);
    std::unique_ptr<host::Box> twin = box ? host::Box::create(name, &why) : nullptr;
    if (!box || !twin) return fail("refpage: cannot make a box of " + name + " (" + why + ")");
    Page page(text, name, &problems);
    if (page.write(ci, *box, *twin)) pages.emplace_back(name, page.xml());
  }
  // No page at all while the text is incomplete: a partial set would look done.
  if (!problems.empty()) {
    for (const auto& p : problems) std::fprintf(stderr, "zelk: refpage: %s\n", p.c_str());
    return fail("refpage: " + text_path + " does not match the objects; no page written");
  }
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (!is_directory(out_dir)) return fail("refpage: cannot make the folder " + out_dir);
  for (const auto& [name, xml] : pages) {
    const std::string path = (std::filesystem::path(out_dir) / (name + ".maxref.xml")).string();
    if (!write_file(path, xml)) return fail("refpage: cannot write " + path);
    std::printf("%s\n", path.c_str());
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::runner
