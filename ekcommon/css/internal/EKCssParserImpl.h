// The style-sheet parser proper: keeps the installed text with its line table, and reads the
// sheet's statements (the @charset, @import and @namespace prologue, rule sets and the at-rules)
// into an EKCssRulesStylesheet through the CSS reader and the selector, declaration and media
// query parsers. Imported sheets get child parsers that know their parent, for loop detection.
// Not installed.
#pragma once

#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssParser.h"
#include "ekcommon/css/internal/EKCssReader.h"
#include "ekcommon/css/internal/SelectorDeclarationsPair.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace EKCommonNS {

class EKCssRulesStylesheet;

class EKCOMMON_API EKCssParserImpl : public EKCssParser {
  EK_TYPE_IDENTITY(EKCssParserImpl, EKCssParser)
public:
  // How deep @import chains may go, and how many sheets one top-level parse may import in all;
  // an import beyond either limit is refused like an import loop (a chain of distinct URIs or a
  // sheet importing another many times could otherwise run without end).
  static constexpr int MAX_IMPORT_DEPTH = 32;
  static constexpr int MAX_IMPORTS = 1000;

  // `parent` is the parser whose @import made this one (null for a host's parser).
  // The parser keeps names while it lives (its context element and the names it reads), so it
  // holds a reference on the shared name table.
  EKCssParserImpl(const EKXmlCatalogs* catalogs, const EKUri::ContentInfo* info, EKCssParserImpl* parent = nullptr);
  ~EKCssParserImpl() override;

  unsigned short load(std::istream* in, const EKUri& uri, const UnicodeString& defaultEncoding) override;
  unsigned short setText(const UnicodeString& text, EKName contextElement, const EKUri& baseUri) override;
  unsigned short parseInto(EKCssRules* rules) override;
  void setStartPosition(int line, int column) override;
  void setStartPosition(EKXmlParser* xml) override;
  unsigned int setFeature(unsigned int bits, bool on) override;
  unsigned int getFeature(unsigned int bits) const override { return m_features & bits; }
  const std::vector<EKError>* getIssuedErrors() const override { return m_errors.empty() ? nullptr : &m_errors; }

  // The encoding the last load decoded the sheet with; empty after setText alone.
  const UnicodeString& getEncoding() const { return m_encoding; }
  unsigned short getLastError() const { return m_lastError; }

private:
  // Issues one error at an unknown position (loading) and returns its code.
  unsigned short issue(const EKError& error);
  // The local path that stands for {0} in messages.
  UnicodeString messagePath() const;

  // The body of the sheet or of an @media block, up to the end of the text or, inside a block,
  // its closing '}', which is consumed.
  void parseBody();
  // The @charset, @import and @namespace statements that may open a sheet. With `charsets` the
  // @charset checks run first.
  void parsePrologue(bool charsets);
  // A rule set from the current token; true when its selectors were read.
  bool parseRuleSet();
  // The at-rule whose ATKEYWORD is the current token; consumes it whole.
  void parseAtRule();
  void parseMedia();
  void parsePage();
  void parseMarginBlock(EKName name);
  void parseImport();
  void parseNamespace();
  void parseFontFace(EKName name);
  void parseCounterStyle();

  // The URL after a "url(" FUNCTION token through its ')': true with the trimmed text.
  bool readUrl(UnicodeString& url);
  // From the current token (the end of an at-rule's prelude): requires '{' (951 otherwise, then
  // the block after the next '{' is read) and reads the block's declarations and, through
  // dispatch, its nested at-rules. False when the text ended before a block.
  bool readAtBlock(EKCssDeclarations& out);
  // Skips the rest of the current statement; inside a block, not past the block's end.
  void skipStatement();
  // The name of the first open block whose name is among `names`, in their order; EKName() when none.
  EKName openBlock(std::initializer_list<EKName> names) const;
  bool isOpen(EKName name) const;
  bool blockOpen() const;
  // Counts a block of this kind open for the life of the guard.
  struct Nesting {
    Nesting(EKCssParserImpl& parser, EKName name);
    ~Nesting();
    EKCssParserImpl& parser;
    EKName name;
  };

  // The parent chain: the base and input URIs of the sheets whose imports led here, and how deep
  // and how many imports so far.
  std::vector<UnicodeString> ancestorUris() const;
  int depth() const;
  EKCssParserImpl* root();

  const EKXmlCatalogs* m_catalogs;
  std::optional<EKUri::ContentInfo> m_info;
  EKCssParserImpl* m_parent;
  EKUri m_baseUri;
  EKUri m_inputUri;
  UnicodeString m_encoding;
  EKName m_contextElement;
  std::vector<uint32_t> m_lineStarts;
  int m_startLine = 0;
  int m_startColumn = 0;
  // The text; the scanner blanks comments in it as it reads them.
  std::u16string m_text;
  unsigned int m_features = DEFAULT_FEATURES;
  std::vector<EKError> m_errors;
  unsigned short m_lastError = 0;
  std::map<EKName, int> m_nesting;
  // Sheets imported under this (top-level) parser in all.
  int m_importCount = 0;

  // While parseInto runs: the reader over a working copy of the text, the sheet and its source id.
  EKCssReader* m_reader = nullptr;
  EKCssRulesStylesheet* m_sheet = nullptr;
  int32_t m_sourceId = -1;
  // While the block of an @page rule is read: where its margin-box and note blocks go.
  SelectorDeclarationsPair::PageBlocks* m_pageBlocks = nullptr;
};

} // namespace EKCommonNS
