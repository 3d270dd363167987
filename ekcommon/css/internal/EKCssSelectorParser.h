// Reads selector groups ("a > b.c, d:hover") from the CSS reader into selector records, for rule
// sets and for the functions that take selectors. Not installed.
#pragma once

#include "ekcommon/css/EKCssSelector.h"
#include "ekcommon/css/internal/EKCssReader.h"

#include <map>
#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssSelectorParser {
public:
  // namespaces: the sheet's prefix -> URI map (may be null: then any prefix but none is undefined).
  EKCssSelectorParser(EKCssReader& reader, const std::map<EKName, EKName>* namespaces);

  // Reads a selector group from the reader's next token up to `terminator` ('{' at the rule level, ')' inside
  // a function), which is read and left as the reader's current token. Appends one finished EKCssSelector
  // (finish() called) per selector. On an error: reports it and returns false, the selectors appended so far
  // stay but the caller discards them and skips the statement. Sets the scanner's in-selector flag while
  // reading and clears it after.
  bool parseGroup(std::vector<EKCssSelector>& out, char16_t terminator);

private:
  bool readGroup(std::vector<EKCssSelector>& out, char16_t terminator);
  // The methods below start at the reader's current token and leave the first token after what
  // they read as the current one.
  bool parseSelector(EKCssSelector& selector, char16_t terminator);
  bool parseCompound(EKCssCompound& compound);
  bool parseType(EKCssTypeSelector& type);
  bool parseSimple(EKCssSimpleSelector& simple, bool inNegation);
  bool parseAttribute(EKCssSimpleSelector& simple);
  bool parsePseudo(EKCssSimpleSelector& simple, bool inNegation);
  bool parseNegation(EKCssSimpleSelector& simple);
  // Reads the argument of a functional pseudo selector through its ')'; `argument` gets the text.
  bool readArgument(UnicodeString& argument);
  // A prefix written before '|' at `offset`: "*" and "" are always known, others must be declared.
  bool checkPrefix(const UnicodeString& prefix, int32_t offset);
  // Reports an error at the token that starts at `offset`, already read, so that the position
  // names the start of the faulty selector and recovery rereads it from there.
  bool errorAt(int32_t offset, unsigned short code, const UnicodeString& argument);
  // The current token's kind after white space and comments; `sawSpace` tells whether any white
  // space came before it.
  int32_t skipSpace(bool* sawSpace = nullptr);

  EKCssReader& m_reader;
  const std::map<EKName, EKName>* m_namespaces;
};

} // namespace EKCommonNS
