// Base of the input buffers whose bytes are produced on demand (inflated, or received over the
// network): a get area behind a put-back area, refilled by produce(). Reads larger than the get
// area go straight from produce() into the caller's memory.
#pragma once

#include <memory>
#include <streambuf>

namespace EKCommonNS {

class EKProducerStreamBuf : public std::streambuf {
public:
  static constexpr size_t DEFAULT_PUTBACK_SIZE = 10;
  static constexpr size_t DEFAULT_DATA_SIZE = 4096;

  explicit EKProducerStreamBuf(size_t putbackSize = DEFAULT_PUTBACK_SIZE, size_t dataSize = DEFAULT_DATA_SIZE)
      : m_putbackSize(putbackSize), m_dataSize(dataSize), m_buffer(new char[putbackSize + dataSize]) {
    rewind();
  }

protected:
  // Writes up to n (> 0) bytes to dst; returns the count, 0 at the end of the data.
  virtual size_t produce(char* dst, size_t n) = 0;
  // Empties the get area and its put-back.
  void rewind() {
    char* data = dataStart();
    setg(data, data, data);
  }

  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
  char* dataStart() const { return m_buffer.get() + m_putbackSize; }
  // Moves up to the put-back size of the bytes ending at `end` in front of the data area and
  // empties it.
  void keepPutback(const char* begin, const char* end);

  size_t m_putbackSize;
  size_t m_dataSize;
  std::unique_ptr<char[]> m_buffer;
};

} // namespace EKCommonNS
