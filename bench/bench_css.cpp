// Style-sheet parsing throughput of the library against two npm peers, lightningcss (transform,
// printing the sheet back, no targets, no minification) and css-tree (parse to its tree), on the
// same 5 MB framework-like sheet made in memory once (BenchCssSheet.h):
//   EKCssParser   the UTF-8 bytes decoded and installed by load() and parsed by parseInto() into a
//                 new style sheet; making the parser and sheet is timed, freeing them is not; the
//                 counters load_ms and parse_ms split the median time between the two steps;
//   lightningcss, css-tree  run by node on a temporary copy of the sheet (bench/css/peer.mjs), which
//                 times each parse inside the process and prints the times; starting node and
//                 loading the modules are not counted. css-tree takes a JS string, so its bytes are
//                 decoded once outside the timing.
// Every benchmark times each iteration itself (manual time) so that the three compare alike: see
// bytes_per_second, and on the peers the counter library_speedup (the peer's median time over the
// library's, from the library runs of the same process: above 1 the library is faster). On a shared
// machine the counter cpu_ms, the median CPU time of a parse (of the whole process for the peers,
// node's helper threads included), is steadier than the wall time. Each parser must find every
// style rule the generator wrote, and the library must store one rule per selector and declaration
// list and report no error, so that a parser that stops early cannot look fast.
// The peers need node and `npm ci --prefix bench/css` (scripts/install-deps.sh --bench); without
// them their benchmarks fail with that message and the library's still runs.
#include "BenchCssSheet.h"

#include <ekcommon/css/EKCssParser.h>
#include <ekcommon/css/internal/EKCssRulesImpl.h>
#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace EKCommonNS;
using benchdocs::CssSheet;

namespace {

constexpr int64_t ITERATIONS = 10;

const CssSheet& sheet() {
  static const CssSheet written = benchdocs::cssSheet();
  return written;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(sheet().text.size()));
}

double median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// Every parse time of the library in this process, for the peers' speed-up counter.
std::vector<double>& librarySeconds() {
  static std::vector<double> seconds;
  return seconds;
}

// The host's media callback: every query matches, so the rules of every @media block are stored.
bool matchAll(const EKCssMediaQuery*, void*) { return true; }

std::string utf8(const UnicodeString& s) {
  std::string out;
  return s.toUTF8String(out);
}

// Empty when the sheet holds what the generator wrote, else what is wrong.
std::string checkSheet(EKCssParser& parser, unsigned short code, EKCssRules& rules) {
  if (code != 0) {
    const std::vector<EKError>* errors = parser.getIssuedErrors();
    const std::string first = errors && !errors->empty()
                                  ? utf8(errors->front().getMessage()) + " at line " +
                                        std::to_string(errors->front().getLineNumber())
                                  : std::string("no error recorded");
    return "error " + std::to_string(code) + " (" + std::to_string(errors ? errors->size() : 0) + " in all): " + first;
  }
  // The @font-face blocks take source order numbers from the same counter as the rule sets.
  const int64_t numbered = sheet().styleRules + sheet().fontFaces;
  const EKCssRulesImpl& impl = static_cast<const EKCssRulesImpl&>(rules);
  if (impl.getRuleCounter() != numbered || impl.getStyleRules().size() != sheet().storedRules ||
      impl.getFontFaceRules()->size() != sheet().fontFaces)
    return std::to_string(impl.getRuleCounter()) + " numbered blocks and " +
           std::to_string(impl.getStyleRules().size()) + " stored rules read of " + std::to_string(numbered) +
           " and " + std::to_string(sheet().storedRules) + " written, " +
           std::to_string(impl.getFontFaceRules()->size()) + " font faces";
  return std::string();
}

void BM_EKCssParser(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::string& bytes = sheet().text;
  std::vector<double> loads;
  std::vector<double> parses;
  std::vector<double> cpu;
  for (auto _ : state) {
    const std::clock_t cpuStart = std::clock();
    const Clock::time_point start = Clock::now();
    EKStrStream in(bytes.data(), bytes.size());
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    EKPtr<EKCssRules> rules = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, matchAll, nullptr);
    unsigned short code = parser->load(&in, EKUri(UnicodeString(u"bench.css")), UnicodeString(u"UTF-8"));
    const Clock::time_point loaded = Clock::now();
    if (code == 0)
      code = parser->parseInto(rules.get());
    const Clock::time_point parsed = Clock::now();
    cpu.push_back(static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    loads.push_back(std::chrono::duration<double>(loaded - start).count());
    parses.push_back(std::chrono::duration<double>(parsed - loaded).count());
    const double seconds = std::chrono::duration<double>(parsed - start).count();
    state.SetIterationTime(seconds);
    librarySeconds().push_back(seconds);
    const std::string wrong = checkSheet(*parser, code, *rules);
    if (!wrong.empty()) {
      state.SkipWithError(wrong.c_str());
      return;
    }
  }
  state.counters["rules"] = static_cast<double>(sheet().styleRules);
  // Where the time goes: decoding and installing the text, and parsing it into the sheet.
  state.counters["load_ms"] = median(loads) * 1e3;
  state.counters["parse_ms"] = median(parses) * 1e3;
  state.counters["cpu_ms"] = median(cpu) * 1e3;
  setBytes(state);
}

