// Temporary files with names that cannot collide between threads or processes, optionally in a
// directory of their own named by a UUID. An EKTempFile owns its file: the destructor removes it
// (and its UUID directory) unless the name was released.
//
//   EKTempFile scratch("", "render", ".pdf");          // created empty, mode 0600
//   std::ofstream out(scratch.getFileName().c_str(nullptr), std::ios::binary);
//   ...                                                 // removed when scratch goes
#pragma once

#include "ekcommon/core/EKCStr.h"
#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKLock.h"

namespace EKCommonNS {

class EKCOMMON_API EKTempFile {
public:
  // Owns nothing.
  EKTempFile() = default;
  // Takes the name getTempFileEx(directory, prefix, extension, create) gives (an empty directory
  // means the temporary directory). Throws EKError 78 when no file can be created.
  EKTempFile(const UnicodeString& directory, const UnicodeString& prefix, const UnicodeString& extension,
             bool create = true);
  EKTempFile(const char* directory, const char* prefix, const char* extension, bool create = true);
  // Copies share the names: whichever copy goes first removes the file.
  EKTempFile(const EKTempFile&) = default;
  EKTempFile& operator=(const EKTempFile&) = default;
  // Removes the file and the UUID directory held; a failure is swallowed here (remove() reports it).
  ~EKTempFile();

  // The process's temporary directory ($TMPDIR when it names a directory, else /tmp), with a
  // trailing '/'; computed once.
  static EKCStr getTempDirectory();
  static EKCStr getTempFile(const UnicodeString& directory, const UnicodeString& prefix,
                            const UnicodeString& extension) {
    return getTempFileEx(directory, prefix, extension, true);
  }
  // A new name directory + prefix + "PID-UUID" + extension (directory empty: the temporary
  // directory). With create, the file is made exclusively, empty, readable and writable by the
  // owner only; an existing name is skipped. Throws EKError 78 after 100 failed attempts, or at
  // once when a failed attempt leaves a file that cannot be removed.
  static EKCStr getTempFileEx(const UnicodeString& directory, const UnicodeString& prefix,
                              const UnicodeString& extension, bool create);
  // Removes the file once no other process holds a lock on it: up to 10 attempts a second apart.
  // A missing file counts as removed. False when every attempt failed.
  static bool removeTempFile(const UnicodeString& path);
  static bool removeTempFile(const char* utf8Path);

  // The file held, empty when none.
  EKCStr getFileName() const { return m_fileName; }
  bool isTempFile() const { return !m_fileName.isEmpty(); }
  // Returns the name and forgets it (and the UUID directory), so that the file stays.
  EKCStr releaseFileName();
  // Removes the file held now, then holds the given name: a full path, or a new temporary file
  // made as getTempFile makes it.
  void setFileName(const UnicodeString& fileName);
  void setFileName(const char* utf8FileName);
  void setFileName(const UnicodeString& directory, const UnicodeString& prefix, const UnicodeString& extension);
  void setFileName(const char* directory, const char* prefix, const char* extension);
  // Removes what is held, makes a new directory (named by a UUID, owner-only) in the temporary
  // directory and an empty file `name` in it, holds both and returns the file's path. `name` must
  // be a plain file name (no '/', not "." or ".."); otherwise, or when the directory or file
  // cannot be made, throws EKError 78.
  EKCStr getTempFileInUUIDDirectory(const UnicodeString& name);
  // Holds the file `name` in the UUID directory held (made first when none is): the present file
  // is removed and the new one is not created. The same rules for `name` apply.
  void setFileNameInUUIDDirectory(const UnicodeString& name);
  // Removes the file held (EKError 77 with its name when that fails), then the UUID directory.
  void remove();
  // Writes the zlib-inflated bytes of data into the file held, replacing its content. False when
  // no file is held, it cannot be written, or the data is not a complete zlib stream.
  bool inflate(const unsigned char* data, unsigned length);

private:
  static const UnicodeString& tempDirectory();
  void makeUUIDDirectory();

  UnicodeString m_fileName;
  UnicodeString m_uuidDirectory;

  // Guards name generation and the temporary directory; created at library load.
  static EKLock s_tempFileLock;
  static UnicodeString s_tempDirectory;
};

} // namespace EKCommonNS
