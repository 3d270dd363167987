#include "ekcommon/platform/EKHttpClient.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <curl/curl.h>
#include <mutex>

namespace EKCommonNS {
namespace EKPlatform {

namespace {

// Body bytes waiting for the reader beyond which libcurl is paused, so that a fast server and a
// slow reader cannot fill memory.
constexpr size_t PAUSE_LIMIT = 1 << 20;
constexpr int POLL_MS = 100;

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string trim(const std::string& s) {
  const size_t begin = s.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos)
    return std::string();
  return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n)
    return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

} // namespace

HttpTransfer::HttpTransfer() { globalInit(); }

HttpTransfer::~HttpTransfer() {
  CURLM* multi = static_cast<CURLM*>(m_multi);
  CURL* easy = static_cast<CURL*>(m_easy);
  if (multi && easy)
    curl_multi_remove_handle(multi, easy);
  if (easy)
    curl_easy_cleanup(easy);
  if (multi)
    curl_multi_cleanup(multi);
  curl_slist_free_all(static_cast<curl_slist*>(m_requestHeaders));
}

std::string HttpTransfer::errorText(int code) { return curl_easy_strerror(static_cast<CURLcode>(code)); }

int HttpTransfer::start(const HttpRequest& request) {
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  m_easy = easy;
  m_multi = multi;
  if (!easy || !multi)
    return CURLE_FAILED_INIT;
  curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
  if (headers && !request.referrer.empty())
    headers = curl_slist_append(headers, ("Referer: " + request.referrer).c_str());
  m_requestHeaders = headers;
  if (!headers)
    return CURLE_OUT_OF_MEMORY;
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::onHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 256L * 1024);
  if (request.connectTimeoutMs != HttpRequest::NOT_SET) {
    // libcurl takes 0 as its default; "no limit" is the largest time-out it accepts.
    const long timeout = request.connectTimeoutMs < 0 ? static_cast<long>(INT_MAX) : request.connectTimeoutMs;
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(timeout, 1L));
    if (request.connectTimeoutMs > 0)
      m_stallLimitMs = request.connectTimeoutMs;
  }
  if (request.ignoreCertificateErrors) {
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
  }
  if (curl_multi_add_handle(multi, easy) != CURLM_OK)
    return CURLE_FAILED_INIT;
  m_lastProgress = std::chrono::steady_clock::now();
  while (!m_headersDone && pump()) {
  }
  if (!m_headersDone && m_error == 0 && m_status == 0)
    m_error = CURLE_GOT_NOTHING;
  return m_status != 0 ? 0 : m_error;
}

size_t HttpTransfer::onHeader(char* data, size_t size, size_t count, void* self) {
  HttpTransfer& t = *static_cast<HttpTransfer*>(self);
  const size_t n = size * count;
  const std::string line(data, n);
  t.m_lastProgress = std::chrono::steady_clock::now();
  if (line.compare(0, 5, "HTTP/") == 0) {
    // A status line starts a new header block (after an interim 1xx response too).
    t.m_headers.clear();
    t.m_headersDone = false;
    const size_t space = line.find(' ');
    t.m_status = space == std::string::npos ? 0 : std::atol(line.c_str() + space + 1);
  } else if (trim(line).empty()) {
    t.m_headersDone = t.m_status >= 200 || t.m_status == 0 || t.m_status < 100;
  } else {
    const size_t colon = line.find(':');
    if (colon != std::string::npos)
      t.m_headers.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
  }
  return n;
}

size_t HttpTransfer::onBody(char* data, size_t size, size_t count, void* self) {
  HttpTransfer& t = *static_cast<HttpTransfer*>(self);
  if (t.m_pending.size() - t.m_pendingAt >= PAUSE_LIMIT) {
    t.m_paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  if (t.m_pendingAt == t.m_pending.size()) {
    t.m_pending.clear();
    t.m_pendingAt = 0;
  }
  t.m_pending.append(data, size * count);
  t.m_headersDone = true;
  t.m_lastProgress = std::chrono::steady_clock::now();
  return size * count;
}

void HttpTransfer::finish(int code) {
  m_done = true;
  if (m_error == 0)
    m_error = code;
}

bool HttpTransfer::pump() {
  if (m_done)
    return false;
  CURLM* multi = static_cast<CURLM*>(m_multi);
  if (m_paused && m_pendingAt == m_pending.size()) {
    m_paused = false;
    curl_easy_pause(static_cast<CURL*>(m_easy), CURLPAUSE_CONT);
  }
  int running = 0;
  if (curl_multi_perform(multi, &running) != CURLM_OK) {
    finish(CURLE_FAILED_INIT);
    return false;
  }
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &queued))
    if (message->msg == CURLMSG_DONE)
      finish(message->data.result);
  if (m_done || running == 0) {
    m_done = true;
    return false;
  }
  if (m_pending.size() > m_pendingAt)
    return true;
  curl_multi_poll(multi, nullptr, 0, POLL_MS, nullptr);
  if (m_stallLimitMs > 0 && std::chrono::steady_clock::now() - m_lastProgress > std::chrono::milliseconds(m_stallLimitMs))
    finish(CURLE_OPERATION_TIMEDOUT);
  return !m_done;
}

size_t HttpTransfer::read(char* dst, size_t n) {
  // The stall limit counts from when the reader starts waiting, not from its own pauses.
  if (m_pendingAt == m_pending.size())
    m_lastProgress = std::chrono::steady_clock::now();
  while (m_pendingAt == m_pending.size()) {
    if (!pump() && m_pendingAt == m_pending.size())
      return 0;
  }
  const size_t chunk = std::min(n, m_pending.size() - m_pendingAt);
  std::memcpy(dst, m_pending.data() + m_pendingAt, chunk);
  m_pendingAt += chunk;
  return chunk;
}

std::string HttpTransfer::getHeader(const char* name) const {
  for (auto it = m_headers.rbegin(); it != m_headers.rend(); ++it)
    if (equalsIgnoringCase(it->first, name))
      return it->second;
  return std::string();
}

} // namespace EKPlatform
} // namespace EKCommonNS
