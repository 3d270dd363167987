// Reads gzip data (RFC 1952) as plain bytes: a file opened by path, or any input stream. Data
// that is not gzip passes through unchanged, so callers need not know which they have.
// Damaged or truncated data ends the stream early; nothing is thrown.
//
//   std::ifstream file("report.xml.gz", std::ios::binary);
//   EKGzipIStream xml(file);
//   std::string line;
//   while (std::getline(xml, line)) { ... }
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <istream>
#include <memory>

namespace EKCommonNS {

class EKGzipIStreamBuf;

class EKCOMMON_API EKGzipIStream : public std::istream {
public:
  // Decodes the first gzip member of `source`, read from its start (or from where it stands when
  // it cannot seek); the trailer is not checked and later members are not read. The source must
  // outlive this stream.
  explicit EKGzipIStream(std::istream& source);
  // Decodes a file (every member, as zlib's gz functions read it; a file that is not gzip is
  // read as it is). A file that cannot be opened gives a stream that is not open and failed.
  explicit EKGzipIStream(const UnicodeString& path);
  explicit EKGzipIStream(const char* utf8Path);
  explicit EKGzipIStream(const wchar_t* path);
  ~EKGzipIStream() override;
  EKGzipIStream(const EKGzipIStream&) = delete;
  EKGzipIStream& operator=(const EKGzipIStream&) = delete;

  bool is_open() const { return m_buf != nullptr; }

private:
  void attach(std::unique_ptr<EKGzipIStreamBuf> buf);

  std::unique_ptr<EKGzipIStreamBuf> m_buf;
};

} // namespace EKCommonNS
