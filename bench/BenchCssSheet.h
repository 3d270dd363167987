// The style sheet that the CSS benchmark parses, made in memory so that the library and the npm
// peers read the same bytes: what a component and utility framework ships unminified. Custom
// properties on :root, @font-face blocks, component rules of 10 to 30 declarations (colours in
// hex, rgb() and rgba(), lengths, percentages, var() with fallbacks, calc(), url(), gradients,
// transitions, vendor prefixes, an occasional !important) under class, compound, descendant,
// child, sibling, attribute and pseudo selectors in groups, responsive grid and utility rules in
// @media blocks, and comments. Every construct is one that both peers and the library accept
// without an error, so each parser's rule count can be checked against the one written here.
#pragma once

#include "BenchDocuments.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace benchdocs {

inline constexpr size_t CSS_SHEET_SIZE = 5 * 1000 * 1000;

struct CssSheet {
  std::string text;
  // Style rules written (rule sets, those inside @media blocks included; @font-face not).
  int64_t styleRules = 0;
  // The rules the library stores: one per selector of a group and per non-empty list of normal
  // and of important declarations.
  int64_t storedRules = 0;
  int64_t fontFaces = 0;
};

namespace cssgen {

const char* const COMPONENTS[] = {"btn",   "card",     "nav",       "alert",      "badge",     "modal",
                                  "toast", "dropdown", "list-group", "navbar",    "accordion", "pagination",
                                  "table", "progress", "offcanvas", "breadcrumb", "tooltip",   "form-control"};
const char* const PARTS[] = {"header", "body", "footer", "title", "item", "link", "text", "toggle", "icon", "menu"};
const char* const VARIANTS[] = {"primary", "secondary", "success", "danger", "warning", "info", "light", "dark"};
const char* const STATES[] = {":hover", ":focus", ":focus-visible", ":active", ":disabled", ".active", ".disabled",
                              ":first-child", ":last-child", ":checked"};
const char* const ELEMENTS[] = {"a", "button", "input", "label", "ul", "li", "p", "span", "img", "svg",
                                "h5", "table", "td", "th", "tr", "small"};
const char* const BREAKPOINTS[] = {"sm", "md", "lg", "xl", "xxl"};
const int BREAKPOINT_WIDTHS[] = {576, 768, 992, 1200, 1400};
const char* const ATTRIBUTES[] = {
    "[type=\"text\"]",     "[type=\"checkbox\"]", "[href^=\"http\"]", "[href$=\".pdf\"]", "[data-bs-toggle~=tooltip]",
    "[class*=\"col-\"]",   "[lang|=en]",          "[hidden]",         "[readonly]",       "[aria-expanded=\"true\"]",
    "[data-bs-theme=dark]", "[tabindex=\"-1\"]"};
const char* const NTH[] = {":nth-child(2n+1)", ":nth-of-type(odd)", ":nth-child(3n)", ":nth-last-child(-n+2)",
                           ":nth-child(even)", ":nth-of-type(2n)"};
const char* const NEGATIONS[] = {":not(.disabled)", ":not(:last-child)", ":not([hidden])", ":not(:first-child)",
                                 ":not(.collapsed)"};
const char* const PSEUDO_ELEMENTS[] = {"::before", "::after", "::placeholder", "::selection", "::marker"};
// Utility classes written with escaped characters, as utility frameworks name them.
const char* const ESCAPED[] = {".md\\:flex", ".w-1\\/2", ".hover\\:underline:hover", ".lg\\:grid-cols-3",
                               ".focus\\:ring-2:focus", ".sm\\:p-4"};

// Declaration templates; `@` takes a number from 1 to 250, `!` a digit from 1 to 9, `$` a hex
// digit and `^` a percentage.
const char* const DECLARATIONS[] = {
    "display: inline-block",
    "display: flex",
    "display: grid",
    "position: relative",
    "flex: 1 1 auto",
    "flex-direction: column",
    "align-items: center",
    "justify-content: space-between",
    "gap: var(--bs-gap, @px)",
    "--bs-gap: !rem",
    "--bs-btn-padding-x: .!5rem",
    "--bs-btn-color: #$$$$$$",
    "--bs-card-border-color: rgba(0, 0, 0, .!)",
    "--bs-shadow: 0 .5rem 1rem rgba(0, 0, 0, .15)",
    "color: #$$$$$$",
    "color: #$$$",
    "color: var(--bs-body-color, #212529)",
    "color: rgb(@ @ @ / ^)",
    "background-color: rgba(@, @, @, .!)",
    "background-color: var(--bs-$$-bg)",
    "background-color: hsl(@, ^, ^)",
    "background-image: linear-gradient(180deg, rgba(255, 255, 255, .15), rgba(255, 255, 255, 0))",
    "background-image: radial-gradient(circle at ^ ^, #$$$$$$ 0, transparent ^)",
    "background: #fff url(\"../img/icons/icon-@.svg\") no-repeat right .75rem center / 16px 12px",
    "background-image: url(\"data:image/svg+xml,%3csvg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 16 16'%3e"
    "%3cpath fill='none' stroke='%23343a40' d='m2 5 6 6 6-6'/%3e%3c/svg%3e\")",
    "border: 1px solid var(--bs-border-color, #dee2e6)",
    "border: !px solid #$$$$$$",
    "border-radius: var(--bs-border-radius, .375rem)",
    "border-top-left-radius: calc(.!rem - 1px)",
    "border-bottom: 0",
    "padding: .!rem !rem",
    "padding-left: calc(!rem + @px)",
    "margin: 0 auto",
    "margin-bottom: !rem",
    "margin-top: -@px",
    "width: ^",
    "width: calc(100% - !rem)",
    "max-width: @0px",
    "min-height: calc(1.5em + .75rem + 2px)",
    "height: @vh",
    "line-height: 1.5",
    "font-size: calc(1.!rem + .!vw)",
    "font-size: .875rem",
    "font-weight: !00",
    "font-family: system-ui, -apple-system, \"Segoe UI\", Roboto, \"Helvetica Neue\", Arial, sans-serif",
    "font: 400 1rem/1.5 var(--bs-font-sans-serif)",
    "letter-spacing: .0!em",
    "text-align: center",
    "text-decoration: none",
    "text-overflow: ellipsis",
    "white-space: nowrap",
    "vertical-align: middle",
    "overflow: hidden",
    "cursor: pointer",
    "opacity: .!",
    "z-index: 10!0",
    "top: 0",
    "inset: 0 auto auto 0",
    "content: \"\"",
    "content: \"\\2014\\00A0\"",
    "box-shadow: 0 .!rem !rem rgba(0, 0, 0, .15)",
    "box-shadow: inset 0 1px 0 rgba(255, 255, 255, .15), 0 1px 1px rgba(0, 0, 0, .075)",
    "transition: color .15s ease-in-out, background-color .15s ease-in-out, border-color .15s ease-in-out",
    "-webkit-transition: opacity .!s linear",
    "transition: transform .3s cubic-bezier(.25, .1, .25, 1)",
    "transform: translate(-50%, -50%) rotate(@deg)",
    "-webkit-transform: translateY(-@px)",
    "-webkit-user-select: none",
    "-moz-user-select: none",
    "user-select: none",
    "-webkit-appearance: none",
    "appearance: none",
    "grid-template-columns: repeat(!, minmax(0, 1fr))",
    "filter: drop-shadow(0 0 !px rgba(0, 0, 0, .5))",
    "outline: 0",
    "pointer-events: none",
};

// Appends a template with its holes filled.
inline void fill(std::string& out, const char* pattern, Random& random) {
  static const char HEX[] = "0123456789abcdef";
  for (const char* p = pattern; *p; ++p) {
    if (*p == '@')
      out += std::to_string(1 + random.below(250));
    else if (*p == '!')
      out += static_cast<char>('1' + random.below(9));
    else if (*p == '$')
      out += HEX[random.below(16)];
    else if (*p == '^')
      out += std::to_string(random.below(101)) + '%';
    else
      out += *p;
  }
}

} // namespace cssgen

