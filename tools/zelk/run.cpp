#include "tools/zelk/run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/zelk/array.h"
#include "tools/zelk/frames.h"
#include "tools/zelk/json.h"
#include "tools/zelk/npy.h"
#include "zelk/host.h"

namespace zelk::runner {

const char kRunHelp[] =
    "usage: zelk run [--plugins DIR] [--save DIR] STEP... -- BOX [BOX...]\n"
    "\n"
    "BOX      the text of an object box as typed in Max, one shell word each:\n"
    "         'zelk.label @charmode 1'. Boxes form a chain: every matrix that box j\n"
    "         sends from its leftmost outlet goes into box j+1's inlet, depth first.\n"
    "STEPs, run in the order given:\n"
    "  --input FILE       one frame into box 0 (state carries from frame to frame).\n"
    "                     .npy: uint8/int32/float32/float64 -> char/long/float32/float64;\n"
    "                     the last axis is the planes, the axes before it the dimensions\n"
    "                     from the highest down to dim[0]: a 640x480 one-plane image is\n"
    "                     (480, 640, 1); a 1-D array of N values is N cells of 1 plane.\n"
    "                     .png/.pgm/.ppm: a 2-D char matrix, grey -> 1 plane, colour ->\n"
    "                     4 planes ARGB (alpha 255 where the file has none).\n"
    "  --send 'J MESSAGE [ARGS...]'\n"
    "                     a message to box J (from 0): '0 reset', '1 bang',\n"
    "                     '0 threshold 5' (attribute names set attributes).\n"
    "--plugins DIR        the plug-in folder (default: $ZELK_PLUGIN_DIR, else the\n"
    "                     build's plugins/ beside the runner's bin/).\n"
    "--save DIR           write every matrix any box sends to DIR (made if missing) as\n"
    "                     fFRAME_bBOX_OBJECT.npy, e.g. f0000_b0_zelk.label.npy; a\n"
    "                     further matrix of the same box and frame gets _2, _3, ...\n"
    "\n"
    "Standard output: one JSON object per line, in the order things happen:\n"
    "  {\"frame\":0,\"box\":0,\"object\":\"zelk.label\",\"event\":\"matrix\",\"outlet\":0,\n"
    "   \"type\":\"long\",\"planecount\":1,\"dim\":[640,480],\"file\":\"out/f0000_b0_zelk.label.npy\"}\n"
    "  event \"outlet\": a message from a list outlet, with \"selector\" and \"atoms\";\n"
    "  event \"error\": a matrix_calc error code as \"code\" (four characters);\n"
    "  event \"console\": a console line an object posted, as \"text\".\n"
    "FRAME counts --input steps from 0; events outside a frame (box creation,\n"
    "--send) carry the number of the next --input. Non-finite numbers are null.\n"
    "\n"
    "Every file, box and --send is checked before anything runs. Exit status: 0 when\n"
    "every step ran (an object's error code is an event); 2 for a usage error, an\n"
    "unknown object, a file that cannot be read or written, or a box that cannot be\n"
    "created, with the reason on standard error and nothing half-run.\n";

namespace {

namespace host = zelk::host;

struct Step {
  enum class Kind { Input, Send } kind;
  std::string text;  // the file, or the whole --send argument
  int box = 0;       // --send: target box
  std::string message;
};

struct Options {
  std::string plugins, save;
  bool has_plugins = false, has_save = false;
  std::vector<Step> steps;
  std::vector<std::string> boxes;
};

int usage(const std::string& why) {
  std::fprintf(stderr, "zelk run: %s (see zelk run --help)\n", why.c_str());
  return kExitFailure;
}

int fail(const std::string& why) {
  std::fprintf(stderr, "zelk: %s\n", why.c_str());
  return kExitFailure;
}

std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// "J MESSAGE [ARGS...]" -> box J and the message text.
bool parse_send(const std::string& arg, Step* step, std::string* why) {
  std::size_t i = arg.find_first_not_of(" \t");
  std::size_t j = i == std::string::npos ? std::string::npos : arg.find_first_not_of("0123456789", i);
  if (i == std::string::npos || j == i || (j != std::string::npos && arg[j] != ' ' && arg[j] != '\t')) {
    *why = "--send '" + arg + "': expected a box number and a message, e.g. --send '0 reset'";
    return false;
  }
  std::string number = arg.substr(i, j == std::string::npos ? std::string::npos : j - i);
  if (number.size() > 6) {
    *why = "--send '" + arg + "': there is no box " + number;
    return false;
  }
  step->box = std::stoi(number);
  std::size_t m = j == std::string::npos ? std::string::npos : arg.find_first_not_of(" \t", j);
  if (m == std::string::npos) {
    *why = "--send '" + arg + "': no message after the box number";
    return false;
  }
  step->message = arg.substr(m);
  return true;
}

// Returns -1 when parsing succeeded and the run goes on, else an exit status.
int parse_options(int argc, char** argv, Options* o) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--help" || a == "-h") {
      std::fputs(kRunHelp, stdout);
      return kExitOk;
    }
    std::string name = a, value;
    bool inline_value = false;
    if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
      name = a.substr(0, a.find('='));
      value = a.substr(a.find('=') + 1);
      inline_value = true;
    }
    if (name != "--plugins" && name != "--save" && name != "--input" && name != "--send")
      return usage("unknown argument '" + a + "'");
    if (!inline_value) {
      if (i + 1 >= argc) return usage(name + " needs a value");
      value = argv[++i];
    }
    if (name == "--plugins" || name == "--save") {
      bool& seen = name == "--plugins" ? o->has_plugins : o->has_save;
      if (seen) return usage(name + " given twice");
      if (value.empty()) return usage(name + " needs a folder");
      seen = true;
      (name == "--plugins" ? o->plugins : o->save) = value;
    } else if (name == "--input") {
      if (value.empty()) return usage("--input needs a file");
      o->steps.push_back({Step::Kind::Input, value, 0, {}});
    } else {
      Step s{Step::Kind::Send, value, 0, {}};
      std::string why;
      if (!parse_send(value, &s, &why)) return usage(why);
      o->steps.push_back(s);
    }
  }
  for (; i < argc; ++i) o->boxes.push_back(argv[i]);
  if (o->boxes.empty()) return usage("no boxes: give them after '--', e.g. -- 'zelk.label'");
  return -1;
}

