// Writes ZIP archives: entries are deflated into a temporary file, which is copied to the
// caller's output stream when the archive is closed and then removed.
//
//   std::ofstream out("bundle.zip", std::ios::binary);
//   EKZipArchive zip;
//   std::istringstream page("<html/>");
//   if (zip.open(out) == 0 && zip.append(page, u"index.html") == 0 && zip.close() == 0) { ... }
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/resources/EKTempFile.h"

#include <istream>
#include <ostream>

namespace EKCommonNS {

class EKDocument;
class EKNode;

class EKCOMMON_API EKZipArchive {
public:
  EKZipArchive() = default;
  // An archive still open is abandoned: nothing is written to the output and the temporary file
  // is removed.
  ~EKZipArchive();
  EKZipArchive(const EKZipArchive&) = delete;
  EKZipArchive& operator=(const EKZipArchive&) = delete;

  // zlib's level for the entries appended from now on: -1 (default) or 0 to 9.
  void setCompressionLevel(int level) { m_level = level; }
  int getCompressionLevel() const { return m_level; }

  // Starts an archive that close() writes to `out` (which must outlive it). 0 on success, -1
  // when an archive is open already or the temporary file cannot be made.
  int open(std::ostream& out);
  // Adds an entry named `name` (stored as UTF-8, flagged so when it is not ASCII) with all the
  // bytes left in `in`, deflated. 0 on success, -1 when the archive is not open, the name is
  // empty, or the writer fails. Entries must stay below 4 GiB.
  int append(std::istream& in, const UnicodeString& name);
  // Adds an entry with the document (or only `node`, a node of it) saved as UTF-8 XML. -1 also
  // when saving fails.
  int append(EKDocument* doc, const UnicodeString& name, EKNode* node = nullptr);
  // Finishes the archive and copies it to the output stream. 0 on success, -1 when none is
  // open or writing fails. The temporary file is removed either way.
  int close();

private:
  void abandon();

  EKTempFile m_tempFile;
  void* m_zip = nullptr;
  std::ostream* m_out = nullptr;
  int m_level = -1;
};

} // namespace EKCommonNS
