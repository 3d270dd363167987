// ekcommon demo: the library's typical road on a sample embedded in the tool, so that it runs on
// a fresh machine with no files at hand.
#include "Tool.h"

#include <iostream>
#include <sstream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

// The element and attribute names of a small XSL-FO fragment, as a formatter meets them.
const char* const SAMPLE_NAMES[] = {"fo:root", "block", "font-size", "inherit", "margin-top",
                                    "my-private-attribute", "block", "my-private-attribute"};

void showNames() {
  std::cout << "== Names: strings interned as numbers ==\n";
  for (const char* text : SAMPLE_NAMES) {
    const EKName name(fromUtf8(text));
    std::cout << "  " << text << " -> " << static_cast<EKNameEnum>(name)
              << (name.isBuiltin() ? " (built-in)" : " (run-time)")
              << (EKName::isInheritEtc(name) ? ", a CSS-wide keyword" : "") << '\n';
  }
  const EKName upper(fromUtf8("Font-Size"));
  std::cout << "  Font-Size lower-cases to " << toUtf8(upper.lowerName().toString()) << " = "
            << static_cast<EKNameEnum>(upper.lowerName()) << '\n';
  std::cout << "  generated id: " << toUtf8(EKName::generateID(fromUtf8("fo")).toString()) << '\n';
  std::cout << "  name 1 is " << toUtf8(EKName(static_cast<EKNameEnum>(1)).toString()) << ", name "
            << EKN_BUILTIN_LAST << " is " << toUtf8(EKName(EKN_BUILTIN_LAST).toString()) << '\n';
}

void showObjects() {
  std::cout << "== Objects: reference counts and type identity ==\n";
  EKPtr<EKNameTable> table = EKNameTable::getSharedNameTable();
  std::cout << "  the shared name table is an " << toUtf8(table->getTypeName()) << " (type ID 0x"
            << std::hex << std::uppercase << table->getTypeID() << std::dec << "), held "
            << table->getRefCount() << " time(s); isA(EKRCObject) = " << std::boolalpha
            << table->isA(EKRCObject::getStaticTypeID()) << '\n';
  std::cout << "  run-time names so far: " << table->getNameLast() - EKN_BUILTIN_LAST << '\n';
  table = nullptr;
}

// A digest to check a downloaded resource against, and the kind of identifier that names a
// temporary directory.
void showCrypto() {
  std::cout << "== Digests and UUIDs ==\n";
  const std::string sample = "<fo:block font-size=\"12pt\">Hello</fo:block>";
  SHA256_CTX sha256;
  sha256.Update(reinterpret_cast<const unsigned char*>(sample.data()), sample.size());
  unsigned char digest[SHA256_CTX::DIGEST_LENGTH];
  sha256.Final(digest);
  std::cout << "  SHA-256 of " << sample << ":\n    ";
  for (unsigned char byte : digest)
    std::cout << "0123456789abcdef"[byte >> 4] << "0123456789abcdef"[byte & 15];
  std::cout << '\n';
  std::cout << "  a new UUID: " << toUtf8(EKUUID().toString(true)) << '\n';
}

// A document written on Windows refers to its images and style sheets in several ways; each
// resolves against the document's own URI. Errors report where they happened.
void showUris() {
  std::cout << "== URIs and errors ==\n";
  const EKUri document(fromUtf8("C:\\Books\\My Book\\chapter1.fo"));
  std::cout << "  document " << toUtf8(document.toString()) << '\n';
  for (const char* ref : {"images/figure 1.png", "../shared/style.css", "url('cover.jpg')", "#toc",
                          "http://example.org/logo.svg"}) {
    const EKUri resolved(document, fromUtf8(ref), EKUri::URISTR_WINPATH);
    std::cout << "  " << ref << " -> " << toUtf8(resolved.toString()) << '\n';
  }
  const EKUri image(document, fromUtf8("images/figure 1.png"));
  std::cout << "  local path " << toUtf8(image.getLocalPath()) << ", relative to the document "
            << toUtf8(image.getRelativeUri(document.toString())) << '\n';
  const EKError error(0x301, fromUtf8("Unknown property 'font-sise'."), UnicodeString(), 12, 5, document.toString());
  std::cout << "  error " << error.getErrorCode() << ": " << toUtf8(error.getRawMessage()) << " ("
            << toUtf8(error.getPositionDescription()) << ")\n";
  EKUnicodeRange range;
  const char* ranges = "U+0-7F, U+80-FF, U+3000-30FF, '\xE2\x86\x92'";
  range.parseUnicodeRange(fromUtf8(ranges));
  std::cout << "  unicode-range " << ranges << " is " << toUtf8(range.toString()) << '\n';
}

