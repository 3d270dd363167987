#include "ekcommon/resources/EKInflaterStream.h"

#include "ekcommon/resources/internal/EKProducerStreamBuf.h"
#include "ekcommon/resources/internal/EKRawInflater.h"

#include <cstring>

namespace EKCommonNS {

class EKInflaterStreamBuf : public EKProducerStreamBuf {
public:
  EKInflaterStreamBuf(const char* data, size_t length, bool copy) : m_length(data ? length : 0) {
    if (copy && m_length > 0) {
      m_copy.reset(new char[m_length]);
      std::memcpy(m_copy.get(), data, m_length);
      data = m_copy.get();
    }
    m_data = reinterpret_cast<const unsigned char*>(data);
    reset();
  }

  void reset() {
    m_inflater.restart();
    m_inflater.setInput(m_data, m_length);
    rewind();
  }

protected:
  size_t produce(char* dst, size_t n) override { return m_inflater.inflateInto(dst, n, true); }

private:
  std::unique_ptr<char[]> m_copy;
  const unsigned char* m_data;
  size_t m_length;
  EKRawInflater m_inflater;
};

EKInflaterStream::EKInflaterStream(const char* data, size_t length, bool copy)
    : std::istream(nullptr), m_buf(std::make_unique<EKInflaterStreamBuf>(data, length, copy)) {
  rdbuf(m_buf.get());
}

EKInflaterStream::~EKInflaterStream() = default;

void EKInflaterStream::reset() {
  m_buf->reset();
  clear();
}

} // namespace EKCommonNS
