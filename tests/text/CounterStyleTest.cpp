#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

using CounterStyle = EKUtil::CounterStyle;

const CounterStyle* predefined(const char* name) {
  return EKUtil::getPredefinedCounterStyle(EKName(u(name)), nullptr);
}

std::string bare(const CounterStyle& style, int64_t value) {
  return utf8(style.formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, true));
}

std::string marker(const CounterStyle& style, int64_t value) {
  return utf8(style.formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, false));
}

CounterStyle styleOf(EKNameEnum system, const char* symbolsUtf8) {
  CounterStyle style{EKName(system)};
  style.addSymbols(symbolsUtf8);
  return style;
}

// Each system's algorithm on a small style of its own, and its natural range.
TEST(CounterStyleSystems, Algorithms) {
  const struct {
    EKNameEnum system;
    const char* symbols;
    int64_t value;
    const char* expected;
  } rows[] = {
      {EKN_cyclic, "abc", 1, "a"},         {EKN_cyclic, "abc", 4, "a"},
      {EKN_cyclic, "abc", 0, "c"},         {EKN_cyclic, "abc", -1, "b"},
      {EKN_cyclic, "abc", INT64_MIN, "a"}, {EKN_cyclic, "", 3, "3"},
      {EKN_numeric, "01", 0, "0"},         {EKN_numeric, "01", 6, "110"},
      {EKN_numeric, "01", -6, "-110"},     {EKN_numeric, "0", 6, "6"},
      {EKN_numeric, "0123456789", INT64_MIN, "-9223372036854775808"},
      {EKN_alphabetic, "ab", 1, "a"},      {EKN_alphabetic, "ab", 3, "aa"},
      {EKN_alphabetic, "ab", 6, "bb"},     {EKN_alphabetic, "ab", 0, "0"},
      {EKN_alphabetic, "ab", -2, "-2"},    {EKN_alphabetic, "a", 2, "2"},
      {EKN_symbolic, "*+", 1, "*"},        {EKN_symbolic, "*+", 4, "++"},
      {EKN_symbolic, "*+", 5, "***"},      {EKN_symbolic, "*+", 0, "0"},
      {EKN_fixed, "abc", 1, "a"},          {EKN_fixed, "abc", 3, "c"},
      {EKN_fixed, "abc", 4, "4"},          {EKN_fixed, "abc", 0, "0"},
      {EKN_fixed, "abc", INT64_MIN, "-9223372036854775808"},
      {EKN_none, "abc", 2, "2"}, // no such system: the fallback
  };
  for (const auto& row : rows) {
    const CounterStyle style = styleOf(row.system, row.symbols);
    EXPECT_EQ(bare(style, row.value), row.expected)
        << EKName(row.system).toString() << " " << row.symbols << " " << row.value;
  }
}

TEST(CounterStyleSystems, AdditiveAndFixedFirst) {
  CounterStyle tally{EKName(EKN_additive)};
  tally.addAdditiveSymbol(5, "V");
  tally.addAdditiveSymbol(1, "I");
  const struct {
    int64_t value;
    const char* expected;
  } rows[] = {{1, "I"}, {7, "VII"}, {-7, "-7"}, {0, "0"}, {15, "VVV"}};
  for (const auto& row : rows)
    EXPECT_EQ(bare(tally, row.value), row.expected) << row.value;
  tally.addRange(-10, 10);
  EXPECT_EQ(bare(tally, -7), "-VII");
  tally.addAdditiveSymbol(0, "nil");
  EXPECT_EQ(bare(tally, 0), "nil");

  CounterStyle gaps{EKName(EKN_additive)};
  gaps.addAdditiveSymbol(5, "V");
  gaps.addAdditiveSymbol(2, "II");
  EXPECT_EQ(bare(gaps, 9), "VIIII"); // a symbol repeats as long as its weight fits
  EXPECT_EQ(bare(gaps, 6), "6");   // a remainder of 1 is left: fallback
  EXPECT_EQ(bare(CounterStyle{EKName(EKN_additive)}, 3), "3");

  CounterStyle fixed = styleOf(EKN_fixed, "xyz");
  fixed.setFirst(-1);
  EXPECT_EQ(bare(fixed, -1), "x");
  EXPECT_EQ(bare(fixed, 1), "z");
  EXPECT_EQ(bare(fixed, 2), "2");
}

