// Helpers for tests that run objects through the embedded host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "frame/matrix.h"
#include "zelk/host.h"

namespace zt {

struct MatrixDeleter {
  void operator()(void* m) const {
    if (m) jit_object_free(m);
  }
};
using HostMatrix = std::unique_ptr<void, MatrixDeleter>;

inline HostMatrix make_matrix(t_symbol* type, long planecount, const std::vector<long>& dims,
                              long row_stride = 0) {
  return HostMatrix(row_stride ? zelk::host::new_matrix_strided(type, planecount, dims, row_stride)
                               : zelk::host::new_matrix(type, planecount, dims));
}

// Cell (x, y) plane p of a host matrix of one or two dimensions.
template <class T>
T& cell(void* m, long x, long y = 0, long p = 0) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  char* data = zelk::host::matrix_data(m);
  return *reinterpret_cast<T*>(data + y * info.dimstride[1] + x * info.dimstride[0] +
                               p * static_cast<long>(sizeof(T)));
}

// A box from its text; fails the test when it cannot be created.
inline std::unique_ptr<zelk::host::Box> make_box(const std::string& text) {
  std::string why;
  auto box = zelk::host::Box::create(text, &why);
  EXPECT_TRUE(box) << text << ": " << why;
  return box;
}

// The matrices a box sent from `outlet`, in order.
inline std::vector<void*> sent_matrices(const zelk::host::Box& box, int outlet = 0) {
  std::vector<void*> out;
  for (const auto& e : box.events())
    if (e.kind == zelk::host::Event::Kind::Outlet && e.outlet == outlet)
      if (void* m = zelk::host::event_matrix(e)) out.push_back(m);
  return out;
}

inline std::vector<zelk::host::Event> events_of(const zelk::host::Box& box,
                                                zelk::host::Event::Kind kind) {
  std::vector<zelk::host::Event> out;
  for (const auto& e : box.events())
    if (e.kind == kind) out.push_back(e);
  return out;
}

inline std::vector<long> error_codes(const zelk::host::Box& box) {
  std::vector<long> codes;
  for (const auto& e : events_of(box, zelk::host::Event::Kind::Error)) codes.push_back(e.code);
  return codes;
}

inline std::vector<std::string> console_lines(const zelk::host::Box& box) {
  std::vector<std::string> lines;
  for (const auto& e : events_of(box, zelk::host::Event::Kind::Console)) lines.push_back(e.text);
  return lines;
}

// Numbers of an outlet event's atoms.
inline std::vector<double> atom_values(const zelk::host::Event& e) {
  std::vector<double> v;
  for (const t_atom& a : e.atoms) v.push_back(a.a_type == A_FLOAT ? a.a_w.w_float
                                              : static_cast<double>(a.a_w.w_long));
  return v;
}

// A computing object of a loaded class, created as a box would (without the
// wrapper), for calling matrix_calc directly.
struct JitDeleter {
  void operator()(void* o) const {
    if (o) jit_object_free(o);
  }
};
using JitObject = std::unique_ptr<void, JitDeleter>;
inline JitObject make_jit_object(const std::string& max_name) {
  std::string why;
  EXPECT_TRUE(zelk::host::load_object(max_name, &why)) << why;
  std::string jit_name = max_name;
  for (char& c : jit_name)
    if (c == '.') c = '_';
  return JitObject(jit_object_new(gensym(jit_name.c_str())));
}

// matrix_calc of a computing object with one input and one output list;
// a null matrix gives an empty list.
struct Calc {
  JitObject object;
  explicit Calc(const std::string& max_name) : object(make_jit_object(max_name)) {}
  long operator()(void* in, void* out) const {
    std::vector<void*> ins, outs;
    if (in) ins.push_back(in);
    if (out) outs.push_back(out);
    return zelk::host::matrix_calc(object.get(), ins, outs);
  }
};

}  // namespace zt
