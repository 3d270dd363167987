// Inflates a raw deflate block held in memory (the data of a ZIP entry) as an input stream, a
// buffer at a time, so that large entries are never decompressed whole. Damaged or truncated
// data ends the stream early.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <istream>
#include <memory>

namespace EKCommonNS {

class EKInflaterStreamBuf;

class EKCOMMON_API EKInflaterStream : public std::istream {
public:
  // Without copy the block must outlive the stream; with copy the stream keeps its own copy.
  EKInflaterStream(const char* data, size_t length, bool copy);
  ~EKInflaterStream() override;
  EKInflaterStream(const EKInflaterStream&) = delete;
  EKInflaterStream& operator=(const EKInflaterStream&) = delete;

  // Starts again from the first byte and clears the stream state.
  void reset();

private:
  std::unique_ptr<EKInflaterStreamBuf> m_buf;
};

} // namespace EKCommonNS
