// Writes gzip data (RFC 1952) at the best compression to a stream or a new file. Each sync()
// (flush()) ends the gzip member written so far, so data written afterwards forms another
// member; the destructor ends the last one.
//
//   std::ofstream file("out.xml.gz", std::ios::binary);
//   {
//     EKGzipOStream gz(file);
//     gz << "<doc/>";
//   }                                   // the member is finished here
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <memory>
#include <ostream>

namespace EKCommonNS {

class EKGzipOStreamBuf;

class EKCOMMON_API EKGzipOStream : public std::ostream {
public:
  // The target must outlive this stream.
  explicit EKGzipOStream(std::ostream& target);
  // Creates or truncates the file; when it cannot be opened the stream is bad.
  explicit EKGzipOStream(const UnicodeString& path);
  // Ends the member being written (an empty stream still writes one empty member).
  ~EKGzipOStream() override;
  EKGzipOStream(const EKGzipOStream&) = delete;
  EKGzipOStream& operator=(const EKGzipOStream&) = delete;

private:
  std::unique_ptr<EKGzipOStreamBuf> m_buf;
};

} // namespace EKCommonNS
