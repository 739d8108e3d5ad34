// The committed reference pages (docs/refpages/zelk-ref) against the
// objects: a page names every inlet, outlet, attribute (the object's and the
// wrapper's) and message its object registers, and is what zelk refpage
// makes now, so the pages cannot drift from the code or from their text.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "runner_support.h"
#include "zelk/host.h"

namespace {

namespace host = zelk::host;
namespace fs = std::filesystem;

using zrt::kObjects;

// For each `start` in `xml` (after it, past `then` when given), the text up
// to `end`. The tabs in `start` pin the nesting depth, so an attribute's
// sub-attributes (default, range) are not taken for attributes. (No
// std::regex: gcc 12 warns inside it under the sanitizers.)
std::vector<std::string> captures(const std::string& xml, const std::string& start, const std::string& then,
                                  char end) {
  std::vector<std::string> found;
  for (std::size_t at = xml.find(start); at != std::string::npos; at = xml.find(start, at + 1)) {
    std::size_t from = at + start.size();
    if (!then.empty()) {
      from = xml.find(then, from);
      if (from == std::string::npos) break;
      from += then.size();
    }
    found.push_back(xml.substr(from, xml.find(end, from) - from));
  }
  return found;
}

class Refpage : public zrt::TempDirTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Refpage, NamesEverythingTheObjectRegistersAndIsCurrent) {
  const std::string name = GetParam();
  const std::string page = zrt::slurp(fs::path(ZELK_SOURCE_DIR) / "docs/refpages/zelk-ref" / (name + ".maxref.xml"));
  ASSERT_FALSE(page.empty()) << "no committed page for " << name;

  // This process loads the build's own plug-ins, whatever runner the pages
  // are made by (zelk.exe under Wine uses the Windows externals).
  host::set_plugin_dirs({ZELK_BUILD_DIR "/plugins"});
  std::string why;
  host::ClassInfo ci;
  ASSERT_TRUE(host::load_object(name, &why) && host::class_info(name, &ci)) << why;
  const auto box = host::Box::create(name, &why);
  ASSERT_TRUE(box) << why;

  const std::vector<std::string> listed = captures(page, "\n\t\t<attribute name=\"", "", '"');
  const std::set<std::string> attributes(listed.begin(), listed.end());
  EXPECT_EQ(attributes.size(), listed.size()) << "an attribute listed twice";
  for (const auto* group : {&ci.attributes, &ci.wrapper_attributes})
    for (const auto& a : *group) EXPECT_TRUE(attributes.count(a.name)) << "attribute " << a.name;

  const std::vector<std::string> methods_listed = captures(page, "\n\t\t<method name=\"", "", '"');
  const std::set<std::string> methods(methods_listed.begin(), methods_listed.end());
  for (const auto* group : {&ci.messages, &ci.wrapper_messages})
    for (const auto& m : *group) EXPECT_TRUE(methods.count(m)) << "message " << m;

  // Every port, in order, with its assist text as digest.
  const struct {
    const char* tag;
    int direction, count;
  } ports[] = {{"inlet", 1, box->inlet_count()}, {"outlet", 2, box->outlet_count()}};
  for (const auto& p : ports) {
    const std::vector<std::string> digests =
        captures(page, std::string("\n\t\t<") + p.tag + " id=\"", ">\n\t\t\t<digest>", '<');
    ASSERT_EQ(static_cast<int>(digests.size()), p.count) << p.tag << "s";
    for (int i = 0; i < p.count; ++i) EXPECT_EQ(digests[i], box->assist(p.direction, i)) << p.tag << " " << i;
  }

  const zrt::Result r =
      zelk({"refpage", "--out", path("pages"), "--text", ZELK_SOURCE_DIR "/docs/refpages/text.json", name});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(zrt::slurp(path("pages") + "/" + name + ".maxref.xml"), page)
      << "the committed page is stale: zelk refpage --out docs/refpages/zelk-ref";
}

INSTANTIATE_TEST_SUITE_P(Objects, Refpage, ::testing::ValuesIn(kObjects),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string s = info.param;
                           for (char& c : s)
                             if (c == '.') c = '_';
                           return s;
                         });

}  // namespace
