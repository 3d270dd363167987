// Reads the declarations of a rule set, an at-rule block or a style attribute from the CSS
// reader: property names, values kept as trimmed source text, "!important", and the recovery
// that skips a bad declaration and keeps the ones after it. Not installed.
#pragma once

#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/internal/EKCssReader.h"

#include <functional>
#include <string_view>

namespace EKCommonNS {

class EKCOMMON_API EKCssDeclarationParser {
public:
  // Feature bits of the parser's feature word that change how declarations are read.
  static constexpr unsigned int FEATURE_EXPRESSIONS = 2;
  static constexpr unsigned int FEATURE_DOTTED_PROPERTIES = 4;
  static constexpr unsigned int FEATURE_DECLARATION_OFFSETS = 128;

  // features: the parser feature word (FEATURE_EXPRESSIONS 2, FEATURE_DOTTED_PROPERTIES 4,
  // FEATURE_DECLARATION_OFFSETS 128).
  EKCssDeclarationParser(EKCssReader& reader, unsigned int features);

  // With the reader's current token being '{': reads the declarations up to and including the
  // matching '}' into `out` (normal and important ones, in order). Returns 0, or the first error
  // code reported while reading it (the block is still read to its end, or to the end of the
  // text, which is error 936). `atRule` (may be null) is called for an ATKEYWORD inside the block
  // with the reader on that token and must consume the nested rule; when null, a nested at-rule is
  // error 946 and skipped as a statement.
  unsigned short parseBlock(EKCssDeclarations& out, const std::function<void()>* atRule = nullptr);
  // Reads a declaration list with no braces up to the end of the text (a style attribute's
  // text); returns as parseBlock. A stray '}' is error 953 and ignored.
  unsigned short parseList(EKCssDeclarations& out);
  // Reads a value in parenthesis mode up to (not including) the matching ')', which stays the
  // next token; returns its trimmed source text (used for media features). Brackets inside are
  // balanced; ';', '{' or '}' outside them, or the end of the text, also end the value and stay
  // the next token, so that the caller reports the missing ')'.
  UnicodeString parseParenthesisValue();

private:
  unsigned short parseDeclarations(EKCssDeclarations& out, bool block, const std::function<void()>* atRule);
  // One declaration whose first token is the current one. The token after it (';', '}', the end
  // of the text or whatever stopped the value) is left to be read next.
  void parseDeclaration(EKCssDeclarations& out);
  // The property name from the current token; EKName() after reporting error 962.
  EKName readPropertyName();
  // The value after the colon: true with the offsets of its first and last term, or false after
  // an error (nothing left to skip for the caller but the rest of the declaration).
  bool readValue(int32_t* begin, int32_t* end);
  // One term starting with the current token (kind `kind`); false when the token starts none.
  // Errors go through the reader, so they are held back inside a trial.
  bool readTerm(int32_t kind);
  // Reads on through an upper-case "U+" range when the current IDENT token begins a valid one.
  void readUnicodeRange();
  // Skips the rest of a bad declaration to the next ';' or the '}' of the block, either left to
  // be read, balancing brackets on the way; reports 936 for the end of the text inside one.
  void skipDeclaration();
  // Reads tokens, balancing brackets, up to the first one outside them whose character is in
  // `stops` or the end of the text (936 when inside a bracket); that token is left to be read
  // next and its kind returned.
  int32_t readBalanced(std::u16string_view stops);
  // Error 936, unless this parse has just reported it (the end of the text is met once but may
  // be noticed at several levels).
  void reportEnd();

  EKCssReader& m_reader;
  unsigned int m_features;
  // Index in the reader's errors of the first error of the current parse.
  size_t m_firstError = 0;
};

} // namespace EKCommonNS
