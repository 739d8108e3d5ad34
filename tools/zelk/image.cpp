#include "tools/zelk/image.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

namespace zelk::runner {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// OpenCV's own ceiling on decoded pixels.
constexpr unsigned long long kMaxPixels = 1ull << 30;
// Deflate expands at most about 1032:1; a file smaller than its pixels need
// at that ratio cannot hold them.
constexpr unsigned long long kMaxDeflateRatio = 1032;

unsigned long be32(const unsigned char* p) {
  return (static_cast<unsigned long>(p[0]) << 24) | (static_cast<unsigned long>(p[1]) << 16) |
         (static_cast<unsigned long>(p[2]) << 8) | p[3];
}

struct Claim {
  unsigned long long width = 0, height = 0;
  int channels = 1;
  int maxval = 255;  // PNM only
  bool ascii = false;
};

bool check_png(const unsigned char* b, std::size_t size, Claim* c, std::string* why) {
  if (size < 8 || std::memcmp(b, kPngSignature, 8) != 0) {
    *why = "not a PNG file (no PNG signature)";
    return false;
  }
  if (size < 33 || be32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) {
    *why = "damaged PNG file (no image header after the signature)";
    return false;
  }
  c->width = be32(b + 16);
  c->height = be32(b + 20);
  const int depth = b[24], colour = b[25];
  if (c->width == 0 || c->height == 0 || c->width > 0x7FFFFFFF || c->height > 0x7FFFFFFF) {
    *why = "damaged PNG file (its header claims a size of " + std::to_string(c->width) + " x " +
           std::to_string(c->height) + ")";
    return false;
  }
  static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  if (colour > 6 || kChannels[colour] == 0 || (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)) {
    *why = "damaged PNG file (bit depth " + std::to_string(depth) + ", colour type " +
           std::to_string(colour) + ")";
    return false;
  }
  c->channels = kChannels[colour];
  if (c->width * c->height > kMaxPixels) {
    *why = "image too large (" + std::to_string(c->width) + " x " + std::to_string(c->height) + ")";
    return false;
  }
  const unsigned long long row = (c->width * c->channels * depth + 7) / 8 + 1;
  if (row * c->height > (size - 33) * kMaxDeflateRatio) {
    *why = "truncated PNG file (its header claims " + std::to_string(c->width) + " x " +
           std::to_string(c->height) + " pixels, more than " + std::to_string(size) +
           " bytes can hold)";
    return false;
  }
  return true;
}

// Reads one header number of a PNM file, skipping white space and comments.
bool pnm_number(const unsigned char* b, std::size_t size, std::size_t* i, unsigned long long* v) {
  for (;;) {
    while (*i < size && std::isspace(b[*i])) ++*i;
    if (*i < size && b[*i] == '#') {
      while (*i < size && b[*i] != '\n' && b[*i] != '\r') ++*i;
      continue;
    }
    break;
  }
  std::size_t start = *i;
  unsigned long long n = 0;
  while (*i < size && b[*i] >= '0' && b[*i] <= '9') {
    n = n * 10 + (b[*i] - '0');
    if (n > 0xFFFFFFFFull) return false;
    ++*i;
  }
  *v = n;
  return *i > start;
}

bool check_pnm(const unsigned char* b, std::size_t size, ImageKind kind, Claim* c,
               std::string* why) {
  const bool grey = kind == ImageKind::Pgm;
  const char* name = grey ? "PGM" : "PPM";
  const char ascii = grey ? '2' : '3', binary = grey ? '5' : '6';
  if (size < 2 || b[0] != 'P' || (b[1] != ascii && b[1] != binary)) {
    *why = std::string("not a ") + name + " file (it does not start with P" + ascii + " or P" + binary + ")";
    return false;
  }
  c->ascii = b[1] == ascii;
  c->channels = grey ? 1 : 3;
  std::size_t i = 2;
  unsigned long long w = 0, h = 0, maxval = 0;
  if (i >= size || !std::isspace(b[i]) || !pnm_number(b, size, &i, &w) ||
      !pnm_number(b, size, &i, &h) || !pnm_number(b, size, &i, &maxval) || i >= size ||
      !std::isspace(b[i])) {
    *why = std::string("damaged ") + name + " file (its header is incomplete)";
    return false;
  }
  ++i;  // the single white-space byte before the samples
  if (w == 0 || h == 0 || maxval == 0 || maxval > 65535) {
    *why = std::string("damaged ") + name + " file (its header claims " + std::to_string(w) + " x " +
           std::to_string(h) + " pixels with maximum value " + std::to_string(maxval) + ")";
    return false;
  }
  c->width = w;
  c->height = h;
  c->maxval = static_cast<int>(maxval);
  // A binary sample is 1 or 2 bytes; a text sample at least one digit.
  const unsigned long long per_sample = (c->ascii || maxval < 256) ? 1 : 2;
  const unsigned long long samples = w * h * static_cast<unsigned long long>(c->channels);
  if (w * h > kMaxPixels || samples * per_sample > size - i) {
    *why = std::string("truncated ") + name + " file (its header claims " + std::to_string(w) +
           " x " + std::to_string(h) + " pixels, the file holds " + std::to_string(size - i) +
           " bytes of samples)";
    return false;
  }
  return true;
}

}  // namespace

