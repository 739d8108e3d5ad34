#include "tools/zelk/json.h"

#include <charconv>
#include <cmath>

#include "frame/errors.h"

namespace zelk::runner {
namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t utf8_length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  unsigned long cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto d = static_cast<unsigned char>(s[i + k]);
    if ((d >> 6) != 0x2) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  static const unsigned long kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::string head(const EventSource& src, std::string_view event) {
  std::string s = "{\"frame\":" + std::to_string(src.frame) + ",\"box\":" + std::to_string(src.box) +
                  ",\"object\":" + json_quote(src.object);
  if (!src.id.empty()) s += ",\"id\":" + json_quote(src.id);
  s += ",\"event\":" + json_quote(event);
  if (src.patch_outlet > 0) s += ",\"patch_outlet\":" + std::to_string(src.patch_outlet);
  return s;
}

}  // namespace

std::string json_quote(std::string_view s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c == '\n') {
      out += "\\n", ++i;
    } else if (c == '\t') {
      out += "\\t", ++i;
    } else if (c == '\r') {
      out += "\\r", ++i;
    } else if (c < 0x20 || c == 0x7F) {
      static const char hex[] = "0123456789abcdef";
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 0xF];
      ++i;
    } else if (std::size_t n = utf8_length(s, i)) {
      out.append(s.substr(i, n));
      i += n;
    } else {
      out += "\\ufffd";
      ++i;
    }
  }
  out += '"';
  return out;
}

std::string json_number(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string json_matrix_event(const EventSource& src, int outlet, std::string_view type,
                              long planecount, const std::vector<long>& dims,
                              const std::string* file) {
  std::string s = head(src, "matrix") + ",\"outlet\":" + std::to_string(outlet) +
                  ",\"type\":" + json_quote(type) + ",\"planecount\":" + std::to_string(planecount) +
                  ",\"dim\":[";
  for (std::size_t i = 0; i < dims.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(dims[i]);
  }
  s += ']';
  if (file) s += ",\"file\":" + json_quote(*file);
  return s + "}";
}

std::string json_outlet_event(const EventSource& src, int outlet, std::string_view selector,
                              const std::vector<JsonAtom>& atoms) {
  std::string s = head(src, "outlet") + ",\"outlet\":" + std::to_string(outlet) +
                  ",\"selector\":" + json_quote(selector) + ",\"atoms\":[";
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (i) s += ',';
    const JsonAtom& a = atoms[i];
    if (auto* l = std::get_if<long long>(&a)) s += std::to_string(*l);
    else if (auto* f = std::get_if<double>(&a)) s += json_number(*f);
    else if (auto* t = std::get_if<std::string>(&a)) s += json_quote(*t);
    else s += "null";
  }
  return s + "]}";
}

std::string json_error_event(const EventSource& src, long code) {
  return head(src, "error") + ",\"code\":" + json_quote(frame::error_text(code).text) + "}";
}

std::string json_console_event(const EventSource& src, std::string_view text) {
  return head(src, "console") + ",\"text\":" + json_quote(text) + "}";
}

}  // namespace zelk::runner
