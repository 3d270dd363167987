// A qualified name split at its first colon: the part before it is the prefix unless the colon
// is the first character, in which case there is no prefix and the local part is the rest.
#pragma once

#include "ekcommon/names/EKName.h"

namespace EKCommonNS {

struct QName {
  EKName prefix;
  EKName localName;

  static QName split(EKName qname) {
    const UnicodeString& text = qname.toString();
    const int colon = text.indexOf(char16_t(':'));
    if (colon < 0)
      return {EKName(), qname};
    const UnicodeString local(text, colon + 1);
    if (colon == 0)
      return {EKName(), EKName(local)};
    return {EKName(UnicodeString(text, 0, colon)), EKName(local)};
  }
};

} // namespace EKCommonNS
