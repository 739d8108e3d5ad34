// Draws a point list into an index image: the pixel of every present point
// gets the point's number (from 1, low 8 bits), later points winning.
#pragma once

#include "frame/matrix.h"

namespace temporal {

// `points`: float32, three planes (x, y, flag), the points along dim[0] of
// its first row. `image`: a cleared two-dimensional char image. Only pixels
// with 1 <= x < width and 1 <= y < height are drawn.
void draw_points(const frame::Matrix& points, const frame::Matrix& image);

}  // namespace temporal
