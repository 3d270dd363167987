#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

std::vector<std::string> readDataFile() {
  std::ifstream in(EKCOMMON_SOURCE_DIR "/ekcommon/names/builtin-names.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

TEST(Vocabulary, EveryEntryMapsBothWaysAtItsNumber) {
  const std::vector<std::string> lines = readDataFile();
  ASSERT_EQ(lines.size(), 3206u);
  ASSERT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size()) << "duplicates";
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto number = static_cast<EKNameEnum>(i + 1);
    const UnicodeString expected = UnicodeString::fromUTF8(lines[i]);
    ASSERT_EQ(EKNameTable::getBuiltinNameString(number), expected) << "entry " << number;
    ASSERT_EQ(EKNameTable::getBuiltinNameEnum(expected), number) << lines[i];
    ASSERT_EQ(EKNameTable::getSharedNameEnum(expected), number) << lines[i];
  }
}

TEST(Vocabulary, NumbersOtherPartsUseAsConstants) {
  struct Row {
    int number;
    const char16_t* text;
    EKNameEnum constant;
  };
  const Row rows[] = {
      {1, u"ANSI_X3.4", EKN_ANSI_X3_4},
      {820, u"inherit", EKN_inherit},
      {1816, u"default", EKN_default},
      {1933, u"initial", EKN_initial},
      {2993, u"unset", EKN_unset},
      {2890, u"error", EKN_error},
      {2303, u"http", EKN_http},
      {2996, u"urn:oasis:names:tc:entity:xmlns:xml:catalog", EKN_urn_oasis_names_tc_entity_xmlns_xml_catalog},
      {3003, u"-ek-form", EKN_ek_form},
      {2416, u"scaleX", EKN_scaleX},
      {1693, u"alternate stylesheet", EKN_alternate_stylesheet},
      {2720, u"and korean-hanja-formal", EKN_and_korean_hanja_formal},
      {764, u"http://www.w3.org/2000/xmlns/", EKN_http_www_w3_org_2000_xmlns},
      {3206, u"xls-settings", EKN_xls_settings},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.constant, row.number);
    EXPECT_EQ(EKNameTable::getBuiltinNameString(row.constant), UnicodeString(row.text)) << row.number;
  }
  EXPECT_EQ(EKN_BUILTIN_LAST, 3206);
}

TEST(Vocabulary, VendorNamespacesShareOneBase) {
  const struct {
    EKNameEnum number;
    const char16_t* path;
  } vendor[] = {{static_cast<EKNameEnum>(756), u"/names/RX/Layout"},
                {static_cast<EKNameEnum>(757), u"/names/XSL/AreaTree"},
                {static_cast<EKNameEnum>(758), u"/names/XSL/Extensions"},
                {static_cast<EKNameEnum>(759), u"/names/XSL/KWO"},
                {static_cast<EKNameEnum>(1909), u"/names/CSS"},
                {static_cast<EKNameEnum>(1910), u"/names/ChartML"},
                {static_cast<EKNameEnum>(1911), u"/names/XSL/Hyphenations"},
                {static_cast<EKNameEnum>(1912), u"/names/XSL/Settings"},
                {static_cast<EKNameEnum>(2921), u"/names/Error"}};
  UnicodeString base;
  for (const auto& entry : vendor) {
    const UnicodeString& s = EKNameTable::getBuiltinNameString(entry.number);
    const UnicodeString path(entry.path);
    ASSERT_TRUE(s.endsWith(path)) << entry.number;
    const UnicodeString thisBase(s, 0, s.length() - path.length());
    if (base.isEmpty())
      base = thisBase;
    EXPECT_EQ(thisBase, base) << entry.number;
  }
  EXPECT_TRUE(base.startsWith(UnicodeString(u"http://")));
  EXPECT_FALSE(base.startsWith(UnicodeString(u"http://www.w3.org")));
}

TEST(Vocabulary, OutOfRangeNumbersAndUnknownStrings) {
  for (int number : {0, -1, 3207, 100000, -2147483647 - 1})
    EXPECT_TRUE(EKNameTable::getBuiltinNameString(static_cast<EKNameEnum>(number)).isEmpty()) << number;
  EXPECT_EQ(EKNameTable::getBuiltinNameEnum(UnicodeString()), EKN_EMPTY);
  EXPECT_EQ(EKNameTable::getBuiltinNameEnum(UnicodeString(u"-ek-unknown")), EKN_EMPTY);
  EXPECT_EQ(EKNameTable::getBuiltinNameEnum(UnicodeString(u"Inherit")), EKN_EMPTY);
}

} // namespace
