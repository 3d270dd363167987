// ekcommon xml: the library's pull parser and documents on the command line. "events" prints
// every event the parser reports, one line each, to inspect or compare how a document is read;
// "check" reads documents to their end and lists their warnings and errors in the FILE:LINE:COLUMN
// form that editors and build logs understand; "root" names each document's root element the way
// a host decides what kind of input it has; "format" and "xinclude" load a document into a tree
// and write it back as the library saves it. events, check and format read with the native parser,
// forced into HTML syntax with --html, or with the libxml2-backed parser with --platform, to
// compare how the two read a document.
#include "Tool.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "xml";

// Indexed by EKXmlParser::EventType.
const char* const EVENT_NAMES[] = {"START_DOCUMENT",       "END_DOCUMENT", "START_TAG",   "END_TAG",
                                   "TEXT",                 "CDSECT",       "ENTITY_REF",  "IGNORABLE_WHITESPACE",
                                   "PROCESSING_INSTRUCTION", "COMMENT",    "DOCDECL"};

struct Options {
  bool tokens = false;
  bool platform = false; // the libxml2-backed parser instead of the native one
  bool html = false;     // the native parser in HTML syntax whatever the input looks like
  std::string encoding; // format: the output encoding
  std::vector<int> features;
  std::vector<std::string> operands;
};

// Reads --feature N (every action), --tokens (events only), --encoding NAME (format only) and
// --platform or --html (events, check and format); '-' is an operand.
bool parseOptions(const std::vector<std::string>& args, bool allowTokens, bool allowEncoding, bool allowParser,
                  Options& options) {
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsDone || arg == "-" || arg.empty() || arg[0] != '-') {
      options.operands.push_back(arg);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--tokens" && allowTokens) {
      options.tokens = true;
    } else if ((arg == "--platform" || arg == "--html") && allowParser) {
      (arg == "--html" ? options.html : options.platform) = true;
      if (options.html && options.platform) {
        usageError(COMMAND, "--platform and --html exclude each other");
        return false;
      }
      if (options.platform && !EKCOMMON_WITH_LIBXML2) {
        usageError(COMMAND, "--platform needs the library built with libxml2");
        return false;
      }
    } else if (arg == "--encoding" && allowEncoding) {
      if (i + 1 >= args.size()) {
        usageError(COMMAND, "--encoding takes an encoding name");
        return false;
      }
      options.encoding = args[++i];
    } else if (arg == "--feature") {
      const std::string value = i + 1 < args.size() ? args[++i] : std::string();
      char* end = nullptr;
      const long feature = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || feature < 0 || feature >= EKXmlParser::FEATURE_COUNT) {
        usageError(COMMAND, "--feature takes a number from 0 to 10");
        return false;
      }
      options.features.push_back(static_cast<int>(feature));
    } else {
      usageError(COMMAND, "unknown option '" + arg + "'");
      return false;
    }
  }
  return true;
}

// The text as UTF-8 with backslash, the double quote and every control character escaped, so
// that one event or message always stays on one line.
std::string escape(const UnicodeString& text) {
  std::string out;
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
    const UChar32 c = text.char32At(i);
    switch (c) {
    case '\n': out += "\\n"; break;
    case '\t': out += "\\t"; break;
    case '\r': out += "\\r"; break;
    case '\\': out += "\\\\"; break;
    case '"': out += "\\\""; break;
    default:
      if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
        char code[8];
        std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
        out += code;
      } else {
        out += toUtf8(UnicodeString(c));
      }
    }
  }
  return out;
}

std::string quoted(const UnicodeString& text) { return '"' + escape(text) + '"'; }

// prefix:name{namespace}, or name{namespace} without a prefix.
std::string qualifiedName(EKName prefix, EKName localName, EKName namespaceUri) {
  std::string out;
  if (!prefix.isEmpty())
    out = escape(prefix.toString()) + ':';
  return out + escape(localName.toString()) + '{' + escape(namespaceUri.toString()) + '}';
}

