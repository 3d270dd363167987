#include "ekcommon/platform/EKSysColor.h"

namespace EKCommonNS {
namespace EKPlatform {

namespace {

constexpr uint32_t bgr(uint32_t r, uint32_t g, uint32_t b) { return b << 16 | g << 8 | r; }

constexpr uint32_t PALETTE[SYS_COLOR_COUNT] = {
    bgr(212, 208, 200), // 0 scrollbar
    bgr(58, 110, 165),  // 1 background (desktop)
    bgr(10, 36, 106),   // 2 active caption
    bgr(128, 128, 128), // 3 inactive caption
    bgr(212, 208, 200), // 4 menu
    bgr(255, 255, 255), // 5 window
    bgr(0, 0, 0),       // 6 window frame
    bgr(0, 0, 0),       // 7 menu text
    bgr(0, 0, 0),       // 8 window text
    bgr(255, 255, 255), // 9 caption text
    bgr(212, 208, 200), // 10 active border
    bgr(212, 208, 200), // 11 inactive border
    bgr(128, 128, 128), // 12 application workspace
    bgr(10, 36, 106),   // 13 highlight
    bgr(255, 255, 255), // 14 highlight text
    bgr(212, 208, 200), // 15 button face
    bgr(128, 128, 128), // 16 button shadow
    bgr(128, 128, 128), // 17 grey text
    bgr(0, 0, 0),       // 18 button text
    bgr(212, 208, 200), // 19 inactive caption text
    bgr(255, 255, 255), // 20 button highlight
    bgr(64, 64, 64),    // 21 3D dark shadow
    bgr(212, 208, 200), // 22 3D light
    bgr(0, 0, 0),       // 23 tooltip text
    bgr(255, 255, 225), // 24 tooltip background
};

} // namespace

uint32_t getSysColor(int index) {
  return index >= 0 && index < SYS_COLOR_COUNT ? PALETTE[index] : 0;
}

} // namespace EKPlatform
} // namespace EKCommonNS
