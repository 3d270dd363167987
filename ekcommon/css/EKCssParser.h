// The CSS style-sheet parser: loads a sheet from a stream or a URI (deciding its encoding), or
// takes text from a style element or attribute, and parses it into a style sheet made by
// EKCssRules::createCssRules. Errors are collected with their positions and parsing always goes on
// to the end of the text; @import rules are loaded and parsed by child parsers.
//
//   EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
//   EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EKCascadingOrigin::AUTHOR, u"", false, match, data);
//   if (parser->load(nullptr, EKUri(u"style.css"), u"") == 0)
//     parser->parseInto(sheet.get());
//
// A parser is used by one thread at a time.
#pragma once

#include "ekcommon/core/EKError.h"
#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/values/EKValue.h"

#include <istream>
#include <utility>
#include <vector>

namespace EKCommonNS {

class EKCssRules;
class EKXmlCatalogs;
class EKXmlParser;

class EKCOMMON_API EKCssParser : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssParser, EKRCObject)
public:
  // Feature bits (setFeature/getFeature); the default word is FEATURE_DECLARATION_OFFSETS.
  static constexpr unsigned int FEATURE_EXPRESSIONS = 2;          // parenthesised arithmetic in values
  static constexpr unsigned int FEATURE_DOTTED_PROPERTIES = 4;    // "name.component" property names
  static constexpr unsigned int FEATURE_HASH_ANYWHERE = 8;        // "#123" is a hash inside selectors too
  static constexpr unsigned int FEATURE_DECLARATION_OFFSETS = 128; // declarations record their offsets
  static constexpr unsigned int FEATURE_IGNORE_IMPORT = 256;      // @import rules are skipped unloaded
  static constexpr unsigned int FEATURE_IGNORE_MEDIA = 512;       // every @media block is skipped
  static constexpr unsigned int FEATURE_IGNORE_PAGE_CONTEXT = 1024; // blocks nested in @page are dropped
  static constexpr unsigned int FEATURE_IGNORE_FOOTNOTE = 2048;   // @footnote blocks are dropped
  static constexpr unsigned int FEATURE_IGNORE_FONT_FACE = 4096;  // @font-face and @script-font are dropped
  static constexpr unsigned int FEATURE_IGNORE_COUNTER_STYLE = 8192; // @counter-style blocks are dropped
  static constexpr unsigned int DEFAULT_FEATURES = FEATURE_DECLARATION_OFFSETS;

  // A new parser. `catalogs` (not owned, may be null) resolve the URIs of imported sheets and
  // must outlive the parser; `info` (may be null) is copied and handed to every fetch.
  static EKPtr<EKCssParser> createCssParser(const EKXmlCatalogs* catalogs, const EKUri::ContentInfo* info);
  // True when s is exactly one CSS identifier.
  static bool checkIdent(const UnicodeString& s);

  // Splits a property name into its vendor prefix and the rest: "-webkit-column-count" gives
  // ("-webkit-", "column-count"), "_x-form" gives ("-x-", "form") (a leading "_" reads as "-"),
  // and names beginning "mso-" or "prince-" in any case count as prefixed too. The prefix is
  // lower-cased, the rest kept as written. A custom property "--x" gives ("--", "x") with
  // `splitCustom`, no prefix without it. No prefix is (0, name).
  static std::pair<EKName, EKName> separatePrefixPropertyName(EKName name, bool splitCustom);
  // prefix followed by name; name alone when prefix is 0 or name already has a prefix (custom
  // property names count as prefixed).
  static EKName concatPrefixPropertyName(EKName prefix, EKName name);
  // A function name as the value code compares it: the "-ek-" and "-epub-" prefixes dropped,
  // lower-cased.
  static EKName normailzieFunctionName(EKName name);
  // Appends the terms of a value text to `out`, one EKValue per token as the CSS tokenizer reads
  // it: numbers with units, names, literal strings, colours, url(...) as URL strings, other
  // function calls and parenthesised groups as one string each, operators and commas as
  // character values.
  static void decomposeExpression(const UnicodeString& text, std::vector<EKValue>& out);

  // Reads the whole sheet from `in` (not owned; `uri` then only names it) or, when `in` is null,
  // fetches `uri`, decides the encoding and installs the text as setText does. Returns 0 or the
  // error code (929 to 935, 943), whose error is also recorded. Does not parse.
  virtual unsigned short load(std::istream* in, const EKUri& uri, const UnicodeString& defaultEncoding) = 0;
  // Installs a copy of `text`. `contextElement` names the element the text comes from (EKName()
  // for none; @charset is refused there); a non-empty `baseUri` replaces the base URI against
  // which imports are resolved. Returns 0.
  virtual unsigned short setText(const UnicodeString& text, EKName contextElement, const EKUri& baseUri) = 0;
  // Parses the installed text into `rules`, which must be a style sheet made by
  // EKCssRules::createCssRules (anything else is left untouched). Returns the first error code
  // met, or 0; every error is in getIssuedErrors().
  virtual unsigned short parseInto(EKCssRules* rules) = 0;

  // Line and column offsets added to reported positions, for text embedded in a larger document.
  virtual void setStartPosition(int line, int column) = 0;
  // The start position from the XML parser's current line and column (each less one, at least 0).
  virtual void setStartPosition(EKXmlParser* xml) = 0;

  // Sets (on) or clears the feature bits; returns the new word when setting, the previous word
  // when clearing.
  virtual unsigned int setFeature(unsigned int bits, bool on) = 0;
  virtual unsigned int getFeature(unsigned int bits) const = 0;

  // The errors issued so far, in order (each code, message, line and column); null when none.
  virtual const std::vector<EKError>* getIssuedErrors() const { return nullptr; }

protected:
  EKCssParser() = default;
};

} // namespace EKCommonNS
