// Script codes: reading them from ISO 15924 codes and language tags, their classes, and the
// script of characters and texts.
#include "ekcommon/text/EKScript.h"

#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKLang.h"

#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

// Language tags with a script of their own beyond what the likely script of the language says:
// Japanese and Korean mix scripts, Chinese needs the simplified/traditional choice.
const struct {
  const char16_t* tag; // lower case
  int code;
} LANGUAGE_SCRIPTS[] = {
    {u"ja", USCRIPT_JAPANESE},           {u"jpn", USCRIPT_JAPANESE},
    {u"ko", USCRIPT_KOREAN},             {u"kor", USCRIPT_KOREAN},
    {u"zh-cn", USCRIPT_SIMPLIFIED_HAN},  {u"zh-chn", USCRIPT_SIMPLIFIED_HAN},
    {u"zh-sg", USCRIPT_SIMPLIFIED_HAN},  {u"zho-cn", USCRIPT_SIMPLIFIED_HAN},
    {u"zho-chn", USCRIPT_SIMPLIFIED_HAN}, {u"zho-sg", USCRIPT_SIMPLIFIED_HAN},
    {u"zh-hk", USCRIPT_TRADITIONAL_HAN}, {u"zh-tw", USCRIPT_TRADITIONAL_HAN},
    {u"zh-twn", USCRIPT_TRADITIONAL_HAN}, {u"zh-mo", USCRIPT_TRADITIONAL_HAN},
    {u"zho-hk", USCRIPT_TRADITIONAL_HAN}, {u"zho-tw", USCRIPT_TRADITIONAL_HAN},
    {u"zho-twn", USCRIPT_TRADITIONAL_HAN}, {u"zho-mo", USCRIPT_TRADITIONAL_HAN},
    {u"zh", EKScript::SCRIPT_CHINESE},   {u"zho", EKScript::SCRIPT_CHINESE},
};

int languageTableScript(const UnicodeString& tag) {
  UnicodeString key(tag);
  key.toLower().findAndReplace(u"_", u"-");
  for (const auto& entry : LANGUAGE_SCRIPTS) {
    if (key == entry.tag)
      return entry.code;
  }
  return EKScript::SCRIPT_INVALID;
}

// An ISO 15924 code that ICU knows ("Latn", "Hans", "Zmth"); SCRIPT_INVALID otherwise.
int scriptCodeOf(const UnicodeString& text) {
  if (text.length() != 4)
    return EKScript::SCRIPT_INVALID;
  char code[5] = {};
  for (int32_t i = 0; i < 4; ++i) {
    const char16_t c = text[i];
    if (!EKChar::isAsciiLetter(c))
      return EKScript::SCRIPT_INVALID;
    code[i] = static_cast<char>(c);
  }
  const int value = u_getPropertyValueEnum(UCHAR_SCRIPT, code);
  return value == UCHAR_INVALID_CODE ? EKScript::SCRIPT_INVALID : value;
}

bool isLatin1LatinSymbol(int c) {
  return (c >= 0xA2 && c <= 0xA5) || (c >= 0xA7 && c <= 0xAA) || c == 0xAE || c == 0xAF ||
         c == 0xB4 || c == 0xB5 || c == 0xB8 || c == 0xBA;
}

bool isKanaMark(int c) {
  return (c >= 0x3099 && c <= 0x309C) || c == 0x30FC;
}

bool isArabicLetter(int c) {
  return EKChar::isArabic(c) && !(c >= 0x0660 && c <= 0x0669) && !(c >= 0x06F0 && c <= 0x06F9);
}

// The text of the library's own codes (the code for toString, the name for getScriptName); null
// for the codes of ICU.
const char16_t* ownCodeText(int code, bool asCode) {
  switch (code) {
  case EKScript::SCRIPT_INVALID:
    return u"";
  case EKScript::SCRIPT_AUTO:
    return u"auto";
  case EKScript::SCRIPT_NONE:
    return u"none";
  case EKScript::SCRIPT_CHINESE:
    return asCode ? u"zh" : u"Chinese";
  default:
    return nullptr;
  }
}

} // namespace

EKScript::EKScript(const UnicodeString& text) {
  UnicodeString trimmed(text);
  trimmed.trim();
  if (trimmed.isEmpty() || trimmed.caseCompare(u"auto", 0) == 0 || trimmed.caseCompare(u"Zxxx", 0) == 0) {
    m_code = SCRIPT_AUTO;
    return;
  }
  if (trimmed.caseCompare(u"none", 0) == 0 || trimmed.caseCompare(u"Zzzz", 0) == 0) {
    m_code = SCRIPT_NONE;
    return;
  }
  m_code = scriptCodeOf(trimmed);
  if (m_code != SCRIPT_INVALID)
    return;
  m_code = languageTableScript(trimmed);
  if (m_code != SCRIPT_INVALID)
    return;
  const EKLang lang(trimmed);
  if (lang.isNullLang() || lang.isInvalid())
    return;
  m_code = scriptCodeOf(lang.getLangScript());
  if (m_code == SCRIPT_INVALID)
    m_code = languageTableScript(lang.toISO3String());
  if (m_code == SCRIPT_INVALID && lang.getISO3Language() == u"zho")
    m_code = SCRIPT_CHINESE;
  if (m_code != SCRIPT_INVALID)
    return;
  // Any other language: the script ICU finds most likely for it.
  icu::Locale likely(lang.getLocale());
  UErrorCode status = U_ZERO_ERROR;
  likely.addLikelySubtags(status);
  if (U_SUCCESS(status))
    m_code = scriptCodeOf(UnicodeString(likely.getScript(), -1, US_INV));
}