// Without an error callback the parser appends a line feed and its position description
// ("START_TAG, 'a.xml', Line 3, Col 7.") to the message; the diagnostic line gives the position
// itself, so that tail is cut.
UnicodeString withoutPositionDescription(const UnicodeString& message) {
  const int32_t lineFeed = message.lastIndexOf(u'\n');
  if (lineFeed < 0 || !message.endsWith(u"."))
    return message;
  for (const char* event : EVENT_NAMES) {
    const UnicodeString name = fromUtf8(event);
    const int32_t after = lineFeed + 1 + name.length();
    if (message.compare(lineFeed + 1, name.length(), name) == 0 && after < message.length() &&
        (message[after] == u',' || message[after] == u'.'))
      return UnicodeString(message, 0, lineFeed);
  }
  return message;
}

} // namespace

void printDiagnostic(std::ostream& out, const std::string& file, const EKError& error, int line, int column) {
  std::cout.flush(); // events and diagnostics keep their order when both streams go to one place
  out << file;
  if (line > 0)
    out << ':' << line << ':' << column;
  const bool fatal = getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL;
  out << ": " << (fatal ? "error " : "warning ") << error.getErrorCode() << ": "
      << escape(withoutPositionDescription(error.getRawMessage())) << '\n';
}

void reportDiagnostic(const EKError& error, void* userData) {
  DiagnosticReport& report = *static_cast<DiagnosticReport*>(userData);
  printDiagnostic(*report.out, *report.file, error, error.getLineNumber(), error.getColumnNumber());
  if (getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL)
    report.fatal = true;
}

namespace {

// A thrown or queued error carries line -1 when its position went into the message; the
// parser still stands where the error was found.
void printParserDiagnostic(std::ostream& out, const std::string& file, const EKError& error,
                           const EKXmlParser& parser) {
  if (error.getLineNumber() > 0)
    printDiagnostic(out, file, error, error.getLineNumber(), error.getColumnNumber());
  else
    printDiagnostic(out, file, error, parser.getLineNumber(), parser.getColumnNumber());
}

// The parser the options ask for, with their features on.
EKPtr<EKXmlParser> createParser(const Options& options) {
  EKPtr<EKXmlParser> parser;
#if EKCOMMON_WITH_LIBXML2
  if (options.platform)
    parser = EKMSXmlParser::create().get();
#endif
  if (!parser)
    parser = EKXmlParser::createXmlParser();
  if (options.html)
    parser->setParserType(EKN_html, EKN_html);
  for (int feature : options.features)
    parser->setFeature(static_cast<EKXmlParser::Feature>(feature), true);
  return parser;
}

// A parser over one operand: standard input for "-", whose bytes it keeps for the parse, else a
// path or URI that the parser opens (and resolves DTDs and entities against).
class Input {
public:
  // False, with the diagnostic printed to `diagnostics`, when the operand cannot be opened.
  bool open(const std::string& operand, const Options& options, std::ostream& diagnostics) {
    parser = createParser(options);
    try {
      if (operand == "-") {
        m_stdinBytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        m_stdinStream = std::make_unique<EKStrStream>(m_stdinBytes.data(), m_stdinBytes.size());
        parser->setInput(*m_stdinStream, UnicodeString(), UnicodeString());
      } else {
        parser->setInput(fromUtf8(operand), UnicodeString(), UnicodeString());
      }
    } catch (const EKError& error) {
      // The libxml2-backed parser reads the whole document here: its parse errors stand where
      // the parser stopped. An input that cannot be opened has no position.
      if (options.platform)
        printParserDiagnostic(diagnostics, operand, error, *parser);
      else
        printDiagnostic(diagnostics, operand, error, error.getLineNumber(), error.getColumnNumber());
      return false;
    }
    return true;
  }

