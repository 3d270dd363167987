#include <ekcommon/xml/internal/EKXmlEntitySets.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

using namespace EKCommonNS;

namespace {

struct SetCase {
  const char* label;
  const EKXmlEntityTable& table;
  size_t count;
  const char* firstName;
  const char* lastName;
  size_t twoCodePoints;
};

const SetCase SETS[] = {
    {"MathML", s_mathMLEntityTable, 2087, "AElig", "zscr", 93},
    {"HTML4", s_html4EntityTable, 253, "AElig", "zwnj", 0},
    {"HTML5", s_html5EntityTable, 2125, "AElig", "zwnj", 93},
};

bool isXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The entry of a name by binary search, which only works on a table in strcmp order.
const EKXmlEntityDef* find(const EKXmlEntityTable& table, const char* name) {
  const EKXmlEntityDef* end = table.entries + table.count;
  const EKXmlEntityDef* it = std::lower_bound(
      table.entries, end, name,
      [](const EKXmlEntityDef& e, const char* n) { return std::strcmp(e.name, n) < 0; });
  return it != end && std::strcmp(it->name, name) == 0 ? it : nullptr;
}

TEST(XmlEntitySets, EachSetIsASortedListOfXmlCharacters) {
  for (const SetCase& set : SETS) {
    SCOPED_TRACE(set.label);
    const EKXmlEntityTable& table = set.table;
    ASSERT_EQ(table.count, set.count);
    EXPECT_STREQ(table.entries[0].name, set.firstName);
    EXPECT_STREQ(table.entries[table.count - 1].name, set.lastName);
    size_t two = 0;
    for (size_t i = 0; i < table.count; ++i) {
      const EKXmlEntityDef& e = table.entries[i];
      const std::string name = e.name;
      ASSERT_FALSE(name.empty()) << i;
      if (i > 0) {
        EXPECT_LT(std::strcmp(table.entries[i - 1].name, e.name), 0) << name;
      }
      EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(name[0]))) << name;
      EXPECT_TRUE(std::all_of(name.begin(), name.end(),
                              [](unsigned char c) { return c < 0x80 && std::isalnum(c); }))
          << name;
      EXPECT_TRUE(isXmlChar(e.first)) << name;
      EXPECT_TRUE(e.second == 0 || isXmlChar(e.second)) << name;
      two += e.second != 0;
    }
    EXPECT_EQ(two, set.twoCodePoints);
  }
}

TEST(XmlEntitySets, KnownEntries) {
  struct Case {
    const EKXmlEntityTable& table;
    const char* name;
    char32_t first;
    char32_t second;
  };
  const Case cases[] = {
      {s_mathMLEntityTable, "nbsp", 0xA0, 0},
      {s_html4EntityTable, "nbsp", 0xA0, 0},
      {s_html5EntityTable, "nbsp", 0xA0, 0},
      // Written as escaped references in the MathML files.
      {s_mathMLEntityTable, "amp", 0x26, 0},
      {s_mathMLEntityTable, "lt", 0x3C, 0},
      {s_mathMLEntityTable, "nvlt", 0x3C, 0x20D2},
      // A combining mark written after a space in the MathML files.
      {s_mathMLEntityTable, "DotDot", 0x20DC, 0},
      {s_mathMLEntityTable, "NotEqualTilde", 0x2242, 0x338},
      {s_mathMLEntityTable, "Afr", 0x1D504, 0},
      {s_mathMLEntityTable, "fjlig", 'f', 'j'},
      {s_html4EntityTable, "apos", '\'', 0},
      {s_html4EntityTable, "amp", '&', 0},
      {s_html4EntityTable, "euro", 0x20AC, 0},
      {s_html4EntityTable, "thetasym", 0x3D1, 0},
      {s_html5EntityTable, "AMP", '&', 0},
      {s_html5EntityTable, "NotEqualTilde", 0x2242, 0x338},
      {s_html5EntityTable, "fjlig", 'f', 'j'},
      {s_html5EntityTable, "bne", '=', 0x20E5},
      {s_html5EntityTable, "zwj", 0x200D, 0},
  };
  for (const Case& c : cases) {
    const EKXmlEntityDef* e = find(c.table, c.name);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(e->first, c.first) << c.name;
    EXPECT_EQ(e->second, c.second) << c.name;
  }
}

TEST(XmlEntitySets, NamesOutsideASet) {
  // MathML lacks the names that only HTML has; HTML 4 lacks those that only MathML has.
  for (const char* name : {"AMP", "zwnj", "euro", "Alpha"})
    EXPECT_EQ(find(s_mathMLEntityTable, name), nullptr) << name;
  for (const char* name : {"fjlig", "Afr", "AMP", "NotEqualTilde"})
    EXPECT_EQ(find(s_html4EntityTable, name), nullptr) << name;
  EXPECT_EQ(find(s_html5EntityTable, "amp;"), nullptr);
}

} // namespace
