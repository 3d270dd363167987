// ekcommon: the library's services on the command line. Each subcommand lives in its own file.
#include "Tool.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>

namespace EKTool {

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"name", "interned names: numbers of strings and strings of numbers",
       "usage: ekcommon name STRING...\n"
       "       ekcommon name --number N...\n"
       "Prints each string's name number, whether it is built in or run-time, and its string\n"
       "back; with --number, the string of each number (1-3206 are built in).\n",
       runName},
      {"digest", "MD5 and SHA digests of files, as the checksum tools print them",
       "usage: ekcommon digest --md5|--sha1|--sha256|--sha384|--sha512 [FILE|-]...\n"
       "Prints '<hex>  <name>' for each file ('-' or none: standard input), in the format\n"
       "that sha256sum -c and its siblings check. Unreadable files are reported on standard\n"
       "error and the others still hashed; the exit status is then 1.\n",
       runDigest},
      {"uuid", "new random (version 4) UUIDs",
       "usage: ekcommon uuid [--no-hyphens] [N]\n"
       "Prints N new UUIDs (default 1), one a line: the 16 bytes in memory order as upper-case\n"
       "hex, in 8-4-4-4-12 groups unless --no-hyphens is given.\n",
       runUuid},
      {"uri", "URIs normalised or resolved, with scheme, local path, file name and extension",
       "usage: ekcommon uri [--base BASE] [--relative-to BASE] REF...\n"
       "Prints each reference normalised (or resolved against BASE) with its scheme, local path,\n"
       "file name and extension; with --relative-to, also the reference relative to that base.\n"
       "References may be URIs, local or Windows paths, url(...) or quoted strings.\n",
       runUri},
      {"encoding", "spellings of encoding names, or the encoding of files",
       "usage: ekcommon encoding NAME...\n"
       "       ekcommon encoding --detect FILE...\n"
       "Prints each name with its standard (IANA) name and the canonical spelling that the XML\n"
       "parser reports, separated by tabs. Unknown names come back upper-cased and as given.\n"
       "With --detect, prints each FILE ('-': standard input), a tab and its encoding: the one\n"
       "its XML declaration names, else ICU's guess from its first 1024 bytes (empty when\n"
       "there is none). Unreadable files are reported on standard error; the exit status is then 1.\n",
       runEncoding},
      {"char", "the character classes of each code point of a text",
       "usage: ekcommon char TEXT...\n"
       "Prints one line per code point of each UTF-8 TEXT ('-' reads standard input): the code,\n"
       "the character, its general category (gc), East Asian width (ea), line break class (lb),\n"
       "XML name class (name-start, name-char, colon or -), zenkaku/hankaku width and\n"
       "vertical orientation (vo: U upright, R rotated, Tu/Tr a vertical form else U/R).\n"
       "Exit status 1 when a text is not valid UTF-8.\n",
       runChar},
      {"value", "the tokens of a property value and the values read from them",
       "usage: ekcommon value [--dialect NAME] [--] TEXT...\n"
       "Cuts each TEXT ('-' reads standard input) into tokens and prints them, one 'token' line\n"
       "each (number with its unit, name, string, rgb/rgba colour, char or end), then the values\n"
       "read from it, one 'value' line each: type, unit, printed form and, for colours, the\n"
       "colour space, the sRGB colour and the alpha; several values are also printed as a list.\n"
       "A 'parsed' line shows the whole text as the value parser reads it (lists, {key: value}\n"
       "compounds), and a 'color' line the colour when the text is one colour notation\n"
       "(rgb(), hsl(), cmyk(), rgb-icc(), a colour followed by icc-color(), ...).\n"
       "Dialects: generic (default), css, css-comments, css-strict-unit, mime, space-separated,\n"
       "simple-quotes. Put '--' before a text that begins with '-'.\n"
       "Exit status 1 when a text is not valid UTF-8.\n",
       runValue},
      {"fetch", "the bytes of a URI the library can open",
       "usage: ekcommon fetch [--info] [--referrer URI] [--insecure] [--base BASE] URI\n"
       "Writes the bytes of URI (resolved against BASE) to standard output: a local file, a\n"
       "jar: entry, a data: URI or an http/https resource. --info prints the final address\n"
       "and the content type, charset, language and length on standard error; --referrer\n"
       "sends a Referer; --insecure accepts any TLS certificate. Exit status 1, with the\n"
       "library's message, when the URI cannot be opened.\n",
       runFetch},
      {"zip", "lists, prints and creates ZIP archives",
       "usage: ekcommon zip list ARCHIVE\n"
       "       ekcommon zip cat ARCHIVE ENTRY\n"
       "       ekcommon zip create OUT FILE...\n"
       "list prints each entry's method, compressed and uncompressed size, CRC-32 and name; cat\n"
       "writes an entry's bytes to standard output; create writes a new archive OUT holding each\n"
       "regular FILE deflated, named as given without leading slashes. Entry names are only\n"
       "printed, never used as paths. Exit status 1 when an archive or file cannot be read.\n",
       runZip},
      {"gzip", "gzip compression and decompression to standard output",
       "usage: ekcommon gzip [-d] [FILE|-]\n"
       "Compresses FILE (or standard input) to gzip on standard output; with -d decompresses\n"
       "the first gzip member instead (data that is not gzip is copied unchanged).\n",
       runGzip},
      {"counter", "numbers as list and page numbers: counter styles, XSL format tokens, kansuji",
       "usage: ekcommon counter STYLE N...\n"
       "       ekcommon counter --list\n"
       "       ekcommon counter --format TOKEN [--grouping SEP SIZE] [--lang TAG]\n"
       "                        [--letter-value alphabetic|traditional] N...\n"
       "       ekcommon counter --kansuji simple|grouping|readable [--digits kanji|latin] N...\n"
       "Prints each whole number N, a tab and its representation in the predefined counter\n"
       "STYLE, then the whole marker with prefix and suffix in double quotes; out-of-range\n"
       "numbers show the style's fallback. --list prints every predefined style with its system\n"
       "and 1 to 10 in it. --format numbers as XSL does with a format such as 1, 01, a, I, (i)\n"
       "or \xE4\xB8\x80, digits grouped by SEP every SIZE digits. --kansuji writes kanji numerals;\n"
       "there N may have any number of digits. Exit status 1 when a number or style is bad.\n",
       runCounter},
      {"lang", "language tags: three-letter codes, LCID, name number and script",
       "usage: ekcommon lang TAG...\n"
       "Prints each tag with its two-letter form, full BCP 47 form, three-letter form, Windows\n"
       "LCID, the number of its three-letter code as a name and the script it is written in.\n"
       "'none' is the null language. Exit status 1 when a tag names no known language.\n",
       runLang},
      {"script", "the script that decides a text, with its layout classes",
       "usage: ekcommon script TEXT...\n"
       "Prints, for each UTF-8 TEXT ('-' reads standard input), the script that decides it, the\n"
       "script of its first letter of a script (first=), and the layout classes of the script:\n"
       "cjk, cjk-justify, hanging (baseline), latin-group, kana, ja, sc, tc.\n"
       "Exit status 1 when a text is not valid UTF-8.\n",
       runScript},
      {"xml", "the XML pull parser's events, well-formedness checks, root elements, and documents loaded and saved",
       "usage: ekcommon xml events [--tokens] [--platform|--html] [--feature N]... FILE|URI|-\n"
       "       ekcommon xml check [--platform|--html] [--feature N]... FILE|URI|-...\n"
       "       ekcommon xml root FILE|URI|-...\n"
       "       ekcommon xml format [--encoding NAME] [--platform|--html] [--feature N]... FILE|URI|-\n"
       "       ekcommon xml xinclude [--feature N]... FILE|URI|-\n"
       "events prints one line per parser event up to END_DOCUMENT:\n"
       "  EVENT DEPTH LINE:COLUMN [DETAILS]\n"
       "where DETAILS are, for START_TAG, the element as prefix:name{namespace} (name{namespace}\n"
       "without a prefix), each attribute as prefix:name{namespace}=\"value\" and ' /' for a tag\n"
       "written <x/>; for END_TAG the element; for TEXT, CDSECT, IGNORABLE_WHITESPACE, COMMENT and\n"
       "DOCDECL the quoted text; for PROCESSING_INSTRUCTION the target and the quoted text; for\n"
       "ENTITY_REF the name and the quoted replacement text (none for an undefined entity). In\n"
       "names, values and texts \\n, \\t, \\r, \\\\ and \\\" stand for line feed, tab, carriage\n"
       "return, backslash and double quote, and \\uXXXX for any other control character.\n"
       "events reads with next() (text coalesced; comments, DOCTYPE and processing instructions\n"
       "skipped), or with --tokens with nextToken() (every token). Warnings are printed on standard\n"
       "error after the event during which they arose; the error that ends the parse too, and the\n"
       "exit status is then 1. Without an error callback the parser treats undefined and looped\n"
       "entity references as fatal.\n"
       "check reads each input to its end and prints its warnings and its error, if any, as\n"
       "  FILE:LINE:COLUMN: warning|error CODE: MESSAGE\n"
       "on standard output (FILE as given; no position when the input cannot be opened). The exit\n"
       "status is 1 when any input is not well-formed or cannot be read.\n"
       "--feature N (0 to 10, repeatable) turns a parser feature on: 0 no external DTD, 2 unbound\n"
       "attribute prefixes allowed, 4 raw reading of unknown encodings, 5 built-in encodings only,\n"
       "6 no position descriptions, 7 no character check, 8 next() reports processing\n"
       "instructions, 9 external entities not read, 10 unbound element prefixes allowed (1 and 3\n"
       "are stored only). '-' reads standard input; URIs and paths resolve DTDs and entities\n"
       "against themselves.\n"
       "--html reads with the native parser in HTML syntax whatever the input looks like.\n"
       "--platform reads with the parser backed by libxml2 instead of the native one: it loads the\n"
       "whole document first, reports columns as -1, expands every reference before nextToken()\n"
       "sees it, stores only features 0 and 3, never reads the network, and reports a rejected\n"
       "document as error 115 with libxml2's reason.\n"
       "format loads the input into a document tree and prints it as the library saves it: UTF-8,\n"
       "or with --encoding US-ASCII or Shift_JIS (any other name gives UTF-8 without an encoding in\n"
       "the declaration); comments, the DOCTYPE and, unless feature 8 is on, processing\n"
       "instructions are not kept, entities are expanded and XInclude elements are replaced by\n"
       "what they include. xinclude prints the document the same way, to see its inclusions\n"
       "resolved, and notes on standard error when it has no XInclude element. An error that ends\n"
       "the load is printed on standard error as for events, with exit status 1.\n"
       "root prints one line per input: its root element as {namespace}local, or local when the\n"
       "element has no namespace, read with the look-ahead that hosts use to tell kinds of input\n"
       "apart: no external DTD or entity is read, unbound prefixes and unknown encodings are\n"
       "tolerated, nothing after the root's start tag is read. An input that cannot be read or\n"
       "has no root element prints nothing on standard output but the reason on standard error\n"
       "(FILE: error CODE: MESSAGE, or FILE: no root element); the exit status is then 1.\n",
       runXml},
      {"catalog", "URIs mapped through OASIS XML catalog files",
       "usage: ekcommon catalog --catalog FILE [--catalog FILE]... URI...\n"
       "Reads each catalog FILE (a path or URI; entries of later files come after those of\n"
       "earlier ones) and prints each URI as the catalogs map it, one a line: the first uri,\n"
       "rewriteURI or uriSuffix entry that applies decides; other entry kinds (system, public,\n"
       "delegates, nextCatalog) map nothing, and a URI no entry applies to is printed as given.\n"
       "A catalog's problems are printed on standard error as\n"
       "  FILE[:LINE:COLUMN]: error|warning CODE: MESSAGE\n"
       "(warning 518 for a file that is not a catalog, error 67 for one that cannot be opened);\n"
       "a catalog that cannot be read to its end stops the command before any URI is printed,\n"
       "with exit status 1.\n",
       runCatalog},
      {"css", "style sheets parsed into rules and applied to documents; page rules; media query lists",
       "usage: ekcommon css parse [--feature NAME]... [--] SHEET|URI|-\n"
       "       ekcommon css page --sheet SHEET|URI|- [--] [SELECTOR]...\n"
       "       ekcommon css cascade --sheet SHEET [--sheet|--user-sheet|--ua-sheet SHEET]... DOCUMENT\n"
       "                            [--element ID]\n"
       "       ekcommon css media [--] QUERY...\n"
       "parse: loads the sheet (a path, a URI, or '-' for standard input), deciding its encoding\n"
       "as the library does, parses it with every media query taken as holding, and prints what\n"
       "was stored: each sheet read ('source N: URI', imported ones too) with its @namespace\n"
       "prefixes; each stored rule, one per selector and importance, as 'rule ORDER: SELECTOR\n"
       "(IDS,CLASSES,TYPES)' followed by its declarations as '  PROPERTY: VALUE [!important]\n"
       "@LINE:COLUMN'; then the @page rules as 'page' shows them; then the @font-face,\n"
       "@script-font and @counter-style blocks. NAME is a parser feature: expressions,\n"
       "dotted-properties, hash-anywhere, declaration-offsets (on by default), ignore-import,\n"
       "ignore-media, ignore-page-context, ignore-footnote, ignore-font-face,\n"
       "ignore-counter-style. Errors go to standard error as\n"
       "'LINE:COLUMN: CODE MESSAGE' (-1:-1 while loading); the exit status is 1 when there were any.\n"
       "page: parses SHEET as 'parse' does and prints its @page rules in cascade order (the last\n"
       "wins), one per page selector and importance, as 'page ORDER: @page SELECTOR\n"
       "(IDS,CLASSES,TYPES)' (a page name counts as an id; :first, :last, :only, :rest, :blank,\n"
       ":not-blank and :nth() as classes; sides as types) followed by its declarations and by its\n"
       "margin-box, @footnote and @sidenote blocks as '  @NAME' with their declarations. Each\n"
       "SELECTOR describes a page by name and pseudo-pages in page-selector syntax, e.g.\n"
       "'chapter:first:left'; with some given, only the rules that apply to one of those pages\n"
       "are printed: rules that name no page or the same one and ask for no pseudo-page or :nth()\n"
       "the page lacks (:left, :right, :recto, :verso compared as the :even or :odd they stand for\n"
       "in left-to-right text). A SELECTOR that is no page selector is a usage error.\n"
       "cascade: merges the sheets (author, user or user-agent origin; every media query taken as\n"
       "holding), loads DOCUMENT and applies the rules to each element, or to the one with that\n"
       "id, with its 'style' attribute: prints the element's path and each winning property after\n"
       "var() substitution and shorthand expansion as '  PROPERTY: VALUE  (ORIGIN, IDS,CLASSES,\n"
       "TYPES, SHEET:LINE:COLUMN)', or '(style attribute)'. Sheet errors go to standard error as\n"
       "'SHEET:LINE:COLUMN: CODE MESSAGE' (exit status 1).\n"
       "media: "
       "reads each QUERY as the media query list of an @media rule (up to its end, a ';' or a\n"
       "'{') and prints the list as the library writes it back, one line each: queries that\n"
       "have an error are left out, an unknown feature name is kept. The errors go to standard\n"
       "error as 'LINE:COLUMN: CODE MESSAGE'. Put '--' before a query that begins with '-'.\n",
       runCss},
      {"demo", "a tour of the library on an embedded sample",
       "usage: ekcommon demo\n"
       "Runs the library's typical road on a sample built into the tool and prints each step.\n",
       runDemo},
  };
  return table;
}

