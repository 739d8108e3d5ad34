// Labelling computation on hand-made images (against OpenCV in
// label_opencv_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label_support.h"
#include "region/label.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// An image given as text rows ('#' or a digit = foreground).
OwnedMatrix image(const std::vector<std::string>& rows, long padding = 0, std::uint8_t on = 255) {
  OwnedMatrix m(CellType::Char, 1, {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())},
                padding);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x)
      m.at<std::uint8_t>(x, y) = rows[y][x] == '.' ? 0 : on;
  return m;
}

TEST(LabelComputation, BasicShapes) {
  EXPECT_EQ(run(image({"....", "...."})).count, 0);
  EXPECT_EQ(run(image({"...", ".#.", "..."})).cells[1][1], 1);
  // Corner contact does not join cells.
  const auto corner = run(image({"#.", ".#"}));
  EXPECT_EQ(corner.cells[0][0], 1);
  EXPECT_EQ(corner.cells[1][1], 2);
  // A U whose arms meet only at the bottom is one blob, numbered from its left arm.
  const auto u = run(image({"#...#", "#...#", "#####"}));
  EXPECT_EQ(u.count, 1);
  EXPECT_EQ(u.cells[0][4], 1);
  // Bytes of 128..255 (and any non-zero) are foreground.
  EXPECT_EQ(run(image({"#"}, 0, 128)).count, 1);
  EXPECT_EQ(run(image({"#"}, 0, 1)).count, 1);
}

TEST(LabelComputation, NestedRingsAreSeparateBlobs) {
  const auto r = run(image({"#######", "#.....#", "#.###.#", "#.#.#.#", "#.###.#", "#.....#",
                            "#######"}));
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.cells[6][6], 1);  // the outer ring closes at the bottom right
  EXPECT_EQ(r.cells[3][6], 1);
  EXPECT_EQ(r.cells[4][4], 2);
  EXPECT_EQ(r.cells[3][3], 0);
}

TEST(LabelComputation, ThresholdRenumbersKeptBlobs) {
  // Areas 5, 20, 8, 30 in raster order of their first cells.
  std::vector<std::string> rows(6, std::string(60, '.'));
  rows[0].replace(0, 5, "#####");
  rows[0].replace(10, 20, std::string(20, '#'));
  rows[0].replace(35, 8, std::string(8, '#'));
  rows[2].replace(0, 30, std::string(30, '#'));
  const auto in = image(rows);
  region::LabelSettings s;
  s.threshold = 10;
  auto r = run(in, s);
  EXPECT_EQ(r.cells[0][0], 0);
  EXPECT_EQ(r.cells[0][10], 1);
  EXPECT_EQ(r.cells[0][35], 0);
  EXPECT_EQ(r.cells[2][29], 2);
  s.threshold = -7;  // negative acts as 0
  r = run(in, s);
  EXPECT_EQ(r.cells[0][0], 1);
  EXPECT_EQ(r.cells[2][0], 4);
  // Past 32 bits every blob goes; cut to 32 bits this would be 10 again.
  s.threshold = (std::int64_t{1} << 32) + 10;
  r = run(in, s);
  EXPECT_EQ(r.cells[0][10], 0);
  EXPECT_EQ(r.cells[2][29], 0);

  // Areas in long output; ranks by area in char output.
  s = {};
  s.mode = 1;
  r = run(in, s);
  EXPECT_EQ(r.cells[0][4], 5);
  EXPECT_EQ(r.cells[2][0], 30);
  s.char_output = true;
  r = run(in, s);
  EXPECT_EQ((std::vector<long>{r.cells[0][0], r.cells[0][10], r.cells[0][35], r.cells[2][0]}),
            (std::vector<long>{4, 2, 3, 1}));
  s.threshold = 6;
  r = run(in, s);
  EXPECT_EQ((std::vector<long>{r.cells[0][0], r.cells[0][10], r.cells[0][35], r.cells[2][0]}),
            (std::vector<long>{0, 2, 3, 1}));
  EXPECT_EQ(r.cells[1][0], 0);
}

TEST(LabelComputation, AreaOfALargeBlobAndSingleBlobRank) {
  std::vector<std::string> rows(5, std::string(10, '.'));
  rows[1] = "##########";
  rows[2] = "##########";
  rows[3] = "#########.";
  rows[4] = "########..";  // 10 + 10 + 9 + 8 = 37 cells
  region::LabelSettings s;
  s.mode = 1;
  EXPECT_EQ(run(image(rows), s).cells[2][5], 37);
  s.char_output = true;
  EXPECT_EQ(run(image(rows), s).cells[2][5], 1);
  s.threshold = 37;
  EXPECT_EQ(run(image(rows), s).cells[2][5], 0);
}

