// The byte-order sniffer shared by the readers that decide a text's encoding from its first
// bytes (the XML parser, the style-sheet loader): byte-order marks and the zero-byte patterns of
// big-endian UTF-16 and UTF-32.
#pragma once

#include <cstddef>

namespace EKCommonNS {

struct EKByteOrder {
  enum Kind { NONE, UTF8, UTF16BE, UTF16LE, UTF32BE, UTF32LE };
  Kind kind = NONE;
  // Length of the byte-order mark; 0 when the kind was inferred from zero bytes or is NONE.
  size_t markLength = 0;
  // The bytes begin like a UTF-8 mark (EF BB) but the third byte is not BF.
  bool brokenMark = false;

  bool hasMark() const { return markLength > 0; }
};

// Looks at the first (up to four) bytes of `bytes`:
//   00 00 FE FF  UTF-32BE, mark       FF FE 00 00  UTF-32LE, mark
//   FE FF        UTF-16BE, mark       FF FE        UTF-16LE, mark
//   EF BB BF     UTF-8, mark          EF BB other  NONE with brokenMark
//   00 00        UTF-32BE             00 non-zero  UTF-16BE
// Anything else is NONE; little-endian data without a mark is left to the caller, whose rules
// for it differ.
EKByteOrder sniffByteOrder(const char* bytes, size_t length);

} // namespace EKCommonNS
