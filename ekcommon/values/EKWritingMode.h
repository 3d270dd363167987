// A writing mode: the direction in which lines progress on a page (the block progression) and the
// direction of text within a line, as one 3-bit code. Layout asks it for direction names and for
// how the left and right pages of a spread map to odd and even page numbers.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/names/EKName.h"

namespace EKCommonNS {

class EKOrientation;
class EKValue;

class EKCOMMON_API EKWritingMode {
public:
  // The code's bits.
  static constexpr unsigned int REVERSED_INLINE = 1; // right-to-left or bottom-to-top text
  static constexpr unsigned int VERTICAL = 2;        // vertical text
  static constexpr unsigned int BP_REVERSED = 4;     // lines progress left-to-right or bottom-to-top

  // lr-tb.
  EKWritingMode() = default;
  // The mode whose code is code & 7.
  explicit EKWritingMode(unsigned int code) : m_code(code & 7u) {}
  // A mode name: "lr-tb", "rl-tb", "tb-rl", "bt-rl", "lr-bt", "rl-bt", "tb-lr", "bt-lr", or the
  // short "rl" (rl-tb) and "tb" (tb-rl). Every other name, "lr" included, gives lr-tb.
  explicit EKWritingMode(EKName name);
  EKWritingMode(EKNameEnum name) : EKWritingMode(EKName(name)) {}
  // A block progression ("tb"/"top-to-bottom", "rl"/"right-to-left", "lr"/"left-to-right",
  // "bt"/"bottom-to-top", or a mode name standing for its block progression) and a direction:
  // "rtl" or "right-to-left" reverses horizontal text, "rtl" or "bottom-to-top" vertical text.
  // An unknown block progression gives lr-tb.
  EKWritingMode(EKName blockProgression, EKName direction);
  // The value's name, or its printed form as a name, as EKWritingMode(EKName).
  explicit EKWritingMode(const EKValue& value);

  unsigned int getCode() const { return m_code; }
  bool operator==(const EKWritingMode& other) const { return m_code == other.m_code; }
  bool operator!=(const EKWritingMode& other) const { return m_code != other.m_code; }

  // The mode's name ("lr-tb" ... "bt-lr").
  EKName getName() const;
  operator EKNameEnum() const { return getName(); }
  operator EKValue() const;
  // "tb", "rl", "bt" or "lr".
  EKName getBlockProgressionName() const;
  // The long names of the block progression and of the inline direction ("top-to-bottom", ...).
  EKName getBPDirection() const;
  EKName getIPDirection() const;
  // "rtl" when the inline direction is reversed, else "ltr".
  EKName getDirectionName() const;
  // The direction in which the pages of a spread follow each other: "right-to-left" for rl-tb,
  // tb-rl, bt-rl and rl-bt, else "left-to-right".
  EKName getPagingDirection() const;
  // The direction in which a line is shifted from its predecessor across the block progression:
  // "left-to-right" for tb-rl and bt-rl, "right-to-left" for tb-lr and bt-lr, else "bottom-to-top".
  EKName getShiftDirection() const;

  bool isLTR() const { return m_code == 0 || m_code == 4; }
  bool isRTL() const { return m_code == 1 || m_code == 5; }
  bool isTTB() const { return m_code == 2 || m_code == 6; }
  bool isBTT() const { return m_code == 3 || m_code == 7; }
  bool isRtlOrBtt() const { return (m_code & REVERSED_INLINE) != 0; }
  bool isVerticalText() const { return (m_code & VERTICAL) != 0; }
  bool isBPDirLtrOrBtt() const { return (m_code & BP_REVERSED) != 0; }
  bool isBPDirRtlOrBtt() const { return isVerticalText() != isBPDirLtrOrBtt(); }
  // Whether the pages of a spread follow each other from right to left (getPagingDirection).
  bool isPagingRightToLeft() const;
  // Whether text in this mode runs across text in `other` once turned by `orientation`: the two
  // differ in verticality and the turn is not a quarter, or agree and it is.
  bool isPerpendicularTo(const EKWritingMode& other, const EKOrientation& orientation) const;

  // "left" and "right" as the page-number parity they stand for in this mode ("odd" for the
  // left page where pages progress right to left, else "even"), "recto" as "odd" and "verso" as
  // "even"; other names are returned unchanged.
  EKName leftRight2oddEven(EKName name) const;
  // The inverse for "odd" and "even" (to "left" or "right"); other names are returned unchanged.
  EKName oddEven2leftRight(EKName name) const;

private:
  unsigned int m_code = 0;
};

} // namespace EKCommonNS
