// Loading plug-ins by object name: "zelk.label" -> zelk.label.so in a
// plug-in folder (zelk.label.mxe64 on Windows, Max's own externals), its
// `main` called once per process. In-process "plug-ins" (a main registered
// by the program itself) go through the same path.
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "internal.h"

#ifndef ZELK_PLUGIN_DIR
#define ZELK_PLUGIN_DIR "plugins"
#endif

namespace zelk::host {
namespace {

#ifdef _WIN32
constexpr const char* kPluginSuffix = ".mxe64";

std::string last_error() {
  char text[512] = {};
  const DWORD code = GetLastError();
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                      text, sizeof text, nullptr))
    return "error " + std::to_string(code);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

// The plug-in's main, or null with the reason; the library stays loaded.
void* open_main(const std::string& path, std::string* why) {
  HMODULE h = LoadLibraryW(std::filesystem::path(path).wstring().c_str());
  if (!h) {
    *why = "cannot load " + path + ": " + last_error();
    return nullptr;
  }
  if (FARPROC sym = GetProcAddress(h, "main")) return reinterpret_cast<void*>(sym);
  *why = path + " exports no main";
  FreeLibrary(h);
  return nullptr;
}
#else
constexpr const char* kPluginSuffix = ".so";

void* open_main(const std::string& path, std::string* why) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* e = dlerror();
    *why = "cannot load " + path + ": " + (e ? e : "unknown error");
    return nullptr;
  }
  if (void* sym = dlsym(handle, "main")) return sym;
  *why = path + " exports no main";
  dlclose(handle);
  return nullptr;
}
#endif

struct Loaded {
  bool ok = false;
  std::string why;
};

struct Loader {
  std::recursive_mutex mutex;
  std::vector<std::string> dirs;
  std::map<std::string, Loaded> loaded;  // also remembers mains that failed
  std::map<std::string, void (*)()> in_process;
};

Loader& loader() {
  static Loader* l = [] {
    auto* l = new Loader;
    const char* env = std::getenv("ZELK_PLUGIN_DIR");
    l->dirs.push_back(env && *env ? env : ZELK_PLUGIN_DIR);
    return l;
  }();
  return *l;
}

bool valid_name(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." &&
         name != "..";
}

std::string joined_dirs(const std::vector<std::string>& dirs) {
  std::string s;
  for (const std::string& d : dirs) s += (s.empty() ? "" : ", ") + d;
  return s.empty() ? "(no plug-in folders)" : s;
}

// Runs a main with setup() filing its class under `name`; true when it did.
bool run_main(const std::string& name, void (*main_fn)(), std::string* why) {
  detail::set_loading_name(&name);
  main_fn();
  detail::set_loading_name(nullptr);
  if (detail::find_max_class(name)) return true;
  *why = name + ": its main set up no Max class";
  return false;
}

}  // namespace

void add_plugin_dir(const std::string& dir) {
  Loader& l = loader();
  std::lock_guard<std::recursive_mutex> lock(l.mutex);
  l.dirs.push_back(dir);
}

void set_plugin_dirs(const std::vector<std::string>& dirs) {
  Loader& l = loader();
  std::lock_guard<std::recursive_mutex> lock(l.mutex);
  l.dirs = dirs;
}

std::vector<std::string> plugin_dirs() {
  Loader& l = loader();
  std::lock_guard<std::recursive_mutex> lock(l.mutex);
  return l.dirs;
}

bool register_object_main(const std::string& name, void (*main_fn)()) {
  // Not a file name: jit./ is an object in the process.
  if (name.empty() || !main_fn) return false;
  Loader& l = loader();
  std::lock_guard<std::recursive_mutex> lock(l.mutex);
  if (l.loaded.count(name)) return false;
  return l.in_process.emplace(name, main_fn).second;
}

bool load_object(const std::string& name, std::string* why) {
  std::string reason;
  if (!why) why = &reason;
  Loader& l = loader();
  std::lock_guard<std::recursive_mutex> lock(l.mutex);
  if (auto it = l.loaded.find(name); it != l.loaded.end()) {
    if (!it->second.ok) *why = it->second.why;
    return it->second.ok;
  }
  if (auto it = l.in_process.find(name); it != l.in_process.end()) {
    Loaded& r = l.loaded[name];
    r.ok = run_main(name, it->second, &r.why);
    if (!r.ok) *why = r.why;
    return r.ok;
  }
  if (!valid_name(name)) {
    *why = "no object named " + name;
    return false;
  }
  std::string path;
  for (const std::string& d : l.dirs) {
    std::string candidate = d + "/" + name + kPluginSuffix;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) {
      path = candidate;
      break;
    }
  }
  if (path.empty()) {
    *why = "no object named " + name + " in " + joined_dirs(l.dirs);
    return false;
  }
  // Plug-ins stay loaded: their classes live until the process exits.
  void* sym = open_main(path, why);
  if (!sym) {
    *why = name + ": " + *why;
    return false;
  }
  Loaded& r = l.loaded[name];
  r.ok = run_main(name, reinterpret_cast<void (*)()>(sym), &r.why);
  if (!r.ok) *why = r.why;
  return r.ok;
}

std::vector<std::string> available_objects() {
  std::vector<std::string> names;
  for (const std::string& d : plugin_dirs()) {
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(d, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      const std::filesystem::path& p = it->path();
      if (p.extension() == kPluginSuffix && it->is_regular_file(ec))
        names.push_back(p.stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace zelk::host
