#include "ekcommon/xml/internal/EKXmlMessages.h"

#include <string>

namespace EKCommonNS {

namespace {

// One row per message: codes sharing a text, the text before the first argument, between the
// arguments and after the last. A row with one part uses no argument.
struct MessageRow {
  unsigned short codes[3];
  const char16_t* before;
  const char16_t* between;
  const char16_t* after;
  int arguments;
};

const MessageRow MESSAGES[] = {
    {{129}, u"Missing end tag.", u"", u"", 0},
    {{130, 521}, u"Only one top level element is allowed.", u"", u"", 0},
    {{131}, u"Invalid root tag name after '<!DOCTYPE'.", u"", u"", 0},
    {{132}, u"Invalid start tag name.", u"", u"", 0},
    {{133}, u"Invalid end tag name.", u"", u"", 0},
    {{134, 513}, u"End tag </", u"> does not match the start tag <", u">.", 2},
    {{135}, u"Undeclared namespace prefix: ", u"", u"", 1},
    {{136}, u"Duplicate attribute: ", u"", u"", 1},
    {{137}, u"Invalid attribute name: ", u"", u"", 1},
    {{138}, u"Missing '=' after attribute name.", u"", u"", 0},
    {{139}, u"Missing whitespace between attributes.", u"", u"", 0},
    {{140, 769, 897}, u"Unexpected character: ", u"", u"", 1},
    {{141, 770, 898}, u"Unexpected whitespace after '", u"", u"'.", 1},
    {{142}, u"Unexpected text at top level of the XML document: ", u"", u"", 1},
    {{143}, u"Unexpected '<![", u"", u"'.", 1},
    {{144}, u"Unexpected ']]>'.", u"", u"", 0},
    {{145}, u"Unexpected end of input while looking for CDATA section terminator ']]>'.", u"", u"", 0},
    {{146}, u"Unexpected end of input while looking for comment terminator '-->'.", u"", u"", 0},
    {{147, 771, 899}, u"Unexpected character '--' in comment", u"", u"", 0},
    {{148}, u"Unexpected DOCTYPE declaration outside of prolog.", u"", u"", 0},
    {{149}, u"Cannot have multiple DOCTYPE declarations.", u"", u"", 0},
    {{150}, u"Missing whitespace after '", u"", u"'.", 1},
    {{151}, u"External ID is expected after '", u"", u"'.", 1},
    {{152}, u"PubidLiteral is expected after '", u"", u"'.", 1},
    {{153}, u"SystemLiteral is expected after '", u"", u"'.", 1},
    {{154}, u"Unexpected end of input in ", u"", u" declaration.", 1},
    {{155}, u"Empty entity name.", u"", u"", 0},
    {{156}, u"Invalid character in entity reference: ", u"", u";", 1},
    {{157, 514}, u"Reference to undefined entity: %", u"", u";", 1},
    {{158, 515}, u"Reference to undefined entity: &", u"", u";", 1},
    {{159}, u"Entity name is expected after '", u"", u"'.", 1},
    {{160}, u"NDATA is expected after '", u"", u"'.", 1},
    {{161}, u"Unexpected XML declaration.", u"", u"", 0},
    {{162}, u"Missing 'version=' after '<?xml ' in XML declaration.", u"", u"", 0},
    {{163}, u"Missing '=' after '", u"", u"' in XML declaration.", 1},
    {{164}, u"Missing whitespace after '", u"", u"' in XML declaration.", 1},
    {{165}, u"Missing whitespace before '", u"", u"' in XML declaration.", 1},
    {{166}, u"Unsupported XML version: ", u"", u"", 1},
    {{167}, u"Invalid standalone declaration in XML declaration.", u"", u"", 0},
    {{168}, u"Invalid syntax in CDATA section.", u"", u"", 0},
    {{169}, u"Invalid syntax in comment.", u"", u"", 0},
    {{170}, u"Unexpected '<!", u"", u"'.", 1},
    {{171}, u"The name 'xml' must be lower case: <?", u"", u"", 1},
    {{172}, u"Missing whitespace after PI target: <?", u"", u"", 1},
    {{173}, u"Unexpected end of input while looking for PI terminator '?>'.", u"", u"", 0},
    {{174}, u"Missing quotation character (\" or ').", u"", u"", 0},
    {{175}, u"Unexpected end of input while looking for literal terminator (", u"", u").", 1},
    {{176}, u"Unexpected '<' in attribute value.", u"", u"", 0},
    {{177}, u"Unexpected whitespace in character reference: &#", u"", u";", 1},
    {{178}, u"Invalid character in character reference: &#", u"", u";", 1},
    {{179}, u"Invalid Unicode character: ", u"", u"", 1},
    {{180}, u"Invalid character.", u"", u"", 0},
    {{181}, u"Unknown or unsupported encoding: ", u"", u".", 1},
    {{182}, u"No-XML document.", u"", u"", 0},
    {{183}, u"Unclosed tag: ", u"", u"", 1},
    {{184, 520}, u"Looped entity reference: &", u"", u";", 1},
    {{185}, u"Conflict encoding: ", u"", u".", 1},
    {{186}, u"Invalid element name: ", u"", u"", 1},
    {{187}, u"Invalid attribute value: ", u"=\"", u"\"", 2},
    {{188, 516}, u"External entity is not allowed: '", u"", u"'.", 1},
    {{189}, u"Empty attribute name: ", u"", u"", 1},
    {{190}, u"Huge text.", u"", u"", 0},
};

} // namespace

UnicodeString xmlErrorMessage(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  for (const MessageRow& row : MESSAGES) {
    // Unused slots of a row hold 0, which is no code.
    if (code == 0 || (row.codes[0] != code && row.codes[1] != code && row.codes[2] != code))
      continue;
    UnicodeString message(row.before);
    if (row.arguments >= 1)
      message.append(arg1);
    if (row.arguments == 2)
      message.append(row.between).append(arg2);
    return message.append(row.after);
  }
  return UnicodeString(u"XML parser error.");
}

unsigned short xmlStrictErrorCode(unsigned short code) {
  switch (code) {
  case 513:
    return 134;
  case 514:
    return 157;
  case 515:
    return 158;
  case 520:
    return 184;
  case 897:
    return 140;
  case 898:
    return 141;
  default:
    return code;
  }
}

UnicodeString xmlPositionDescription(int event, const UnicodeString& inputUri, const UnicodeString& baseUri, int line,
                                     int column) {
  static const char16_t* const EVENT_NAMES[] = {u"START_DOCUMENT", u"END_DOCUMENT", u"START_TAG", u"END_TAG",
                                                u"TEXT", u"CDSECT", u"ENTITY_REF", u"IGNORABLE_WHITESPACE",
                                                u"PROCESSING_INSTRUCTION", u"COMMENT", u"DOCDECL"};
  UnicodeString description(EVENT_NAMES[event]);
  const UnicodeString& uri = inputUri.isEmpty() ? baseUri : inputUri;
  if (!uri.isEmpty())
    description.append(u", '").append(uri).append(u'\'');
  if (line >= 0)
    description.append(u", Line ").append(UnicodeString::fromUTF8(std::to_string(line)));
  if (column >= 0)
    description.append(u", Col ").append(UnicodeString::fromUTF8(std::to_string(column)));
  return description.append(u'.');
}

} // namespace EKCommonNS
