// The page that the HTML benchmark parses, made in memory so that every parser reads the same
// bytes: a catalogue page written the way sites write them, with unclosed paragraphs, list items
// and table cells, void elements, unquoted and minimised attributes, named and numeric character
// references, inline scripts and styles whose strings hold markup, comments and upper-case tags.
#pragma once

#include "BenchDocuments.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace benchdocs {

inline constexpr size_t HTML_DOCUMENT_SIZE = 10 * 1000 * 1000;

struct HtmlPage {
  std::string text;
  // Start tags written, void elements included; a parser that implies elements (tbody, say)
  // reports somewhat more, one that stops early far fewer.
  int64_t startTags = 0;
};

namespace htmlgen {

const char* const HEAD =
    "<!DOCTYPE html>\n<html lang=en>\n<head>\n<meta charset=utf-8>\n"
    "<meta name=viewport content=\"width=device-width, initial-scale=1\">\n"
    "<title>Northwind Outdoor &mdash; Catalogue</title>\n"
    "<link rel=stylesheet href=\"/static/site.css?v=31\">\n<link rel=icon href=/favicon.ico>\n"
    "<style>\nbody { font-family: Georgia, serif; margin: 0 }\nnav > ul li a:hover { color: #c00 }\n"
    ".price:before { content: \"<\" }\n</style>\n"
    "<script>\nwindow.dataLayer = window.dataLayer || [];\nfunction gtag() { dataLayer.push(arguments); }\n"
    "if (document.cookie.indexOf(\"seen=1\") < 0 && screen.width > 600) {\n"
    "  document.write(\"<div class=\\\"banner\\\">Welcome back</div>\");\n}\n</script>\n</head>\n"
    "<body class=\"catalogue page\">\n<!-- site header -->\n"
    "<div id=header><a href=\"/home\"><img src=/img/logo.png alt=Northwind width=120 height=40></a>\n"
    "<form action=/search method=get><input type=text name=q placeholder=\"Search&hellip;\">"
    "<input type=checkbox name=stock checked disabled> in stock <button type=submit>Go</button></form>\n"
    "<nav><ul class=nav>\n<li class=active><a href=/home>Home</a>\n<li><a href=/tents>Tents</a>\n"
    "<li><a href=/packs>Packs</a>\n<li><a href=/stoves>Stoves</a>\n<li><A HREF=/sale>Sale</A>\n</ul></nav>\n"
    "</div>\n";
// The elements that HEAD opens: html, head, 2 meta, title, 2 link, style, script, body, div, a,
// img, form, 2 input, button, nav, ul, 5 li, 5 a.
constexpr int64_t HEAD_START_TAGS = 29;

const char* const FOOT = "<div id=footer><p>&copy; 2024 Northwind Outdoor<br>All rights reserved</div>\n"
                         "<script>if (window.gtag) gtag(\"event\", \"</body>\");</script>\n</body>\n</html>\n";
constexpr int64_t FOOT_START_TAGS = 4; // div, p, br, script

// Sentences of inline content, each with the number of start tags it holds.
struct Sentence {
  const char* text;
  int startTags;
};
const Sentence SENTENCES[] = {
    {"The caf&eacute; at the trail head serves <em>fresh</em> bread &mdash; baked <b>daily</b>. ", 2},
    {"Prices start at &euro;&nbsp;49 &amp; rise with the <span class=price>season</span>. ", 1},
    {"See <a href=\"/guide?topic=tents&amp;page=2\" title=\"Tent guide\">our guide</a> for details. ", 1},
    {"It&#8217;s light, it&#8217;s dry and it packs down small. ", 0},
    {"&copy; Northwind &mdash; all weights are measured without pegs. ", 0},
    {"Plain prose keeps the reader going through the paragraph without any markup at all. ", 0},
    {"<i>Tip:</i> pitch the fly first when it rains<br>and the inner stays dry. ", 2},
};
constexpr uint32_t SENTENCE_COUNT = sizeof SENTENCES / sizeof *SENTENCES;

const char* const FEATURES[] = {"Waterproof", "Two doors", "Freestanding", "Vestibule", "Mesh inner", "Ultralight"};

} // namespace htmlgen

// Articles, each a div with a heading, open paragraphs, a feature list with open items, a table
// of open rows and cells, an inline script and a comment, until the page has `size` bytes.
inline HtmlPage htmlDocument(size_t size = HTML_DOCUMENT_SIZE) {
  using namespace htmlgen;
  Random random;
  HtmlPage page;
  page.text = HEAD;
  page.startTags = HEAD_START_TAGS + FOOT_START_TAGS;
  auto paragraph = [&](const char* tag) {
    page.text += tag;
    ++page.startTags;
    for (uint32_t n = 2 + random.below(5); n > 0; --n) {
      const Sentence& sentence = SENTENCES[random.below(SENTENCE_COUNT)];
      page.text += sentence.text;
      page.startTags += sentence.startTags;
    }
    page.text += '\n';
  };
  for (unsigned article = 1; page.text.size() < size; ++article) {
    const std::string n = std::to_string(article);
    const bool upper = random.below(4) == 0;
    page.text += "<div class=article id=a" + n + ">\n" + (upper ? "<H2 class=title>" : "<h2 class=title>") +
                 "Trail tent " + n + (upper ? "</H2>\n" : "</h2>\n");
    page.startTags += 2;
    paragraph("<p class=lead>");
    for (uint32_t more = random.below(3); more > 0; --more)
      paragraph(random.below(3) == 0 ? "<P>" : "<p>");
    page.text += "<img src=/img/t" + n + ".jpg alt=\"\" width=64 height=64>\n<ul class=features>";
    page.startTags += 2;
    for (uint32_t items = 2 + random.below(3), first = random.below(6); items > 0; --items) {
      page.text += std::string("<li>") + FEATURES[(first + items) % 6];
      ++page.startTags;
    }
    page.text += "</ul>\n<table class=specs>\n<tr><th>Model<th>Weight<th>Price\n";
    page.startTags += 5;
    for (uint32_t rows = 1 + random.below(3); rows > 0; --rows) {
      const char* cell = random.below(5) == 0 ? "<TD>" : "<td>";
      page.text += std::string("<tr>") + cell + "Trail " + n + '.' + std::to_string(rows) + cell + "1." +
                   std::to_string(random.below(10)) + " kg" + cell + "&euro;&nbsp;" +
                   std::to_string(99 + random.below(400)) + '\n';
      page.startTags += 4;
    }
    page.text += "</table>\n<script>track(\"a" + n + "\", \"</span>\"); if (i < " + n +
                 ") next(\"<b>\");</script>\n<!-- /article " + n + " -->\n" +
                 "<div class=links><a href=\"/p/" + n + "?ref=list&amp;page=2\" class=more>More&hellip;</a> | " +
                 "<a href=/p/" + n + "/reviews>Reviews</a></div>\n</div>\n";
    page.startTags += 4;
  }
  page.text += FOOT;
  return page;
}

// The page of HTML_DOCUMENT_SIZE, made on first use.
inline const HtmlPage& htmlPage() {
  static const HtmlPage page = htmlDocument();
  return page;
}

} // namespace benchdocs
