// The zelk runner as a process: its command line, JSON lines, saved
// matrices and exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_support.h"

namespace {

using zrt::npy;
using zrt::npy_dict;
using zrt::Result;

// Four blobs: labels 1..4 in raster order of their first cell, areas 4, 2, 2, 5.
const std::vector<std::string> kScene = {
    "##..#.",
    "##..#.",
    "......",
    "#.###.",
    "#...##",
};
const std::vector<int> kLabels = {
    1, 1, 0, 0, 2, 0,
    1, 1, 0, 0, 2, 0,
    0, 0, 0, 0, 0, 0,
    3, 0, 4, 4, 4, 0,
    3, 0, 0, 0, 4, 4,
};

// The header NumPy writes for an array, padded so data starts 64-aligned.
std::string numpy_header(const std::string& descr, const std::string& shape) {
  return npy(npy_dict(descr, shape), "");
}

// Cells of a saved .npy file of 4-byte or 1-byte integers, after checking
// that its header is exactly the one NumPy would write.
std::vector<int> saved_cells(const std::string& file, const std::string& descr, const std::string& shape) {
  const std::string bytes = zrt::slurp(file);
  const std::string header = numpy_header(descr, shape);
  EXPECT_EQ(bytes.substr(0, header.size()), header) << file;
  std::vector<int> v;
  const std::size_t width = descr == "<i4" ? 4 : 1;
  for (std::size_t i = header.size(); i + width <= bytes.size(); i += width) {
    int32_t x = 0;
    if (width == 4) std::memcpy(&x, bytes.data() + i, 4);
    else x = static_cast<unsigned char>(bytes[i]);
    v.push_back(x);
  }
  return v;
}

std::string matrix_line(int frame, int box, const std::string& type, const std::string& dim,
                        const std::string& file = "", long planecount = 1) {
  std::string s = "{\"frame\":" + std::to_string(frame) + ",\"box\":" + std::to_string(box) +
                  ",\"object\":\"zelk.label\",\"event\":\"matrix\",\"outlet\":0,\"type\":\"" + type +
                  "\",\"planecount\":" + std::to_string(planecount) + ",\"dim\":[" + dim + "]";
  if (!file.empty()) s += ",\"file\":\"" + file + "\"";
  return s + "}";
}

std::string error_line(int frame, const std::string& code, int box = 0) {
  return "{\"frame\":" + std::to_string(frame) + ",\"box\":" + std::to_string(box) + ",\"object\":\"zelk.label\",\"event\":\"error\",\"code\":\"" + code + "\"}";
}

class Runner : public zrt::TempDirTest {};

TEST_F(Runner, HelpDescribesTheCommands) {
  Result top = zelk({"--help"});
  EXPECT_EQ(top.status, 0);
  EXPECT_NE(top.out.find("zelk run"), std::string::npos);
  Result run = zelk({"run", "--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* word : {"--input", "--send", "--save", "--plugins", "last axis", "ARGB", "JSON",
                           "Exit status"})
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  EXPECT_EQ(zelk({}).status, 2);
  Result bad = zelk({"frobnicate"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("frobnicate"), std::string::npos);
}

TEST_F(Runner, LabelsAPngAndSavesTheLabelImage) {
  const std::string in = png("scene.png", kScene);
  const std::string out = path("out");  // made by the runner
  Result r = zelk({"run", "--save", out, "--input", in, "--", "zelk.label @charmode 1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string file = out + "/f0000_b0_zelk.label.npy";
  EXPECT_EQ(r.lines(), std::vector<std::string>{matrix_line(0, 0, "char", "6,5", file)});
  EXPECT_EQ(saved_cells(file, "|u1", "(5, 6, 1)"), kLabels);
}

TEST_F(Runner, SendBetweenFramesChangesTheSecondResult) {
  const std::string in = pgm("scene.pgm", kScene);
  const std::string out = path("out");
  Result r = zelk({"run", "--save", out + "/", "--input", in, "--send", "0 threshold 2", "--input", in,
                   "--", "zelk.label @charmode 1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{matrix_line(0, 0, "char", "6,5", out + "/f0000_b0_zelk.label.npy"),
                                                 matrix_line(1, 0, "char", "6,5", out + "/f0001_b0_zelk.label.npy")}));
  EXPECT_EQ(saved_cells(out + "/f0000_b0_zelk.label.npy", "|u1", "(5, 6, 1)"), kLabels);
  // Blobs of area 2 or less are gone; the rest are renumbered.
  std::vector<int> kept = kLabels;
  for (int& v : kept) v = v == 1 ? 1 : v == 4 ? 2 : 0;
  EXPECT_EQ(saved_cells(out + "/f0001_b0_zelk.label.npy", "|u1", "(5, 6, 1)"), kept);
}

TEST_F(Runner, StepsRunInOrderAndChainsRunDepthFirst) {
  const std::string in = pgm("scene.pgm", kScene);
  const std::string out = path("out");
  Result r = zelk({"run", "--save", out, "--send", "0 charmode 1", "--input", in, "--send", "0 charmode 0",
                   "--input", in, "--", "zelk.label @charmode 0", "zelk.label"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{
                           matrix_line(0, 0, "char", "6,5", out + "/f0000_b0_zelk.label.npy"),
                           matrix_line(0, 1, "long", "6,5", out + "/f0000_b1_zelk.label.npy"),
                           matrix_line(1, 0, "long", "6,5", out + "/f0001_b0_zelk.label.npy"),
                           error_line(1, "MSTP", 1),  // a long label image is not a binary image
                       }));
  // The second box labels the first one's label image: the same blobs.
  EXPECT_EQ(saved_cells(out + "/f0000_b1_zelk.label.npy", "<i4", "(5, 6, 1)"), kLabels);
  EXPECT_EQ(saved_cells(out + "/f0001_b0_zelk.label.npy", "<i4", "(5, 6, 1)"), kLabels);
}

TEST_F(Runner, NpyFramesMapDtypesAndAxes) {
  std::string cells(30, '\0');
  for (int i = 0; i < 30; ++i) cells[i] = kLabels[i] ? '\x80' : '\0';
  zrt::spit(path("u1.npy"), npy(npy_dict("|u1", "(5, 6, 1)"), cells));
  zrt::spit(path("i4.npy"), npy(npy_dict("<i4", "(5, 6, 1)"), std::string(120, '\0')));
  zrt::spit(path("i4be.npy"), npy(npy_dict(">i4", "(5, 6, 1)"), std::string(120, '\0')));
  zrt::spit(path("f4.npy"), npy(npy_dict("<f4", "(5, 6, 1)"), std::string(120, '\0')));
  zrt::spit(path("f8.npy"), npy(npy_dict("<f8", "(5, 6, 1)"), std::string(240, '\0')));
  zrt::spit(path("planes.npy"), npy(npy_dict("|u1", "(5, 6, 2)"), std::string(60, '\0')));
  zrt::spit(path("flat.npy"), npy(npy_dict("|u1", "(30,)"), cells));
  zrt::spit(path("cube.npy"), npy(npy_dict("|u1", "(2, 5, 6, 1)"), cells + cells));
  zrt::spit(path("v2.npy"), npy(npy_dict("|u1", "(6, 5, 1)"), cells, 2));
  std::vector<std::string> args{"run"};
  for (const char* f : {"u1", "i4", "i4be", "f4", "f8", "planes", "flat", "cube", "v2"}) {
    args.push_back("--input");
    args.push_back(path(std::string(f) + ".npy"));
  }
  args.push_back("--");
  args.push_back("zelk.label");
  Result r = zelk(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{
                           matrix_line(0, 0, "long", "6,5"), error_line(1, "MSTP"), error_line(2, "MSTP"),
                           error_line(3, "MSTP"), error_line(4, "MSTP"), error_line(5, "MSPL"),
                           error_line(6, "MSDM"), error_line(7, "MSDM"), matrix_line(8, 0, "long", "5,6")}));
}

struct BadFile {
  const char* name;
  std::string bytes;
  const char* fault;
};

TEST_F(Runner, BadFramesAreRefusedBeforeAnythingRuns) {
  const std::string good = pgm("good.pgm", kScene);
  std::string real_png = zrt::slurp(png("real.png", kScene));
  std::string shape34 = "(";
  for (int i = 0; i < 34; ++i) shape34 += "1, ";
  shape34 += ")";
  std::string long_header = npy(npy_dict("|u1", "(1, 1)"), "x");
  long_header[8] = '\xff';  // header length past the end of the file
  long_header[9] = '\x7f';
  const std::vector<BadFile> cases = {
      {"truncated.npy", npy(npy_dict("|u1", "(5, 6, 1)"), std::string(10, '\0')), "truncated"},
      {"short.npy", std::string("\x93NUMPY\x01", 7), "truncated"},
      {"nomagic.npy", "hello, world", "not a .npy file"},
      {"header.npy", npy("{'descr': '|u1', 'fortran_order': False, 'shape': (5, 6, 1)", std::string(30, '\0')), "corrupt header"},
      {"headerlen.npy", long_header, "truncated"},
      {"trailing.npy", npy(npy_dict("|u1", "(5, 6, 1)"), std::string(31, '\0')), "corrupt"},
      {"overflow.npy", npy(npy_dict("|u1", "(4611686018427387904, 4, 1)"), "x"), "truncated"},
      {"dtype.npy", npy(npy_dict("<i8", "(5, 6, 1)"), std::string(240, '\0')), "unsupported dtype '<i8'"},
      {"fortran.npy", npy(npy_dict("|u1", "(5, 6, 1)", "True"), std::string(30, '\0')), "Fortran order"},
      {"empty.npy", npy(npy_dict("|u1", "(0, 6, 1)"), ""), "axis of length 0"},
      {"dims.npy", npy(npy_dict("|u1", shape34), "x"), "more than 32 dimensions"},
      {"planes.npy", npy(npy_dict("|u1", "(1, 33)"), std::string(33, '\0')), "more than 32 planes"},
      {"scalar.npy", npy(npy_dict("|u1", "()"), "x"), "0-dimensional"},
      {"text.png", "not an image at all", "not a PNG file"},
      {"cut.png", real_png.substr(0, real_png.size() / 2), "PNG file"},
      {"p6.pgm", "P6\n1 1\n255\nabc", "not a PGM file"},
      {"cut.pgm", "P5\n4 4\n255\nab", "truncated PGM"},
      {"cut.ppm", "P6\n4 4\n255\nabcdef", "truncated PPM"},
      {"frame.txt", "1 2 3", "unsupported file type"},
  };
  for (const auto& c : cases) {
    zrt::spit(path(c.name), c.bytes);
    Result r = zelk({"run", "--input", good, "--input", path(c.name), "--", "zelk.label"});
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.out, "") << c.name << ": nothing may run";
    EXPECT_NE(r.err.find(path(c.name)), std::string::npos) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.fault), std::string::npos) << c.name << ": " << r.err;
  }
  Result missing = zelk({"run", "--input", path("missing.npy"), "--", "zelk.label"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("missing.npy: cannot open"), std::string::npos) << missing.err;
}

