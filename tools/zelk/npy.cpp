#include "tools/zelk/npy.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <limits>
#include <string_view>

namespace zelk::runner {
namespace {

// Cell data is copied as it lies in a little-endian file.
static_assert(std::endian::native == std::endian::little);

constexpr char kMagic[] = "\x93NUMPY";
constexpr std::size_t kMagicLen = 6;

// A cursor over the header's Python dict literal.
struct Lexer {
  std::string_view s;
  std::size_t i = 0;

  void skip() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  }
  bool eat(char c) {
    skip();
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  bool peek(char c) {
    skip();
    return i < s.size() && s[i] == c;
  }
  bool string(std::string* out) {
    skip();
    if (i >= s.size() || (s[i] != '\'' && s[i] != '"')) return false;
    char q = s[i++];
    std::size_t start = i;
    while (i < s.size() && s[i] != q) {
      if (s[i] == '\\') return false;  // no dtype or key needs escapes
      ++i;
    }
    if (i >= s.size()) return false;
    *out = std::string(s.substr(start, i - start));
    ++i;
    return true;
  }
  bool word(std::string_view w) {
    skip();
    if (s.substr(i, w.size()) != w) return false;
    std::size_t j = i + w.size();
    if (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) return false;
    i = j;
    return true;
  }
  // A non-negative integer of 64 bits at most, on every system.
  bool integer(long long* out) {
    skip();
    std::size_t start = i;
    long long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      int d = s[i] - '0';
      if (v > (std::numeric_limits<long long>::max() - d) / 10) return false;
      v = v * 10 + d;
      ++i;
    }
    if (i == start) return false;
    if (i < s.size() && s[i] == 'L') ++i;  // Python 2 long suffix
    *out = v;
    return true;
  }
};

struct Header {
  std::string descr;
  bool fortran = false;
  std::vector<long long> shape;
};

bool parse_header(std::string_view text, Header* h, std::string* why) {
  Lexer lx{text};
  bool seen_descr = false, seen_fortran = false, seen_shape = false;
  auto bad = [&](const std::string& what) {
    *why = "corrupt header (" + what + ")";
    return false;
  };
  if (!lx.eat('{')) return bad("not a dictionary");
  while (!lx.eat('}')) {
    std::string key;
    if (!lx.string(&key)) return bad("expected a quoted key");
    if (!lx.eat(':')) return bad("expected ':' after '" + key + "'");
    if (key == "descr") {
      if (seen_descr) return bad("'descr' twice");
      if (!lx.string(&h->descr)) {
        *why = "unsupported dtype (a structured dtype; the runner reads uint8, int32, float32 and float64)";
        return false;
      }
      seen_descr = true;
    } else if (key == "fortran_order") {
      if (seen_fortran) return bad("'fortran_order' twice");
      if (lx.word("True")) h->fortran = true;
      else if (lx.word("False")) h->fortran = false;
      else return bad("'fortran_order' is neither True nor False");
      seen_fortran = true;
    } else if (key == "shape") {
      if (seen_shape) return bad("'shape' twice");
      if (!lx.eat('(')) return bad("'shape' is not a tuple");
      while (!lx.eat(')')) {
        long long v = 0;
        if (!lx.integer(&v)) return bad("'shape' holds something other than a non-negative integer");
        // Bounded before it grows: more axes than any matrix holds are refused later.
        if (h->shape.size() > 64) return bad("'shape' has too many axes");
        h->shape.push_back(v);
        if (!lx.eat(',')) {
          if (!lx.eat(')')) return bad("'shape' is not a tuple");
          break;
        }
      }
      seen_shape = true;
    } else {
      return bad("unexpected key '" + key + "'");
    }
    if (!lx.eat(',')) {
      if (!lx.eat('}')) return bad("expected ',' or '}'");
      break;
    }
  }
  lx.skip();
  if (lx.i != text.size()) return bad("text after the dictionary");
  if (!seen_descr || !seen_fortran || !seen_shape)
    return bad(std::string("missing '") + (!seen_descr ? "descr" : !seen_fortran ? "fortran_order" : "shape") + "'");
  return true;
}

// dtype strings as NumPy writes them; false for any other dtype.
bool parse_descr(const std::string& d, frame::CellType* type, bool* big_endian) {
  std::string_view s = d;
  char order = '=';
  if (!s.empty() && (s[0] == '<' || s[0] == '>' || s[0] == '|' || s[0] == '=')) {
    order = s[0];
    s.remove_prefix(1);
  }
  *big_endian = order == '>';
  if (s == "u1") *type = frame::CellType::Char;
  else if (s == "i4") *type = frame::CellType::Long;
  else if (s == "f4") *type = frame::CellType::Float32;
  else if (s == "f8") *type = frame::CellType::Float64;
  else return false;
  // '|' (no byte order) is only meaningful for one-byte types.
  if (order == '|' && *type != frame::CellType::Char) return false;
  return true;
}

void byteswap(std::vector<std::byte>& data, std::size_t width) {
  for (std::size_t i = 0; i + width <= data.size(); i += width)
    std::reverse(data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + width));
}

std::string descr_of(frame::CellType t) {
  switch (t) {
    case frame::CellType::Char: return "|u1";
    case frame::CellType::Long: return "<i4";
    case frame::CellType::Float32: return "<f4";
    case frame::CellType::Float64: return "<f8";
    default: return "|V0";
  }
}

}  // namespace

