// The built-in vocabulary as load-time data: the strings in number order and the index from
// string to number. Both are built at library load and constant afterwards, so they are read
// without a lock.
#pragma once

#include "ekcommon/names/internal/EKNameIndex.h"

namespace EKCommonNS {

extern const UnicodeString s_builtinNameStrings[EKN_BUILTIN_LAST + 1];
extern EKNameIndex s_builtinStrNameMap;

} // namespace EKCommonNS
