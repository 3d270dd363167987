// One-call zlib compression and decompression of memory blocks.
#include "ekcommon/text/EKUtil.h"

#include <ostream>
#include <zlib.h>

namespace EKCommonNS {

namespace {

constexpr unsigned CHUNK = 4096;
constexpr int RAW_DEFLATE_BITS = -15;

// Runs one zlib step (deflate or inflate) over the whole block, writing every output chunk to
// `out`; true when the step reported the end of the stream.
template <class Step>
bool pump(z_stream& z, std::ostream& out, const unsigned char* data, unsigned length, Step step) {
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = data ? length : 0;
  unsigned char buffer[CHUNK];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = buffer;
    z.avail_out = CHUNK;
    status = step(&z);
    const unsigned produced = CHUNK - z.avail_out;
    if (produced > 0 && !out.write(reinterpret_cast<const char*>(buffer), produced))
      status = Z_ERRNO;
    // Without progress the data ended before the stream did.
    if (status == Z_OK && produced == 0 && z.avail_in == 0)
      status = Z_BUF_ERROR;
  }
  return status == Z_STREAM_END;
}

bool inflateBlock(std::ostream& out, const unsigned char* data, unsigned length, int windowBits) {
  z_stream z = {};
  if (inflateInit2(&z, windowBits) != Z_OK)
    return false;
  const bool complete = pump(z, out, data, length, [](z_stream* s) { return inflate(s, Z_NO_FLUSH); });
  inflateEnd(&z);
  return complete;
}

} // namespace

bool EKUtil::deflate(std::ostream& out, const unsigned char* data, unsigned length) {
  z_stream z = {};
  if (deflateInit(&z, 9) != Z_OK)
    return false;
  const bool complete = pump(z, out, data, length, [](z_stream* s) { return ::deflate(s, Z_FINISH); });
  deflateEnd(&z);
  return complete;
}

bool EKUtil::inflate(std::ostream& out, const unsigned char* data, unsigned length) {
  return inflateBlock(out, data, length, MAX_WBITS);
}

bool EKUtil::inflate2(std::ostream& out, const unsigned char* data, unsigned length) {
  return inflateBlock(out, data, length, RAW_DEFLATE_BITS);
}

} // namespace EKCommonNS