EKScript::EKScript(EKName name) : EKScript(name.toString()) {}

UnicodeString EKScript::getScriptName() const {
  if (const char16_t* own = ownCodeText(m_code, false))
    return UnicodeString(own);
  const char* name = uscript_getName(static_cast<UScriptCode>(m_code));
  return name ? UnicodeString(name, -1, US_INV) : UnicodeString();
}

UnicodeString EKScript::toString() const {
  if (const char16_t* own = ownCodeText(m_code, true))
    return UnicodeString(own);
  const char* name = uscript_getShortName(static_cast<UScriptCode>(m_code));
  return name ? UnicodeString(name, -1, US_INV) : UnicodeString();
}

EKName EKScript::getScriptCode() const {
  switch (m_code) {
  case SCRIPT_INVALID:
    return EKName();
  case SCRIPT_AUTO:
    return EKName(EKN_Zxxx);
  case SCRIPT_NONE:
    return EKName(EKN_Zzzz);
  case SCRIPT_CHINESE:
    return EKName(EKN_Hani);
  default:
    return EKName(toString());
  }
}

bool EKScript::isCJK() const {
  switch (m_code) {
  case USCRIPT_BOPOMOFO:
  case USCRIPT_HAN:
  case USCRIPT_HANGUL:
  case USCRIPT_HIRAGANA:
  case USCRIPT_KATAKANA:
  case USCRIPT_KATAKANA_OR_HIRAGANA:
  case USCRIPT_SIMPLIFIED_HAN:
  case USCRIPT_TRADITIONAL_HAN:
  case USCRIPT_JAPANESE:
  case USCRIPT_KOREAN:
  case SCRIPT_CHINESE:
    return true;
  default:
    return false;
  }
}

bool EKScript::isHangingBaseline() const {
  return m_code == USCRIPT_BENGALI || m_code == USCRIPT_DEVANAGARI || m_code == USCRIPT_GUJARATI ||
         m_code == USCRIPT_GURMUKHI || m_code == USCRIPT_TIBETAN;
}

bool EKScript::isLatinGroup() const {
  return m_code == USCRIPT_COMMON || m_code == USCRIPT_ARMENIAN || m_code == USCRIPT_CYRILLIC ||
         m_code == USCRIPT_ETHIOPIC || m_code == USCRIPT_GEORGIAN || m_code == USCRIPT_GREEK ||
         m_code == USCRIPT_LATIN;
}

bool EKScript::isZenkakuScript(int c) const {
  const UEastAsianWidth width = EKChar::getEastAsianWidth(c);
  if (EKChar::isZenkaku(width))
    return true;
  if (width != U_EA_AMBIGUOUS || !isCJK())
    return false;
  UErrorCode status = U_ZERO_ERROR;
  return EKChar::isSymbolJIS(c) || uscript_getScript(c, &status) != USCRIPT_LATIN;
}

EKScript EKScript::getScript(int c) {
  if (EKChar::isHebrewScript(c))
    return EKScript(USCRIPT_HEBREW);
  if (isArabicLetter(c))
    return EKScript(USCRIPT_ARABIC);
  if (EKChar::isDevanagariScript(c))
    return EKScript(USCRIPT_DEVANAGARI);
  if (isLatin1LatinSymbol(c))
    return EKScript(USCRIPT_LATIN);
  if (isKanaMark(c))
    return EKScript(USCRIPT_KATAKANA_OR_HIRAGANA);
  if (EKChar::isEmoji(c, false))
    return EKScript(USCRIPT_SYMBOLS_EMOJI);
  if (EKChar::isMathOperator(c))
    return EKScript(USCRIPT_MATHEMATICAL_NOTATION);
  UErrorCode status = U_ZERO_ERROR;
  const UScriptCode code = uscript_getScript(c, &status);
  return EKScript(U_SUCCESS(status) ? code : USCRIPT_INVALID_CODE);
}

EKScript EKScript::getScriptFromText(const UnicodeString& s, bool firstOnly) {
  bool latinSeen = false;
  for (int32_t i = 0; i < s.length();) {
    const UChar32 c = s.char32At(i);
    i += U16_LENGTH(c);
    if (EKChar::isHebrewScript(c) || isArabicLetter(c) || EKChar::isDevanagariScript(c) ||
        isKanaMark(c) || EKChar::isEmoji(c, false) || EKChar::isMathOperator(c))
      return getScript(c);
    UErrorCode status = U_ZERO_ERROR;
    const int code = isLatin1LatinSymbol(c) ? USCRIPT_LATIN : uscript_getScript(c, &status);
    if (U_FAILURE(status) || code == USCRIPT_COMMON || code == USCRIPT_INHERITED ||
        code == USCRIPT_INVALID_CODE)
      continue;
    if (code != USCRIPT_LATIN)
      return EKScript(static_cast<UScriptCode>(code));
    if (firstOnly)
      return EKScript(USCRIPT_LATIN);
    latinSeen = true;
  }
  return EKScript(latinSeen ? USCRIPT_LATIN : USCRIPT_COMMON);
}

} // namespace EKCommonNS
