// Stream throughput against the plain libraries underneath, on the same data in one run:
// reading a 50 MB gzip file through EKGzipIStream (path and istream forms) against zlib's gzread,
// reading every entry of a 2,000-file ZIP archive through EKZipFile against minizip's unzip
// interface, and writing then reading 100 MB through EKMemStream against std::stringstream.
// Compare the bytes_per_second of each Library/peer pair. The files live in a temporary
// directory made once per process and removed at exit.
#include <ekcommon/resources/EKGzipIStream.h>
#include <ekcommon/resources/EKMemStream.h>
#include <ekcommon/resources/EKZipFile.h>

#include <benchmark/benchmark.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace ek = EKCommonNS;
namespace fs = std::filesystem;

namespace {

constexpr size_t READ_BUFFER = 64 * 1024;
constexpr size_t GZIP_BYTES = 50u << 20;
constexpr int ZIP_ENTRIES = 2000;
constexpr size_t MEM_BYTES = 100u << 20;
constexpr size_t MEM_PIECE = 4096;

// Deterministic XML-like text: records with varied words and numbers, so that it compresses
// like real markup rather than like a repeated pattern.
class TextMaker {
public:
  explicit TextMaker(uint32_t seed) : m_state(seed) {}

  std::string make(size_t length) {
    static const char* const words[] = {"alpha",  "binding", "cursor", "delta",   "element", "filter",
                                        "glyph",  "harbor",  "index",  "journal", "kernel",  "ledger",
                                        "matrix", "needle",  "orbit",  "parcel",  "quartz",  "ribbon",
                                        "signal", "timber",  "umbra",  "vector",  "willow",  "zenith"};
    std::string text;
    text.reserve(length + 256);
    while (text.size() < length) {
      text += "<record id=\"" + std::to_string(next() % 1000000) + "\" price=\"" +
              std::to_string(next() % 100000 / 100.0) + "\">";
      for (uint32_t n = 3 + next() % 9; n > 0; --n) {
        text += words[next() % (sizeof words / sizeof *words)];
        text += next() % 5 ? ' ' : '\n';
      }
      text += "</record>\n";
    }
    text.resize(length);
    return text;
  }

private:
  uint32_t next() {
    m_state = m_state * 1103515245 + 12345;
    return m_state >> 8;
  }

  uint32_t m_state;
};

// The temporary directory and the files in it, made on first use and removed at exit.
struct Fixtures {
  fs::path directory;
  std::string gzipPath;
  std::string zipPath;

  Fixtures() {
    directory = fs::temp_directory_path() / ("bench_streams-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    gzipPath = (directory / "data.xml.gz").string();
    zipPath = (directory / "files.zip").string();
    writeGzip();
    writeZip();
  }
  ~Fixtures() {
    std::error_code ignored;
    fs::remove_all(directory, ignored);
  }

  void writeGzip() const {
    TextMaker maker(1);
    gzFile file = gzopen(gzipPath.c_str(), "wb6");
    for (size_t done = 0; done < GZIP_BYTES; done += READ_BUFFER) {
      const std::string text = maker.make(READ_BUFFER);
      gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
    }
    gzclose(file);
  }

  void writeZip() const {
    TextMaker maker(2);
    zipFile zip = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
    for (int i = 0; i < ZIP_ENTRIES; ++i) {
      const std::string name = "dir" + std::to_string(i % 20) + "/file" + std::to_string(i) + ".xml";
      const std::string text = maker.make(1024 + size_t(i) * 7919 % (63 * 1024));
      zip_fileinfo info{};
      zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION, 0);
      zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size()));
      zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
  }
};

const Fixtures& fixtures() {
  static const Fixtures instance;
  return instance;
}

// Reads `in` to its end in 64 KiB reads; returns the byte count.
uint64_t drain(std::istream& in) {
  static std::vector<char> buffer(READ_BUFFER);
  uint64_t total = 0;
  while (in.read(buffer.data(), std::streamsize(buffer.size())) || in.gcount() > 0)
    total += uint64_t(in.gcount());
  return total;
}

