// Reads media query lists, after @media, at the end of @import or on their own: the queries with
// their types and feature expressions, and the errors of a malformed query, after which the list
// goes on with the next query. Not installed.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/css/EKCssMediaQueryList.h"
#include "ekcommon/css/internal/EKCssMediaQueryImpl.h"
#include "ekcommon/css/internal/EKCssReader.h"

namespace EKCommonNS {

class EKCOMMON_API EKCssMediaQueryParser {
public:
  explicit EKCssMediaQueryParser(EKCssReader& reader);

  // Reads a list from the reader's next token; EOF, ';' or '{' ends it and stays the current token.
  // Returns the list (never null) and the first error code (0 when none) in `error`. A query with
  // an error is left out of the list, except for an unknown feature name, which is kept.
  EKPtr<EKCssMediaQueryList> parseList(unsigned short& error);

private:
  // Reads one query from its first token (an identifier or '('). Returns 0, or the code of the
  // error that ended it; the token after the query is then the current one.
  unsigned short parseQuery(EKCssMediaQueryImpl& query);
  // Reads "(feature)" or "(feature: value)" from its '('; the ')' is then the current token.
  unsigned short parseExpression(EKCssMediaQueryImpl& query);
  // Reads a feature's value from after its ':' through the closing ')'.
  unsigned short readValue(UnicodeString& value);
  unsigned short report(unsigned short code, const UnicodeString& arg = UnicodeString());
  // Skips from the current token to the next ',' or the end of the list outside parentheses.
  void skipQuery();
  // Skips from the current token through the ')' that closes the open parenthesis; false at EOF.
  bool skipToClose();

  EKCssReader& m_reader;
  unsigned short m_firstError = 0;
};

} // namespace EKCommonNS
