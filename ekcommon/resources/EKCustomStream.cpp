#include "ekcommon/resources/EKCustomStream.h"

#include <algorithm>
#include <cstring>

namespace EKCommonNS {

EKCustomStreamBuf::EKCustomStreamBuf(EKCustomStreamController* controller) : m_controller(controller) {
  setg(m_buffer, m_buffer, m_buffer);
  setp(m_buffer, m_buffer + BUFFER_SIZE - 1);
}

EKCustomStreamBuf::~EKCustomStreamBuf() { flush(traits_type::eof()); }

bool EKCustomStreamBuf::flush(int_type extra) {
  int count = static_cast<int>(pptr() - pbase());
  if (!traits_type::eq_int_type(extra, traits_type::eof()))
    m_buffer[count++] = traits_type::to_char_type(extra);
  setp(m_buffer, m_buffer + BUFFER_SIZE - 1);
  if (count == 0)
    return true;
  if (!m_controller)
    return false;
  const int consumed = m_controller->write(m_buffer, count);
  if (consumed > 0)
    m_written += static_cast<uint64_t>(std::min(consumed, count));
  return consumed == count;
}

EKCustomStreamBuf::int_type EKCustomStreamBuf::overflow(int_type c) {
  return flush(c) ? traits_type::not_eof(c) : traits_type::eof();
}

int EKCustomStreamBuf::sync() { return flush(traits_type::eof()) ? 0 : -1; }

EKCustomStreamBuf::int_type EKCustomStreamBuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (!m_controller || !flush(traits_type::eof()))
    return traits_type::eof();
  // Keep the last bytes read in front of the new ones so that they can be put back.
  const int keep = static_cast<int>(std::min<std::ptrdiff_t>(gptr() - eback(), PUTBACK_SIZE));
  std::memmove(m_buffer + PUTBACK_SIZE - keep, gptr() - keep, static_cast<size_t>(keep));
  const int got = m_controller->read(m_buffer + PUTBACK_SIZE, READ_SIZE);
  if (got <= 0) {
    setg(m_buffer + PUTBACK_SIZE - keep, m_buffer + PUTBACK_SIZE, m_buffer + PUTBACK_SIZE);
    return traits_type::eof();
  }
  setg(m_buffer + PUTBACK_SIZE - keep, m_buffer + PUTBACK_SIZE, m_buffer + PUTBACK_SIZE + std::min(got, READ_SIZE));
  return traits_type::to_int_type(*gptr());
}

EKCustomStreamBuf::pos_type EKCustomStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                      std::ios_base::openmode which) {
  if (off != 0 || dir != std::ios_base::cur || !(which & std::ios_base::out))
    return pos_type(off_type(-1));
  return pos_type(off_type(m_written + static_cast<uint64_t>(pptr() - pbase())));
}

EKCustomStream::EKCustomStream(EKCustomStreamController* controller) : std::iostream(nullptr), m_buf(controller) {
  rdbuf(&m_buf);
  if (!controller)
    setstate(std::ios_base::badbit);
}

EKCustomStream::~EKCustomStream() { m_buf.pubsync(); }

} // namespace EKCommonNS
