#include "ekcommon/css/internal/EKCssMessages.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKMessage.h"

namespace EKCommonNS {

namespace {

// One row per code: the pattern, and for the codes with two forms the one used when the
// optional text (the offending token, or the path for the read failure) is there.
struct CssMessageRow {
  unsigned short code;
  const char* pattern;
  const char* withText;
};

const CssMessageRow CSS_MESSAGES[] = {
    {EKERR_CSS_NO_STYLESHEET, "No stylesheet given.", nullptr},
    {EKERR_CSS_CANNOT_OPEN_STYLESHEET, "Cannot open stylesheet file: {0}", nullptr},
    {EKERR_CSS_EMPTY_STYLESHEET, "Empty stylesheet{0}", nullptr},
    {EKERR_CSS_CANNOT_READ_STYLESHEET, "Cannot read stylesheet stream.", "Cannot read stylesheet file: {0}"},
    {EKERR_CSS_INVALID_BOM, "Invalid BOM{0}", nullptr},
    {EKERR_CSS_CHARSET_CONFLICT, "Conflict @charset ''{1}'' must be ''{2}''{0}", nullptr},
    {EKERR_CSS_UNSUPPORTED_ENCODING, "Unsupported encoding ''{1}''{0}", nullptr},
    {EKERR_CSS_UNEXPECTED_END, "Unexpected end of stylesheet{0}", nullptr},
    {EKERR_CSS_MISPLACED_AT_RULE, "Unexpected @{1}{0}", nullptr},
    {EKERR_CSS_CHARSET_NOT_FIRST, "S/CDO/CDC/comment preceded by @charset{0}", nullptr},
    {EKERR_CSS_CHARSET_IN_ELEMENT, "Invalid @charset in <{1}>{0}", nullptr},
    {EKERR_CSS_EXTRA_CHARSET, "Extra @charset exists{0}", nullptr},
    {EKERR_CSS_INVALID_NAMESPACE, "Invalid @namespace: expected string{0}", nullptr},
    {EKERR_CSS_INVALID_IMPORT, "Invalid @import: expected url{0}", nullptr},
    {EKERR_CSS_LOOPED_IMPORT, "Looped @import ''{0}''.", nullptr},
    {EKERR_CSS_CANNOT_PLACE_AT_RULE, "Cannot place @{1} inside @{2}{0}", nullptr},
    {EKERR_CSS_MUST_PLACE_AT_RULE, "Must place @{1} inside @{2}{0}", nullptr},
    {EKERR_CSS_UNKNOWN_AT_RULE, "Unknown or unsupported @{1}{0}", nullptr},
    {EKERR_CSS_MISSING_CLOSING_PAREN, "Missing closing parenthesis{0}",
     "Missing closing parenthesis, unexpected ''{1}''{0}"},
    {EKERR_CSS_MISSING_CLOSING_BRACKET, "Missing closing square-bracket{0}", nullptr},
    {EKERR_CSS_MISSING_COLON, "Missing colon{0}", nullptr},
    {EKERR_CSS_MISSING_SEMICOLON, "Missing semicolon{0}", nullptr},
    {EKERR_CSS_MISSING_OPENING_BRACE, "Missing opening curly-bracket{0}", nullptr},
    {EKERR_CSS_MISSING_CLOSING_BRACE, "Missing closing curly-bracket{0}",
     "Missing closing curly-bracket, unexpected ''{1}''{0}"},
    {EKERR_CSS_UNEXPECTED_CLOSING_BRACE, "Unexpected closing curly-bracket{0}", nullptr},
    {EKERR_CSS_UNEXPECTED_TOKEN, "Unexpected token: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_SIMPLE_SELECTOR, "Invalid simple-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_AFTER_PSEUDO_ELEMENT, "Invalid selector after pseudo-element: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_TYPE_SELECTOR, "Invalid type-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_CLASS_SELECTOR, "Invalid class-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_ATTRIBUTE_SELECTOR, "Invalid attribute-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_PSEUDO_SELECTOR, "Invalid pseudo-selector{0}", "Invalid pseudo-selector: ''{1}''{0}"},
    {EKERR_CSS_INVALID_NEGATION, "Invalid negation :not({1}){0}", nullptr},
    {EKERR_CSS_INVALID_PROPERTY_NAME, "Invalid property name: {1}{0}", nullptr},
    {EKERR_CSS_INVALID_PROPERTY_VALUE, "Invalid property value: {1}: {2}{0}", nullptr},
    {EKERR_CSS_INVALID_TERM, "Invalid term: ''{1}''{0}", nullptr},
    {EKERR_CSS_UNDEFINED_NAMESPACE_PREFIX, "Undefined namespace-prefix: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_MEDIA_QUERY, "Invalid media-query: ''{1}''{0}", nullptr},
    {EKERR_CSS_UNKNOWN_MEDIA_TYPE, "Unknown media-type: ''{1}''{0}", nullptr},
    {EKERR_CSS_UNKNOWN_MEDIA_FEATURE, "Unknown media-feature: ''{1}''{0}", nullptr},
    {EKERR_CSS_MEDIA_MISSING_OPENING_PAREN, "Missing opening-parenthesis for media expression{0}", nullptr},
    {EKERR_CSS_MEDIA_MISSING_CLOSING_PAREN, "Missing closing-parenthesis for media expression{0}", nullptr},
    {EKERR_CSS_MISSING_MEDIA_FEATURE, "Missing media-feature{0}", nullptr},
    {EKERR_CSS_MISSING_MEDIA_BLOCK, "Missing @media block{0}", nullptr},
    {EKERR_CSS_EMPTY_PAGE_SELECTOR, "Empty page-selector{0}", nullptr},
    {EKERR_CSS_INVALID_PAGE_SELECTOR, "Invalid page-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_INVALID_PSEUDO_PAGE_SELECTOR, "Invalid pseudo-page-selector: ''{1}''{0}", nullptr},
    {EKERR_CSS_MISSING_COUNTER_STYLE_NAME, "Missing counter-style-name{0}", nullptr},
    {EKERR_CSS_LOOPED_VARIABLE, "Looped variable reference: {1}{0}", nullptr},
    {EKERR_CSS_INVALID_VAR_ARGUMENT, "Invalid var argument: {1}{0}", nullptr},
    {EKERR_CSS_TOO_FEW_ARGUMENTS, "Too few function arguments: {1}{0}", nullptr},
    {EKERR_CSS_TOO_MANY_ARGUMENTS, "Too many function arguments: {1}{0}", nullptr},
    {EKERR_CSS_NOT_COMBINABLE, "Cannot be combined any other values: {1}{0}", nullptr},
    {EKERR_CSS_MISSING_ARGUMENT_COMMA, "No comma between function arguments: {1}{0}", nullptr},
    {EKERR_CSS_UNDEFINED_VARIABLE, "Undefined variable: {1}{0}", nullptr},
    {EKERR_CSS_UNKNOWN_PSEUDO_ELEMENT, "Unknown or unsupported pseudo element: ::{1}{0}", nullptr},
    {EKERR_CSS_UNKNOWN_PSEUDO_CLASS, "Unknown or unsupported pseudo class: :{1}{0}", nullptr},
};

// The messages about opening, reading and looping show the path as it is; the others append it.
bool showsBarePath(unsigned short code) {
  return code == EKERR_CSS_CANNOT_OPEN_STYLESHEET || code == EKERR_CSS_CANNOT_READ_STYLESHEET ||
         code == EKERR_CSS_LOOPED_IMPORT;
}

} // namespace

UnicodeString cssErrorMessage(unsigned short code, const UnicodeString& path, const UnicodeString& arg1,
                              const UnicodeString& arg2) {
  for (const CssMessageRow& row : CSS_MESSAGES) {
    if (row.code != code)
      continue;
    const UnicodeString& optional = code == EKERR_CSS_CANNOT_READ_STYLESHEET ? path : arg1;
    const char* pattern = row.withText != nullptr && !optional.isEmpty() ? row.withText : row.pattern;
    UnicodeString where;
    if (showsBarePath(code))
      where = path;
    else
      where = path.isEmpty() ? UnicodeString(u".") : UnicodeString(u": ").append(path);
    return EKMessage(pattern, where, arg1, arg2).toString();
  }
  return UnicodeString();
}

EKError cssError(unsigned short code, const UnicodeString& path, int line, int column, const UnicodeString& arg1,
                 const UnicodeString& arg2) {
  return EKError(code, cssErrorMessage(code, path, arg1, arg2), UnicodeString(), line, column, UnicodeString());
}

} // namespace EKCommonNS
