// The library's own pull parser. Input is decoded in blocks into UTF-16; scanners read it one
// character at a time through an inline fast path and take runs of plain text, names and
// attribute values in bulk. Entity replacement text and external entities are stacked input
// frames, so no nesting in the input is ever handled by recursion.
#pragma once

#include "ekcommon/xml/EKNamespaceManager.h"
#include "ekcommon/xml/EKXmlParser.h"
#include "ekcommon/xml/internal/EKXmlDecoder.h"
#include "ekcommon/xml/internal/EKXmlEntityMaps.h"

#include "ekcommon/core/EKError.h"

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKXmlParserImpl : public EKXmlParser {
  EK_TYPE_IDENTITY(EKXmlParserImpl, EKXmlParser)
public:
  explicit EKXmlParserImpl(const EKUri::ContentInfo* info = nullptr);
  ~EKXmlParserImpl() override;

  void setFeature(Feature feature, bool on) override;
  bool getFeature(Feature feature) const override;
  void setStreamType(const EKUri::ContentInfo* info, const UnicodeString& extension) override;
  void setCallbackError(ErrorCallback callback, void* userData) override;
  using EKXmlParser::setInput;
  void setInput(EKUri& uri, const UnicodeString& encoding, const UnicodeString& baseUri) override;
  void setInput(std::istream& in, const UnicodeString& encoding, const UnicodeString& baseUri) override;
  void setInputUri(const EKUri& uri) override;
  UnicodeString getInputUri() override { return m_inputUri; }
  void closeStream() override;
  UnicodeString getInputEncoding() override;
  void defineEntityReplacementText(EKName name, const UnicodeString& text) override;
  int getNamespaceCount(int depth) const override;
  EKName getNamespacePrefix(int pos) override;
  EKName getNamespaceUri(int pos) override;
  EKName getNamespace() override;
  EKName getNamespace(EKName prefix) override;
  int getDepth() const override;
  UnicodeString getPositionDescription() override;
  int getLineNumber() const override { return m_line; }
  int getColumnNumber() const override { return m_column; }
  bool isWhitespace() const override;
  UnicodeString getText() override;
  EKName getTarget() override;
  bool hasXmlDecl() const override { return m_hasXmlDecl; }
  EKName getName() override;
  EKName getPrefix() override;
  bool isEmptyElementTag() const override;
  int getAttributeCount() const override;
  EKName getAttributeNamespace(int index) override;
  EKName getAttributeName(int index) override;
  EKName getAttributePrefix(int index) override;
  UnicodeString getAttributeValue(EKName namespaceUri, EKName localName) override;
  UnicodeString getAttributeValue(int index) override;
  EventType getEventType() override { return m_event; }
  EventType next() override;
  EventType nextToken() override;
  UnicodeString getBaseUri() override { return m_baseUri; }
  void pushStream(const UnicodeString& uri, EKName kind, const UnicodeString& encoding) override;
  void throwError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) override;
  bool popError(EKError& error) override;
  void pushError(const EKError& error) override;
  void addMathMLEntities() override;
  const void* saveEntityMaps() const override;
  void recoverEntityMaps(const void*& saved) override;
  void rewind() override;
  void setAutoClose(bool on) override { m_autoClose = on; }
  bool isXML() const override { return !isHTMLSyntax(); }
  bool isHTMLSyntax() const override;
  bool isXHTMLSyntax() const override;
  void setParserType(EKName type, EKName htmlFlavour) override;
  void setHtmlDefaultCharset(const UnicodeString& charset) override { m_htmlDefaultCharset = charset; }
  UnicodeString getLanguage() override { return m_contentLanguage; }
  UnicodeString getPubidLiteral() override { return m_pubidLiteral; }
  UnicodeString getExternalDTD() override { return m_systemLiteral; }
  void setHugeTextLimit(int limit) override;

  // Reads the resource as an external DTD subset (text declaration, then declarations to the end)
  // with what the document declared before (may be null), and returns all the declarations; null
  // when a remote DTD cannot be fetched.
  std::shared_ptr<const EKXmlEntityMaps> readExternalSubset(EKUri& uri, const EKXmlEntityMaps* declared);

  // Values beyond every character that stand for the end of the input and of one entity frame.
  static constexpr char32_t END_OF_INPUT = 0x7FFFFFFF;
  static constexpr char32_t END_OF_ENTITY = 0x7FFFFFFE;