bool is_directory(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The build's plug-in folder: <build>/plugins beside <build>/bin/zelk.
std::string default_plugin_dir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  auto dir = exe.parent_path().parent_path() / "plugins";
  return is_directory(dir.string()) ? dir.string() : std::string();
}

// Sets the plug-in folders; false with the reason when --plugins is unusable.
bool choose_plugin_dirs(const Options& o, std::string* why) {
  if (o.has_plugins) {
    if (!is_directory(o.plugins)) {
      *why = "--plugins " + o.plugins + ": not a folder";
      return false;
    }
    host::set_plugin_dirs({o.plugins});
    return true;
  }
  const char* env = std::getenv("ZELK_PLUGIN_DIR");
  if (env && *env) return true;  // the host starts from it
  std::string dir = default_plugin_dir();
  if (!dir.empty()) host::set_plugin_dirs({dir});
  return true;
}

const host::AttributeInfo* find_attribute(const host::ClassInfo& ci, const std::string& name) {
  for (const auto& a : ci.attributes)
    if (a.name == name) return &a;
  return nullptr;
}

// The `@name value...` arguments of a box text, checked against the class.
bool check_box_arguments(const std::vector<std::string>& w, const host::ClassInfo* ci,
                         std::string* why) {
  for (std::size_t i = 1; i < w.size(); ++i) {
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
    if (ci && !ci->attributes.empty()) {
      const host::AttributeInfo* a = find_attribute(*ci, name);
      if (!a) {
        *why = "malformed argument '" + w[i] + "': " + w[0] + " has no attribute '" + name + "'";
        return false;
      }
      if (!a->user_settable) {
        *why = "malformed argument '" + w[i] + "': the attribute '" + name + "' of " + w[0] +
               " cannot be set";
        return false;
      }
    }
  }
  return true;
}

