// Transcoding: 20 MB of Shift_JIS (double-byte) and of windows-1252 (single-byte) text decoded to
// UTF-16 through EKICUIStream, read with read() into a 64 KiB buffer, against ICU's
// ucnv_toUnicode called directly on the same bytes in memory into a 64 KiB UChar buffer. The
// stream reads from an EKStrStream (bytes taken in place) and from a std::istringstream (bytes
// copied out of the source first).
#include <ekcommon/ekcommon.h>
#include <ekcommon/resources/EKICUIStream.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>
#include <unicode/ucnv.h>
#include <vector>

using namespace EKCommonNS;

namespace {

constexpr size_t TEXT_SIZE = 20 * 1000 * 1000;
constexpr size_t BUFFER_SIZE = 64 * 1024;

// About 20 MB of prose in the encoding: a paragraph encoded once and repeated.
std::string encodedText(const char* encoding) {
  const char* paragraph =
      std::string(encoding) == "Shift_JIS"
          ? "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした"
            "所でニャーニャー泣いていた事だけは記憶している。Chapter 1, page 12: ｶﾀｶﾅ text.\n"
          : "Le cœur a ses raisons que la raison ne connaît point. « Déjà vu », naïve façade, "
            "Straße, Ørsted, señor – 12,50 € the “quoted” words… and plain ASCII prose.\n";
  const UnicodeString text = UnicodeString::fromUTF8(paragraph);
  std::string unit(static_cast<size_t>(text.extract(0, text.length(), nullptr, 0, encoding)), '\0');
  text.extract(0, text.length(), &unit[0], static_cast<uint32_t>(unit.size()), encoding);
  std::string bytes;
  bytes.reserve(TEXT_SIZE + unit.size());
  while (bytes.size() < TEXT_SIZE)
    bytes += unit;
  return bytes;
}

const std::string& sample(const char* encoding) {
  static const std::string shiftJis = encodedText("Shift_JIS");
  static const std::string windows1252 = encodedText("windows-1252");
  return std::string(encoding) == "Shift_JIS" ? shiftJis : windows1252;
}

// The source is the library's own memory stream, which the transcoder reads in place, or with
// copyingSource a std::istringstream, whose bytes it must copy out first.
void BM_EKICUIStream(benchmark::State& state, const char* encoding, bool copyingSource) {
  const std::string& bytes = sample(encoding);
  std::vector<char> buffer(BUFFER_SIZE);
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<std::istream> source;
    if (copyingSource)
      source = std::make_unique<std::istringstream>(bytes);
    else
      source = std::make_unique<EKStrStream>(bytes.data(), bytes.size());
    state.ResumeTiming();
    EKICUIStream stream(source.get(), encoding);
    size_t total = 0;
    while (stream.read(buffer.data(), BUFFER_SIZE) || stream.gcount() > 0)
      total += static_cast<size_t>(stream.gcount());
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_ucnv_toUnicode(benchmark::State& state, const char* encoding) {
  const std::string& bytes = sample(encoding);
  std::vector<UChar> buffer(BUFFER_SIZE / sizeof(UChar));
  for (auto _ : state) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(encoding, &status);
    const char* source = bytes.data();
    const char* const limit = source + bytes.size();
    size_t total = 0;
    do {
      UChar* target = buffer.data();
      status = U_ZERO_ERROR;
      ucnv_toUnicode(converter, &target, buffer.data() + buffer.size(), &source, limit, nullptr, true, &status);
      total += static_cast<size_t>(target - buffer.data());
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    ucnv_close(converter);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

} // namespace

BENCHMARK_CAPTURE(BM_EKICUIStream, Shift_JIS, "Shift_JIS", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKICUIStream, Shift_JIS_istringstream, "Shift_JIS", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ucnv_toUnicode, Shift_JIS, "Shift_JIS")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKICUIStream, windows_1252, "windows-1252", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKICUIStream, windows_1252_istringstream, "windows-1252", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ucnv_toUnicode, windows_1252, "windows-1252")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
