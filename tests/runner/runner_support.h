// Runs the built zelk binary as a process and makes the files it reads.
// $ZELK_RUNNER, when set, is run instead: any program that takes zelk's
// arguments, such as wine-runner.sh for zelk.exe under Wine.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

extern char** environ;

namespace zrt {

namespace fs = std::filesystem;

struct Result {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  std::string out, err;
  std::vector<std::string> lines() const {
    std::vector<std::string> v;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
  }
};

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void spit(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// A folder of its own for each test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "zelk-runner-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // zelk ARGS..., standard output and error caught in files.
  Result zelk(const std::vector<std::string>& args) const {
    const char* runner = std::getenv("ZELK_RUNNER");
    const std::string bin = runner && *runner ? runner : ZELK_BUILD_DIR "/bin/zelk";
    const std::string out = path(".stdout"), err = path(".stderr");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(bin.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Result r;
    pid_t pid = 0;
    int rc = posix_spawn(&pid, bin.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    EXPECT_EQ(rc, 0) << "cannot start " << bin;
    if (rc != 0) return r;
    int ws = 0;
    waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
  }

  // A one-plane binary PGM from text rows ('#' = 255, '.' = 0): the frame
  // file every build of the runner reads, with OpenCV or without.
  std::string pgm(const std::string& name, const std::vector<std::string>& rows) const {
    std::string f = "P5\n" + std::to_string(rows[0].size()) + " " + std::to_string(rows.size()) + "\n255\n";
    for (const auto& row : rows)
      for (char c : row) f += c == '#' ? '\xff' : '\0';
    spit(path(name), f);
    return path(name);
  }

  // The same as a PNG, which only a runner with OpenCV reads.
  std::string png(const std::string& name, const std::vector<std::string>& rows) const {
    cv::Mat m(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), CV_8UC1);
    for (int y = 0; y < m.rows; ++y)
      for (int x = 0; x < m.cols; ++x) m.at<uint8_t>(y, x) = rows[y][x] == '#' ? 255 : 0;
    EXPECT_TRUE(cv::imwrite(path(name), m));
    return path(name);
  }

  fs::path dir_;
};

// A .npy file written byte by byte from a header dict's text, independent
// of the runner's own writer.
inline std::string npy(const std::string& dict, const std::string& data, int major = 1) {
  std::string header = dict;
  const std::size_t pre = major == 1 ? 10 : 12;
  header.append((64 - (pre + header.size() + 1) % 64) % 64, ' ');
  header += '\n';
  std::string f = "\x93NUMPY";
  f += static_cast<char>(major);
  f += '\0';
  for (std::size_t i = 0; i < pre - 8; ++i) f += static_cast<char>((header.size() >> (8 * i)) & 0xFF);
  return f + header + data;
}

inline std::string npy_dict(const std::string& descr, const std::string& shape,
                            const std::string& fortran = "False") {
  return "{'descr': '" + descr + "', 'fortran_order': " + fortran + ", 'shape': " + shape + ", }";
}

// The twenty objects, sorted by name (as zelk list prints them).
inline const std::vector<std::string> kObjects = {
    "zelk.binedge",          "zelk.blobs.bounds",  "zelk.blobs.centroids", "zelk.blobs.direction",
    "zelk.blobs.elongation", "zelk.blobs.moments", "zelk.blobs.orientation", "zelk.blobs.sort",
    "zelk.centroids",        "zelk.covariance",    "zelk.extrema",         "zelk.floodfill",
    "zelk.hough",            "zelk.label",         "zelk.mass",            "zelk.mean",
    "zelk.moments",          "zelk.ravg",          "zelk.sum",             "zelk.trackpoints",
};

}  // namespace zrt
