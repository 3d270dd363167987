// Fuzzes the low-level text scanners: quoted strings in every quote mode, and numbers. The first
// byte picks the quote mode; the rest is read as UTF-16 code units, NUL-terminated as the
// scanners require. Round trips through quoteString must give the content back.
#include <ekcommon/ekcommon.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

void roundTrip(const UnicodeString& content, unsigned bits) {
  const auto mode = static_cast<EKUtil::QuoteMode>(bits);
  const UnicodeString quoted = EKUtil::quoteString(content, mode);
  check(EKUtil::unquoteString(quoted, mode) == content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const auto mode = static_cast<EKUtil::QuoteMode>(data[0] & 63);
  std::u16string text;
  for (size_t i = 1; i + 1 < size; i += 2)
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  const char16_t* begin = text.c_str();
  const char16_t* last = begin + text.size();

  const char16_t* end = nullptr;
  const UnicodeString content = EKUtil::parseString(begin, &end, mode);
  check(end >= begin && end <= last);
  check(!content.isBogus() || end == begin);
  const UnicodeString whole(begin, static_cast<int32_t>(text.size()));
  EKUtil::unquoteString(whole, mode);
  if (!content.isBogus() && content.indexOf(char16_t(0)) < 0) {
    roundTrip(content, EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE | EKUtil::QUOTE_DOUBLING);
    roundTrip(content, EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE | EKUtil::QUOTE_CSS_ESCAPES);
    roundTrip(content, EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_UNICODE_ESCAPES);
  }

  // Numbers from every position where the previous one stopped.
  for (const char16_t* p = begin; p < last;) {
    bool point = false;
    bool notNumber = false;
    const char16_t* numberEnd = nullptr;
    EKUtil::parseNumber(p, &numberEnd, &point, &notNumber);
    check(numberEnd >= p && numberEnd <= last && (notNumber == (numberEnd == p)));
    EKUtil::parseHexNum(p, &end, data[0] >> 6);
    check(end >= p && end <= last);
    EKUtil::parseDigits(p, &end);
    check(end >= p && end <= last);
    p = notNumber ? p + 1 : numberEnd;
  }
  return 0;
}