// The sheet written once to a temporary file for the peers, removed when the program ends.
class SheetFile {
public:
  SheetFile()
      : m_path(std::filesystem::temp_directory_path() /
               ("ekcommon-bench-css-" + std::to_string(static_cast<long>(getpid())) + ".css")) {
    std::ofstream(m_path, std::ios::binary) << sheet().text;
  }
  ~SheetFile() {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
  }
  const std::filesystem::path& path() const { return m_path; }

private:
  std::filesystem::path m_path;
};

const std::filesystem::path& sheetPath() {
  static const SheetFile file;
  return file.path();
}

// What peer.mjs printed: the rules it found, the bytes it read and the wall and CPU time of each
// parse, or why it failed.
struct PeerRun {
  int64_t rules = -1;
  int64_t bytes = -1;
  std::vector<double> seconds;
  std::vector<double> cpu;
  std::string error;
};

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

PeerRun runPeer(const std::string& peer, int64_t iterations) {
  PeerRun run;
  const std::filesystem::path dir = EKCOMMON_CSS_PEER_DIR;
  if (!std::filesystem::exists(dir / "node_modules" / peer / "package.json")) {
    run.error = "npm package " + peer + " missing: run scripts/install-deps.sh --bench";
    return run;
  }
  const std::string command = "node " + quoted((dir / "peer.mjs").string()) + " " + peer + " " +
                              quoted(sheetPath().string()) + " " + std::to_string(iterations) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    run.error = "cannot start node";
    return run;
  }
  std::string other;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe)) {
    long long count = 0;
    double seconds = 0;
    double cpu = 0;
    if (std::sscanf(line, "rules %lld", &count) == 1)
      run.rules = count;
    else if (std::sscanf(line, "bytes %lld", &count) == 1)
      run.bytes = count;
    else if (std::sscanf(line, "seconds %lf cpu %lf", &seconds, &cpu) == 2) {
      run.seconds.push_back(seconds);
      run.cpu.push_back(cpu);
    }
    else
      other += line;
  }
  const int status = pclose(pipe);
  std::replace(other.begin(), other.end(), '\n', ' ');
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
    run.error = "node not found: run scripts/install-deps.sh --bench";
  else if (status != 0)
    run.error = "peer.mjs failed: " + other;
  return run;
}

void BM_peer(benchmark::State& state, const std::string& peer) {
  const PeerRun run = runPeer(peer, state.max_iterations);
  std::string wrong = run.error;
  if (wrong.empty() && run.bytes != static_cast<int64_t>(sheet().text.size()))
    wrong = peer + " read " + std::to_string(run.bytes) + " bytes of " + std::to_string(sheet().text.size());
  if (wrong.empty() && run.rules != sheet().styleRules)
    wrong = peer + " found " + std::to_string(run.rules) + " style rules of " + std::to_string(sheet().styleRules);
  if (wrong.empty() && static_cast<int64_t>(run.seconds.size()) != state.max_iterations)
    wrong = peer + " timed " + std::to_string(run.seconds.size()) + " parses";
  if (!wrong.empty()) {
    state.SkipWithError(wrong.c_str());
    return;
  }
  size_t next = 0;
  for (auto _ : state)
    state.SetIterationTime(run.seconds[next++]);
  state.counters["rules"] = static_cast<double>(run.rules);
  state.counters["cpu_ms"] = median(run.cpu) * 1e3;
  if (!librarySeconds().empty())
    state.counters["library_speedup"] = median(run.seconds) / median(librarySeconds());
  setBytes(state);
}

} // namespace

BENCHMARK(BM_EKCssParser)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(ITERATIONS);
BENCHMARK_CAPTURE(BM_peer, lightningcss, std::string("lightningcss"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(ITERATIONS);
BENCHMARK_CAPTURE(BM_peer, css_tree, std::string("css-tree"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(ITERATIONS);

BENCHMARK_MAIN();
