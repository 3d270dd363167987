// One file of a ZIP archive: its local header fields, corrected by the central directory or a
// data descriptor, and its bytes as input streams, stored or inflated while they are read.
#pragma once

#include "ekcommon/resources/EKZipEntry.h"

#include <memory>
#include <string>

namespace EKCommonNS {

class EKInflaterStream;
class EKStrStream;

class EKCOMMON_API EKZipFileEntry : public EKZipEntry {
  EK_TYPE_IDENTITY(EKZipFileEntry, EKZipEntry)

public:
  enum CMETHOD : uint16_t {
    CMETHOD_STORED = 0,
    CMETHOD_DEFLATED = 8,
  };
  // General-purpose flag bits the reader uses.
  static constexpr uint16_t FLAG_DATA_DESCRIPTOR = 0x0008;
  static constexpr uint16_t FLAG_UTF8_NAME = 0x0800;

  EKZipFileEntry();
  ~EKZipFileEntry() override;

  // Reads the local header at the stream's position and leaves the stream after the entry's
  // data. With findDescriptor and the data-descriptor flag set, the data is located by searching
  // for the descriptor that follows it, whose CRC and sizes are taken; the stream is left after
  // the descriptor (at the end when there is none). The stream must stay alive while the
  // entry's data has not been read, or until detach().
  virtual void read(std::istream& in, bool findDescriptor);
  // The central directory's CRC and sizes replace the local header's.
  void setDirectoryEntry(const EKZipDirectoryEntry& entry);
  void setExtHeader(const EKZipExtheaderEntry& entry);
  // Sets both sizes to 0: the entry's data is not read (its place overlaps another entry's).
  void clearSizes();
  // Forgets the stream: data not read yet reads as empty.
  void detach() { m_in = nullptr; }

  const UnicodeString& getName() const { return m_name; }
  // The name's bytes as stored in the archive.
  const std::string& getRawName() const { return m_rawName; }
  CMETHOD getCompressionMethod() const { return static_cast<CMETHOD>(m_method); }
  uint16_t getVersionNeeded() const { return m_versionNeeded; }
  uint16_t getFlags() const { return m_flags; }
  uint16_t getModificationTime() const { return m_time; }
  uint16_t getModificationDate() const { return m_date; }
  uint32_t getCRC() const { return m_crc; }
  uint32_t getCompressedSize() const { return m_compressedSize; }
  uint32_t getUncompressedSize() const { return m_uncompressedSize; }
  // Where the entry's data starts in the archive.
  uint64_t getDataOffset() const { return m_dataOffset; }

  // The stored bytes: with fresh a new stream the caller deletes (it must not outlive the
  // entry), otherwise the entry's own stream, rewound. The bytes are read from the archive on
  // first use, never more than the archive holds.
  std::istream* getCompressedStream(bool fresh);
  // The entry's content: inflated for deflated entries, the stored bytes for any other method.
  // Ownership as for getCompressedStream.
  std::istream* getUncompressedStream(bool fresh);

private:
  // Reads the data from the archive once.
  const std::string& compressedBytes();

  uint16_t m_versionNeeded = 0, m_flags = 0, m_method = 0, m_time = 0, m_date = 0;
  uint32_t m_crc = 0, m_compressedSize = 0, m_uncompressedSize = 0;
  uint16_t m_nameLength = 0, m_extraLength = 0;
  UnicodeString m_name;
  std::string m_rawName;
  uint64_t m_dataOffset = 0;
  std::unique_ptr<std::string> m_data;
  std::unique_ptr<EKStrStream> m_compressedStream;
  std::unique_ptr<EKInflaterStream> m_inflatingStream;
};

} // namespace EKCommonNS