// Builds the sheet until it has `size` bytes; a larger size continues the same sequence.
class CssSheetWriter {
public:
  CssSheet write(size_t size) {
    m_sheet.text =
        "/*!\n * Northwind UI v5.3.2 - components and utilities\n * Generated for the parser benchmark.\n */\n";
    rootVariables();
    for (int n = 0; n < 4; ++n)
      fontFace(n);
    while (m_sheet.text.size() < size) {
      const uint32_t pick = m_random.below(10);
      if (pick < 6)
        componentSection();
      else if (pick < 9)
        mediaBlock();
      else
        printBlock();
    }
    return std::move(m_sheet);
  }

private:
  template <size_t N>
  const char* any(const char* const (&list)[N]) {
    return list[m_random.below(static_cast<uint32_t>(N))];
  }

  void rootVariables() {
    m_sheet.text += ":root,\n[data-bs-theme=light] {\n";
    for (const char* variant : cssgen::VARIANTS) {
      m_sheet.text += "  --bs-" + std::string(variant) + ": ";
      cssgen::fill(m_sheet.text, "#$$$$$$;\n", m_random);
      m_sheet.text += "  --bs-" + std::string(variant) + "-rgb: ";
      cssgen::fill(m_sheet.text, "@, @, @;\n", m_random);
    }
    m_sheet.text += "  --bs-font-sans-serif: system-ui, -apple-system, \"Segoe UI\", Roboto, sans-serif;\n"
                    "  --bs-body-font-size: 1rem;\n  --bs-gap: 1rem;\n}\n\n";
    countRule(2, true, false);
  }

