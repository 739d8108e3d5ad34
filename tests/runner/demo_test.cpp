// zelk demo end to end: the tables it writes against what the generated
// scene truly holds, and the pictures it promises.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "runner_support.h"
#include "tools/zelk/scene.h"

namespace {

using zelk::runner::scene_shapes;
using zelk::runner::SceneShape;

struct Row {
  long frame;
  int id;
  double x, y, area, orientation;
};

std::vector<Row> blob_rows(const std::string& csv) {
  std::vector<Row> rows;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "frame,id,label,x,y,area,orientation_deg,direction_deg,elongation,left,top,right,bottom");
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string v; std::getline(ss, v, ',');) f.push_back(v);
    EXPECT_EQ(f.size(), 13u) << line;
    if (f.size() < 13) continue;
    rows.push_back({std::stol(f[0]), std::stoi(f[1]), std::stod(f[3]), std::stod(f[4]), std::stod(f[5]), std::stod(f[6])});
  }
  return rows;
}

// Angles of axes agree modulo half a turn.
double axis_gap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 180.0);
  return std::min(d, 180.0 - d);
}

class Demo : public zrt::TempDirTest {};

TEST_F(Demo, ItsTablesMatchTheSceneAndIdentifiersStayWithTheirShapes) {
  constexpr long kFrames = 70;
  zrt::Result r = zelk({"demo", "--quiet", "--frames", std::to_string(kFrames), "--out", path("demo")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("70 frames of 640 x 480"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("frames/s"), std::string::npos) << r.out;

  const std::vector<Row> rows = blob_rows(zrt::slurp(path("demo/blobs.csv")));
  std::map<long, std::vector<Row>> by_frame;
  for (const Row& row : rows) by_frame[row.frame].push_back(row);
  ASSERT_EQ(by_frame.size(), static_cast<std::size_t>(kFrames));
  std::map<std::string, std::set<int>> ids_of;  // shape -> identifiers it was given
  for (long f = 0; f < kFrames; ++f) {
    const std::vector<SceneShape> truth = scene_shapes(static_cast<int>(f));
    ASSERT_EQ(by_frame[f].size(), truth.size()) << "frame " << f;
    for (const SceneShape& s : truth) {
      // The blob nearest each shape sits on its centre and lies along its axis.
      const Row* best = nullptr;
      for (const Row& row : by_frame[f])
        if (!best || std::hypot(row.x - s.cx, row.y - s.cy) < std::hypot(best->x - s.cx, best->y - s.cy)) best = &row;
      ASSERT_TRUE(best);
      EXPECT_LT(std::hypot(best->x - s.cx, best->y - s.cy), 1.0) << s.name << " in frame " << f;
      if (s.name != "disc D") {
        EXPECT_LT(axis_gap(best->orientation, s.angle), 3.0) << s.name << " in frame " << f;
      }
      ids_of[s.name].insert(best->id);
    }
  }
  // Every shape keeps one identifier all along, and no two shapes share one.
  std::set<int> all;
  for (const auto& [name, ids] : ids_of) {
    EXPECT_EQ(ids.size(), 1u) << name;
    all.insert(ids.begin(), ids.end());
  }
  EXPECT_EQ(all.size(), ids_of.size());

  // The bottom bar's two long edges (rows 457 and 463) are found as lines at 90 degrees.
  const std::string lines = zrt::slurp(path("demo/lines.csv"));
  EXPECT_EQ(lines.rfind("frame,rho,theta_deg\n", 0), 0u);
  EXPECT_NE(lines.find("\n0,456.0,90.0\n"), std::string::npos) << lines.substr(0, 200);
  EXPECT_NE(lines.find("\n0,464.0,90.0\n"), std::string::npos) << lines.substr(0, 200);

  const cv::Mat sheet = cv::imread(path("demo/contact-sheet.png"));
  EXPECT_EQ(sheet.cols, 1280);
  EXPECT_EQ(sheet.rows, 720);
  const cv::Mat annotated = cv::imread(path("demo/frames/f0069.png"));
  EXPECT_EQ(annotated.cols, 640);
  EXPECT_EQ(annotated.rows, 480);

  // The patch and the scene it leaves behind run again through zelk run.
  zrt::Result again = zelk({"run", "--quiet", "--input", path("demo/scene/f0000.png"), path("demo/demo.maxpat")});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("\"object\":\"zelk.blobs.sort\""), std::string::npos);
}

TEST_F(Demo, BadArgumentsSayWhatToDo) {
  zrt::Result r = zelk({"demo", "--frames", "0"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--frames needs a whole number"), std::string::npos) << r.err;
  r = zelk({"demo", "--colour"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("see zelk demo --help"), std::string::npos) << r.err;
  r = zelk({"demo", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("contact-sheet.png"), std::string::npos);
}

}  // namespace
