// A script code: an ICU UScriptCode, or one of the library's own codes for "auto", "none" and
// Chinese without a simplified/traditional choice; with the script classes that drive line
// layout (CJK, hanging baseline, kana, Latin group) and the detection of a text's script.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"

#include <unicode/uscript.h>

namespace EKCommonNS {

class EKCOMMON_API EKScript {
public:
  // The library's own codes, beside the values of UScriptCode.
  enum : int {
    SCRIPT_INVALID = -1, // not set, or read from a text that names no script
    SCRIPT_AUTO = -2,    // "auto", the empty text, "Zxxx"
    SCRIPT_NONE = -3,    // "none", "Zzzz"
    SCRIPT_CHINESE = -12 // "zh", "zho": Han, simplified or traditional
  };

  EKScript() = default;
  EKScript(UScriptCode code) : m_code(code) {}
  // Any int: a UScriptCode value or one of the codes above.
  static EKScript fromCode(int code) {
    EKScript script;
    script.m_code = code;
    return script;
  }
  // "Jpan", "Kana", "Hira", "Hans", "Hant", "Zmth" and the other ISO 15924 codes, "auto" and the
  // empty text, "none"; any other text is a language tag and gives the script that language
  // is written in (SCRIPT_INVALID when it is no language).
  explicit EKScript(const UnicodeString& text);
  // ISO 15924 codes and the language names "ja", "jpn", "ko", "kor", "zh", "zho", "zh-CN",
  // "zh-TW" and their relatives; other names are read as by the text constructor.
  explicit EKScript(EKName name);

  bool operator==(const EKScript& other) const { return m_code == other.m_code; }
  bool operator!=(const EKScript& other) const { return m_code != other.m_code; }
  bool operator<(const EKScript& other) const { return m_code < other.m_code; }

  int getCode() const { return m_code; }
  // ICU's long name of the script ("Latin", "Cyrillic"); "auto", "none", "Chinese", or the
  // empty string for SCRIPT_INVALID.
  UnicodeString getScriptName() const;
  // The ISO 15924 code ("Latn"); "auto", "none", "zh", or empty for SCRIPT_INVALID.
  UnicodeString toString() const;
  // The ISO 15924 code as a name: "Zxxx" for auto, "Zzzz" for none, "Hani" for Chinese.
  EKName getScriptCode() const;

  bool isValid() const { return m_code != SCRIPT_INVALID; }
  bool isAuto() const { return m_code == SCRIPT_AUTO; }
  bool isNone() const { return m_code == SCRIPT_NONE; }
  // Bopomofo, Han (either variant), Hangul, kana, Japanese, Korean or Chinese.
  bool isCJK() const;
  bool isCJKorAuto() const { return isAuto() || isCJK(); }
  // CJK scripts justified between ideographs: isCJK without Hangul.
  bool isCJKJustify() const { return m_code != USCRIPT_HANGUL && isCJK(); }
  // Scripts set on a hanging baseline: Bengali, Devanagari, Gujarati, Gurmukhi, Tibetan.
  bool isHangingBaseline() const;
  // Common, Armenian, Cyrillic, Ethiopic, Georgian, Greek and Latin.
  bool isLatinGroup() const;
  bool isKanaScript() const { return isKanaScript(m_code); }
  static bool isKanaScript(int code) {
    return code == USCRIPT_HIRAGANA || code == USCRIPT_KATAKANA ||
           code == USCRIPT_KATAKANA_OR_HIRAGANA;
  }
  bool isJA() const { return isKanaScript() || m_code == USCRIPT_JAPANESE; }
  bool isSC() const { return m_code == USCRIPT_SIMPLIFIED_HAN || m_code == SCRIPT_CHINESE; }
  bool isTC() const { return m_code == USCRIPT_TRADITIONAL_HAN || m_code == SCRIPT_CHINESE; }
  // Whether `c` is set full width in this script: East Asian width F or W, or width A when the
  // script is CJK and `c` is a JIS symbol or no Latin character.
  bool isZenkakuScript(int c) const;

  // The script of one character, with the layout-minded exceptions to ICU's answer: the Hebrew,
  // Arabic (but for its digits) and Devanagari blocks are their script whole, some Latin-1
  // symbols are Latin, kana voicing marks and the prolonged sound mark are Katakana-or-Hiragana,
  // emoji and mathematical operators have codes of their own.
  static EKScript getScript(int c);
  // The script that decides a text: the first character of a script other than Common,
  // Inherited and Latin; Latin when only Latin (and Common) characters occur, or at the first
  // Latin character with `firstOnly`; Common for a text without any.
  static EKScript getScriptFromText(const UnicodeString& s, bool firstOnly);

private:
  int m_code = SCRIPT_INVALID;
};

} // namespace EKCommonNS