  void fontFace(int n) {
    static const char* const weights[] = {"300", "400", "600", "700"};
    m_sheet.text += "@font-face {\n  font-family: \"Northwind Sans\";\n  font-style: normal;\n  font-weight: " +
                    std::string(weights[n]) + ";\n  font-display: swap;\n  src: url(\"../fonts/northwind-sans-" +
                    weights[n] + ".woff2\") format(\"woff2\"),\n    url(\"../fonts/northwind-sans-" + weights[n] +
                    ".woff\") format(\"woff\");\n}\n\n";
    ++m_sheet.fontFaces;
  }

  // A component's base rule, its variants, parts and states: the bulk of a framework.
  void componentSection() {
    const std::string component = any(cssgen::COMPONENTS);
    m_sheet.text += "/* " + component + " */\n";
    for (uint32_t rules = 2 + m_random.below(4); rules > 0; --rules)
      rule("", componentSelectors(component), 10 + m_random.below(21));
  }

  // Grid columns and utilities of one breakpoint, with a component rule or two.
  void mediaBlock() {
    const uint32_t breakpoint = m_random.below(5);
    const std::string name = cssgen::BREAKPOINTS[breakpoint];
    const std::string width = std::to_string(cssgen::BREAKPOINT_WIDTHS[breakpoint]);
    const uint32_t query = m_random.below(4);
    m_sheet.text += query == 0   ? "@media (min-width: " + width + "px) {\n"
                    : query == 1 ? "@media (max-width: " + width + ".98px) {\n"
                    : query == 2 ? "@media screen and (min-width: " + width + "px) and (orientation: landscape) {\n"
                                 : "@media (hover: hover) and (pointer: fine), (min-resolution: 2dppx) {\n";
    for (uint32_t columns = 1 + m_random.below(4); columns > 0; --columns) {
      const std::string column = std::to_string(1 + m_random.below(12));
      m_sheet.text += "  .col-" + name + "-" + column + " {\n    flex: 0 0 auto;\n    width: " + column +
                      "%;\n  }\n";
      countRule(1, true, false);
    }
    for (uint32_t utilities = m_random.below(4); utilities > 0; --utilities) {
      const std::string spacing = std::to_string(m_random.below(6));
      m_sheet.text += "  .mt-" + name + "-" + spacing + ",\n  .my-" + name + "-" + spacing + " {\n    margin-top: " +
                      spacing + "rem !important;\n  }\n";
      countRule(2, false, true);
    }
    rule("  ", any(cssgen::ESCAPED), 1 + m_random.below(3));
    rule("  ", componentSelectors(any(cssgen::COMPONENTS)), 10 + m_random.below(21));
    m_sheet.text += "}\n\n";
  }

