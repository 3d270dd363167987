// A raw-deflate (RFC 1951) decoder over zlib that reports the end of the data once, whether the
// stream finished, was damaged or was cut short: callers only see bytes, then an end.
#pragma once

#include <cstddef>
#include <zlib.h>

namespace EKCommonNS {

class EKRawInflater {
public:
  EKRawInflater();
  ~EKRawInflater();
  EKRawInflater(const EKRawInflater&) = delete;
  EKRawInflater& operator=(const EKRawInflater&) = delete;

  // Starts a new stream (the first call initialises zlib, later ones reset it).
  void restart();
  // The next compressed bytes; they must stay valid until consumed.
  void setInput(const unsigned char* data, size_t length);
  bool needsInput() const { return m_stream.avail_in == 0; }
  bool ended() const { return m_ended; }
  // Decodes into dst until something is produced, the input runs out or the stream ends. With
  // inputEnded, running out of input ends the stream. Returns the bytes produced.
  size_t inflateInto(char* dst, size_t n, bool inputEnded);

private:
  z_stream m_stream;
  bool m_initialised = false;
  bool m_ended = true;
};

} // namespace EKCommonNS
