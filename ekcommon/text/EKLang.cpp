// Language tags: the alias table applied before ICU reads a tag, three-letter codes with their
// cache, and the languages each script is typically written in.
#include "ekcommon/text/EKLang.h"

#include "ekcommon/core/EKMutex.h"

#include <cstring>

namespace EKCommonNS {

namespace {

// Languages that ICU has no three-letter code for but that the script table names.
const char* const OWN_ISO3_CODES[] = {"kht", "ksw", "mnw", "aii", "cld"};

// The languages typically written in each script, by three-letter code. The first language of
// a script is the one EKLang(EKScript) gives.
const struct {
  int script;
  const char* languages; // space-separated
} TYPICAL_SCRIPTS[] = {
    {USCRIPT_ARABIC, "ara fas urd"},
    {USCRIPT_ARMENIAN, "hye"},
    {USCRIPT_BENGALI, "ben"},
    {USCRIPT_CYRILLIC, "rus aze bel bos bul kaz kir mkd srp tgk tuk uzb"},
    {USCRIPT_DEVANAGARI, "hin"},
    {USCRIPT_ETHIOPIC, "amh"},
    {USCRIPT_GEORGIAN, "kat"},
    {USCRIPT_GREEK, "ell"},
    {USCRIPT_GUJARATI, "guj"},
    {USCRIPT_GURMUKHI, "pan"},
    {USCRIPT_HAN, "zho jpn"},
    {USCRIPT_HIRAGANA, "jpn"},
    {USCRIPT_KATAKANA, "jpn"},
    {USCRIPT_KATAKANA_OR_HIRAGANA, "jpn"},
    {USCRIPT_JAPANESE, "jpn"},
    {USCRIPT_HANGUL, "kor"},
    {USCRIPT_KOREAN, "kor"},
    {USCRIPT_HEBREW, "heb"},
    {USCRIPT_KANNADA, "kan"},
    {USCRIPT_KHMER, "khm"},
    {USCRIPT_LAO, "lao"},
    {USCRIPT_MALAYALAM, "mal"},
    {USCRIPT_MONGOLIAN, "mon"},
    {USCRIPT_MYANMAR, "mya kar kht ksw mnw"},
    {USCRIPT_ORIYA, "ori"},
    {USCRIPT_SINHALA, "sin"},
    {USCRIPT_SYRIAC, "syr aii"},
    {USCRIPT_TAMIL, "tam"},
    {USCRIPT_TELUGU, "tel"},
    {USCRIPT_THAI, "tha"},
    {USCRIPT_TIBETAN, "bod"},
    {USCRIPT_LATIN,
     "eng nld tur pol nor por ron slk slv spa sqi swa swe nob oci roh zul vie glg fra cat afr ces "
     "cym dan deu epo est eus fin gle hrv hun ind isl ita lat lav lit mlt srp uzb"},
};

bool listsLanguage(const char* languages, const std::string& iso3) {
  const size_t length = iso3.size();
  for (const char* p = languages; *p;) {
    const char* end = std::strchr(p, ' ');
    const size_t wordLength = end ? static_cast<size_t>(end - p) : std::strlen(p);
    if (wordLength == length && iso3.compare(0, length, p, length) == 0)
      return true;
    if (!end)
      break;
    p = end + 1;
  }
  return false;
}

UnicodeString invariant(const char* s) {
  return UnicodeString(s, -1, US_INV);
}

std::string toAscii(const UnicodeString& s) {
  std::string out;
  out.reserve(static_cast<size_t>(s.length()));
  for (int32_t i = 0; i < s.length(); ++i) {
    const char16_t c = s[i];
    out += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return out;
}

} // namespace

EKLang::AliasMap EKLang::buildLanguageAliases() {
  // Withdrawn ISO 639 codes, Windows-only Chinese tags and the names of languages sometimes
  // written where a code belongs; keys are lower case with '-' as the separator.
  return AliasMap{
      {u"iw", "he"},          {u"ji", "yi"},          {u"in", "id"},
      {u"jw", "jv"},          {u"mo", "ro"},          {u"sh", "sr-Latn"},
      {u"tl", "fil"},         {u"zh-chs", "zh-CN"},   {u"zh-cht", "zh-TW"},
      {u"zh-hans", "zh-CN"},  {u"zh-hant", "zh-TW"},  {u"zh-chn", "zh-CN"},
      {u"zh-twn", "zh-TW"},   {u"zho-chn", "zh-CN"},  {u"zho-twn", "zh-TW"},
      {u"no-bok", "nb"},      {u"no-nyn", "nn"},      {u"i-klingon", "tlh"},
      {u"japanese", "ja"},    {u"english", "en"},     {u"chinese", "zh"},
      {u"korean", "ko"},
  };
}

EKLang::EKLang(const UnicodeString& language) {
  setLanguage(language, UnicodeString());
}

EKLang::EKLang(const UnicodeString& language, const UnicodeString& country) {
  setLanguage(language, country);
}

EKLang::EKLang(const char* language) {
  setLanguage(language ? UnicodeString::fromUTF8(language) : UnicodeString(), UnicodeString());
}

EKLang::EKLang(EKName name) {
  if (name != EKN_none)
    setLanguage(name.toString(), UnicodeString());
}

EKLang::EKLang(const EKScript& script) {
  switch (script.getCode()) {
  case USCRIPT_SIMPLIFIED_HAN:
    m_locale = icu::Locale("zh", "CN");
    return;
  case USCRIPT_TRADITIONAL_HAN:
    m_locale = icu::Locale("zh", "TW");
    return;
  case EKScript::SCRIPT_CHINESE:
    m_locale = icu::Locale("zh");
    return;
  default:
    break;
  }
  for (const auto& entry : TYPICAL_SCRIPTS) {
    if (entry.script == script.getCode()) {
      setLanguage(UnicodeString(entry.languages, 3, US_INV), UnicodeString());
      return;
    }
  }
}

void EKLang::setLanguage(const UnicodeString& language, const UnicodeString& country) {
  UnicodeString key(language);
  key.trim().toLower().findAndReplace(u"_", u"-");
  if (key.isEmpty() || key == u"none") {
    m_locale = icu::Locale("");
    return;
  }
  const auto alias = s_languageAliases.find(std::u16string(key.getBuffer(), static_cast<size_t>(key.length())));
  std::string tag = alias != s_languageAliases.end() ? alias->second : toAscii(key);
  if (!country.isEmpty())
    tag += "-" + toAscii(country);
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale locale = icu::Locale::forLanguageTag(tag, status);
  // Tags that are no BCP 47 (ICU's own "ja_JP_TRADITIONAL" forms) are read the ICU way.
  if (U_FAILURE(status) || locale.isBogus())
    locale = icu::Locale::createFromName(tag.c_str());
  m_locale = locale;
}

bool EKLang::operator<(const EKLang& other) const {
  return std::strcmp(m_locale.getName(), other.m_locale.getName()) < 0;
}

UnicodeString EKLang::getLanguage() const {
  return invariant(m_locale.getLanguage());
}

UnicodeString EKLang::getCountry() const {
  return invariant(m_locale.getCountry());
}

UnicodeString EKLang::getLangScript() const {
  return invariant(m_locale.getScript());
}

UnicodeString EKLang::getISO3Country() const {
  return invariant(m_locale.getISO3Country());
}

UnicodeString EKLang::getISO3Language() const {
  const std::string language = m_locale.getLanguage();
  if (language.empty())
    return UnicodeString();
  EKMutex guard(s_iso3CacheLock);
  auto hit = s_iso3Cache.find(language);
  if (hit == s_iso3Cache.end()) {
    std::string iso3 = m_locale.getISO3Language();
    if (iso3.empty()) {
      for (const char* own : OWN_ISO3_CODES) {
        if (language == own)
          iso3 = own;
      }
    }
    hit = s_iso3Cache.emplace(language, iso3).first;
  }
  return invariant(hit->second.c_str());
}

EKName EKLang::getLanguageName() const {
  const UnicodeString iso3 = getISO3Language();
  return iso3.isEmpty() ? EKName() : EKName(iso3);
}

EKLang::LanguageID EKLang::getLCID() const {
  return isNullLang() ? 0 : m_locale.getLCID();
}

UnicodeString EKLang::toString() const {
  UnicodeString text = getLanguage();
  if (*m_locale.getCountry())
    text.append(u'-').append(getCountry());
  return text;
}

UnicodeString EKLang::toISO3String() const {
  UnicodeString text = getISO3Language();
  if (*m_locale.getCountry())
    text.append(u'-').append(getCountry());
  return text;
}

UnicodeString EKLang::toFullString() const {
  if (isNullLang())
    return UnicodeString();
  UErrorCode status = U_ZERO_ERROR;
  const std::string tag = m_locale.toLanguageTag<std::string>(status);
  return U_SUCCESS(status) ? UnicodeString::fromUTF8(tag) : toString();
}

bool EKLang::isTypicalScript(const EKScript& script) const {
  const std::string iso3 = toAscii(getISO3Language());
  if (iso3.empty())
    return false;
  for (const auto& entry : TYPICAL_SCRIPTS) {
    if (entry.script == script.getCode() && listsLanguage(entry.languages, iso3))
      return true;
  }
  return false;
}

bool EKLang::isDefaultLocaleJapanese() {
  return std::strcmp(getDefaultLocale().getISO3Language(), icu::Locale::getJapanese().getISO3Language()) == 0;
}

} // namespace EKCommonNS