TEST(LabelComputation, CharOutputWritesLabelsAbove255AsZero) {
  // 300 single cells on a checker of isolated points.
  std::vector<std::string> rows(20, std::string(60, '.'));
  for (int k = 0; k < 300; ++k) rows[(k / 30) * 2][(k % 30) * 2] = '#';
  region::LabelSettings s;
  s.char_output = true;
  const auto r = run(image(rows), s);
  EXPECT_EQ(r.count, 300);
  EXPECT_EQ(r.cells[0][0], 1);
  EXPECT_EQ(r.cells[16][28], 255);  // blob 255
  EXPECT_EQ(r.cells[16][30], 0);    // blob 256
  EXPECT_EQ(r.cells[18][58], 0);    // blob 300
}

TEST(LabelComputation, StopsAfter2048Blobs) {
  std::vector<std::string> rows(100, std::string(100, '.'));
  for (int y = 0; y < 100; y += 2)
    for (int x = 0; x < 100; x += 2) rows[y][x] = '#';  // 2500 isolated cells
  const auto r = run(image(rows));
  EXPECT_EQ(r.count, 2048);
  EXPECT_EQ(r.cells[80][94], 2048);  // the 2048th cell in raster order
  EXPECT_EQ(r.cells[80][96], 0);
  EXPECT_EQ(r.cells[98][98], 0);
}

TEST(LabelComputation, SpecksTheThresholdRemovesTakeNoLabel) {
  // 2500 one-cell specks, two of them joined into runs of 3 and 5 cells,
  // then a 3 x 40 bar below them.
  std::vector<std::string> rows(104, std::string(100, '.'));
  for (int y = 0; y < 100; y += 2)
    for (int x = 0; x < 100; x += 2) rows[y][x] = '#';
  rows[0][1] = rows[50][51] = rows[50][53] = '#';
  for (int y = 101; y < 104; ++y)
    for (int x = 10; x < 50; ++x) rows[y][x] = '#';
  const struct {
    long threshold;
    int mode;
    bool char_output;
    long count, bar, run_of_3, speck;
  } cases[] = {
      {0, 0, false, 2048, 0, 1, 2},  // the specks fill the table; the bar is never reached
      {1, 0, false, 3, 3, 1, 0},     // the two runs and the bar
      {1, 1, false, 3, 120, 3, 0},   // areas
      {1, 1, true, 3, 1, 3, 0},      // ranks: the bar the largest
      {3, 0, true, 2, 2, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.threshold);
    region::LabelSettings s;
    s.threshold = c.threshold;
    s.mode = c.mode;
    s.char_output = c.char_output;
    const auto r = run(image(rows), s);
    EXPECT_EQ(r.count, c.count);
    EXPECT_EQ(r.cells[102][30], c.bar);
    EXPECT_EQ(r.cells[0][0], c.run_of_3);
    EXPECT_EQ(r.cells[0][4], c.speck);
  }
}

TEST(LabelComputation, StackLimitSplitsBlobsAsSpecifiedAndNeverOverruns) {
  // Fewer than 8 cells: capacity below 2 records, so only the seed's run fills.
  const auto line = run(image({"#", "#", "#"}));
  EXPECT_EQ(line.cells[0][0], 1);
  EXPECT_EQ(line.cells[1][0], 2);
  EXPECT_EQ(line.cells[2][0], 3);
  // A comb: one popped record pushes a record per tooth, more than the limit;
  // the buffer has room for them (checked by the sanitizers).
  std::vector<std::string> rows = {"#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#", std::string(33, '#')};
  const auto comb = run(image(rows));
  EXPECT_GE(comb.count, 1);
  for (const auto& row : comb.cells)
    for (long v : row) EXPECT_GE(v, 0);
}

TEST(LabelComputation, OneRowAndOneColumnImages) {
  const auto row = run(image({"##.###..#"}));
  EXPECT_EQ(row.count, 3);
  EXPECT_EQ(row.cells[0][4], 2);
  EXPECT_EQ(row.cells[0][8], 3);
  // A tall column of 40 cells: capacity 10 records is enough to fill it whole.
  const auto col = run(image(std::vector<std::string>(40, "#")));
  EXPECT_EQ(col.count, 1);
  EXPECT_EQ(col.cells[39][0], 1);
}

TEST(LabelComputation, PaddedRowsAreReadAndWrittenByStride) {
  const std::vector<std::string> rows = {"##..#", "#...#", "..#.."};
  const auto plain = run(image(rows));
  const auto padded = run(image(rows, 11), {}, 12);
  EXPECT_EQ(plain.cells, padded.cells);
  EXPECT_EQ(padded.count, 3);
}

}  // namespace