struct BadRun {
  std::vector<std::string> args;
  const char* fault;
};

TEST_F(Runner, BadBoxesSendsAndOptionsExitWithStatus2) {
  const std::string in = pgm("scene.pgm", kScene);
  zrt::spit(path("afile"), "x");
  const std::vector<BadRun> cases = {
      {{"--input", in, "--", "zelk.nothing"}, "unknown object zelk.nothing"},
      {{"--input", in, "--", "zelk.label", "zelk.nothing @mode 1"}, "box 1 'zelk.nothing @mode 1'"},
      {{"--input", in, "--", "zelk.label @"}, "malformed argument '@'"},
      {{"--input", in, "--", "zelk.label @charmode"}, "malformed argument '@charmode'"},
      {{"--input", in, "--", "zelk.label @charmode @mode 1"}, "malformed argument '@charmode'"},
      {{"--input", in, "--", "zelk.label @nosuch 1"}, "no attribute 'nosuch'"},
      {{"--input", in, "--", ""}, "no object name"},
      {{"--send", "1 reset", "--input", in, "--", "zelk.label"}, "there is no box 1"},
      {{"--send", "0 frobnicate 3", "--input", in, "--", "zelk.label"}, "frobnicate"},
      // Values are checked before the first frame runs, not when their step comes.
      {{"--input", in, "--send", "0 mode foo", "--", "zelk.label"}, "cannot take 'foo'"},
      {{"--input", in, "--send", "0 outputmode", "--", "zelk.label"}, "needs a value"},
      {{"--input", in, "--send", "0 type banana", "--", "zelk.label"}, "cannot take 'banana'"},
      {{"--input", in, "--send", "0 dim 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 "
                                 "27 28 29 30 31 32 33", "--", "zelk.label"}, "at most 32 values"},
      {{"--input", in, "--send", "0 in_dim 3", "--", "zelk.label"}, "cannot be set"},
      // ... and what the host would refuse only then: a size past its largest
      // block at the box's cells (after a message that changes them), a name
      // another box holds.
      {{"--input", in, "--send", "0 dim 200000 200000", "--", "zelk.label"}, "more than the host can hold"},
      {{"--input", in, "--send", "0 type float64", "--send", "0 dim 40000 40000", "--", "zelk.ravg"},
       "more than the host can hold"},
      {{"--input", in, "--send", "1 out_name runner_taken", "--", "zelk.label @out_name runner_taken", "zelk.ravg"},
       "is another box's"},
      {{"--input", in, "--send", "0 out_name runner_twice", "--input", in, "--send", "1 out_name runner_twice",
        "--", "zelk.label", "zelk.ravg"},
       "is another box's"},
      {{"--input", in, "--", "zelk.label @charmode x"}, "cannot take 'x'"},
      {{"--input", in, "--", "zelk.label @outputmode 1 2"}, "one value"},
      {{"--input", in, "--", "zelk.label 1 banana 4"}, "malformed argument 'banana'"},
      {{"--send", "x reset", "--input", in, "--", "zelk.label"}, "expected a box number"},
      {{"--send", "0", "--input", in, "--", "zelk.label"}, "no message"},
      {{"--input", in, "zelk.label"}, "unknown argument 'zelk.label'"},
      {{"--input", in, "--"}, "no boxes"},
      {{"--input"}, "--input needs a value"},
      {{"--frames", "3", "--", "zelk.label"}, "unknown argument '--frames'"},
      {{"--plugins", path("nowhere"), "--", "zelk.label"}, "not a folder"},
      {{"--plugins", dir_.string(), "--", "zelk.label"}, "unknown object zelk.label"},
      {{"--save", path("afile"), "--input", in, "--", "zelk.label"}, "--save"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Result r = zelk(args);
    EXPECT_EQ(r.status, 2) << c.fault;
    EXPECT_EQ(r.out, "") << c.fault;
    EXPECT_NE(r.err.find(c.fault), std::string::npos) << c.fault << ": " << r.err;
  }
}

TEST_F(Runner, ImagesBecomeOneOrFourPlanes) {
  cv::Mat grey(3, 4, CV_8UC1, cv::Scalar(0));
  cv::Mat colour(3, 4, CV_8UC3, cv::Scalar(0, 0, 0));
  ASSERT_TRUE(cv::imwrite(path("grey.pgm"), grey));
  ASSERT_TRUE(cv::imwrite(path("colour.ppm"), colour));
  ASSERT_TRUE(cv::imwrite(path("colour.png"), colour));
  Result r = zelk({"run", "--input", path("grey.pgm"), "--input", path("colour.ppm"), "--input",
                   path("colour.png"), "--", "zelk.label"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines(), (std::vector<std::string>{matrix_line(0, 0, "long", "4,3"), error_line(1, "MSPL"),
                                                 error_line(2, "MSPL")}));
}

TEST_F(Runner, ListsConsoleLinesAndBangsAreEventsAndSavesNeverOverwrite) {
  const std::string in = pgm("scene.pgm", kScene);
  const std::string out = path("out");
  Result mass = zelk({"run", "--input", in, "--send", "0 bang", "--", "zelk.mass"});
  ASSERT_EQ(mass.status, 0) << mass.err;
  const std::string line = R"("box":0,"object":"zelk.mass","event":"outlet","outlet":0,"selector":"float","atoms":[13]})";
  EXPECT_EQ(mass.lines(), (std::vector<std::string>{"{\"frame\":0," + line, "{\"frame\":1," + line}));

  Result wrong = zelk({"run", "--input", in, "--", "zelk.blobs.orientation"});
  ASSERT_EQ(wrong.status, 0) << wrong.err;
  ASSERT_FALSE(wrong.lines().empty());
  EXPECT_EQ(wrong.lines()[0],
            R"({"frame":0,"box":0,"object":"zelk.blobs.orientation","event":"console","text":"Make sure object is connected to leftmost outlet of zelk.blobs.moments!"})");

  // A bang resends the last matrix outside any frame: it takes the next
  // frame's number, and that frame's own matrix must not overwrite it.
  Result bang = zelk({"run", "--save", out, "--input", in, "--send", "0 bang", "--input", in, "--",
                      "zelk.label @charmode 1"});
  ASSERT_EQ(bang.status, 0) << bang.err;
  EXPECT_EQ(bang.lines(), (std::vector<std::string>{matrix_line(0, 0, "char", "6,5", out + "/f0000_b0_zelk.label.npy"),
                                                    matrix_line(1, 0, "char", "6,5", out + "/f0001_b0_zelk.label.npy"),
                                                    matrix_line(1, 0, "char", "6,5", out + "/f0001_b0_zelk.label_2.npy")}));
  for (const char* f : {"f0000_b0_zelk.label.npy", "f0001_b0_zelk.label.npy", "f0001_b0_zelk.label_2.npy"})
    EXPECT_EQ(saved_cells(out + "/" + f, "|u1", "(5, 6, 1)"), kLabels) << f;
}

// The wrapper's attributes as box arguments and --send steps; in a chain a
// list object's numbers do not reach the next box.
TEST_F(Runner, WrapperAttributesAndOnlyMatricesAlongAChain) {
  const std::string in = pgm("scene.pgm", kScene);
  Result r = zelk({"run", "--input", in, "--send", "0 getoutputmode", "--send", "0 outputmode 1", "--send",
                   "0 bang", "--", "zelk.sum @outputmode 0", "zelk.label"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string sum = R"({"frame":1,"box":0,"object":"zelk.sum","event":"outlet",)";
  EXPECT_EQ(r.lines(), (std::vector<std::string>{sum + R"("outlet":1,"selector":"outputmode","atoms":[0]})",
                                                 sum + R"("outlet":0,"selector":"float","atoms":[3315]})"}));
  Result fixed = zelk({"run", "--input", in, "--", "zelk.label @adapt 0 @dim 4 3 @planecount 1"});
  ASSERT_EQ(fixed.status, 0) << fixed.err;
  EXPECT_EQ(fixed.lines(), (std::vector<std::string>{matrix_line(0, 0, "long", "4,3")}));
}

}  // namespace
