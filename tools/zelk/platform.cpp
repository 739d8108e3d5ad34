#include "tools/zelk/platform.h"

#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zelk::runner {
namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

fs::path executable() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return fs::path(buf.substr(0, n));
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);  // the name was cut short
  }
}

// zelk.exe ships beside the Max package (dist/windows/zelk.exe and
// dist/zelk/externals); a build keeps it in bin/ beside externals/.
const char* const kPluginFolders[][2] = {{"zelk", "externals"}, {"externals", nullptr}};

}  // namespace

bool stderr_is_terminal() { return _isatty(_fileno(stderr)) != 0; }

// Access rights on Windows are the folder's ACL, which only trying tells.
bool folder_is_writable(const std::string& dir) {
  wchar_t probe[MAX_PATH + 1] = {};
  if (!GetTempFileNameW(fs::path(dir).wstring().c_str(), L"zlk", 0, probe)) return false;
  DeleteFileW(probe);
  return true;
}

void binary_standard_output() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

#else

namespace {

fs::path executable() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : p;
}

// The build's own: <build>/plugins beside <build>/bin/zelk.
const char* const kPluginFolders[][2] = {{"plugins", nullptr}};

}  // namespace

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) != 0; }

bool folder_is_writable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

void binary_standard_output() {}

#endif

std::vector<std::string> default_plugin_dirs() {
  try {
    const fs::path exe = executable();
    if (exe.empty()) return {};
    for (const auto& parts : kPluginFolders) {
      fs::path dir = exe.parent_path().parent_path() / parts[0];
      if (parts[1]) dir /= parts[1];
      std::error_code ec;
      if (fs::is_directory(dir, ec)) return {dir.string()};
    }
  } catch (const std::exception&) {
    // A location the narrow strings cannot hold: no default.
  }
  return {};
}

std::string join_path(const std::string& dir, const std::string& name) {
  return fs::path(dir).has_filename() ? dir + "/" + name : dir + name;
}

}  // namespace zelk::runner
