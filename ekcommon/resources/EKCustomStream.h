// A byte stream whose bytes come from and go to a host's EKCustomStreamController, so that the
// library can read or write through a channel only the host knows (a database blob, a pipe).
// Output is collected and handed over in pieces of about 8 KiB; input keeps 10 bytes of
// put-back. A stream is used either for reading or for writing: the two share one buffer.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/resources/EKCustomStreamController.h"

#include <cstdint>
#include <iostream>
#include <streambuf>

namespace EKCommonNS {

class EKCOMMON_API EKCustomStreamBuf : public std::streambuf {
public:
  static constexpr int BUFFER_SIZE = 8202;
  static constexpr int PUTBACK_SIZE = 10;
  static constexpr int READ_SIZE = 8192;

  explicit EKCustomStreamBuf(EKCustomStreamController* controller);
  // Hands the collected output to the controller.
  ~EKCustomStreamBuf() override;
  EKCustomStreamBuf(const EKCustomStreamBuf&) = delete;
  EKCustomStreamBuf& operator=(const EKCustomStreamBuf&) = delete;

  EKCustomStreamController* getController() const { return m_controller; }

protected:
  int_type underflow() override;
  int_type overflow(int_type c) override;
  int sync() override;
  // Only reports the output position (bytes handed over plus bytes collected); never moves.
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;

private:
  // Hands the collected bytes (and `extra` when it is a byte) to the controller.
  bool flush(int_type extra);

  char m_buffer[BUFFER_SIZE];
  EKCustomStreamController* m_controller;
  uint64_t m_written = 0;
};

class EKCOMMON_API EKCustomStream : public std::iostream {
public:
  // A null controller gives a stream that is not open and reads and writes nothing.
  explicit EKCustomStream(EKCustomStreamController* controller);
  // Output still collected is handed over before the stream goes.
  ~EKCustomStream() override;
  bool is_open() const { return m_buf.getController() != nullptr; }

private:
  EKCustomStreamBuf m_buf;
};

} // namespace EKCommonNS
