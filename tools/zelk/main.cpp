// zelk: a headless patcher for the zelk plug-ins.
#include <cstdio>
#include <cstring>

#include "tools/zelk/demo.h"
#include "tools/zelk/image.h"
#include "tools/zelk/platform.h"
#include "tools/zelk/run.h"

namespace {

const char kHelp[] =
    "zelk: runs the zelk Max/Jitter objects without Max, through the embedded host.\n"
    "\n"
    "usage:\n"
    "  zelk demo [--out DIR] [--frames N]  a generated scene through the demo patch,\n"
    "      written as annotated frames, a contact sheet and tables (zelk demo --help)\n"
    "  zelk clip FILE.mov                 the scene in colour as a movie Max plays: the\n"
    "      package's clip (zelk clip --help)\n"
    "  zelk run [OPTIONS] STEP... -- BOX [BOX...]\n"
    "  zelk run [OPTIONS] STEP... PATCH.maxpat\n"
    "      a chain of object boxes or a patch saved by Max: send them frames (files,\n"
    "      folders, videos) and messages, print what they send as JSON lines, save\n"
    "      or draw their matrices (zelk run --help says more)\n"
    "  zelk list [--plugins DIR]          every object, with a line of what it does\n"
    "  zelk help [--plugins DIR] OBJECT   its inlets, outlets, attributes and messages\n"
    "                                     (zelk info OBJECT says the same)\n"
    "  zelk refpage --out DIR [OBJECT...]  Max reference pages (.maxref.xml) made from\n"
    "      what the objects register and docs/refpages/text.json (zelk refpage --help)\n"
    "  zelk --help                        this text\n"
    "\n"
    "Frames are .npy (uint8, int32, float32, float64; last axis = planes), .png, .pgm\n"
    "or .ppm files (grey -> 1 plane, colour -> 4 planes ARGB), folders of them, or\n"
    "videos OpenCV decodes. PNG files, videos, --render and zelk demo need a build\n"
    "with OpenCV (zelk.exe for Windows has none). The plug-in folder is --plugins\n"
    "DIR, else $ZELK_PLUGIN_DIR, else the build's plugins/ folder beside the\n"
    "runner's bin/ (for zelk.exe, the Max package's zelk/externals beside the\n"
    "runner's folder).\n"
    "\n"
    "Exit status: 0 when every step ran (an object's error code is an event, not a\n"
    "failure); 2 for a usage error, an unknown object, a file that cannot be read or\n"
    "written, or a box that cannot be created, with the reason on standard error.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace zelk::runner;
  binary_standard_output();
  quiet_image_library();
  if (argc < 2) {
    std::fputs(kHelp, stderr);
    return kExitFailure;
  }
  const char* cmd = argv[1];
  if (!std::strcmp(cmd, "--help") || !std::strcmp(cmd, "-h") || !std::strcmp(cmd, "help")) {
    if (argc > 2 && !std::strcmp(argv[2], "run")) {
      std::fputs(kRunHelp, stdout);
      return kExitOk;
    }
    // zelk help OBJECT: what the object registered.
    if (argc > 2 && std::strcmp(argv[2], "--help") && std::strcmp(argv[2], "-h"))
      return info_command(argc - 1, argv + 1);
    std::fputs(kHelp, stdout);
    return kExitOk;
  }
  if (!std::strcmp(cmd, "run")) return run_command(argc - 1, argv + 1);
  if (!std::strcmp(cmd, "demo")) return demo_command(argc - 1, argv + 1);
  if (!std::strcmp(cmd, "clip")) return clip_command(argc - 1, argv + 1);
  if (!std::strcmp(cmd, "list")) return list_command(argc - 1, argv + 1);
  if (!std::strcmp(cmd, "info")) return info_command(argc - 1, argv + 1);
  if (!std::strcmp(cmd, "refpage")) return refpage_command(argc - 1, argv + 1);
  std::fprintf(stderr, "zelk: unknown command '%s' (see zelk --help)\n", cmd);
  return kExitFailure;
}
