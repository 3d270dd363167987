// The byte-order sniffer shared by the XML parser and the style-sheet loader.
#include "ekcommon/text/internal/EKByteOrder.h"

namespace EKCommonNS {

EKByteOrder sniffByteOrder(const char* bytes, size_t length) {
  auto at = [&](size_t i) -> int { return i < length ? static_cast<unsigned char>(bytes[i]) : -1; };
  auto make = [](EKByteOrder::Kind kind, size_t markLength) {
    EKByteOrder order;
    order.kind = kind;
    order.markLength = markLength;
    return order;
  };
  if (at(0) == 0x00 && at(1) == 0x00)
    return at(2) == 0xFE && at(3) == 0xFF ? make(EKByteOrder::UTF32BE, 4) : make(EKByteOrder::UTF32BE, 0);
  if (at(0) == 0x00 && at(1) > 0)
    return make(EKByteOrder::UTF16BE, 0);
  if (at(0) == 0xFF && at(1) == 0xFE)
    return at(2) == 0x00 && at(3) == 0x00 ? make(EKByteOrder::UTF32LE, 4) : make(EKByteOrder::UTF16LE, 2);
  if (at(0) == 0xFE && at(1) == 0xFF)
    return make(EKByteOrder::UTF16BE, 2);
  if (at(0) == 0xEF && at(1) == 0xBB) {
    if (at(2) == 0xBF)
      return make(EKByteOrder::UTF8, 3);
    EKByteOrder broken;
    broken.brokenMark = true;
    return broken;
  }
  return EKByteOrder();
}

} // namespace EKCommonNS
