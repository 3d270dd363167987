// Fuzzes the CSS scanner. The first byte picks how the rest is decoded (UTF-8, or raw UTF-16
// units with lone surrogates and NULs) and whether hashes are allowed anywhere; the text is then
// scanned to its end (or its first NUL) outside and inside a selector. Every token must have a text, reading must
// only move forward, a push-back must rescan the same token, and EOF must come within one token
// per character.
#include <ekcommon/css/internal/EKCssScanner.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

void scanToEnd(std::u16string text, bool inSelector, bool hashAnywhere) {
  EKCssScanner scanner(text.data());
  scanner.setInSelector(inSelector);
  scanner.setHashAnywhere(hashAnywhere);
  const auto length = static_cast<int32_t>(text.size());
  int32_t previous = 0;
  for (int32_t tokens = 0;; ++tokens) {
    check(tokens <= length + 1);
    const int32_t kind = scanner.next();
    check(kind == scanner.kind() && kind != CSS_PUSHED_BACK && kind != CSS_NOTHING_READ);
    check(scanner.tokenStart() == previous);
    check(scanner.position() <= length);
    check(!scanner.text().isBogus());
    if (kind == CSS_EOF) {
      check(scanner.position() == previous);
      check(scanner.next() == CSS_EOF && scanner.position() == previous);
      return;
    }
    check(scanner.position() > previous);
    check(kind < 0 || scanner.text().length() == 1);
    // Push-back on every third token: the same token comes again from the same place (but for a
    // comment, which its first reading has blanked).
    if (tokens % 3 == 0 && kind != CSS_COMMENT) {
      const UnicodeString text = scanner.text();
      const int32_t end = scanner.position();
      scanner.pushBack();
      check(scanner.position() == previous && scanner.kind() == CSS_PUSHED_BACK);
      check(scanner.next() == kind && scanner.text() == text && scanner.position() == end);
    }
    previous = scanner.position();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  std::u16string text;
  if (data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2)
      text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  } else {
    const UnicodeString s = UnicodeString::fromUTF8(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    text.assign(s.getBuffer(), static_cast<size_t>(s.length()));
  }
  const bool hashAnywhere = (data[0] & 2) != 0;
  scanToEnd(text, false, hashAnywhere);
  scanToEnd(text, true, hashAnywhere);
  return 0;
}
