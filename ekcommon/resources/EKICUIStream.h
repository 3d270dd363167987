// Reads a byte stream in any character encoding ICU knows and delivers its text as UTF-16 code
// units in little-endian byte order, so that a reader of "UTF-16LE" handles every other encoding;
// detectEncoding guesses a stream's encoding from its XML declaration or its bytes.
//
//   std::ifstream file("legacy.xml", std::ios::binary);
//   EKICUIStream text(&file, EKICUIStream::detectEncoding(&file)); // e.g. "Shift_JIS"
//   char units[4096];
//   while (text.read(units, sizeof units) || text.gcount() > 0) { ... } // UTF-16LE bytes
#pragma once

#include "ekcommon/core/EKExport.h"

#include <istream>
#include <streambuf>
#include <unicode/ucnv_err.h>

namespace EKCommonNS {

// The converting get area: each underflow reads up to 4096 bytes of the source and converts
// them into up to 4096 UTF-16 code units, keeping the last 8 bytes delivered for put-back.
class EKCOMMON_API EKICUIStreamBuf : public std::streambuf {
public:
  static constexpr size_t PUTBACK_SIZE = 8;
  static constexpr size_t OUTPUT_SIZE = 8192;
  static constexpr size_t INPUT_SIZE = 4096;

  // Opens an ICU converter for `encoding` (any name or alias ICU accepts). A null or empty
  // name, or one ICU does not know, leaves the buffer closed: it reports end of file at once.
  // `source` is not owned and must outlive the buffer; a null source reads as empty.
  // Malformed input is not reported: the converter substitutes U+FFFD (or its own
  // substitution character) and goes on with the next bytes.
  EKICUIStreamBuf(std::istream* source, const char* encoding);
  ~EKICUIStreamBuf() override;
  EKICUIStreamBuf(const EKICUIStreamBuf&) = delete;
  EKICUIStreamBuf& operator=(const EKICUIStreamBuf&) = delete;

  // True while a converter is open: from a successful construction until the end of the
  // source has been reached and everything it held has been delivered.
  bool is_open() const { return m_converter != nullptr; }

protected:
  int_type underflow() override;
  // Large reads convert straight into the caller's memory when it is aligned for UTF-16.
  std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
  bool init(const char* encoding);
  void term();
  // Keeps up to PUTBACK_SIZE of the `available` bytes delivered up to `end` in front of the
  // output and empties the get area.
  void keepPutback(const char* end, size_t available);
  // Converts into [out, limit) until some output is produced or everything, including what
  // the converter holds back at the end of the source, has been converted; returns the end of
  // the output (`out` itself at the end of the text).
  UChar* convert(UChar* out, UChar* limit);
  void refill();

  std::istream* m_source;
  UConverter* m_converter = nullptr;
  // The put-back area followed by the output, as UTF-16 code units so that ICU writes aligned.
  UChar m_buffer[(PUTBACK_SIZE + OUTPUT_SIZE) / sizeof(UChar)];
  char m_input[INPUT_SIZE];
  // Input read but not yet converted (kept when the output filled up first).
  const char* m_inputPos = m_input;
  const char* m_inputEnd = m_input;
  bool m_sourceEnded = false;
  // ICU holds output back after U_BUFFER_OVERFLOW_ERROR; the next call delivers it.
  bool m_outputPending = false;
  UErrorCode m_status = U_ZERO_ERROR;
};

class EKCOMMON_API EKICUIStream : public std::istream {
public:
  // See EKICUIStreamBuf: an unknown, null or empty encoding gives a stream that is not open and
  // reports end of file on the first read.
  EKICUIStream(std::istream* source, const char* encoding);
  EKICUIStream(const EKICUIStream&) = delete;
  EKICUIStream& operator=(const EKICUIStream&) = delete;

  bool is_open() const { return m_buf.is_open(); }

  // Guesses the encoding of `in` from its first 1024 bytes (up to the first zero byte for the
  // declaration): the name in an XML declaration at the very start, when it is in double
  // quotes and made of ASCII letters, digits and hyphens; "" for any other XML declaration;
  // otherwise the best match of ICU's charset detector, or "" when it finds none. An empty
  // stream, a null one and one that cannot seek give "". A seekable stream is left at its
  // start with its state cleared; one that cannot seek is left untouched.
  // The result (at most 99 characters) lives in a buffer per thread that the thread's next
  // call overwrites; calls from different threads do not interfere.
  static const char* detectEncoding(std::istream* in);

private:
  EKICUIStreamBuf m_buf;
};

} // namespace EKCommonNS
