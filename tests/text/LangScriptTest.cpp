#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

TEST(Lang, TagsCodesAndNames) {
  const struct {
    const char* tag;
    const char* string;
    const char* iso3;
    const char* full;
    uint32_t lcid;
  } rows[] = {
      {"ja", "ja", "jpn", "ja", 0x11},
      {"en-US", "en-US", "eng-US", "en-US", 0x409},
      {"EN_gb", "en-GB", "eng-GB", "en-GB", 0x809},
      {"zh-TW", "zh-TW", "zho-TW", "zh-TW", 0x404},
      {"iw", "he", "heb", "he", 0x0D},       // withdrawn code
      {"zh-CHS", "zh-CN", "zho-CN", "zh-CN", 0x804}, // Windows-only tag
      {"jpn", "ja", "jpn", "ja", 0x11},      // three-letter input
      {"kht", "kht", "kht", "kht", 0},       // no code in ICU, kept as given
      {"none", "", "", "", 0},
      {"", "", "", "", 0},
  };
  for (const auto& row : rows) {
    const EKLang lang(row.tag);
    EXPECT_EQ(lang.toString(), u(row.string)) << row.tag;
    EXPECT_EQ(lang.toISO3String(), u(row.iso3)) << row.tag;
    EXPECT_EQ(lang.toFullString(), u(row.full)) << row.tag;
    EXPECT_EQ(lang.getLCID(), row.lcid) << row.tag;
    EXPECT_EQ(lang.isNullLang(), *row.string == '\0') << row.tag;
  }
  EXPECT_TRUE(EKLang(EKName(EKN_none)).isNullLang());
  EXPECT_EQ(EKLang(EKName(EKN_ja)).getLanguageName(), EKName(EKN_jpn));
  EXPECT_EQ(EKLang(u("de"), u("AT")).toString(), u("de-AT"));
  EXPECT_EQ(EKLang(u("de"), u("AT")).getISO3Country(), u("AUT"));
  EXPECT_TRUE(EKLang("xq").isInvalid());
  EXPECT_FALSE(EKLang("fr").isInvalid());
  EXPECT_FALSE(EKLang().isInvalid());
  EXPECT_TRUE(EKLang("ja") == EKLang("jpn"));
  EXPECT_TRUE(EKLang("de") < EKLang("en"));
}

TEST(Lang, ThreeLetterCodesFromSeveralThreads) {
  const char* const tags[] = {"de", "fr", "nl", "sv", "fi", "pl", "cs", "hu", "tr", "el", "ko", "th"};
  std::vector<std::string> results(4);
  std::vector<std::thread> threads;
  for (std::string& result : results)
    threads.emplace_back([&tags, &result] {
      for (const char* tag : tags)
        result += utf8(EKLang(tag).toISO3String()) + " ";
    });
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& result : results)
    EXPECT_EQ(result, "deu fra nld swe fin pol ces hun tur ell kor tha ");
}

