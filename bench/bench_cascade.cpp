// Applying style rules to a document: a framework-like sheet of 5,000 rules (classes, compounds,
// descendant and child combinators, attribute selectors, structural pseudo-classes, ids and
// types) applied to every element of a generated 20,000-element document; then the same with
// 50,000 extra rules that match nothing. Rules are bucketed by their rightmost compound, so the
// extra rules should cost next to nothing per element. Reports elements per second and, as
// counters, the time per element and the cost of the extra rules.
#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

constexpr int SHEET_RULES = 5000;
constexpr int EXTRA_RULES = 50000;
constexpr int DOCUMENT_ELEMENTS = 20000;

const char* const COMPONENTS[] = {"btn", "card", "nav", "alert", "badge", "modal", "list", "table", "form", "menu"};
const char* const PARTS[] = {"header", "body", "footer", "title", "item", "link", "text", "icon"};
const char* const TAGS[] = {"div", "p", "span", "a", "ul", "li", "section", "button"};
const char* const DECLARATIONS[] = {
    "color: #3a3a3a",      "background-color: rgba(0, 0, 0, 0.05)", "padding: 4px 8px", "margin: 0 0 1em",
    "font-size: 0.875rem", "line-height: 1.5",                      "border-width: 1px", "display: block",
    "width: 100%",         "text-align: left"};

// A deterministic pseudo-random sequence (linear congruential), the same on every run.
struct Random {
  uint32_t state = 12345;
  uint32_t next(uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  }
};

std::string className(Random& r) {
  return std::string(COMPONENTS[r.next(10)]) + "-" + PARTS[r.next(8)] + "-" + std::to_string(r.next(40));
}

std::string declarations(Random& r) {
  std::string text = "{";
  for (int i = 0, n = 3 + static_cast<int>(r.next(5)); i < n; ++i)
    text += std::string(i ? "; " : " ") + DECLARATIONS[r.next(10)];
  return text + " }\n";
}

std::string sheetRules(Random& r) {
  std::string text;
  for (int i = 0; i < SHEET_RULES; ++i) {
    std::string selector;
    switch (r.next(8)) {
    case 0:
      selector = "." + className(r);
      break;
    case 1:
      selector = "." + className(r) + " ." + className(r);
      break;
    case 2:
      selector = std::string(TAGS[r.next(8)]) + "." + className(r);
      break;
    case 3:
      selector = "." + std::string(COMPONENTS[r.next(10)]) + "-body > " + TAGS[r.next(8)];
      break;
    case 4:
      selector = "[data-role=\"" + std::string(PARTS[r.next(8)]) + "\"]." + className(r);
      break;
    case 5:
      selector = std::string(TAGS[r.next(8)]) + ":nth-child(2n+1)." + className(r);
      break;
    case 6:
      selector = "#e" + std::to_string(r.next(DOCUMENT_ELEMENTS));
      break;
    default:
      selector = "." + className(r) + ":not(.disabled), ." + className(r) + ":hover";
      break;
    }
    text += selector + " " + declarations(r);
  }
  return text;
}

// Rules whose rightmost compound names a class, id or element the document never has.
std::string extraRules(Random& r) {
  std::string text;
  for (int i = 0; i < EXTRA_RULES; ++i) {
    switch (i % 3) {
    case 0:
      text += ".absent-" + std::to_string(i) + " " + declarations(r);
      break;
    case 1:
      text += "." + className(r) + " #missing-" + std::to_string(i) + " " + declarations(r);
      break;
    default:
      text += "div > nothing" + std::to_string(i) + " " + declarations(r);
      break;
    }
  }
  return text;
}

// A document of DOCUMENT_ELEMENTS elements: sections of lists and paragraphs up to 6 levels deep,
// each element with one to three classes from the sheet's pool, some with ids and roles.
std::string document() {
  Random r;
  r.state = 777;
  std::string text = "<html><body>";
  int open = 0, written = 2;
  while (written < DOCUMENT_ELEMENTS) {
    if (open > 0 && (open >= 6 || r.next(3) == 0)) {
      text += "</" + std::string(TAGS[0]) + ">";
      --open;
      continue;
    }
    const bool container = r.next(3) == 0;
    const std::string tag = container ? TAGS[0] : TAGS[1 + r.next(7)];
    std::string classes = className(r);
    for (uint32_t k = r.next(3); k > 0; --k)
      classes += " " + className(r);
    if (r.next(4) == 0)
      classes += std::string(" ") + COMPONENTS[r.next(10)] + "-body";
    text += "<" + tag + " id=\"e" + std::to_string(written) + "\" class=\"" + classes + "\"";
    if (r.next(5) == 0)
      text += std::string(" data-role=\"") + PARTS[r.next(8)] + "\"";
    ++written;
    if (container) {
      text += ">";
      ++open;
    } else {
      text += ">x</" + tag + ">";
    }
  }
  for (; open > 0; --open)
    text += "</div>";
  return text + "</body></html>";
}

bool anyMedium(const EKCssMediaQuery*, void*) { return true; }

unsigned short count(EKElement*, EKName, EKValue, int, const EKCssDeclaration*) { return 0; }

EKPtr<EKCssRules> parseRules(const std::string& text) {
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, anyMedium, nullptr);
  parser->setText(UnicodeString::fromUTF8(text), EKName(), EKUri());
  if (parser->parseInto(sheet.get()) != 0) {
    std::fprintf(stderr, "bench_cascade: the generated sheet has errors\n");
    std::exit(1);
  }
  return sheet;
}

struct Fixture {
  EKPtr<EKDocument> doc{new EKDocument()};
  std::vector<EKElement*> elements;
  EKPtr<EKCssRules> base;
  EKPtr<EKCssRules> extended;

  Fixture() {
    std::istringstream in(document());
    doc->load(in, nullptr, UnicodeString(u"bench.xml"));
    EKTreeIterator it(doc->getDocumentElement(), EKTreeIterator::PRE_ORDER);
    while (EKNode* node = it.nextNode()) {
      if (node->isElementNode())
        elements.push_back(static_cast<EKElement*>(node));
    }
    Random r;
    const std::string rules = sheetRules(r);
    base = parseRules(rules);
    extended = parseRules(rules + extraRules(r));
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void applyAll(benchmark::State& state, EKCssRules* rules) {
  Fixture& f = fixture();
  for (auto _ : state) {
    for (EKElement* element : f.elements)
      rules->applyRules(element, count, EKName());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.elements.size()));
  // Seconds per element (printed with a unit prefix: "4.2u" is 4.2 microseconds).
  state.counters["time_per_element"] =
      benchmark::Counter(static_cast<double>(state.iterations() * f.elements.size()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["elements"] = static_cast<double>(f.elements.size());
}

void BM_Cascade5000Rules(benchmark::State& state) { applyAll(state, fixture().base.get()); }
void BM_Cascade5000PlusUnmatched50000(benchmark::State& state) { applyAll(state, fixture().extended.get()); }

} // namespace

BENCHMARK(BM_Cascade5000Rules)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Cascade5000PlusUnmatched50000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
