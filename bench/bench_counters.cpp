// Counter styles: one million list numbers in
// decimal, lower-roman, japanese-formal and cjk-ideographic, against ICU on the same numbers:
// its rule-based formats for Roman numerals (numbering system "roman-lower") and for Japanese
// financial and traditional Chinese spell-out, and its decimal format without grouping.
// The numbers count up as list items and pages do, from 1 to 3999 (the range every style here
// covers) and again; a second set takes them at random from that range.
#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <unicode/decimfmt.h>
#include <unicode/rbnf.h>

#include <memory>
#include <random>
#include <vector>

using namespace EKCommonNS;

namespace {

constexpr size_t COUNT = 1000000;

constexpr int64_t LAST = 3999;

const std::vector<int64_t>& numbers(bool random) {
  static const std::vector<int64_t> counting = [] {
    std::vector<int64_t> v(COUNT);
    for (size_t i = 0; i < COUNT; ++i)
      v[i] = static_cast<int64_t>(i) % LAST + 1;
    return v;
  }();
  static const std::vector<int64_t> shuffled = [] {
    std::mt19937 generator(20251206);
    std::uniform_int_distribution<int64_t> pick(1, LAST);
    std::vector<int64_t> v(COUNT);
    for (int64_t& n : v)
      n = pick(generator);
    return v;
  }();
  return random ? shuffled : counting;
}

void runLibrary(benchmark::State& state, const char* styleName) {
  const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(UnicodeString(styleName)), nullptr);
  const auto& values = numbers(state.range(0) != 0);
  for (auto _ : state) {
    for (int64_t n : values)
      benchmark::DoNotOptimize(style->formatNumber(n, EKUtil::getPredefinedCounterStyle, nullptr, true));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void runIcu(benchmark::State& state, icu::NumberFormat& format) {
  const auto& values = numbers(state.range(0) != 0);
  for (auto _ : state) {
    for (int64_t n : values) {
      UnicodeString out;
      benchmark::DoNotOptimize(format.format(n, out));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

std::unique_ptr<icu::RuleBasedNumberFormat> icuRules(icu::URBNFRuleSetTag tag, const char* locale,
                                                     const char* ruleSet) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::RuleBasedNumberFormat>(tag, icu::Locale(locale), status);
  if (ruleSet)
    format->setDefaultRuleSet(UnicodeString(ruleSet), status);
  if (U_FAILURE(status))
    return nullptr;
  return format;
}

void runIcuRules(benchmark::State& state, icu::URBNFRuleSetTag tag, const char* locale, const char* ruleSet) {
  const auto format = icuRules(tag, locale, ruleSet);
  if (!format) {
    state.SkipWithError("ICU has no such rule set");
    return;
  }
  runIcu(state, *format);
}

void BM_Library_Decimal(benchmark::State& state) { runLibrary(state, "decimal"); }
void BM_Icu_Decimal(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  icu::DecimalFormat format(UnicodeString("0"), status);
  runIcu(state, format);
}
void BM_Library_LowerRoman(benchmark::State& state) { runLibrary(state, "lower-roman"); }
void BM_Icu_LowerRoman(benchmark::State& state) {
  runIcuRules(state, icu::URBNF_NUMBERING_SYSTEM, "en", "%roman-lower");
}
void BM_Library_JapaneseFormal(benchmark::State& state) { runLibrary(state, "japanese-formal"); }
void BM_Icu_JapaneseFormal(benchmark::State& state) {
  runIcuRules(state, icu::URBNF_SPELLOUT, "ja", "%spellout-cardinal-financial");
}
void BM_Library_CjkIdeographic(benchmark::State& state) { runLibrary(state, "cjk-ideographic"); }
void BM_Icu_CjkIdeographic(benchmark::State& state) {
  runIcuRules(state, icu::URBNF_SPELLOUT, "zh_Hant", "%spellout-cardinal");
}

} // namespace

BENCHMARK(BM_Library_Decimal)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Icu_Decimal)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Library_LowerRoman)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Icu_LowerRoman)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Library_JapaneseFormal)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Icu_JapaneseFormal)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Library_CjkIdeographic)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);
BENCHMARK(BM_Icu_CjkIdeographic)->Unit(benchmark::kMillisecond)->ArgName("random")->Arg(0)->Arg(1);

BENCHMARK_MAIN();