TEST(Lang, ScriptsOfLanguages) {
  EXPECT_EQ(EKLang("ja").toScript().getCode(), USCRIPT_JAPANESE);
  EXPECT_EQ(EKLang("ko-KR").toScript().getCode(), USCRIPT_KOREAN);
  EXPECT_EQ(EKLang("zh-SG").toScript().getCode(), USCRIPT_SIMPLIFIED_HAN);
  EXPECT_EQ(EKLang("zh").toScript().getCode(), EKScript::SCRIPT_CHINESE);
  EXPECT_EQ(EKLang("ru").toScript().getCode(), USCRIPT_CYRILLIC);
  EXPECT_EQ(EKLang("fr-CA").toScript().getCode(), USCRIPT_LATIN);

  EXPECT_TRUE(EKLang("ja").isTypicalScript(EKScript(USCRIPT_HAN)));
  EXPECT_TRUE(EKLang("ja").isTypicalScript(EKScript(USCRIPT_KATAKANA)));
  EXPECT_FALSE(EKLang("ja").isTypicalScript(EKScript(USCRIPT_HANGUL)));
  EXPECT_TRUE(EKLang("sr").isTypicalScript(EKScript(USCRIPT_LATIN)));
  EXPECT_TRUE(EKLang("sr").isTypicalScript(EKScript(USCRIPT_CYRILLIC)));
  EXPECT_TRUE(EKLang("mnw").isTypicalScript(EKScript(USCRIPT_MYANMAR)));
  EXPECT_FALSE(EKLang("en").isTypicalScript(EKScript(USCRIPT_THAI)));
  EXPECT_FALSE(EKLang().isTypicalScript(EKScript(USCRIPT_LATIN)));

  // The language of a script goes back to the script.
  for (int code : {USCRIPT_JAPANESE, USCRIPT_KOREAN, USCRIPT_SIMPLIFIED_HAN, USCRIPT_TRADITIONAL_HAN,
                   USCRIPT_ARABIC, USCRIPT_GREEK, USCRIPT_THAI})
    EXPECT_EQ(EKLang(EKScript::fromCode(code)).toScript().getCode(), code) << code;
  EXPECT_EQ(EKLang(EKScript::fromCode(EKScript::SCRIPT_CHINESE)).toString(), u("zh"));
  EXPECT_TRUE(EKLang(EKScript::fromCode(EKScript::SCRIPT_AUTO)).isNullLang());
}

TEST(Script, CodesFromText) {
  const struct {
    const char* text;
    int code;
    const char* string;
  } rows[] = {
      {"Jpan", USCRIPT_JAPANESE, "Jpan"},
      {"kana", USCRIPT_KATAKANA, "Kana"},
      {"Hans", USCRIPT_SIMPLIFIED_HAN, "Hans"},
      {"Zmth", USCRIPT_MATHEMATICAL_NOTATION, "Zmth"},
      {"Zsye", USCRIPT_SYMBOLS_EMOJI, "Zsye"},
      {"Arab", USCRIPT_ARABIC, "Arab"},
      {"", EKScript::SCRIPT_AUTO, "auto"},
      {"auto", EKScript::SCRIPT_AUTO, "auto"},
      {"Zxxx", EKScript::SCRIPT_AUTO, "auto"},
      {"none", EKScript::SCRIPT_NONE, "none"},
      {"Zzzz", EKScript::SCRIPT_NONE, "none"},
      {"zh", EKScript::SCRIPT_CHINESE, "zh"},
      {"zho", EKScript::SCRIPT_CHINESE, "zh"},
      {"zh-TW", USCRIPT_TRADITIONAL_HAN, "Hant"},
      {"zho-CHN", USCRIPT_SIMPLIFIED_HAN, "Hans"},
      {"ja-JP", USCRIPT_JAPANESE, "Jpan"},
      {"el", USCRIPT_GREEK, "Grek"},
      {"sr-Cyrl-RS", USCRIPT_CYRILLIC, "Cyrl"},
      {"xq", EKScript::SCRIPT_INVALID, ""},
  };
  for (const auto& row : rows) {
    const EKScript script{u(row.text)};
    EXPECT_EQ(script.getCode(), row.code) << row.text;
    EXPECT_EQ(script.toString(), u(row.string)) << row.text;
    EXPECT_EQ(EKScript(EKName(u(row.text))).getCode(), row.code) << row.text;
  }
  EXPECT_EQ(EKScript(USCRIPT_LATIN).getScriptName(), u("Latin"));
  EXPECT_EQ(EKScript(EKName(EKN_Zxxx)).getScriptCode(), EKName(EKN_Zxxx));
  EXPECT_EQ(EKScript::fromCode(EKScript::SCRIPT_CHINESE).getScriptCode(), EKName(EKN_Hani));
}

