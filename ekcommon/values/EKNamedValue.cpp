#include "ekcommon/values/EKNamedValue.h"

namespace EKCommonNS {

// Constant-initialised: no load-time code runs for it.
const EKNamedValue EKNamedValue::NULL_VALUE;

EKValue EKNamedValue::getValue() const {
  EKValue value(*this);
  value.setTagName(EKN_EMPTY);
  return value;
}

void EKNamedValue::setValue(const EKValue& value) {
  const EKNameEnum name = getTagName();
  EKValue::operator=(value);
  setTagName(name);
}

} // namespace EKCommonNS
