// The host's hook into fetching: an installed resolver is asked for every resource before the
// library opens it itself, so that a host can serve URIs from its own store (EKUri::
// setUriReferenceResolver2).
#pragma once

#include "ekcommon/core/EKExport.h"

namespace EKCommonNS {

// Called by the host with each piece of the resource's content and the context it was given;
// returns the number of bytes taken.
typedef int (*EKUriWriteCallback)(int length, const char* bytes, void* context);

class EKCOMMON_API EKUriReferenceResolver2 {
public:
  virtual ~EKUriReferenceResolver2() = default;
  // `uri` is the zero-terminated URI string (wide characters: UTF-32 on this platform). Returns
  // true when the host supplied the resource through `write` (possibly empty), false when the
  // library is to fetch it itself. May be called from several threads at once.
  virtual bool resolve(const wchar_t* uri, EKUriWriteCallback write, void* context) = 0;
};

} // namespace EKCommonNS
