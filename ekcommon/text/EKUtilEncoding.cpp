// Encoding names of EKUtil: IANA names through ICU and the canonical spellings that the XML
// parser reports, plus the release of the utilities' process-wide caches.
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/core/EKMutex.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/text/internal/EKTrim.h"

#include <unicode/locid.h>
#include <unicode/ucnv.h>

#include <iterator>
#include <string>

namespace EKCommonNS {

namespace {

struct EncodingAlias {
  const char* alias;
  EKNameEnum canonical;
};

// Every spelling the parser folds into one canonical name; keys are derived from them at load.
constexpr EncodingAlias ENCODING_ALIASES[] = {
    {"UTF-8", EKN_UTF_8},
    {"UNICODE", EKN_ISO_10646_UCS_2},
    {"UTF-16", EKN_ISO_10646_UCS_2},
    {"ISO-10646-UCS-2", EKN_ISO_10646_UCS_2},
    {"UCS-2", EKN_ISO_10646_UCS_2},
    {"UTF-16BE", EKN_UTF_16BE},
    {"UTF-16LE", EKN_UTF_16LE},
    {"UTF-32", EKN_ISO_10646_UCS_4},
    {"ISO-10646-UCS-4", EKN_ISO_10646_UCS_4},
    {"UCS-4", EKN_ISO_10646_UCS_4},
    {"US-ASCII", EKN_US_ASCII},
    {"ASCII", EKN_US_ASCII},
    {"ISO646-US", EKN_US_ASCII},
    {"ISO_646.IRV", EKN_US_ASCII},
    {"ISO_646.IRV:1991", EKN_US_ASCII},
    {"ANSI_X3.4", EKN_US_ASCII},
    {"ANSI_X3.4:1968", EKN_US_ASCII},
    {"ANSI_X3.4:1986", EKN_US_ASCII},
    {"ISO-8859-1", EKN_ISO_8859_1},
    {"ISO-8859-1:1987", EKN_ISO_8859_1},
    {"LATIN1", EKN_ISO_8859_1},
    {"ISO-8859-2", EKN_ISO_8859_2},
    {"ISO_8859-2", EKN_ISO_8859_2},
    {"ISO_8859-2:1987", EKN_ISO_8859_2},
    {"LATIN2", EKN_ISO_8859_2},
    {"ISO-8859-3", EKN_ISO_8859_3},
    {"ISO_8859-3", EKN_ISO_8859_3},
    {"ISO_8859-3:1988", EKN_ISO_8859_3},
    {"LATIN3", EKN_ISO_8859_3},
    {"ISO-8859-4", EKN_ISO_8859_4},
    {"ISO_8859-4", EKN_ISO_8859_4},
    {"ISO_8859-4:1988", EKN_ISO_8859_4},
    {"LATIN4", EKN_ISO_8859_4},
    {"ISO-8859-5", EKN_ISO_8859_5},
    {"ISO_8859-5", EKN_ISO_8859_5},
    {"ISO_8859-5:1988", EKN_ISO_8859_5},
    {"CYRILLIC", EKN_ISO_8859_5},
    {"ISO-8859-6", EKN_ISO_8859_6},
    {"ISO_8859-6", EKN_ISO_8859_6},
    {"ISO_8859-6:1987", EKN_ISO_8859_6},
    {"ARABIC", EKN_ISO_8859_6},
    {"ISO-8859-7", EKN_ISO_8859_7},
    {"ISO_8859-7", EKN_ISO_8859_7},
    {"ISO_8859-7:1987", EKN_ISO_8859_7},
    {"GREEK", EKN_ISO_8859_7},
    {"ISO-8859-8", EKN_ISO_8859_8},
    {"ISO_8859-8", EKN_ISO_8859_8},
    {"ISO_8859-8:1988", EKN_ISO_8859_8},
    {"HEBREW", EKN_ISO_8859_8},
    {"ISO-8859-9", EKN_ISO_8859_9},
    {"ISO_8859-9", EKN_ISO_8859_9},
    {"ISO_8859-9:1989", EKN_ISO_8859_9},
    {"LATIN5", EKN_ISO_8859_9},
    {"ISO-8859-10", EKN_ISO_8859_10},
    {"ISO_8859-10:1992", EKN_ISO_8859_10},
    {"LATIN6", EKN_ISO_8859_10},
    {"ISO-8859-11", EKN_ISO_8859_11},
    {"ISO-8859-13", EKN_ISO_8859_13},
    {"ISO-8859-14", EKN_ISO_8859_14},
    {"ISO_8859-14", EKN_ISO_8859_14},
    {"ISO_8859-14:1998", EKN_ISO_8859_14},
    {"LATIN8", EKN_ISO_8859_14},
    {"ISO-8859-15", EKN_ISO_8859_15},
    {"ISO_8859-15", EKN_ISO_8859_15},
    {"LATIN-9", EKN_ISO_8859_15},
    {"ISO-8859-16", EKN_ISO_8859_16},
    {"ISO_8859-16", EKN_ISO_8859_16},
    {"ISO_8859-16:2001", EKN_ISO_8859_16},
    {"LATIN10", EKN_ISO_8859_16},
    {"SHIFT_JIS", EKN_WINDOWS31J},
    {"WINDOWS31J", EKN_WINDOWS31J},
    {"EUC-JP", EKN_EUC_JP},
    {"ISO-2022-JP", EKN_ISO_2022_JP},
    {"KS_C_5601-1987", EKN_KoreanKSC},
    {"KOREAN", EKN_KoreanKSC},
    {"KOREANKSC", EKN_KoreanKSC},
    {"ISO-IR-149", EKN_KoreanKSC},
    {"CHINESEGBK", EKN_ChineseGBK},
    {"GB2312", EKN_ChineseGBK},
    {"BIG5", EKN_ChineseBIG5},
    {"CHINESEBIG5", EKN_ChineseBIG5},
};

// The comparison key of an encoding name: ASCII letters upper-cased, digit runs without their
// leading zeros, everything else dropped.
template <typename Unit> std::string encodingKey(const Unit* text, size_t length) {
  const auto digitAt = [&](size_t i) { return i < length && text[i] >= '0' && text[i] <= '9'; };
  std::string key;
  for (size_t i = 0; i < length;) {
    if (digitAt(i)) {
      while (text[i] == '0' && digitAt(i + 1))
        ++i;
      for (; digitAt(i); ++i)
        key += static_cast<char>(text[i]);
      continue;
    }
    const unsigned c = static_cast<unsigned>(text[i++]);
    if (c >= 'a' && c <= 'z')
      key += static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z')
      key += static_cast<char>(c);
  }
  return key;
}

} // namespace

EKUtil::EncodingAliasMap EKUtil::buildEncodingAliasMap() {
  EncodingAliasMap map;
  map.reserve(std::size(ENCODING_ALIASES));
  for (const EncodingAlias& entry : ENCODING_ALIASES)
    map.emplace(encodingKey(entry.alias, std::char_traits<char>::length(entry.alias)), entry.canonical);
  return map;
}

UnicodeString EKUtil::getStandardEncoding(const UnicodeString& name) {
  UnicodeString upper = trimCssWhitespace(name);
  upper.toUpper(icu::Locale::getRoot());
  if (upper.isEmpty())
    return UnicodeString(u"UTF-8");

  static const struct {
    const char16_t* name;
    const char16_t* standard;
  } ownNames[] = {
      {u"ANSI_X3.4", u"ANSI_X3.4-1968"}, {u"CHINESEBIG5", u"BIG5"},
      {u"CHINESEGBK", u"GBK"},           {u"ISO_646.IRV", u"ISO_646.IRV:1991"},
      {u"KOREANKSC", u"KS_C_5601-1987"},
  };
  for (const auto& own : ownNames) {
    if (upper == own.name)
      return UnicodeString(own.standard);
  }

  // ICU takes invariant ASCII names only; anything else cannot be one of its aliases.
  std::string ascii;
  for (int32_t i = 0; i < upper.length(); ++i) {
    const char16_t c = upper[i];
    if (c == 0 || c > 0x7E)
      return upper;
    ascii += static_cast<char>(c);
  }
  UErrorCode status = U_ZERO_ERROR;
  const char* standard = ucnv_getStandardName(ascii.c_str(), "IANA", &status);
  if (U_FAILURE(status) || !standard)
    return upper;
  return UnicodeString(standard, -1, US_INV);
}

UnicodeString EKUtil::getCanonicalEncoding(const UnicodeString& name) {
  if (name.isEmpty())
    return name;
  const auto hit = s_encodingAliasMap.find(
      encodingKey(name.getBuffer(), static_cast<size_t>(name.length())));
  if (hit == s_encodingAliasMap.end())
    return name;
  return EKNameTable::getBuiltinNameString(hit->second);
}

void EKUtil::cleanup() {
  EKMutex guard;
  EncodingAliasMap().swap(s_encodingAliasMap);
  freeCounterStyles();
}

} // namespace EKCommonNS
