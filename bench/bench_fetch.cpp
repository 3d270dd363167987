// Fetching a 100 MB body from a server on loopback: EKUri::getIStream read to the end against a
// plain libcurl easy transfer with a write callback, on the same server in one run. Compare the
// bytes_per_second of the two.
#include <ekcommon/resources/EKUri.h>

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace ek = EKCommonNS;

namespace {

constexpr size_t BODY_BYTES = 100u << 20;
constexpr size_t CHUNK = 256 * 1024;
constexpr size_t READ_BUFFER = 64 * 1024;

// Serves BODY_BYTES of text at /big, streamed in chunks, until the process ends.
class BodyServer {
public:
  BodyServer() : m_chunk(CHUNK, 'x') {
    m_server.Get("/big", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(BODY_BYTES, "application/octet-stream",
                                    [this](size_t offset, size_t length, httplib::DataSink& sink) {
                                      sink.write(m_chunk.data(), std::min({length, CHUNK, BODY_BYTES - offset}));
                                      return true;
                                    });
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~BodyServer() {
    m_server.stop();
    m_thread.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/big"; }

private:
  std::string m_chunk;
  httplib::Server m_server;
  std::thread m_thread;
  int m_port = 0;
};

BodyServer& server() {
  static BodyServer instance;
  return instance;
}

void Library_GetIStream(benchmark::State& state) {
  const ek::EKUri uri(ek::UnicodeString::fromUTF8(server().url()), ek::EKUri::URISTR_URI);
  std::unique_ptr<char[]> buffer(new char[READ_BUFFER]);
  for (auto _ : state) {
    std::unique_ptr<std::istream> in(uri.getIStream());
    size_t total = 0;
    while (in && (in->read(buffer.get(), READ_BUFFER) || in->gcount() > 0))
      total += static_cast<size_t>(in->gcount());
    if (total != BODY_BYTES)
      state.SkipWithError("short body");
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BODY_BYTES));
}

size_t countBytes(char* data, size_t size, size_t count, void* total) {
  benchmark::DoNotOptimize(data);
  *static_cast<size_t*>(total) += size * count;
  return size * count;
}

void Peer_CurlEasy(benchmark::State& state) {
  const std::string url = server().url();
  for (auto _ : state) {
    size_t total = 0;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &countBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &total);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (total != BODY_BYTES)
      state.SkipWithError("short body");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BODY_BYTES));
}

} // namespace

BENCHMARK(Library_GetIStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(Peer_CurlEasy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK_MAIN();
