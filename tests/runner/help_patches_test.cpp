// The help patches run headless as they open in Max: the package's clip
// plays through every tab, every display gets something on every frame,
// every message box says something its object understands, and nothing
// reports an error, opens the camera or asks for a file. Their layout: every
// box inside its window, none over another, the top level off the tabs.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "runner_support.h"
#include "tools/zelk/patch.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Help {
  const char* file;    // under the source tree
  const char* object;  // the object a help file shows; nullptr for an example
};

const Help kHelps[] = {
    {"help/zelk.label.maxhelp", "zelk.label"},
    {"help/zelk.floodfill.maxhelp", "zelk.floodfill"},
    {"help/zelk.binedge.maxhelp", "zelk.binedge"},
    {"help/zelk.hough.maxhelp", "zelk.hough"},
    {"help/zelk.extrema.maxhelp", "zelk.extrema"},
    {"help/zelk.moments.maxhelp", "zelk.moments"},
    {"help/zelk.centroids.maxhelp", "zelk.centroids"},
    {"help/zelk.mass.maxhelp", "zelk.mass"},
    {"help/zelk.sum.maxhelp", "zelk.sum"},
    {"help/zelk.mean.maxhelp", "zelk.mean"},
    {"help/zelk.covariance.maxhelp", "zelk.covariance"},
    {"help/zelk.ravg.maxhelp", "zelk.ravg"},
    {"help/zelk.trackpoints.maxhelp", "zelk.trackpoints"},
    {"help/zelk.blobs.moments.maxhelp", "zelk.blobs.moments"},
    {"help/zelk.blobs.centroids.maxhelp", "zelk.blobs.centroids"},
    {"help/zelk.blobs.bounds.maxhelp", "zelk.blobs.bounds"},
    {"help/zelk.blobs.orientation.maxhelp", "zelk.blobs.orientation"},
    {"help/zelk.blobs.direction.maxhelp", "zelk.blobs.direction"},
    {"help/zelk.blobs.elongation.maxhelp", "zelk.blobs.elongation"},
    {"help/zelk.blobs.sort.maxhelp", "zelk.blobs.sort"},
    {"help/zelk-home.maxpat", nullptr},
    {"examples/zelk-tracking.maxpat", nullptr},
    {"examples/zelk-lines.maxpat", nullptr},
    {"examples/zelk-motion.maxpat", nullptr},
    {"examples/zelk-measure.maxpat", nullptr},
};
constexpr int kClipFrames = 90;

void PrintTo(const Help& h, std::ostream* os) { *os << h.file; }

std::string source_file(const std::string& name) { return ZELK_SOURCE_DIR "/" + name; }

bool is_display(const zelk::runner::PatchBox& b) {
  return b.maxclass == "jit.pwindow" || b.maxclass == "jit.cellblock" || b.maxclass == "flonum" ||
         b.maxclass == "number" || (b.maxclass == "message" && b.text == "message");
}

class HelpPatch : public zrt::TempDirTest, public ::testing::WithParamInterface<Help> {};

TEST_P(HelpPatch, PlaysTheClipIntoEveryDisplayWithEveryMessageClicked) {
  const Help& h = GetParam();
  const std::string help = source_file(h.file);
  zelk::runner::Patch patch;
  std::string why;
  ASSERT_TRUE(zelk::runner::read_patch(help, &patch, &why)) << why;
  // Before the clip plays every message box and button is clicked, in the
  // file's order (but the camera's): each must be a message its object takes.
  std::vector<std::string> args = {"run", "--quiet", "--trace", "--path", ZELK_BUILD_DIR "/media"};
  std::set<int> camera;
  for (const auto& l : patch.lines)
    if (patch.boxes[l.to].text == "jit.grab") camera.insert(l.from);
  for (std::size_t k = 0; k < patch.boxes.size(); ++k) {
    const auto& b = patch.boxes[k];
    if ((b.maxclass == "message" || b.maxclass == "button") && !camera.count(static_cast<int>(k)) &&
        b.text != "message")
      args.insert(args.end(), {"--send", b.id + " bang"});
  }
  args.push_back(help);
  const zrt::Result r = zelk(args);
  ASSERT_EQ(r.status, 0) << r.err;
  // What each box sent, by outlet, frame by frame.
  std::map<std::pair<std::string, int>, std::set<int>> sent;
  for (const std::string& l : r.lines()) {
    const json e = json::parse(l);
    ASSERT_NE(e.value("event", ""), "error") << l;
    // No console line but a print box's (an object's is a complaint).
    if (e.value("event", "") == "console") {
      EXPECT_EQ(e.value("object", ""), "print") << l;
    }
    if (e.value("event", "") == "outlet" || e.value("event", "") == "matrix")
      sent[{e.value("id", ""), e.value("outlet", 0)}].insert(e.value("frame", -1));
  }
  // Every display is fed on every frame of the clip.
  int displays = 0;
  for (const auto& line : patch.lines) {
    // A number box a loadmess sets is a control, not a display.
    if (!is_display(patch.boxes[line.to]) || patch.boxes[line.from].text.rfind("loadmess", 0) == 0) continue;
    ++displays;
    const auto& frames = sent[{patch.boxes[line.from].id, line.outlet}];
    for (int f = 0; f < kClipFrames; ++f)
      ASSERT_TRUE(frames.count(f)) << patch.boxes[line.from].text << " feeds " << patch.boxes[line.to].maxclass
                                   << " nothing in frame " << f;
    EXPECT_FALSE(frames.count(kClipFrames));
  }
  EXPECT_GE(displays, 2);
  // And a help's object itself works on every frame.
  if (!h.object) return;
  std::set<int> own;
  for (const auto& b : patch.boxes)
    if (b.text == h.object || b.text.rfind(std::string(h.object) + " ", 0) == 0)
      for (const auto& [key, frames] : sent)
        if (key.first == b.id) own.insert(frames.begin(), frames.end());
  EXPECT_EQ(own.size(), static_cast<std::size_t>(kClipFrames)) << h.object;
}

