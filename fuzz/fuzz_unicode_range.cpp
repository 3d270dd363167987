// unicode-range parsing: any text must parse without fault, and whatever was read must print in
// a form that parses back to the same set.
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>

using namespace EKCommonNS;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const UnicodeString text =
      UnicodeString::fromUTF8(icu::StringPiece(reinterpret_cast<const char*>(data), static_cast<int32_t>(size)));
  EKUnicodeRange range;
  range.parseUnicodeRange(text);
  for (int32_t c : {0, 0x41, 0xFFFF, 0x10FFFF})
    range.inRange(c);

  EKUnicodeRange reparsed;
  if (!reparsed.parseUnicodeRange(range.toString()) || !(reparsed == range))
    __builtin_trap();
  return 0;
}
