// EKDocument: the root of a DOM tree and the object that builds and writes trees. It loads
// through a pull parser, either completely or node by node as the tree is navigated (pull
// mode), resolves XInclude, and saves a tree or a subtree through an XML serializer. Its
// factories are virtual so that a host can substitute its own element classes: the loader
// creates every node through them.
//
//   EKPtr<EKDocument> doc = new EKDocument();
//   doc->load(u"file:///data/order.fo");
//   EKElement* root = ekCast<EKElement>(doc->getDocumentElement());
//   root->setAttribute(EKName(u"font-size"), EKValue(12.0f, UNIT_PT));
//   doc->save(u"/data/order-out.fo");
#pragma once

#include "ekcommon/core/EKLock.h"
#include "ekcommon/dom/EKNode.h"

#include <atomic>
#include <istream>
#include <memory>
#include <ostream>

namespace EKCommonNS {

class EKArena;
class EKAttr;
class EKElement;
class EKDocumentFragment;
class EKNameTable;
class EKProcessingInstruction;
class EKTextNode;
class EKUri;
class EKXmlParser;
class EKXmlSerializer;

class EKCOMMON_API EKDocument : public EKNode {
  EK_TYPE_IDENTITY(EKDocument, EKNode)

public:
  EKDocument();
  ~EKDocument() override;

  EKName getLocalName() const override;
  EKNodeType getNodeType() const override { return DOCUMENT_NODE; }
  EKPtr<EKNode> cloneNode(bool deep) override;
  // The base URI when one is set, else the document URI.
  UnicodeString getBaseUri() const override;

  // Factories: each returns a new node of this document, not yet inserted.
  // The first element child, loading up to it in pull mode.
  virtual EKElement* getDocumentElement();
  // An element without namespace; the name is split at its first colon.
  virtual EKPtr<EKElement> createElement(EKName qname);
  virtual EKPtr<EKElement> createElementNS(EKName namespaceUri, EKName prefix, EKName localName);
  virtual EKPtr<EKElement> createElementNS(EKName namespaceUri, EKName qname);
  virtual EKPtr<EKTextNode> createTextNode(const UnicodeString& text);
  virtual EKPtr<EKProcessingInstruction> createProcessingInstruction(EKName target, const UnicodeString& text);
  virtual EKPtr<EKDocumentFragment> createDocumentFragment();
  virtual EKPtr<EKAttr> createAttribute(EKName qname);
  virtual EKPtr<EKAttr> createAttributeNS(EKName namespaceUri, EKName prefix, EKName localName);
  virtual EKPtr<EKAttr> createAttributeNS(EKName namespaceUri, EKName qname);
  // How the loader and appendChildText make text children; a host may return an element of its
  // own that stands for the text (see saveTextTag), or null to drop the text.
  virtual EKPtr<EKNode> createTextNodeElement(const UnicodeString& text, EKNode* parent);

  // Loading. Each replaces the children of `node` (null: the document) with the content read;
  // in pull mode only the load starts, and navigation or loadNextNode reads the rest. Parser
  // errors are thrown as EKError; the tree built so far stays, still marked loading.
  void load(EKUri& uri, EKNode* node = nullptr);
  void load(const UnicodeString& uri, EKNode* node = nullptr);
  void load(std::istream& in, EKNode* node, const UnicodeString& uri);
  // Loads from the parser's current input.
  void load();
  // Parses the text completely, whatever the pull mode.
  void loadXml(const UnicodeString& text, EKNode* node = nullptr);
  // Reads until one more node is in the tree and returns it; null when the load is complete or
  // none is in progress.
  EKNode* loadNextNode();
  bool getPullMode() const { return m_pullMode; }
  void setPullMode(bool on) { m_pullMode = on; }
  // The node the last loadNextNode made (at the start: the node being loaded); null when idle.
  EKNode* getLastLoadingNode() const { return m_lastLoadingNode; }
  bool hasXInclude() const { return m_hasXInclude; }
  // Ends a load in progress: loadNextNode returns null from now on.
  void abort();

  // The native parser unless another one was set.
  EKXmlParser* getParser();
  void setParser(EKXmlParser* parser);
  // The library's serializer unless another one was set.
  EKXmlSerializer* getSerializer();
  void setSerializer(EKXmlSerializer* serializer);

  // Stores the string of EKUri(uri), after any redirection recorded for it.
  void setBaseUri(const UnicodeString& uri);
  bool isBaseUriSpecified() const { return !m_baseUri.isEmpty(); }
  const UnicodeString& getDocumentUri() const { return m_documentUri; }

  // Saving: `node` (null: the whole document) goes through the serializer. `encoding` is one of
  // "UTF-8" (also the default for anything else), "US-ASCII" or "Shift_JIS"; `standalone` is
  // written into the XML declaration when not empty. If anything throws, the serializer is
  // dropped and the error rethrown. A file is written beside its final name and renamed into
  // place only once complete.
  void save(std::ostream& out, EKNode* node = nullptr, const UnicodeString& encoding = UnicodeString(),
            const UnicodeString& standalone = UnicodeString());
  void save(const UnicodeString& file, EKNode* node = nullptr, const UnicodeString& encoding = UnicodeString(),
            const UnicodeString& standalone = UnicodeString());
  // As save(out, ...), with the encoding and standalone texts of the XML declaration given
  // apart from those of the output (non-empty ones replace them).
  void save(const UnicodeString& declEncoding, const UnicodeString& declStandalone, std::ostream& out,
            EKNode* node, const UnicodeString& encoding, const UnicodeString& standalone);
  // The saved text (UTF-8 output decoded), declaration included.
  UnicodeString saveXml(EKNode* node = nullptr);
  // Writes the declaration and the start tag of the document element with its attributes; the
  // host then writes the content and calls closeDocumentElement.
  void saveDocumentElement(std::ostream& out);
  void saveDocumentElement(const UnicodeString& file);
  void closeDocumentElement();

  // The next element sequence number.
  uint32_t nextSequenceNumber() { return m_elementCount++; }

  // Changes whenever a child is inserted or removed anywhere in this document's nodes, so that
  // what is derived from the shape of the tree (positions among siblings) can tell it is stale.
  // No two documents of one process ever share a value, and none is 0.
  uint64_t getStructureVersion() const { return m_structureVersion.load(std::memory_order_relaxed); }

private:
  friend class EKNode;
  void doLoad(EKNode* node);
  EKNode* loadNextNodeLocked();
  void startXInclude(EKElement* include);
  void doSave(EKNode* node, bool startTagOnly);
  void writeAttributes(EKElement* element, bool svgColors);
  void writeTextElement(EKNode* text);

  EKLock m_lock;
  // The nodes and values a load makes are cut from it.
  std::unique_ptr<EKArena> m_arena;
  EKNameTable* m_nameTable;
  EKPtr<EKXmlParser> m_parser;
  EKPtr<EKXmlSerializer> m_serializer;
  UnicodeString m_baseUri;
  UnicodeString m_documentUri;
  EKNode* m_lastLoadingNode = nullptr;
  int m_skipDepth = 0;
  bool m_pullMode = false;
  bool m_hasXInclude = false;
  uint32_t m_elementCount = 0;
  // Trees change from one thread at a time, so a relaxed load and store suffice.
  std::atomic<uint64_t> m_structureVersion;
};

} // namespace EKCommonNS
