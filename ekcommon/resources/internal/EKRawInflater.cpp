#include "ekcommon/resources/internal/EKRawInflater.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace EKCommonNS {

namespace {
constexpr int RAW_DEFLATE_BITS = -15;
}

EKRawInflater::EKRawInflater() { std::memset(&m_stream, 0, sizeof m_stream); }

EKRawInflater::~EKRawInflater() {
  if (m_initialised)
    inflateEnd(&m_stream);
}

void EKRawInflater::restart() {
  if (m_initialised) {
    m_ended = inflateReset(&m_stream) != Z_OK;
  } else {
    m_initialised = inflateInit2(&m_stream, RAW_DEFLATE_BITS) == Z_OK;
    m_ended = !m_initialised;
  }
  m_stream.next_in = nullptr;
  m_stream.avail_in = 0;
}

void EKRawInflater::setInput(const unsigned char* data, size_t length) {
  m_stream.next_in = const_cast<Bytef*>(data);
  m_stream.avail_in = static_cast<uInt>(std::min<size_t>(length, UINT_MAX));
}

size_t EKRawInflater::inflateInto(char* dst, size_t n, bool inputEnded) {
  if (m_ended || n == 0)
    return 0;
  m_stream.next_out = reinterpret_cast<Bytef*>(dst);
  m_stream.avail_out = static_cast<uInt>(std::min<size_t>(n, UINT_MAX));
  const uInt room = m_stream.avail_out;
  while (m_stream.avail_out == room) {
    if (m_stream.avail_in == 0 && !inputEnded)
      break; // the caller brings more input
    const int status = inflate(&m_stream, Z_NO_FLUSH);
    if (status == Z_STREAM_END || (status != Z_OK && status != Z_BUF_ERROR) ||
        (status == Z_BUF_ERROR && m_stream.avail_in == 0 && inputEnded)) {
      m_ended = true;
      break;
    }
  }
  return room - m_stream.avail_out;
}

} // namespace EKCommonNS
