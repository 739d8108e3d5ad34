// Patches saved by Max, run as abstractions: their lines, fan-out order,
// outlets and refusals, parsed and run by the built runner.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "runner_support.h"
#include "tools/zelk/frames.h"
#include "tools/zelk/patch.h"

namespace {

using zelk::runner::Patch;
using zelk::runner::PatchBox;
using zelk::runner::parse_patch;

std::string box(const std::string& id, const std::string& cls, double x, double y, const std::string& extra = "") {
  return "{\"box\":{\"id\":\"" + id + "\",\"maxclass\":\"" + cls + "\",\"patching_rect\":[" + std::to_string(x) +
         "," + std::to_string(y) + ",100,22]" + extra + "}}";
}
std::string obj(const std::string& id, const std::string& text, double x, double y) {
  return box(id, "newobj", x, y, ",\"text\":\"" + text + "\"");
}
std::string line(const std::string& from, int outlet, const std::string& to, int inlet) {
  return "{\"patchline\":{\"source\":[\"" + from + "\"," + std::to_string(outlet) + "],\"destination\":[\"" + to +
         "\"," + std::to_string(inlet) + "]}}";
}
std::string patcher(const std::vector<std::string>& boxes, const std::vector<std::string>& lines) {
  std::string s = "{\"patcher\":{\"boxes\":[";
  for (std::size_t i = 0; i < boxes.size(); ++i) s += (i ? "," : "") + boxes[i];
  s += "],\"lines\":[";
  for (std::size_t i = 0; i < lines.size(); ++i) s += (i ? "," : "") + lines[i];
  return s + "]}}";
}

TEST(PatchFile, OneOutletsLinesFireRightToLeftThenBottomFirst) {
  Patch p;
  std::string why;
  const std::string text = patcher(
      {box("in", "inlet", 0, 0, ",\"index\":1"), obj("a", "zelk.label", 0, 50), obj("left", "zelk.mass", 10, 100),
       obj("right", "zelk.sum", 300, 100), obj("high", "zelk.moments", 150, 90), obj("low", "zelk.centroids", 150, 140)},
      {line("in", 0, "a", 0), line("a", 0, "left", 0), line("a", 0, "high", 0), line("a", 0, "right", 0),
       line("a", 0, "low", 0)});
  ASSERT_TRUE(parse_patch(text, "p", &p, &why)) << why;
  std::vector<std::string> order;
  for (const auto& l : p.lines)
    if (p.boxes[l.from].id == "a") order.push_back(p.boxes[l.to].id);
  EXPECT_EQ(order, (std::vector<std::string>{"right", "low", "high", "left"}));
}

TEST(PatchFile, InletsWithoutAnIndexAreNumberedLeftToRight) {
  Patch p;
  std::string why;
  ASSERT_TRUE(parse_patch(patcher({box("b", "inlet", 200, 0), box("a", "inlet", 20, 0),
                                   box("c", "comment", 0, 0, ",\"text\":\"a note\"")},
                                  {}),
                          "p", &p, &why))
      << why;
  EXPECT_EQ(p.boxes[0].index, 2);
  EXPECT_EQ(p.boxes[1].index, 1);
  EXPECT_EQ(p.boxes[2].kind, PatchBox::Kind::Comment);
}

TEST(PatchFile, FaultsNameTheBoxOrLine) {
  struct Case {
    std::string text, says;
  };
  const std::vector<Case> cases = {
      {"not json", "not JSON"},
      {"{\"boxes\":[]}", "no \"patcher\""},
      {patcher({box("obj-7", "umenu", 0, 0, ",\"items\":[\"a\"]")}, {}), "box obj-7 is a 'umenu' box"},
      {patcher({box("obj-7", "newobj", 0, 0)}, {}), "box obj-7 is an object box without text"},
      // Members of the wrong JSON type are faults of the file, not of the reader.
      {"{\"patcher\":{\"boxes\":[{\"box\":{\"id\":\"q\",\"maxclass\":7,\"comment\":[]}}]}}", "box q is a '?' box"},
      {"{\"patcher\":{\"boxes\":[{\"box\":{\"id\":\"q\",\"maxclass\":\"inlet\",\"index\":\"1\"}}]}}",
       "\"index\" that is not a number"},
      {patcher({obj("x", "zelk.label", 0, 0), obj("x", "zelk.sum", 0, 0)}, {}), "two boxes have the id x"},
      {patcher({obj("x", "zelk.label", 0, 0)}, {line("x", 0, "y", 0)}), "names a box that is not in the patch ('y')"},
      {patcher({obj("x", "zelk.label", 0, 0)}, {line("x", -1, "x", 0)}), "no inlet or outlet number"},
      {patcher({box("o", "outlet", 0, 0), obj("x", "zelk.label", 0, 0)}, {line("o", 0, "x", 0)}),
       "cannot be joined"},
  };
  for (const Case& c : cases) {
    Patch p;
    std::string why;
    EXPECT_FALSE(parse_patch(c.text, "p.maxpat", &p, &why)) << c.text;
    EXPECT_NE(why.find(c.says), std::string::npos) << why;
    EXPECT_EQ(why.rfind("p.maxpat: ", 0), 0u) << why;
  }
}

class PatchRun : public zrt::TempDirTest {
 protected:
  // Two blobs further apart than blob-road's sort threshold (20): a 3 x 2
  // block (label 1) and a single cell at (38, 3) (label 2).
  std::string scene() const {
    const std::string gap(33, '.');
    return pgm("scene.pgm", {"###" + gap + "....", "###" + gap + "....", "..." + gap + "....", "..." + gap + "..#."});
  }
  std::string write(const std::string& name, const std::string& text) const {
    zrt::spit(path(name), text);
    return path(name);
  }
};

TEST_F(PatchRun, TheBlobRoadFansOutRightToLeftAndReportsItsOutlets) {
  const std::string out = path("out");
  zrt::Result r = zelk({"run", "--save", out, "--input", scene(), ZELK_SOURCE_DIR "/tests/runner/data/blob-road.maxpat"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Only what reaches an outlet is reported: the right-hand road (centroids,
  // then sort) runs before the left-hand one (moments, then orientation).
  const std::vector<std::string> lines = r.lines();
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_NE(lines[0].find("\"object\":\"zelk.blobs.sort\",\"id\":\"obj-6\",\"event\":\"matrix\",\"patch_outlet\":2"),
            std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find("\"object\":\"zelk.blobs.orientation\",\"id\":\"obj-4\",\"event\":\"matrix\",\"patch_outlet\":1"),
            std::string::npos)
      << lines[1];
  // Boxes are numbered in the file's order: label 0, moments 1, orientation 2, centroids 3, sort 4.
  zelk::runner::Array ids, angles, centroids;
  std::string why;
  ASSERT_TRUE(zelk::runner::read_frame_file(out + "/f0000_b4_zelk.blobs.sort.npy", &ids, &why)) << why;
  ASSERT_TRUE(zelk::runner::read_frame_file(out + "/f0000_b2_zelk.blobs.orientation.npy", &angles, &why)) << why;
  ASSERT_TRUE(zelk::runner::read_frame_file(out + "/f0000_b3_zelk.blobs.centroids.npy", &centroids, &why)) << why;
  ASSERT_EQ(ids.cell_count(), 2u);
  EXPECT_EQ(static_cast<int>(ids.data[0]), 1);
  EXPECT_EQ(static_cast<int>(ids.data[1]), 2);
  const float* c = reinterpret_cast<const float*>(centroids.data.data());
  EXPECT_FLOAT_EQ(c[0], 1.0f);  // the block: x 0..2, y 0..1
  EXPECT_FLOAT_EQ(c[1], 0.5f);
  EXPECT_FLOAT_EQ(c[2], 6.0f);
  EXPECT_FLOAT_EQ(c[3], 38.0f);  // the single cell
  EXPECT_FLOAT_EQ(c[4], 3.0f);
  // A block wider than tall lies along x: 0 degrees (the patch asks for degrees).
  EXPECT_NEAR(reinterpret_cast<const float*>(angles.data.data())[0], 0.0f, 1e-4);
}

TEST_F(PatchRun, MessagesReachBoxesByIdAndErrorsOfAnyBoxAreReported) {
  const std::string p = write(
      "p.maxpat", patcher({box("in", "inlet", 0, 0), obj("lab", "zelk.label @charmode 1", 0, 50),
                           obj("ext", "zelk.extrema", 200, 50), box("out", "outlet", 0, 100)},
                          {line("in", 0, "lab", 0), line("in", 0, "ext", 0), line("lab", 0, "out", 0)}));
  zrt::Result r = zelk({"run", "--input", scene(), "--send", "lab threshold 2", "--input", scene(), p});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = r.lines();
  // Per frame: extrema (on the right) refuses a char image first, then the label image reaches the outlet.
  ASSERT_EQ(lines.size(), 6u) << r.out;
  EXPECT_NE(lines[0].find("\"id\":\"ext\",\"event\":\"console\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\"id\":\"ext\",\"event\":\"error\",\"code\":\"MSTP\""), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("\"frame\":0,\"box\":0,\"object\":\"zelk.label\",\"id\":\"lab\",\"event\":\"matrix\",\"patch_outlet\":1"),
            std::string::npos)
      << lines[2];
  EXPECT_NE(lines[5].find("\"frame\":1"), std::string::npos);
  // A --send to a box the patch does not have is refused before anything runs.
  zrt::Result bad = zelk({"run", "--send", "obj-99 reset", "--input", scene(), p});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("the patch has no box obj-99"), std::string::npos) << bad.err;
  EXPECT_TRUE(bad.out.empty());
}

TEST_F(PatchRun, BoxesTheRunnerDoesNotKnowAreRefusedByName) {
  const std::string unknown = write(
      "unknown.maxpat", patcher({box("in", "inlet", 0, 0), obj("obj-3", "jit.brcosa @brightness 2", 0, 50),
                                 obj("obj-4", "zelk.label", 0, 90)},
                                {line("in", 0, "obj-3", 0), line("obj-3", 0, "obj-4", 0)}));
  zrt::Result r = zelk({"run", "--input", scene(), unknown});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("box obj-3 'jit.brcosa @brightness 2': unknown object jit.brcosa"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("zelk list"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("jit.rgb2luma"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());

  const std::string slider = write("slider.maxpat", patcher({box("obj-9", "slider", 0, 0)}, {}));
  r = zelk({"run", "--input", scene(), slider});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("box obj-9 is a 'slider' box"), std::string::npos) << r.err;

  const std::string no_inlet = write("closed.maxpat", patcher({obj("a", "zelk.label", 0, 0)}, {}));
  r = zelk({"run", "--input", scene(), no_inlet});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no inlet box, jit.movie or jit.grab"), std::string::npos) << r.err;

  const std::string bad_outlet = write(
      "outlet.maxpat", patcher({box("in", "inlet", 0, 0), obj("a", "zelk.label", 0, 0), obj("b", "zelk.sum", 0, 0)},
                               {line("in", 0, "a", 0), line("a", 5, "b", 0)}));
  r = zelk({"run", "--input", scene(), bad_outlet});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("the line from a outlet 5 to b inlet 0: zelk.label has 2 outlets"), std::string::npos) << r.err;

  r = zelk({"run", "--input", scene(), path("missing.maxpat")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("missing.maxpat: cannot open it"), std::string::npos) << r.err;
  r = zelk({"run", "--input", scene(), unknown, "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not both"), std::string::npos) << r.err;
}

// jit.rgb2luma's char luminance of a BGR pixel: the default weights in 16.16
// fixed point (0.299, 0.587, 0.114 times 65536, truncated), shifted down.
int jitter_luma(const cv::Vec3b& bgr) { return (19595 * bgr[2] + 38469 * bgr[1] + 7471 * bgr[0]) >> 16; }

// The matrix --save wrote into `folder` under a name holding `suffix`.
testing::AssertionResult read_saved(const std::string& folder, const std::string& suffix, zelk::runner::Array* out) {
  std::string found, why;
  for (const auto& e : zrt::fs::directory_iterator(folder))
    if (e.path().filename().string().find(suffix) != std::string::npos) found = e.path().string();
  if (zelk::runner::read_frame_file(found, out, &why)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << suffix << ": " << why;
}

// A patch as Max users write it: loadbang reads a movie, a qmetro would drive
// it, luminance and a threshold (in a subpatcher) make the binary image, and
// the blobs' centroids go to print and a window.
class UserPatch : public PatchRun {
 protected:
  // Bright blobs (luminance 197 and 168) and a dim one (95, under the threshold) on dark ground.
  cv::Mat street() const {
    cv::Mat bgr(48, 64, CV_8UC3, cv::Scalar(10, 10, 10));
    cv::rectangle(bgr, cv::Rect(5, 6, 12, 9), cv::Scalar(50, 200, 250), cv::FILLED);
    cv::circle(bgr, cv::Point(44, 30), 7, cv::Scalar(240, 220, 40), cv::FILLED);
    cv::circle(bgr, cv::Point(20, 38), 5, cv::Scalar(60, 90, 120), cv::FILLED);
    return bgr;
  }
  std::string user_patch() const {
    EXPECT_TRUE(cv::imwrite(path("street.ppm"), street()));
    const std::string subpatch = ",\"patcher\":{\"boxes\":[" + box("i", "inlet", 0, 0) + "," +
                                 obj("op", "jit.op @op > @val 100", 0, 40) + "," + box("o", "outlet", 0, 80) +
                                 "],\"lines\":[" + line("i", 0, "op", 0) + "," + line("op", 0, "o", 0) + "]}";
    return write(
        "user.maxpat",
        patcher({obj("lb", "loadbang", 200, 0), box("rd", "message", 200, 30, ",\"text\":\"read street.ppm\""),
                 box("tg", "toggle", 0, 0), obj("qm", "qmetro 33", 0, 30), obj("mv", "jit.movie", 0, 60),
                 obj("luma", "jit.rgb2luma", 0, 90),
                 box("thr", "newobj", 0, 120, ",\"text\":\"p threshold\"" + subpatch),
                 obj("lab", "zelk.label @charmode 1", 0, 150), obj("cen", "zelk.blobs.centroids", 0, 180),
                 obj("it", "jit.iter", 0, 210), obj("pr", "print centroid", 0, 240), box("win", "jit.pwindow", 200, 180),
                 box("note", "comment", 300, 0, ",\"text\":\"a note\""), box("bg", "panel", 0, 0)},
                {line("lb", 0, "rd", 0), line("rd", 0, "mv", 0), line("tg", 0, "qm", 0), line("qm", 0, "mv", 0),
                 line("mv", 0, "luma", 0), line("luma", 0, "thr", 0), line("thr", 0, "lab", 0),
                 line("lab", 0, "cen", 0), line("lab", 0, "win", 0), line("cen", 0, "it", 0), line("it", 0, "pr", 0)}));
  }
};

TEST_F(UserPatch, ThresholdsTheMovieItReadsAndFindsItsBlobs) {
  const cv::Mat bgr = street();
  const std::string user = user_patch();
  const std::string out = path("out");
  zrt::Result r = zelk({"run", "--quiet", "--save", out, user});
  ASSERT_EQ(r.status, 0) << r.err;
  // jit.iter sends each blob's cell (x, y, mass) to print: one line per blob.
  std::vector<std::string> printed;
  for (const std::string& l : r.lines())
    if (l.find("\"id\":\"pr\",\"event\":\"console\",\"text\":\"centroid: ") != std::string::npos) printed.push_back(l);
  EXPECT_EQ(printed.size(), 2u) << r.out;

  // The same frame by the objects' definitions: Jitter's fixed-point luminance, > 100, 4-connected blobs.
  cv::Mat binary(bgr.size(), CV_8U), labels, stats, expected;
  for (int y = 0; y < bgr.rows; ++y)
    for (int x = 0; x < bgr.cols; ++x) binary.at<uchar>(y, x) = jitter_luma(bgr.at<cv::Vec3b>(y, x)) > 100;
  const int n = cv::connectedComponentsWithStats(binary, labels, stats, expected, 4);
  ASSERT_EQ(n, 3);  // the background and two blobs

  zelk::runner::Array centroids;
  ASSERT_TRUE(read_saved(out, "_zelk.blobs.centroids.npy", &centroids));
  ASSERT_EQ(centroids.dims, (std::vector<long>{2}));
  std::vector<std::pair<double, double>> got, want;
  const float* c = reinterpret_cast<const float*>(centroids.data.data());
  for (int k = 0; k < 2; ++k) {
    got.emplace_back(c[k * centroids.planecount], c[k * centroids.planecount + 1]);
    want.emplace_back(expected.at<double>(k + 1, 0), expected.at<double>(k + 1, 1));
  }
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  for (int k = 0; k < 2; ++k) {
    EXPECT_NEAR(got[k].first, want[k].first, 1e-4);
    EXPECT_NEAR(got[k].second, want[k].second, 1e-4);
  }
}

TEST_F(UserPatch, TheDemoFrameThresholdedAt19IsJittersImage) {
  // Its ground is (20, 20, 20): luminance 19, so not above 19.
  // As PPM, which zelk.exe reads too (it has no PNG decoder), so this runs under Wine.
  const cv::Mat bgr = cv::imread(std::string(ZELK_SOURCE_DIR) + "/docs/demo-frame.png", cv::IMREAD_COLOR);
  const std::string frame = path("demo-frame.ppm");
  ASSERT_TRUE(cv::imwrite(frame, bgr));
  const std::string out = path("out");
  zrt::Result r = zelk({"run", "--quiet", "--input", frame, "--save", out, "--", "jit.rgb2luma", "jit.op @op > @val 19"});
  ASSERT_EQ(r.status, 0) << r.err;
  zelk::runner::Array mask;
  ASSERT_TRUE(read_saved(out, "_jit.op.npy", &mask));
  ASSERT_EQ(mask.dims, (std::vector<long>{bgr.cols, bgr.rows}));
  long differ = 0, ground = 0;
  for (int y = 0; y < bgr.rows; ++y)
    for (int x = 0; x < bgr.cols; ++x) {
      const auto got = static_cast<int>(mask.data[static_cast<std::size_t>(y) * bgr.cols + x]);
      differ += got != (jitter_luma(bgr.at<cv::Vec3b>(y, x)) > 19 ? 255 : 0);
      ground += bgr.at<cv::Vec3b>(y, x) == cv::Vec3b(20, 20, 20) && got == 0;
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(ground, 260000);
}

TEST_F(UserPatch, AChainMayStartWithTheMovie) {
  EXPECT_TRUE(cv::imwrite(path("street.ppm"), street()));
  zrt::Result r = zelk({"run", "--quiet", "--input", path("street.ppm"), "--", "jit.movie", "jit.rgb2luma"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.lines().size(), 2u) << r.out;
  EXPECT_NE(r.lines()[0].find("\"object\":\"jit.movie\",\"event\":\"matrix\",\"outlet\":0,\"type\":\"char\",\"planecount\":4"),
            std::string::npos);
  EXPECT_NE(r.lines()[1].find("\"object\":\"jit.rgb2luma\",\"event\":\"matrix\",\"outlet\":0,\"type\":\"char\",\"planecount\":1"),
            std::string::npos);
}

TEST_F(UserPatch, RenderDrawsWhatItsWindowShows) {
  const std::string pictures = path("pictures");
  zrt::Result r = zelk({"run", "--quiet", "--render", pictures, user_patch()});
  ASSERT_EQ(r.status, 0) << r.err;
  bool window_drawn = false;
  for (const auto& e : zrt::fs::directory_iterator(pictures))
    window_drawn = window_drawn || e.path().filename().string().find("_jit.pwindow.png") != std::string::npos;
  EXPECT_TRUE(window_drawn);
}

}  // namespace

