// The committed reference pages (docs/refpages/zelk-ref) against the
// objects: each page is well-formed XML, lists every inlet, outlet,
// attribute and message a patch can use and nothing else, links every
// object name it mentions, and is what zelk refpage makes now, so the pages
// cannot drift from the code or from their text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "runner_support.h"
#include "zelk/host.h"

namespace {

namespace host = zelk::host;
namespace fs = std::filesystem;

using zrt::kObjects;

// Enough of XML for the pages: declarations, comments, elements with
// double-quoted attributes, text with the five predefined entities; every
// element and run of text is kept with its path from the root
// ("c74object/attributelist/attribute"). Anything else is ill-formed.
struct Xml {
  struct Element {
    std::string path;
    std::map<std::string, std::string> attributes;
  };
  std::vector<Element> elements;
  std::vector<std::pair<std::string, std::string>> texts;  // (path, decoded text)

  std::vector<const Element*> at(const std::string& path) const {
    std::vector<const Element*> found;
    for (const Element& e : elements)
      if (e.path == path) found.push_back(&e);
    return found;
  }
  std::vector<std::string> names_at(const std::string& path) const {
    std::vector<std::string> names;
    for (const Element* e : at(path))
      names.push_back(e->attributes.count("name") ? e->attributes.at("name") : "");
    return names;
  }
  // The text of every element whose path ends in /tag, e.g. the names in <at>.
  std::vector<std::string> texts_in(const std::string& tag) const {
    std::vector<std::string> found;
    for (const auto& [path, text] : texts)
      if (path.size() > tag.size() &&
          path.compare(path.size() - tag.size() - 1, std::string::npos, "/" + tag) == 0)
        found.push_back(text);
    return found;
  }
};

bool decode(std::string_view raw, std::string* out) {
  static const std::map<std::string_view, char> kEntities{
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      *out += raw[i];
      continue;
    }
    const std::size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos) return false;
    const auto e = kEntities.find(raw.substr(i + 1, semi - i - 1));
    if (e == kEntities.end()) return false;
    *out += e->second;
    i = semi;
  }
  return true;
}

bool read_xml(const std::string& s, Xml* x, std::string* why) {
  std::vector<std::string> open;
  bool rooted = false;
  const auto fail = [&](const std::string& w, std::size_t at) {
    *why = w + " at byte " + std::to_string(at);
    return false;
  };
  const auto path = [&] {
    std::string p;
    for (const auto& o : open) p += (p.empty() ? "" : "/") + o;
    return p;
  };
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] != '<') {
      const std::size_t next = std::min(s.find('<', i), s.size());
      std::string text;
      if (!decode(std::string_view(s).substr(i, next - i), &text))
        return fail("a bare & or unknown entity", i);
      if (!open.empty())
        x->texts.emplace_back(path(), text);
      else if (text.find_first_not_of(" \t\r\n") != std::string::npos)
        return fail("text outside the root element", i);
      i = next;
      continue;
    }
    if (s.compare(i, 2, "<?") == 0 || s.compare(i, 4, "<!--") == 0) {
      const bool declaration = s[i + 1] == '?';
      const std::size_t e = s.find(declaration ? "?>" : "-->", i);
      if (e == std::string::npos || (declaration && rooted)) return fail("a stray declaration or comment", i);
      i = e + (declaration ? 2 : 3);
      continue;
    }
    const std::size_t end = s.find('>', i);
    if (end == std::string::npos) return fail("an unclosed tag", i);
    std::string tag = s.substr(i + 1, end - i - 1);
    i = end + 1;
    if (!tag.empty() && tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1))
        return fail("</" + tag.substr(1) + "> closing <" + path() + ">", end);
      open.pop_back();
      continue;
    }
    const bool empty = !tag.empty() && tag.back() == '/';
    if (empty) tag.pop_back();
    std::size_t k = tag.find_first_of(" \t\n");
    const std::string name = tag.substr(0, k);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) {
          return std::isalnum(c) || c == '_' || c == '-' || c == '.';
        }))
      return fail("a bad element name '" + name + "'", end);
    if (open.empty() && rooted) return fail("a second root element", end);
    open.push_back(name);
    Xml::Element element{path(), {}};
    while (k != std::string::npos && (k = tag.find_first_not_of(" \t\n", k)) != std::string::npos) {
      const std::size_t eq = tag.find('=', k);
      if (eq == std::string::npos || eq + 1 >= tag.size() || tag[eq + 1] != '"')
        return fail("an attribute without a quoted value", end);
      const std::size_t quote = tag.find('"', eq + 2);
      std::string value;
      if (quote == std::string::npos || !decode(std::string_view(tag).substr(eq + 2, quote - eq - 2), &value))
        return fail("a bad attribute value", end);
      if (!element.attributes.emplace(tag.substr(k, eq - k), value).second)
        return fail("an attribute given twice", end);
      k = quote + 1;
      if (k < tag.size() && !std::isspace(static_cast<unsigned char>(tag[k])))
        return fail("attributes run together", end);
    }
    x->elements.push_back(element);
    rooted = true;
    if (empty) open.pop_back();
  }
  if (!open.empty()) return fail("<" + open.back() + "> never closed", s.size());
  return rooted || fail("no root element", 0);
}

