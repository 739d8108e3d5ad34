#include "tools/zelk/run.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/zelk/graph.h"
#include "tools/zelk/opencv.h"
#include "tools/zelk/patch.h"
#include "tools/zelk/platform.h"
#include "tools/zelk/plugins.h"
#include "tools/zelk/progress.h"
#include "tools/zelk/session.h"
#include "tools/zelk/sources.h"
#include "patch_objects/patch_objects.h"
#include "zelk/host.h"

namespace zelk::runner {

const char kRunHelp[] =
    "usage: zelk run [OPTIONS] STEP... -- BOX [BOX...]\n"
    "       zelk run [OPTIONS] STEP... PATCH.maxpat\n"
    "\n"
    "BOX      the text of an object box as typed in Max, one shell word each:\n"
    "         'zelk.label @charmode 1'. Boxes form a chain: every matrix that box j\n"
    "         sends from its leftmost outlet goes into box j+1's inlet, depth first\n"
    "         (only matrices: the lists of zelk.sum and the like stay with their box).\n"
    "         The frames go into box 0, or come out of it when it is jit.movie or\n"
    "         jit.grab; the Max and Jitter objects a PATCH may hold work here too.\n"
    "PATCH    a patch saved by Max (.maxpat, or a help file .maxhelp): frames go into\n"
    "         its first inlet box; each frame is a tick of its running metros and\n"
    "         qmetros, whose bangs reach its jit.movie and jit.grab (a patch without a\n"
    "         running one has each source banged once a frame). Its patch lines join\n"
    "         the boxes (one outlet's lines fire right to left by where their ends\n"
    "         sit, as in Max); what reaches its outlet boxes is reported, with\n"
    "         \"patch_outlet\" and the box's \"id\"; print boxes post console lines\n"
    "         (\"NAME: values\").\n"
    "         Errors and console lines of every box are reported. Boxes are numbered\n"
    "         from 0 in the file's order, a subpatcher's (p NAME) in its place.\n"
    "         Besides zelk objects it may hold: jit.movie, jit.grab (sources; without\n"
    "         --input, the file a jit.movie reads by @moviefile or a read message,\n"
    "         looked for beside the patch, in ../media and in each --path folder),\n"
    "         jit.matrix, jit.rgb2luma, jit.op (and jit.+, jit.> ..., one per operator),\n"
    "         jit.iter, jit.pack, jit.transpose, jit.lcd, jit.cellblock, jit.pwindow,\n"
    "         jit.window (drawn by --render), print, loadbang and loadmess (fire once\n"
    "         after loading), metro, qmetro, gate, + - * /, sel, trigger (t), send (s),\n"
    "         receive (r), pack, unpack, prepend, route, expr, message boxes, toggles,\n"
    "         buttons, number and flonum boxes, attrui, comments, panels, p subpatchers.\n"
    "         A patch with any other box is refused, naming the box.\n"
    "STEPs, run in the order given:\n"
    "  --input PATH       frames into the first box (state carries from frame to frame):\n"
    "                     a frame file, a folder of them (sorted by name), or a video\n"
    "                     (.avi .mp4 .mov .mkv .webm ..., decoded by OpenCV; colour\n"
    "                     frames become 4-plane ARGB char matrices).\n"
    "                     .npy: uint8/int32/float32/float64 -> char/long/float32/float64;\n"
    "                     the last axis is the planes, the axes before it the dimensions\n"
    "                     from the highest down to dim[0]: a 640x480 one-plane image is\n"
    "                     (480, 640, 1); a 1-D array of N values is N cells of 1 plane.\n"
    "                     .png/.pgm/.ppm: a 2-D char matrix, grey -> 1 plane, colour ->\n"
    "                     4 planes ARGB (alpha 255 where the file has none).\n"
    "                     PNG files and videos need a build with OpenCV (zelk.exe for\n"
    "                     Windows has none).\n"
    "  --send 'J MESSAGE [ARGS...]'\n"
    "                     a message to box J (from 0; in a patch also the box's id):\n"
    "                     '0 reset', '1 bang', '0 threshold 5', 'obj-3 mode 1'\n"
    "                     (attribute names set attributes, the Max wrapper's too:\n"
    "                     '0 outputmode 0', '0 dim 320 240'; 'getNAME' answers on the\n"
    "                     dump outlet).\n"
    "OPTIONS\n"
    "  --plugins DIR      the plug-in folder (default: $ZELK_PLUGIN_DIR, else the\n"
    "                     build's plugins/ beside the runner's bin/; for zelk.exe the\n"
    "                     Max package's zelk/externals beside the runner's folder).\n"
    "  --save DIR         write every matrix any box sends to DIR (made if missing) as\n"
    "                     fFRAME_bBOX_OBJECT.npy, e.g. f0000_b0_zelk.label.npy; a\n"
    "                     further matrix of the same box and frame gets _2, _3, ...\n"
    "  --render DIR       pictures of every 2-D matrix sent, as fFRAME_bBOX_OBJECT.png:\n"
    "                     label images in colours, Hough accumulators as heat maps with\n"
    "                     their peaks ringed, other images in grey; and, when the frame\n"
    "                     has blobs or lines, fFRAME_annotated.png (needs OpenCV).\n"
    "  --grey             frames to one plane of luminance first.\n"
    "  --threshold N      frames to grey, then to a binary char image: 255 where the\n"
    "                     grey value is above N, else 0 (for camera frames into zelk.label).\n"
    "  --quiet            no progress bar (there is none when stderr is no terminal).\n"
    "  --trace            report what every box sends, not only what reaches the\n"
    "                     patch's outlets (events without \"patch_outlet\").\n"
    "  --path DIR         a folder where the files a patch names are looked for, as\n"
    "                     on Max's search path (again for more).\n"
    "\n"
    "Standard output: one JSON object per line, in the order things happen:\n"
    "  {\"frame\":0,\"box\":0,\"object\":\"zelk.label\",\"event\":\"matrix\",\"outlet\":0,\n"
    "   \"type\":\"long\",\"planecount\":1,\"dim\":[640,480],\"file\":\"out/f0000_b0_zelk.label.npy\"}\n"
    "  event \"outlet\": a message from a list outlet, with \"selector\" and \"atoms\";\n"
    "  event \"error\": a matrix_calc error code as \"code\" (four characters);\n"
    "  event \"console\": a console line an object posted, as \"text\".\n"
    "FRAME counts frames from 0; events outside a frame (box creation, --send) carry\n"
    "the number of the next frame. Non-finite numbers are null.\n"
    "\n"
    "Every file, box and --send is checked before anything runs. Exit status: 0 when\n"
    "every step ran (an object's error code is an event); 2 for a usage error, an\n"
    "unknown object, a file that cannot be read or written, or a box that cannot be\n"
    "created, with the reason on standard error and nothing half-run.\n";

namespace {

struct Step {
  enum class Kind { Input, Send } kind;
  std::string text;    // the path, or the whole --send argument
  std::string target;  // --send: the box's number or id
  std::string message;
  int box = -1;        // --send: the box, once the graph is built
};

struct Options {
  std::string plugins, save, render, patch;
  bool has_plugins = false, quiet = false, trace = false;
  std::vector<std::string> search;  // --path folders
  FrameFilter filter;
  std::vector<Step> steps;
  std::vector<std::string> boxes;
};

int usage(const std::string& why) {
  std::fprintf(stderr, "zelk run: %s (see zelk run --help)\n", why.c_str());
  return kExitFailure;
}

bool is_patch_file(const std::string& w) {
  auto ends_with = [&](const std::string& suffix) {
    return w.size() > suffix.size() && w.compare(w.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  return ends_with(".maxpat") || ends_with(".maxhelp");
}

// "J MESSAGE [ARGS...]" -> the box's number (or id) and the message text.
bool parse_send(const std::string& arg, Step* step, std::string* why) {
  std::istringstream in(arg);
  std::string target;
  in >> target;
  if (target.empty()) {
    *why = "--send '" + arg + "': expected a box number and a message, e.g. --send '0 reset'";
    return false;
  }
  std::string rest;
  std::getline(in, rest);
  const std::size_t m = rest.find_first_not_of(" \t");
  if (m == std::string::npos) {
    *why = "--send '" + arg + "': no message after the box number";
    return false;
  }
  step->target = target;
  step->message = rest.substr(m);
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
    if (a == "--quiet" || a == "-q") {
      o->quiet = true;
      continue;
    }
    if (a == "--trace") {
      o->trace = true;
      continue;
    }
    if (a == "--grey" || a == "--gray") {
      o->filter.grey = true;
      continue;
    }
    if (a.rfind("--", 0) != 0 && is_patch_file(a)) {
      if (!o->patch.empty()) return usage("two patches given: " + o->patch + " and " + a);
      o->patch = a;
      continue;
    }
    std::string name = a, value;
    bool inline_value = false;
    if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
      name = a.substr(0, a.find('='));
      value = a.substr(a.find('=') + 1);
      inline_value = true;
    }
    static const char* const kValued[] = {"--plugins", "--save", "--render", "--input", "--send", "--threshold",
                                          "--path"};
    if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued))
      return usage("unknown argument '" + a + "'");
    if (!inline_value) {
      if (i + 1 >= argc) return usage(name + " needs a value");
      value = argv[++i];
    }
    if (name == "--plugins" || name == "--save" || name == "--render") {
      std::string& slot = name == "--plugins" ? o->plugins : name == "--save" ? o->save : o->render;
      if (!slot.empty()) return usage(name + " given twice");
      if (value.empty()) return usage(name + " needs a folder");
      if (name == "--render" && !kHaveOpenCV)
        return fail("--render " + value + ": " + without_opencv("draw pictures"));
      slot = value;
      if (name == "--plugins") o->has_plugins = true;
    } else if (name == "--threshold") {
      char* end = nullptr;
      errno = 0;
      const double t = std::strtod(value.c_str(), &end);
      if (value.empty() || *end || errno || !std::isfinite(t))
        return usage("--threshold needs a number, e.g. --threshold 128");
      o->filter.binary = true;
      o->filter.threshold = t;
    } else if (name == "--path") {
      if (value.empty()) return usage("--path needs a folder");
      o->search.push_back(value);
    } else if (name == "--input") {
      if (value.empty()) return usage("--input needs a file, folder or video");
      o->steps.push_back({Step::Kind::Input, value, {}, {}});
    } else {
      Step s{Step::Kind::Send, value, {}, {}};
      std::string why;
      if (!parse_send(value, &s, &why)) return usage(why);
      o->steps.push_back(s);
    }
  }
  for (; i < argc; ++i) o->boxes.push_back(argv[i]);
  if (o->patch.empty() && o->boxes.size() == 1 && is_patch_file(o->boxes[0])) {
    o->patch = o->boxes[0];
    o->boxes.clear();
  }
  if (!o->patch.empty() && !o->boxes.empty()) return usage("give a patch or boxes after '--', not both");
  if (o->patch.empty() && o->boxes.empty())
    return usage("no boxes: give them after '--', e.g. -- 'zelk.label', or a PATCH.maxpat");
  return -1;
}