TEST(CounterStyleSystems, RangesSignsPaddingAndAffixes) {
  CounterStyle style = styleOf(EKN_numeric, "0123456789");
  style.addRange(-5, 5);
  style.addRange(100, 200);
  style.setPad(3, "0");
  style.setPrefix("(");
  style.setSuffix(")");
  style.setNegative("[", "]");
  style.setFallback(EKName(EKN_lower_roman));
  const struct {
    int64_t value;
    const char* marker;
  } rows[] = {{5, "(005)"}, {-5, "([005])"}, {150, "(150)"}, {6, "(vi)"}, {99, "(xcix)"}, {201, "(cci)"}, {-6, "(-6)"}};
  for (const auto& row : rows)
    EXPECT_EQ(marker(style, row.value), row.marker) << row.value;
  ASSERT_NE(style.getRange(), nullptr);
  EXPECT_EQ(style.getRange()->size(), 2u);
  style.clrRange();
  EXPECT_EQ(style.getRange(), nullptr);
  EXPECT_EQ(marker(style, 6), "(006)");

  // Padding counts code points and repeats a longer pad symbol as often as needed to reach
  // the length, even if that overshoots it; the zero symbol is padded too.
  CounterStyle wide = styleOf(EKN_numeric, "0123456789");
  wide.setPad(5, "\xF0\x9D\x9F\x8E-"); // a supplementary digit and a hyphen
  EXPECT_EQ(bare(wide, 12), "\xF0\x9D\x9F\x8E-\xF0\x9D\x9F\x8E-12");
  wide.setPad(1000000, "0");
  EXPECT_EQ(bare(wide, 7).size(), 1000u);
  wide.setZero("zero");
  EXPECT_EQ(utf8(wide.finishString(u("ab"), true, false)).size(), 1001u);
  CounterStyle zero = styleOf(EKN_alphabetic, "ab");
  zero.setZero(u("\xE2\x88\x85"));
  EXPECT_EQ(bare(zero, 0), "\xE2\x88\x85");
  EXPECT_EQ(bare(zero, -1), "-1");

  CounterStyle images{EKName(EKN_cyclic)};
  images.addSymbol(CounterStyle::Symbol(u("dot.png"), true));
  EXPECT_EQ(bare(images, 2), "url(\"dot.png\")");
  EXPECT_TRUE(images.getSymbols()[0].isUrl());
}

const CounterStyle* resolveFromMap(EKName name, void* context) {
  auto& styles = *static_cast<std::map<EKName, CounterStyle>*>(context);
  const auto hit = styles.find(name);
  return hit == styles.end() ? nullptr : &hit->second;
}

