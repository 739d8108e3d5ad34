// In-process test objects built directly on the host's Max/Jitter calls: a
// computing object with one attribute of every kind and a matrix_calc that
// records what it was given and copies input 1 to output 1, in several
// variants of matrix-operator constraints.
#pragma once

#include <memory>
#include <string>

#include "jit.common.h"
#include "max.jit.mop.h"
#include "zelk/host.h"

namespace probe {

// A Jitter object the test owns, freed when it goes out of scope.
struct Freed {
  void operator()(void* m) const { jit_object_free(m); }
};
using Owned = std::unique_ptr<void, Freed>;

inline constexpr long kOrdinary = 0x08040000;
inline constexpr long kOutput = 0x00040200;
inline constexpr long kHidden = 0x00000300;

struct Jit {
  t_object ob;
  unsigned char c;
  long l;          // "long": a C long, 4 bytes on Windows
  t_atom_long al;  // "atom_long"
  float f32;
  double f64;
  t_symbol* sym;
  t_atom atom;
  long count;
  float arr[4];
  long out;
  long hidden;
  long clipped;  // clipped to 0..10
  double fclipped;      // clipped to -1..1
  long result;          // what matrix_calc returns
  long calls;
  long resets;
  t_symbol* seen_type;
  long seen_planes;
  void* seen_matrix;
  long seen_right;  // first byte of input 2, where there is one
};

// Object names: test.probe (1 in, 1 out), test.nolink, test.planeoff
// (output plane count not linked), test.f64in (input takes float64 only),
// test.char (single type char), test.two (two outputs), test.fail
// (computing object cannot be made), test.mproc (own matrix procedure that
// reports "done" on the dump outlet), test.twoin (two inputs), test.sized
// (output sizes at least 256 along dimension 0, at most 1000 by 4, and two
// dimensions, as jit.histogram and jit.p.bounds limit theirs).
void register_all();

// A box of one of the objects above (registered on first use); fails the
// test when it cannot be made.
std::unique_ptr<zelk::host::Box> make(const std::string& text);

Jit* jit(const zelk::host::Box& b);

}  // namespace probe