// Whether a message is one the object answers, as far as its class says.
bool knows_message(const host::ClassInfo& ci, const std::string& selector) {
  if (ci.messages.empty() && ci.attributes.empty()) return true;  // nothing to check against
  for (const auto& m : ci.messages)
    if (m == selector) return true;
  for (const auto& a : ci.attributes)
    if (a.name == selector || "get" + a.name == selector) return true;
  return false;
}

class Session {
 public:
  explicit Session(Options o) : opt_(std::move(o)) {}
  ~Session() {
    // Closing the patch is no step: what boxes say while freed is not reported.
    for (auto& b : boxes_) b->on_event = nullptr;
    // Last box first, so no box outlives the box it sends to.
    while (!boxes_.empty()) boxes_.pop_back();
  }

  int run();

 private:
  int check_inputs();
  int create_boxes();
  int run_steps();
  std::string event_line(int box, const host::Event& e);
  std::string save_matrix(int box, void* matrix, const t_jit_matrix_info& info);
  void print(const std::string& line) {
    if (!line.empty()) {
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
    }
  }

  Options opt_;
  std::vector<std::unique_ptr<host::Box>> boxes_;
  std::vector<std::string> names_;
  std::vector<host::ClassInfo> classes_;
  long frame_ = 0;
  std::string save_failure_;
  std::map<std::string, int> saved_;  // file name -> matrices saved under it
};

int Session::check_inputs() {
  std::set<std::string> checked;
  for (const Step& s : opt_.steps) {
    if (s.kind != Step::Kind::Input || !checked.insert(s.text).second) continue;
    Array a;
    std::string why;
    if (!read_frame_file(s.text, &a, &why)) return fail(s.text + ": " + why);
  }
  return -1;
}

int Session::create_boxes() {
  std::vector<std::string> pending;
  for (std::size_t j = 0; j < opt_.boxes.size(); ++j) {
    const std::string& text = opt_.boxes[j];
    const std::string where = "box " + std::to_string(j) + " '" + text + "'";
    std::vector<std::string> w = words(text);
    if (w.empty()) return fail(where + ": no object name");
    std::string why;
    if (!host::load_object(w[0], &why))
      return fail(where + ": unknown object " + w[0] + (why.empty() ? "" : " (" + why + ")"));
    host::ClassInfo ci;
    const bool have_class = host::class_info(w[0], &ci);
    if (!check_box_arguments(w, have_class ? &ci : nullptr, &why)) return fail(where + ": " + why);
    auto box = host::Box::create(text, &why);
    if (!box) return fail(where + ": " + (why.empty() ? "the box could not be created" : why));
    names_.push_back(box->object_name());
    classes_.push_back(ci);
    boxes_.push_back(std::move(box));
    for (const host::Event& e : boxes_.back()->events()) pending.push_back(event_line(static_cast<int>(j), e));
    boxes_.back()->clear_events();
  }
  for (const Step& s : opt_.steps) {
    if (s.kind != Step::Kind::Send) continue;
    std::string selector = words(s.message)[0];
    if (!knows_message(classes_[s.box], selector))
      return fail("--send '" + s.text + "': " + names_[s.box] + " (box " + std::to_string(s.box) +
                  ") has no message or attribute '" + selector + "'");
  }
  for (std::size_t j = 0; j + 1 < boxes_.size(); ++j) boxes_[j]->connect(0, *boxes_[j + 1]);
  for (std::size_t j = 0; j < boxes_.size(); ++j)
    boxes_[j]->on_event = [this, j](const host::Event& e) { print(event_line(static_cast<int>(j), e)); };
  for (const auto& line : pending) print(line);
  return -1;
}