// Object names (zelk.X, jit.X) in a run of text.
std::vector<std::string> object_names(const std::string& text) {
  const auto name_char = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
  };
  std::vector<std::string> found;
  for (const char* prefix : {"zelk.", "jit."})
    for (std::size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
      if (at > 0 && name_char(text[at - 1])) continue;
      std::size_t end = at;
      while (end < text.size() && name_char(text[end])) ++end;
      while (text[end - 1] == '.') --end;
      if (end > at + std::strlen(prefix)) found.push_back(text.substr(at, end - at));
    }
  return found;
}

std::set<std::string> set_of(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

class Refpage : public zrt::TempDirTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Refpage, ListsWhatAPatchCanUseLinksItsObjectsAndIsCurrent) {
  const std::string name = GetParam();
  const std::string page =
      zrt::slurp(fs::path(ZELK_SOURCE_DIR) / "docs/refpages/zelk-ref" / (name + ".maxref.xml"));
  ASSERT_FALSE(page.empty()) << "no committed page for " << name;
  Xml xml;
  std::string why;
  ASSERT_TRUE(read_xml(page, &xml, &why)) << why;
  const Xml::Element& root = xml.elements[0];
  EXPECT_EQ(root.path, "c74object");
  EXPECT_EQ(root.attributes.at("name"), name);
  // Cycling '74's module for a Jitter object; the category is the Object Explorer's.
  EXPECT_EQ(root.attributes.at("module"), "jit");
  EXPECT_EQ(root.attributes.at("category").rfind("zelk ", 0), 0u) << root.attributes.at("category");
  EXPECT_EQ(xml.at("c74object/discussion").size(), 1u);

  // This process loads the build's own plug-ins, whatever runner the pages
  // are made by (zelk.exe under Wine uses the Windows externals).
  host::set_plugin_dirs({ZELK_BUILD_DIR "/plugins"});
  host::ClassInfo ci;
  ASSERT_TRUE(host::load_object(name, &why) && host::class_info(name, &ci)) << why;
  const auto box = host::Box::create(name, &why);
  ASSERT_TRUE(box) << why;
  const bool outputs = ci.matrix_outputs > 0;

  // The object's own attributes that a patch can get or set, each once with
  // its entry; the wrapper's named once, in the matrix operator paragraph,
  // leaving out on a box without a matrix output those that shape one.
  std::set<std::string> own, shared;
  for (const auto& a : ci.attributes)
    if (a.user_gettable || a.user_settable) own.insert(a.name);
  for (const auto& a : ci.wrapper_attributes)
    if (outputs || !(a.name == "adapt" || a.name == "dim" || a.name == "type" || a.name == "planecount" ||
                     a.name.rfind("out_", 0) == 0))
      shared.insert(a.name);
  const std::vector<std::string> listed = xml.names_at("c74object/attributelist/attribute");
  EXPECT_EQ(set_of(listed), own);
  EXPECT_EQ(set_of(listed).size(), listed.size()) << "an attribute listed twice";
  for (const auto* a : xml.at("c74object/attributelist/attribute"))
    EXPECT_TRUE(a->attributes.at("get") == "1" || a->attributes.at("set") == "1") << a->attributes.at("name");
  EXPECT_EQ(set_of(xml.texts_in("misc/entry/description/at")), shared);
  std::set<std::string> named = set_of(xml.texts_in("at"));
  named.insert(listed.begin(), listed.end());
  for (const std::string& a : named) {
    EXPECT_TRUE(own.count(a) || shared.count(a)) << "names attribute " << a;
    // What a page names, a patch can read: get answers with a value.
    box->clear_events();
    ASSERT_TRUE(box->send_text("get" + a, &why)) << why;
    const auto& events = box->events();
    EXPECT_TRUE(std::any_of(events.begin(), events.end(),
                            [&](const host::Event& e) {
                              return e.kind == host::Event::Kind::Outlet && e.selector &&
                                     e.selector->s_name == a && !e.atoms.empty();
                            }))
        << "get" << a;
  }