bool parse_npy(const std::byte* bytes, std::size_t size, Array* out, std::string* why) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  if (size < kMagicLen || std::memcmp(b, kMagic, kMagicLen) != 0) {
    *why = "not a .npy file (no NumPy magic string)";
    return false;
  }
  if (size < 10) {
    *why = "truncated .npy file (it ends inside the preamble)";
    return false;
  }
  const unsigned major = b[6];
  std::size_t header_len = 0, preamble = 0;
  if (major == 1) {
    header_len = b[8] | (std::size_t{b[9]} << 8);
    preamble = 10;
  } else if (major == 2 || major == 3) {
    if (size < 12) {
      *why = "truncated .npy file (it ends inside the preamble)";
      return false;
    }
    header_len = b[8] | (std::size_t{b[9]} << 8) | (std::size_t{b[10]} << 16) |
                 (std::size_t{b[11]} << 24);
    preamble = 12;
  } else {
    *why = "unsupported .npy format version " + std::to_string(major) + "." + std::to_string(b[7]);
    return false;
  }
  if (header_len > size - preamble) {
    *why = "truncated .npy file (the header claims " + std::to_string(header_len) +
           " bytes but the file holds " + std::to_string(size - preamble) + " after the preamble)";
    return false;
  }
  std::string_view text(reinterpret_cast<const char*>(b + preamble), header_len);
  if (text.find('\0') != std::string_view::npos) {
    *why = "corrupt header (a zero byte in the header)";
    return false;
  }
  Header h;
  if (!parse_header(text, &h, why)) return false;

  frame::CellType type = frame::CellType::Unknown;
  bool big = false;
  if (!parse_descr(h.descr, &type, &big)) {
    *why = "unsupported dtype '" + h.descr + "' (the runner reads uint8, int32, float32 and float64)";
    return false;
  }
  if (h.fortran) {
    *why = "Fortran order (the runner reads C-order arrays only)";
    return false;
  }
  if (h.shape.empty()) {
    *why = "a 0-dimensional array (no axes, so no cells and no planes)";
    return false;
  }
  for (std::size_t i = 0; i < h.shape.size(); ++i)
    if (h.shape[i] == 0) {
      *why = "an axis of length 0 (axis " + std::to_string(i) + "): no matrix holds no cells";
      return false;
    }
  // The axes stay 64-bit until the file is known to hold them all: a long
  // is 32 bits on Windows.
  std::vector<long long> dims;
  long long planes = 1;
  if (h.shape.size() == 1) {
    dims = {h.shape[0]};
  } else {
    planes = h.shape.back();
    dims.assign(h.shape.rbegin() + 1, h.shape.rend());
  }
  if (dims.size() > static_cast<std::size_t>(frame::kMaxDims)) {
    *why = "more than 32 dimensions (" + std::to_string(dims.size()) +
           " axes before the plane axis)";
    return false;
  }
  if (planes > frame::kMaxPlanes) {
    *why = "more than 32 planes (the last axis has length " + std::to_string(planes) + ")";
    return false;
  }
  // The claimed size is believed only once it fits in what the file holds.
  const std::size_t available = size - preamble - header_len;
  std::vector<long long> factors = dims;
  factors.push_back(planes);
  std::size_t need = 0;
  if (!checked_product(factors, frame::cell_size(type), available, &need)) {
    *why = "truncated .npy file (the shape claims more data than the " +
           std::to_string(available) + " bytes the file holds)";
    return false;
  }
  if (need != available) {
    *why = (need > available ? "truncated .npy file" : "corrupt .npy file") +
           std::string(" (the shape needs ") + std::to_string(need) + " bytes of data, the file holds " +
           std::to_string(available) + ")";
    return false;
  }
  for (long long d : dims)
    if (d > std::numeric_limits<long>::max()) {
      *why = "an axis of " + std::to_string(d) + " cells, more than a matrix of this build holds";
      return false;
    }
  Array a;
  a.type = type;
  a.planecount = static_cast<long>(planes);
  a.dims.assign(dims.begin(), dims.end());
  const auto* data = bytes + preamble + header_len;
  a.data.assign(data, data + need);
  if (big) byteswap(a.data, frame::cell_size(type));
  *out = std::move(a);
  return true;
}

std::string npy_file(const Array& a) {
  std::string shape = "(";
  if (a.dims.empty()) {
    shape += "0, ";
  } else {
    for (auto it = a.dims.rbegin(); it != a.dims.rend(); ++it) shape += std::to_string(*it) + ", ";
  }
  shape += std::to_string(a.planecount) + ")";
  std::string header =
      "{'descr': '" + descr_of(a.type) + "', 'fortran_order': False, 'shape': " + shape + ", }";
  // NumPy pads the header with spaces so the data starts 64-byte aligned.
  std::size_t total = kMagicLen + 4 + header.size() + 1;
  header.append((64 - total % 64) % 64, ' ');
  header += '\n';
  std::string out(kMagic, kMagicLen);
  out += '\x01';
  out += '\x00';
  out += static_cast<char>(header.size() & 0xFF);
  out += static_cast<char>((header.size() >> 8) & 0xFF);
  out += header;
  if (!a.dims.empty()) out.append(reinterpret_cast<const char*>(a.data.data()), a.data.size());
  return out;
}

}  // namespace zelk::runner
