// The property-name and value-term helpers of EKCssParser: vendor prefixes kept apart from the
// property name, and a value text cut into its terms.
#include "ekcommon/css/EKCssParser.h"

#include "ekcommon/values/EKTokenizer.h"

#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

// The prefix of `s` ending with the first '-' at or after `from`, lower-cased, and the rest;
// no prefix when there is no such '-'.
std::pair<EKName, EKName> splitAtDash(EKName name, const UnicodeString& s, int32_t from, bool leadingDash) {
  const int32_t dash = s.indexOf(u'-', from);
  if (dash < 0)
    return {EKName(), name};
  UnicodeString prefix(s, 0, dash + 1);
  prefix.toLower();
  if (leadingDash)
    prefix.setCharAt(0, u'-');
  return {EKName(prefix), EKName(UnicodeString(s, dash + 1))};
}

bool startsWithIgnoringCase(const UnicodeString& s, const char16_t* lowerPrefix) {
  const UnicodeString prefix(true, lowerPrefix, -1); // aliases the literal, no copy
  return s.length() >= prefix.length() &&
         s.caseCompare(0, prefix.length(), prefix, 0, prefix.length(), U_FOLD_CASE_DEFAULT) == 0;
}

} // namespace

std::pair<EKName, EKName> EKCssParser::separatePrefixPropertyName(EKName name, bool splitCustom) {
  const UnicodeString& s = name.toString();
  if (s.startsWith(u"--"))
    return splitCustom ? std::make_pair(EKName(UnicodeString(u"--")), EKName(UnicodeString(s, 2)))
                       : std::make_pair(EKName(), name);
  if (s.startsWith(u"-") || s.startsWith(u"_"))
    return splitAtDash(name, s, 1, true);
  if (startsWithIgnoringCase(s, u"mso-") || startsWithIgnoringCase(s, u"prince-"))
    return splitAtDash(name, s, 0, false);
  return {EKName(), name};
}

EKName EKCssParser::concatPrefixPropertyName(EKName prefix, EKName name) {
  if (prefix.isEmpty() || !separatePrefixPropertyName(name, true).first.isEmpty())
    return name;
  return EKName(prefix.toString() + name.toString());
}

EKName EKCssParser::normailzieFunctionName(EKName name) {
  const std::pair<EKName, EKName> split = separatePrefixPropertyName(name, false);
  const UnicodeString& prefix = split.first.toString();
  if (prefix == u"-ek-" || prefix == u"-epub-")
    return split.second.lowerName();
  return name.lowerName();
}

void EKCssParser::decomposeExpression(const UnicodeString& text, std::vector<EKValue>& out) {
  EKTokenizer tokenizer(text, EKTokenizer::CSS);
  for (;;) {
    EKValue value = tokenizer.nextTokenValueFunc(false, nullptr);
    if (value.isNull())
      return;
    out.push_back(std::move(value));
  }
}

} // namespace EKCommonNS
