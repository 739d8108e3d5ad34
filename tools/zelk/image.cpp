#include "tools/zelk/image.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>

namespace zelk::runner {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// OpenCV's own ceilings on decoded images, kept for PGM and PPM files too so
// that no file reads differently with OpenCV and without.
constexpr unsigned long long kMaxPixels = 1ull << 30;
constexpr unsigned long long kMaxSide = 1ull << 20;
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
  int maxval = 255;      // PNM only
  bool ascii = false;    // PNM only
  std::size_t data = 0;  // PNM only: where the samples start
};

bool too_large(const Claim& c, std::string* why) {
  if (c.width <= kMaxSide && c.height <= kMaxSide && c.width * c.height <= kMaxPixels) return false;
  *why = "image too large (" + std::to_string(c.width) + " x " + std::to_string(c.height) + ")";
  return true;
}

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
  if (too_large(*c, why)) return false;
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
  c->data = i;
  // A binary sample is 1 or 2 bytes; a text sample at least one digit.
  const unsigned long long per_sample = (c->ascii || maxval < 256) ? 1 : 2;
  const unsigned long long samples = w * h * static_cast<unsigned long long>(c->channels);
  if (w * h > kMaxPixels || samples * per_sample > size - i) {
    *why = std::string("truncated ") + name + " file (its header claims " + std::to_string(w) +
           " x " + std::to_string(h) + " pixels, the file holds " + std::to_string(size - i) +
           " bytes of samples)";
    return false;
  }
  return !too_large(*c, why);
}

// White space as the C locale has it, whatever the program's locale is.
bool pnm_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool pnm_digit(int c) { return c >= '0' && c <= '9'; }

// One sample of a text PNM file, read as OpenCV reads one: white space and
// comments (to the end of their line) before it, and the byte after it,
// which must be there, taken with it. False for anything else.
bool text_sample(const unsigned char* b, std::size_t size, std::size_t* i, unsigned long* v) {
  int c = 0;
  auto next = [&] {
    if (*i >= size) return false;
    c = b[(*i)++];
    return true;
  };
  if (!next()) return false;
  while (!pnm_digit(c)) {
    if (c == '#') {
      do {
        if (!next()) return false;
      } while (c != '\n' && c != '\r');
      if (!next()) return false;
    } else if (pnm_space(c)) {
      while (pnm_space(c))
        if (!next()) return false;
    } else {
      return false;
    }
  }
  unsigned long n = 0;
  do {
    n = n * 10 + static_cast<unsigned long>(c - '0');
    if (n > static_cast<unsigned long>(INT_MAX)) return false;
    if (!next()) return false;
  } while (pnm_digit(c));
  *v = n;
  return true;
}

// A sample of 0..maxval as a byte, scaled as OpenCV's convertTo scales it:
// times 255 / maxval in single precision, rounded half to even, saturated.
unsigned char full_scale(unsigned long v, float scale) {
  const float x = static_cast<float>(v) * scale;
  return static_cast<unsigned char>(std::clamp(std::nearbyint(x), 0.0f, 255.0f));
}

// The samples of a PGM or PPM file whose header check_pnm accepted. Binary
// samples are scaled from 0..maxval (values above it saturate); text ones
// are first clipped to maxval, and 8-bit ones then scaled by integer
// division, as the OpenCV reader this replaces did.
bool decode_pnm(const unsigned char* b, std::size_t size, const Claim& c, const char* name, Array* out,
                std::string* why) {
  Array a;
  a.type = frame::CellType::Char;
  a.dims = {static_cast<long>(c.width), static_cast<long>(c.height)};
  a.planecount = c.channels == 1 ? 1 : 4;
  a.data.resize(c.width * c.height * static_cast<std::size_t>(a.planecount));
  auto* dst = reinterpret_cast<unsigned char*>(a.data.data());
  const float scale = static_cast<float>(255.0 / c.maxval);
  const bool wide = c.maxval > 255;
  const auto maxval = static_cast<unsigned long>(c.maxval);
  std::size_t i = c.data;
  for (std::size_t k = 0, n = c.width * c.height; k < n; ++k) {
    if (c.channels == 3) *dst++ = 255;
    for (int ch = 0; ch < c.channels; ++ch) {
      unsigned long v = 0;
      if (!c.ascii) {
        // check_pnm made sure the file holds every binary sample.
        v = wide ? (static_cast<unsigned long>(b[i]) << 8) | b[i + 1] : b[i];
        i += wide ? 2 : 1;
        *dst++ = full_scale(v, scale);
        continue;
      }
      if (!text_sample(b, size, &i, &v)) {
        *why = std::string("damaged ") + name + " file (sample " + std::to_string(k * c.channels + ch) +
               " is not a number)";
        return false;
      }
      v = std::min(v, maxval);
      *dst++ = wide ? full_scale(v, scale) : static_cast<unsigned char>(v * 255 / maxval);
    }
  }
  *out = std::move(a);
  return true;
}

}  // namespace

bool decode_image(const std::byte* bytes, std::size_t size, ImageKind kind, Array* out,
                  std::string* why) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  Claim claim;
  if (kind == ImageKind::Png)
    return check_png(b, size, &claim, why) && decode_png(b, size, claim.width, claim.height, out, why);
  return check_pnm(b, size, kind, &claim, why) &&
         decode_pnm(b, size, claim, kind == ImageKind::Pgm ? "PGM" : "PPM", out, why);
}

}  // namespace zelk::runner
