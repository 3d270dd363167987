#include "ekcommon/resources/EKGzipIStream.h"

#include "ekcommon/resources/internal/EKProducerStreamBuf.h"
#include "ekcommon/resources/internal/EKRawInflater.h"
#include "ekcommon/resources/internal/EKUtf8.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <zlib.h>

namespace EKCommonNS {

namespace {
constexpr size_t INPUT_SIZE = 4096;
constexpr unsigned GZ_BUFFER_SIZE = 128 * 1024;

static_assert(sizeof(wchar_t) == sizeof(UChar32), "wide paths are UTF-32");

// Header flag bits.
constexpr int FHCRC = 2, FEXTRA = 4, FNAME = 8, FCOMMENT = 16, FRESERVED = 0xE0;
} // namespace

class EKGzipIStreamBuf : public EKProducerStreamBuf {
public:
  explicit EKGzipIStreamBuf(std::istream& source) : m_source(&source) { start(); }
  explicit EKGzipIStreamBuf(gzFile file) : m_file(file) {}
  ~EKGzipIStreamBuf() override {
    if (m_file)
      gzclose(m_file);
  }

protected:
  size_t produce(char* dst, size_t n) override;

private:
  enum class Mode { INFLATE, PASS_THROUGH, ENDED };

  void start();
  // The next input byte, or -1 at the end of the source.
  int nextByte();
  bool skipBytes(size_t n);
  bool skipToNul();
  void refill();

  gzFile m_file = nullptr;
  std::istream* m_source = nullptr;
  Mode m_mode = Mode::ENDED;
  unsigned char m_input[INPUT_SIZE];
  size_t m_inputPos = 0;
  size_t m_inputLength = 0;
  bool m_sourceEnded = false;
  EKRawInflater m_inflater;
};

void EKGzipIStreamBuf::refill() {
  m_inputPos = 0;
  m_inputLength = 0;
  if (m_sourceEnded)
    return;
  try {
    m_source->read(reinterpret_cast<char*>(m_input), INPUT_SIZE);
    m_inputLength = static_cast<size_t>(m_source->gcount());
  } catch (...) {
    // A source that throws ends like one that fails.
  }
  if (m_inputLength < INPUT_SIZE)
    m_sourceEnded = true;
}

int EKGzipIStreamBuf::nextByte() {
  if (m_inputPos == m_inputLength)
    refill();
  return m_inputPos < m_inputLength ? m_input[m_inputPos++] : -1;
}

bool EKGzipIStreamBuf::skipBytes(size_t n) {
  for (; n > 0; --n)
    if (nextByte() < 0)
      return false;
  return true;
}

bool EKGzipIStreamBuf::skipToNul() {
  for (int c; (c = nextByte()) != 0;)
    if (c < 0)
      return false;
  return true;
}

void EKGzipIStreamBuf::start() {
  try {
    m_source->clear();
    // A source that cannot seek is read from where it stands.
    if (!m_source->seekg(0, std::ios_base::beg))
      m_source->clear();
  } catch (...) {
    m_mode = Mode::ENDED;
    return;
  }
  refill();
  const unsigned char* p = m_input;
  const bool magic = m_inputLength >= 2 && p[0] == 0x1F && p[1] == 0x8B;
  if (!magic || m_inputLength < 4 || p[2] != Z_DEFLATED || (p[3] & FRESERVED) != 0) {
    m_mode = Mode::PASS_THROUGH; // the bytes read so far are delivered first
    return;
  }
  const int flags = p[3];
  m_inputPos = 4;
  m_mode = Mode::ENDED; // until the whole header has been read
  if (!skipBytes(6))
    return;
  if (flags & FEXTRA) {
    const int lo = nextByte(), hi = nextByte();
    if (lo < 0 || hi < 0 || !skipBytes(static_cast<size_t>(lo | hi << 8)))
      return;
  }
  if ((flags & FNAME) && !skipToNul())
    return;
  if ((flags & FCOMMENT) && !skipToNul())
    return;
  if ((flags & FHCRC) && !skipBytes(2))
    return;
  m_inflater.restart();
  m_inflater.setInput(m_input + m_inputPos, m_inputLength - m_inputPos);
  m_mode = Mode::INFLATE;
}

size_t EKGzipIStreamBuf::produce(char* dst, size_t n) {
  if (m_file) {
    const int got = gzread(m_file, dst, static_cast<unsigned>(std::min<size_t>(n, INT_MAX)));
    if (got > 0)
      return static_cast<size_t>(got);
    gzclose(m_file);
    m_file = nullptr;
    return 0;
  }
  switch (m_mode) {
  case Mode::PASS_THROUGH: {
    if (m_inputPos < m_inputLength) {
      const size_t chunk = std::min(n, m_inputLength - m_inputPos);
      std::memcpy(dst, m_input + m_inputPos, chunk);
      m_inputPos += chunk;
      return chunk;
    }
    size_t got = 0;
    if (!m_sourceEnded) {
      try {
        m_source->read(dst, static_cast<std::streamsize>(n));
        got = static_cast<size_t>(m_source->gcount());
      } catch (...) {
        got = 0;
      }
    }
    if (got == 0)
      m_mode = Mode::ENDED;
    return got;
  }
  case Mode::INFLATE: {
    for (;;) {
      const size_t got = m_inflater.inflateInto(dst, n, m_sourceEnded);
      if (got > 0)
        return got;
      if (m_inflater.ended()) {
        m_mode = Mode::ENDED;
        return 0;
      }
      refill();
      m_inflater.setInput(m_input, m_inputLength);
    }
  }
  case Mode::ENDED:
    break;
  }
  return 0;
}

EKGzipIStream::EKGzipIStream(std::istream& source) : std::istream(nullptr) {
  attach(std::make_unique<EKGzipIStreamBuf>(source));
}

EKGzipIStream::EKGzipIStream(const char* utf8Path) : std::istream(nullptr) {
  gzFile file = utf8Path ? gzopen(utf8Path, "rb") : nullptr;
  if (!file) {
    setstate(std::ios_base::failbit);
    return;
  }
  gzbuffer(file, GZ_BUFFER_SIZE);
  attach(std::make_unique<EKGzipIStreamBuf>(file));
}

EKGzipIStream::EKGzipIStream(const UnicodeString& path) : EKGzipIStream(toUtf8(path).c_str()) {}

EKGzipIStream::EKGzipIStream(const wchar_t* path)
    : EKGzipIStream(path ? toUtf8(UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(path),
                                                            static_cast<int32_t>(std::wcslen(path))))
                               .c_str()
                         : nullptr) {}

EKGzipIStream::~EKGzipIStream() = default;

void EKGzipIStream::attach(std::unique_ptr<EKGzipIStreamBuf> buf) {
  m_buf = std::move(buf);
  rdbuf(m_buf.get());
}

} // namespace EKCommonNS
