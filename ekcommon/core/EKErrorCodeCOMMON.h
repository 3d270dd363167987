// The library's own error codes (argument checks of the DOM, call-order checks of the serializer,
// file and stream failures) and the routine that throws them with their fixed messages.
#pragma once

#include "ekcommon/core/EKError.h"

namespace EKCommonNS {

enum EKErrorCodeCOMMON : unsigned short {
  EKERR_OUT_OF_MEMORY = 1,
  EKERR_CPP_EXCEPTION = 2,
  EKERR_NULL_ARGUMENT = 3,
  EKERR_OUT_OF_RANGE = 4,
  EKERR_WRONG_DOCUMENT = 6,
  EKERR_NOT_AN_ATTR = 7,
  EKERR_ATTR_IN_USE = 8,
  EKERR_NOT_A_CHILD = 9,
  EKERR_NO_VALUE_FOR_NODE_TYPE = 11,
  EKERR_START_DOCUMENT_ORDER = 12,
  EKERR_ATTRIBUTE_ORDER = 13,
  EKERR_UNEXPECTED_END_TAG = 14,
  EKERR_END_TAG_MISMATCH = 15,
  EKERR_UNEXPECTED_DOCDECL = 16,
  EKERR_UNSUPPORTED_NODE_TYPE = 18,
  EKERR_CANNOT_OPEN_FILE = 67,
  EKERR_UNEXPECTED_END_OF_INPUT = 68,
  EKERR_OUTPUT_STREAM_NOT_SET = 69,
  EKERR_INPUT_STREAM_ERROR = 70,
  EKERR_OUTPUT_STREAM_ERROR = 71,
  EKERR_CANNOT_REMOVE_TEMP_FILE = 77,
  EKERR_CANNOT_CREATE_TEMP_FILE = 78,
  EKERR_PARSER_FATAL = 128,
  EKERR_CANNOT_OPEN_FILE_WARNING = 517,
  EKERR_NOT_A_CATALOG = 518,
};

// The message of a common code: `text` is the argument name, file name or tag name the row
// refers to, `second` the second text (the start tag of a mismatch).
EKCOMMON_API UnicodeString commonErrorMessage(unsigned short code, const UnicodeString& text,
                                              const UnicodeString& second);
// Throws the EKError of a common code: its message, no position, and for the file codes the
// text as uri. Never returns.
[[noreturn]] EKCOMMON_API void throwCommonError(unsigned short code, const UnicodeString& text = UnicodeString(),
                                                const UnicodeString& second = UnicodeString());

} // namespace EKCommonNS
