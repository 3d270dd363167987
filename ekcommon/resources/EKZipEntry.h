// The records of a ZIP archive (PKWARE APPNOTE layout) as the reader meets them: the base that
// remembers where a record starts and reads little-endian fields, and the central directory
// header, data descriptor and end-of-central-directory records. Local file headers, which give
// access to the data, are EKZipFileEntry.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/core/EKUnicode.h"

#include <cstdint>
#include <istream>

namespace EKCommonNS {

class EKCOMMON_API EKZipEntry : public EKRCObject {
  EK_TYPE_IDENTITY(EKZipEntry, EKRCObject)

public:
  static constexpr uint32_t LOCAL_HEADER_SIGNATURE = 0x04034B50;
  static constexpr uint32_t DIRECTORY_SIGNATURE = 0x02014B50;
  static constexpr uint32_t DESCRIPTOR_SIGNATURE = 0x08074B50;
  static constexpr uint32_t END_DIRECTORY_SIGNATURE = 0x06054B50;

  uint32_t getSignature() const { return m_signature; }
  // The 32-bit little-endian value at the stream's position (0 when fewer than 4 bytes are
  // left); the position is restored.
  static uint32_t getSignature(std::istream& in);
  // Where the record starts in its stream.
  uint64_t getPosition() const { return m_position; }

protected:
  EKZipEntry() = default;
  // Remembers the stream and position and reads the signature there.
  explicit EKZipEntry(std::istream& in) { start(in); }
  void start(std::istream& in);

  // Little-endian fields at the stream's position; a short read or the end of the stream gives 0.
  uint16_t read16();
  uint32_t read32();
  // Reads n bytes (fewer at the end of the stream).
  std::string readBytes(size_t n);
  // Moves n bytes on (to the end at most).
  void skip(uint64_t n);

  std::istream* m_in = nullptr;
  uint64_t m_position = 0;
  uint32_t m_signature = 0;
};

// A central directory header: what the archive's index says about one entry.
class EKCOMMON_API EKZipDirectoryEntry : public EKZipEntry {
public:
  // Reads the record at the stream's position and leaves the stream after it.
  explicit EKZipDirectoryEntry(std::istream& in);

  uint16_t versionMadeBy = 0, versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
  uint32_t crc = 0, compressedSize = 0, uncompressedSize = 0;
  uint16_t nameLength = 0, extraLength = 0, commentLength = 0, diskStart = 0, internalAttributes = 0;
  uint32_t externalAttributes = 0, localHeaderOffset = 0;
};

// A data descriptor: the CRC and sizes written after the data of a streamed entry.
class EKCOMMON_API EKZipExtheaderEntry : public EKZipEntry {
public:
  explicit EKZipExtheaderEntry(std::istream& in);

  uint32_t crc = 0, compressedSize = 0, uncompressedSize = 0;
};

// The end-of-central-directory record.
class EKCOMMON_API EKZipEndDirectoryEntry : public EKZipEntry {
public:
  explicit EKZipEndDirectoryEntry(std::istream& in);

  uint16_t diskNumber = 0, directoryDisk = 0, entriesOnDisk = 0, totalEntries = 0;
  uint32_t directorySize = 0, directoryOffset = 0;
  uint16_t commentLength = 0;
};

} // namespace EKCommonNS