  EKPtr<EKXmlParser> parser;

private:
  std::string m_stdinBytes;
  std::unique_ptr<std::istream> m_stdinStream;
};

// One event line: EVENT DEPTH LINE:COLUMN and what the event carries.
std::string describeEvent(EKXmlParser& parser, EKXmlParser::EventType event) {
  std::ostringstream line;
  line << EVENT_NAMES[event] << ' ' << parser.getDepth() << ' ' << parser.getLineNumber() << ':'
       << parser.getColumnNumber();
  switch (event) {
  case EKXmlParser::START_TAG:
    line << ' ' << qualifiedName(parser.getPrefix(), parser.getName(), parser.getNamespace());
    for (int i = 0; i < parser.getAttributeCount(); ++i)
      line << ' '
           << qualifiedName(parser.getAttributePrefix(i), parser.getAttributeName(i), parser.getAttributeNamespace(i))
           << '=' << quoted(parser.getAttributeValue(i));
    if (parser.isEmptyElementTag())
      line << " /";
    break;
  case EKXmlParser::END_TAG:
    line << ' ' << qualifiedName(parser.getPrefix(), parser.getName(), parser.getNamespace());
    break;
  case EKXmlParser::PROCESSING_INSTRUCTION:
    line << ' ' << escape(parser.getTarget().toString()) << ' ' << quoted(parser.getText());
    break;
  case EKXmlParser::ENTITY_REF: {
    line << ' ' << escape(parser.getName().toString());
    const UnicodeString text = parser.getText();
    if (!text.isBogus()) // an undefined entity has no replacement text at all
      line << ' ' << quoted(text);
    break;
  }
  case EKXmlParser::TEXT:
  case EKXmlParser::CDSECT:
  case EKXmlParser::IGNORABLE_WHITESPACE:
  case EKXmlParser::COMMENT:
  case EKXmlParser::DOCDECL:
    line << ' ' << quoted(parser.getText());
    break;
  case EKXmlParser::START_DOCUMENT:
  case EKXmlParser::END_DOCUMENT:
    break;
  }
  return line.str();
}

void collectDiagnostic(const EKError& error, void* userData) {
  static_cast<std::vector<EKError>*>(userData)->push_back(error);
}

// Without an error callback, fatal errors are thrown with their own code and warnings wait in the
// parser's queue. Once the input reads as HTML a callback collects the reports instead, so that
// HTML's repairs stay warnings. Either way they are printed after the event during which they
// arose.
int events(const Options& options) {
  if (options.operands.size() != 1)
    return usageError(COMMAND, "events takes one FILE or URI");
  const std::string& file = options.operands[0];
  Input input;
  if (!input.open(file, options, std::cerr))
    return EXIT_INPUT_ERROR;
  EKXmlParser* const parser = input.parser.get();
  std::vector<EKError> reports;
  if (parser->isHTMLSyntax())
    parser->setCallbackError(collectDiagnostic, &reports);
  const auto printReports = [&] {
    EKError queued;
    while (parser->popError(queued))
      reports.push_back(queued);
    for (const EKError& report : reports)
      printParserDiagnostic(std::cerr, file, report, *parser);
    reports.clear();
  };
  try {
    EKXmlParser::EventType event = parser->getEventType();
    std::cout << describeEvent(*parser, event) << '\n';
    while (event != EKXmlParser::END_DOCUMENT) {
      event = options.tokens ? parser->nextToken() : parser->next();
      std::cout << describeEvent(*parser, event) << '\n';
      printReports();
      if (event == EKXmlParser::START_TAG && parser->getDepth() == 1 && parser->isHTMLSyntax())
        parser->setCallbackError(collectDiagnostic, &reports);
    }
  } catch (const EKError& error) {
    // After a fatal report the parser unwinds with 128, which says nothing more.
    const bool reported =
        error.getErrorCode() == EKERR_PARSER_FATAL && !reports.empty() &&
        getErrorLevel(reports.back().getErrorCode()) == EKERROR_LEVEL_FATAL;
    if (!reported)
      reports.push_back(error);
    printReports();
    return EXIT_INPUT_ERROR;
  }
  return EXIT_OK;
}

// With an error callback, which receives every report with its real position; after a fatal
// one the parser throws error 128 only to unwind, which needs no second line.
bool checkOne(const std::string& file, const Options& options) {
  DiagnosticReport report{&std::cout, &file, false};
  Input input;
  if (!input.open(file, options, std::cout))
    return false;
  EKXmlParser* const parser = input.parser.get();
  parser->setCallbackError(reportDiagnostic, &report);
  try {
    while (parser->next() != EKXmlParser::END_DOCUMENT) {
    }
  } catch (const EKError& error) {
    if (!report.fatal)
      printParserDiagnostic(std::cout, file, error, *parser);
    return false;
  }
  return true;
}

int check(const Options& options) {
  if (options.operands.empty())
    return usageError(COMMAND, "check takes at least one FILE or URI");
  int status = EXIT_OK;
  for (const std::string& file : options.operands)
    if (!checkOne(file, options))
      status = EXIT_INPUT_ERROR;
  return status;
}

// Loads the operand into a document (inclusions resolved) and writes it to standard output in
// the requested encoding; an error goes to standard error and gives status 1. For "xinclude" a
// note on standard error tells when the document included nothing.
int format(const Options& options, bool xinclude) {
  if (options.operands.size() != 1)
    return usageError(COMMAND, "format and xinclude take one FILE or URI");
  const std::string& file = options.operands[0];
  EKPtr<EKDocument> document(new EKDocument());
  const EKPtr<EKXmlParser> parser = createParser(options);
  document->setParser(parser.get());
  std::ostringstream out;
  try {
    if (file == "-") {
      const std::string bytes(std::istreambuf_iterator<char>(std::cin), {});
      EKStrStream in(bytes.data(), bytes.size());
      document->load(in, nullptr, UnicodeString());
    } else {
      document->load(fromUtf8(file));
    }
    document->save(out, nullptr, fromUtf8(options.encoding));
  } catch (const EKError& error) {
    printParserDiagnostic(std::cerr, file, error, *parser);
    return EXIT_INPUT_ERROR;
  }
  std::cout << out.str() << '\n';
  if (xinclude && !document->hasXInclude())
    std::cerr << file << ": no XInclude element\n";
  return EXIT_OK;
}

// Names outside the built-in vocabulary (most namespaces) live only while the shared name table
// is held; the look-ahead's parser is gone when its answer is printed.
struct NameTableHold {
  NameTableHold() { EKNameTable::addRefSharedNameTable(); }
  ~NameTableHold() { EKNameTable::releaseSharedNameTable(); }
  NameTableHold(const NameTableHold&) = delete;
  NameTableHold& operator=(const NameTableHold&) = delete;
};

// The root element of each input as {namespace}local, or local without a namespace.
int root(const Options& options) {
  if (options.operands.empty())
    return usageError(COMMAND, "root takes at least one FILE or URI");
  const NameTableHold names;
  int status = EXIT_OK;
  for (const std::string& file : options.operands) {
    EKName localName;
    EKName namespaceUri;
    try {
      if (file == "-")
        namespaceUri = EKXmlUtil::getRootName(localName, std::cin, nullptr, UnicodeString(), UnicodeString());
      else
        namespaceUri = EKXmlUtil::getRootName(localName, fromUtf8(file), UnicodeString());
    } catch (const EKError& error) {
      printDiagnostic(std::cerr, file, error, error.getLineNumber(), error.getColumnNumber());
      status = EXIT_INPUT_ERROR;
      continue;
    }
    if (localName.isEmpty()) {
      std::cerr << file << ": no root element\n";
      status = EXIT_INPUT_ERROR;
      continue;
    }
    if (!namespaceUri.isEmpty())
      std::cout << '{' << escape(namespaceUri.toString()) << '}';
    std::cout << escape(localName.toString()) << '\n';
  }
  return status;
}

} // namespace

int runXml(const std::vector<std::string>& args) {
  if (args.empty())
    return usageError(COMMAND, "missing action (events, check, root, format or xinclude)");
  const std::string action = args.front();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  Options options;
  if (action == "events")
    return parseOptions(rest, true, false, true, options) ? events(options) : EXIT_USAGE;
  if (action == "check")
    return parseOptions(rest, false, false, true, options) ? check(options) : EXIT_USAGE;
  if (action == "format")
    return parseOptions(rest, false, true, true, options) ? format(options, false) : EXIT_USAGE;
  if (action == "xinclude")
    return parseOptions(rest, false, false, false, options) ? format(options, true) : EXIT_USAGE;
  if (action == "root")
    return splitOperands(COMMAND, rest, options.operands) ? root(options) : EXIT_USAGE;
  return usageError(COMMAND, "unknown action '" + action + "'");
}

} // namespace EKTool