TEST(CounterStyleFallback, ChainsLoopsAndTheLengthLimit) {
  std::map<EKName, CounterStyle> styles;
  const EKName a(u("loop-a")), b(u("loop-b")), c(u("loop-c"));
  styles.emplace(a, styleOf(EKN_fixed, "x")).first->second.setFallback(b);
  styles.emplace(b, styleOf(EKN_fixed, "yy")).first->second.setFallback(a);
  styles.emplace(c, styleOf(EKN_fixed, "z")).first->second.setFallback(b);
  styles.at(b).setPrefix("<");
  styles.at(b).setSuffix(">");
  // a -> b -> a is a loop: decimal ends it, with the first style's prefix and suffix only.
  EXPECT_EQ(utf8(styles.at(a).formatNumber(1, resolveFromMap, &styles, false)), "x");
  EXPECT_EQ(utf8(styles.at(a).formatNumber(2, resolveFromMap, &styles, false)), "y");
  EXPECT_EQ(utf8(styles.at(a).formatNumber(7, resolveFromMap, &styles, false)), "7");
  EXPECT_EQ(utf8(styles.at(c).formatNumber(2, resolveFromMap, &styles, false)), "y");
  EXPECT_EQ(utf8(styles.at(b).formatNumber(7, resolveFromMap, &styles, false)), "<7>");
  EXPECT_FALSE(styles.at(a).isInUse());
  // Without a resolver, or with an unknown name, the fallback is decimal.
  styles.at(a).setFallback(EKName(EKN_lower_roman));
  EXPECT_EQ(utf8(styles.at(a).formatNumber(4, nullptr, nullptr, true)), "4");
  EXPECT_EQ(utf8(styles.at(a).formatNumber(4, EKUtil::getPredefinedCounterStyle, nullptr, true)), "iv");

  // Representations of 1,000 UTF-16 units or more fall back.
  const CounterStyle stars = styleOf(EKN_symbolic, "*");
  EXPECT_EQ(bare(stars, 999).size(), 999u);
  EXPECT_EQ(bare(stars, 1000), "1000");
  EXPECT_EQ(bare(stars, INT64_MAX), "9223372036854775807");
  CounterStyle big{EKName(EKN_additive)};
  big.addAdditiveSymbol(1, "ab");
  EXPECT_EQ(bare(big, 499).size(), 998u);
  EXPECT_EQ(bare(big, 500), "500");
  EXPECT_EQ(bare(big, INT64_MAX), "9223372036854775807");
}

// The predefined styles by system, beyond what the ready-made rules check by themselves.
TEST(CounterStylePredefined, LookupAndSharedStyles) {
  EXPECT_EQ(predefined("Upper-Roman"), predefined("upper-roman"));
  EXPECT_EQ(predefined("no-such-style"), nullptr);
  EXPECT_EQ(predefined(""), nullptr);
  const CounterStyle* roman = predefined("upper-roman");
  ASSERT_NE(roman, nullptr);
  EXPECT_TRUE(roman->isPredefined());
  EXPECT_EQ(bare(*roman, 1999), "MCMXCIX");
  EXPECT_EQ(bare(*roman, 4000), "4000");
  EXPECT_EQ(bare(*predefined("decimal"), -5), "-5");
  EXPECT_EQ(marker(*predefined("decimal"), 3), "3. ");
  EXPECT_EQ(bare(*predefined("lower-alpha"), 27), "aa");
  EXPECT_EQ(bare(*predefined("lower-latin"), 26), "z");
  EXPECT_EQ(bare(*predefined("disc"), -3), "\xE2\x80\xA2");
  EXPECT_EQ(marker(*predefined("japanese-formal"), 10000), "\xE4\xB8\x80\xE3\x80\x87\xE3\x80\x87\xE3\x80\x87\xE3\x80\x87\xE3\x80\x81");
  EXPECT_EQ(utf8(predefined("japanese-formal")->formatNumber(10000, nullptr, nullptr, true)), "10000");
  // A copy of a predefined style is the host's to change.
  CounterStyle changed(*roman);
  changed.clrAdditiveSymbols();
  changed.addAdditiveSymbol(1000, "M");
  changed.addAdditiveSymbol(1, "|");
  EXPECT_EQ(bare(changed, 1003), "M|||");
  changed.setSystem(EKName(EKN_cyclic));
  EXPECT_EQ(bare(changed, 1003), "1003");
  const std::vector<UnicodeString> names = EKUtil::getPredefinedCounterStyleNames();
  EXPECT_GT(names.size(), 200u);
  for (const UnicodeString& name : names)
    EXPECT_NE(EKUtil::getPredefinedCounterStyle(EKName(name), nullptr), nullptr) << name;
}