// Box rectangles of every window of a patch file: inside it, apart.
void check_layout(const json& patcher, const std::string& where) {
  const double width = patcher["rect"][2], height = patcher["rect"][3];
  struct Rect {
    double x, y, w, h;
    std::string what;
  };
  std::vector<Rect> rects;
  for (const auto& entry : patcher["boxes"]) {
    const json& b = entry["box"];
    const json& r = b["patching_rect"];
    const std::string what = b.value("text", b.value("maxclass", "")) + " (" + b.value("id", "") + ")";
    rects.push_back({r[0], r[1], r[2], r[3], what});
    EXPECT_TRUE(r[0] >= 0 && r[1] >= 0 && double(r[0]) + double(r[2]) <= width && double(r[1]) + double(r[3]) <= height)
        << where << ": " << what << " lies outside its " << width << " x " << height << " window";
    if (b.contains("patcher")) check_layout(b["patcher"], where + "/" + b.value("text", ""));
  }
  for (std::size_t i = 0; i < rects.size(); ++i)
    for (std::size_t j = i + 1; j < rects.size(); ++j) {
      const Rect &a = rects[i], &b = rects[j];
      const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
      EXPECT_TRUE(apart) << where << ": " << a.what << " and " << b.what << " overlap";
    }
}

TEST_P(HelpPatch, TabsAsMaxHelpsHaveThemAndBoxesApartInsideTheirWindows) {
  const json doc = json::parse(zrt::slurp(source_file(GetParam().file)));
  const json& root = doc["patcher"];
  check_layout(root, GetParam().file);
  if (!GetParam().object) return;
  EXPECT_EQ(root.value("showrootpatcherontab", 1), 0);
  std::vector<std::string> tabs;
  for (const auto& entry : root["boxes"]) {
    const json& b = entry["box"];
    ASSERT_TRUE(b.contains("patcher")) << "the top level holds only the tabs";
    EXPECT_EQ(b["patcher"].value("showontab", 0), 1);
    tabs.push_back(b.value("text", ""));
    // Each tab opens with the object's name.
    EXPECT_EQ(b["patcher"]["boxes"][0]["box"].value("text", ""), GetParam().object);
  }
  EXPECT_EQ(tabs.back(), "p ?");
}

INSTANTIATE_TEST_SUITE_P(HelpPatches, HelpPatch, ::testing::ValuesIn(kHelps),
                         [](const ::testing::TestParamInfo<Help>& p) {
                           std::string n = fs::path(p.param.file).stem().string();
                           for (char& c : n)
                             if (c == '.' || c == '-') c = '_';
                           return n;
                         });

// --render draws each tab a user sees, its windows showing what they show:
// the label tab's third window holds the blobs in colours.
class HelpRender : public zrt::TempDirTest {};

TEST_F(HelpRender, DrawsEachTabWithWhatItsWindowsShow) {
  cv::Mat scene(240, 320, CV_8UC3, cv::Scalar(20, 20, 20));
  cv::circle(scene, {80, 120}, 30, cv::Scalar(240, 240, 240), cv::FILLED);
  cv::rectangle(scene, {200, 60}, {260, 200}, cv::Scalar(240, 240, 240), cv::FILLED);
  ASSERT_TRUE(cv::imwrite(path("frame.ppm"), scene));
  const zrt::Result r = zelk({"run", "--quiet", "--render", path("pics"), "--input", path("frame.ppm"),
                              source_file("help/zelk.label.maxhelp")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(path("pics/f0000_tab_main.png")));  // the top level stays off the tabs
  EXPECT_TRUE(fs::exists(path("pics/f0000_tab_modes.png")));
  EXPECT_TRUE(fs::exists(path("pics/f0000_tab_?.png")));
  const cv::Mat tab = cv::imread(path("pics/f0000_tab_basic.png"));
  ASSERT_FALSE(tab.empty());
  // The window of labels: two blobs in two colours, on black.
  const cv::Mat labels = tab(cv::Rect(590, 400, 270, 202));
  std::set<std::tuple<int, int, int>> colours;
  for (int y = 0; y < labels.rows; y += 3)
    for (int x = 0; x < labels.cols; x += 3) {
      const cv::Vec3b c = labels.at<cv::Vec3b>(y, x);
      if (std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) > 40) colours.insert({c[0], c[1], c[2]});
    }
  EXPECT_GE(colours.size(), 2u);
}

TEST(HelpHome, NamesEveryObjectOnce) {
  zelk::runner::Patch p;
  std::string why;
  ASSERT_TRUE(zelk::runner::read_patch(source_file("help/zelk-home.maxpat"), &p, &why)) << why;
  std::set<std::string> named;
  for (const auto& b : p.boxes)
    if (b.text.rfind("zelk.", 0) == 0 && b.text.find(' ') == std::string::npos) named.insert(b.text);
  std::set<std::string> want;
  for (const Help& h : kHelps)
    if (h.object) want.insert(h.object);
  EXPECT_EQ(named, want);
}

}  // namespace