int usageError(const char* command, const std::string& message) {
  std::cerr << "ekcommon " << command << ": " << message << "\n"
            << "Try 'ekcommon " << command << " --help'.\n";
  return EXIT_USAGE;
}

bool handleHelp(const Command& command, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--")
      break;
    if (arg == "--help" || arg == "-h") {
      std::cout << command.usage;
      return true;
    }
  }
  return false;
}

bool splitOperands(const char* command, const std::vector<std::string>& args,
                   std::vector<std::string>& operands) {
  bool optionsDone = false;
  for (const std::string& arg : args) {
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      usageError(command, "unknown option '" + arg + "'");
      return false;
    } else {
      operands.push_back(arg);
    }
  }
  return true;
}

EKCommonNS::UnicodeString readTextOperand(const char* command, const std::string& operand,
                                          int& status) {
  std::string text = operand;
  if (text == "-")
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  EKCommonNS::UnicodeString unicode = fromUtf8(text);
  if (toUtf8(unicode) != text) {
    std::cerr << "ekcommon " << command
              << ": the text is not valid UTF-8; bad bytes are read as U+FFFD\n";
    status = EXIT_INPUT_ERROR;
  }
  return unicode;
}

std::string toUtf8(const EKCommonNS::UnicodeString& text) {
  std::string out;
  return text.toUTF8String(out);
}

