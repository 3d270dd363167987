#include "ekcommon/resources/internal/EKProducerStreamBuf.h"

#include <algorithm>
#include <cstring>

namespace EKCommonNS {

void EKProducerStreamBuf::keepPutback(const char* begin, const char* end) {
  const size_t keep = std::min(static_cast<size_t>(end - begin), m_putbackSize);
  char* data = dataStart();
  std::memmove(data - keep, end - keep, keep);
  setg(data - keep, data, data);
}

EKProducerStreamBuf::int_type EKProducerStreamBuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  keepPutback(eback(), gptr());
  char* data = dataStart();
  const size_t got = produce(data, m_dataSize);
  if (got == 0)
    return traits_type::eof();
  setg(eback(), data, data + got);
  return traits_type::to_int_type(*gptr());
}

std::streamsize EKProducerStreamBuf::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = std::min<std::streamsize>(n, egptr() - gptr());
  if (done > 0) {
    std::memcpy(s, gptr(), static_cast<size_t>(done));
    gbump(static_cast<int>(done));
  }
  // A request larger than the buffer skips it; the put-back is taken from the caller's bytes.
  if (n - done >= static_cast<std::streamsize>(m_dataSize)) {
    const std::streamsize before = done;
    while (n - done >= static_cast<std::streamsize>(m_dataSize)) {
      const size_t got = produce(s + done, static_cast<size_t>(std::min<std::streamsize>(n - done, 1 << 30)));
      if (got == 0)
        break;
      done += static_cast<std::streamsize>(got);
    }
    if (done > before)
      keepPutback(s + std::max<std::streamsize>(0, done - static_cast<std::streamsize>(m_putbackSize)), s + done);
    if (n - done >= static_cast<std::streamsize>(m_dataSize))
      return done;
  }
  while (done < n && !traits_type::eq_int_type(underflow(), traits_type::eof())) {
    const std::streamsize chunk = std::min<std::streamsize>(n - done, egptr() - gptr());
    std::memcpy(s + done, gptr(), static_cast<size_t>(chunk));
    gbump(static_cast<int>(chunk));
    done += chunk;
  }
  return done;
}

} // namespace EKCommonNS
