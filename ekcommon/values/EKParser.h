// The value parser: turns the text of an attribute or property into an EKValue through the
// tokenizer — a single value, a list, a brace compound, a colour in any notation, XML-style
// pseudo-attributes, and the fragment parameters of link targets. Bad text is never an error:
// it comes back whole as a string of unknown kind (or as null / false where stated).
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/values/EKTokenizer.h"
#include "ekcommon/values/EKValue.h"

#include <unordered_map>

namespace EKCommonNS {

class EKCOMMON_API EKParser {
public:
  EKParser() = delete;

  enum ParseFlags {
    PARSE_NON_NUMERIC = 1, // numbers are not values
    PARSE_NO_COLOR = 2,    // #colours are not values
    PARSE_LIST = 4,        // every value up to the end; two or more make an array
    PARSE_COMPOUND = 8,    // { key: value; ... } makes a compound
    PARSE_IN_BLOCK = 16,   // ';' and '}' end the value
  };

  // Flags of parseAttributes.
  enum AttributeFlags {
    ATTRIBUTES_LENIENT = 1,         // skip a character on a syntax error instead of failing
    ATTRIBUTES_ALLOW_REPEATED = 2,  // a repeated name keeps its first value instead of failing
  };

  static EKValue parse(const UnicodeString& text, EKTokenizer::TokenizerType type);
  static EKValue parse(const UnicodeString& text, int flags, EKTokenizer::TokenizerType type);
  // PARSE_LIST | PARSE_COMPOUND.
  static EKValue parseCompound(const UnicodeString& text, EKTokenizer::TokenizerType type);
  // PARSE_NON_NUMERIC | PARSE_NO_COLOR.
  static EKValue parseNonNumeric(const UnicodeString& text, EKTokenizer::TokenizerType type);

  // A colour in any notation (#hex, names, rgb(), rgba(), hsl(), hsla(), cmyk(), cmyka(),
  // device-cmyk(), rgb-icc(), icc-color(), system-color()); a lone name, number or string comes
  // back as that value. Anything else: the text as an unknown string. `clamped` (when given)
  // tells that a component was out of range and was clamped.
  static EKValue parseColor(const UnicodeString& text, bool allowIcc, bool* clamped);
  // The colour notation at the tokenizer's position; null when there is none.
  static EKValue parseColor(EKTokenizer& tokenizer, bool allowIcc);

  // Pseudo-attributes name="value" name='value' (as in a processing instruction) into `out`,
  // which is cleared first. False (with `out` cleared) on a syntax error or repeated name,
  // unless the flags allow them.
  static bool parseAttributes(const UnicodeString& text, std::unordered_map<EKName, UnicodeString>& out, int flags);

  // "base#key=value&key=value": a compound of the base (empty name) and the parameters as
  // unknown strings, keys and values URI-unescaped and trimmed. No '#': the text as is.
  static EKValue parseUriFragmentParameters(const UnicodeString& uri, bool lowerKeys);
  // PDF open parameters (page, view, viewrect, zoom, nameddest, ...) of a link target: a
  // compound with "uri" and the parameters; page 1 and view xyz by default unless a named
  // destination is given. With requireFragment, a text without '#' or without a page is null.
  static EKValue parsePDFOpenParameters(const UnicodeString& uri, bool requireFragment);
  // An xlink:href: "uri" and, from the fragment, either the open parameters or a named
  // destination.
  static EKValue parseXlinkHref(const UnicodeString& href);
  // A destination inside the document: "#name", "#page=3&view=fit", ...; with mode 1, a bare
  // positive integer is a page number.
  static EKValue parseInternalDestination(const UnicodeString& text, int mode);
  // Spreadsheet link parameters: the base (empty name) and "sheet" / "chart" names; other
  // key=value parameters parsed as values.
  static EKValue parseExcelOpenParameters(const UnicodeString& uri);
  // A destination type: a zoom factor, xyz[-left][-top] with optional zoom, fit, fitb, or
  // fith / fitbh / fitv / fitbv / fitr with their coordinates. Otherwise the text as is.
  static EKValue parseDestinationType(const UnicodeString& text);
};

} // namespace EKCommonNS
