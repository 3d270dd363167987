#include "ekcommon/resources/EKMemStream.h"

#include "ekcommon/resources/internal/EKUtf8.h"

#include <cstring>
#include <fstream>

namespace EKCommonNS {

EKMemStream::EKMemStream(std::istream* source, size_t growBytes, bool ownsSource)
    : std::iostream(nullptr), m_buf(growBytes) {
  rdbuf(&m_buf);
  m_buf.setSource(source, ownsSource);
}

EKMemStream::EKMemStream(std::istream& source) : EKMemStream(&source, EKMemStreamBuf::DEFAULT_GROW_BYTES, false) {}

EKMemStream::EKMemStream(const EKMemStream& other)
    : std::basic_ios<char>(), std::iostream(nullptr), m_buf(other.m_buf) {
  rdbuf(&m_buf);
}

EKMemStream& EKMemStream::operator=(const EKMemStream& other) {
  if (this != &other) {
    m_buf = other.m_buf;
    rdbuf(&m_buf);
  }
  return *this;
}

// The buffer's sources (the temporary file's stream among them) go before the file is removed.
EKMemStream::~EKMemStream() { m_buf.remove(); }

EKMemStream& EKMemStream::writeStr(const char* s) {
  if (s)
    write(s, static_cast<std::streamsize>(std::strlen(s)));
  return *this;
}

EKMemStream& EKMemStream::operator+=(const std::string& s) {
  write(s.data(), static_cast<std::streamsize>(s.size()));
  return *this;
}

void EKMemStream::begin() {
  clear();
  m_buf.pubseekpos(0, std::ios_base::in);
}

void EKMemStream::erase() {
  m_buf.remove();
  clear();
}

bool EKMemStream::changeTempBuffer() {
  if (m_tempFile.isTempFile())
    return true;
  m_tempFile.setFileName(UnicodeString(), UnicodeString(u"EKMem"), UnicodeString(u".tmp"));
  const std::string path = toUtf8(m_tempFile.getFileName());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  m_buf.pubseekpos(0, std::ios_base::in);
  const char* block = nullptr;
  for (size_t n; file && (n = m_buf.getBuffer(block)) > 0;)
    file.write(block, static_cast<std::streamsize>(n));
  file.close();
  if (file.fail()) {
    m_tempFile.remove();
    m_buf.pubseekpos(0, std::ios_base::in);
    setstate(std::ios_base::failbit);
    return false;
  }
  m_buf.remove();
  m_buf.setSource(new std::ifstream(path, std::ios::binary), true);
  clear();
  return true;
}

void EKMemStream::resetBuffer() {
  if (m_tempFile.isTempFile() || rdbuf() == &m_buf)
    return;
  rdbuf(&m_buf);
  m_buf.pubseekpos(0, std::ios_base::in | std::ios_base::out);
}

} // namespace EKCommonNS
