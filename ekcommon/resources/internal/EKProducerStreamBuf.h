// Base of the decompressing input buffers: a 4096-byte get area behind 10 bytes of put-back,
// refilled by produce(). Large reads go straight from produce() into the caller's memory.
#pragma once

#include <streambuf>

namespace EKCommonNS {

class EKProducerStreamBuf : public std::streambuf {
public:
  static constexpr size_t PUTBACK_SIZE = 10;
  static constexpr size_t DATA_SIZE = 4096;

  EKProducerStreamBuf() { rewind(); }

protected:
  // Writes up to n (> 0) bytes to dst; returns the count, 0 at the end of the data.
  virtual size_t produce(char* dst, size_t n) = 0;
  // Empties the get area and its put-back.
  void rewind() { setg(m_buffer + PUTBACK_SIZE, m_buffer + PUTBACK_SIZE, m_buffer + PUTBACK_SIZE); }

  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
  // Moves up to PUTBACK_SIZE bytes ending at `end` in front of the data area and empties it.
  void keepPutback(const char* begin, const char* end);

  char m_buffer[PUTBACK_SIZE + DATA_SIZE];
};

} // namespace EKCommonNS
