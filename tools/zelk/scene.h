// The demo's generated scene: binary 640 x 480 frames of shapes that move,
// turn, appear and vanish, and two straight bars, with what each frame
// truly holds, so results can be checked against it.
#pragma once

#include <string>
#include <vector>

#include "tools/zelk/array.h"

namespace zelk::runner {

inline constexpr int kSceneWidth = 640, kSceneHeight = 480;
inline constexpr int kSceneFrames = 90;  // three seconds at 30 frames a second

struct SceneShape {
  std::string name;  // "ellipse A", "bar left", ...
  double cx, cy;     // centre, in pixels
  double angle;      // of the long axis, degrees from x towards y
  bool moving;
};

// The shapes present in frame `n` (0 <= n), in a fixed order.
std::vector<SceneShape> scene_shapes(int n);
// Frame `n` as a one-plane char image: 255 on the shapes, 0 elsewhere.
Array scene_frame(int n);
// Frame `n` as a camera would see it, `width` x `height` (the scene scaled):
// the shapes in colour on a dark, slightly noisy ground, 4-plane ARGB char.
// Every shape is brighter than 90 in luminance, the ground darker than 40.
Array scene_colour_frame(int n, int width, int height);

}  // namespace zelk::runner
