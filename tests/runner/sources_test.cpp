// Frame sources: folders of frames, videos decoded by OpenCV, and the grey
// and threshold conversions for camera-like input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "runner_support.h"
#include "tools/zelk/frames.h"
#include "tools/zelk/movie.h"
#include "tools/zelk/sources.h"

namespace {

using zelk::runner::Array;
using zelk::runner::FrameFilter;

Array cells(frame::CellType type, long planes, std::vector<long> dims, const std::vector<double>& values) {
  Array a;
  a.type = type;
  a.planecount = planes;
  a.dims = std::move(dims);
  a.data.resize(a.cell_count() * a.cell_bytes());
  frame::dispatch_type(type, [&](auto zero) {
    using T = decltype(zero);
    for (std::size_t i = 0; i < values.size(); ++i) reinterpret_cast<T*>(a.data.data())[i] = static_cast<T>(values[i]);
  });
  return a;
}

TEST(FrameFilter, GreyWeighsColourPlanesAndThresholdGivesBinaryChar) {
  // ARGB cells: alpha is ignored, then red, green, blue.
  Array argb = cells(frame::CellType::Char, 4, {3}, {255, 255, 0, 0, 7, 0, 255, 0, 0, 0, 0, 255});
  FrameFilter grey;
  grey.grey = true;
  zelk::runner::apply_filter(grey, &argb);
  ASSERT_EQ(argb.planecount, 1);
  EXPECT_EQ(static_cast<int>(argb.data[0]), 76);   // 0.299 * 255
  EXPECT_EQ(static_cast<int>(argb.data[1]), 150);  // 0.587 * 255
  EXPECT_EQ(static_cast<int>(argb.data[2]), 29);   // 0.114 * 255

  // Three-plane float cells are RGB; the threshold makes a char image of 0 and 255.
  Array rgb = cells(frame::CellType::Float32, 3, {2, 1}, {100, 100, 100, 10, 10, 10});
  FrameFilter binary;
  binary.binary = true;
  binary.threshold = 50;
  zelk::runner::apply_filter(binary, &rgb);
  EXPECT_EQ(rgb.type, frame::CellType::Char);
  EXPECT_EQ(rgb.planecount, 1);
  ASSERT_EQ(rgb.data.size(), 2u);
  EXPECT_EQ(static_cast<int>(rgb.data[0]), 255);
  EXPECT_EQ(static_cast<int>(rgb.data[1]), 0);

  // A value equal to the threshold is not above it; one-plane frames keep their values.
  Array one = cells(frame::CellType::Long, 1, {3}, {50, 51, -4});
  zelk::runner::apply_filter(binary, &one);
  EXPECT_EQ(std::vector<int>({static_cast<int>(one.data[0]), static_cast<int>(one.data[1]), static_cast<int>(one.data[2])}),
            (std::vector<int>{0, 255, 0}));
}

class Sources : public zrt::TempDirTest {
 protected:
  // A w x h colour frame, black but for a white disc.
  cv::Mat disc_frame(int w, int h, cv::Point centre, int radius) const {
    cv::Mat m(h, w, CV_8UC3, cv::Scalar(0, 0, 0));
    cv::circle(m, centre, radius, cv::Scalar(255, 255, 255), cv::FILLED);
    return m;
  }
  // The (x, y) centroids zelk.blobs.centroids reported, frame by frame, read from --save.
  std::vector<std::vector<float>> saved_centroids(const std::string& out, int frames) const {
    std::vector<std::vector<float>> all;
    for (int f = 0; f < frames; ++f) {
      char name[64];
      std::snprintf(name, sizeof name, "/f%04d_b1_zelk.blobs.centroids.npy", f);
      Array a;
      std::string why;
      EXPECT_TRUE(zelk::runner::read_frame_file(out + name, &a, &why)) << why;
      const float* c = reinterpret_cast<const float*>(a.data.data());
      all.emplace_back(c, c + a.cell_count() * 3);
    }
    return all;
  }
};

TEST_F(Sources, AFolderRunsItsFramesInNameOrder) {
  zrt::fs::create_directories(path("frames"));
  // Out of order on purpose, with a file that is no frame, which is skipped.
  pgm("frames/b.pgm", {"....", ".##.", "...."});
  pgm("frames/a.pgm", {"#...", "....", "...#"});
  zrt::spit(path("frames/notes.txt"), "not a frame");
  zrt::spit(path("frames/c.npy"), zrt::npy(zrt::npy_dict("|u1", "(1, 3, 1)"), std::string("\x01\x00\x01", 3)));
  const std::string out = path("out");
  zrt::Result r = zelk({"run", "--quiet", "--save", out, "--input", path("frames"), "--", "zelk.label @charmode 1", "zelk.blobs.centroids"});
  ASSERT_EQ(r.status, 0) << r.err;
  // a.pgm: two single cells; b.pgm: one block of two; c.npy: two cells.
  const auto c = saved_centroids(out, 3);
  EXPECT_EQ(c[0], (std::vector<float>{0, 0, 1, 3, 2, 1}));
  EXPECT_EQ(c[1], (std::vector<float>{1.5f, 1, 2}));
  EXPECT_EQ(c[2], (std::vector<float>{0, 0, 1, 2, 0, 1}));
}

TEST_F(Sources, AFolderWithADamagedFileStopsBeforeAnythingRuns) {
  zrt::fs::create_directories(path("frames"));
  pgm("frames/a.pgm", {"#..", "..."});
  zrt::spit(path("frames/b.png"), "\x89PNG\r\n\x1a\n broken");
  zrt::Result r = zelk({"run", "--input", path("frames"), "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("frames/b.png"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  zrt::fs::create_directories(path("empty"));
  r = zelk({"run", "--input", path("empty"), "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("holds no frame files"), std::string::npos) << r.err;
}

TEST_F(Sources, AVideoIsThresholdedAndItsDiscIsFollowed) {
  const std::string video = path("clip.avi");
  {
    cv::VideoWriter w(video, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10, cv::Size(64, 48), true);
    ASSERT_TRUE(w.isOpened()) << "OpenCV cannot write MJPG here";
    for (int f = 0; f < 6; ++f) w.write(disc_frame(64, 48, cv::Point(12 + 6 * f, 24), 6));
  }
  const std::string out = path("out");
  zrt::Result r = zelk({"run", "--quiet", "--threshold", "128", "--save", out, "--input", video, "--",
                        "zelk.label @charmode 1", "zelk.blobs.centroids"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto c = saved_centroids(out, 6);
  for (int f = 0; f < 6; ++f) {
    // One blob per frame, where the disc was drawn (JPEG blurs its edge a little).
    ASSERT_EQ(c[f].size(), 3u) << "frame " << f;
    EXPECT_NEAR(c[f][0], 12 + 6 * f, 0.5) << "frame " << f;
    EXPECT_NEAR(c[f][1], 24, 0.5) << "frame " << f;
    EXPECT_NEAR(c[f][2], M_PI * 36, 20) << "frame " << f;
  }
  EXPECT_FALSE(zrt::fs::exists(out + "/f0006_b1_zelk.blobs.centroids.npy"));
  // Without --threshold the frames arrive in colour, and zelk.label refuses four planes.
  r = zelk({"run", "--input", video, "--", "zelk.label"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"code\":\"MSPL\""), std::string::npos) << r.out;
}

TEST_F(Sources, ADamagedVideoFailsClearly) {
  const std::string video = path("broken.mp4");
  zrt::spit(video, std::string("\x00\x00\x00\x18" "ftypmp42", 12) + std::string(200, '\x07'));
  zrt::Result r = zelk({"run", "--input", video, "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("broken.mp4: damaged or unsupported video"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  r = zelk({"run", "--input", path("nothing.avi"), "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("nothing.avi: cannot open it"), std::string::npos) << r.err;
  r = zelk({"run", "--threshold", "bright", "--input", video, "--", "zelk.label"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--threshold needs a number"), std::string::npos) << r.err;
}

// The movie writer against FFmpeg (through OpenCV) as an independent reader:
// the same frames, the same size and pictures, and our reader's decoder
// within a JPEG decoder's rounding of FFmpeg's.
TEST_F(Sources, APhotoJpegMovieReadsAsFfmpegReadsIt) {
  std::vector<Array> frames;
  for (int f = 0; f < 5; ++f) {
    Array a = cells(frame::CellType::Char, 4, {48, 32}, {});
    auto* p = reinterpret_cast<unsigned char*>(a.data.data());
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x, p += 4)
        p[0] = 255, p[1] = static_cast<unsigned char>(5 * x), p[2] = static_cast<unsigned char>(7 * y + 20 * f),
        p[3] = (x / 8 + y / 8) % 2 ? 200 : 30;
    frames.push_back(std::move(a));
  }
  const std::string movie = path("clip.mov");
  std::string why;
  ASSERT_TRUE(zelk::runner::write_jpeg_movie(movie, frames, 30, 95, &why)) << why;
  auto ours = zelk::runner::FrameSource::open(movie, &why);
  ASSERT_TRUE(ours) << why;
  EXPECT_EQ(ours->remaining(), 5);
  cv::VideoCapture ffmpeg(movie, cv::CAP_FFMPEG);
  ASSERT_TRUE(ffmpeg.isOpened());
  EXPECT_EQ(ffmpeg.get(cv::CAP_PROP_FRAME_COUNT), 5);
  EXPECT_NEAR(ffmpeg.get(cv::CAP_PROP_FPS), 30, 1e-9);
  for (int f = 0; f < 5; ++f) {
    Array a;
    cv::Mat bgr;
    ASSERT_TRUE(ours->next(&a, &why)) << why;
    ASSERT_TRUE(ffmpeg.read(bgr));
    ASSERT_EQ(a.dims, (std::vector<long>{48, 32}));
    ASSERT_EQ(bgr.cols, 48);
    ASSERT_EQ(bgr.rows, 32);
    const auto* ar = reinterpret_cast<const unsigned char*>(a.data.data());
    const auto* in = reinterpret_cast<const unsigned char*>(frames[f].data.data());
    int worst_decoders = 0;
    double off_source = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x)
        for (int c = 0; c < 3; ++c) {
          const int i = 4 * (48 * y + x);
          EXPECT_EQ(ar[i], 255);
          worst_decoders = std::max(worst_decoders, std::abs(ar[i + 1 + c] - bgr.at<cv::Vec3b>(y, x)[2 - c]));
          off_source += std::abs(ar[i + 1 + c] - in[i + 1 + c]);
        }
    EXPECT_LE(worst_decoders, 12) << "frame " << f;
    EXPECT_LT(off_source / (48 * 32 * 3), 4.0) << "frame " << f;
  }
  Array a;
  EXPECT_FALSE(ours->next(&a, &why));
  EXPECT_TRUE(why.empty()) << why;
}

// Damage anywhere is reported with the file's name, never read past.
TEST_F(Sources, ADamagedPhotoJpegMovieFailsClearly) {
  std::vector<Array> frames(2, cells(frame::CellType::Char, 1, {16, 8}, std::vector<double>(128, 90)));
  const std::string good = path("good.mov");
  std::string why;
  ASSERT_TRUE(zelk::runner::write_jpeg_movie(good, frames, 10, 80, &why)) << why;
  const std::string bytes = zrt::slurp(good);
  const std::size_t stco = bytes.find("stco"), jpeg = bytes.find("\xFF\xD8");
  ASSERT_NE(stco, std::string::npos);
  struct Damage {
    const char* name;
    std::string bytes;
    const char* says;
  };
  std::string far_offset = bytes, bad_image = bytes, few_chunks = bytes;
  far_offset[stco + 12] = '\x7F';  // the first frame's offset, past the end
  bad_image.replace(jpeg + 2, 40, std::string(40, '\x00'));
  few_chunks[stco + 11] = 1;  // two frames, one chunk of one
  const Damage damages[] = {
      {"far.mov", far_offset, "far.mov: damaged movie (a frame lies past the end of the file)"},
      {"image.mov", bad_image, "image.mov: frame 0: damaged JPEG image"},
      {"few.mov", few_chunks, "few.mov: damaged movie (fewer chunks than frames)"},
      {"cut.mov", bytes.substr(0, bytes.size() - 9), "cut.mov: damaged movie (the file is cut short)"},
  };
  for (const Damage& d : damages) {
    zrt::spit(path(d.name), d.bytes);
    const zrt::Result r = zelk({"run", "--quiet", "--input", path(d.name), "--", "zelk.sum"});
    EXPECT_EQ(r.status, 2) << d.name;
    EXPECT_NE(r.err.find(d.says), std::string::npos) << r.err;
  }
}

}  // namespace