void showText() {
  std::cout << "== Text: quoting, numbers, encodings, characters ==\n";
  const UnicodeString sample = fromUtf8("say \"hi\"\n1");
  const auto cssMode = static_cast<EKUtil::QuoteMode>(43);
  const UnicodeString quoted = EKUtil::quoteString(sample, cssMode);
  std::cout << "  CSS-quoted: " << toUtf8(quoted) << " -> reads back "
            << (EKUtil::unquoteString(quoted, cssMode) == sample ? "unchanged" : "CHANGED") << '\n';
  UnicodeString number = fromUtf8("  -1.5em");
  const char16_t* end = nullptr;
  bool point = false;
  const double value = EKUtil::parseNumber(number.getTerminatedBuffer(), &end, &point, nullptr);
  std::cout << "  number in \"  -1.5em\": " << toUtf8(EKUtil::toString(value)) << ", unit text \""
            << toUtf8(UnicodeString(end)) << "\"\n";
  for (const char* name : {"latin-1", "shift-jis", "windows-1252"})
    std::cout << "  encoding " << name << ": standard "
              << toUtf8(EKUtil::getStandardEncoding(fromUtf8(name))) << ", canonical "
              << toUtf8(EKUtil::getCanonicalEncoding(fromUtf8(name))) << '\n';
  const UnicodeString kana = fromUtf8("\xE3\x81\x81\xEF\xBD\xB1\xE3\x80\x8C");
  static const char* const orientations[] = {"upright", "rotated", "a vertical form, else upright",
                                             "a vertical form, else rotated"};
  for (int32_t i = 0; i < kana.length(); ++i) {
    const int c = kana[i];
    std::cout << "  " << toUtf8(UnicodeString(c)) << (EKChar::isZenkaku(c) ? " zenkaku" : " hankaku")
              << (EKChar::isNonStarterJIS(c) ? ", may not start a line" : "")
              << (EKChar::isOpenParenEtc(c) ? ", opening bracket" : "")
              << "; vertical text: " << orientations[EKChar::getTR50VO(c, nullptr)] << '\n';
  }
}

// List and page numbers as a formatter writes them: in counter styles of several scripts, as
// XSL format tokens ask, and in kanji numerals; then the script that decides a text.
void showCounters() {
  std::cout << "== Counters, languages and scripts ==\n";
  for (const char* name : {"decimal", "lower-roman", "upper-alpha", "hebrew", "japanese-formal",
                           "cjk-ideographic", "ethiopic-numeric"}) {
    const EKUtil::CounterStyle* style = EKUtil::getPredefinedCounterStyle(EKName(fromUtf8(name)), nullptr);
    std::cout << "  " << name << ":";
    for (int64_t n : {1, 4, 12, 1999})
      std::cout << (n > 1 ? ", " : " ") << toUtf8(style->formatNumber(n, EKUtil::getPredefinedCounterStyle, nullptr, true));
    std::cout << '\n';
  }
  for (const char* format : {"(1)", "001", "i.", "a)"})
    std::cout << "  format " << format << ": " << toUtf8(EKUtil::formatNumber(14, fromUtf8(format), EKLang())) << '\n';
  std::cout << "  1234567 grouped: "
            << toUtf8(EKUtil::formatNumber(1234567, fromUtf8("1"), fromUtf8(","), 3, EKLang(), EKN_EMPTY)) << '\n';
  std::cout << "  kansuji 20251206: "
            << toUtf8(EKUtil::convertKansuji(20251206, EKName(EKN_readable), EKName(EKN_kanji), UnicodeString(),
                                             UnicodeString()))
            << '\n';
  for (const char* tag : {"ja", "zh-TW", "sr"}) {
    const EKLang lang(fromUtf8(tag));
    std::cout << "  language " << tag << ": " << toUtf8(lang.toISO3String()) << ", LCID " << lang.getLCID()
              << ", script " << toUtf8(lang.toScript().toString()) << '\n';
  }
  const char* text = "Chapter \xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0";
  const EKScript script = EKScript::getScriptFromText(fromUtf8(text), false);
  std::cout << "  script of \"" << text << "\": " << toUtf8(script.getScriptName())
            << (script.isCJK() ? " (CJK)" : "") << '\n';
}

