#include "support/TestStrings.h"

#include <gtest/gtest.h>

using namespace EKCommonNS;

namespace {

constexpr auto GENERIC = EKTokenizer::GENERIC;
constexpr auto CSS = EKTokenizer::CSS;

TEST(Parser, ValuesListsAndCompounds) {
  struct Row {
    const char* text;
    int flags;
    EKTokenizer::TokenizerType type;
    const char* printed;
    bool unknown; // the whole text came back as an unknown string
  };
  const int LIST = EKParser::PARSE_LIST;
  const int COMPOUND = EKParser::PARSE_LIST | EKParser::PARSE_COMPOUND;
  const int NON_NUMERIC = EKParser::PARSE_NON_NUMERIC | EKParser::PARSE_NO_COLOR;
  const Row rows[] = {
      {"12pt", 0, GENERIC, "12pt", false},
      {"  -1.5em ", 0, GENERIC, "-1.5em", false},
      {"12pt x", 0, GENERIC, "12pt x", true},
      {"", 0, GENERIC, "", true},
      {"bold", 0, GENERIC, "bold", false},
      {"'a b'", 0, GENERIC, "a b", false},
      {"rgb(1,2,3)", 0, GENERIC, "rgb(1,2,3)", true},
      {",", 0, GENERIC, ",", true},
      {"1e3", 0, CSS, "1000", false},
      {"12", NON_NUMERIC, GENERIC, "12", true},
      {"#fff", NON_NUMERIC, GENERIC, "#fff", true},
      {"12pt x", COMPOUND, GENERIC, "12pt x", false},
      {"", LIST, GENERIC, "", false},
      {"1.50 2 #fff", LIST | NON_NUMERIC, GENERIC, "\"1.50\" \"2\" \"#FFFFFF\"", false},
      {"{length: 1pt; .: 2}", COMPOUND, GENERIC, "{length: 1pt; .: 2}", false},
      {"{a: 1 2; b: x}", COMPOUND, GENERIC, "{a: 1 2; b: x}", false},
      {"{a: 1; 7: 2}", COMPOUND, GENERIC, "{a: 1} 7 : 2 }", false},
      {"{}", COMPOUND, GENERIC, "{}", false},
  };
  for (const Row& row : rows) {
    const EKValue v = EKParser::parse(u(row.text), row.flags, row.type);
    EXPECT_EQ(v.toString(), u(row.printed)) << row.text;
    EXPECT_EQ(v.isUnknownString(), row.unknown) << row.text;
  }

  // Hostile nesting stops at a fixed depth instead of exhausting the stack.
  std::string nested;
  for (int i = 0; i < 20000; ++i)
    nested += "{a: ";
  int depth = 0;
  for (EKValue v = EKParser::parseCompound(u(nested.c_str()), GENERIC); v.isCompound(); v = v.getNamedItem(EKName(u("a"))))
    ++depth;
  EXPECT_EQ(depth, 64);

  const EKValue list = EKParser::parseCompound(u("12pt x"), GENERIC);
  ASSERT_EQ(list.getArrayCount(), 2);
  EXPECT_EQ(list.getNthItem(0).getRealValue(UNIT_PT), 12.0f);
  EXPECT_EQ(list.getNthItem(1).getNameValue(), EKName(u("x")));
  EXPECT_TRUE(EKParser::parse(u(""), EKParser::PARSE_LIST, GENERIC).isNull());

  const EKValue compound = EKParser::parseCompound(u("{length: 1pt; .: 2}"), GENERIC);
  ASSERT_TRUE(compound.isCompound());
  EXPECT_EQ(compound.getNamedItem(EKN_length).getRealValue(UNIT_PT), 1.0f);
  EXPECT_EQ(compound.getNamedItem(EKName()).getIntegerValue(), 2);
  // What a compound prints, the parser reads back.
  EXPECT_EQ(EKParser::parseCompound(compound.toString(), GENERIC).toString(), compound.toString());
}

TEST(Parser, Colours) {
  struct Row {
    const char* text;
    bool allowIcc;
    const char* printed; // toString of the result
    bool unknown;
    bool clamped;
  };
  const Row rows[] = {
      {"rgb(255,0,0)", false, "#FF0000", false, false},
      {"rgb(255 0 0)", false, "#FF0000", false, false},
      {"RGB( 0, 128 , 255 )", false, "#0080FF", false, false},
      {"rgb(300,0,0)", false, "#FF0000", false, true},
      {"rgb(50%,0,0)", false, "rgb(50%,0,0)", true, false},
      {"rgb(1,2,3) x", false, "rgb(1,2,3) x", true, false},
      {"rgb(1,2", false, "rgb(1,2", true, false},
      {"rgba(255,0,0,0.5)", false, "rgba(255,0,0,0.5)", false, false},
      {"rgba(red, 0.5)", false, "rgba(255,0,0,0.5)", false, false},
      {"hsl(120, 100%, 50%)", false, "hsl(120,100%,50%)", false, false},
      {"cmyk(0, 0, 0, 1)", false, "cmyk(0,0,0,1)", false, false},
      {"device-cmyk(1, 0, 0, 0)", false, "cmyk(1,0,0,0)", false, false},
      {"#00A0FF", false, "#00A0FF", false, false},
      {"red", false, "red", false, false},
      {"12", false, "12", false, false},
      {"'text'", false, "text", false, false},
      {"red icc-color(#CMYK, 0, 1, 1, 0)", false, "red icc-color(#CMYK, 0, 1, 1, 0)", true, false},
      {"foo(1)", false, "foo(1)", true, false},
      {"", false, "", true, false},
      {"system-color(highlight)", false, "#0A246A", false, false},
  };
  for (const Row& row : rows) {
    bool clamped = !row.clamped;
    const EKValue v = EKParser::parseColor(u(row.text), row.allowIcc, &clamped);
    EXPECT_EQ(v.toString(), u(row.printed)) << row.text;
    EXPECT_EQ(v.isUnknownString(), row.unknown) << row.text;
    EXPECT_EQ(clamped, row.clamped) << row.text;
  }

  // ICC notations build their colour spaces on the fallback.
  const EKColor cmyk = EKParser::parseColor(u("#FF0000 icc-color(#CMYK, 0, 1, 1, 0)"), true, nullptr).getColorValue();
  EXPECT_TRUE(cmyk.isCMYK());
  EXPECT_EQ(cmyk.getRGB(), 0xFF0000u);
  EXPECT_EQ(cmyk.getM(), 1.0f);
  const EKColor gray = EKParser::parseColor(u("rgb-icc(128, 128, 128, #GRAYSCALE, 0.5)"), true, nullptr).getColorValue();
  EXPECT_TRUE(gray.isGrayscale());
  EXPECT_EQ(gray.getGray(), 0.5f);
  const EKColor spot =
      EKParser::parseColor(u("rgb-icc(0,0,255, #SEPARATION, 'Blue 72', 0.5, 1, 0.8, 0, 0)"), true, nullptr).getColorValue();
  EXPECT_TRUE(spot.isSeparation());
  EXPECT_EQ(spot.getSeparationColorName(), u("Blue 72"));
  EXPECT_EQ(spot.getSeparationTint(), 0.5f);
  EXPECT_TRUE(spot.hasSeparationCMYK());
  const EKColor registration = EKParser::parseColor(u("icc-color(#REGISTRATION)"), true, nullptr).getColorValue();
  EXPECT_TRUE(registration.isRegistration());
  const EKColor profile = EKParser::parseColor(u("navy icc-color(myprofile, 0.1, 0.2)"), true, nullptr).getColorValue();
  EXPECT_TRUE(profile.isICCColorProfile());
  EXPECT_EQ(profile.getICCValueCount(), 2);
  EXPECT_EQ(profile.getRGB(), 0x000080u);
  EXPECT_TRUE(EKParser::parseColor(u("notacolor icc-color(#CMYK,0,0,0,1)"), true, nullptr).isUnknownString());
  EXPECT_TRUE(EKParser::parseColor(u("icc-color(#CMYK, 1, 2)"), true, nullptr).isUnknownString());
  EXPECT_TRUE(EKParser::parseColor(u("rgb-icc(0,0,0,\"a|b\",0)"), true, nullptr).isUnknownString())
      << "a profile is a name, so that it prints back as one";
  EXPECT_TRUE(EKParser::parseColor(u("rgb-icc(0,0,255,p,1e60)"), true, nullptr).isUnknownString());

  // Every colour prints in a notation that parses back to the same colour.
  for (const char* text : {"rgba(10,20,30,0.25)", "hsla(200,50%,40%,0.5)", "cmyka(0.1,0.2,0.3,0.4,0.5)",
                           "rgb-icc(0,0,255,#SEPARATION,\"Blue 72\",0.5)", "#123456 icc-color(p, 0.5)",
                           "rgb-icc(0,0,250,p,1,0.00000000000000000000000000008,0,0)"}) {
    const EKColor color = EKParser::parseColor(u(text), true, nullptr).getColorValue(true);
    ASSERT_FALSE(color.isInvalid()) << text;
    for (bool css : {false, true}) {
      const EKColor back = EKParser::parseColor(color.toString(css, true, false), true, nullptr).getColorValue(true);
      EXPECT_EQ(back, color) << text << " printed as " << color.toString(css, true, false);
    }
  }

  // Values of other kinds give their colour through the parser.
  EXPECT_EQ(EKValue(u("rgb(1,2,3)"), UNIT_NONE).getColorValue().getRGB(), 0x010203u);
  EXPECT_EQ(EKValue(u("cmyk(0,0,0,1)"), UNIT_STRING).getColorValue().getK(), 1.0f);
  EXPECT_TRUE(EKValue(u("nonsense"), UNIT_STRING).getColorValue(true).isInvalid());

  EKTokenizer tokenizer(u("rgb(1,2,3) 12pt"), GENERIC);
  EXPECT_EQ(EKParser::parseColor(tokenizer, false).getColorValue().getRGB(), 0x010203u);
  EXPECT_EQ(tokenizer.nextTokenValue(false).getRealValue(UNIT_PT), 12.0f);
  EKTokenizer empty(u("  "), GENERIC);
  EXPECT_TRUE(EKParser::parseColor(empty, false).isNull());
}

TEST(Parser, PseudoAttributes) {
  struct Row {
    const char* text;
    int flags;
    bool ok;
    size_t count;
  };
  const Row rows[] = {
      {"href=\"a.css\" type='text/css'", 0, true, 2},
      {"  ", 0, true, 0},
      {"", 0, true, 0},
      {"a = \"x y\"\tb='\"'", 0, true, 2},
      {"href=\"a.css", 0, false, 0},
      {"href=\"a.css", EKParser::ATTRIBUTES_LENIENT, true, 0},
      {"1a=\"x\"", 0, false, 0},
      {"a=x b=\"y\"", 0, false, 0},
      {"a=x b=\"y\"", EKParser::ATTRIBUTES_LENIENT, true, 1},
      {"a='1' a='2'", 0, false, 0},
      {"a='1' a='2'", EKParser::ATTRIBUTES_ALLOW_REPEATED, true, 1},
  };
  for (const Row& row : rows) {
    std::unordered_map<EKName, UnicodeString> out{{EKName(u("stale")), u("x")}};
    EXPECT_EQ(EKParser::parseAttributes(u(row.text), out, row.flags), row.ok) << row.text;
    EXPECT_EQ(out.size(), row.count) << row.text;
  }
  std::unordered_map<EKName, UnicodeString> out;
  ASSERT_TRUE(EKParser::parseAttributes(u("href=\"a.css\" type='text/css' a='1' a='2'"), out,
                                        EKParser::ATTRIBUTES_ALLOW_REPEATED));
  EXPECT_EQ(out[EKName(EKN_href)], u("a.css"));
  EXPECT_EQ(out[EKName(EKN_type)], u("text/css"));
  EXPECT_EQ(out[EKName(u("a"))], u("1"));
}

// A compound's items as "name=value" lines, for comparing whole results.
std::string describe(const EKValue& v) {
  if (!v.isCompound())
    return (v.isNull() ? "null" : "text:") + utf8(v.toString());
  std::string out;
  for (EKNamedValueMapIterator it(v.getNamedValueMap()); it.hasNext();) {
    const EKNamedValue& item = it.next();
    out += utf8(item.getName().toString()) + "=" + utf8(item.toString()) + ";";
  }
  return out;
}

TEST(Parser, LinkTargetsAndDestinations) {
  struct Row {
    const char* what;
    EKValue result;
    const char* expected;
  };
  const Row rows[] = {
      {"fragment", EKParser::parseUriFragmentParameters(u("doc.pdf#page=3&zoom=50"), false), "=doc.pdf;page=3;zoom=50;"},
      {"fragment keys", EKParser::parseUriFragmentParameters(u("#A%20B= x &=1&novalue&k='a&b'"), true),
       "a b=x;k='a&b';"},
      {"no fragment", EKParser::parseUriFragmentParameters(u("doc.pdf"), false), "text:doc.pdf"},
      {"pdf default", EKParser::parsePDFOpenParameters(u("doc.pdf"), false), "uri=doc.pdf;page=1;view=xyz;"},
      {"pdf required", EKParser::parsePDFOpenParameters(u("doc.pdf"), true), "null"},
      {"pdf no page", EKParser::parsePDFOpenParameters(u("doc.pdf#zoom=200"), true), "null"},
      {"pdf pages", EKParser::parsePDFOpenParameters(u("a.pdf#page=5-3&view=FitH,100"), false),
       "uri=a.pdf;page=5;last-page=5;view=fith;top=100;"},
      {"pdf rect", EKParser::parsePDFOpenParameters(u("a.pdf#page=2&viewrect=1,2,3,4&zoom=150,10,20"), true),
       "uri=a.pdf;page=2;last-page=2;left=10;top=20;width=3;height=4;zoom=150;view=xyz;"},
      {"pdf bad page", EKParser::parsePDFOpenParameters(u("a.pdf#page=0"), true), "null"},
      {"pdf named", EKParser::parsePDFOpenParameters(u("a.pdf#nameddest=Chapter1&page=9"), false),
       "uri=a.pdf;nameddest=Chapter1;"},
      {"xlink", EKParser::parseXlinkHref(u("b.pdf#sec2")), "uri=b.pdf;nameddest=sec2;"},
      {"xlink page", EKParser::parseXlinkHref(u("b.pdf#page=4")), "uri=b.pdf;page=4;last-page=4;view=xyz;"},
      {"internal", EKParser::parseInternalDestination(u("#page=2&view=fit"), 0), "page=2;last-page=2;view=fit;"},
      {"internal page", EKParser::parseInternalDestination(u("7"), 1), "page=7;last-page=7;view=xyz;"},
      {"internal name", EKParser::parseInternalDestination(u("#intro"), 0), "nameddest=intro;"},
      {"excel", EKParser::parseExcelOpenParameters(u("book.xls#sheet=Data&chart=Sales&row=3")),
       "=book.xls;sheet=Data;chart=Sales;row=3;"},
      {"excel sheet", EKParser::parseExcelOpenParameters(u("book.xls#Summary")), "=book.xls;sheet=Summary;"},
      {"zoom", EKParser::parseDestinationType(u("150%")), "=xyz-top;zoom=150;"},
      {"xyz", EKParser::parseDestinationType(u(" XYZ-Left 2")), "=xyz-left;zoom=2;"},
      {"fitr", EKParser::parseDestinationType(u("fitr 1 2 3 4")), "=fitr;left=1;top=2;right=3;bottom=4;"},
      {"fitv", EKParser::parseDestinationType(u("fitbv 30")), "=fitbv;left=30;"},
      {"bad type", EKParser::parseDestinationType(u("sideways")), "text:sideways"},
      {"bad zoom", EKParser::parseDestinationType(u("-5")), "text:-5"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(describe(row.result), row.expected) << row.what;
}

} // namespace
