#include "ekcommon/resources/EKUri.h"

#include "ekcommon/core/EKBogusString.h"
#include "ekcommon/platform/EKFileSystem.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/EKXmlCatalogs.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <string>

namespace EKCommonNS {

namespace {

bool isAsciiLetter(UChar32 c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(UChar32 c) {
  return c >= '0' && c <= '9';
}

// Index of the ':' that ends the scheme, or -1: a letter, then letters, digits, '+', '-' or
// '.', at least two characters in all ("C:" is a drive letter, not a scheme).
int32_t schemeEnd(const UnicodeString& s) {
  if (s.isEmpty() || !isAsciiLetter(s.charAt(0)))
    return -1;
  for (int32_t i = 1; i < s.length(); ++i) {
    const char16_t c = s.charAt(i);
    if (c == ':')
      return i >= 2 ? i : -1;
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.')
      return -1;
  }
  return -1;
}

bool hasScheme(const UnicodeString& s) {
  return schemeEnd(s) >= 0;
}

// Case-insensitive test of an ASCII prefix.
bool startsWithAscii(const UnicodeString& s, const char* prefix, int32_t at = 0) {
  for (int32_t i = 0; prefix[i]; ++i) {
    char16_t c = s.charAt(at + i);
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char16_t>(c + ('a' - 'A'));
    if (c != static_cast<char16_t>(prefix[i]))
      return false;
  }
  return true;
}

UnicodeString trimmed(const UnicodeString& s) {
  UnicodeString t(s);
  return t.trim();
}

UnicodeString cutAt(const UnicodeString& s, char16_t c) {
  const int32_t at = s.indexOf(c);
  return at < 0 ? s : UnicodeString(s, 0, at);
}

UnicodeString escapeImpl(const UnicodeString& s, bool escapeSharp) {
  static const char16_t HEX[] = u"0123456789ABCDEF";
  UnicodeString out;
  for (int32_t i = 0; i < s.length(); ++i) {
    const char16_t c = s.charAt(i);
    if (c == '%' || !EKUri::isValidUriChar(c) || (escapeSharp && c == '#')) {
      out.append(u'%').append(HEX[(c >> 4) & 0xF]).append(HEX[c & 0xF]);
    } else {
      out.append(c);
    }
  }
  return out;
}

// A Windows or UNC path becomes a file: URI; any other path stays as it is (relative).
UnicodeString pathToUri(UnicodeString path, bool* replacedBackslash = nullptr) {
  const bool replaced = EKUri::backslash2slash(path);
  if (replacedBackslash)
    *replacedBackslash = replaced;
  if (EKUri::hasDriveLetter(path, 0))
    return UnicodeString(u"file:///").append(escapeImpl(cutAt(path, '?'), false));
  if (path.startsWith(u"//"))
    return UnicodeString(u"file:").append(escapeImpl(cutAt(path, '?'), false));
  return path;
}

// The string as the constructor reads it, with its effective type.
struct Classified {
  UnicodeString text;
  int effective = 0;
};

Classified classify(const UnicodeString& s, int type) {
  Classified result;
  if (s.isEmpty())
    return result;
  result.text = s;
  bool settled = false;
  if (type == EKUri::URISTR_DETECT) {
    if (s.startsWith(u"\\\\")) {
      result.effective = 3;
      type = EKUri::URISTR_LITERAL;
      settled = true;
    } else {
      std::string utf8;
      type = EKPlatform::pathExists(s.toUTF8String(utf8).c_str()) ? EKUri::URISTR_LITERAL : EKUri::URISTR_URI;
    }
  }
  if (!settled) {
    if (type == EKUri::URISTR_LITERAL || type == EKUri::URISTR_PATH)
      result.effective = 3;
    else if (EKUri::hasDriveLetter(s, 0) || s.indexOf(u'\\') >= 0)
      result.effective = 2;
    else
      result.effective = 0;
  }
  if (type != EKUri::URISTR_WINPATH && type != EKUri::URISTR_PATH)
    return result;

  UnicodeString& text = result.text;
  const int32_t open = text.indexOf(u'(');
  if (text.endsWith(u")") && open > 0) {
    UnicodeString name(text, 0, open);
    name.toLower();
    if (name == u"url") {
      text = trimmed(UnicodeString(text, open + 1, text.length() - open - 2));
      result.effective = 0;
    } else if (name == u"linear-gradient" || name == u"radial-gradient" ||
               name == u"repeating-linear-gradient" || name == u"repeating-radial-gradient") {
      result.effective = 1;
    }
  }
  const int32_t n = text.length();
  if (n >= 2 && (text.charAt(0) == '"' || text.charAt(0) == '\'') && text.charAt(n - 1) == text.charAt(0))
    text = UnicodeString(text, 1, n - 2);
  return result;
}

// Removes "/./" and "/segment/../" until none is left; a "/../" with no segment before it stops
// the removal. Each pass is linear, so that long hostile paths cannot stall resolution.
void removeDotSegments(UnicodeString& path) {
  const int32_t n = path.length();
  UnicodeString single;
  for (int32_t i = 0; i < n;) {
    const char16_t c = path.charAt(i++);
    single.append(c);
    if (c == '/')
      while (i + 1 < n && path.charAt(i) == '.' && path.charAt(i + 1) == '/')
        i += 2;
  }
  UnicodeString out;
  const int32_t m = single.length();
  for (int32_t i = 0; i < m;) {
    if (single.charAt(i) == '/' && single.charAt(i + 1) == '.' && single.charAt(i + 2) == '.' &&
        single.charAt(i + 3) == '/') {
      const int32_t before = out.lastIndexOf(u'/');
      if (before < 0) {
        out.append(single, i, m - i);
        break;
      }
      out.truncate(before);
      i += 3;
      continue;
    }
    out.append(single.charAt(i++));
  }
  path = out;
}

// Canonical form of a file: reference; false when it turns out to be relative ("file:x"),
// in which case ref is left as that relative reference.
bool canonicalFileReference(UnicodeString& ref, const UnicodeString& base) {
  int32_t slashes = 0;
  while (ref.charAt(5 + slashes) == '/')
    ++slashes;
  const int32_t rest = 5 + slashes;
  if (slashes == 0) {
    ref.remove(0, 5);
    return false;
  }
  if ((slashes == 1 || slashes == 2) && EKUri::hasDriveLetter(ref, rest)) {
    ref = UnicodeString(u"file:///").append(cutAt(UnicodeString(ref, rest), '?'));
  } else if (slashes == 1) {
    ref = UnicodeString(u"file:///").append(UnicodeString(ref, rest));
  } else if (slashes == 3 && !EKUri::hasDriveLetter(ref, rest) && startsWithAscii(base, "file:///") &&
             EKUri::hasDriveLetter(base, 8)) {
    ref = UnicodeString(u"file:///").append(UnicodeString(base, 8, 2)).append(UnicodeString(ref, 7));
  }
  return true;
}

UnicodeString resolve(UnicodeString ref, UnicodeString base, int type) {
  if (trimmed(ref).isEmpty())
    return UnicodeString();
  if (startsWithAscii(ref, "jar:"))
    return UnicodeString(u"jar:").append(resolve(UnicodeString(ref, 4), base, type));

  UnicodeString fragment;
  if (type != 1) {
    const int32_t sharp = ref.indexOf(u'#');
    if (sharp >= 0) {
      fragment = UnicodeString(ref, sharp);
      ref.truncate(sharp);
      if (ref.isEmpty())
        return fragment;
    }
  }

  bool replacedBackslash = false;
  if (type == 3)
    type = hasScheme(ref) ? 0 : 2;
  if (type == 0) {
    if (!EKUri::isValidUri(ref))
      ref = escapeImpl(ref, false);
  } else if (type == 1) {
    ref = escapeImpl(ref, true);
  } else {
    ref = pathToUri(ref, &replacedBackslash);
  }

  if (startsWithAscii(ref, "file:")) {
    if (canonicalFileReference(ref, base))
      return ref.append(fragment);
  } else if (hasScheme(ref)) {
    return ref.append(fragment);
  }

  // A relative reference, joined to the base's root and path.
  if (base.indexOf(u'/') < 0)
    base.insert(0, u"./");
  UnicodeString root;
  const int32_t colon = schemeEnd(base);
  if (colon < 0) {
    if (base.startsWith(u"//")) {
      int32_t slash = base.indexOf(u'/', 2);
      if (slash < 0) {
        base.append(u'/');
        slash = base.length() - 1;
      }
      root = UnicodeString(base, 0, slash);
    }
  } else {
    for (int32_t i = 0; i < colon; ++i)
      base.setCharAt(i, static_cast<char16_t>(u_tolower(base.charAt(i))));
    const bool http = startsWithAscii(base, "http://") || startsWithAscii(base, "https://");
    if (!http && type == 2)
      ref = escapeImpl(ref, false);
    const bool authority = base.charAt(colon + 1) == '/' && base.charAt(colon + 2) == '/';
    if (http) {
      base = cutAt(base, '?');
      if (ref.startsWith(u"//") && !replacedBackslash) {
        root = UnicodeString(base, 0, colon + 1);
      } else {
        int32_t slash = base.indexOf(u'/', colon + 3);
        if (slash < 0) {
          base.append(u'/');
          slash = base.length() - 1;
        }
        root = UnicodeString(base, 0, slash);
      }
    } else if (startsWithAscii(base, "jar:")) {
      const int32_t bang = base.lastIndexOf(u"!/");
      if (bang >= 0)
        root = UnicodeString(base, 0, bang + 1);
    } else if (authority) {
      int32_t slash = base.indexOf(u'/', colon + 3);
      if (slash < 0) {
        base.append(u'/');
        slash = base.length() - 1;
      }
      root = UnicodeString(base, 0, slash);
      if (startsWithAscii(base, "file:") && EKUri::hasDriveLetter(base, slash + 1)) {
        if (base.charAt(slash + 3) != '/')
          base.insert(slash + 3, u'/');
        root = UnicodeString(base, 0, slash + 3);
      }
    }
  }

  UnicodeString path(base, root.length());
  if (ref.startsWith(u"/")) {
    path = ref;
  } else {
    if (path.endsWith(u"/."))
      path.truncate(path.length() - 1);
    else if (path.endsWith(u"/.."))
      path.append(u'/');
    else if (!path.endsWith(u"/")) {
      const int32_t slash = path.lastIndexOf(u'/');
      if (slash < 0)
        path = u"/";
      else
        path.truncate(slash + 1);
    }
    path.append(ref);
  }
  removeDotSegments(path);

  UnicodeString result = root.append(path);
  if (startsWithAscii(result, "file:"))
    result = cutAt(result, '?');
  else if (result.length() >= 3 && result.startsWith(u"./"))
    result.remove(0, 2);
  return result.append(fragment);
}

// The local path of a URI string known to start with "file:".
UnicodeString fileLocalPath(const UnicodeString& u) {
  int32_t slashes = 0;
  while (u.charAt(5 + slashes) == '/')
    ++slashes;
  const int32_t rest = 5 + slashes;
  if (EKUri::hasDriveLetter(u, rest))
    return EKUri::unescape(UnicodeString(u, rest));
  if (slashes < 2)
    return EKUri::unescape(UnicodeString(u, 5));
  const UnicodeString prefix = slashes == 3 ? u"/" : u"//";
  return UnicodeString(prefix).append(EKUri::unescape(UnicodeString(u, rest)));
}

// The scheme and authority of an absolute URI ("http://host"), or empty.
UnicodeString originOf(const UnicodeString& s) {
  const int32_t colon = schemeEnd(s);
  if (colon < 0)
    return UnicodeString();
  int32_t end = colon + 1;
  if (s.charAt(colon + 1) == '/' && s.charAt(colon + 2) == '/') {
    end = s.indexOf(u'/', colon + 3);
    if (end < 0)
      end = s.length();
  }
  UnicodeString origin(s, 0, end);
  return origin.toLower();
}

// No relative reference leads from one scheme or host to another.
bool sameOrigin(const UnicodeString& a, const UnicodeString& b) {
  const UnicodeString originA = originOf(a);
  const UnicodeString originB = originOf(b);
  return originA.isEmpty() || originB.isEmpty() || originA == originB;
}

std::string utf8Of(const UnicodeString& s) {
  std::string out;
  return s.toUTF8String(out);
}

} // namespace

EKUri::EKUri(const UnicodeString& s, const EKXmlCatalogs* catalogs) {
  construct(nullptr, s, URISTR_DETECT, catalogs);
}

EKUri::EKUri(const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs) {
  construct(nullptr, s, type, catalogs);
}

EKUri::EKUri(const EKUri& base, const UnicodeString& s, const EKXmlCatalogs* catalogs) {
  construct(&base, s, URISTR_DETECT, catalogs);
}

EKUri::EKUri(const EKUri& base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs) {
  construct(&base, s, type, catalogs);
}

void EKUri::construct(const EKUri* base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs) {
  const Classified c = classify(catalogs ? catalogs->resolveURI(s) : s, type);
  if (base) {
    m_uri = resolve(c.text, base->m_uri, c.effective);
    return;
  }
  if (trimmed(c.text).isEmpty()) {
    m_uri = c.text;
    return;
  }
  int effective = c.effective;
  if (effective == 3)
    effective = hasScheme(c.text) ? 0 : 2;
  if (effective == 2)
    m_uri = pathToUri(c.text);
  else
    m_uri = isValidUri(c.text) ? c.text : escapeImpl(c.text, false);
}

EKName EKUri::getScheme() const {
  const int32_t colon = schemeEnd(m_uri);
  if (colon < 0)
    return EKName();
  UnicodeString scheme(m_uri, 0, colon);
  return EKName(scheme.toLower());
}

bool EKUri::isAbsolute() const {
  return hasScheme(m_uri);
}

bool EKUri::isFileScheme() const {
  return startsWithAscii(m_uri, "file:");
}

bool EKUri::isDataScheme() const {
  return startsWithAscii(m_uri, "data:");
}

bool EKUri::isJarScheme() const {
  return startsWithAscii(m_uri, "jar:");
}

bool EKUri::isHttpScheme() const {
  return startsWithAscii(m_uri, "http:") || startsWithAscii(m_uri, "https:");
}

bool EKUri::isFile() const {
  return !m_uri.isEmpty() && (isFileScheme() || !hasScheme(m_uri));
}

bool EKUri::isRemote() const {
  return isFileScheme() && EKPlatform::isNetworkPath(utf8Of(getLocalPath()).c_str());
}

bool EKUri::isSameFile(const EKUri& other) const {
  if (!isFile() || !other.isFile())
    return false;
  UnicodeString a = getLocalPath();
  UnicodeString b = other.getLocalPath();
  return a.toLower() == b.toLower();
}

bool EKUri::isDescendantOrSelf(const EKUri& other) const {
  EKUri self(*this);
  EKUri candidate(other);
  if (isFile() && other.isFile()) {
    UnicodeString a = m_uri;
    UnicodeString b = other.m_uri;
    self = EKUri(a.toLower());
    candidate = EKUri(b.toLower());
  }
  const UnicodeString relative = candidate.getRelativeUri(self.m_uri);
  return !relative.isEmpty() && !relative.startsWith(u"..");
}

bool EKUri::isFileExists() const {
  return EKPlatform::pathExists(utf8Of(getLocalPath()).c_str());
}

bool EKUri::isFileExists(const char* utf8Path) {
  return EKPlatform::pathExists(utf8Path);
}

bool EKUri::isFileExists(const wchar_t* path) {
  if (!path)
    return false;
  UnicodeString s;
  for (; *path; ++path)
    s.append(static_cast<UChar32>(*path));
  return EKPlatform::pathExists(utf8Of(s).c_str());
}

bool EKUri::isDirectory() const {
  return m_uri.endsWith(u"/");
}

bool EKUri::isDirectoryExists() const {
  const UnicodeString directory = getBaseString();
  return !directory.isEmpty() && EKUri(directory).isFileExists();
}

UnicodeString EKUri::getLocalPath(bool shortenData) const {
  if (m_uri.isEmpty())
    return UnicodeString();
  if (!isFileScheme()) {
    if (shortenData && isDataScheme() && m_uri.length() > 128)
      return UnicodeString(m_uri, 0, 128).append(u"...");
    return m_uri;
  }
  return fileLocalPath(m_uri);
}

UnicodeString EKUri::getLocalPath(const UnicodeString& uri) {
  return startsWithAscii(uri, "file:") ? EKUri(uri).getLocalPath() : uri;
}

UnicodeString EKUri::getFileName() const {
  if (isDataScheme())
    return UnicodeString();
  const UnicodeString path = isFileScheme() ? getLocalPath() : m_uri;
  const int32_t slash = path.lastIndexOf(u'/');
  return slash < 0 ? path : UnicodeString(path, slash + 1);
}

UnicodeString EKUri::getExtension() const {
  if (isDataScheme())
    return UnicodeString();
  const UnicodeString s = cutAt(cutAt(m_uri, '?'), '#');
  if (s.endsWith(u"/"))
    return UnicodeString();
  const int32_t dot = s.lastIndexOf(u'.');
  return dot > s.lastIndexOf(u'/') ? UnicodeString(s, dot) : UnicodeString();
}

UnicodeString EKUri::setExtension(const UnicodeString* extension) {
  if (m_uri.endsWith(u"/"))
    return EKBogusString::getBogusString();
  const int32_t sharp = m_uri.indexOf(u'#');
  const int32_t end = sharp < 0 ? m_uri.length() : sharp;
  const int32_t dot = m_uri.lastIndexOf(u'.', 0, end);
  const bool hasExtension = dot >= 0 && dot > m_uri.lastIndexOf(u'/', 0, end);
  const int32_t at = hasExtension ? dot : end;
  const UnicodeString old(m_uri, at, end - at);
  m_uri.remove(at, end - at);
  if (extension)
    m_uri.insert(at, *extension);
  return old;
}

const UnicodeString& EKUri::toDirectory() {
  return toDirectory(m_uri, u'/');
}

const UnicodeString& EKUri::toDirectory(UnicodeString& s, char16_t separator) {
  if (s.isEmpty() || s.charAt(s.length() - 1) != separator)
    s.append(separator);
  return s;
}

UnicodeString EKUri::getBaseString() const {
  if (isDataScheme())
    return UnicodeString();
  const int32_t slash = m_uri.lastIndexOf(u'/');
  if (slash < 0)
    return UnicodeString(u"./");
  const UnicodeString directory(m_uri, 0, slash + 1);
  return startsWithAscii(directory, "file:") ? fileLocalPath(directory) : directory;
}

UnicodeString EKUri::removeFragment(bool withoutSharp) {
  const int32_t sharp = m_uri.indexOf(u'#');
  if (sharp < 0)
    return UnicodeString();
  UnicodeString fragment(m_uri, withoutSharp ? sharp + 1 : sharp);
  m_uri.truncate(sharp);
  return fragment;
}

UnicodeString EKUri::getRelativeUri(const UnicodeString& base) const {
  if (m_uri.isEmpty() || base.isEmpty() || !sameOrigin(m_uri, base))
    return UnicodeString();
  const int32_t baseSlash = base.lastIndexOf(u'/');
  const UnicodeString baseDir = baseSlash < 0 ? UnicodeString(u"./") : UnicodeString(base, 0, baseSlash + 1);
  const int32_t slash = m_uri.lastIndexOf(u'/');
  const UnicodeString dir = slash < 0 ? UnicodeString(u"./") : UnicodeString(m_uri, 0, slash + 1);
  const UnicodeString fileName = slash < 0 ? m_uri : UnicodeString(m_uri, slash + 1);

  // Step up to the longest directory of this URI that the base directory starts with; the
  // segments stepped over are written out again after the "../" steps.
  int32_t common = 0;
  const int32_t limit = std::min(dir.length(), baseDir.length());
  while (common < limit && dir.charAt(common) == baseDir.charAt(common))
    ++common;
  const int32_t kept = common == dir.length() ? dir.length() : dir.lastIndexOf(u'/', 0, common) + 1;
  if (kept == 0)
    return UnicodeString();
  UnicodeString result;
  for (int32_t i = kept; i < baseDir.length(); ++i)
    if (baseDir.charAt(i) == '/')
      result.append(u"../");
  result.append(dir, kept, dir.length() - kept);
  return result.append(fileName);
}

UnicodeString EKUri::escape(const UnicodeString& s) {
  return escapeImpl(s, false);
}

UnicodeString EKUri::unescape(const UnicodeString& s) {
  if (s.indexOf(u'%') < 0)
    return s;
  const std::string bytes = utf8Of(s);
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '%' && i + 2 < bytes.size()) {
      const int high = EKChar::hex2dig(static_cast<unsigned char>(bytes[i + 1]));
      const int low = EKChar::hex2dig(static_cast<unsigned char>(bytes[i + 2]));
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(bytes[i]);
  }
  return UnicodeString::fromUTF8(out);
}

UnicodeString EKUri::escapeSharpIfExist(const UnicodeString& s, bool force) {
  return escapeSharpIfExist(EKUri(), s, force);
}

UnicodeString EKUri::escapeSharpIfExist(const EKUri& base, const UnicodeString& s, bool force) {
  if (s.indexOf(u'#') < 0)
    return s;
  EKUri resolved(base, s, URISTR_LITERAL);
  if (!resolved.isFileScheme())
    return s;
  const UnicodeString fragment = resolved.removeFragment(false);
  resolved.m_uri.append(escapeImpl(fragment, true));
  return force || resolved.isFileExists() ? resolved.m_uri : s;
}

bool EKUri::backslash2slash(UnicodeString& s) {
  const UnicodeString before(s);
  s.findAndReplace(u"\\", u"/");
  return s != before;
}

bool EKUri::slash2backslash(UnicodeString& s) {
  const UnicodeString before(s);
  s.findAndReplace(u"/", u"\\");
  return s != before;
}

bool EKUri::hasDriveLetter(const UnicodeString& s, int at) {
  return at >= 0 && s.length() - at >= 2 && s.charAt(at + 1) == ':' && isAsciiLetter(s.charAt(at));
}

bool EKUri::isValidUri(const UnicodeString& s) {
  if (s.isEmpty() || hasScheme(s))
    return true;
  for (int32_t i = 0; i < s.length(); ++i) {
    const char16_t c = s.charAt(i);
    if (!isValidUriChar(c))
      return false;
    if (c == '%' && (EKChar::hex2dig(s.charAt(i + 1)) < 0 || EKChar::hex2dig(s.charAt(i + 2)) < 0))
      return false;
  }
  return true;
}

bool EKUri::isValidUriChar(int c) {
  if (c >= 0xA0)
    return true;
  if (c < 0)
    return false;
  if (isAsciiLetter(c) || isAsciiDigit(c))
    return true;
  switch (c) {
  case '!': case '#': case '$': case '%': case '&': case '\'': case '(': case ')': case '*':
  case '+': case ',': case '-': case '.': case '/': case ':': case ';': case '=': case '?':
  case '@': case '[': case ']': case '_': case '~':
    return true;
  default:
    return false;
  }
}

} // namespace EKCommonNS
