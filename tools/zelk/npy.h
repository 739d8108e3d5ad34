// The NumPy .npy format (versions 1.0 to 3.0, C order), read and written
// without NumPy. The last axis is the planes; the axes before it are the
// dimensions from the highest down to dim[0].
#pragma once

#include <cstddef>
#include <string>

#include "tools/zelk/array.h"

namespace zelk::runner {

// Parses a whole .npy file. False, with the fault in *why (without the file
// name), for anything that is not a well-formed array a matrix can hold.
bool parse_npy(const std::byte* bytes, std::size_t size, Array* out, std::string* why);

// The file NumPy would write for `a` (format 1.0, little-endian, header
// padded to 64 bytes); a 1-D array gets its plane axis too: (N, planes).
std::string npy_file(const Array& a);

}  // namespace zelk::runner
