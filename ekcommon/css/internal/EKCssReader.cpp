#include "ekcommon/css/internal/EKCssReader.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/css/internal/EKCssMessages.h"

namespace EKCommonNS {

EKCssReader::EKCssReader(char16_t* buffer, const std::vector<uint32_t>* lineStarts, int startLine, int startColumn,
                         const UnicodeString& path)
    : m_scanner(buffer), m_lineStarts(lineStarts), m_startLine(startLine), m_startColumn(startColumn),
      m_path(path) {}

int32_t EKCssReader::nextSignificant() {
  int32_t kind = m_scanner.next();
  while (kind == CSS_S || kind == CSS_COMMENT)
    kind = m_scanner.next();
  return kind;
}

unsigned short EKCssReader::error(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  if (m_inTrial)
    return code;
  int line = -1, column = -1;
  if (m_lineStarts)
    cssLineColumn(*m_lineStarts, m_scanner.tokenStart(), m_startLine, m_startColumn, &line, &column);
  m_errors.push_back(cssError(code, m_path, line, column, arg1, arg2));
  m_lastError = code;
  return code;
}

void EKCssReader::addErrors(const std::vector<EKError>& errors) {
  m_errors.insert(m_errors.end(), errors.begin(), errors.end());
  if (!errors.empty())
    m_lastError = errors.back().getErrorCode();
}

EKCssReader::Trial EKCssReader::beginTrial() {
  const Trial trial{m_scanner.tokenStart(), m_inTrial, m_errors.size(), m_lastError};
  m_inTrial = true;
  return trial;
}

void EKCssReader::endTrial(const Trial& trial, bool succeeded) {
  m_inTrial = trial.outerTrial;
  m_errors.resize(trial.errorCount);
  m_lastError = trial.lastError;
  if (!succeeded)
    m_scanner.rewind(trial.tokenStart);
}

bool EKCssReader::skipStatement(bool inBlock) { return skipBalanced(u';', true, inBlock); }

bool EKCssReader::skipTo(char16_t closing) { return skipBalanced(closing, false, false); }

// Reads on to `closing` outside brackets (for a statement also a block, read through its '}');
// brackets opened on the way are closed first, each by its own character.
bool EKCssReader::skipBalanced(char16_t closing, bool statement, bool inBlock) {
  std::vector<char16_t> open;
  for (;;) {
    const int32_t kind = m_scanner.next();
    if (kind == CSS_EOF) {
      if (open.empty() && statement)
        return true;
      error(EKERR_CSS_UNEXPECTED_END);
      return false;
    }
    if (open.empty() && kind == closing)
      return true;
    if (kind == CSS_FUNCTION || kind == u'(') {
      open.push_back(u')');
    } else if (kind == u'[') {
      open.push_back(u']');
    } else if (kind == u'{') {
      if (open.empty() && statement) {
        statement = false;
        closing = u'}';
        continue;
      }
      open.push_back(u'}');
    } else if (!open.empty() && kind == open.back()) {
      open.pop_back();
    } else if (open.empty() && statement && inBlock && kind == u'}') {
      m_scanner.pushBack();
      return true;
    }
  }
}

UnicodeString EKCssReader::slice(int32_t begin, int32_t end) const {
  const char16_t* text = m_scanner.buffer();
  return UnicodeString(reinterpret_cast<const UChar*>(text + begin), end - begin).trim();
}

} // namespace EKCommonNS
