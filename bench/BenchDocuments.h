// The documents that the XML benchmarks parse and load, made in memory so that every program
// reads the same bytes: an XSL-FO-like document of deep nesting and many attributes, and an
// XHTML-like one of mixed content with character and entity references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace benchdocs {

inline constexpr size_t DOCUMENT_SIZE = 20 * 1000 * 1000;

// A small deterministic generator, so that every run parses the same bytes.
class Random {
public:
  uint32_t next() {
    m_state = m_state * 1664525u + 1013904223u;
    return m_state >> 8;
  }
  uint32_t below(uint32_t n) { return next() % n; }

private:
  uint32_t m_state = 12345;
};

// XSL-FO formatting objects nested 6 to 24 deep in a flow, each with 5 to 10 properties taken
// from a pool that includes an extension namespace; the leaves hold a few words. The flow grows
// until the text has `size` bytes; a larger size continues the same sequence of objects.
inline std::string foDocument(size_t size = DOCUMENT_SIZE) {
  static const char* const properties[] = {
      "font-family=\"serif\"",     "font-size=\"%pt\"",          "line-height=\"1.%\"",
      "space-before=\"%pt\"",      "space-after=\"%pt\"",        "text-align=\"justify\"",
      "color=\"#3366%\"",          "margin-left=\"%mm\"",        "padding=\"%pt\"",
      "border-width=\"0.%pt\"",    "keep-together.within-page=\"always\"", "id=\"b%\"",
      "ax:role=\"section-%\"",     "ax:trace=\"t%\"",            "start-indent=\"%em\"",
      "background-color=\"#ffe%\""};
  // Blocks and block containers nest; the innermost object is an inline.
  static const char* const objects[] = {"fo:block", "fo:block-container", "fo:inline"};
  static const char* const words[] = {"Invoice", "total", "amount", "delivered", "page", "section", "item"};
  constexpr uint32_t propertyCount = sizeof properties / sizeof *properties;
  Random random;
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\" xmlns:ax=\"http://www.example.com/ns/fo-extensions\">\n"
      "<fo:layout-master-set><fo:simple-page-master master-name=\"A4\" page-width=\"210mm\" page-height=\"297mm\" "
      "margin-top=\"20mm\" margin-bottom=\"20mm\"><fo:region-body margin=\"25mm\"/></fo:simple-page-master>"
      "</fo:layout-master-set>\n<fo:page-sequence master-reference=\"A4\"><fo:flow flow-name=\"xsl-region-body\">\n";
  std::vector<const char*> open;
  while (text.size() < size) {
    for (uint32_t depth = 6 + random.below(19); open.size() < depth;) {
      const char* object = objects[open.size() == depth - 1 ? 2 : random.below(2)];
      text += '\n' + std::string(open.size(), ' ') + '<' + object;
      const uint32_t first = random.below(propertyCount);
      for (uint32_t n = 5 + random.below(6), i = 0; i < n; ++i) {
        const std::string property = properties[(first + i * 3) % propertyCount];
        const size_t hole = property.find('%');
        text += ' ' + (hole == std::string::npos ? property
                                                 : property.substr(0, hole) + std::to_string(random.below(90) + 10) +
                                                       property.substr(hole + 1));
      }
      text += '>';
      open.push_back(object);
    }
    text += std::string(words[random.below(7)]) + ' ' + std::to_string(random.below(1000));
    for (uint32_t close = 1 + random.below(static_cast<uint32_t>(open.size())); close > 0; --close) {
      text += "</" + std::string(open.back()) + '>';
      open.pop_back();
    }
  }
  while (!open.empty()) {
    text += "</" + std::string(open.back()) + '>';
    open.pop_back();
  }
  return text + "\n</fo:flow></fo:page-sequence></fo:root>\n";
}

// XHTML paragraphs with inline elements, character references, the predefined entities and
// entities from the internal subset, one of which refers to another, in sections until the text
// has `size` bytes.
inline std::string xhtmlDocument(size_t size = DOCUMENT_SIZE) {
  static const char* const sentences[] = {
      "The caf&#233; at &company; serves <em>fresh</em> bread &#x2014; baked <strong>daily</strong>. ",
      "Prices start below 5 &amp; rise &lt; 10 &#8364; per <abbr title=\"kilogram\">kg</abbr>. ",
      "See <a href=\"http://www.example.com/catalogue/item\" title=\"Catalogue\">&product;</a> for details. ",
      "Write <code>a &lt; b &amp;&amp; c &gt; d</code> in the na&#xEF;ve form. ",
      "&legal; ",
      ("Deliveries leave the d&#xE9;p&#xF4;t at 6 o&#8217;clock &mdash; "
       "<span class=\"note\">weather permitting</span>. "),
      "Plain prose keeps the reader going through the paragraph without any markup at all. "};
  Random random;
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE html [\n"
      "  <!ENTITY company \"Northwind Traders\">\n"
      "  <!ENTITY product \"the Widget&#8482; 3000\">\n"
      "  <!ENTITY legal \"&#169; 2024 &company;, all rights reserved.\">\n"
      "  <!ENTITY mdash \"&#x2014;\">\n"
      "]>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\"><head><title>Catalogue</title></head><body>\n";
  for (unsigned section = 1; text.size() < size; ++section) {
    text += "<div class=\"section\" id=\"s" + std::to_string(section) + "\">\n<h2>Section " +
            std::to_string(section) + ": &product;</h2>\n";
    for (uint32_t paragraphs = 3 + random.below(5); paragraphs > 0; --paragraphs) {
      text += "<p class=\"body\">";
      for (uint32_t n = 3 + random.below(6); n > 0; --n)
        text += sentences[random.below(sizeof sentences / sizeof *sentences)];
      text += "</p>\n";
    }
    text += "</div>\n";
  }
  return text + "</body></html>\n";
}

// The two documents of DOCUMENT_SIZE, made on first use.
inline const std::string& document(bool fo) {
  static const std::string foText = foDocument();
  static const std::string xhtmlText = xhtmlDocument();
  return fo ? foText : xhtmlText;
}


} // namespace benchdocs
