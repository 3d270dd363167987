#include "ekcommon/dom/EKDocument.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/core/internal/EKArena.h"
#include "ekcommon/dom/EKDocumentFragment.h"
#include "ekcommon/dom/EKNamedNodeMap.h"
#include "ekcommon/dom/EKProcessingInstruction.h"
#include "ekcommon/dom/EKTextNode.h"
#include "ekcommon/dom/EKTreeIterator.h"
#include "ekcommon/dom/internal/AttrNS.h"
#include "ekcommon/dom/internal/ElementNS.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/resources/EKStrStream.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/resources/internal/EKFetchState.h"
#include "ekcommon/xml/EKXmlParser.h"
#include "ekcommon/xml/EKXmlSerializer.h"
#include "ekcommon/xml/EKXmlUtil.h"

#include <string>

namespace EKCommonNS {

namespace {

// Structure versions of different documents start this far apart, so that they never meet;
// none is 0.
constexpr uint64_t STRUCTURE_VERSION_SPAN = uint64_t(1) << 40;
std::atomic<uint64_t> s_nextStructureVersion{STRUCTURE_VERSION_SPAN};

} // namespace

EKDocument::EKDocument()
    : EKNode(nullptr), m_arena(new EKArena()), m_nameTable(EKNameTable::addRefSharedNameTable()),
      m_structureVersion(s_nextStructureVersion.fetch_add(STRUCTURE_VERSION_SPAN, std::memory_order_relaxed)) {
  setFlag(FLAG_DOCUMENT, true);
}

EKDocument::~EKDocument() {
  // Nodes a host still holds outlive the document; they lose their link to it.
  dismantleChildren(true);
  m_lastLoadingNode = nullptr;
  m_parser = nullptr;
  m_serializer = nullptr;
  EKNameTable::releaseSharedNameTable();
}

EKName EKDocument::getLocalName() const { return EKName(EKN_document); }

UnicodeString EKDocument::getBaseUri() const { return m_baseUri.isEmpty() ? m_documentUri : m_baseUri; }

void EKDocument::setBaseUri(const UnicodeString& uri) {
  UnicodeString resolved = EKUri(uri).toString();
  {
    EKMutex guard(EKFetchState::s_redirectionLock);
    auto known = EKFetchState::s_redirections.find(resolved);
    if (known != EKFetchState::s_redirections.end() && !known->second.isEmpty())
      resolved = known->second;
  }
  m_baseUri = resolved;
}

EKPtr<EKNode> EKDocument::cloneNode(bool deep) {
  EKPtr<EKDocument> copy(new EKDocument());
  copy->m_baseUri = m_baseUri;
  copy->m_documentUri = m_documentUri;
  if (!deep)
    return EKPtr<EKNode>(copy.get());
  // The copies are made by the new document's factories, parent by parent.
  EKNode* target = copy;
  EKTreeIterator it(this, EKTreeIterator::PRE_AND_POST_ORDER);
  it.nextNode();
  while (EKNode* node = it.nextNode()) {
    if (node == this)
      break;
    if (it.atPostVisit()) {
      if (node->hasChildNodesFast())
        target = target->getParentNodeFast();
      continue;
    }
    EKPtr<EKNode> made;
    if (EKElement* element = ekCast<EKElement>(node)) {
      EKPtr<EKElement> e = copy->createElementNS(element->getNamespaceUri(), element->getPrefix(),
                                                 element->getLocalName());
      if (EKNamedNodeMap* attributes = element->hasAttributes() ? element->getAttributes() : nullptr) {
        for (int i = 0, n = attributes->getLength(); i < n; ++i) {
          EKAttr* attr = attributes->item(i);
          e->setAttributeNS(attr->getNamespaceUri(), attr->getPrefix(), attr->getLocalName(), attr->getValue());
        }
      }
      made = e.get();
    } else if (node->isProcessingInstruction()) {
      made = copy->createProcessingInstruction(node->getLocalName(), node->getText()).get();
    } else if (node->getNodeType() == TEXT_NODE) {
      made = copy->createTextNode(node->getText()).get();
    }
    if (!made) {
      it.setCurrentNode(node, true);
      continue;
    }
    target->appendChild(made);
    if (node->hasChildNodes())
      target = made;
  }
  return EKPtr<EKNode>(copy.get());
}

EKElement* EKDocument::getDocumentElement() {
  for (EKNode* child = getFirstChild(); child; child = child->getNextSibling()) {
    if (child->isElementNode())
      return static_cast<EKElement*>(child);
  }
  return nullptr;
}

EKPtr<EKElement> EKDocument::createElement(EKName qname) {
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  return EKPtr<EKElement>(new Element(this, prefix, localName));
}

EKPtr<EKElement> EKDocument::createElementNS(EKName namespaceUri, EKName prefix, EKName localName) {
  return EKPtr<EKElement>(new ElementNS(this, namespaceUri, prefix, localName));
}

EKPtr<EKElement> EKDocument::createElementNS(EKName namespaceUri, EKName qname) {
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  return createElementNS(namespaceUri, prefix, localName);
}

EKPtr<EKTextNode> EKDocument::createTextNode(const UnicodeString& text) {
  return EKTextNode::create(this, text);
}

EKPtr<EKProcessingInstruction> EKDocument::createProcessingInstruction(EKName target, const UnicodeString& text) {
  return EKPtr<EKProcessingInstruction>(new EKProcessingInstruction(this, target, text));
}

EKPtr<EKDocumentFragment> EKDocument::createDocumentFragment() {
  return EKPtr<EKDocumentFragment>(new EKDocumentFragment(this));
}

EKPtr<EKAttr> EKDocument::createAttribute(EKName qname) {
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  return EKPtr<EKAttr>(new Attr(this, prefix, localName));
}

EKPtr<EKAttr> EKDocument::createAttributeNS(EKName namespaceUri, EKName prefix, EKName localName) {
  return EKPtr<EKAttr>(new AttrNS(this, namespaceUri, prefix, localName));
}

EKPtr<EKAttr> EKDocument::createAttributeNS(EKName namespaceUri, EKName qname) {
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  return createAttributeNS(namespaceUri, prefix, localName);
}

EKPtr<EKNode> EKDocument::createTextNodeElement(const UnicodeString& text, EKNode*) {
  return EKPtr<EKNode>(createTextNode(text).get());
}

EKXmlParser* EKDocument::getParser() {
  if (!m_parser)
    m_parser = EKXmlParser::createXmlParser(nullptr);
  return m_parser;
}

void EKDocument::setParser(EKXmlParser* parser) { m_parser = parser; }

EKXmlSerializer* EKDocument::getSerializer() {
  if (!m_serializer)
    m_serializer = EKXmlSerializer::createXmlSerializer();
  return m_serializer;
}

void EKDocument::setSerializer(EKXmlSerializer* serializer) { m_serializer = serializer; }

void EKDocument::load(EKUri& uri, EKNode* node) {
  EKMutex guard(m_lock);
  getParser()->setInput(uri, UnicodeString(), m_baseUri);
  if (!node || node == this)
    m_documentUri = uri.toString();
  doLoad(node);
}

void EKDocument::load(const UnicodeString& uri, EKNode* node) {
  EKUri resolved(uri);
  load(resolved, node);
}

void EKDocument::load(std::istream& in, EKNode* node, const UnicodeString& uri) {
  EKMutex guard(m_lock);
  if (!node || node == this)
    m_documentUri = uri;
  EKXmlParser* parser = getParser();
  parser->setInput(in, UnicodeString(), getBaseUri());
  parser->setInputUri(EKUri(uri));
  doLoad(node);
}

void EKDocument::load() {
  EKMutex guard(m_lock);
  doLoad(nullptr);
}

void EKDocument::loadXml(const UnicodeString& text, EKNode* node) {
  EKMutex guard(m_lock);
  if (!node || node == this)
    m_documentUri.remove();
  EKStrStream in(text);
  getParser()->setInput(in, UNICODE_STRING_SIMPLE("UTF-16"), m_baseUri);
  const bool pullMode = m_pullMode;
  m_pullMode = false;
  try {
    doLoad(node);
  } catch (...) {
    m_pullMode = pullMode;
    m_lastLoadingNode = nullptr; // the text is gone with this call
    throw;
  }
  m_pullMode = pullMode;
}

void EKDocument::doLoad(EKNode* node) {
  EKNode* target = node ? node : this;
  m_skipDepth = 0;
  m_hasXInclude = false;
  m_lastLoadingNode = target;
  target->setFlag(FLAG_LOADED, false);
  target->setFlag(FLAG_LOADING, true);
  target->removeAllChildNodes();
  if (!m_pullMode) {
    while (loadNextNode()) {
    }
  }
}

void EKDocument::abort() {
  EKMutex guard(m_lock);
  m_lastLoadingNode = nullptr;
}

EKNode* EKDocument::loadNextNode() {
  EKMutex guard(m_lock);
  EKArena::Scope arena(m_arena.get());
  try {
    return loadNextNodeLocked();
  } catch (...) {
    // The tree stays as far as it got; navigating it must not run into the error again.
    m_lastLoadingNode = nullptr;
    throw;
  }
}

EKNode* EKDocument::loadNextNodeLocked() {
  if (!m_lastLoadingNode)
    return nullptr;
  EKNode* parent = m_lastLoadingNode->isLoading() ? m_lastLoadingNode : m_lastLoadingNode->getParentNodeFast();
  EKXmlParser* parser = getParser();
  while (parent) {
    const EKXmlParser::EventType event = parser->next();
    if (m_skipDepth) {
      if (event == EKXmlParser::END_TAG && parser->getDepth() == m_skipDepth)
        m_skipDepth = 0;
      if (event != EKXmlParser::END_DOCUMENT)
        continue;
    }
    switch (event) {
    case EKXmlParser::END_TAG:
      parent->setLoadDone();
      parent = parent->getParentNodeFast();
      // Ancestors the parser implied end with the element written inside them.
      while (parent && parent->getFlag(FLAG_COMPLEMENTAL)) {
        parent->setLoadDone();
        parent = parent->getParentNodeFast();
      }
      if (parent)
        m_lastLoadingNode = parent;
      continue;
    case EKXmlParser::END_DOCUMENT:
      parent = nullptr;
      continue;
    case EKXmlParser::START_TAG: {
      EKPtr<EKElement> element =
          createElementNS(parser->getNamespace(), parser->getPrefix(), parser->getName());
      if (!element) {
        m_skipDepth = parser->getDepth();
        continue;
      }
      element->setFlag(FLAG_LOADING, true);
      element->setSourceLineNumber(parser->getLineNumber());
      element->setSourceColumnNumber(parser->getColumnNumber());
      for (int i = 0, n = parser->getAttributeCount(); i < n; ++i) {
        element->setAttributeEx(parser->getAttributeNamespace(i), parser->getAttributePrefix(i),
                                parser->getAttributeName(i), parser->getAttributeValue(i));
      }
      element->finishAttributes();
      if (element->getNamespaceUri() == EKN_http_www_w3_org_2001_XInclude) {
        startXInclude(element);
        continue;
      }
      EKNode* inserted = parent->appendChildEx(element);
      EKNode* current = inserted && inserted->isElementNode() ? inserted : element.get();
      m_lastLoadingNode = current;
      return current;
    }
    case EKXmlParser::TEXT:
      if (EKNode* text = parent->appendChildText(parser->getText())) {
        m_lastLoadingNode = text;
        return text;
      }
      continue;
    case EKXmlParser::PROCESSING_INSTRUCTION: {
      EKPtr<EKProcessingInstruction> pi = createProcessingInstruction(parser->getTarget(), parser->getText());
      parent->appendChild(pi);
      m_lastLoadingNode = pi;
      return pi;
    }
    default:
      throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE, UnicodeString::fromUTF8(std::to_string(event)));
    }
  }
  // Complete: the target and anything still open on the way to it are loaded.
  for (EKNode* node = m_lastLoadingNode; node && node->isLoading(); node = node->getParentNodeFast())
    node->setLoadDone();
  m_lastLoadingNode = nullptr;
  return nullptr;
}

