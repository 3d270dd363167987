// Opening what a URI names: the host's resolver, local files, jar: entries, data: URIs and
// http:/https: resources, with the process-wide fetch settings and the redirection map.
#include "ekcommon/resources/EKUri.h"

#include "ekcommon/core/EKMutex.h"
#include "ekcommon/resources/EKDataUri.h"
#include "ekcommon/resources/EKGzipIStream.h"
#include "ekcommon/resources/EKMemStream.h"
#include "ekcommon/resources/EKUriReferenceResolver2.h"
#include "ekcommon/resources/EKZipFile.h"
#include "ekcommon/resources/internal/EKFetchState.h"
#include "ekcommon/resources/internal/EKUriStream.h"
#include "ekcommon/resources/internal/EKUtf8.h"
#include "ekcommon/text/EKUtil.h"

#include <sys/stat.h>
#include <vector>

namespace EKCommonNS {

namespace {

constexpr size_t MEMORY_BLOCK = 8192;
constexpr int32_t USER_AGENT_MAX = 255;

// An entry of a (possibly nested) archive, together with everything its bytes depend on.
class JarEntryStream : public std::istream {
public:
  JarEntryStream() : std::istream(nullptr) {}
  ~JarEntryStream() override {
    rdbuf(nullptr);
    m_current.reset();
    // Each archive reads from the entry stream of the level above it, so inner levels go first.
    while (!m_zips.empty())
      m_zips.pop_back();
  }

