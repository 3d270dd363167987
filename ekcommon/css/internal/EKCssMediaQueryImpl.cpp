#include "ekcommon/css/internal/EKCssMediaQueryImpl.h"

namespace EKCommonNS {

namespace {

bool isNameStart(char16_t c) { return c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0xA0; }

// `name` written so that it reads back as one identifier with the same text: characters that
// cannot stand in a name, and a start that would read as a number or a custom name, are escaped.
UnicodeString identifier(const UnicodeString& name) {
  UnicodeString text;
  for (int32_t i = 0; i < name.length(); ++i) {
    const char16_t c = name.charAt(i);
    const bool plain = i == 0 ? isNameStart(c) || (c == u'-' && i + 1 < name.length() && isNameStart(name.charAt(1)))
                              : isNameStart(c) || c == u'-' || (c >= u'0' && c <= u'9');
    if (plain) {
      text.append(c);
      continue;
    }
    static const char16_t HEX[] = u"0123456789abcdef";
    text.append(u'\\');
    for (int shift = 12; shift >= 0; shift -= 4)
      text.append(HEX[(c >> shift) & 0xF]);
    text.append(u' ');
  }
  return text;
}

} // namespace

EKCssMediaQueryImpl::EKCssMediaQueryImpl() : m_mediaType(EKN_all) {}

bool EKCssMediaQueryImpl::matchesType(EKName type) const { return m_mediaType == EKN_all || m_mediaType == type; }

UnicodeString EKCssMediaQueryImpl::toString() const {
  UnicodeString text;
  if (m_negated)
    text.append(u"not ");
  else if (m_mediaType == EKName(UnicodeString(u"only")) || m_mediaType == EKName(UnicodeString(u"not")))
    text.append(u"only "); // else the type would read as the keyword
  // "all" is left out before a feature, where it was implied.
  const bool typeWritten = m_mediaType != EKN_all || m_features.empty() || m_negated;
  if (typeWritten)
    text.append(identifier(m_mediaType.toString()));
  for (const Feature& feature : m_features) {
    if (typeWritten || &feature != &m_features.front())
      text.append(u" and ");
    text.append(u'(').append(identifier(feature.first.toString()));
    if (!feature.second.isEmpty())
      text.append(u": ").append(feature.second);
    text.append(u')');
  }
  return text;
}

} // namespace EKCommonNS
