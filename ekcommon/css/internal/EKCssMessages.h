// The messages of the style-sheet errors (codes 929 to 988 of EKErrorCodeCOMMON) and the error
// records the CSS parser collects: code, message and position, no origin and no uri. Not installed.
#pragma once

#include "ekcommon/core/EKError.h"

namespace EKCommonNS {

// The message of a style-sheet error. `path` is the local path of the sheet, empty when it has
// none; most messages end in ": " and the path, or in "." without one, and the open, read and
// import-loop messages show the path bare. `arg1` and `arg2` fill the name or token slots; for
// the messages with an optional token (missing parenthesis, missing curly bracket, pseudo
// selector) a non-empty `arg1` selects the form that names it. Codes without a message give "".
EKCOMMON_API UnicodeString cssErrorMessage(unsigned short code, const UnicodeString& path,
                                           const UnicodeString& arg1 = UnicodeString(),
                                           const UnicodeString& arg2 = UnicodeString());
// The collected record of a style-sheet error at `line` and `column` (-1 when unknown).
EKCOMMON_API EKError cssError(unsigned short code, const UnicodeString& path, int line, int column,
                              const UnicodeString& arg1 = UnicodeString(),
                              const UnicodeString& arg2 = UnicodeString());

} // namespace EKCommonNS
