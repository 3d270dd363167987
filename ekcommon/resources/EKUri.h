// A normalised URI naming a resource the library reads or writes. The constructors accept URIs,
// Windows paths (drive letters, backslashes, UNC), local paths, CSS-style references
// (url(...), quoted strings), data: and jar: URIs, and bring them into one canonical string form,
// resolved against a base where one is given. Local paths use '/' as the separator; an absolute
// POSIX path stays scheme-less, so it keeps resolving against the base of a remote document.
// An EKUri also opens what it names: local files, entries of ZIP archives (jar:, nested too),
// data: URIs and http:/https: resources, or whatever an installed host resolver supplies.
//
//   EKUri page(EKUri(u"https://example.org/docs/"), u"chapter1.xml");
//   EKUri::ContentInfo info;
//   UnicodeString error;
//   std::unique_ptr<std::istream> in(page.getIStream(&info, &error));   // null on failure
//   if (!in) { report(error); }
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"

#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>

namespace EKCommonNS {

class EKXmlCatalogs;
class EKUriReferenceResolver2;

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

  // In/out record of one fetch. The outputs are filled when a resource is opened; the inputs
  // tune HTTP requests.
  struct EKCOMMON_API ContentInfo {
    enum Flags : uint32_t {
      FLAG_UPDATE_URI = 1,               // after redirections the URI itself takes the final address
      FLAG_IGNORE_CERTIFICATE_ERRORS = 2, // https: accept any certificate
      FLAG_PRECONFIGURED_ACCESS = 4,     // kept for hosts that set it; proxies come from libcurl's environment
    };
    UnicodeString contentType; // out: the MIME type without parameters
    UnicodeString charset;     // out: the charset parameter
    UnicodeString language;    // out: Content-Language
    int contentLength = -1;    // out: -1 when not known
    UnicodeString referrer;    // in: sent as Referer when not empty
    int connectTimeout = -1;   // in: milliseconds, negative for no limit
    int connectRetries = -1;   // in: negative uses the process-wide value
    int connectBackoff = -1;   // in: milliseconds between retries; negative uses the process-wide value
    uint32_t flags = 0;        // in: Flags

    ContentInfo() = default;
    // Copies only the inputs of `in`; null gives the defaults.
    explicit ContentInfo(const ContentInfo* in);
    ContentInfo(const ContentInfo&) = default;
    ContentInfo& operator=(const ContentInfo&) = default;
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

  // Opening resources. Every stream returned belongs to the caller; null means the resource
  // cannot be opened (nothing is thrown for network failures). getIStream asks the installed
  // resolver first, then opens a local file (not a directory), a jar: entry (archives nested
  // with further "!/"), an http:/https: resource (redirections followed up to nine times, only
  // to http: and https:) or a data: URI. The error message, when asked for, receives why an
  // HTTP fetch failed.
  std::istream* getIStream(ContentInfo* info, UnicodeString* errorMessage) const;
  std::istream* getIStream() const { return getIStream(nullptr, nullptr); }
  // The resolver's stream for this URI; null when none is installed or it declines.
  std::istream* getStreamFromResolver() const;
  // The local file opened for binary reading and writing; null when it cannot be.
  std::fstream* getFStream() const;
  // The local file opened for binary output, created when missing; with truncate emptied first,
  // otherwise written over from its start.
  std::ostream* getOStream(bool truncate) const;
  // A gzip-decoding stream over the local file (other files pass through); null when it cannot
  // be opened.
  std::istream* getGzipStream() const;
  // True when the resource opens and starts with the gzip magic bytes.
  bool isGzip() const;
  // For http: and https: URIs: replaces this URI by the address it redirects to, asking the
  // server once per address (answers are remembered for the process). True when it changed.
  bool checkRedirection();

  // Process-wide HTTP settings: connect time-out (ms, negative for no limit), retries and
  // back-off (ms) applied when a fetch does not give its own.
  static void setInternetConnectTimeout(int milliseconds);
  static void setInternetConnectRetries(int retries);
  static void setInternetConnectBackoff(int milliseconds);
  // The User-Agent of HTTP requests: at most 255 UTF-16 units are kept (cut at a code point);
  // an empty string changes nothing. When none is set a default naming the library is sent.
  static void setUserAgent(const UnicodeString& userAgent);
  static UnicodeString getUserAgent();
  // Installs the host's resolver (null removes it; not owned) and returns the previous one.
  static EKUriReferenceResolver2* setUriReferenceResolver2(EKUriReferenceResolver2* resolver);
  // For the host at shutdown: forgets the configured user agent.
  static void cleanup();

  // The local file loaded as a shared library; null when it cannot be.
  void* loadLibrary() const;
  static void* getProcAddress(void* module, const char* name);
  static void freeLibrary(void* module);
  // A file next to a module: the directory comes from the environment variable when it names an
  // existing path, else from the loaded library `moduleName`, else "./" (a fileName ending in
  // ".dll" or ".so" is taken as it is). Without fileName the directory itself is returned.
  static EKUri getModuleUri(const char* moduleName, const char* fileName, const char* environmentVariable);

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

  // Fetching may replace the string by the address a resource was redirected to.
  mutable UnicodeString m_uri;
};

} // namespace EKCommonNS
