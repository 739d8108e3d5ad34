// Error codes: four characters in a 32-bit integer, the first in the high
// byte; 0 is success. Host-free copies of the host's JIT_ERR_* values so a
// computation can return them without including a host header.
#pragma once

namespace frame {

using Error = long;

inline constexpr Error kOk = 0;
inline constexpr Error kErrGeneric = 0x45524F52;        // 'EROR'
inline constexpr Error kErrInvalidPtr = 0x494E5650;     // 'INVP'
inline constexpr Error kErrInvalidInput = 0x494E5649;   // 'INVI'
inline constexpr Error kErrInvalidOutput = 0x494E564F;  // 'INVO'
inline constexpr Error kErrMismatchType = 0x4D535450;   // 'MSTP'
inline constexpr Error kErrMismatchPlane = 0x4D53504C;  // 'MSPL'
inline constexpr Error kErrMismatchDim = 0x4D53444D;    // 'MSDM'
inline constexpr Error kErrOutOfMemory = 0x4F4D454D;    // 'OMEM'

// The four characters of a code, for messages and logs ("MSTP").
struct ErrorText {
  char text[5];
};
inline ErrorText error_text(Error e) {
  ErrorText t{};
  for (int i = 0; i < 4; ++i) {
    char c = static_cast<char>((e >> (8 * (3 - i))) & 0xFF);
    t.text[i] = (c >= 32 && c < 127) ? c : '?';
  }
  t.text[4] = '\0';
  return t;
}

}  // namespace frame
