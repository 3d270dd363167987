#include "ekcommon/values/EKWritingMode.h"

#include "ekcommon/values/EKOrientation.h"
#include "ekcommon/values/EKValue.h"

namespace EKCommonNS {

namespace {

const EKNameEnum MODE_NAMES[8] = {EKN_lr_tb, EKN_rl_tb, EKN_tb_rl, EKN_bt_rl,
                                  EKN_lr_bt, EKN_rl_bt, EKN_tb_lr, EKN_bt_lr};
const EKNameEnum IP_DIRECTIONS[8] = {EKN_left_to_right, EKN_right_to_left, EKN_top_to_bottom, EKN_bottom_to_top,
                                     EKN_left_to_right, EKN_right_to_left, EKN_top_to_bottom, EKN_bottom_to_top};

// Block progressions as the code's two upper bits: tb 0, rl 2, bt 4, lr 6; -1 for none.
int blockProgressionBits(EKName name) {
  switch (static_cast<EKNameEnum>(name)) {
  case EKN_tb:
  case EKN_top_to_bottom:
  case EKN_lr_tb:
  case EKN_rl_tb:
    return 0;
  case EKN_rl:
  case EKN_right_to_left:
  case EKN_tb_rl:
  case EKN_bt_rl:
    return 2;
  case EKN_bt:
  case EKN_bottom_to_top:
  case EKN_lr_bt:
  case EKN_rl_bt:
    return 4;
  case EKN_lr:
  case EKN_left_to_right:
  case EKN_tb_lr:
  case EKN_bt_lr:
    return 6;
  default:
    return -1;
  }
}

} // namespace

EKWritingMode::EKWritingMode(EKName name) {
  if (name == EKN_rl) {
    m_code = 1;
  } else if (name == EKN_tb) {
    m_code = 2;
  } else {
    for (unsigned int code = 0; code < 8; ++code) {
      if (name == MODE_NAMES[code])
        m_code = code;
    }
  }
}

EKWritingMode::EKWritingMode(EKName blockProgression, EKName direction) {
  const int bits = blockProgressionBits(blockProgression);
  if (bits < 0)
    return;
  const bool vertical = (bits & VERTICAL) != 0;
  const bool reversed = direction == EKN_rtl || direction == (vertical ? EKN_bottom_to_top : EKN_right_to_left);
  m_code = static_cast<unsigned int>(bits) | (reversed ? REVERSED_INLINE : 0u);
}

EKWritingMode::EKWritingMode(const EKValue& value) : EKWritingMode(EKName(value)) {}

EKName EKWritingMode::getName() const { return MODE_NAMES[m_code]; }

EKWritingMode::operator EKValue() const { return EKValue(getName()); }

EKName EKWritingMode::getBlockProgressionName() const {
  static const EKNameEnum NAMES[4] = {EKN_tb, EKN_rl, EKN_bt, EKN_lr};
  return NAMES[m_code >> 1];
}

EKName EKWritingMode::getBPDirection() const {
  static const EKNameEnum NAMES[4] = {EKN_top_to_bottom, EKN_right_to_left, EKN_bottom_to_top, EKN_left_to_right};
  return NAMES[m_code >> 1];
}

EKName EKWritingMode::getIPDirection() const { return IP_DIRECTIONS[m_code]; }

EKName EKWritingMode::getDirectionName() const { return isRtlOrBtt() ? EKN_rtl : EKN_ltr; }

bool EKWritingMode::isPagingRightToLeft() const { return m_code == 1 || m_code == 2 || m_code == 3 || m_code == 5; }

EKName EKWritingMode::getPagingDirection() const {
  return isPagingRightToLeft() ? EKN_right_to_left : EKN_left_to_right;
}

EKName EKWritingMode::getShiftDirection() const {
  if (m_code == 2 || m_code == 3)
    return EKN_left_to_right;
  if (m_code == 6 || m_code == 7)
    return EKN_right_to_left;
  return EKN_bottom_to_top;
}

bool EKWritingMode::isPerpendicularTo(const EKWritingMode& other, const EKOrientation& orientation) const {
  return (isVerticalText() != other.isVerticalText()) != orientation.isPerpendicular();
}

EKName EKWritingMode::leftRight2oddEven(EKName name) const {
  switch (static_cast<EKNameEnum>(name)) {
  case EKN_left:
    return isPagingRightToLeft() ? EKN_odd : EKN_even;
  case EKN_right:
    return isPagingRightToLeft() ? EKN_even : EKN_odd;
  case EKN_recto:
    return EKN_odd;
  case EKN_verso:
    return EKN_even;
  default:
    return name;
  }
}

EKName EKWritingMode::oddEven2leftRight(EKName name) const {
  if (name == EKN_odd)
    return isPagingRightToLeft() ? EKN_left : EKN_right;
  if (name == EKN_even)
    return isPagingRightToLeft() ? EKN_right : EKN_left;
  return name;
}

} // namespace EKCommonNS
