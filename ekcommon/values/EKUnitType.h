// The unit of a numeric value, and the kind of a non-numeric one (string, name, colour,
// character). Stored in six bits of an EKValue's tag, so every value lies in 0..63.
#pragma once

#include <cstdint>

namespace EKCommonNS {

enum EKUnitType : int32_t {
  UNIT_NONE = 0, // no unit; for strings, raw text of unknown kind
  UNIT_NUMBER = 1,
  UNIT_PERCENT = 2,
  UNIT_EM = 3,
  UNIT_EX = 4,
  UNIT_PX = 5, // relative: the host resolves pixels with its own resolution
  UNIT_CM = 6,
  UNIT_MM = 7,
  UNIT_IN = 8,
  UNIT_PT = 9,
  UNIT_PC = 10,
  UNIT_JPT = 11, // Japanese point, 0.3514 mm
  UNIT_Q = 12,   // quarter millimetre
  UNIT_DEG = 13,
  UNIT_RAD = 14,
  UNIT_GRAD = 15,
  UNIT_MS = 16,
  UNIT_S = 17,
  UNIT_HZ = 18,
  UNIT_KHZ = 19,
  UNIT_CHARACTER = 20, // kinds of non-numeric values from here to UNIT_COLOR
  UNIT_STRING = 21,    // literal (quoted) string
  UNIT_URL = 22,
  UNIT_NAME = 23,
  UNIT_COLOR = 24,
  UNIT_DD = 26, // Didot point
  UNIT_CC = 27, // cicero, 12 dd
  UNIT_DPI = 28,
  UNIT_TWIP = 29,
  UNIT_PT2 = 30, // square points, only as a product
  UNIT_PT3 = 31, // cubic points, only as a product
  UNIT_REM = 32,
  UNIT_VW = 33,
  UNIT_VH = 34,
  UNIT_VMIN = 35,
  UNIT_VMAX = 36,
  UNIT_PVW = 37,
  UNIT_PVH = 38,
  UNIT_PVMIN = 39,
  UNIT_PVMAX = 40,
  UNIT_CH = 41,
  UNIT_WCH = 42,
  UNIT_FR = 43,
  UNIT_GR = 44,
  UNIT_LH = 45,
  UNIT_RLH = 46,
  UNIT_LINES = 47,
  UNIT_DPCM = 48,
  UNIT_DPPX = 49,
  UNIT_EMU = 50,
  UNIT_PI = 51,
  UNIT_DCEM = 52,
  UNIT_CAP = 53,
  UNIT_IC = 54,
  UNIT_PERCENT2 = 55, // a second kind of percentage, treated like UNIT_PERCENT everywhere
  UNIT_FORMAT = 62,   // string read from format(...)
  UNIT_LOCAL = 63,    // string read from local(...)
  UNIT_LAST = 63
};

// Unit classes. Each is a 64-bit membership mask, so a test is one shift and one AND.
namespace EKUnitClass {

constexpr uint64_t bit(EKUnitType unit) { return uint64_t(1) << unit; }

constexpr uint64_t ABSOLUTE_LENGTH = bit(UNIT_CM) | bit(UNIT_MM) | bit(UNIT_IN) | bit(UNIT_PT) |
                                     bit(UNIT_PC) | bit(UNIT_JPT) | bit(UNIT_Q) | bit(UNIT_DD) |
                                     bit(UNIT_CC) | bit(UNIT_TWIP) | bit(UNIT_EMU) | bit(UNIT_PI);
constexpr uint64_t RELATIVE_LENGTH =
    bit(UNIT_EM) | bit(UNIT_EX) | bit(UNIT_PX) | bit(UNIT_REM) | bit(UNIT_VW) | bit(UNIT_VH) |
    bit(UNIT_VMIN) | bit(UNIT_VMAX) | bit(UNIT_PVW) | bit(UNIT_PVH) | bit(UNIT_PVMIN) |
    bit(UNIT_PVMAX) | bit(UNIT_CH) | bit(UNIT_WCH) | bit(UNIT_FR) | bit(UNIT_GR) | bit(UNIT_LH) |
    bit(UNIT_RLH) | bit(UNIT_LINES) | bit(UNIT_DCEM) | bit(UNIT_CAP) | bit(UNIT_IC);
constexpr uint64_t ANGLE = bit(UNIT_DEG) | bit(UNIT_RAD) | bit(UNIT_GRAD);
constexpr uint64_t PERCENTAGE = bit(UNIT_PERCENT) | bit(UNIT_PERCENT2);

// Out-of-range numbers are members of no class.
constexpr bool contains(uint64_t mask, EKUnitType unit) {
  return unit >= 0 && unit <= UNIT_LAST && (mask >> unit & 1) != 0;
}

} // namespace EKUnitClass

constexpr bool isAbsoluteLengthUnit(EKUnitType unit) {
  return EKUnitClass::contains(EKUnitClass::ABSOLUTE_LENGTH, unit);
}
constexpr bool isRelativeLengthUnit(EKUnitType unit) {
  return EKUnitClass::contains(EKUnitClass::RELATIVE_LENGTH, unit);
}
constexpr bool isAngleUnit(EKUnitType unit) { return EKUnitClass::contains(EKUnitClass::ANGLE, unit); }
constexpr bool isPercentageUnit(EKUnitType unit) {
  return EKUnitClass::contains(EKUnitClass::PERCENTAGE, unit);
}

} // namespace EKCommonNS
