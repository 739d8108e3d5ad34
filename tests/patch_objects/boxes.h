// What the patch-object tests share: a box made from its text, as a patch
// types it, and the last matrix a box sent.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "patch_objects/patch_objects.h"
#include "zelk/host.h"

namespace boxes {

inline std::unique_ptr<zelk::host::Box> make(const std::string& text) {
  zelk::host::register_patch_objects();
  std::string why;
  auto box = zelk::host::Box::create(text, &why);
  EXPECT_TRUE(box) << text << ": " << why;
  return box;
}

// The matrix of the box's last "jit_matrix NAME", or null.
inline void* last_matrix(const zelk::host::Box& box) {
  void* m = nullptr;
  for (const auto& e : box.events())
    if (void* em = zelk::host::event_matrix(e)) m = em;
  return m;
}

}  // namespace boxes