private:
  // What the lead characters of the next token said it is; they have been consumed.
  enum Pending {
    PENDING_NONE,
    PENDING_TEXT,
    PENDING_START_TAG, // "<" read
    PENDING_END_TAG,   // "</" read
    PENDING_PI,        // "<?" read
    PENDING_MARKUP,    // "<!" read
    PENDING_REFERENCE, // "&" read
    PENDING_END_OF_ENTITY,
    PENDING_END_OF_INPUT,
  };

  // One source of characters: the document, an external entity, or replacement text.
  struct Frame {
    enum Kind { DOCUMENT, EXTERNAL, INTERNAL, PARAMETER };
    Kind kind = DOCUMENT;
    std::u16string chars; // decoded input; what is not yet read starts at `pos`
    size_t pos = 0;
    // Replacement text, read in place of `chars` (a copy that shares the entity's buffer).
    UnicodeString text;
    bool readsText = false;
    const char16_t* data() const {
      return readsText ? reinterpret_cast<const char16_t*>(text.getBuffer()) : chars.data();
    }
    size_t size() const { return readsText ? static_cast<size_t>(text.length()) : chars.size(); }
    // Streams (DOCUMENT and EXTERNAL).
    std::istream* stream = nullptr;
    bool ownsStream = false;
    std::unique_ptr<std::istream> transcoder;
    EKXmlDecoder decoder;
    UnicodeString encodingName;
    bool byteOrderMark = false;
    std::string bytes;
    size_t bytePos = 0;
    bool streamEnded = false;
    bool oneCharAtATime = false; // while a declaration may still change the decoding
    // Meanwhile the bytes each character in `chars` came from (a count per UTF-16 unit, 0 for the
    // second of a pair), so that characters decoded ahead can be decoded again another way.
    std::string decodedBytes;
    std::vector<uint8_t> decodedCounts;
    bool afterCR = false;        // a CR was read: a following LF (or NEL in 1.1) belongs to it
    bool isXml11 = false;
    int line = 1;
    int column = 0;
    UnicodeString inputUri;
    UnicodeString baseUri;
    EKName parserType;
    // The entity whose replacement this is (empty for the document), kept by name so that maps
    // replaced meanwhile (MathML scoping) leave nothing dangling, and the element depth at which
    // it began.
    EKName entityName;
    bool parameterEntity = false;
    int elementDepth = 0;
    int topDepth = 0; // the depth that counts as top level inside this frame (XInclude "xml")
    bool inclusion = false; // an XInclude "xml" resource
  };

  struct Attribute {
    EKName prefix;
    EKName localName;
    EKName namespaceUri;
    UnicodeString value;
  };

  // --- state
  void resetState();
  void openDocumentFrame(std::istream* stream, bool owned);
  void checkStream();
  void start();
  [[noreturn]] void fatal(unsigned short code, const UnicodeString& arg1 = UnicodeString(),
                          const UnicodeString& arg2 = UnicodeString());
  void warn(unsigned short code, const UnicodeString& arg1 = UnicodeString(),
            const UnicodeString& arg2 = UnicodeString());
  Frame& top() { return *m_frames.back(); }
  void loadFrame();
  void saveFrame();

  // --- input
  char32_t read() {
    if (m_cur < m_lim) {
      const char32_t c = *m_cur;
      if (c - 0x20 < 0x5F) {
        ++m_cur;
        m_column += m_countPosition;
        return c;
      }
    }
    return readSlow();
  }
  char32_t peek() {
    if (m_cur < m_lim) {
      const char32_t c = *m_cur;
      if (c - 0x20 < 0x5F)
        return c;
    }
    return peekSlow();
  }
  char32_t readSlow();
  char32_t peekSlow();
  bool refill();
  void decodeMore(Frame& frame);
  // Turns the characters decoded beyond the read position back into undecoded bytes.
  void undecodeAhead(Frame& frame);
  bool decodeInPlace(Frame& frame, size_t start);
  // Whether the unread input starts with the ASCII text (decoding ahead as needed); nothing is
  // consumed.
  bool lookingAt(const char* ascii);
  char32_t checkChar(char32_t c);
  void detectByteOrder(Frame& frame);
  void applyEncoding(const UnicodeString& name);
  bool useTranscoder(Frame& frame, const UnicodeString& name);
  void setXml11(bool on);
  void pushFrame(std::unique_ptr<Frame> frame);
  void pushTextFrame(Frame::Kind kind, EKXmlEntityMaps::Entity& entity, bool padded);
  char32_t readAcross(size_t base);
  bool takePlainRun(std::u16string& out, char16_t stop);
  static constexpr int MAX_INCLUSION_DEPTH = 64;
  bool isLoopedInclusion(const EKUri& resolved);
  // pushStream for a URI already resolved (external entities are resolved where declared).
  void pushResolvedStream(const EKUri& resolved, EKName kind, const UnicodeString& encoding, bool inclusion);
  // Appends name characters (no start-character check).
  void readNameChars(UnicodeString& raw);
  void readNameChars(std::u16string& raw);
  bool readName(std::u16string& raw);
  void popFrame();
  void countExpansion(uint64_t characters);
  EKXmlEntityMaps::Entity* findEntity(EKName name, bool parameter);
  void skipWhitespace();
  bool readWhitespace(); // true when at least one white-space character was read
  void expect(const char* literal, unsigned short code, const UnicodeString& arg = UnicodeString());

  // --- tokens
  EventType readToken(bool coalescing);
  void classify();
  void readText();
  void appendText(char32_t c);
  void checkTextLimit(bool comment);
  EventType readStartTag();
  void readTag();
  void readAttribute(Attribute& attribute);
  void readAttributeValue(UnicodeString& value);
  void readUnquotedValue(UnicodeString& value);
  void appendValueChar(char32_t c);
  EventType openTag();
  void openElement(EKName prefix, EKName localName, int attributeCount);
  void finishOpenElement();
  EventType readEndTag();
  void readEndTagName();
  bool endTagMatches();
  bool isKeptRoot();
  EventType closeTag();
  void readComment();
  void readCData();
  void readPI();
  void readXmlDecl(bool textDecl);
  EventType readMarkup(bool coalescing);
  void skipConditionalUnknown();
  EventType readReference(bool coalescing);
  // The character of a reference after "&#"; appended to `out`.
  char32_t readCharRef();
  EKName readEntityName(char32_t first);
  void expandGeneralEntity(EKName name, bool inAttribute);
  EKXmlEntityMaps::Entity* entityToExpand(bool parameter, EKName name);
  void pushExternalEntity(EKXmlEntityMaps::Entity& entity);
  EventType endDocument();
  bool atTopLevel();
  void applyNamespaces();
  void popElement();

  // --- HTML syntax
  // The syntax decision; caches what the rules settle (const: the getters ask it).
  bool html() const {
    if (m_detectedSyntax.isEmpty() && !m_syntaxSettled)
      detectSyntax();
    return m_detectedSyntax == EKN_html;
  }
  bool xhtml() const {
    if (m_detectedSyntax.isEmpty() && !m_syntaxSettled)
      detectSyntax();
    return m_detectedSyntax == EKN_xhtml;
  }
  void detectSyntax() const;
  void forgetSyntax();
  EKName detectXhtml() const;
  bool detectHtml() const;
  // Whether the input may still turn out to be HTML.
  bool htmlPossible() const;
  static void lowerCase(std::u16string& chars);
  // The case of HTML: the tag name and attribute names lower-cased and interned again.
  void lowerTagNames();
  EKName lowerName(EKName name);
  // A deviation from XML that HTML syntax allows: reported as `code` where XML holds, remembered
  // while the root tag is read before the syntax is known, and passed over in HTML.
  void tolerate(unsigned short code, const UnicodeString& arg = UnicodeString());
  void noteRoot();
  void setUpRoot();
  EventType openRoot();
  EventType openHtmlTag();
  EventType implyElement(EKName localName);
  EventType endCurrentElement();
  void declareVocabularyNamespace();
  void applyMetaCharset();
  void applyHtmlCharset(const UnicodeString& charset, bool fromMeta);
  void closeMetaWindow();
  void consumeOwnEndTag();
  bool dropsEndTag();
  EventType repairEndTag();
  bool isHtmlOpen(EKName localName) const;
  // Look-ahead in the current frame: the characters available from the read position, decoding
  // ahead up to `wanted`; nothing is consumed.
  size_t lookAhead(size_t wanted);
  bool endTagAhead(EKName localName, size_t offset);
  bool rawTextMarkupAhead();
  bool referenceAhead(size_t offset);
  bool inRawText() const { return m_rawTextDepth >= 0 && m_rawTextDepth == m_namespaces->getDepth(); }

  // --- names
  bool readName(UnicodeString& raw);
  EKName intern(const char16_t* chars, int32_t length);
  void splitQName(const std::u16string& qname, EKName& prefix, EKName& localName);

  // --- DTD
  void readDoctype(bool rootRead);
  void readSubset(bool external);
  void readDeclaration();
  void readEntityDecl();
  bool readQuoted(UnicodeString& out, bool entityValue);
  void readIgnoredSection();
  void skipDeclarationBody(const UnicodeString& keyword);
  void expandParameterEntity(bool inLiteral);
  void readExternalDtd();
  void mergeEntities(const EKXmlEntityMaps& maps);
  void attachEntitySet(int set);
  // A general entity by name, declared or from an attached set; null when there is none.
  EKXmlEntityMaps::Entity* findGeneral(EKName name);
  void checkMathElement();
  UnicodeString externalDeclaration(const EKXmlEntityMaps::Entity& entity) const;

  // --- options that survive a new input
  bool m_features[FEATURE_COUNT] = {};
  std::unique_ptr<EKUri::ContentInfo> m_contentInfo;
  ErrorCallback m_callback = nullptr;
  void* m_callbackData = nullptr;
  bool m_autoClose = true;
  int m_hugeTextLimit = 10000000;
  EKName m_parserType = EKN_auto;
  EKName m_htmlFlavour = EKN_html;
  UnicodeString m_htmlDefaultCharset;
  UnicodeString m_contentType;
  UnicodeString m_contentLanguage;
  UnicodeString m_extension;

  // --- input
  std::vector<std::unique_ptr<Frame>> m_frames;
  // Frames of replacement text that ended, kept for the next expansion.
  std::vector<std::unique_ptr<Frame>> m_spareFrames;
  const char16_t* m_cur = nullptr;
  const char16_t* m_lim = nullptr;
  int m_countPosition = 1; // 1 while reading a stream, 0 inside replacement text
  int m_line = 1;
  int m_column = 0;
  bool m_started = false;
  UnicodeString m_inputUri;
  UnicodeString m_baseUri;
  UnicodeString m_suppliedEncoding;
  std::istream* m_input = nullptr; // the document's byte stream
  bool m_ownsInput = false;
  // What rewind needs once the input has been closed: the URI to open again, or the caller's stream.
  std::unique_ptr<EKUri> m_inputLocation;
  std::istream* m_callerStream = nullptr;
  uint64_t m_bytesRead = 0;
  uint64_t m_expanded = 0;
  bool m_isXml11 = false;

  // --- events
  EventType m_event = START_DOCUMENT;
  Pending m_pending = PENDING_NONE;
  bool m_hasXmlDecl = false;
  bool m_seenDoctype = false;
  bool m_rootStarted = false;
  bool m_emptyElement = false;
  bool m_endPending = false; // the END_TAG of an empty-element tag is due
  bool m_popPending = false; // the scope of the last END_TAG is still open
  EKPtr<EKNamespaceManager> m_namespaces;
  std::vector<int> m_elementFrames; // frame index at which each open element began
  std::vector<Attribute> m_attributes;
  int m_attributeCount = -1;
  std::u16string m_text;
  bool m_textIsNull = false;
  EKName m_refName;
  EKName m_target;
  // HTML syntax: the detected syntax and whether nothing can change it any more, what the root
  // element said, the tag being read (kept to be read again after an implied tag), the open HTML
  // elements by name, and the raw-text element.
  mutable EKName m_detectedSyntax = EKN_EMPTY;
  mutable bool m_syntaxSettled = false;
  bool m_rootSeen = false;
  EKName m_rootNamespace;
  EKName m_rootName;
  enum TagMode { TAG_XML, TAG_PROVISIONAL, TAG_HTML };
  TagMode m_tagMode = TAG_XML;
  unsigned short m_toleratedCode = 0;
  UnicodeString m_toleratedArg;
  enum Replay { REPLAY_NONE, REPLAY_START_TAG, REPLAY_END_TAG };
  Replay m_replay = REPLAY_NONE;
  EKName m_tagPrefix;
  EKName m_tagName;
  int m_tagAttributeCount = 0;
  bool m_tagEmpty = false;
  bool m_tagLowered = false;
  std::unordered_map<uint32_t, int> m_htmlOpenCounts; // by EKNameEnum of the local name
  int m_rawTextDepth = -1;

  // --- entities and DTD
  EKXmlEntityMaps m_entities;
  std::unique_ptr<EKXmlEntityMaps> m_mathSaved;
  int m_mathDepth = -1;
  bool m_setAttached[3] = {};
  std::vector<int> m_setOrder;
  bool m_readingExternalSubset = false;
  bool m_subsetOfXml11 = false; // the external subset belongs to an XML 1.1 document
  UnicodeString m_doctypeRoot;
  UnicodeString m_pubidLiteral;
  UnicodeString m_systemLiteral;

  // --- errors
  std::deque<EKError> m_errors;
  bool m_reporting = false;

  // --- a small direct-mapped cache of interned names, so that repeated names skip the table lock
  struct CachedName {
    std::u16string chars;
    EKName name;
  };
  std::vector<CachedName> m_nameCache;
  std::u16string m_qname;
  std::u16string m_nameBuffer;
};

} // namespace EKCommonNS
