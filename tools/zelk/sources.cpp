#include "tools/zelk/sources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <type_traits>

#include "tools/zelk/frames.h"
#include "tools/zelk/image.h"
#include "tools/zelk/movie.h"
#include "tools/zelk/platform.h"

namespace zelk::runner {
namespace {

namespace fs = std::filesystem;

std::string lower_extension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

class FilesSource : public FrameSource {
 public:
  explicit FilesSource(std::deque<Array> frames) : frames_(std::move(frames)) {}
  long remaining() const override { return static_cast<long>(frames_.size()); }
  bool next(Array* out, std::string* why) override {
    why->clear();
    if (frames_.empty()) return false;
    *out = std::move(frames_.front());
    frames_.pop_front();
    return true;
  }

 private:
  std::deque<Array> frames_;
};

std::unique_ptr<FrameSource> open_folder(const std::string& path, std::string* why) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(path, ec)) {
    const std::string name = e.path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    // Joined with '/' as given, so names read alike on every system.
    if (file_kind(name) != FileKind::Unknown) files.push_back(join_path(path, name));
  }
  if (ec) {
    *why = path + ": cannot read the folder (" + ec.message() + ")";
    return nullptr;
  }
  if (files.empty()) {
    *why = path + ": the folder holds no frame files (.npy, .png, .pgm, .ppm)";
    return nullptr;
  }
  std::sort(files.begin(), files.end());
  std::deque<Array> frames;
  for (const auto& f : files) {
    Array a;
    if (!read_frame_file(f, &a, why)) {
      *why = f + ": " + *why;
      return nullptr;
    }
    frames.push_back(std::move(a));
  }
  return std::make_unique<FilesSource>(std::move(frames));
}

}  // namespace

bool is_video_file(const std::string& path) {
  static const char* const kVideo[] = {".avi", ".mp4", ".mov", ".mkv", ".webm", ".m4v",
                                       ".mpg", ".mpeg", ".wmv", ".ogv", ".flv", ".mjpeg"};
  const std::string ext = lower_extension(path);
  return std::any_of(std::begin(kVideo), std::end(kVideo), [&](const char* v) { return ext == v; });
}

std::unique_ptr<FrameSource> FrameSource::open(const std::string& path, std::string* why) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return open_folder(path, why);
  if (is_video_file(path)) {
    if (!fs::is_regular_file(path, ec)) {
      *why = path + ": cannot open it (no such file)";
      return nullptr;
    }
    // Photo-JPEG movies (the package's clip) by our own reader, in every build.
    if (auto movie = open_jpeg_movie(path, why)) return movie;
    if (!why->empty()) return nullptr;
    return open_video(path, why);
  }
  Array a;
  if (!read_frame_file(path, &a, why)) {
    *why = path + ": " + *why;
    return nullptr;
  }
  std::deque<Array> one;
  one.push_back(std::move(a));
  return std::make_unique<FilesSource>(std::move(one));
}

namespace {

template <class T>
void grey_cells(Array* a) {
  const std::size_t n = a->cell_count();
  const long planes = a->planecount;
  const T* src = reinterpret_cast<const T*>(a->data.data());
  std::vector<std::byte> out(n * sizeof(T));
  T* dst = reinterpret_cast<T*>(out.data());
  // ARGB cells (4 planes) keep colour in planes 1..3, RGB cells in 0..2.
  const long r = planes >= 4 ? planes - 3 : 0;
  for (std::size_t i = 0; i < n; ++i, src += planes) {
    if (planes < 3) {
      dst[i] = src[0];
      continue;
    }
    const double y = 0.299 * static_cast<double>(src[r]) + 0.587 * static_cast<double>(src[r + 1]) +
                     0.114 * static_cast<double>(src[r + 2]);
    if constexpr (std::is_integral_v<T>) {
      const double lo = static_cast<double>(std::numeric_limits<T>::min());
      const double hi = static_cast<double>(std::numeric_limits<T>::max());
      dst[i] = static_cast<T>(std::clamp(std::round(y), lo, hi));
    } else {
      dst[i] = static_cast<T>(y);
    }
  }
  a->data = std::move(out);
  a->planecount = 1;
}

template <class T>
void binary_cells(Array* a, double threshold) {
  const std::size_t n = a->cell_count();
  const T* src = reinterpret_cast<const T*>(a->data.data());
  std::vector<std::byte> out(n);
  for (std::size_t i = 0; i < n; ++i)
    out[i] = static_cast<double>(src[i]) > threshold ? std::byte{255} : std::byte{0};
  a->data = std::move(out);
  a->type = frame::CellType::Char;
}

}  // namespace

void apply_filter(const FrameFilter& f, Array* a) {
  if (!f.grey && !f.binary) return;
  frame::dispatch_type(a->type, [&](auto zero) {
    using T = decltype(zero);
    if (a->planecount != 1) grey_cells<T>(a);
    if (f.binary) binary_cells<T>(a, f.threshold);
  });
}

}  // namespace zelk::runner
