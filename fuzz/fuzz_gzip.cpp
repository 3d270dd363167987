// The decompressing readers and the memory stream on arbitrary bytes. Byte 0 picks the reader:
//   0: EKGzipIStream over the rest: data without the gzip header passes through unchanged, and
//      gzip data reads as EKInflaterStream does over the bytes after the header;
//   1: EKInflaterStream over the rest, read twice around reset(), both reads equal;
//   2: EKUtil::inflate (zlib-wrapped) into a string stream;
//   3: EKUtil::inflate2 (raw); a stream it calls complete must read the same via EKInflaterStream;
//   4: EKMemStream: byte 1 picks the block size and pattern length, byte 2 how much of the rest
//      is written rather than queued as a source; the searches, line skips, block reads and
//      trimming are checked against the same operations on a plain string.
#include <ekcommon/ekcommon.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

std::string drain(std::istream& in, size_t chunk) {
  std::string bytes, buffer(chunk, '\0');
  while (in.read(&buffer[0], std::streamsize(chunk)) || in.gcount() > 0)
    bytes.append(buffer, 0, size_t(in.gcount()));
  return bytes;
}

uint64_t position(EKMemStream& m) { return uint64_t(m.tellg()); }

std::string inflaterTwice(const std::string& body, bool copy) {
  EKInflaterStream in(body.data(), body.size(), copy);
  const std::string first = drain(in, 5000);
  in.reset();
  const std::string second((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  check(first == second);
  return first;
}

// Where the deflate data after the gzip header starts; past the end when the header is cut short.
size_t gzipDataStart(const std::string& body) {
  const size_t cut = body.size() + 1;
  const uint8_t flags = uint8_t(body[3]);
  size_t at = std::min<size_t>(10, cut);
  if (flags & 4)
    at = at + 2 <= body.size() ? at + 2 + (uint8_t(body[at]) | uint8_t(body[at + 1]) << 8) : cut;
  for (const int zeroTerminated : {8, 16})
    if (flags & zeroTerminated)
      at = at < body.size() ? std::min(body.find('\0', at), body.size()) + 1 : cut;
  if (flags & 2)
    at += 2;
  return at;
}

// Data without the gzip header passes through unchanged; with it, the stream reads what the
// raw inflater gives for the bytes after the header, whatever the source's read sizes.
void gzipReader(const std::string& body) {
  EKStrStream source(body.data(), body.size());
  EKGzipIStream gz(source);
  const std::string out = drain(gz, 777);
  const bool header = body.size() >= 4 && uint8_t(body[0]) == 0x1F && uint8_t(body[1]) == 0x8B &&
                      body[2] == 8 && (uint8_t(body[3]) & 0xE0) == 0;
  if (!header) {
    check(out == body);
    return;
  }
  const size_t start = gzipDataStart(body);
  check(out == (start > body.size() ? std::string() : inflaterTwice(body.substr(start), true)));
}

void memoryStream(const uint8_t* data, size_t size) {
  if (size < 3)
    return;
  static const size_t growSizes[] = {7, 16, 1, 4096};
  const size_t grow = growSizes[data[1] & 3];
  const size_t patternLength = 1 + (data[1] >> 2) % 4;
  const std::string body(reinterpret_cast<const char*>(data) + 3, size - 3);
  const size_t written = body.size() * data[2] / 255;

  EKMemStream m(nullptr, grow);
  m.write(body.data(), std::streamsize(written));
  m.setSource(new EKStrStream(body.data() + written, body.size() - written), true);
  std::string all;
  m.appendToString(all);
  check(all == body && m.length() == body.size());

  m.begin();
  std::string blocks;
  const char* p = nullptr;
  for (size_t n; (n = m.getBuffer(p)) > 0;)
    blocks.append(p, n);
  check(blocks == body);

  // Every non-overlapping occurrence of the body's last bytes, found then skipped.
  if (body.size() >= patternLength) {
    const std::string pattern = body.substr(body.size() - patternLength);
    m.begin();
    size_t expected = body.find(pattern);
    while (m.searchSeek(pattern.data(), patternLength)) {
      check(position(m) == expected);
      check(m.skipSeek(pattern.data(), patternLength));
      expected = body.find(pattern, expected + patternLength);
    }
    check(expected == std::string::npos);
  }

  m.begin();
  for (size_t at = 0; at < body.size();) {
    while (at < body.size() && body[at] != '\r' && body[at] != '\n')
      ++at;
    while (at < body.size() && (body[at] == '\r' || body[at] == '\n'))
      ++at;
    m.seekEOL();
    m.clear();
    check(position(m) == at);
  }

  EKMemStream copy(m);
  std::string copied;
  copy.appendToString(copied);
  check(copied == body);

  const size_t keep = written / 2;
  m.trim(keep);
  m.begin();
  check(m.length() == keep && drain(m, 3) == body.substr(0, keep));

  // Reading once with recycled blocks still gives every byte.
  EKMemStream once(new EKStrStream(body.data(), body.size()), grow, true);
  once.setKeepMemory(false);
  check(drain(once, 5) == body);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
  switch (data[0] % 5) {
  case 0:
    gzipReader(body);
    break;
  case 1:
    inflaterTwice(body, data[0] & 8);
    break;
  case 2: {
    std::ostringstream out;
    EKUtil::inflate(out, bytes, unsigned(body.size()));
    break;
  }
  case 3: {
    std::ostringstream out;
    if (EKUtil::inflate2(out, bytes, unsigned(body.size())))
      check(inflaterTwice(body, false) == out.str());
    break;
  }
  default:
    memoryStream(data, size);
  }
  return 0;
}
