#include "ekcommon/core/EKErrorCodeCOMMON.h"

namespace EKCommonNS {

UnicodeString commonErrorMessage(unsigned short code, const UnicodeString& text, const UnicodeString& second) {
  const UnicodeString arg = text.isEmpty() ? UnicodeString(u"arg") : text;
  UnicodeString body;
  switch (code) {
  case EKERR_OUT_OF_MEMORY:
    return UnicodeString(u"SYSTEM ERROR: Out of memory.");
  case EKERR_CPP_EXCEPTION:
    return UnicodeString(u"SYSTEM ERROR: C++ exception: ").append(text);
  case EKERR_NULL_ARGUMENT:
    body = UnicodeString(arg).append(u" is null.");
    break;
  case EKERR_OUT_OF_RANGE:
    body = u"Argument is out of range.";
    break;
  case EKERR_WRONG_DOCUMENT:
    body = UnicodeString(arg).append(u" is created from a different document.");
    break;
  case EKERR_NOT_AN_ATTR:
    body = UnicodeString(arg).append(u" is not an EKAttr object.");
    break;
  case EKERR_ATTR_IN_USE:
    body = UnicodeString(arg).append(u" is an EKAttr that is already an attribute of another EKElement object.");
    break;
  case EKERR_NOT_A_CHILD:
    body = UnicodeString(arg).append(u" is not a child of this node.");
    break;
  case EKERR_NO_VALUE_FOR_NODE_TYPE:
    body = u"Cannot set a value on node type";
    body.append(text.isEmpty() ? UnicodeString(u".") : UnicodeString(u": ").append(text));
    break;
  case EKERR_START_DOCUMENT_ORDER:
    body = u"startDocument() must be called just after setOutput().";
    break;
  case EKERR_ATTRIBUTE_ORDER:
    body = u"attribute() must be called just after startTag().";
    break;
  case EKERR_UNEXPECTED_END_TAG:
    body = u"Unexpected endTag().";
    break;
  case EKERR_END_TAG_MISMATCH:
    body = UnicodeString(u"End tag '").append(text).append(u"' does not match the start tag '").append(second).append(u"'.");
    break;
  case EKERR_UNEXPECTED_DOCDECL:
    body = u"Unexpected docdecl().";
    break;
  case EKERR_UNSUPPORTED_NODE_TYPE:
    body = u"Unsupported node type.";
    break;
  case EKERR_CANNOT_OPEN_FILE:
  case EKERR_CANNOT_OPEN_FILE_WARNING:
    return UnicodeString(u"Cannot open file.");
  case EKERR_UNEXPECTED_END_OF_INPUT:
    return UnicodeString(u"Unexpected end of input stream.");
  case EKERR_OUTPUT_STREAM_NOT_SET:
    return UnicodeString(u"Output stream is not set.");
  case EKERR_INPUT_STREAM_ERROR:
    return UnicodeString(u"Input stream error.");
  case EKERR_OUTPUT_STREAM_ERROR:
    return UnicodeString(u"Output stream error.");
  case EKERR_CANNOT_REMOVE_TEMP_FILE:
    return UnicodeString(u"Cannot remove temporary file: ").append(text);
  case EKERR_CANNOT_CREATE_TEMP_FILE:
    return UnicodeString(u"Cannot create temporary file: ").append(text);
  case EKERR_PARSER_FATAL:
    return UnicodeString();
  case EKERR_NOT_A_CATALOG:
    return UnicodeString(u"Not an XML Catalog file.");
  default:
    body = u"EKErrorCodeCOMMON";
    break;
  }
  return UnicodeString(u"SYSTEM ERROR: ").append(body);
}

void throwCommonError(unsigned short code, const UnicodeString& text, const UnicodeString& second) {
  const bool fileCode = code == EKERR_CANNOT_OPEN_FILE || code == EKERR_UNEXPECTED_END_OF_INPUT ||
                        code == EKERR_INPUT_STREAM_ERROR || code == EKERR_CANNOT_OPEN_FILE_WARNING ||
                        code == EKERR_NOT_A_CATALOG;
  throw EKError(code, commonErrorMessage(code, text, second), UnicodeString(), -1, -1,
                fileCode ? text : UnicodeString());
}

} // namespace EKCommonNS
