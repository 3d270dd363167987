// What every part of the CSS grammar reads through: the scanner over the sheet's text, the errors
// collected with their positions, trial parsing (a construct tried with errors held back and the
// position restored when it fails) and the skipping rules of error recovery. Not installed.
#pragma once

#include "ekcommon/core/EKError.h"
#include "ekcommon/css/internal/EKCssScanner.h"

#include <cstdint>
#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssReader {
public:
  // Reads `buffer` (NUL-terminated, owned by the caller, written to by the scanner). Errors get
  // their positions from `lineStarts` (which must outlive the reader) and the start position,
  // and `path` as their {0}.
  EKCssReader(char16_t* buffer, const std::vector<uint32_t>* lineStarts, int startLine, int startColumn,
              const UnicodeString& path);

  EKCssScanner& scanner() { return m_scanner; }
  // The next token and its kind; nextSignificant skips white space and comments first.
  int32_t next() { return m_scanner.next(); }
  int32_t nextSignificant();
  int32_t kind() const { return m_scanner.kind(); }
  const UnicodeString& text() const { return m_scanner.text(); }
  void pushBack() { m_scanner.pushBack(); }

  // Records an error at the start of the current token, unless a trial is running. Returns the
  // code, so that a caller can write `return reader.error(...)`.
  unsigned short error(unsigned short code, const UnicodeString& arg1 = UnicodeString(),
                       const UnicodeString& arg2 = UnicodeString());
  // Appends errors issued elsewhere (an imported sheet's parser).
  void addErrors(const std::vector<EKError>& errors);
  const std::vector<EKError>& getErrors() const { return m_errors; }
  unsigned short getLastError() const { return m_lastError; }

  // A trial: begin() holds errors back and remembers where the current token began; end(false)
  // rescans from there. Either way the error state is as before begin().
  struct Trial {
    int32_t tokenStart;
    bool outerTrial;
    size_t errorCount;
    unsigned short lastError;
  };
  Trial beginTrial();
  void endTrial(const Trial& trial, bool succeeded);
  bool inTrial() const { return m_inTrial; }

  // Error recovery. skipStatement reads to the next ';' (or through a block to its matching '}'),
  // balancing brackets; inside a block (`inBlock`) it also stops before a '}' that closes that
  // block, so that a bad statement cannot swallow the rules after the block. skipTo reads through
  // the matching `closing` character. Both report 936 and return false at the end of the text
  // inside a bracket.
  bool skipStatement(bool inBlock = false);
  bool skipTo(char16_t closing);

  // The source text between two offsets, trimmed (comments read as spaces).
  UnicodeString slice(int32_t begin, int32_t end) const;

private:
  bool skipBalanced(char16_t closing, bool statement, bool inBlock);

  EKCssScanner m_scanner;
  const std::vector<uint32_t>* m_lineStarts;
  int m_startLine;
  int m_startColumn;
  UnicodeString m_path;
  std::vector<EKError> m_errors;
  unsigned short m_lastError = 0;
  bool m_inTrial = false;
};

} // namespace EKCommonNS
