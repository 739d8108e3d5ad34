// What the runner decodes with OpenCV: PNG frames and videos.
#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "frame/cpu.h"
#include "tools/zelk/image.h"
#include "tools/zelk/sources.h"

namespace zelk::runner {

void quiet_image_library() { cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT); }

bool decode_png(const unsigned char* bytes, std::size_t size, unsigned long long width,
                unsigned long long height, Array* out, std::string* why) {
  cv::Mat img;
  try {
    cv::Mat buf(1, static_cast<int>(std::min<std::size_t>(size, 0x7FFFFFFF)), CV_8U,
                const_cast<unsigned char*>(bytes));
    img = cv::imdecode(buf, cv::IMREAD_UNCHANGED);
  } catch (const std::exception&) {
    img.release();
  }
  if (img.empty() || img.dims != 2 || static_cast<unsigned long long>(img.cols) != width ||
      static_cast<unsigned long long>(img.rows) != height || (img.depth() != CV_8U && img.depth() != CV_16U) ||
      (img.channels() != 1 && img.channels() != 2 && img.channels() != 3 && img.channels() != 4)) {
    *why = "damaged PNG file (it could not be decoded)";
    return false;
  }
  cv::Mat img8;
  if (img.depth() == CV_16U) img.convertTo(img8, CV_8U, 255.0 / 65535.0);  // rounds, saturates
  else img8 = img;
  *out = array_from_image(img8);
  return true;
}

namespace {

// Each 4-byte cell's bytes in reverse order (BGRA -> ARGB).
inline void reverse_cells(unsigned char* __restrict cells, int n) {
  for (int x = 0; x < n; ++x) {
    std::uint32_t v;
    std::memcpy(&v, cells + 4 * x, 4);
    v = __builtin_bswap32(v);
    std::memcpy(cells + 4 * x, &v, 4);
  }
}

#if defined(ZELK_X86_KERNELS)
__attribute__((target("avx2"))) void reverse_cells_avx2(unsigned char* __restrict cells, int n) {
  reverse_cells(cells, n);
}
#endif

}  // namespace

Array array_from_image(const cv::Mat& img) {
  Array a;
  array_from_image(img, &a);
  return a;
}

void array_from_image(const cv::Mat& img, Array* a) {
  a->type = frame::CellType::Char;
  a->dims = {img.cols, img.rows};
  const int ch = img.channels();
  a->planecount = ch == 1 ? 1 : 4;
  // Same size as the last frame: the buffer is kept, nothing is zeroed.
  a->data.resize(static_cast<std::size_t>(img.cols) * img.rows * a->planecount);
  auto* out = reinterpret_cast<unsigned char*>(a->data.data());
  const int w = img.cols;
  for (int y = 0; y < img.rows; ++y) {
    const unsigned char* __restrict src = img.ptr<unsigned char>(y);
    unsigned char* __restrict dst = out + static_cast<std::size_t>(y) * w * a->planecount;
    // OpenCV gives grey, grey+alpha, BGR or BGRA; Jitter wants grey or ARGB.
    if (ch == 1) {
      std::memcpy(dst, src, static_cast<std::size_t>(w));
    } else if (ch == 2) {
      for (int x = 0; x < w; ++x) {
        dst[4 * x] = src[2 * x + 1];
        dst[4 * x + 1] = dst[4 * x + 2] = dst[4 * x + 3] = src[2 * x];
      }
    } else if (ch == 3) {
      // OpenCV's vectorised BGR -> BGRA, then each cell's bytes reversed: A R G B.
      cv::Mat bgra(1, w, CV_8UC4, dst);
      cv::cvtColor(img.row(y), bgra, cv::COLOR_BGR2BGRA);
#if defined(ZELK_X86_KERNELS)
      if (frame::cpu_has_avx2()) {
        reverse_cells_avx2(dst, w);
        continue;
      }
#endif
      reverse_cells(dst, w);
    } else {
      for (int x = 0; x < w; ++x) {
        dst[4 * x] = src[4 * x + 3];
        dst[4 * x + 1] = src[4 * x + 2];
        dst[4 * x + 2] = src[4 * x + 1];
        dst[4 * x + 3] = src[4 * x];
      }
    }
  }
}

namespace {

class VideoSource : public FrameSource {
 public:
  VideoSource(std::string path, cv::VideoCapture cap, cv::Mat first, long count)
      : path_(std::move(path)), cap_(std::move(cap)), pending_(std::move(first)), count_(count) {}
  long remaining() const override { return count_ < 0 ? -1 : std::max(0L, count_ - read_); }
  bool next(Array* out, std::string* why) override {
    why->clear();
    cv::Mat img;
    if (!pending_.empty()) {
      img = std::move(pending_);
      pending_.release();
    } else {
      try {
        if (!cap_.read(img)) img.release();
      } catch (const std::exception&) {
        img.release();
      }
    }
    if (img.empty()) return false;  // the end, or a damaged tail: what decoded has run
    if (img.depth() != CV_8U || img.channels() > 4) {
      *why = path_ + ": frame " + std::to_string(read_) + " is not an 8-bit image";
      return false;
    }
    array_from_image(img, out);
    ++read_;
    return true;
  }

 private:
  std::string path_;
  cv::VideoCapture cap_;
  cv::Mat pending_;
  long count_;
  long read_ = 0;
};

}  // namespace

std::unique_ptr<FrameSource> open_video(const std::string& path, std::string* why) {
  cv::VideoCapture cap;
  cv::Mat first;
  // File decoders only: probing every backend wakes camera libraries that
  // have nothing to do with a file.
  for (int backend : {cv::CAP_FFMPEG, cv::CAP_OPENCV_MJPEG}) {
    try {
      if (cap.open(path, backend) && cap.read(first)) break;
    } catch (const std::exception&) {
    }
    first.release();
    cap.release();
  }
  if (!cap.isOpened() || first.empty()) {
    *why = path + ": damaged or unsupported video (no frame could be decoded)";
    return nullptr;
  }
  const double n = cap.get(cv::CAP_PROP_FRAME_COUNT);
  const long count = std::isfinite(n) && n >= 1 && n < 1e9 ? static_cast<long>(n) : -1;
  return std::make_unique<VideoSource>(path, std::move(cap), std::move(first), count);
}

}  // namespace zelk::runner
