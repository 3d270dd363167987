// ZIP archives from arbitrary bytes: opening must never crash or over-read, and every entry's
// stored and inflated bytes must read to their end through the entry's own streams and fresh
// ones, which must agree with each other.
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

std::string drain(std::istream& in) {
  std::string bytes;
  char buffer[1000];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
  return bytes;
}

// Reads the entry's own stream and a fresh one, which must give the same bytes.
std::string readBoth(EKZipFileEntry& entry, std::istream* (EKZipFileEntry::*get)(bool)) {
  const std::string owned = drain(*(entry.*get)(false));
  std::istream* fresh = (entry.*get)(true);
  check(drain(*fresh) == owned);
  delete fresh;
  return owned;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  {
    // A signature test that looks at the first four bytes and leaves the stream where it was.
    EKStrStream probe(bytes, size);
    const bool signature = size >= 4 && data[0] == 'P' && data[1] == 'K' &&
                           ((data[2] == 1 && data[3] == 2) || (data[2] == 3 && data[3] == 4) ||
                            (data[2] == 5 && data[3] == 6));
    check(EKZipFile::isZipFile(&probe) == signature);
    check(probe.tellg() == 0);
  }
  EKZipFile zip;
  check(zip.open(new EKStrStream(bytes, size), true));
  for (unsigned i = 0; i < zip.getFileEntryCount(); ++i) {
    EKPtr<EKZipFileEntry> entry = zip.getFileEntry(i);
    check(entry != nullptr);
    check(zip.getFileEntry(entry->getName()) != nullptr);
    // No entry hands out more bytes than the archive holds.
    check(readBoth(*entry, &EKZipFileEntry::getCompressedStream).size() <= size);
    readBoth(*entry, &EKZipFileEntry::getUncompressedStream);
  }
  check(zip.getFileEntry(zip.getFileEntryCount()) == nullptr);
  return 0;
}