void BM_Library_GzipPath(benchmark::State& state) {
  const std::string& path = fixtures().gzipPath;
  uint64_t bytes = 0;
  for (auto _ : state) {
    ek::EKGzipIStream in(path.c_str());
    bytes += drain(in);
  }
  state.SetBytesProcessed(int64_t(bytes));
}

void BM_Library_GzipStream(benchmark::State& state) {
  const std::string& path = fixtures().gzipPath;
  uint64_t bytes = 0;
  for (auto _ : state) {
    std::ifstream file(path, std::ios::binary);
    ek::EKGzipIStream in(file);
    bytes += drain(in);
  }
  state.SetBytesProcessed(int64_t(bytes));
}

void BM_Zlib_Gzread(benchmark::State& state) {
  const std::string& path = fixtures().gzipPath;
  std::vector<char> buffer(READ_BUFFER);
  uint64_t bytes = 0;
  for (auto _ : state) {
    gzFile file = gzopen(path.c_str(), "rb");
    for (int got; (got = gzread(file, buffer.data(), unsigned(buffer.size()))) > 0;)
      bytes += uint64_t(got);
    gzclose(file);
  }
  state.SetBytesProcessed(int64_t(bytes));
}

void BM_Library_ZipEntries(benchmark::State& state) {
  const std::string& path = fixtures().zipPath;
  uint64_t bytes = 0;
  for (auto _ : state) {
    ek::EKZipFile zip;
    zip.open(path.c_str());
    for (unsigned i = 0; i < zip.getFileEntryCount(); ++i) {
      std::istream* in = zip.getFileEntry(i)->getUncompressedStream(true);
      bytes += drain(*in);
      delete in;
    }
  }
  state.SetBytesProcessed(int64_t(bytes));
}

void BM_Minizip_ZipEntries(benchmark::State& state) {
  const std::string& path = fixtures().zipPath;
  std::vector<char> buffer(READ_BUFFER);
  uint64_t bytes = 0;
  for (auto _ : state) {
    unzFile zip = unzOpen64(path.c_str());
    for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
      unzOpenCurrentFile(zip);
      for (int got; (got = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()))) > 0;)
        bytes += uint64_t(got);
      unzCloseCurrentFile(zip);
    }
    unzClose(zip);
  }
  state.SetBytesProcessed(int64_t(bytes));
}

// Writes MEM_BYTES in 4 KiB pieces, rewinds and reads them back in 4 KiB pieces.
template <class Stream>
void writeThenRead(benchmark::State& state, void (*rewind)(Stream&)) {
  const std::string piece = TextMaker(3).make(MEM_PIECE);
  std::vector<char> buffer(MEM_PIECE);
  for (auto _ : state) {
    Stream stream;
    for (size_t done = 0; done < MEM_BYTES; done += MEM_PIECE)
      stream.write(piece.data(), std::streamsize(piece.size()));
    rewind(stream);
    size_t read = 0;
    while (stream.read(buffer.data(), std::streamsize(buffer.size())))
      read += buffer.size();
    if (read != MEM_BYTES)
      state.SkipWithError("short read");
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(2 * MEM_BYTES));
}

void BM_Library_MemStream(benchmark::State& state) {
  writeThenRead<ek::EKMemStream>(state, [](ek::EKMemStream& s) { s.begin(); });
}

void BM_Std_StringStream(benchmark::State& state) {
  writeThenRead<std::stringstream>(state, [](std::stringstream& s) { s.seekg(0); });
}

} // namespace

BENCHMARK(BM_Library_GzipPath)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Library_GzipStream)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Zlib_Gzread)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Library_ZipEntries)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Minizip_ZipEntries)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Library_MemStream)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Std_StringStream)->Unit(benchmark::kMillisecond)->MinTime(1);

BENCHMARK_MAIN();