void showValues() {
  std::cout << "== Values: lengths, arithmetic across units, colours ==\n";
  for (EKUnitType unit : {UNIT_IN, UNIT_CM, UNIT_PC, UNIT_Q}) {
    const EKLength length(1.0f, unit);
    std::cout << "  1" << toUtf8(EKValue::getUnitString(unit)) << " = " << float(length) << "pt = "
              << length.getRealValue(UNIT_MM) << "mm = " << length.getPixelCount(96) << "px at 96dpi\n";
  }
  EKTokenizer reader(fromUtf8("1cm 1in 2pt 3pt 50% 10pt 1em 1pt 1.5s 250ms"), EKTokenizer::CSS);
  for (const char* op : {"+", "*", "*", "+", "-"}) {
    const EKValue a = reader.nextTokenValueSigned(), b = reader.nextTokenValueSigned();
    const EKValue r = *op == '+' ? a + b : *op == '-' ? a - b : a * b;
    std::cout << "  " << toUtf8(a.toString()) << ' ' << op << ' ' << toUtf8(b.toString()) << " = "
              << (r.isNull() ? std::string("(no common unit)") : toUtf8(r.toString()))
              << (r.getUnitType() == UNIT_PT2 ? " square points" : "") << '\n';
  }
  EKColor hsl;
  hsl.setHSL(30, 1, 0.5f, false);
  const EKColor colors[] = {EKColor(EKName(fromUtf8("Orange"))), hsl, EKColor::rgb2cmyk(hsl.getRGB()),
                            EKColor::rgb2gray(hsl.getRGB()), EKColor(hsl, fromUtf8("Orange Ink"), 0.4f)};
  for (const EKColor& c : colors)
    std::cout << "  " << toUtf8(c.toString(false, false, false)) << "  (CSS "
              << toUtf8(c.toString(true, false, false)) << ", sRGB " << toUtf8(c.toString(false, false, true))
              << ")\n";
}

// Attribute and property text as the value parser reads it: colours in every notation, brace
// compounds and the parameters of a link target.
void showParser() {
  std::cout << "== Value parser: colours, compounds, link targets ==\n";
  for (const char* text : {"#FF8000", "orange", "rgb(255 128 0)", "rgba(255,128,0,0.5)", "hsl(30,100%,50%)",
                           "cmyk(0,0.5,1,0)", "rgb-icc(255,128,0,#CMYK,0,0.5,1,0)",
                           "rgb-icc(255,128,0,#SEPARATION,\"Orange Ink\",0.4)", "system-color(highlight)"}) {
    const EKColor color = EKParser::parseColor(fromUtf8(text), true, nullptr).getColorValue(true);
    std::cout << "  " << text << " -> sRGB " << toUtf8(color.toString(false, true, true)) << '\n';
  }
  const EKValue compound = EKParser::parseCompound(fromUtf8("{ width: 210mm; height: 297mm; .: a4 }"), EKTokenizer::GENERIC);
  std::cout << "  compound " << toUtf8(compound.toString()) << ", width "
            << toUtf8(compound.getNamedItem(EKN_width).toString()) << " = "
            << float(compound.getNamedItem(EKN_width).getLengthValue()) << "pt\n";
  const EKValue link = EKParser::parsePDFOpenParameters(fromUtf8("manual.pdf#page=12&view=FitH,100"), false);
  std::cout << "  link manual.pdf#page=12&view=FitH,100 -> " << toUtf8(link.toString()) << '\n';
}

