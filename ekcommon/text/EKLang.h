// A language tag (an ICU Locale underneath) with the conversions a formatter needs: ISO 639-2/3
// three-letter codes, the Windows LCID, the language as a name, the default locale and the
// scripts a language is typically written in.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKLock.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/text/EKScript.h"

#include <unicode/locid.h>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace EKCommonNS {

class EKCOMMON_API EKLang {
public:
  // A Windows locale identifier.
  using LanguageID = uint32_t;

  // The null language: no language at all.
  EKLang() = default;
  // A language tag ("ja", "en-US", "zh_Hant_TW", "jpn"); old and Windows-only spellings ("iw",
  // "zh-CHS") are first mapped to their current form. "none" and the empty text give the null
  // language.
  explicit EKLang(const UnicodeString& language);
  EKLang(const UnicodeString& language, const UnicodeString& country);
  explicit EKLang(const char* language);
  explicit EKLang(EKName name);
  explicit EKLang(EKNameEnum name) : EKLang(EKName(name)) {}
  // The language most often written in `script` ("ja" for Japanese, "zh-CN" for simplified Han,
  // "ru" for Cyrillic); the null language for auto, none and scripts without one.
  explicit EKLang(const EKScript& script);

  bool operator==(const EKLang& other) const { return m_locale == other.m_locale; }
  bool operator!=(const EKLang& other) const { return m_locale != other.m_locale; }
  bool operator<(const EKLang& other) const;

  bool isNullLang() const { return *m_locale.getLanguage() == '\0'; }
  // A language that is set but has no three-letter code.
  bool isInvalid() const { return !isNullLang() && getISO3Language().isEmpty(); }

  const icu::Locale& getLocale() const { return m_locale; }
  UnicodeString getLanguage() const;
  UnicodeString getCountry() const;
  // The script subtag ("Hant"), empty when the tag has none.
  UnicodeString getLangScript() const;
  UnicodeString getISO3Country() const;
  // The ISO 639-2/3 code ("jpn" for "ja"); "kht", "ksw", "mnw", "aii" and "cld", which ICU does
  // not know, are returned as given; empty for any other unknown language and the null language.
  UnicodeString getISO3Language() const;
  // The three-letter code as a name (the empty name when there is none).
  EKName getLanguageName() const;
  // The Windows LCID; 0 when there is none.
  LanguageID getLCID() const;

  // "ja", "en-US": the language, with "-" and the country when there is one.
  UnicodeString toString() const;
  // "jpn", "eng-US": the three-letter language, with "-" and the country when there is one.
  UnicodeString toISO3String() const;
  // The BCP 47 tag with every subtag ("zh-Hant-TW"); empty for the null language.
  UnicodeString toFullString() const;
  // The script this language is written in: EKScript(toISO3String()).
  EKScript toScript() const { return EKScript(toISO3String()); }
  // Whether the language is one typically written in `script`.
  bool isTypicalScript(const EKScript& script) const;

  static const icu::Locale& getDefaultLocale() { return icu::Locale::getDefault(); }
  static bool isDefaultLocaleJapanese();
  // Kept for symmetry with the other clean-up calls: the language tables need no freeing.
  static void cleanup() {}

private:
  using AliasMap = std::unordered_map<std::u16string, const char*>;
  // Built at load time (ekcommon/core/EKStartup.cpp), before anything else of the library.
  static AliasMap buildLanguageAliases();
  static const AliasMap s_languageAliases;
  // Three-letter codes found so far, by language subtag; guarded by s_iso3CacheLock.
  static std::unordered_map<std::string, std::string> s_iso3Cache;
  static EKLock s_iso3CacheLock;

  void setLanguage(const UnicodeString& language, const UnicodeString& country);

  icu::Locale m_locale{""};
};

} // namespace EKCommonNS
