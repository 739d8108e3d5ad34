#include "tools/zelk/frames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/zelk/image.h"
#include "tools/zelk/npy.h"

namespace zelk::runner {

FileKind file_kind(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return FileKind::Unknown;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == "npy") return FileKind::Npy;
  if (ext == "png") return FileKind::Png;
  if (ext == "pgm") return FileKind::Pgm;
  if (ext == "ppm") return FileKind::Ppm;
  return FileKind::Unknown;
}

bool parse_frame(const std::byte* bytes, std::size_t size, FileKind kind, Array* out,
                 std::string* why) {
  switch (kind) {
    case FileKind::Npy: return parse_npy(bytes, size, out, why);
    case FileKind::Png: return decode_image(bytes, size, ImageKind::Png, out, why);
    case FileKind::Pgm: return decode_image(bytes, size, ImageKind::Pgm, out, why);
    case FileKind::Ppm: return decode_image(bytes, size, ImageKind::Ppm, out, why);
    default:
      *why = "unsupported file type (the runner reads .npy, .png, .pgm and .ppm)";
      return false;
  }
}

namespace {

bool read_file(const std::string& path, std::vector<std::byte>* out, std::string* why) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *why = std::string("cannot open it (") + std::strerror(errno) + ")";
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    *why = "not a regular file";
    return false;
  }
  out->resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  while (got < out->size()) {
    ssize_t n = ::read(fd, out->data() + got, out->size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      *why = n < 0 ? std::string("cannot read it (") + std::strerror(errno) + ")"
                   : std::string("it shrank while being read");
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return true;
}

}  // namespace

bool read_frame_file(const std::string& path, Array* out, std::string* why) {
  const FileKind kind = file_kind(path);
  if (kind == FileKind::Unknown) return parse_frame(nullptr, 0, kind, out, why);
  std::vector<std::byte> bytes;
  if (!read_file(path, &bytes, why)) return false;
  return parse_frame(bytes.data(), bytes.size(), kind, out, why);
}

}  // namespace zelk::runner