void showArchives() {
  std::cout << "== Streams, gzip and ZIP in memory ==\n";
  EKMemStream packed;
  {
    EKGzipOStream gzip(packed);
    for (int i = 0; i < 200; ++i)
      gzip << "<fo:block>line " << i << "</fo:block>\n";
  }
  std::cout << "  gzip of 200 lines: " << packed.length() << " bytes, gzip? " << std::boolalpha
            << EKUri::isGzip(packed) << '\n';
  EKMemStream archive;
  {
    EKZipArchive zip;
    std::istringstream page("<fo:root/>"), style("fo:block { margin: 0 }");
    zip.open(archive);
    zip.append(page, fromUtf8("content/page.fo"));
    zip.append(style, fromUtf8("content/style.css"));
    zip.close();
  }
  archive.begin();
  EKZipFile reader;
  reader.open(&archive, false);
  for (unsigned i = 0; i < reader.getFileEntryCount(); ++i) {
    EKPtr<EKZipFileEntry> entry = reader.getFileEntry(i);
    std::istream* in = entry->getUncompressedStream(false);
    std::cout << "  zip entry " << toUtf8(entry->getName()) << ": " << in->rdbuf() << '\n';
  }
}

std::string qualifiedName(EKName prefix, EKName localName) {
  return prefix.isEmpty() ? toUtf8(localName.toString()) : toUtf8(prefix.toString()) + ':' + toUtf8(localName.toString());
}

// An XSL-FO fragment read by the pull parser as a formatter reads its input: elements with their
// namespaces and attributes, the text with its references expanded, then a malformed fragment.
void showXml() {
  std::cout << "== XML: the pull parser ==\n";
  const std::string sample = "<?xml version=\"1.0\"?>\n"
                             "<!DOCTYPE fo:root [<!ENTITY product \"ekcommon\">]>\n"
                             "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\">\n"
                             "  <fo:block font-size=\"12pt\" xml:lang=\"fr\">&product; &#x2014; caf&#233;"
                             "<![CDATA[ <raw> ]]></fo:block>\n"
                             "  <!-- skipped by next() -->\n"
                             "</fo:root>\n";
  EKStrStream in(sample.data(), sample.size());
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setInput(in, UnicodeString(), UnicodeString());
  int events = 0;
  for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next(), ++events) {
    if (event == EKXmlParser::START_TAG) {
      std::cout << "  line " << parser->getLineNumber() << ", depth " << parser->getDepth() << ": element "
                << qualifiedName(parser->getPrefix(), parser->getName()) << " in "
                << toUtf8(parser->getNamespace().toString());
      for (int i = 0; i < parser->getAttributeCount(); ++i)
        std::cout << (i ? ", " : " with ") << qualifiedName(parser->getAttributePrefix(i), parser->getAttributeName(i))
                  << "=\"" << toUtf8(parser->getAttributeValue(i)) << '"';
      std::cout << '\n';
    } else if (event == EKXmlParser::TEXT && !parser->isWhitespace()) {
      std::cout << "  line " << parser->getLineNumber() << ": text \"" << toUtf8(parser->getText()) << "\"\n";
    }
  }
  std::cout << "  " << events << " events before END_DOCUMENT\n";
  const std::string broken = "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\"><fo:block></fo:root>";
  EKStrStream brokenIn(broken.data(), broken.size());
  parser->setInput(brokenIn, UnicodeString(), UnicodeString());
  try {
    while (parser->next() != EKXmlParser::END_DOCUMENT) {
    }
  } catch (const EKError& error) {
    // The message ends with the parser's position description on a line of its own.
    UnicodeString message = error.getRawMessage();
    message.findAndReplace(u"\n", u"\n       ");
    std::cout << "  " << broken << "\n    -> error " << error.getErrorCode() << ": " << toUtf8(message) << '\n';
  }
}

// A small XSL-FO document loaded into a tree, walked as a formatter walks it, changed (a font
// size made larger) and saved.
void showDocument() {
  std::cout << "== Documents: load, walk, change, save ==\n";
  const UnicodeString sample(u"<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\">"
                             u"<fo:page-sequence master-reference=\"A4\"><fo:flow flow-name=\"xsl-region-body\">"
                             u"<fo:block font-size=\"12pt\">Hello</fo:block><fo:block>World</fo:block>"
                             u"</fo:flow></fo:page-sequence></fo:root>");
  EKPtr<EKDocument> document(new EKDocument());
  document->loadXml(sample);
  EKTreeIterator it(document->getDocumentElement(), EKTreeIterator::PRE_ORDER);
  while (EKNode* node = it.nextNode()) {
    std::cout << std::string(2 * static_cast<size_t>(node->getNodeDepth()), ' ');
    if (node->isElementNode())
      std::cout << toUtf8(node->getNodeName().toString()) << '\n';
    else
      std::cout << '"' << toUtf8(node->getText()) << "\"\n";
  }
  EKPtr<EKNodeList> blocks = document->getElementsByTagName(EKName(UnicodeString(u"block")));
  EKElement* first = ekCast<EKElement>(blocks->item(0));
  const EKName fontSize(UnicodeString(u"font-size"));
  // The loader stores attribute text; the value parser gives it a type and the tree keeps that.
  const EKValue size = EKParser::parse(first->getAttribute(fontSize).toString(), EKTokenizer::GENERIC);
  const EKValue larger = size * EKValue(1.5f);
  first->setAttribute(fontSize, larger);
  std::cout << "  font-size of the first of " << blocks->getLength() << " blocks set to "
            << toUtf8(larger.toString()) << "; saved:\n  " << toUtf8(document->saveXml()) << '\n';
}

