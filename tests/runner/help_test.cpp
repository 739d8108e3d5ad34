// zelk list and zelk help as a process: the reference the plug-ins give of
// themselves, and the failures a user can run into.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner_support.h"

namespace {

using zrt::Result;

using zrt::kObjects;

bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// The line of `r` that starts with `prefix`, or "".
std::string line_starting(const Result& r, const std::string& prefix) {
  for (const auto& l : r.lines())
    if (l.rfind(prefix, 0) == 0) return l;
  return "";
}

class Help : public zrt::TempDirTest {};

TEST_F(Help, ListNamesEveryObjectWithAnAlignedLine) {
  Result r = zelk({"list"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = r.lines();
  ASSERT_EQ(lines.size(), kObjects.size()) << r.out;
  std::size_t column = std::string::npos;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    ASSERT_EQ(l.rfind(kObjects[i] + "  ", 0), 0u) << l;  // sorted, then at least two spaces
    const std::size_t text = l.find_first_not_of(' ', kObjects[i].size());
    ASSERT_NE(text, std::string::npos) << "no description: " << l;
    if (column == std::string::npos) column = text;
    EXPECT_EQ(text, column) << "not aligned: " << l;
    EXPECT_FALSE(contains(l, "(no description)")) << l;
  }
}

TEST_F(Help, ListReportsAPlugInThatDoesNotLoad) {
  // Under the name a Linux host looks for and the one a Windows host does.
  zrt::spit(path("zelk.garbage.so"), "not a shared library");
  zrt::spit(path("zelk.garbage.mxe64"), "not a shared library");
  Result r = zelk({"list", "--plugins", dir_.string()});
  EXPECT_EQ(r.status, 2);
  ASSERT_EQ(r.lines().size(), 1u) << r.out;
  EXPECT_EQ(r.lines()[0].rfind("zelk.garbage  ", 0), 0u) << r.out;
  EXPECT_TRUE(contains(r.out, "does not load")) << r.out;
}

TEST_F(Help, ListOfAnEmptyFolderSaysSo) {
  Result r = zelk({"list", "--plugins", dir_.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(contains(r.err, "no objects in " + dir_.string())) << r.err;
  EXPECT_EQ(zelk({"list", "extra"}).status, 2);
}

TEST_F(Help, SumShowsItsPortsWithTheirAssistTexts) {
  Result r = zelk({"help", "zelk.sum"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = r.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("zelk.sum: ", 0), 0u) << lines[0];
  EXPECT_GT(lines[0].size(), std::string("zelk.sum: ").size());
  EXPECT_TRUE(contains(r.out, "Jitter class zelk_sum")) << r.out;
  auto at = [&](const std::string& l) {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == l) return static_cast<long>(i);
    return -1L;
  };
  const long inlets = at("inlets:"), outlets = at("outlets:"), attributes = at("attributes:");
  ASSERT_GE(inlets, 0) << r.out;
  ASSERT_GT(outlets, inlets) << r.out;
  ASSERT_GT(attributes, outlets) << r.out;
  EXPECT_EQ(at("  0  (matrix) in"), inlets + 1) << r.out;
  EXPECT_EQ(at("  0  (list) sum"), outlets + 1) << r.out;
  EXPECT_EQ(at("  1  dumpout"), outlets + 2) << r.out;
  // Its per-plane totals are an output, not something a patch sets.
  EXPECT_TRUE(contains(line_starting(r, "  sum "), "read only")) << r.out;
  const std::string messages = line_starting(r, "messages:");
  EXPECT_TRUE(contains(messages, " jit_matrix")) << messages;
  EXPECT_TRUE(contains(messages, " bang")) << messages;
  EXPECT_FALSE(contains(messages, "description")) << messages;
  EXPECT_FALSE(contains(messages, "assist")) << messages;
}

TEST_F(Help, ListsTheWrappersAttributesAndMessagesApart) {
  Result r = zelk({"help", "zelk.label"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string out = r.out;
  const std::size_t own = out.find("\nattributes:"), wrapper = out.find("\nwrapper attributes");
  ASSERT_NE(own, std::string::npos) << out;
  ASSERT_NE(wrapper, std::string::npos) << out;
  EXPECT_LT(own, wrapper);
  struct Want {
    const char* line;
    const char* note;
  } const wants[] = {{"  outputmode ", "clipped to 0..3"}, {"  adapt ", "default 1"}, {"  dim ", "up to 32 values"},
                     {"  type ", "default char"},       {"  out_name ", "symbol"},  {"  in_dim ", "read only"}};
  for (const Want& w : wants) {
    const std::string line = line_starting(r, w.line);
    EXPECT_TRUE(contains(line, w.note)) << line;
    EXPECT_TRUE(contains(line, "the wrapper's")) << line;
  }
  EXPECT_FALSE(contains(line_starting(r, "  charmode "), "the wrapper's"));
  const std::string messages = line_starting(r, "wrapper messages:");
  for (const char* m : {" clear", " getattributes", " getstate"}) EXPECT_TRUE(contains(messages, m)) << messages;
}

TEST_F(Help, InfoIsTheSameAsHelp) {
  Result help = zelk({"help", "zelk.sum"});
  Result info = zelk({"info", "zelk.sum"});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out, help.out);
}

TEST_F(Help, AttributesShowTypeDefaultClippingAndAccess) {
  Result hough = zelk({"help", "zelk.hough"});
  ASSERT_EQ(hough.status, 0) << hough.err;
  const std::string rho = line_starting(hough, "  rho ");
  EXPECT_TRUE(contains(rho, "float64")) << rho;
  EXPECT_TRUE(contains(rho, "default 4")) << rho;
  EXPECT_FALSE(contains(rho, "default 4.")) << rho;  // the number, not a longer one
  if (contains(rho, "clipped")) {
    EXPECT_TRUE(contains(rho, "clipped to 1..20")) << rho;
  }
  EXPECT_FALSE(contains(rho, "read only")) << rho;

  Result label = zelk({"help", "zelk.label"});
  ASSERT_EQ(label.status, 0) << label.err;
  EXPECT_TRUE(contains(line_starting(label, "  mode "), "clipped to 0..1")) << label.out;
  EXPECT_TRUE(contains(line_starting(label, "  threshold "), "default 0")) << label.out;

  Result fill = zelk({"help", "zelk.floodfill"});
  ASSERT_EQ(fill.status, 0) << fill.err;
  const std::string seed = line_starting(fill, "  seed ");
  EXPECT_TRUE(contains(seed, "up to 2 values")) << seed;
  EXPECT_TRUE(contains(seed, "default 0 0")) << seed;

  Result moments = zelk({"help", "zelk.moments"});
  ASSERT_EQ(moments.status, 0) << moments.err;
  const std::string centroids = line_starting(moments, "  centroids ");
  EXPECT_TRUE(contains(centroids, "default -1 -1")) << centroids;
  EXPECT_TRUE(contains(centroids, "read only")) << centroids;
}

TEST_F(Help, UnknownObjectFailsAndPointsAtList) {
  Result r = zelk({"help", "zelk.nosuch"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(contains(r.err, "zelk.nosuch")) << r.err;
  EXPECT_TRUE(contains(r.err, "zelk list")) << r.err;
  Result info = zelk({"info", "zelk.nosuch"});
  EXPECT_EQ(info.status, 2);
  EXPECT_TRUE(contains(info.err, "zelk.nosuch")) << info.err;
}

TEST_F(Help, UsageErrors) {
  Result none = zelk({"info"});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(contains(none.err, "name one object")) << none.err;
  EXPECT_EQ(zelk({"help", "zelk.sum", "zelk.mass"}).status, 2);
  Result option = zelk({"help", "--frobnicate"});
  EXPECT_EQ(option.status, 2);
  EXPECT_TRUE(contains(option.err, "--frobnicate")) << option.err;
  EXPECT_EQ(zelk({"help", "--plugins", path("absent"), "zelk.sum"}).status, 2);
}

TEST_F(Help, EachCommandHasItsOwnHelp) {
  Result list = zelk({"list", "--help"});
  EXPECT_EQ(list.status, 0);
  EXPECT_TRUE(contains(list.out, "usage: zelk list")) << list.out;
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"info", "--help"}, {"info", "-h"}, {"help", "zelk.sum", "--help"}}) {
    Result r = zelk(args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_TRUE(contains(r.out, "usage: zelk help")) << r.out;
    EXPECT_TRUE(contains(r.out, "zelk info")) << r.out;
  }
}

}  // namespace
