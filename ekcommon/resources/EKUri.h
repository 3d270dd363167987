// A normalised URI naming a resource the library reads or writes. The constructors accept URIs,
// Windows paths (drive letters, backslashes, UNC), local paths, CSS-style references
// (url(...), quoted strings), data: and jar: URIs, and bring them into one canonical string form,
// resolved against a base where one is given. Local paths use '/' as the separator; an absolute
// POSIX path stays scheme-less, so it keeps resolving against the base of a remote document.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"

#include <istream>

namespace EKCommonNS {

class EKXmlCatalogs;

class EKCOMMON_API EKUri {
public:
  // How a constructor reads its string.
  enum URISTRTYPE {
    URISTR_URI = 0,     // a URI reference
    URISTR_LITERAL = 1, // a literal escaped completely (CSS gradient functions)
    URISTR_WINPATH = 2, // a Windows path or a CSS-style reference (url(...), quoted string)
    URISTR_PATH = 3,    // a local path, or a CSS-style reference taken as a path
    URISTR_DETECT = 4,  // decide from the string (an existing file is read as a path)
  };

  EKUri() = default;
  // Catalog resolution of the string applies only when catalogs are given.
  EKUri(const UnicodeString& s, const EKXmlCatalogs* catalogs = nullptr);
  EKUri(const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs = nullptr);
  // s resolved against base; a reference that is empty after trimming gives the empty URI.
  EKUri(const EKUri& base, const UnicodeString& s, const EKXmlCatalogs* catalogs = nullptr);
  EKUri(const EKUri& base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs = nullptr);
  EKUri(const EKUri&) = default;
  EKUri& operator=(const EKUri&) = default;
  virtual ~EKUri() = default;

  bool operator==(const EKUri& other) const { return m_uri == other.m_uri; }
  bool operator!=(const EKUri& other) const { return m_uri != other.m_uri; }
  bool operator<(const EKUri& other) const { return m_uri < other.m_uri; }

  const UnicodeString& toString() const { return m_uri; }
  operator const UnicodeString&() const { return m_uri; }
  bool isEmpty() const { return m_uri.isEmpty(); }

  // The scheme in lower case, or the empty name.
  EKName getScheme() const;
  bool isAbsolute() const;
  bool isFileScheme() const;
  bool isDataScheme() const;
  bool isJarScheme() const;
  bool isHttpScheme() const;
  // Not empty, and a file: URI or one without scheme.
  bool isFile() const;
  // A file: URI whose local path lies on a network file system.
  bool isRemote() const;
  // Both file-like and naming the same local path, ignoring case.
  bool isSameFile(const EKUri& other) const;
  // True when other lies at or below this URI's directory.
  bool isDescendantOrSelf(const EKUri& other) const;
  bool isFileExists() const;
  static bool isFileExists(const char* utf8Path);
  static bool isFileExists(const wchar_t* path);
  // Ends with '/'; no file-system access.
  bool isDirectory() const;
  bool isDirectoryExists() const;

  // The local path ('/' separators); non-file URIs are returned as they are. With
  // shortenData, a data: URI is cut to its first 128 characters followed by "...".
  UnicodeString getLocalPath(bool shortenData = false) const;
  // For a file: string, its local path; any other string unchanged.
  static UnicodeString getLocalPath(const UnicodeString& uri);
  UnicodeString getFileName() const;
  // The extension with its dot (".png"), ignoring query and fragment; empty when none.
  UnicodeString getExtension() const;
  // Replaces the extension (the new one carries its own dot; null removes it) and returns the
  // old one; a directory URI is left alone and the bogus string returned.
  UnicodeString setExtension(const UnicodeString* extension);
  UnicodeString setExtension(const UnicodeString& extension) { return setExtension(&extension); }
  const UnicodeString& toDirectory();
  static const UnicodeString& toDirectory(UnicodeString& s, char16_t separator);
  // The local path of the directory part, or "./" when there is none; empty for data:.
  UnicodeString getBaseString() const;
  // Cuts the URI at its first '#' and returns the fragment (with or without the '#').
  UnicodeString removeFragment(bool withoutSharp);
  // This URI as a reference relative to base; empty when there is none.
  UnicodeString getRelativeUri(const UnicodeString& base) const;

  // True when the stream, read from its start, begins with the gzip magic bytes 1F 8B; false
  // for a shorter stream or one that throws. The stream is left at its start.
  static bool isGzip(std::istream& in);
  // A new stream (the caller deletes it) that reads `in` from its start, inflating gzip data
  // and passing anything else through; `in` must outlive it.
  static std::istream* getGzipStream(std::istream& in);

  // Percent-escapes '%' and every character that may not stand in a URI.
  static UnicodeString escape(const UnicodeString& s);
  // Decodes %XX escapes (as UTF-8 bytes); malformed escapes are kept.
  static UnicodeString unescape(const UnicodeString& s);
  // A '#' that belongs to a file name rather than starting a fragment is escaped when the file
  // exists (or always with force).
  static UnicodeString escapeSharpIfExist(const UnicodeString& s, bool force);
  static UnicodeString escapeSharpIfExist(const EKUri& base, const UnicodeString& s, bool force);
  static bool backslash2slash(UnicodeString& s);
  static bool slash2backslash(UnicodeString& s);
  static bool hasDriveLetter(const UnicodeString& s, int at);
  static bool isValidUri(const UnicodeString& s);
  static bool isValidUriChar(int c);

private:
  void construct(const EKUri* base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs);

  UnicodeString m_uri;
};

} // namespace EKCommonNS