TEST(CounterStylePredefined, BuiltOnceAndSharedBetweenThreads) {
  const std::vector<UnicodeString> names = EKUtil::getPredefinedCounterStyleNames();
  std::vector<std::thread> threads;
  std::vector<std::string> results(4);
  for (size_t t = 0; t < results.size(); ++t) {
    threads.emplace_back([&names, &results, t] {
      for (size_t i = t; i < names.size() + t; ++i) {
        const CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(names[i % names.size()]), nullptr);
        for (int64_t value : {-20000, 0, 7, 5000, 20000})
          results[t] += utf8(style->formatNumber(value, EKUtil::getPredefinedCounterStyle, nullptr, false));
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (size_t t = 1; t < results.size(); ++t)
    EXPECT_EQ(results[t].size(), results[0].size());
}

TEST(Kansuji, Variants) {
  const struct {
    const char* text;
    EKNameEnum type;
    EKNameEnum digits;
    const char* expected;
  } rows[] = {
      {"2024", EKN_simple, EKN_kanji, "二〇二四"},
      {"2024", EKN_simple, EKN_latin, "２０２４"},
      {"0", EKN_grouping, EKN_kanji, "〇"},
      {"12345678", EKN_grouping, EKN_kanji, "一二三四万五六七八"},
      {"100050000", EKN_grouping, EKN_kanji, "一億五万"},
      {"100050000", EKN_grouping, EKN_latin, "１億５万"},
      {"0", EKN_readable, EKN_kanji, "〇"},
      {"10", EKN_readable, EKN_kanji, "十"},
      {"1000", EKN_readable, EKN_kanji, "千"},
      {"11000", EKN_readable, EKN_kanji, "一万一千"},
      {"12345", EKN_readable, EKN_kanji, "一万二千三百四十五"},
      {"100000001", EKN_readable, EKN_kanji, "一億一"},
      {"-305", EKN_readable, EKN_kanji, "-三百五"},
      {"0007", EKN_readable, EKN_kanji, "七"},
      // 10^52 and more: the digits above the last unit, 極 (10^48), one by one.
      {"12340000000000000000000000000000000000000000000000000", EKN_readable, EKN_kanji,
       "一二三四〇極"},
      {"12a", EKN_readable, EKN_kanji, "12a"},
      {"-", EKN_readable, EKN_kanji, "-"},
      {"", EKN_simple, EKN_kanji, ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(EKUtil::convertKansuji(u(row.text), EKName(row.type), EKName(row.digits), UnicodeString(),
                                     UnicodeString()),
              u(row.expected))
        << row.text;
  EXPECT_EQ(EKUtil::convertKansuji(INT64_MIN, EKName(EKN_simple), EKName(EKN_kanji), u("0123456789"), UnicodeString()),
            u("-9223372036854775808"));
  // Own digits (the rest kanji) and units; without the three small units readable is simple.
  EXPECT_EQ(EKUtil::convertKansuji(123, EKName(EKN_readable), EKName(u("零壱弐")), UnicodeString(), u("拾佰仟")),
            u("佰弐拾三"));
  EXPECT_EQ(EKUtil::convertKansuji(123, EKName(EKN_readable), EKName(EKN_kanji), UnicodeString(), u("拾")),
            u("一二三"));
  // The style: readable, with the ideographic comma after.
  EXPECT_EQ(marker(*predefined("kansuji"), 20000000), "二千万、");
  EXPECT_EQ(bare(*predefined("kansuji"), -7), "-七");
  CounterStyle grouping = styleOf(EKN_kansuji, "0123456789十百千万億兆京垓𥝱穣溝澗");
  EXPECT_EQ(bare(grouping, 1230045), "123万45");
  EXPECT_EQ(bare(styleOf(EKN_kansuji, "0123456789"), 1230045), "1230045");
  EXPECT_EQ(bare(styleOf(EKN_kansuji, "012"), 5), "5");
}

TEST(FormatNumber, Tokens) {
  const struct {
    int64_t value;
    const char* format;
    const char* lang;
    EKNameEnum letterValue;
    const char* expected;
  } rows[] = {
      {5, "1", "", EKN_EMPTY, "5"},
      {5, "001", "", EKN_EMPTY, "005"},
      {-5, "01", "", EKN_EMPTY, "-05"},
      {5, "(1)", "", EKN_EMPTY, "(5)"},
      {5, "1.1.", "", EKN_EMPTY, "5."},          // one number: first token, last separator
      {5, "", "", EKN_EMPTY, "5"},
      {5, "--", "", EKN_EMPTY, "--5"},
      {42, "\xD9\xA1", "", EKN_EMPTY, "\xD9\xA4\xD9\xA2"}, // Arabic-Indic digits
      {7, "\xEF\xBC\x90\xEF\xBC\x91", "", EKN_EMPTY, "\xEF\xBC\x90\xEF\xBC\x97"}, // full-width 01
      {28, "a", "", EKN_EMPTY, "ab"},
      {28, "A", "", EKN_EMPTY, "AB"},
      {0, "a", "", EKN_EMPTY, "0"},
      {14, "i", "", EKN_EMPTY, "xiv"},
      {14, "I", "", EKN_EMPTY, "XIV"},
      {4000, "I", "", EKN_EMPTY, "4000"},
      {3, "i", "", EKN_alphabetic, "k"},          // i, j, k
      {26, "b", "", EKN_EMPTY, "bb"},             // the alphabet from b on
      {6, "\xCE\xB1", "", EKN_EMPTY, "\xCE\xB6"}, // alpha: the Greek alphabet
      {6, "\xCE\xB1", "", EKN_traditional, "\xCF\x83\xCF\x84"}, // Greek numerals
      {11, "\xD7\x90", "", EKN_traditional, "\xD7\x99\xD7\x90"}, // Hebrew numerals
      {3, "\xE3\x81\x82", "", EKN_EMPTY, "\xE3\x81\x86"},  // hiragana
      {3, "\xE2\x91\xA0", "", EKN_EMPTY, "\xE2\x91\xA2"},  // circled digits
      {12, "\xE4\xB8\x80", "ja", EKN_EMPTY, "十二"},
      {12345, "\xE4\xB8\x80", "ja", EKN_EMPTY, "一万二千三百四十五"},
      {12, "\xE4\xB8\x80", "zh-TW", EKN_EMPTY, "十二"},
      {-12, "\xE4\xB8\x80", "zh-CN", EKN_EMPTY, "负十二"},
      {12, "\xE5\xA3\xB9", "zh-CN", EKN_EMPTY, "壹拾贰"},
      {12, "\xE5\xA3\xB1", "", EKN_EMPTY, "壱拾弐"},
      {12, "\xEC\x9D\xBC", "", EKN_EMPTY, "일십이"},
      {5, "x1", "", EKN_EMPTY, "5"},               // an unknown token is read as "1"
      {5, "\xE2\x98\x83", "", EKN_EMPTY, "\xE2\x98\x83" "5"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(EKUtil::formatNumber(row.value, u(row.format), UnicodeString(), 0, EKLang(row.lang), row.letterValue),
              u(row.expected))
        << row.format << " " << row.value;
  EXPECT_EQ(EKUtil::formatNumber(1234567, u("1"), u(","), 3, EKLang(), EKN_EMPTY), u("1,234,567"));
  EXPECT_EQ(EKUtil::formatNumber(-1234, u("00001"), u("\xE2\x80\x89"), 2, EKLang(), EKN_EMPTY),
            u("-0\xE2\x80\x89" "12\xE2\x80\x89" "34"));
  EXPECT_EQ(EKUtil::formatNumber(1234, u("1"), u(","), 0, EKLang(), EKN_EMPTY), u("1234"));
  EXPECT_EQ(EKUtil::formatNumber(1234, u("a"), u(","), 1, EKLang(), EKN_EMPTY), u("aul"));
  EXPECT_EQ(EKUtil::formatNumber(INT64_MIN, u("1"), EKLang()), u("-9223372036854775808"));
}

} // namespace