  // Opens `in` (taken over) as an archive and moves to the entry `name`; false when either fails.
  bool descend(std::istream* in, const UnicodeString& name) {
    auto zip = std::make_unique<EKZipFile>();
    if (!EKZipFile::isZipFile(in)) {
      delete in;
      return false;
    }
    zip->open(in, true);
    EKPtr<EKZipFileEntry> entry = zip->getFileEntry(EKUri::unescape(name));
    if (!entry)
      entry = zip->getFileEntry(name);
    m_zips.push_back(std::move(zip));
    if (!entry)
      return false;
    m_entries.push_back(entry);
    m_current.reset(entry->getUncompressedStream(true));
    rdbuf(m_current->rdbuf());
    return true;
  }
  // Hands the current entry's stream to the caller's next level, buffered so that it can seek.
  std::istream* takeCurrentBuffered() {
    rdbuf(nullptr);
    return new EKMemStream(m_current.release(), MEMORY_BLOCK, true);
  }

private:
  std::vector<std::unique_ptr<EKZipFile>> m_zips;
  std::vector<EKPtr<EKZipFileEntry>> m_entries;
  std::unique_ptr<std::istream> m_current;
};

bool isRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

int writeToMemory(int length, const char* bytes, void* context) {
  if (length <= 0 || !bytes)
    return 0;
  static_cast<EKMemStream*>(context)->write(bytes, length);
  return length;
}

void clearContent(EKUri::ContentInfo* info, const UnicodeString& type) {
  if (!info)
    return;
  info->contentType = type;
  info->charset.remove();
  info->language.remove();
  info->contentLength = -1;
}

EKUriConnectionSettings processSettings() {
  EKUriConnectionSettings settings;
  settings.userAgent = EKUri::getUserAgent();
  settings.connectTimeout = EKFetchState::s_connectTimeout.load(std::memory_order_relaxed);
  settings.connectRetries = EKFetchState::s_connectRetries.load(std::memory_order_relaxed);
  settings.connectBackoff = EKFetchState::s_connectBackoff.load(std::memory_order_relaxed);
  return settings;
}

void recordRedirection(const UnicodeString& address, const UnicodeString& finalAddress) {
  EKMutex guard(EKFetchState::s_redirectionLock);
  if (EKFetchState::s_redirections.size() >= EKFetchState::MAX_REDIRECTIONS_KEPT)
    EKFetchState::s_redirections.clear();
  EKFetchState::s_redirections[address] = finalAddress;
}

std::istream* openJar(const UnicodeString& uri, EKUri::ContentInfo* info, UnicodeString* errorMessage) {
  const UnicodeString rest(uri, 4);
  const int bang = rest.indexOf(u"!/");
  if (bang < 0)
    return nullptr;
  const EKUri archive(UnicodeString(rest, 0, bang), EKUri::URISTR_URI);
  std::istream* in = archive.getIStream(info, errorMessage);
  clearContent(info, UnicodeString());
  if (!in)
    return nullptr;
  // A remote archive is read into memory first: the reader needs to seek.
  if (!archive.isFile())
    in = new EKMemStream(in, MEMORY_BLOCK, true);
  auto result = std::make_unique<JarEntryStream>();
  for (int at = bang + 2;;) {
    const int next = rest.indexOf(u"!/", at);
    const UnicodeString name(rest, at, (next < 0 ? rest.length() : next) - at);
    if (!result->descend(in, name))
      return nullptr;
    if (next < 0)
      return result.release();
    in = result->takeCurrentBuffered();
    at = next + 2;
  }
}

std::istream* openData(const UnicodeString& uri, EKUri::ContentInfo* info) {
  const EKDataUri data(uri, EKUri::URISTR_URI);
  const int offset = data.getDataOffset();
  if (offset < 0)
    return nullptr;
  auto stream = std::make_unique<EKMemStream>(nullptr, MEMORY_BLOCK, false);
  const UnicodeString payload(uri, offset);
  if (data.isBase64())
    EKUtil::decodeBase64(payload, *stream);
  else
    *stream << toUtf8(payload);
  stream->begin();
  clearContent(info, data.getMediaType());
  return stream.release();
}

} // namespace

EKUri::ContentInfo::ContentInfo(const ContentInfo* in) {
  if (!in)
    return;
  referrer = in->referrer;
  connectTimeout = in->connectTimeout;
  connectRetries = in->connectRetries;
  connectBackoff = in->connectBackoff;
  flags = in->flags;
}

std::istream* EKUri::getStreamFromResolver() const {
  EKUriReferenceResolver2* resolver = EKFetchState::s_resolver2.load();
  if (!resolver)
    return nullptr;
  auto stream = std::make_unique<EKMemStream>(nullptr, MEMORY_BLOCK, false);
  UnicodeString copy(m_uri);
  std::vector<wchar_t> wide(static_cast<size_t>(copy.countChar32()) + 1, L'\0');
  UErrorCode status = U_ZERO_ERROR;
  copy.toUTF32(reinterpret_cast<UChar32*>(wide.data()), static_cast<int32_t>(wide.size()), status);
  if (!resolver->resolve(wide.data(), &writeToMemory, stream.get()))
    return nullptr;
  stream->begin();
  return stream.release();
}

std::istream* EKUri::getIStream(ContentInfo* info, UnicodeString* errorMessage) const {
  if (std::istream* resolved = getStreamFromResolver())
    return resolved;
  if (isFile()) {
    const std::string path = toUtf8(getLocalPath());
    if (!isRegularFile(path))
      return nullptr;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    return file->is_open() ? file.release() : nullptr;
  }
  if (isJarScheme())
    return openJar(m_uri, info, errorMessage);
  if (isDataScheme())
    return openData(m_uri, info);
  if (!isHttpScheme())
    return nullptr;

  EKUriConnectionSettings settings = processSettings();
  UnicodeString referrer;
  if (info) {
    settings.connectTimeout = info->connectTimeout;
    if (info->connectRetries >= 0)
      settings.connectRetries = info->connectRetries;
    if (info->connectBackoff >= 0)
      settings.connectBackoff = info->connectBackoff;
    referrer = info->referrer;
    settings.ignoreCertificateErrors = (info->flags & ContentInfo::FLAG_IGNORE_CERTIFICATE_ERRORS) != 0;
    settings.preconfiguredAccess = (info->flags & ContentInfo::FLAG_PRECONFIGURED_ACCESS) != 0;
  }
  auto stream = std::make_unique<EKUriStream>(m_uri, referrer, settings);
  const EKUriStreamBuf& response = stream->buffer();
  if (errorMessage)
    *errorMessage = response.getErrorMessage();
  if (!stream->is_open())
    return nullptr;
  if (info) {
    info->contentType = response.getContentType();
    info->charset = response.getCharset();
    info->language = response.getLanguage();
    info->contentLength = response.getContentLength();
  }
  recordRedirection(m_uri, response.getFinalAddress());
  if (info && (info->flags & ContentInfo::FLAG_UPDATE_URI) && !response.getFinalAddress().isEmpty())
    m_uri = response.getFinalAddress();
  return stream.release();
}

std::fstream* EKUri::getFStream() const {
  auto file = std::make_unique<std::fstream>(toUtf8(getLocalPath()), std::ios::in | std::ios::out | std::ios::binary);
  return file->is_open() ? file.release() : nullptr;
}

std::ostream* EKUri::getOStream(bool truncate) const {
  const std::string path = toUtf8(getLocalPath());
  auto file = std::make_unique<std::ofstream>();
  if (truncate)
    file->open(path, std::ios::out | std::ios::binary | std::ios::trunc);
  else {
    // Writing over an existing file keeps what lies beyond the bytes written.
    file->open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file->is_open())
      file->open(path, std::ios::out | std::ios::binary);
  }
  return file->is_open() ? file.release() : nullptr;
}