  // Messages: the class's own in the method list, the wrapper's in the
  // paragraph (clear only where there is an output to clear).
  const std::vector<std::string> methods = xml.names_at("c74object/methodlist/method");
  EXPECT_EQ(methods, ci.messages);
  std::set<std::string> wrapper_messages;
  for (const auto& m : ci.wrapper_messages)
    if (outputs || m != "clear") wrapper_messages.insert(m);
  EXPECT_EQ(set_of(xml.texts_in("misc/entry/description/m")), wrapper_messages);
  for (const std::string& m : xml.texts_in("m"))
    EXPECT_TRUE(wrapper_messages.count(m) || set_of(methods).count(m)) << "names message " << m;

  // Every object name in the text is a link, to an object that exists.
  for (const auto& [path, text] : xml.texts)
    for (const std::string& o : object_names(text))
      EXPECT_TRUE(path.size() > 2 && path.compare(path.size() - 2, 2, "/o") == 0 && text == o)
          << o << " unlinked in " << path;
  std::vector<std::string> linked = xml.texts_in("o");
  for (const std::string& s : xml.names_at("c74object/seealsolist/seealso")) linked.push_back(s);
  for (const std::string& o : linked)
    EXPECT_TRUE(o.rfind("jit.", 0) == 0 || std::count(kObjects.begin(), kObjects.end(), o)) << "links " << o;

  // Every port, in order, with its assist text as digest; matrix arguments
  // and the operator table as the class declares them.
  for (const auto& [tag, direction, count] :
       {std::tuple{"inlet", 1, box->inlet_count()}, std::tuple{"outlet", 2, box->outlet_count()}}) {
    std::vector<std::string> digests;
    for (const auto& [path, text] : xml.texts)
      if (path == std::string("c74object/") + tag + "list/" + tag + "/digest") digests.push_back(text);
    ASSERT_EQ(static_cast<int>(digests.size()), count) << tag << "s";
    for (int i = 0; i < count; ++i) EXPECT_EQ(digests[i], box->assist(direction, i)) << tag << " " << i;
  }
  EXPECT_EQ(xml.names_at("c74object/objarglist/objarg"),
            outputs ? (std::vector<std::string>{"planecount", "type", "dim"}) : std::vector<std::string>{});
  const auto mop = xml.at("c74object/mop");
  ASSERT_EQ(mop.size(), 1u);
  EXPECT_EQ(mop[0]->attributes.at("matrixinputcount"), std::to_string(ci.matrix_inputs));
  EXPECT_EQ(mop[0]->attributes.at("matrixoutputcount"), std::to_string(ci.matrix_outputs));
  EXPECT_EQ(xml.at("c74object/mop/matrixinput").size(), ci.inputs.size());
  EXPECT_EQ(xml.at("c74object/mop/matrixoutput").size(), ci.outputs.size());

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

// Text that does not fit the pages stops the command before any page is
// written: a partial set would look done.
class RefpageText : public zrt::TempDirTest {};

TEST_F(RefpageText, MismatchedTextWritesNoPage) {
  const std::string text = zrt::slurp(ZELK_SOURCE_DIR "/docs/refpages/text.json");
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? t : t.replace(at, from.size(), to);
  };
  const struct {
    std::string text, complaint;
  } cases[] = {
      {edited("The <at>threshold</at> attribute", "The <at>threshold attribute"), "<at> is not closed"},
      {edited("\"zelk.sum\": {", "\"zelk.sum\": {\"attributes\": {\"sum\": {\"digest\": \"Sums\"}},"),
       "zelk.sum: text for attribute sum, which its page does not list"},
      {edited("\"discussion\": \"A typical chain: jit.grab → jit.rgb2luma → jit.op @op > @val 128 (the",
              "\"notes\": \"(the"),
       "zelk.label: no discussion"},
  };
  for (const auto& c : cases) {
    zrt::spit(path("text.json"), c.text);
    const zrt::Result r =
        zelk({"refpage", "--out", path("pages"), "--text", path("text.json"), "zelk.label", "zelk.sum"});
    EXPECT_EQ(r.status, 2) << c.complaint;
    EXPECT_NE(r.err.find(c.complaint), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(path("pages"))) << c.complaint;
  }
}

}  // namespace
