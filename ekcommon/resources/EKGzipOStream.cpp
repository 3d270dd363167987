#include "ekcommon/resources/EKGzipOStream.h"

#include "ekcommon/resources/internal/EKUtf8.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <streambuf>
#include <zlib.h>

namespace EKCommonNS {

namespace {
constexpr size_t CHUNK = 4096;
constexpr int GZIP_WINDOW_BITS = 31; // 15 and the gzip wrapper
constexpr int MEMORY_LEVEL = 9;
} // namespace

class EKGzipOStreamBuf : public std::streambuf {
public:
  explicit EKGzipOStreamBuf(std::ostream* target, std::unique_ptr<std::ofstream> file = nullptr)
      : m_target(target), m_file(std::move(file)) {
    std::memset(&m_stream, 0, sizeof m_stream);
    m_ok = deflateInit2(&m_stream, 9, Z_DEFLATED, GZIP_WINDOW_BITS, MEMORY_LEVEL, Z_DEFAULT_STRATEGY) == Z_OK;
    m_initialised = m_ok;
    setp(m_put, m_put + CHUNK);
  }
  ~EKGzipOStreamBuf() override {
    if (m_memberOpen || !m_memberWritten)
      finishMember();
    if (m_initialised)
      deflateEnd(&m_stream);
  }

protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override { return finishMember() ? 0 : -1; }

private:
  // Compresses `n` bytes (with Z_FINISH: and ends the member), writing every full output chunk.
  bool compress(const char* data, size_t n, int flush);
  bool compressPut() {
    const size_t n = static_cast<size_t>(pptr() - pbase());
    setp(m_put, m_put + CHUNK);
    return n == 0 || compress(m_put, n, Z_NO_FLUSH);
  }
  bool finishMember();

  std::ostream* m_target;
  std::unique_ptr<std::ofstream> m_file;
  z_stream m_stream;
  bool m_ok = false;
  bool m_initialised = false;
  bool m_memberOpen = false;    // bytes written since the last member ended
  bool m_memberWritten = false; // at least one member is complete
  char m_put[CHUNK];
  char m_out[CHUNK];
};

bool EKGzipOStreamBuf::compress(const char* data, size_t n, int flush) {
  if (!m_ok)
    return false;
  m_memberOpen = true;
  m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  m_stream.avail_in = static_cast<uInt>(n);
  int status = Z_OK;
  do {
    m_stream.next_out = reinterpret_cast<Bytef*>(m_out);
    m_stream.avail_out = CHUNK;
    status = deflate(&m_stream, flush);
    const size_t produced = CHUNK - m_stream.avail_out;
    if (produced > 0 && !m_target->write(m_out, static_cast<std::streamsize>(produced)))
      m_ok = false;
  } while (m_ok && status == Z_OK && (m_stream.avail_out == 0 || m_stream.avail_in > 0 || flush == Z_FINISH));
  if (status == Z_STREAM_ERROR)
    m_ok = false;
  return m_ok;
}

bool EKGzipOStreamBuf::finishMember() {
  if (!compressPut() || !compress(nullptr, 0, Z_FINISH))
    return false;
  m_memberOpen = false;
  m_memberWritten = true;
  m_ok = deflateReset(&m_stream) == Z_OK && m_target->flush().good();
  return m_ok;
}

EKGzipOStreamBuf::int_type EKGzipOStreamBuf::overflow(int_type c) {
  if (!compressPut())
    return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

std::streamsize EKGzipOStreamBuf::xsputn(const char* s, std::streamsize n) {
  if (n < static_cast<std::streamsize>(CHUNK))
    return std::streambuf::xsputn(s, n);
  // Large writes are compressed straight from the caller's memory.
  if (!compressPut())
    return 0;
  std::streamsize done = 0;
  while (done < n) {
    const size_t chunk = static_cast<size_t>(std::min<std::streamsize>(n - done, 1 << 30));
    if (!compress(s + done, chunk, Z_NO_FLUSH))
      break;
    done += static_cast<std::streamsize>(chunk);
  }
  return done;
}

EKGzipOStream::EKGzipOStream(std::ostream& target)
    : std::ostream(nullptr), m_buf(std::make_unique<EKGzipOStreamBuf>(&target)) {
  rdbuf(m_buf.get());
}

EKGzipOStream::EKGzipOStream(const UnicodeString& path) : std::ostream(nullptr) {
  auto file = std::make_unique<std::ofstream>(toUtf8(path), std::ios::binary | std::ios::trunc);
  if (!*file) {
    setstate(std::ios_base::badbit);
    return;
  }
  std::ostream* target = file.get();
  m_buf = std::make_unique<EKGzipOStreamBuf>(target, std::move(file));
  rdbuf(m_buf.get());
}

EKGzipOStream::~EKGzipOStream() = default;

} // namespace EKCommonNS
