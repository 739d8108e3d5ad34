// Frames from files, chosen by the file's extension.
#pragma once

#include <cstddef>
#include <string>

#include "tools/zelk/array.h"

namespace zelk::runner {

enum class FileKind { Npy, Png, Pgm, Ppm, Unknown };

// By extension, ignoring case.
FileKind file_kind(const std::string& path);

// Parses the bytes of a file of a known kind.
bool parse_frame(const std::byte* bytes, std::size_t size, FileKind kind, Array* out,
                 std::string* why);

// Reads a frame file. False, with the fault in *why (without the file name),
// when it cannot be read or is not a frame a matrix can hold.
bool read_frame_file(const std::string& path, Array* out, std::string* why);

}  // namespace zelk::runner
