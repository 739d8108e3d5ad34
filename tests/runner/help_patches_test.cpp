// The help patches run headless as they would open in Max: camera-like colour
// frames come out of their jit.grab and jit.movie boxes, every object gets
// input it accepts, sends what it documents, every message box says something
// its object understands, and no box reports an error.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <set>
#include <string>
#include <vector>

#include "runner_support.h"
#include "tools/zelk/patch.h"

namespace {

namespace fs = std::filesystem;

struct Help {
  const char* object;
  const char* print;  // the print box its list outlet feeds, or nullptr for a matrix outlet
};

const Help kHelps[] = {
    {"zelk.label", nullptr},         {"zelk.floodfill", nullptr},       {"zelk.binedge", nullptr},
    {"zelk.hough", nullptr},         {"zelk.extrema", nullptr},         {"zelk.moments", "moments"},
    {"zelk.centroids", "centroids"}, {"zelk.mass", "mass"},             {"zelk.sum", "sum"},
    {"zelk.mean", nullptr},          {"zelk.covariance", nullptr},      {"zelk.ravg", nullptr},
    {"zelk.trackpoints", nullptr},   {"zelk.blobs.moments", nullptr},   {"zelk.blobs.centroids", nullptr},
    {"zelk.blobs.bounds", nullptr},  {"zelk.blobs.orientation", nullptr},
    {"zelk.blobs.direction", nullptr}, {"zelk.blobs.elongation", nullptr}, {"zelk.blobs.sort", nullptr},
};
constexpr int kFrames = 3;

void PrintTo(const Help& h, std::ostream* os) { *os << h.object; }

std::string help_file(const std::string& name) { return ZELK_SOURCE_DIR "/help/" + name; }

class HelpPatch : public zrt::TempDirTest, public ::testing::WithParamInterface<Help> {
 protected:
  // A dark scene with a disc, a tilted ellipse, a block and a thin line apart
  // from each other, in colours bright enough for the patches' threshold;
  // the shapes drift a little from frame to frame, as under a camera. PPM,
  // which zelk.exe reads too (it has no PNG decoder), so the helps run under Wine.
  std::string frame(int k) const {
    cv::Mat m(120, 160, CV_8UC3, cv::Scalar(25, 18, 12));
    cv::circle(m, {40 + 2 * k, 40}, 12, cv::Scalar(60, 200, 240), cv::FILLED);
    cv::ellipse(m, {112 + 2 * k, 36 + k}, {18, 8}, 30, 0, 360, cv::Scalar(250, 220, 80), cv::FILLED);
    cv::rectangle(m, {62, 70 + k}, {76, 94 + k}, cv::Scalar(255, 255, 255), cv::FILLED);
    cv::line(m, {5, 116}, {155, 102}, cv::Scalar(230, 230, 230), 2);
    const std::string name = path("frame" + std::to_string(k) + ".ppm");
    EXPECT_TRUE(cv::imwrite(name, m));
    return name;
  }
};

TEST_P(HelpPatch, RunsOnCameraFramesWithEveryMessageClicked) {
  const Help& h = GetParam();
  const std::string help = help_file(std::string(h.object) + ".maxhelp");
  zelk::runner::Patch patch;
  std::string why;
  ASSERT_TRUE(zelk::runner::read_patch(help, &patch, &why)) << why;
  // After the first frame every message box and button is clicked, in the
  // file's order: each must be a message its object takes.
  const std::string out = path("out");
  std::vector<std::string> args = {"run", "--quiet", "--save", out, "--input", frame(0)};
  for (const auto& b : patch.boxes)
    if (b.text.rfind("message ", 0) == 0 || b.text == "button") args.insert(args.end(), {"--send", b.id + " bang"});
  for (int k = 1; k < kFrames; ++k) args.insert(args.end(), {"--input", frame(k)});
  args.push_back(help);
  const zrt::Result r = zelk(args);
  ASSERT_EQ(r.status, 0) << r.err;
  // Built by appending: gcc 12 warns falsely on "literal" + std::string (bug 105329).
  std::string posted = "\"text\":\"";
  posted.append(h.print ? h.print : "").append(": ");
  int printed = 0;
  for (const std::string& l : r.lines()) {
    // No error code, and no console line but the print boxes' (an object's is a complaint).
    EXPECT_EQ(l.find("\"event\":\"error\""), std::string::npos) << l;
    if (l.find("\"event\":\"console\"") != std::string::npos) {
      EXPECT_NE(l.find("\"object\":\"print\""), std::string::npos) << l;
    }
    if (h.print && l.find(posted) != std::string::npos) ++printed;
  }
  if (h.print) {
    EXPECT_GE(printed, kFrames) << r.out;
  } else {
    // The object's own box saved a matrix every frame (a help may hold it twice).
    std::string suffix = "_";
    suffix.append(h.object).append(".npy");
    int saved = 0;
    for (const auto& f : fs::directory_iterator(out)) {
      const std::string n = f.path().filename().string();
      if (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0) ++saved;
    }
    EXPECT_GE(saved, kFrames) << r.out;
  }
}

INSTANTIATE_TEST_SUITE_P(HelpPatches, HelpPatch, ::testing::ValuesIn(kHelps),
                         [](const ::testing::TestParamInfo<Help>& p) {
                           std::string n = p.param.object;
                           for (char& c : n)
                             if (c == '.') c = '_';
                           return n;
                         });

TEST(HelpOverview, NamesEveryObjectOnce) {
  zelk::runner::Patch p;
  std::string why;
  ASSERT_TRUE(zelk::runner::read_patch(help_file("zelk-overview.maxpat"), &p, &why)) << why;
  std::multiset<std::string> named;
  for (const auto& b : p.boxes)
    if (b.text.rfind("zelk.", 0) == 0) named.insert(b.text);
  std::multiset<std::string> want;
  for (const Help& h : kHelps) want.insert(h.object);
  EXPECT_EQ(named, want);
}

}  // namespace