// How a host tells its inputs apart before it loads them, and how a catalog gives it a local copy
// of a resource that a document names by its public address. The catalog comes as a data: URI.
void showCatalogs() {
  std::cout << "== XML: root look-ahead and catalogs ==\n";
  const std::string inputs[] = {
      "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\"/>",
      "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\" "
      "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\" xsl:version=\"1.0\"/>",
  };
  for (const std::string& input : inputs) {
    EKStrStream in(input.data(), input.size());
    EKName localName;
    const EKName namespaceUri = EKXmlUtil::getXSLStylesheetNamespace(localName, in);
    std::cout << "  " << input << "\n    -> " << toUtf8(localName.toString()) << " in "
              << toUtf8(namespaceUri.toString()) << '\n';
  }
  EKPtr<EKXmlCatalogs> catalogs = EKXmlUtil::createXmlCatalogs();
  catalogs->loadCatalog(EKUri(fromUtf8("data:application/xml,"
                                       "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>"
                                       "<rewriteURI uriStartString='http://example.org/styles/' "
                                       "rewritePrefix='file:///usr/share/styles/'/></catalog>")));
  const EKUri mapped(fromUtf8("http://example.org/styles/report.css"), catalogs.get());
  std::cout << "  http://example.org/styles/report.css with the catalog: " << toUtf8(mapped.toString()) << '\n';
}

// A host styling its document: a sheet parsed into rules, applied to each element with its
// style attribute; the callback receives every winning value, shorthands already expanded.
unsigned short printProperty(EKElement* element, EKName property, EKValue value, int, const EKCssDeclaration*) {
  if (!value.isNull())
    std::cout << "  " << toUtf8(element->getLocalName().toString()) << ' ' << toUtf8(property.toString()) << ": "
              << toUtf8(value.toString()) << '\n';
  return 0;
}

bool screenOnly(const EKCssMediaQuery* query, void*) { return query->matchesType(EKName(UnicodeString(u"screen"))); }

void showCss() {
  std::cout << "== CSS: a style sheet applied to a document ==\n";
  const UnicodeString sheetText(u"@media print { p { color: black } }\n"
                                u"body { --accent: #c03 }\n"
                                u"p { margin: 4pt 0; color: gray }\n"
                                u"p.note, #intro { color: var(--accent) }\n");
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, screenOnly, nullptr);
  parser->setText(sheetText, EKName(), EKUri());
  parser->parseInto(sheet.get());
  EKPtr<EKDocument> document(new EKDocument());
  document->loadXml(UnicodeString(u"<body><p id=\"intro\">Hi</p><p class=\"note\" style=\"color: teal\">!</p></body>"));
  const EKName style(UnicodeString(u"style"));
  EKTreeIterator it(document->getDocumentElement(), EKTreeIterator::PRE_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (node->isElementNode())
      sheet->applyRules(static_cast<EKElement*>(node), printProperty, style);
  }
}

} // namespace

int runDemo(const std::vector<std::string>& args) {
  if (!args.empty())
    return usageError("demo", "takes no arguments");
  EKNameTable::addRefSharedNameTable();
  showNames();
  showObjects();
  showText();
  showCounters();
  showValues();
  showParser();
  showUris();
  showArchives();
  showXml();
  showCatalogs();
  showDocument();
  showCss();
  showCrypto();
  EKNameTable::releaseSharedNameTable();
  return EXIT_OK;
}

} // namespace EKTool
