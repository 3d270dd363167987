// Fuzzes media query lists: the input, as UTF-8, is read as the list of an @media rule; the list
// written back must read back to a list that writes the same, and its text must hold no error.
#include <ekcommon/css/internal/EKCssMediaQueryParser.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

// The list read from `text` up to its end, written back; `error` gets the first error code.
UnicodeString readBack(const UnicodeString& text, unsigned short& error) {
  std::u16string buffer(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<size_t>(text.length()));
  const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
  EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
  const EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(reader).parseList(error);
  check(list.get() != nullptr);
  const int32_t end = reader.kind();
  check(end == CSS_EOF || end == u';' || end == u'{');
  return list->toString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const UnicodeString text = UnicodeString::fromUTF8(std::string(reinterpret_cast<const char*>(data), size));
  unsigned short error = 0;
  const UnicodeString printed = readBack(text, error);
  const UnicodeString again = readBack(printed, error);
  check(again == printed);
  // Unknown feature names are kept, so they are the only error the written form may raise.
  check(error == 0 || error == 968);
  return 0;
}
