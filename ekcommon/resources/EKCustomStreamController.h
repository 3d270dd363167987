// The host's side of an EKCustomStream: where the stream's bytes come from and go to. The host
// derives from it and hands a pointer to the stream, which does not take ownership.
#pragma once

#include "ekcommon/core/EKExport.h"

namespace EKCommonNS {

class EKCOMMON_API EKCustomStreamController {
public:
  virtual ~EKCustomStreamController() = default;

  // Called by the host's own code that owns the controller, never by the stream: prepare the
  // data source or sink, and release it. True when it is ready.
  virtual bool open() = 0;
  virtual void close() = 0;
  // Fills up to count bytes of buffer; returns the number delivered, 0 or negative at the end
  // or on an error.
  virtual int read(char* buffer, int count) = 0;
  // Consumes the count bytes of buffer; returns the number consumed (fewer means failure).
  virtual int write(const char* buffer, int count) = 0;
};

} // namespace EKCommonNS