bool writable_folder(const std::string& dir, const char* option, std::string* why) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!is_directory(dir) || !folder_is_writable(dir)) {
    *why = std::string(option) + " " + dir + ": not a folder the runner can write to";
    return false;
  }
  return true;
}

int run_session(Options& o) {
  std::string why;
  if (!choose_plugin_dirs(o.has_plugins, o.plugins, &why)) return fail(why);
  if (!o.save.empty() && !writable_folder(o.save, "--save", &why)) return fail(why);
  if (!o.render.empty() && !writable_folder(o.render, "--render", &why)) return fail(why);
  host::set_console_echo(false);

  Patch patch;
  if (!o.patch.empty() && !read_patch(o.patch, &patch, &why)) return fail(why);
  for (Step& s : o.steps)
    if (s.kind == Step::Kind::Send && o.patch.empty()) {
      if (s.target.find_first_not_of("0123456789") != std::string::npos)
        return usage("--send '" + s.text + "': expected a box number and a message, e.g. --send '0 reset'");
      if (s.target.size() > 6 || std::stol(s.target) >= static_cast<long>(o.boxes.size()))
        return fail("--send '" + s.text + "': there is no box " + s.target + " (the chain has " +
                    std::to_string(o.boxes.size()) + (o.boxes.size() == 1 ? " box)" : " boxes)"));
    }
  // Every source is opened (and a folder's files read) before any box is made.
  std::vector<std::unique_ptr<FrameSource>> sources;
  long total = 0;
  for (const Step& s : o.steps) {
    if (s.kind != Step::Kind::Input) continue;
    auto src = FrameSource::open(s.text, &why);
    if (!src) return fail(why);
    total = total < 0 || src->remaining() < 0 ? -1 : total + src->remaining();
    sources.push_back(std::move(src));
  }

  host::register_patch_objects();
  Graph graph;
  if (!(o.patch.empty() ? graph.build_chain(o.boxes, &why) : graph.build_patch(patch, &why)))
    return fail(o.patch.empty() ? why : o.patch + ": " + why);
  graph.load();
  // Without --input, a movie the patch reads plays instead, found as Max
  // finds files: beside the patch, in its package's media folder, then on
  // the search path (--path).
  if (sources.empty() && graph.has_sources() && !host::movie_files().empty()) {
    std::string file = host::movie_files().front();
    const std::filesystem::path here = std::filesystem::path(o.patch).parent_path();
    std::vector<std::filesystem::path> places = {here, here / ".." / "media"};
    for (const std::string& dir : o.search) places.emplace_back(dir);
    for (const auto& dir : places)
      if (!std::filesystem::exists(file) && std::filesystem::exists(dir / file)) file = (dir / file).string();
    auto src = FrameSource::open(file, &why);
    if (!src) return fail(o.patch + ": the movie it reads: " + why);
    total = src->remaining();
    sources.push_back(std::move(src));
    o.steps.push_back({Step::Kind::Input, file, {}, {}});
  }
  LateChecks late(graph);
  for (Step& s : o.steps) {
    if (s.kind != Step::Kind::Send) continue;
    s.box = graph.find(s.target);
    if (s.box < 0) return fail("--send '" + s.text + "': the patch has no box " + s.target);
    if (!check_message(graph.nodes()[s.box].info, s.message, &why) || !late.check(s.box, s.message, &why))
      return fail("--send '" + s.text + "': " + graph.nodes()[s.box].object + " (box " + std::to_string(s.box) +
                  ") " + why);
  }

  SessionOptions so;
  so.save = o.save;
  so.render = o.render;
  so.trace = o.trace;
  if (!o.patch.empty()) so.patch = &patch;
  so.filter = o.filter;
  Session session(graph, so);
  session.report_creation();
  Progress progress(!o.quiet && total != 1, total);
  std::size_t next_source = 0;
  for (const Step& s : o.steps) {
    if (s.kind == Step::Kind::Send) {
      if (!session.send(s.box, s.message, &why)) return fail("--send '" + s.text + "': " + why);
      continue;
    }
    FrameSource& src = *sources[next_source++];
    for (Array frame; src.next(&frame, &why);) {
      if (!session.run_frame(frame, &why)) return fail(why);
      progress.advance();
    }
    if (!why.empty()) return fail(why);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return fail("cannot write standard output");
  return kExitOk;
}

}  // namespace

int run_command(int argc, char** argv) {
  Options o;
  if (int rc = parse_options(argc, argv, &o); rc >= 0) return rc;
  return run_session(o);
}

}  // namespace zelk::runner