EKCommonNS::UnicodeString fromUtf8(const std::string& text) {
  return EKCommonNS::UnicodeString::fromUTF8(text);
}

namespace {

void printOverallHelp(std::ostream& out) {
  out << "usage: ekcommon [--help] [--version] COMMAND [ARGS...]\n\n"
         "The ekcommon library's services on the command line. Commands:\n";
  for (const Command& command : commands()) {
    out << "  ";
    out.width(10);
    out << std::left << command.name << command.summary << "\n";
  }
  out << "\nRun 'ekcommon COMMAND --help' for a command's arguments.\n";
}

} // namespace
} // namespace EKTool

int main(int argc, char** argv) {
  using namespace EKTool;
  // Names made by one step (say a page selector given on the command line) must keep their
  // meaning in the next, so the tool holds the shared name table for its whole run.
  struct NameTableHold {
    NameTableHold() { EKCommonNS::EKNameTable::addRefSharedNameTable(); }
    ~NameTableHold() { EKCommonNS::EKNameTable::releaseSharedNameTable(); }
  } nameTableHold;
  if (argc < 2) {
    printOverallHelp(std::cerr);
    return EXIT_USAGE;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    printOverallHelp(std::cout);
    return EXIT_OK;
  }
  if (first == "--version") {
    std::cout << "ekcommon " << EKCOMMON_VERSION << "\n";
    return EXIT_OK;
  }
  for (const Command& command : commands()) {
    if (first == command.name) {
      const std::vector<std::string> args(argv + 2, argv + argc);
      if (handleHelp(command, args))
        return EXIT_OK;
      return command.run(args);
    }
  }
  std::cerr << "ekcommon: unknown command '" << first << "'\n";
  printOverallHelp(std::cerr);
  return EXIT_USAGE;
}
