#include "tools/zelk/plugins.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tools/zelk/platform.h"
#include "tools/zelk/run.h"
#include "zelk/host.h"

namespace zelk::runner {

bool is_directory(const std::string& p) {
  std::error_code ec;
  return std::filesystem::is_directory(p, ec);
}

bool choose_plugin_dirs(bool given, const std::string& dir, std::string* why) {
  if (given) {
    if (!is_directory(dir)) {
      *why = "--plugins " + dir + ": not a folder";
      return false;
    }
    host::set_plugin_dirs({dir});
    return true;
  }
  const char* env = std::getenv("ZELK_PLUGIN_DIR");
  if (env && *env) return true;  // the host starts from it
  const std::vector<std::string> found = default_plugin_dirs();
  if (!found.empty()) host::set_plugin_dirs(found);
  return true;
}

int fail(const std::string& why) {
  std::fprintf(stderr, "zelk: %s\n", why.c_str());
  return kExitFailure;
}

int plugins_option(int argc, char** argv, std::vector<std::string>* rest, const char* cmd) {
  bool given = false;
  std::string dir;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--plugins") {
      if (i + 1 >= argc) return fail(std::string(cmd) + ": --plugins needs a folder");
      given = true;
      dir = argv[++i];
    } else if (a.rfind("--plugins=", 0) == 0) {
      given = true;
      dir = a.substr(10);
    } else {
      rest->push_back(a);
    }
  }
  std::string why;
  if (!choose_plugin_dirs(given, dir, &why)) return fail(why);
  host::set_console_echo(false);
  return -1;
}

}  // namespace zelk::runner
