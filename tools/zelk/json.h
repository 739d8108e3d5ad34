// The runner's JSON event lines (one object per line, keys in a fixed order).
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelk::runner {

// An atom as JSON shows it: a number or a symbol (string); null stands for
// an atom JSON cannot hold (an object pointer).
using JsonAtom = std::variant<std::monostate, long long, double, std::string>;

// A JSON string literal; bytes that are not UTF-8 become U+FFFD.
std::string json_quote(std::string_view s);
// The shortest text that reads back as the same double; null for NaN and
// the infinities, which JSON has no numbers for.
std::string json_number(double v);

struct EventSource {
  EventSource(long frame_, int box_, std::string_view object_, std::string_view id_ = {}, int patch_outlet_ = 0)
      : frame(frame_), box(box_), object(object_), id(id_), patch_outlet(patch_outlet_) {}
  long frame;
  int box;
  std::string_view object;
  std::string_view id;   // the box's id in a patch, else empty
  int patch_outlet;      // the patch outlet a message reached, from 1; 0: none
};

std::string json_matrix_event(const EventSource& src, int outlet, std::string_view type,
                              long planecount, const std::vector<long>& dims,
                              const std::string* file);
std::string json_outlet_event(const EventSource& src, int outlet, std::string_view selector,
                              const std::vector<JsonAtom>& atoms);
std::string json_error_event(const EventSource& src, long code);
std::string json_console_event(const EventSource& src, std::string_view text);

}  // namespace zelk::runner