  void printBlock() {
    m_sheet.text += "@media print {\n";
    rule("  ", std::string(".d-print-") + any(cssgen::PARTS) + ",\n" + any(cssgen::ELEMENTS) + "[href]::after",
         2 + m_random.below(4));
    m_sheet.text += "}\n\n";
  }

  // A group of 1 to 4 selectors around one component, one a line.
  std::string componentSelectors(const std::string& component) {
    std::string group;
    for (uint32_t n = 1 + m_random.below(4); n > 0; --n) {
      if (!group.empty())
        group += ",\n";
      group += componentSelector(component);
    }
    return group;
  }

  std::string componentSelector(const std::string& c) {
    const std::string part = c + "-" + any(cssgen::PARTS);
    const std::string variant = c + "-" + any(cssgen::VARIANTS);
    switch (m_random.below(14)) {
    case 0: return "." + variant;
    case 1: return "." + variant + any(cssgen::STATES);
    case 2: return "." + c + " > ." + part;
    case 3: return "." + c + " ." + part + any(cssgen::STATES);
    case 4: return ".btn-check:checked + ." + variant;
    case 5: return "." + variant + any(cssgen::NEGATIONS) + any(cssgen::NEGATIONS);
    case 6: return "." + c + "-striped > tbody > tr" + any(cssgen::NTH) + " > *";
    case 7: return std::string(any(cssgen::ELEMENTS)) + any(cssgen::ATTRIBUTES) + "." + c;
    case 8: return "." + part + any(cssgen::PSEUDO_ELEMENTS);
    case 9: return "." + c + "." + variant + " ~ ." + part;
    case 10: return "#main-" + c + " ." + part + " " + any(cssgen::ELEMENTS);
    case 11: return "." + c + any(cssgen::ATTRIBUTES) + " ." + part + any(cssgen::STATES);
    case 12: return "." + c + "-group > ." + c + ":not(:first-child)" + any(cssgen::PSEUDO_ELEMENTS);
    default: return "." + c + "-" + any(cssgen::BREAKPOINTS) + "-" + std::to_string(1 + m_random.below(12));
    }
  }

  // A rule set of `declarations` declarations, about one in twelve of them !important.
  void rule(const std::string& indent, const std::string& selectors, uint32_t declarations) {
    int64_t group = 1;
    m_sheet.text += indent;
    for (char c : selectors) {
      m_sheet.text += c;
      if (c == '\n')
        m_sheet.text += indent;
      group += c == ',';
    }
    m_sheet.text += " {\n";
    bool normal = false;
    bool important = false;
    for (; declarations > 0; --declarations) {
      m_sheet.text += indent + "  ";
      cssgen::fill(m_sheet.text, any(cssgen::DECLARATIONS), m_random);
      if (m_random.below(12) == 0) {
        m_sheet.text += " !important";
        important = true;
      } else {
        normal = true;
      }
      m_sheet.text += ";\n";
    }
    m_sheet.text += indent + "}\n";
    countRule(group, normal, important);
  }

  void countRule(int64_t selectors, bool normal, bool important) {
    ++m_sheet.styleRules;
    m_sheet.storedRules += selectors * ((normal ? 1 : 0) + (important ? 1 : 0));
  }

  Random m_random;
  CssSheet m_sheet;
};

inline CssSheet cssSheet(size_t size = CSS_SHEET_SIZE) { return CssSheetWriter().write(size); }

} // namespace benchdocs