// An element of the XInclude namespace: an include brings its resource into the parser's input
// in its own place; any other element is an error. Neither goes into the tree, and the
// content of an include (its fallback included) is read over.
void EKDocument::startXInclude(EKElement* include) {
  EKXmlParser* parser = getParser();
  const int depth = parser->getDepth();
  if (include->getLocalName() != EKN_include) {
    parser->throwError(186, include->getNodeName().toString(), UnicodeString());
    m_skipDepth = depth;
    return;
  }
  m_hasXInclude = true;
  const UnicodeString href = include->getAttribute(EKName(EKN_href)).toString();
  const EKValue parseValue = include->getAttribute(EKName(EKN_parse));
  const UnicodeString parse = parseValue.isNull() ? UnicodeString(u"xml") : parseValue.toString();
  const UnicodeString encoding = include->getAttribute(EKName(EKN_encoding)).toString();
  while (!(parser->getEventType() == EKXmlParser::END_TAG && parser->getDepth() == depth)) {
    if (parser->next() == EKXmlParser::END_DOCUMENT)
      return;
  }
  if (href.isEmpty())
    return;
  if (parse != UNICODE_STRING_SIMPLE("xml") && parse != UNICODE_STRING_SIMPLE("text")) {
    parser->throwError(187, UNICODE_STRING_SIMPLE("parse"), parse);
    return;
  }
  parser->pushStream(href, EKName(parse), encoding);
}

} // namespace EKCommonNS
