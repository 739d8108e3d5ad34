// zelk demo: a generated scene of moving, turning, appearing and vanishing
// shapes and two straight bars, run through the demo patch (the blob road,
// the line road and a running average), written out as pictures and tables.
#include "tools/zelk/demo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "tools/zelk/graph.h"
#include "tools/zelk/movie.h"
#include "tools/zelk/patch.h"
#include "tools/zelk/picture.h"
#include "tools/zelk/plugins.h"
#include "tools/zelk/progress.h"
#include "tools/zelk/run.h"
#include "tools/zelk/scene.h"
#include "tools/zelk/session.h"

namespace zelk::runner {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char kDemoHelp[] =
    "usage: zelk demo [--out DIR] [--frames N] [--quiet] [--plugins DIR]\n"
    "\n"
    "Runs a generated scene (640 x 480, moving, turning, appearing and vanishing\n"
    "shapes and two straight bars) through the demo patch, which uses the blob road\n"
    "(zelk.label, zelk.blobs.moments, orientation, direction, elongation, centroids,\n"
    "bounds and sort), the line road (zelk.binedge, zelk.hough, zelk.extrema) and\n"
    "zelk.ravg, and writes into DIR (default zelk-demo):\n"
    "  frames/fNNNN.png   every frame annotated: each blob's box in the colour of its\n"
    "                     identifier, its centroid and orientation axis, the lines found,\n"
    "                     the running average as a blue wake\n"
    "  contact-sheet.png  twelve of them at a glance\n"
    "  blobs.csv          per frame and blob: identifier, centroid, area, angles, elongation\n"
    "  lines.csv          per frame: the lines found (rho, theta)\n"
    "  scene/fNNNN.png    the binary frames, and demo.maxpat, the patch itself, so that\n"
    "                     zelk run --input DIR/scene DIR/demo.maxpat runs it again\n"
    "--frames N           how many frames (default 90, three seconds at 30 fps).\n";

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

std::string number(double v, int decimals) {
  if (!std::isfinite(v)) return "";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

cv::Mat contact_sheet(const std::vector<std::pair<long, cv::Mat>>& frames) {
  constexpr int kCols = 4, kW = 320, kH = 240;
  const int rows = static_cast<int>((frames.size() + kCols - 1) / kCols);
  cv::Mat sheet(std::max(1, rows) * kH, kCols * kW, CV_8UC3, cv::Scalar(32, 32, 32));
  for (std::size_t i = 0; i < frames.size(); ++i) {
    cv::Mat cell = sheet(cv::Rect(static_cast<int>(i % kCols) * kW, static_cast<int>(i / kCols) * kH, kW, kH));
    cv::resize(frames[i].second, cell, cell.size(), 0, 0, cv::INTER_AREA);
    cv::rectangle(cell, cv::Rect(0, 0, kW, kH), cv::Scalar(90, 90, 90), 1);
    cv::putText(cell, "frame " + std::to_string(frames[i].first), cv::Point(8, kH - 10), cv::FONT_HERSHEY_SIMPLEX,
                0.45, cv::Scalar(255, 255, 255), 1, cv::LINE_AA);
  }
  return sheet;
}

struct DemoOptions {
  std::string out = "zelk-demo";
  long frames = kSceneFrames;
  bool quiet = false;
};

int parse(int argc, char** argv, DemoOptions* o) {
  std::vector<std::string> rest;
  if (int rc = plugins_option(argc, argv, &rest, "demo"); rc >= 0) return rc;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& a = rest[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kDemoHelp, stdout);
      return kExitOk;
    }
    if (a == "--quiet" || a == "-q") {
      o->quiet = true;
    } else if (a == "--out" || a == "--frames") {
      if (i + 1 >= rest.size()) return fail("demo: " + a + " needs a value (see zelk demo --help)");
      const std::string v = rest[++i];
      if (a == "--out") {
        o->out = v;
      } else {
        char* end = nullptr;
        const long n = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end || n < 1 || n > 100000)
          return fail("demo: --frames needs a whole number from 1 to 100000");
        o->frames = n;
      }
    } else {
      return fail("demo: unexpected argument '" + a + "' (see zelk demo --help)");
    }
  }
  if (o->out.empty()) return fail("demo: --out needs a folder");
  return -1;
}

}  // namespace

