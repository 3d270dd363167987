#include "ekcommon/resources/internal/EKUriStream.h"

#include "ekcommon/core/EKError.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/resources/internal/EKUtf8.h"
#include "ekcommon/text/EKChar.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <curl/curl.h>
#include <thread>

namespace EKCommonNS {

namespace {

bool isRetryable(int code) { return code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT; }

// Which step of a fetch a client error belongs to, for its message.
const char* failedStep(int code) {
  switch (code) {
  case CURLE_FAILED_INIT:
  case CURLE_OUT_OF_MEMORY:
    return "Cannot access the Internet";
  case CURLE_URL_MALFORMAT:
  case CURLE_UNSUPPORTED_PROTOCOL:
    return "Cannot open URL";
  case CURLE_COULDNT_RESOLVE_HOST:
  case CURLE_COULDNT_RESOLVE_PROXY:
    return "Cannot connect the Internet";
  case CURLE_GOT_NOTHING:
  case CURLE_WEIRD_SERVER_REPLY:
    return "Cannot get HTTP status";
  default:
    return "HTTP request failure";
  }
}

UnicodeString statusError(int status, const UnicodeString& address) {
  return UnicodeString(u"HTTP status is ").append(UnicodeString::fromUTF8(std::to_string(status))).append(u'\n').append(address);
}

} // namespace

UnicodeString EKUriStreamBuf::defaultUserAgent() { return UnicodeString(u"Quillmark Common Library Linux (x64) (2,2,0,0)"); }

EKUriStreamBuf::EKUriStreamBuf(const UnicodeString& address, const UnicodeString& referrer,
                               const EKUriConnectionSettings& settings)
    : EKProducerStreamBuf(PUTBACK, READ_SIZE) {
  open(address, referrer, settings);
}

void EKUriStreamBuf::fail(const char* what, int code, const UnicodeString& address) {
  const unsigned long number = EKError::HTTP_ERROR_BASE + static_cast<unsigned long>(code);
  m_errorMessage = UnicodeString(what, -1, US_INV);
  m_errorMessage.append(u": ").append(UnicodeString::fromUTF8(std::to_string(number)));
  const UnicodeString text = EKError::getLastErrorMessage(number, nullptr);
  if (!text.isEmpty())
    m_errorMessage.append(u": ").append(text);
  m_errorMessage.append(u'\n').append(address);
}

int EKUriStreamBuf::startWithRetries(const EKPlatform::HttpRequest& request, const EKUriConnectionSettings& settings) {
  const int retries = std::max(settings.connectRetries, 0);
  for (int attempt = 0;; ++attempt) {
    m_transfer = std::make_unique<EKPlatform::HttpTransfer>();
    const int code = m_transfer->start(request);
    if (code == 0 || !isRetryable(code) || attempt >= retries)
      return code;
    if (settings.connectBackoff > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(settings.connectBackoff));
  }
}

void EKUriStreamBuf::open(UnicodeString address, const UnicodeString& referrer, const EKUriConnectionSettings& settings) {
  EKPlatform::HttpRequest request;
  request.userAgent = toUtf8(settings.userAgent.isEmpty() ? defaultUserAgent() : settings.userAgent);
  request.referrer = toUtf8(referrer);
  request.connectTimeoutMs = settings.connectTimeout;
  request.ignoreCertificateErrors = settings.ignoreCertificateErrors;
  for (int redirections = 0;; ++redirections) {
    request.url = toUtf8(address);
    const int code = startWithRetries(request, settings);
    if (code != 0) {
      fail(failedStep(code), code, address);
      return;
    }
    m_status = static_cast<int>(m_transfer->getStatus());
    if (m_status >= 300 && m_status <= 399) {
      const std::string location = m_transfer->getHeader("Location");
      const EKUri target(EKUri(address), UnicodeString::fromUTF8(location), EKUri::URISTR_URI);
      // A server may only send the reader on to another web address, never to a local file or
      // an archive entry.
      if (redirections == MAX_REDIRECTIONS || location.empty() || !target.isHttpScheme()) {
        m_errorMessage = statusError(m_status, address);
        return;
      }
      address = target.toString();
      m_finalAddress = address;
      continue;
    }
    if (m_status >= 200 && m_status <= 299) {
      if (!settings.probeOnly)
        readContentHeaders();
      m_open = true;
      return;
    }
    m_errorMessage = statusError(m_status, address);
    return;
  }
}

void EKUriStreamBuf::readContentHeaders() {
  const UnicodeString type = UnicodeString::fromUTF8(m_transfer->getHeader("Content-Type"));
  const int semicolon = type.indexOf(u';');
  m_contentType = UnicodeString(type, 0, semicolon < 0 ? type.length() : semicolon);
  m_contentType.trim();
  const int charset = type.indexOf(u"charset=");
  if (charset >= 0) {
    int at = charset + 8;
    if (at < type.length() && type[at] == u'"')
      ++at;
    int end = at;
    while (end < type.length() && EKChar::isNameChar(type[end]))
      ++end;
    m_charset = UnicodeString(type, at, end - at);
  }
  m_language = UnicodeString::fromUTF8(m_transfer->getHeader("Content-Language"));
  const std::string length = m_transfer->getHeader("Content-Length");
  m_contentLength = length.empty() ? -1 : std::atoi(length.c_str());
}

} // namespace EKCommonNS
