// One HTTP GET over libcurl whose body is pulled by the caller as it arrives: the request is
// sent, the response headers are awaited, and the body is then read piece by piece, never
// buffered whole. Redirections are not followed here; the caller decides about each one.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace EKCommonNS {
namespace EKPlatform {

struct HttpRequest {
  std::string url;
  std::string userAgent;
  std::string referrer; // sent as Referer when not empty
  // Connect time-out in milliseconds: negative means no limit, NOT_SET leaves libcurl's default.
  // When positive it also limits how long the transfer may go without receiving anything.
  int connectTimeoutMs = NOT_SET;
  bool ignoreCertificateErrors = false;
  static constexpr int NOT_SET = -2147483647 - 1;
};

class HttpTransfer {
public:
  HttpTransfer();
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  // Sends the GET (HTTP/1.0, "Accept: */*") and waits until the response headers are in.
  // Returns 0, or the libcurl error code when no response could be had.
  int start(const HttpRequest& request);
  long getStatus() const { return m_status; }
  // The value of the last header with that name (compared ignoring case), trimmed; empty when
  // there is none.
  std::string getHeader(const char* name) const;
  // Up to n bytes of the body; 0 at its end or after an error.
  size_t read(char* dst, size_t n);

  // libcurl's text for its error code.
  static std::string errorText(int code);

private:
  static size_t onHeader(char* data, size_t size, size_t count, void* self);
  static size_t onBody(char* data, size_t size, size_t count, void* self);
  // Lets libcurl work until it made progress or finished; false once the transfer is over.
  bool pump();
  void finish(int code);

  void* m_easy = nullptr;
  void* m_multi = nullptr;
  void* m_requestHeaders = nullptr;
  std::vector<std::pair<std::string, std::string>> m_headers;
  std::string m_pending;
  size_t m_pendingAt = 0;
  long m_status = 0;
  bool m_headersDone = false;
  bool m_done = false;
  bool m_paused = false;
  int m_error = 0;
  long m_stallLimitMs = 0;
  std::chrono::steady_clock::time_point m_lastProgress;
};

} // namespace EKPlatform
} // namespace EKCommonNS