void quiet_image_library() { cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT); }

bool decode_image(const std::byte* bytes, std::size_t size, ImageKind kind, Array* out,
                  std::string* why) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  const char* name = kind == ImageKind::Png ? "PNG" : kind == ImageKind::Pgm ? "PGM" : "PPM";
  Claim claim;
  if (!(kind == ImageKind::Png ? check_png(b, size, &claim, why) : check_pnm(b, size, kind, &claim, why)))
    return false;

  cv::Mat img;
  try {
    cv::Mat buf(1, static_cast<int>(std::min<std::size_t>(size, 0x7FFFFFFF)), CV_8U,
                const_cast<unsigned char*>(b));
    img = cv::imdecode(buf, cv::IMREAD_UNCHANGED);
  } catch (const std::exception& e) {
    img.release();
  }
  if (img.empty() || img.dims != 2 || static_cast<unsigned long long>(img.cols) != claim.width ||
      static_cast<unsigned long long>(img.rows) != claim.height ||
      (img.depth() != CV_8U && img.depth() != CV_16U) ||
      (img.channels() != 1 && img.channels() != 2 && img.channels() != 3 && img.channels() != 4)) {
    *why = std::string("damaged ") + name + " file (it could not be decoded)";
    return false;
  }

  // Full-scale 8-bit samples: OpenCV already scales 8-bit text PNM files,
  // but keeps binary and 16-bit samples as stored.
  double scale = 1.0;
  if (img.depth() == CV_16U) scale = 255.0 / (kind == ImageKind::Png ? 65535.0 : claim.maxval);
  else if (kind != ImageKind::Png && !claim.ascii && claim.maxval != 255) scale = 255.0 / claim.maxval;
  cv::Mat img8;
  if (scale != 1.0 || img.depth() != CV_8U) img.convertTo(img8, CV_8U, scale);  // rounds, saturates
  else img8 = img;

  *out = array_from_image(img8);
  return true;
}

Array array_from_image(const cv::Mat& img) {
  Array a;
  a.type = frame::CellType::Char;
  a.dims = {img.cols, img.rows};
  const int ch = img.channels();
  a.planecount = ch == 1 ? 1 : 4;
  a.data.resize(static_cast<std::size_t>(img.cols) * img.rows * a.planecount);
  auto* dst = reinterpret_cast<unsigned char*>(a.data.data());
  for (int y = 0; y < img.rows; ++y) {
    const unsigned char* src = img.ptr<unsigned char>(y);
    for (int x = 0; x < img.cols; ++x, src += ch) {
      if (ch == 1) {
        *dst++ = src[0];
        continue;
      }
      // OpenCV gives grey+alpha, BGR or BGRA; Jitter wants ARGB.
      unsigned char r, g, bl, al = 255;
      if (ch == 2) {
        r = g = bl = src[0];
        al = src[1];
      } else {
        bl = src[0];
        g = src[1];
        r = src[2];
        if (ch == 4) al = src[3];
      }
      *dst++ = al;
      *dst++ = r;
      *dst++ = g;
      *dst++ = bl;
    }
  }
  return a;
}

}  // namespace zelk::runner