std::string Session::save_matrix(int box, void* matrix, const t_jit_matrix_info& info) {
  const frame::CellType type = type_from_name(info.type ? info.type->s_name : nullptr);
  if (type == frame::CellType::Unknown || info.dimcount < 0 || info.dimcount > frame::kMaxDims ||
      info.planecount < 1 || info.planecount > frame::kMaxPlanes) {
    save_failure_ = "cannot save a matrix of box " + std::to_string(box) + ": its type or shape is not one a .npy file holds";
    return {};
  }
  Array a;
  a.type = type;
  a.planecount = info.planecount;
  a.dims.assign(info.dim, info.dim + info.dimcount);
  const char* data = host::matrix_data(matrix);
  if (!a.dims.empty() && a.cell_count() > 0) {
    if (!data) return {};  // a matrix without data has nothing to save
    copy_from_strided(&a, reinterpret_cast<const std::byte*>(data), info.dimstride);
  }
  char name[64];
  std::snprintf(name, sizeof name, "f%04ld_b%d_", frame_, box);
  std::string base = name + names_[box];
  // Two matrices of one box in one frame must not overwrite each other.
  int n = ++saved_[base];
  std::string file = base + (n > 1 ? "_" + std::to_string(n) : std::string()) + ".npy";
  std::string path = opt_.save + (opt_.save.back() == '/' ? "" : "/") + file;
  std::string bytes = npy_file(a);
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) {
    save_failure_ = path + ": cannot write it (" + std::strerror(errno) + ")";
    return {};
  }
  return path;
}

std::string Session::event_line(int box, const host::Event& e) {
  EventSource src{frame_, box, names_[box]};
  switch (e.kind) {
    case host::Event::Kind::Outlet: {
      const char* sel = e.selector && e.selector->s_name ? e.selector->s_name : "";
      if (!std::strcmp(sel, "jit_matrix")) {
        if (void* m = host::event_matrix(e)) {
          t_jit_matrix_info info = host::matrix_info(m);
          std::vector<long> dims;
          for (long i = 0; i < info.dimcount && i < frame::kMaxDims; ++i) dims.push_back(info.dim[i]);
          std::string file;
          if (opt_.has_save) file = save_matrix(box, m, info);
          return json_matrix_event(src, e.outlet, info.type ? info.type->s_name : "", info.planecount,
                                   dims, file.empty() ? nullptr : &file);
        }
      }
      std::vector<JsonAtom> atoms;
      for (const t_atom& a : e.atoms) {
        if (a.a_type == A_LONG) atoms.emplace_back(static_cast<long long>(a.a_w.w_long));
        else if (a.a_type == A_FLOAT) atoms.emplace_back(static_cast<double>(a.a_w.w_float));
        else if (a.a_type == A_SYM) atoms.emplace_back(std::string(a.a_w.w_sym && a.a_w.w_sym->s_name ? a.a_w.w_sym->s_name : ""));
        else atoms.emplace_back(std::monostate{});
      }
      return json_outlet_event(src, e.outlet, sel, atoms);
    }
    case host::Event::Kind::Error:
      return e.code ? json_error_event(src, e.code) : std::string();
    case host::Event::Kind::Console:
      return json_console_event(src, e.text);
  }
  return {};
}

int Session::run_steps() {
  for (const Step& s : opt_.steps) {
    if (s.kind == Step::Kind::Input) {
      Array a;
      std::string why;
      if (!read_frame_file(s.text, &a, &why)) return fail(s.text + ": " + why);
      void* m = host::new_matrix(gensym(type_name(a.type)), a.planecount, a.dims);
      char* data = m ? host::matrix_data(m) : nullptr;
      if (!data) {
        if (m) jit_object_free(m);
        return fail(s.text + ": the host could not make a matrix for it");
      }
      t_jit_matrix_info info = host::matrix_info(m);
      copy_to_strided(a, reinterpret_cast<std::byte*>(data), info.dimstride);
      boxes_[0]->send_matrix(m);
      jit_object_free(m);
      ++frame_;
    } else {
      std::string why;
      if (!boxes_[s.box]->send_text(s.message, &why))
        return fail("--send '" + s.text + "': " + names_[s.box] + " (box " + std::to_string(s.box) +
                    ") does not take it" + (why.empty() ? "" : ": " + why));
    }
    for (auto& b : boxes_) b->clear_events();
    std::fflush(stdout);
    if (!save_failure_.empty()) return fail(save_failure_);
  }
  return -1;
}

