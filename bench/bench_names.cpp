// Name lookups: the library's lock-free built-in lookups in both directions and its run-time
// interning (one and two threads), against a baseline of std::unordered_map<std::u16string,int>
// under a std::mutex doing the same work.
#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

using namespace EKCommonNS;

namespace {

// The baseline: one map for every string, built-in or not, behind one mutex, with a vector
// for number-to-string lookups.
class BaselineTable {
public:
  BaselineTable() {
    m_strings.emplace_back();
    for (int n = 1; n <= EKN_BUILTIN_LAST; ++n)
      intern(toU16(EKNameTable::getBuiltinNameString(static_cast<EKNameEnum>(n))));
  }
  int intern(const std::u16string& s) {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto inserted = m_map.try_emplace(s, static_cast<int>(m_strings.size()));
    if (inserted.second)
      m_strings.push_back(s);
    return inserted.first->second;
  }
  const std::u16string& string(int n) {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_strings[static_cast<size_t>(n)];
  }
  static std::u16string toU16(const UnicodeString& s) {
    return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
  }

private:
  std::mutex m_mutex;
  std::unordered_map<std::u16string, int> m_map;
  std::vector<std::u16string> m_strings;
};

BaselineTable& baseline() {
  static BaselineTable table;
  return table;
}

// A realistic mix of built-in names: every 7th entry of the vocabulary.
const std::vector<UnicodeString>& builtinSample() {
  static const std::vector<UnicodeString> sample = [] {
    std::vector<UnicodeString> v;
    for (int n = 1; n <= EKN_BUILTIN_LAST; n += 7)
      v.push_back(EKNameTable::getBuiltinNameString(static_cast<EKNameEnum>(n)));
    return v;
  }();
  return sample;
}

std::vector<UnicodeString> runtimeStrings(int count, int thread) {
  std::vector<UnicodeString> v;
  for (int i = 0; i < count; ++i)
    v.push_back(UnicodeString::fromUTF8("x-vendor-attribute-" + std::to_string(i % 4096) + "-" +
                                        std::to_string(thread)));
  return v;
}

void BM_Library_BuiltinStringToName(benchmark::State& state) {
  const auto& sample = builtinSample();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EKNameTable::getSharedNameEnum(sample[i]));
    i = (i + 1) % sample.size();
  }
}

void BM_Baseline_BuiltinStringToName(benchmark::State& state) {
  std::vector<std::u16string> sample;
  for (const auto& s : builtinSample())
    sample.push_back(BaselineTable::toU16(s));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(baseline().intern(sample[i]));
    i = (i + 1) % sample.size();
  }
}

void BM_Library_BuiltinNameToString(benchmark::State& state) {
  int n = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&EKNameTable::getSharedNameString(static_cast<EKNameEnum>(n)));
    n = n % EKN_BUILTIN_LAST + 1;
  }
}

void BM_Baseline_BuiltinNameToString(benchmark::State& state) {
  int n = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&baseline().string(n));
    n = n % EKN_BUILTIN_LAST + 1;
  }
}

// Run-time interning: a working set of 4096 strings per thread, each seen many times.
void BM_Library_RuntimeIntern(benchmark::State& state) {
  const auto strings = runtimeStrings(4096, state.thread_index());
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EKNameTable::getSharedNameEnum(strings[i]));
    i = (i + 1) % strings.size();
  }
}

void BM_Baseline_RuntimeIntern(benchmark::State& state) {
  std::vector<std::u16string> strings;
  for (const auto& s : runtimeStrings(4096, state.thread_index()))
    strings.push_back(BaselineTable::toU16(s));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(baseline().intern(strings[i]));
    i = (i + 1) % strings.size();
  }
}

} // namespace

BENCHMARK(BM_Library_BuiltinStringToName);
BENCHMARK(BM_Baseline_BuiltinStringToName);
BENCHMARK(BM_Library_BuiltinNameToString);
BENCHMARK(BM_Baseline_BuiltinNameToString);
BENCHMARK(BM_Library_BuiltinStringToName)->Threads(2);
BENCHMARK(BM_Baseline_BuiltinStringToName)->Threads(2);
BENCHMARK(BM_Library_RuntimeIntern)->Threads(1)->Threads(2);
BENCHMARK(BM_Baseline_RuntimeIntern)->Threads(1)->Threads(2);

BENCHMARK_MAIN();
