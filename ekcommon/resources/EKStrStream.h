// A read-only byte stream over memory that is not copied: the UTF-16 code units of a
// UnicodeString in little-endian order (how XML held in a string is parsed), or a byte range.
// The string or bytes must outlive the stream.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <istream>
#include <memory>
#include <streambuf>

namespace EKCommonNS {

class EKCOMMON_API EKStrStream : public std::istream {
public:
  // The get area over the bytes; seeking moves within them.
  class EKCOMMON_API StrStreamBuf : public std::streambuf {
  public:
    StrStreamBuf(const char* data, size_t length);
    // On a big-endian machine the code units are copied into an owned little-endian buffer.
    explicit StrStreamBuf(const UnicodeString& text);
    // Sets p to the get position and returns how many of the bytes from there (at most max) it
    // moves past: readers that can work in place take the bytes without copying them.
    size_t readInPlace(const char*& p, size_t max);

  protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
    std::streamsize xsgetn(char* s, std::streamsize n) override;

  private:
    void setBytes(const char* data, size_t length);

    std::unique_ptr<char[]> m_owned;
  };

  explicit EKStrStream(const UnicodeString& text);
  EKStrStream(const char* data, size_t length);
  EKStrStream(const EKStrStream&) = delete;
  EKStrStream& operator=(const EKStrStream&) = delete;

private:
  StrStreamBuf m_buf;
};

} // namespace EKCommonNS
