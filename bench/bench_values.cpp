// Property values: the tokenizer reading a corpus of realistic CSS and XSL-FO property values
// into EKValues, and copying and comparing the values read, against a baseline that scans the
// same texts for their numbers with strtod (the C library's number reader) and copies and
// compares plain doubles.
#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

// A few thousand property values as style sheets and formatting objects carry them: lengths in
// many units, percentages, numbers, keywords, colours, strings, URLs, functions and shorthands.
std::vector<std::string> corpus() {
  static const char* const numbers[] = {"12", "1.5", "0.25", "-3", "100", ".5", "72", "2.54", "0", "-0.75"};
  static const char* const units[] = {"pt", "px", "em", "mm", "cm", "in", "%", "", "rem", "pc"};
  static const char* const words[] = {"bold", "italic", "auto", "inherit", "solid", "center",
                                      "justify", "small-caps", "always", "wrap"};
  static const char* const colors[] = {"#ff8800", "#ccc", "red", "rgb(10, 20, 30)", "cmyk(0,0.5,1,0)",
                                       "transparent", "#00000080", "navy"};
  std::vector<std::string> texts;
  unsigned seed = 1;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  auto length = [&] { return std::string(numbers[next(10)]) + units[next(10)]; };
  for (int i = 0; i < 4000; ++i) {
    switch (next(10)) {
    case 0: texts.push_back(length()); break;
    case 1: texts.push_back(length() + " " + length() + " " + length() + " " + length()); break;
    case 2: texts.push_back(std::string("1px ") + words[next(10)] + " " + colors[next(8)]); break;
    case 3: texts.push_back(colors[next(8)]); break;
    case 4: texts.push_back(std::string(words[next(10)]) + " " + length() + "/" + length() +
                            " 'Times New Roman', serif"); break;
    case 5: texts.push_back("url('images/logo-" + std::to_string(i) + ".png')"); break;
    case 6: texts.push_back("calc(100% - " + length() + ")"); break;
    case 7: texts.push_back(std::string(numbers[next(10)]) + "e" + std::to_string(next(4))); break;
    case 8: texts.push_back(words[next(10)]); break;
    default: texts.push_back("rotate(" + std::string(numbers[next(10)]) + "deg) scale(1.5)"); break;
    }
  }
  return texts;
}

const std::vector<std::string>& texts() {
  static const std::vector<std::string> t = corpus();
  return t;
}

const std::vector<UnicodeString>& unicodeTexts() {
  static const std::vector<UnicodeString> t = [] {
    std::vector<UnicodeString> v;
    for (const std::string& s : texts())
      v.push_back(UnicodeString::fromUTF8(s));
    return v;
  }();
  return t;
}

std::vector<EKValue> readValues() {
  std::vector<EKValue> values;
  for (const UnicodeString& text : unicodeTexts()) {
    EKTokenizer tokenizer(text, EKTokenizer::CSS);
    for (EKValue v = tokenizer.nextTokenValueFunc(false, nullptr); !v.isNull();
         v = tokenizer.nextTokenValueFunc(false, nullptr))
      values.push_back(v);
  }
  return values;
}

// Every number of a text by strtod, skipping what is not one.
void scanNumbers(const std::string& text, std::vector<double>& out) {
  const char* p = text.c_str();
  while (*p) {
    const bool starts = (*p >= '0' && *p <= '9') || ((*p == '.' || *p == '-' || *p == '+') &&
                                                     p[1] >= '0' && p[1] <= '9');
    if (!starts) {
      ++p;
      continue;
    }
    char* end = nullptr;
    out.push_back(std::strtod(p, &end));
    p = end > p ? end : p + 1;
  }
}

void BM_Library_TokenizeToValues(benchmark::State& state) {
  size_t count = 0;
  for (auto _ : state) {
    const std::vector<EKValue> values = readValues();
    count += values.size();
    benchmark::DoNotOptimize(values.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(count));
  state.SetLabel(std::to_string(texts().size()) + " texts");
}

void BM_Baseline_StrtodNumbers(benchmark::State& state) {
  size_t count = 0;
  for (auto _ : state) {
    std::vector<double> numbers;
    for (const std::string& text : texts())
      scanNumbers(text, numbers);
    count += numbers.size();
    benchmark::DoNotOptimize(numbers.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(count));
  state.SetLabel(std::to_string(texts().size()) + " texts");
}

void BM_Library_CopyAndCompareValues(benchmark::State& state) {
  const std::vector<EKValue> values = readValues();
  size_t equal = 0;
  for (auto _ : state) {
    const std::vector<EKValue> copy = values;
    for (size_t i = 1; i < copy.size(); ++i)
      equal += (copy[i] == values[i]) + (copy[i] < copy[i - 1]);
    benchmark::DoNotOptimize(equal);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void BM_Baseline_CopyAndCompareDoubles(benchmark::State& state) {
  std::vector<double> values;
  for (const std::string& text : texts())
    scanNumbers(text, values);
  size_t equal = 0;
  for (auto _ : state) {
    const std::vector<double> copy = values;
    for (size_t i = 1; i < copy.size(); ++i)
      equal += (copy[i] == values[i]) + (copy[i] < copy[i - 1]);
    benchmark::DoNotOptimize(equal);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

} // namespace

BENCHMARK(BM_Library_TokenizeToValues)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_StrtodNumbers)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Library_CopyAndCompareValues)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_CopyAndCompareDoubles)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
