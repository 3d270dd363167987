#include "ekcommon/resources/EKZipFileEntry.h"

#include "ekcommon/resources/EKInflaterStream.h"
#include "ekcommon/resources/EKMemStream.h"
#include "ekcommon/resources/EKStrStream.h"

#include <algorithm>
#include <unicode/utf8.h>

namespace EKCommonNS {

namespace {

constexpr size_t READ_CHUNK = 64 * 1024;

bool isValidUtf8(const std::string& bytes) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(bytes.data());
  const int32_t length = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0)
      return false;
  }
  return true;
}

// Names without the UTF-8 flag are UTF-8 when they read as such (what tools on systems with a
// UTF-8 locale write), otherwise in the DOS code page that the format started with.
UnicodeString decodeName(const std::string& raw, bool utf8Flag) {
  if (utf8Flag || isValidUtf8(raw))
    return UnicodeString::fromUTF8(raw);
  return UnicodeString(raw.data(), static_cast<int32_t>(raw.size()), "ibm-437");
}

// Moves the stream to the next data-descriptor signature; false (at the end) when there is none.
bool seekDescriptor(std::istream& in) {
  if (auto* memory = dynamic_cast<EKMemStream*>(&in))
    return memory->searchSeek("PK\x07\x08", 4);
  uint32_t window = 0;
  uint64_t count = 0;
  for (char c; in.get(c);) {
    window = window >> 8 | static_cast<uint32_t>(static_cast<uint8_t>(c)) << 24;
    if (++count >= 4 && window == EKZipEntry::DESCRIPTOR_SIGNATURE) {
      in.seekg(-4, std::ios_base::cur);
      return true;
    }
  }
  return false;
}

} // namespace

EKZipFileEntry::EKZipFileEntry() = default;
EKZipFileEntry::~EKZipFileEntry() = default;

void EKZipFileEntry::read(std::istream& in, bool findDescriptor) {
  start(in);
  m_versionNeeded = read16();
  m_flags = read16();
  m_method = read16();
  m_time = read16();
  m_date = read16();
  m_crc = read32();
  m_compressedSize = read32();
  m_uncompressedSize = read32();
  m_nameLength = read16();
  m_extraLength = read16();
  m_rawName = readBytes(m_nameLength);
  m_name = decodeName(m_rawName, (m_flags & FLAG_UTF8_NAME) != 0);
  skip(m_extraLength);
  const std::streamoff at = in.tellg();
  m_dataOffset = at < 0 ? 0 : static_cast<uint64_t>(at);
  if (findDescriptor && (m_flags & FLAG_DATA_DESCRIPTOR)) {
    in.clear();
    if (seekDescriptor(in)) {
      const EKZipExtheaderEntry descriptor(in);
      setExtHeader(descriptor);
      // The data ends where the descriptor starts, whatever the descriptor claims.
      const uint64_t descriptorAt = std::max(descriptor.getPosition(), m_dataOffset);
      m_compressedSize = static_cast<uint32_t>(std::min<uint64_t>(m_compressedSize, descriptorAt - m_dataOffset));
    }
    return;
  }
  skip(m_compressedSize);
}

void EKZipFileEntry::setDirectoryEntry(const EKZipDirectoryEntry& entry) {
  m_crc = entry.crc;
  m_compressedSize = entry.compressedSize;
  m_uncompressedSize = entry.uncompressedSize;
}

void EKZipFileEntry::setExtHeader(const EKZipExtheaderEntry& entry) {
  m_crc = entry.crc;
  m_compressedSize = entry.compressedSize;
  m_uncompressedSize = entry.uncompressedSize;
}

void EKZipFileEntry::clearSizes() {
  m_compressedSize = 0;
  m_uncompressedSize = 0;
}

const std::string& EKZipFileEntry::compressedBytes() {
  if (m_data)
    return *m_data;
  m_data = std::make_unique<std::string>();
  if (!m_in || m_compressedSize == 0)
    return *m_data;
  m_in->clear();
  if (!m_in->seekg(static_cast<std::streamoff>(m_dataOffset)))
    return *m_data;
  // The claimed size is not trusted for memory: the buffer grows only with bytes actually read.
  for (size_t left = m_compressedSize; left > 0;) {
    const size_t chunk = std::min(left, READ_CHUNK);
    const size_t held = m_data->size();
    m_data->resize(held + chunk);
    m_in->read(&(*m_data)[held], static_cast<std::streamsize>(chunk));
    const size_t got = static_cast<size_t>(m_in->gcount());
    m_data->resize(held + got);
    left -= got;
    if (got < chunk)
      break;
  }
  m_in->clear();
  return *m_data;
}

std::istream* EKZipFileEntry::getCompressedStream(bool fresh) {
  const std::string& data = compressedBytes();
  if (fresh)
    return new EKStrStream(data.data(), data.size());
  if (!m_compressedStream)
    m_compressedStream = std::make_unique<EKStrStream>(data.data(), data.size());
  m_compressedStream->clear();
  m_compressedStream->seekg(0);
  return m_compressedStream.get();
}

std::istream* EKZipFileEntry::getUncompressedStream(bool fresh) {
  if (m_method != CMETHOD_DEFLATED)
    return getCompressedStream(fresh);
  const std::string& data = compressedBytes();
  if (fresh)
    return new EKInflaterStream(data.data(), data.size(), false);
  if (!m_inflatingStream)
    m_inflatingStream = std::make_unique<EKInflaterStream>(data.data(), data.size(), false);
  m_inflatingStream->reset();
  return m_inflatingStream.get();
}

} // namespace EKCommonNS
