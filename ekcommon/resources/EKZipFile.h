// Reads ZIP archives: opens a file or stream, reads the central directory (or, when there is
// none, scans the local headers), and gives each entry's bytes as an input stream, inflated as
// they are read. Damaged archives never throw: truncated or overlapping records give entries of
// size 0, and a non-archive gives no entries.
//
//   EKZipFile zip;
//   if (zip.open("book.epub"))
//     if (EKPtr<EKZipFileEntry> entry = zip.getFileEntry(u"META-INF/container.xml")) {
//       std::istream* in = entry->getUncompressedStream(false);   // owned by the entry
//       std::string xml((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
//     }
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/resources/EKZipFileEntry.h"

#include <istream>
#include <map>
#include <memory>
#include <vector>

namespace EKCommonNS {

class EKMemStream;

class EKCOMMON_API EKZipFile {
public:
  EKZipFile();
  // Entries still held elsewhere keep the data they have read; the rest reads as empty.
  virtual ~EKZipFile();
  EKZipFile(const EKZipFile&) = delete;
  EKZipFile& operator=(const EKZipFile&) = delete;

  // Opens the file and reads its directory; false when the file cannot be opened.
  bool open(const UnicodeString& path);
  bool open(const char* utf8Path);
  // Reads the directory of the archive in `in` (deleted by this object when owned); false for a
  // null stream. The stream is read from its start and must outlive this object unless owned.
  bool open(std::istream* in, bool owned);

  unsigned getFileEntryCount() const { return static_cast<unsigned>(m_entries.size()); }
  // The entry at index in archive order; null outside the range.
  EKPtr<EKZipFileEntry> getFileEntry(unsigned index) const;
  // The first entry with that name; null when there is none.
  EKPtr<EKZipFileEntry> getFileEntry(const UnicodeString& name) const;
  // Makes the object for each entry; hosts override it to use their own entry class.
  virtual EKPtr<EKZipFileEntry> createZipFileEntry();

  // True when the first 4 bytes are a local header, central directory or end-of-directory
  // signature (the stream's position is restored); false for an empty or missing file.
  static bool isZipFile(const UnicodeString& path);
  static bool isZipFile(const char* utf8Path);
  static bool isZipFile(std::istream* in);

protected:
  // Reads the entries: through the end-of-central-directory record when one lies within the
  // last 320 bytes, otherwise by scanning the local headers from the start.
  virtual void init();

private:
  void readDirectory();
  void scanLocalHeaders();
  void addEntry(const EKPtr<EKZipFileEntry>& entry);
  // Entries whose data would overlap an earlier entry's get size 0, so that no byte of the
  // archive is handed out twice.
  void clearOverlaps();
  void dropEntries();

  std::istream* m_in = nullptr;
  bool m_ownsInput = false;
  std::unique_ptr<EKMemStream> m_memory;
  std::vector<EKPtr<EKZipFileEntry>> m_entries;
  std::map<UnicodeString, EKPtr<EKZipFileEntry>> m_byName;
};

} // namespace EKCommonNS
