#include "ekcommon/resources/EKZipEntry.h"

#include <limits>

namespace EKCommonNS {

namespace {
uint64_t currentPosition(std::istream& in) {
  const std::streamoff at = in.tellg();
  return at < 0 ? 0 : static_cast<uint64_t>(at);
}
} // namespace

void EKZipEntry::start(std::istream& in) {
  m_in = &in;
  m_position = currentPosition(in);
  m_signature = read32();
}

uint32_t EKZipEntry::getSignature(std::istream& in) {
  unsigned char bytes[4];
  const std::streampos at = in.tellg();
  in.read(reinterpret_cast<char*>(bytes), 4);
  const bool complete = in.gcount() == 4;
  in.clear();
  in.seekg(at);
  if (!complete)
    return 0;
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t EKZipEntry::read16() {
  unsigned char bytes[2];
  if (!m_in || !m_in->read(reinterpret_cast<char*>(bytes), 2))
    return 0;
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t EKZipEntry::read32() {
  unsigned char bytes[4];
  if (!m_in || !m_in->read(reinterpret_cast<char*>(bytes), 4))
    return 0;
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::string EKZipEntry::readBytes(size_t n) {
  std::string bytes(n, '\0');
  if (!m_in || n == 0)
    return std::string();
  m_in->read(&bytes[0], static_cast<std::streamsize>(n));
  bytes.resize(static_cast<size_t>(m_in->gcount()));
  return bytes;
}

void EKZipEntry::skip(uint64_t n) {
  if (!m_in || n == 0 || !*m_in)
    return;
  const uint64_t at = currentPosition(*m_in);
  if (n > static_cast<uint64_t>(std::numeric_limits<std::streamoff>::max()) - at || !m_in->seekg(static_cast<std::streamoff>(at + n))) {
    m_in->clear();
    m_in->seekg(0, std::ios_base::end);
  }
}

EKZipDirectoryEntry::EKZipDirectoryEntry(std::istream& in) : EKZipEntry(in) {
  versionMadeBy = read16();
  versionNeeded = read16();
  flags = read16();
  method = read16();
  time = read16();
  date = read16();
  crc = read32();
  compressedSize = read32();
  uncompressedSize = read32();
  nameLength = read16();
  extraLength = read16();
  commentLength = read16();
  diskStart = read16();
  internalAttributes = read16();
  externalAttributes = read32();
  localHeaderOffset = read32();
  skip(uint64_t(nameLength) + extraLength + commentLength);
}

EKZipExtheaderEntry::EKZipExtheaderEntry(std::istream& in) : EKZipEntry(in) {
  crc = read32();
  compressedSize = read32();
  uncompressedSize = read32();
}

EKZipEndDirectoryEntry::EKZipEndDirectoryEntry(std::istream& in) : EKZipEntry(in) {
  diskNumber = read16();
  directoryDisk = read16();
  entriesOnDisk = read16();
  totalEntries = read16();
  directorySize = read32();
  directoryOffset = read32();
  commentLength = read16();
}

} // namespace EKCommonNS