TEST(Script, Classes) {
  const EKScript zh{u("zh")}, tw{u("zh-TW")}, cn{u("zh-CN")}, ko{u("ko")}, hangul(USCRIPT_HANGUL),
      hira(USCRIPT_HIRAGANA), deva(USCRIPT_DEVANAGARI), cyrl(USCRIPT_CYRILLIC), arab(USCRIPT_ARABIC),
      automatic{u("auto")};
  EXPECT_TRUE(zh.isSC() && zh.isTC() && zh.isCJK());
  EXPECT_TRUE(tw.isTC() && !tw.isSC());
  EXPECT_TRUE(cn.isSC() && !cn.isTC());
  EXPECT_TRUE(ko.isCJK() && ko.isCJKJustify());
  EXPECT_TRUE(hangul.isCJK() && !hangul.isCJKJustify());
  EXPECT_TRUE(hira.isKanaScript() && hira.isJA() && !tw.isJA());
  EXPECT_TRUE(EKScript{u("Jpan")}.isJA() && !EKScript{u("Jpan")}.isKanaScript());
  EXPECT_TRUE(deva.isHangingBaseline() && !arab.isHangingBaseline());
  EXPECT_TRUE(cyrl.isLatinGroup() && EKScript(USCRIPT_COMMON).isLatinGroup() && !arab.isLatinGroup());
  EXPECT_TRUE(automatic.isCJKorAuto() && !automatic.isCJK() && !arab.isCJKorAuto());
  // Full width: wide characters always; ambiguous ones in CJK text unless Latin letters.
  EXPECT_TRUE(arab.isZenkakuScript(0x3042));
  EXPECT_TRUE(hira.isZenkakuScript(0x00A7));  // section sign, a JIS symbol
  EXPECT_FALSE(cyrl.isZenkakuScript(0x00A7));
  EXPECT_FALSE(hira.isZenkakuScript(0x00E9)); // e acute: ambiguous width but Latin
  EXPECT_FALSE(hira.isZenkakuScript('a'));
}

TEST(Script, OfCharactersAndTexts) {
  const struct {
    int c;
    int code;
  } chars[] = {
      {0x05D0, USCRIPT_HEBREW}, {0x0627, USCRIPT_ARABIC}, {0x0915, USCRIPT_DEVANAGARI},
      {0x00A9, USCRIPT_LATIN},  {0x3099, USCRIPT_KATAKANA_OR_HIRAGANA}, {0x30FC, USCRIPT_KATAKANA_OR_HIRAGANA},
      {0x1F600, USCRIPT_SYMBOLS_EMOJI}, {0x2211, USCRIPT_MATHEMATICAL_NOTATION}, {0x0E01, USCRIPT_THAI},
      {'1', USCRIPT_COMMON},
  };
  for (const auto& row : chars)
    EXPECT_EQ(EKScript::getScript(row.c).getCode(), row.code) << std::hex << row.c;

  const struct {
    const char* text;
    bool firstOnly;
    int code;
  } texts[] = {
      {"123 abc", false, USCRIPT_LATIN},
      {"123", false, USCRIPT_COMMON},
      {"", false, USCRIPT_COMMON},
      {"abc \xE3\x81\x82", false, USCRIPT_HIRAGANA},
      {"abc \xE3\x81\x82", true, USCRIPT_LATIN},
      {"\xC2\xA9 \xD0\x96", false, USCRIPT_CYRILLIC},         // the copyright sign waits
      {"\xC2\xA9 \xD0\x96", true, USCRIPT_LATIN},
      {"x \xD7\xA9", false, USCRIPT_HEBREW},                  // Hebrew decides at once
      {"\xCC\x81\xE3\x83\xBC", false, USCRIPT_KATAKANA_OR_HIRAGANA}, // combining mark skipped
      {"a \xF0\x9F\x98\x80", false, USCRIPT_SYMBOLS_EMOJI},
  };
  for (const auto& row : texts)
    EXPECT_EQ(EKScript::getScriptFromText(u(row.text), row.firstOnly).getCode(), row.code)
        << row.text << " " << row.firstOnly;
}

} // namespace
