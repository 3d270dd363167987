#include "ekcommon/resources/EKStrStream.h"

#include <algorithm>
#include <cstring>

namespace EKCommonNS {

namespace {
bool isLittleEndian() {
  const uint16_t probe = 1;
  unsigned char first;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}
} // namespace

EKStrStream::StrStreamBuf::StrStreamBuf(const char* data, size_t length) { setBytes(data, data ? length : 0); }

EKStrStream::StrStreamBuf::StrStreamBuf(const UnicodeString& text) {
  const size_t units = static_cast<size_t>(text.length());
  const char16_t* p = text.getBuffer();
  if (!p || isLittleEndian()) {
    setBytes(reinterpret_cast<const char*>(p), p ? units * 2 : 0);
    return;
  }
  m_owned.reset(new char[units * 2]);
  for (size_t i = 0; i < units; ++i) {
    m_owned[2 * i] = static_cast<char>(p[i] & 0xFF);
    m_owned[2 * i + 1] = static_cast<char>(p[i] >> 8);
  }
  setBytes(m_owned.get(), units * 2);
}

void EKStrStream::StrStreamBuf::setBytes(const char* data, size_t length) {
  // The get area is never written through; the const is restored by only ever reading.
  char* p = const_cast<char*>(data);
  setg(p, p, p + length);
}

EKStrStream::StrStreamBuf::pos_type EKStrStream::StrStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                                       std::ios_base::openmode which) {
  off_type base = 0;
  if (dir == std::ios_base::cur)
    base = gptr() - eback();
  else if (dir == std::ios_base::end)
    base = egptr() - eback();
  return seekpos(pos_type(base + off), which);
}

EKStrStream::StrStreamBuf::pos_type EKStrStream::StrStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
  const off_type target = off_type(pos);
  if (!(which & std::ios_base::in) || target < 0 || target > egptr() - eback())
    return pos_type(off_type(-1));
  setg(eback(), eback() + target, egptr());
  return pos;
}

size_t EKStrStream::StrStreamBuf::readInPlace(const char*& p, size_t max) {
  p = gptr();
  const size_t n = std::min(max, static_cast<size_t>(egptr() - gptr()));
  setg(eback(), gptr() + n, egptr());
  return n;
}

std::streamsize EKStrStream::StrStreamBuf::xsgetn(char* s, std::streamsize n) {
  const std::streamsize chunk = std::min<std::streamsize>(n, egptr() - gptr());
  if (chunk > 0) {
    std::memcpy(s, gptr(), static_cast<size_t>(chunk));
    setg(eback(), gptr() + chunk, egptr());
  }
  return chunk;
}

EKStrStream::EKStrStream(const UnicodeString& text) : std::istream(nullptr), m_buf(text) { rdbuf(&m_buf); }

EKStrStream::EKStrStream(const char* data, size_t length) : std::istream(nullptr), m_buf(data, length) {
  rdbuf(&m_buf);
}

} // namespace EKCommonNS
