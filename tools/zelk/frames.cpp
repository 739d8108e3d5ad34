#include "tools/zelk/frames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

namespace fs = std::filesystem;

bool read_file(const std::string& path, std::vector<std::byte>* out, std::string* why) {
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) {
    *why = "not a regular file";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *why = std::string("cannot open it (") + std::strerror(errno) + ")";
    return false;
  }
  // Read to the end, not to the size asked for first: the file may change.
  out->clear();
  if (const auto size = fs::file_size(path, ec); !ec) out->reserve(size);
  std::byte chunk[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  const bool failed = std::ferror(f);
  const int error = errno;
  std::fclose(f);
  if (failed) {
    *why = std::string("cannot read it (") + std::strerror(error) + ")";
    return false;
  }
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
