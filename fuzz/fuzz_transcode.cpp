// The transcoding input stream on arbitrary bytes: the first byte picks an encoding (including
// stateful, odd and unknown ones) and a read size, the rest is guessed at with detectEncoding and
// then decoded twice, with large reads and with small reads that put bytes back and read them
// again; both readings must deliver the same bytes.
#include <ekcommon/resources/EKICUIStream.h>
#include <ekcommon/resources/EKStrStream.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

using EKCommonNS::EKICUIStream;

namespace {

const char* const ENCODINGS[] = {
    "UTF-8",  "UTF-16",   "UTF-16BE",     "UTF-32BE",   "UTF-7",        "SCSU",    "BOCU-1", "Shift_JIS",
    "EUC-JP", "GB18030",  "Big5",         "ISO-2022-JP", "ISO-2022-KR", "HZ",      "ibm-930", "ISO-8859-7",
    "windows-1252", "US-ASCII", "x-bogus", "",
};
constexpr size_t ENCODING_COUNT = sizeof ENCODINGS / sizeof ENCODINGS[0];

// An odd read size leaves odd byte counts in the get area, so that reads also start unaligned.
std::string readLarge(std::istream& source, const char* encoding, bool odd) {
  EKICUIStream stream(&source, encoding);
  std::string out;
  static char buffer[70000];
  const std::streamsize size = static_cast<std::streamsize>(sizeof buffer) - odd;
  while (stream.read(buffer, size) || stream.gcount() > 0)
    out.append(buffer, static_cast<size_t>(stream.gcount()));
  return out;
}

// Reads `chunk` bytes at a time (at most the 8 that can be put back), ungets them all and
// reads them again.
std::string readSmall(std::istream& source, const char* encoding, size_t chunk) {
  EKICUIStream stream(&source, encoding);
  std::string out;
  char first[8], again[8];
  for (;;) {
    stream.read(first, static_cast<std::streamsize>(chunk));
    const std::streamsize got = stream.gcount();
    if (got == 0)
      break;
    stream.clear();
    for (std::streamsize i = 0; i < got; ++i)
      if (!stream.unget())
        std::abort();
    if (stream.read(again, got).gcount() != got || std::memcmp(first, again, static_cast<size_t>(got)) != 0)
      std::abort();
    out.append(first, static_cast<size_t>(got));
  }
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const char* encoding = ENCODINGS[data[0] % ENCODING_COUNT];
  const size_t chunk = 1 + data[0] / ENCODING_COUNT % 8;
  const bool odd = data[0] / (ENCODING_COUNT * 8) % 2 != 0;
  std::istringstream source(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  if (std::strlen(EKICUIStream::detectEncoding(&source)) > 99 || source.tellg() != 0)
    std::abort();
  const std::string large = readLarge(source, encoding, odd);
  source.clear();
  source.seekg(0);
  if (readSmall(source, encoding, chunk) != large)
    std::abort();
  // The library's own memory streams are read in place rather than copied: same text.
  EKCommonNS::EKStrStream inPlace(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (readLarge(inPlace, encoding, odd) != large)
    std::abort();
  return 0;
}