int Session::run() {
  std::string why;
  if (!choose_plugin_dirs(opt_, &why)) return fail(why);
  if (opt_.has_save) {
    std::error_code ec;
    std::filesystem::create_directories(opt_.save, ec);
    if (!is_directory(opt_.save) || ::access(opt_.save.c_str(), W_OK) != 0)
      return fail("--save " + opt_.save + ": not a folder the runner can write to");
  }
  for (const Step& s : opt_.steps)
    if (s.kind == Step::Kind::Send && s.box >= static_cast<int>(opt_.boxes.size()))
      return fail("--send '" + s.text + "': there is no box " + std::to_string(s.box) + " (the chain has " +
                  std::to_string(opt_.boxes.size()) + (opt_.boxes.size() == 1 ? " box)" : " boxes)"));
  host::set_console_echo(false);
  if (int rc = check_inputs(); rc >= 0) return rc;
  if (int rc = create_boxes(); rc >= 0) return rc;
  if (int rc = run_steps(); rc >= 0) return rc;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return fail("cannot write standard output");
  return kExitOk;
}

// --plugins DIR as the only option; the rest of the words stay.
int plugins_option(int argc, char** argv, std::vector<std::string>* rest, const char* cmd) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--plugins") {
      if (i + 1 >= argc) return fail(std::string(cmd) + ": --plugins needs a folder");
      o.has_plugins = true;
      o.plugins = argv[++i];
    } else if (a.rfind("--plugins=", 0) == 0) {
      o.has_plugins = true;
      o.plugins = a.substr(10);
    } else {
      rest->push_back(a);
    }
  }
  std::string why;
  if (!choose_plugin_dirs(o, &why)) return fail(why);
  host::set_console_echo(false);
  return -1;
}

}  // namespace

int run_command(int argc, char** argv) {
  Options o;
  if (int rc = parse_options(argc, argv, &o); rc >= 0) return rc;
  Session session(std::move(o));
  return session.run();
}

int list_command(int argc, char** argv) {
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, "list"); rc >= 0) return rc;
  if (!rest.empty()) return fail("list: unexpected argument '" + rest[0] + "'");
  for (const auto& name : host::available_objects()) std::printf("%s\n", name.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int info_command(int argc, char** argv) {
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, "info"); rc >= 0) return rc;
  if (rest.size() != 1) return fail("info: name one object, e.g. zelk info zelk.label");
  std::string why;
  host::ClassInfo ci;
  if (!host::load_object(rest[0], &why) || !host::class_info(rest[0], &ci))
    return fail("info: unknown object " + rest[0] + (why.empty() ? "" : " (" + why + ")"));
  std::printf("%s (Jitter class %s): %d matrix input%s, %d matrix output%s\n", ci.max_name.c_str(),
              ci.jit_name.c_str(), ci.matrix_inputs, ci.matrix_inputs == 1 ? "" : "s",
              ci.matrix_outputs, ci.matrix_outputs == 1 ? "" : "s");
  std::printf("attributes:\n");
  for (const auto& a : ci.attributes) {
    std::string line = "  " + a.name;
    line.resize(std::max<std::size_t>(line.size() + 1, 17), ' ');
    line += a.type;
    if (a.max_count > 1) line += ", up to " + std::to_string(a.max_count) + " values";
    if (a.clip_min || a.clip_max)
      line += ", clipped to " + (a.clip_min ? json_number(a.min) : "") + ".." +
              (a.clip_max ? json_number(a.max) : "");
    if (!a.user_settable) line += " (read only)";
    std::printf("%s\n", line.c_str());
  }
  std::printf("messages:");
  for (const auto& m : ci.messages) std::printf(" %s", m.c_str());
  std::printf("\n");
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::runner