int demo_command(int argc, char** argv) {
  DemoOptions o;
  if (int rc = parse(argc, argv, &o); rc >= 0) return rc;
  const auto start = Clock::now();
  std::string why;
  std::error_code ec;
  for (const char* sub : {"frames", "scene"}) fs::create_directories(fs::path(o.out) / sub, ec);
  if (!is_directory(o.out + "/frames") || !is_directory(o.out + "/scene"))
    return fail("demo: cannot make the folder " + o.out + " (choose another with --out DIR)");
  {
    std::ofstream patch_copy(o.out + "/demo.maxpat", std::ios::binary);
    patch_copy << kDemoPatch;
    if (!patch_copy) return fail("demo: " + o.out + "/demo.maxpat: cannot write it");
  }

  Patch patch;
  if (!parse_patch(kDemoPatch, "the demo patch", &patch, &why)) return fail(why);
  Graph graph;
  if (!graph.build_patch(patch, &why))
    return fail("demo: " + why + " (is the build complete? zelk list shows the plug-ins found)");
  SessionOptions so;
  so.print_events = false;
  so.keep_records = true;
  Session session(graph, so);
  session.report_creation();

  std::ofstream blobs_csv(o.out + "/blobs.csv"), lines_csv(o.out + "/lines.csv");
  blobs_csv << "frame,id,label,x,y,area,orientation_deg,direction_deg,elongation,left,top,right,bottom\n";
  lines_csv << "frame,rho,theta_deg\n";
  std::vector<std::pair<long, cv::Mat>> sheet;
  const long every = std::max(1L, o.frames / 12);
  std::set<int> ids;
  std::size_t fewest = SIZE_MAX, most = 0, line_frames = 0, lines_total = 0;
  double making = 0, drawing = 0;
  std::string failure;
  constexpr double kDeg = 57.29577951308232;
  session.on_frame = [&](long n, const FrameRecord& r) {
    const auto t = Clock::now();
    const std::vector<BlobView> blobs = blobs_of(graph, r);
    const std::vector<LineView> lines = lines_of(graph, r);
    fewest = std::min(fewest, blobs.size());
    most = std::max(most, blobs.size());
    for (const BlobView& b : blobs) {
      if (b.id >= 0) ids.insert(b.id);
      blobs_csv << n << ',' << b.id << ',' << b.label << ',' << number(b.cx, 2) << ',' << number(b.cy, 2) << ','
                << number(b.mass, 0) << ',' << (b.has_angle ? number(b.angle * kDeg, 2) : "") << ','
                << (b.has_direction ? number(b.direction * kDeg, 2) : "") << ','
                << (b.has_elongation ? number(b.elongation, 4) : "") << ',' << b.x0 << ',' << b.y0 << ',' << b.x1
                << ',' << b.y1 << '\n';
    }
    for (const LineView& l : lines) lines_csv << n << ',' << number(l.rho, 1) << ',' << number(l.theta * kDeg, 1) << '\n';
    line_frames += lines.empty() ? 0 : 1;
    lines_total += lines.size();
    char name[32];
    std::snprintf(name, sizeof name, "/f%04ld.png", n);
    cv::Mat annotated = annotate(graph, r);
    if (failure.empty()) write_png(o.out + "/frames" + name, annotated, &failure);
    if (failure.empty()) write_png(o.out + "/scene" + name, mat_view(r.input), &failure);
    if (n % every == 0 && sheet.size() < 12) sheet.emplace_back(n, annotated.clone());
    drawing += since(t);
  };

  Progress progress(!o.quiet, o.frames);
  for (long n = 0; n < o.frames; ++n) {
    const auto t = Clock::now();
    Array frame = scene_frame(static_cast<int>(n));
    making += since(t);
    if (!session.run_frame(frame, &why)) return fail("demo: " + why);
    if (!failure.empty()) return fail("demo: " + failure);
    progress.advance();
  }
  if (!write_png(o.out + "/contact-sheet.png", contact_sheet(sheet), &why)) return fail("demo: " + why);
  blobs_csv.close();
  lines_csv.close();
  if (!blobs_csv || !lines_csv) return fail("demo: cannot write the tables in " + o.out);

  const double total = since(start);
  const Timing& tm = session.timing();
  const double copying = std::max(0.0, tm.runner - drawing);
  auto pct = [&](double v) { return number(100.0 * v / total, 0) + "%"; };
  std::printf("zelk demo: %ld frames of %d x %d through the demo patch's %zu boxes in %.2f s (%.0f frames/s)\n",
              o.frames, kSceneWidth, kSceneHeight, graph.nodes().size(), total, o.frames / total);
  std::printf("  time: objects %.3f s (%s); the runner's own: making frames %.3f s (%s), copying results "
              "%.3f s (%s), drawing and writing %.3f s (%s)\n",
              tm.objects, pct(tm.objects).c_str(), making, pct(making).c_str(), copying, pct(copying).c_str(),
              drawing, pct(drawing).c_str());
  std::printf("  blobs: %zu to %zu per frame, %zu identifiers given by zelk.blobs.sort\n",
              fewest == SIZE_MAX ? 0 : fewest, most, ids.size());
  std::printf("  lines: %zu found in %zu of %ld frames by zelk.hough and zelk.extrema\n", lines_total, line_frames,
              o.frames);
  std::printf("  wrote %s/: frames/ (annotated), contact-sheet.png, blobs.csv, lines.csv, scene/, demo.maxpat\n",
              o.out.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::runner

namespace zelk::runner {

int clip_command(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs(
        "usage: zelk clip FILE.mov\n"
        "\n"
        "Writes the demo scene as a camera would see it: 320 x 240, its shapes in colour\n"
        "on a dark, slightly noisy ground, 90 frames at 30 a second, as a QuickTime\n"
        "movie of Photo-JPEG frames, which Max's jit.movie plays. The package's help\n"
        "patches play it (media/zelk-clip.mov).\n",
        argc == 2 ? stdout : stderr);
    return argc == 2 ? kExitOk : kExitFailure;
  }
  std::vector<Array> frames;
  for (int n = 0; n < kSceneFrames; ++n) frames.push_back(scene_colour_frame(n, 320, 240));
  std::string why;
  if (!write_jpeg_movie(argv[1], frames, 30, 90, &why)) return fail("clip: " + why);
  return kExitOk;
}

}  // namespace zelk::runner
