// zelk list and zelk help: what the plug-ins registered, read back through
// the host. Nothing here is a table of its own: descriptions, assist texts,
// attributes and messages all come from the classes and a fresh box.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/zelk/json.h"
#include "tools/zelk/plugins.h"
#include "tools/zelk/run.h"
#include "zelk/host.h"

namespace zelk::runner {

namespace host = zelk::host;

namespace {

const char kListHelp[] =
    "usage: zelk list [--plugins DIR]\n"
    "\n"
    "Names every object in the plug-in folder with a line of what it does, as the\n"
    "plug-in itself describes it. zelk help OBJECT tells more about one of them.\n"
    "\n"
    "Exit status: 0 when every plug-in loads; 2 when one does not (its line says\n"
    "why) or for a usage error.\n";

const char kInfoHelp[] =
    "usage: zelk help [--plugins DIR] OBJECT\n"
    "       zelk info [--plugins DIR] OBJECT\n"
    "\n"
    "What OBJECT registered with the host: its description and Jitter class, its\n"
    "inlets and outlets with their assist texts, its attributes (type, how many\n"
    "values an array holds, the value of a new box, the range values are clipped\n"
    "to, \"read only\" where a patch cannot set it) and the messages a patch can\n"
    "send it, then the attributes and messages of the Max wrapper around it\n"
    "(outputmode, adapt, dim, type, planecount, ...). zelk list shows the object\n"
    "names.\n"
    "\n"
    "Exit status: 0 when the object was described; 2 for an object that cannot be\n"
    "loaded or a usage error.\n";

bool wants_help(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

std::string padded(std::string s, std::size_t width) {
  s.resize(std::max(s.size() + 1, width), ' ');
  return s;
}

std::string number_text(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return json_number(v);
}

std::string atom_text(const t_atom& a) {
  switch (a.a_type) {
    case A_LONG: return std::to_string(a.a_w.w_long);
    case A_FLOAT: return number_text(a.a_w.w_float);
    case A_SYM: {
      const std::string s = a.a_w.w_sym ? a.a_w.w_sym->s_name : "";
      return s.empty() || s.find(' ') != std::string::npos ? json_quote(s) : s;
    }
    default: return "(no value)";  // an atom attribute never set
  }
}

std::string value_text(const std::vector<t_atom>& atoms) {
  if (atoms.empty()) return "(none)";
  std::string s;
  for (const t_atom& a : atoms) {
    if (!s.empty()) s += ' ';
    s += atom_text(a);
  }
  return s;
}

std::string description_text(const host::ClassInfo& ci) {
  return ci.description.empty() ? "(no description)" : ci.description;
}

// One attribute: name, type, count, the value of a new box, clipping, access.
std::string attribute_line(const host::AttributeInfo& a, const host::Box* box) {
  std::string type = a.type;
  if (a.max_count > 1) type += ", up to " + std::to_string(a.max_count) + " values";
  std::string line = "  " + padded(a.name, 16) + padded(type, 26);
  std::vector<std::string> notes;
  if (box) notes.push_back(std::string("default ").append(value_text(box->attribute(a.name))));
  if (a.clip_min || a.clip_max)
    notes.push_back("clipped to " + (a.clip_min ? number_text(a.min) : std::string()) + ".." +
                    (a.clip_max ? number_text(a.max) : std::string()));
  if (!a.user_settable) notes.push_back("read only");
  if (!a.user_gettable) notes.push_back("not gettable");
  if (a.wrapper) notes.push_back("the wrapper's");
  for (std::size_t i = 0; i < notes.size(); ++i) line += (i ? ", " : "") + notes[i];
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

void print_ports(const char* title, const host::Box& box, int direction, int count) {
  std::printf("%s\n", title);
  for (int i = 0; i < count; ++i) {
    const std::string text = box.assist(direction, i);
    std::printf("  %d  %s\n", i, text.empty() ? "(no assist text)" : text.c_str());
  }
}

}  // namespace

int list_command(int argc, char** argv) {
  if (wants_help(argc, argv)) {
    std::fputs(kListHelp, stdout);
    return kExitOk;
  }
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, "list"); rc >= 0) return rc;
  if (!rest.empty()) return fail("list: unexpected argument '" + rest[0] + "'");
  const std::vector<std::string> names = host::available_objects();
  if (names.empty()) {
    std::string dirs;
    for (const auto& d : host::plugin_dirs()) dirs += (dirs.empty() ? "" : ", ") + d;
    std::fprintf(stderr, "zelk: list: no objects in %s\n", dirs.empty() ? "(no folder)" : dirs.c_str());
  }
  std::size_t width = 0;
  for (const auto& n : names) width = std::max(width, n.size() + 2);
  bool all_loaded = true;
  for (const auto& name : names) {
    std::string why;
    host::ClassInfo ci;
    std::string line;
    if (host::load_object(name, &why) && host::class_info(name, &ci)) {
      line = description_text(ci);
    } else {
      all_loaded = false;
      line = "(does not load: " + (why.empty() ? std::string("registers no class") : why) + ")";
    }
    std::printf("%s%s\n", padded(name, width).c_str(), line.c_str());
  }
  if (std::fflush(stdout) != 0) return kExitFailure;
  return all_loaded ? kExitOk : kExitFailure;
}

int info_command(int argc, char** argv) {
  const std::string cmd = argc > 0 && argv[0] ? argv[0] : "info";
  if (wants_help(argc, argv)) {
    std::fputs(kInfoHelp, stdout);
    return kExitOk;
  }
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, cmd.c_str()); rc >= 0) return rc;
  if (rest.size() != 1)
    return fail(cmd + ": name one object, e.g. zelk " + cmd + " zelk.label (zelk list shows the names)");
  const std::string& name = rest[0];
  if (!name.empty() && name[0] == '-') return fail(cmd + ": unknown option '" + name + "'");
  std::string why;
  host::ClassInfo ci;
  if (!host::load_object(name, &why) || !host::class_info(name, &ci))
    return fail(cmd + ": cannot load " + name + (why.empty() ? "" : " (" + why + ")") +
                "; zelk list shows the object names");

  // Defaults and assist texts are an instance's: read them from a new box.
  std::string box_why;
  std::unique_ptr<host::Box> box = host::Box::create(name, &box_why);

  std::printf("%s: %s\n", ci.max_name.c_str(), description_text(ci).c_str());
  std::printf("Jitter class %s: %d matrix input%s, %d matrix output%s\n", ci.jit_name.c_str(),
              ci.matrix_inputs, ci.matrix_inputs == 1 ? "" : "s", ci.matrix_outputs,
              ci.matrix_outputs == 1 ? "" : "s");
  if (box) {
    print_ports("inlets:", *box, 1, box->inlet_count());
    print_ports("outlets:", *box, 2, box->outlet_count());
  } else {
    std::printf("inlets and outlets: unknown, a new box could not be made (%s)\n", box_why.c_str());
  }
  std::printf("attributes:%s\n", ci.attributes.empty() ? " (none)" : "");
  for (const auto& a : ci.attributes) std::printf("%s\n", attribute_line(a, box.get()).c_str());
  if (!ci.wrapper_attributes.empty()) {
    std::printf("wrapper attributes (the Max wrapper's, as every Jitter matrix object has them):\n");
    for (const auto& a : ci.wrapper_attributes) std::printf("%s\n", attribute_line(a, box.get()).c_str());
  }
  std::printf("messages:");
  for (const auto& m : ci.messages) std::printf(" %s", m.c_str());
  std::printf("%s\n", ci.messages.empty() ? " (none)" : "");
  if (!ci.wrapper_messages.empty()) {
    std::printf("wrapper messages:");
    for (const auto& m : ci.wrapper_messages) std::printf(" %s", m.c_str());
    std::printf(" getNAME (any attribute NAME a patch may read, answered on the dump outlet)\n");
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::runner
