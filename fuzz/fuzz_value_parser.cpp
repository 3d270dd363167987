// The value parser on arbitrary text: the first byte picks the dialect and the flags, the rest
// is the text. Every entry point must return without fault; colours that parse must print in a
// form that parses again.
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>

using namespace EKCommonNS;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const auto type = static_cast<EKTokenizer::TokenizerType>(data[0] % 7);
  const int flags = (data[0] >> 3) & 0x1F;
  const UnicodeString text =
      UnicodeString::fromUTF8(icu::StringPiece(reinterpret_cast<const char*>(data + 1), static_cast<int32_t>(size - 1)));

  EKParser::parse(text, flags, type).toString();
  EKParser::parseCompound(text, type).toString();
  EKParser::parseNonNumeric(text, type);

  bool clamped = false;
  const EKValue color = EKParser::parseColor(text, (flags & 1) != 0, &clamped);
  if (color.isColor()) {
    const EKColor c = color.getColorValue(true);
    const UnicodeString printed = c.toString((flags & 2) != 0, true, false);
    if (!printed.isEmpty() && !EKParser::parseColor(printed, true, nullptr).isColor())
      __builtin_trap();
  }
  EKTokenizer tokenizer(text, type);
  while (!EKParser::parseColor(tokenizer, true).isNull()) {
  }

  std::unordered_map<EKName, UnicodeString> attributes;
  EKParser::parseAttributes(text, attributes, flags & 3);
  EKParser::parseUriFragmentParameters(text, (flags & 1) != 0);
  EKParser::parsePDFOpenParameters(text, (flags & 2) != 0);
  EKParser::parseXlinkHref(text);
  EKParser::parseInternalDestination(text, flags & 1);
  EKParser::parseExcelOpenParameters(text);
  EKParser::parseDestinationType(text);

  const EKDataUri dataUri(UnicodeString(u"data:").append(text), EKUri::URISTR_URI);
  dataUri.getPageNumber();
  dataUri.getIntegerParam(EKN_page, 0);
  return 0;
}