std::istream* EKUri::getGzipStream() const {
  auto stream = std::make_unique<EKGzipIStream>(getLocalPath());
  return stream->is_open() ? stream.release() : nullptr;
}

bool EKUri::isGzip() const {
  std::unique_ptr<std::istream> in(getIStream());
  return in && isGzip(*in);
}

bool EKUri::checkRedirection() {
  if (!isHttpScheme())
    return false;
  {
    EKMutex guard(EKFetchState::s_redirectionLock);
    auto known = EKFetchState::s_redirections.find(m_uri);
    if (known != EKFetchState::s_redirections.end()) {
      if (known->second.isEmpty())
        return false;
      m_uri = known->second;
      return true;
    }
  }
  // The probe runs without the lock, so that other threads' lookups do not wait on the network.
  EKUriConnectionSettings settings = processSettings();
  settings.probeOnly = true;
  const EKUriStream probe(m_uri, UnicodeString(), settings);
  const UnicodeString finalAddress = probe.buffer().getFinalAddress();
  recordRedirection(m_uri, finalAddress);
  if (finalAddress.isEmpty())
    return false;
  recordRedirection(finalAddress, UnicodeString());
  m_uri = finalAddress;
  return true;
}

void EKUri::setInternetConnectTimeout(int milliseconds) { EKFetchState::s_connectTimeout = milliseconds; }
void EKUri::setInternetConnectRetries(int retries) { EKFetchState::s_connectRetries = retries; }
void EKUri::setInternetConnectBackoff(int milliseconds) { EKFetchState::s_connectBackoff = milliseconds; }

void EKUri::setUserAgent(const UnicodeString& userAgent) {
  if (userAgent.isEmpty())
    return;
  int32_t length = std::min(userAgent.length(), USER_AGENT_MAX);
  // Never keep half of a surrogate pair.
  if (length < userAgent.length() && U16_IS_LEAD(userAgent[length - 1]))
    --length;
  EKMutex guard;
  EKFetchState::s_userAgent = UnicodeString(userAgent, 0, length);
}

UnicodeString EKUri::getUserAgent() {
  EKMutex guard;
  return EKFetchState::s_userAgent;
}

EKUriReferenceResolver2* EKUri::setUriReferenceResolver2(EKUriReferenceResolver2* resolver) {
  return EKFetchState::s_resolver2.exchange(resolver);
}

void EKUri::cleanup() {
  EKMutex guard;
  EKFetchState::s_userAgent.remove();
}

} // namespace EKCommonNS
