// The body of one HTTP(S) response as an input stream: the request, the library's own handling
// of redirections (at most nine, only to http: and https:), retries of failed connections, and
// the content headers. A stream that could not be opened holds the reason in getErrorMessage().
#pragma once

#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/platform/EKHttpClient.h"
#include "ekcommon/resources/internal/EKProducerStreamBuf.h"

#include <istream>
#include <memory>

namespace EKCommonNS {

// How one fetch connects: the process-wide values, overridden by the caller's.
struct EKUriConnectionSettings {
  UnicodeString userAgent;
  int connectTimeout;
  int connectRetries;
  int connectBackoff;
  bool probeOnly = false; // only the final address is wanted, not the body
  bool ignoreCertificateErrors = false;
  bool preconfiguredAccess = false;
};

class EKUriStreamBuf : public EKProducerStreamBuf {
public:
  static constexpr int MAX_REDIRECTIONS = 9;
  static constexpr int NOT_SET = EKPlatform::HttpRequest::NOT_SET;

  EKUriStreamBuf(const UnicodeString& address, const UnicodeString& referrer, const EKUriConnectionSettings& settings);

  bool isOpen() const { return m_open; }
  int getStatus() const { return m_status; }
  const UnicodeString& getContentType() const { return m_contentType; }
  const UnicodeString& getCharset() const { return m_charset; }
  const UnicodeString& getLanguage() const { return m_language; }
  int getContentLength() const { return m_contentLength; }
  const UnicodeString& getErrorMessage() const { return m_errorMessage; }
  // The address after redirections; empty when there was none.
  const UnicodeString& getFinalAddress() const { return m_finalAddress; }

  static UnicodeString defaultUserAgent();

protected:
  size_t produce(char* dst, size_t n) override { return m_open && m_transfer ? m_transfer->read(dst, n) : 0; }

private:
  static constexpr size_t PUTBACK = 16;
  static constexpr size_t READ_SIZE = 64 * 1024;

  void open(UnicodeString address, const UnicodeString& referrer, const EKUriConnectionSettings& settings);
  // Starts one request, retrying failed connections; 0 or the client's error code.
  int startWithRetries(const EKPlatform::HttpRequest& request, const EKUriConnectionSettings& settings);
  void fail(const char* what, int code, const UnicodeString& address);
  void readContentHeaders();

  std::unique_ptr<EKPlatform::HttpTransfer> m_transfer;
  bool m_open = false;
  int m_status = 0;
  UnicodeString m_contentType, m_charset, m_language;
  int m_contentLength = -1;
  UnicodeString m_errorMessage;
  UnicodeString m_finalAddress;
};

class EKUriStream : public std::istream {
public:
  EKUriStream(const UnicodeString& address, const UnicodeString& referrer, const EKUriConnectionSettings& settings)
      : std::istream(nullptr), m_buf(address, referrer, settings) {
    rdbuf(&m_buf);
    if (!m_buf.isOpen())
      setstate(std::ios_base::failbit);
  }
  bool is_open() const { return m_buf.isOpen(); }
  const EKUriStreamBuf& buffer() const { return m_buf; }

private:
  EKUriStreamBuf m_buf;
};

} // namespace EKCommonNS
