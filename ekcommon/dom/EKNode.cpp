#include "ekcommon/dom/EKNode.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/internal/EKArena.h"
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/dom/EKNamedNodeMap.h"
#include "ekcommon/dom/EKNodeIterator.h"
#include "ekcommon/dom/EKTreeIterator.h"
#include "ekcommon/dom/internal/NodeLists.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/EKXmlUtil.h"

#include <vector>

namespace EKCommonNS {

namespace {

const UnicodeString kNewChild = UNICODE_STRING_SIMPLE("newChild");
const UnicodeString kRefChild = UNICODE_STRING_SIMPLE("refChild");
const UnicodeString kOldChild = UNICODE_STRING_SIMPLE("oldChild");

} // namespace

void* EKNode::operator new(size_t size) { return EKArena::allocate(size); }

void EKNode::operator delete(void* memory, size_t size) noexcept { EKArena::deallocate(memory, size); }

// Over-aligned classes of a host bypass the arena.
void* EKNode::operator new(size_t size, std::align_val_t alignment) { return ::operator new(size, alignment); }

void EKNode::operator delete(void* memory, size_t, std::align_val_t alignment) noexcept {
  ::operator delete(memory, alignment);
}

EKNode::EKNode(EKDocument* ownerDocument) : m_ownerDocument(ownerDocument) {
  holdDocument();
}

EKNode::~EKNode() {
  // A load in progress must not go on into a node that is gone.
  if (m_ownerDocument && m_ownerDocument->m_lastLoadingNode == this)
    m_ownerDocument->m_lastLoadingNode = nullptr;
  dismantleChildren(false);
  unholdDocument();
}

// A node outside any tree keeps its document alive; a node in a tree relies on its root.
void EKNode::holdDocument() {
  if (m_ownerDocument)
    m_ownerDocument->addRef();
}

void EKNode::unholdDocument() {
  if (m_ownerDocument)
    m_ownerDocument->release();
}

void EKNode::dismantleChildren(bool forgetDocument) {
  if (!m_lastChild)
    return;
  // The nodes whose last reference was their parent's, to be deleted once their own children
  // are off them: the stack replaces recursion through the destructors.
  std::vector<EKNode*> dying;
  std::vector<EKNode*> survivors;
  EKNode* parent = this;
  for (;;) {
    while (EKNode* child = parent->m_lastChild) {
      parent->unlink(child);
      if (child->removeRef() > 0) {
        survivors.push_back(child);
        continue;
      }
      // Its destructor gives up a document reference: take one for it, unless the document is
      // the one being destroyed.
      if (forgetDocument)
        child->m_ownerDocument = nullptr; // its attributes see that, as they die with it
      else
        child->holdDocument();
      dying.push_back(child);
    }
    if (parent != this)
      delete parent;
    if (dying.empty())
      break;
    parent = dying.back();
    dying.pop_back();
  }
  for (EKNode* root : survivors) {
    if (!forgetDocument) {
      root->holdDocument();
      continue;
    }
    // The document is going: the kept subtrees can no longer reach it.
    EKTreeIterator it(root, EKTreeIterator::PRE_ORDER);
    while (EKNode* node = it.nextNode())
      forgetOwnerDocument(node);
  }
}

void EKNode::forgetOwnerDocument(EKNode* node) {
  node->m_ownerDocument = nullptr;
  if (EKElement* element = ekCast<EKElement>(node))
    element->forgetAttributesDocument();
}

EKDocument* EKNode::getLoader() const {
  if (m_ownerDocument)
    return m_ownerDocument;
  return const_cast<EKDocument*>(ekCast<const EKDocument>(this));
}

EKName EKNode::getNodeName() const { return EKXmlUtil::makeQName(getPrefix(), getLocalName()); }

EKName EKNode::getFOName() const { return getLocalName(); }
EKName EKNode::getNamespaceUri() const { return EKName(); }
EKName EKNode::getPrefix() const { return EKName(); }
void EKNode::setPrefix(EKName) {}
EKValue EKNode::getNodeValue() const { return EKValue(); }

void EKNode::setNodeValue(const EKValue&) {
  throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE, getTypeName());
}

EKNode* EKNode::getParentNode() const { return m_parent; }

bool EKNode::hasChildNodes() { return getFirstChild() != nullptr; }

EKPtr<EKNodeList> EKNode::getChildNodes() { return EKPtr<EKNodeList>(new ChildNodeList(this)); }

EKNode* EKNode::getFirstChild() {
  if (!m_lastChild && isLoading()) {
    if (EKDocument* loader = getLoader())
      loader->loadNextNode();
  }
  return getFirstChildFast();
}

EKNode* EKNode::getLastChild() {
  if (isLoading()) {
    if (EKDocument* loader = getLoader()) {
      while (isLoading() && loader->loadNextNode()) {
      }
    }
  }
  return m_lastChild;
}

EKNode* EKNode::getPreviousSibling() const { return m_previous; }

EKNode* EKNode::getNextSibling() {
  if (!m_parent)
    return nullptr;
  if (m_parent->m_lastChild == this && m_parent->isLoading()) {
    if (EKDocument* loader = getLoader()) {
      while (m_parent && m_parent->m_lastChild == this && m_parent->isLoading() && loader->loadNextNode()) {
      }
    }
  }
  return getNextSiblingFast();
}

EKDocument* EKNode::getOwnerDocument() const { return m_ownerDocument; }

void EKNode::checkSameDocument(const EKNode* child) const {
  if (child->m_ownerDocument != m_ownerDocument && child->m_ownerDocument != this)
    throwCommonError(EKERR_WRONG_DOCUMENT, kNewChild);
  // A node cannot go below itself. Only a node with children can be an ancestor, so the walk
  // up is skipped for the fresh nodes a loader appends.
  if (child == this || (child->m_lastChild && isDescendantOf(child)))
    throwCommonError(EKERR_OUT_OF_RANGE, kNewChild);
}

// Links a node that has no parent before refChild (at the end for null).
void EKNode::structureChanged() {
  EKDocument* document = m_ownerDocument;
  if (!document && getFlag(FLAG_DOCUMENT))
    document = static_cast<EKDocument*>(this);
  if (document)
    document->m_structureVersion.store(document->m_structureVersion.load(std::memory_order_relaxed) + 1,
                                       std::memory_order_relaxed);
}

void EKNode::linkBefore(EKNode* child, EKNode* refChild) {
  structureChanged();
  child->m_parent = this;
  if (!m_lastChild) {
    child->m_next = child;
    child->m_previous = nullptr;
    m_lastChild = child;
  } else if (!refChild) {
    EKNode* first = m_lastChild->m_next;
    child->m_previous = m_lastChild;
    child->m_next = first;
    m_lastChild->m_next = child;
    m_lastChild = child;
  } else {
    child->m_next = refChild;
    child->m_previous = refChild->m_previous;
    if (refChild->m_previous)
      refChild->m_previous->m_next = child;
    else
      m_lastChild->m_next = child; // refChild was first: the ring now starts with child
    refChild->m_previous = child;
  }
}

void EKNode::unlink(EKNode* child) {
  structureChanged();
  EKNode* first = m_lastChild->m_next;
  if (child == m_lastChild) {
    m_lastChild = child == first ? nullptr : child->m_previous;
    if (m_lastChild)
      m_lastChild->m_next = first;
  } else {
    if (child->m_previous)
      child->m_previous->m_next = child->m_next;
    else
      m_lastChild->m_next = child->m_next;
    child->m_next->m_previous = child->m_previous;
  }
  child->m_parent = nullptr;
  child->m_next = nullptr;
  child->m_previous = nullptr;
}

// Takes the child from its former parent (or the reference it held on its document as a
// detached node) and links it before refChild, at the end for null.
void EKNode::adopt(EKNode* child, EKNode* refChild) {
  checkSameDocument(child);
  child->addRef();
  if (EKNode* oldParent = child->m_parent) {
    oldParent->unlink(child);
    child->release();
  } else {
    child->unholdDocument();
  }
  linkBefore(child, refChild);
}

EKNode* EKNode::insertBefore(EKNode* newChild, EKNode* refChild) {
  if (!newChild)
    throwCommonError(EKERR_NULL_ARGUMENT, kNewChild);
  if (!refChild)
    return appendChild(newChild);
  if (refChild->m_parent != this)
    throwCommonError(EKERR_NOT_A_CHILD, kRefChild);
  if (newChild == refChild)
    return newChild;
  adopt(newChild, refChild);
  return newChild;
}

EKNode* EKNode::appendChild(EKNode* newChild) {
  if (!newChild)
    throwCommonError(EKERR_NULL_ARGUMENT, kNewChild);
  adopt(newChild, nullptr);
  return newChild;
}

EKPtr<EKNode> EKNode::removeChild(EKNode* oldChild) {
  if (!oldChild)
    throwCommonError(EKERR_NULL_ARGUMENT, kOldChild);
  if (oldChild->m_parent != this)
    throwCommonError(EKERR_NOT_A_CHILD, kOldChild);
  unlink(oldChild);
  oldChild->holdDocument();
  EKPtr<EKNode> result(oldChild);
  oldChild->release(); // the parent's reference now lives in the result
  return result;
}

EKPtr<EKNode> EKNode::replaceChild(EKNode* newChild, EKNode* oldChild) {
  if (!newChild)
    throwCommonError(EKERR_NULL_ARGUMENT, kNewChild);
  if (!oldChild)
    throwCommonError(EKERR_NULL_ARGUMENT, kOldChild);
  if (oldChild->m_parent != this)
    throwCommonError(EKERR_NOT_A_CHILD, kOldChild);
  if (newChild == oldChild)
    return EKPtr<EKNode>(oldChild);
  checkSameDocument(newChild);
  insertBefore(newChild, oldChild);
  return removeChild(oldChild);
}

EKNamedNodeMap* EKNode::getAttributes() { return nullptr; }
bool EKNode::hasAttributes() const { return false; }

EKPtr<EKNode> EKNode::cloneNode(bool) { return nullptr; }
void EKNode::cloneMembers(EKNode*) const {}

void EKNode::cloneChildrenFrom(EKNode* source) {
  // Walks the source in pre and post visits, keeping the clone of the current source parent.
  EKNode* target = this;
  EKTreeIterator it(source, EKTreeIterator::PRE_AND_POST_ORDER);
  it.nextNode(); // the source itself, already cloned
  while (EKNode* node = it.nextNode()) {
    if (node == source)
      break;
    if (it.atPostVisit()) {
      if (node->hasChildNodesFast())
        target = target->m_parent;
      continue;
    }
    EKPtr<EKNode> copy = node->cloneNode(false);
    if (!copy) {
      it.setCurrentNode(node, true); // a node that cannot be copied is left out with its subtree
      continue;
    }
    target->appendChild(copy);
    if (node->hasChildNodes())
      target = copy;
  }
}

// The namespace lookups walk up the tree; elements answer from their own name and their
// namespace declaration attributes.
EKName EKNode::lookupNamespaceUri(EKName prefix) const {
  const EKNode* node = this;
  while (node) {
    switch (node->getNodeType()) {
    case ELEMENT_NODE: {
      const EKName ns = node->getNamespaceUri();
      if (!ns.isEmpty() && node->getPrefix() == prefix)
        return ns;
      if (EKNamedNodeMap* attributes = const_cast<EKNode*>(node)->getAttributes()) {
        for (int i = 0, n = attributes->getLength(); i < n; ++i) {
          EKAttr* attr = attributes->item(i);
          const bool declares = prefix.isEmpty()
                                    ? attr->getPrefix().isEmpty() && attr->getLocalName() == EKN_xmlns
                                    : attr->getPrefix() == EKN_xmlns && attr->getLocalName() == prefix;
          if (declares)
            return EKName(attr->getText());
        }
      }
      node = node->m_parent && node->m_parent->isElementNode() ? node->m_parent : nullptr;
      break;
    }
    case ATTRIBUTE_NODE:
      node = static_cast<const EKAttr*>(node)->getOwnerElement();
      break;
    case DOCUMENT_NODE:
      node = const_cast<EKDocument*>(static_cast<const EKDocument*>(node))->getDocumentElement();
      break;
    case DOCUMENT_FRAGMENT_NODE:
      return EKName();
    default:
      node = node->m_parent && node->m_parent->isElementNode() ? node->m_parent : nullptr;
      break;
    }
  }
  return EKName();
}

namespace {

// The element at which a lookup starts, per the node types of the W3C algorithms.
const EKNode* lookupStart(const EKNode* node) {
  switch (node->getNodeType()) {
  case ELEMENT_NODE:
    return node;
  case ATTRIBUTE_NODE:
    return static_cast<const EKAttr*>(node)->getOwnerElement();
  case DOCUMENT_NODE:
    return const_cast<EKDocument*>(static_cast<const EKDocument*>(node))->getDocumentElement();
  case DOCUMENT_FRAGMENT_NODE:
    return nullptr;
  default: {
    const EKNode* parent = node->getParentNodeFast();
    return parent && parent->isElementNode() ? parent : nullptr;
  }
  }
}

const EKNode* parentElement(const EKNode* node) {
  const EKNode* parent = node->getParentNodeFast();
  return parent && parent->isElementNode() ? parent : nullptr;
}

} // namespace

EKName EKNode::lookupPrefix(EKName namespaceUri) const {
  if (namespaceUri.isEmpty())
    return EKName();
  const EKNode* original = lookupStart(this);
  for (const EKNode* element = original; element; element = parentElement(element)) {
    const EKName prefix = element->getPrefix();
    if (element->getNamespaceUri() == namespaceUri && !prefix.isEmpty() &&
        original->lookupNamespaceUri(prefix) == namespaceUri)
      return prefix;
    if (EKNamedNodeMap* attributes = const_cast<EKNode*>(element)->getAttributes()) {
      for (int i = 0, n = attributes->getLength(); i < n; ++i) {
        EKAttr* attr = attributes->item(i);
        if (attr->getPrefix() == EKN_xmlns && EKName(attr->getText()) == namespaceUri &&
            original->lookupNamespaceUri(attr->getLocalName()) == namespaceUri)
          return attr->getLocalName();
      }
    }
  }
  return EKName();
}

bool EKNode::isDefaultNamespace(EKName namespaceUri) const {
  for (const EKNode* element = lookupStart(this); element; element = parentElement(element)) {
    if (element->getPrefix().isEmpty())
      return element->getNamespaceUri() == namespaceUri;
    EKElement* e = const_cast<EKElement*>(static_cast<const EKElement*>(element));
    if (e->hasAttribute(EKName(EKN_xmlns)))
      return e->getAttributeXMLNS(EKName()) == namespaceUri;
  }
  return false;
}

void EKNode::finishAttributes() {}
bool EKNode::isElementNode() const { return false; }
bool EKNode::isProcessingInstruction() const { return false; }
bool EKNode::isText() const { return false; }
bool EKNode::isEKWO() const { return false; }
bool EKNode::isArea() const { return false; }
bool EKNode::isBidiOverride() const { return false; }
bool EKNode::isBlock() const { return false; }
bool EKNode::isBlockOrBdo(bool) const { return false; }
bool EKNode::isCSS() const { return false; }
bool EKNode::isFO() const { return false; }
bool EKNode::isHTML() const { return false; }
bool EKNode::isHTMLSyntax() const { return false; }
bool EKNode::isInline() const { return false; }
bool EKNode::isInlineBlock() const { return false; }
bool EKNode::isNeutral() const { return false; }
bool EKNode::isOutOfLine() const { return false; }
bool EKNode::isXHTMLSyntax() const { return false; }
bool EKNode::isXML() const { return false; }
bool EKNode::saveTextTag() const { return false; }
UnicodeString EKNode::getText() const { return UnicodeString(); }
void EKNode::setText(const UnicodeString&) {}

EKPtr<EKNodeList> EKNode::getElementsByTagName(EKName name) {
  return EKPtr<EKNodeList>(new TreeNodeList(this, TreeNodeList::BY_NAME, EKName(), name));
}

EKPtr<EKNodeList> EKNode::getElementsByTagNameNS(EKName namespaceUri, EKName name) {
  return EKPtr<EKNodeList>(new TreeNodeList(this, TreeNodeList::BY_NAMESPACE_AND_NAME, namespaceUri, name));
}

EKPtr<EKNodeList> EKNode::getDescendantNodes() {
  return EKPtr<EKNodeList>(new TreeNodeList(this, TreeNodeList::ALL, EKName(), EKName()));
}

EKNodeIterator EKNode::getIterator() { return EKNodeIterator(getChildNodes().get()); }

EKNode* EKNode::appendChildEx(EKNode* child) { return appendChild(child); }

EKNode* EKNode::appendChildText(const UnicodeString& text) {
  EKDocument* document = getLoader();
  if (!document)
    return nullptr;
  EKPtr<EKNode> node = document->createTextNodeElement(text, this);
  if (!node)
    return nullptr;
  return appendChild(node);
}

UnicodeString EKNode::getBaseUri() const {
  if (m_parent)
    return m_parent->getBaseUri();
  if (m_ownerDocument)
    return m_ownerDocument->getBaseUri();
  return UnicodeString();
}

int EKNode::getSourceLineNumber() const {
  if (m_previous) {
    const int line = m_previous->getSourceLineNumber();
    if (line != -1)
      return line;
  }
  return m_parent ? m_parent->getSourceLineNumber() : -1;
}

void EKNode::setSourceLineNumber(int) {}

int EKNode::getSourceColumnNumber() const {
  if (m_previous) {
    const int column = m_previous->getSourceColumnNumber();
    if (column != -1)
      return column;
  }
  return m_parent ? m_parent->getSourceColumnNumber() : -1;
}

void EKNode::setSourceColumnNumber(int) {}
bool EKNode::isBidiDone() const { return false; }
void EKNode::bidiDone(int) {}

EKNode* EKNode::getParentNodeUncomplemental() const {
  EKNode* parent = m_parent;
  while (parent && parent->getFlag(FLAG_COMPLEMENTAL))
    parent = parent->m_parent;
  return parent;
}

namespace {

template <class Match>
EKNode* ancestorOrSelf(const EKNode* node, Match match) {
  for (; node; node = node->getParentNodeFast()) {
    if (match(node))
      return const_cast<EKNode*>(node);
  }
  return nullptr;
}

template <class Match>
EKNode* childAfter(EKNode* parent, EKNode* after, Match match) {
  for (EKNode* child = after ? after->getNextSibling() : parent->getFirstChild(); child;
       child = child->getNextSibling()) {
    if (match(child))
      return child;
  }
  return nullptr;
}

} // namespace

EKNode* EKNode::getAncestorByName(EKName name) const { return getAncestorOrSelfByName2(name, name, m_parent); }

EKNode* EKNode::getAncestorByName2(EKName name1, EKName name2) const {
  return getAncestorOrSelfByName2(name1, name2, m_parent);
}

EKNode* EKNode::getAncestorByNameNS(EKName namespaceUri, EKName name) const {
  return m_parent ? m_parent->getAncestorOrSelfByNameNS(namespaceUri, name) : nullptr;
}

EKNode* EKNode::getAncestorByTypeID(unsigned int typeId) const {
  return m_parent ? m_parent->getAncestorOrSelfByTypeID(typeId) : nullptr;
}

EKNode* EKNode::getAncestorOrSelfByName(EKName name) const { return getAncestorOrSelfByName2(name, name, this); }

EKNode* EKNode::getAncestorOrSelfByName2(EKName name1, EKName name2) const {
  return getAncestorOrSelfByName2(name1, name2, this);
}

EKNode* EKNode::getAncestorOrSelfByName2(EKName name1, EKName name2, const EKNode* start) {
  return ancestorOrSelf(start, [&](const EKNode* node) {
    const EKName local = node->getLocalName();
    return local == name1 || local == name2;
  });
}

EKNode* EKNode::getAncestorOrSelfByNameNS(EKName namespaceUri, EKName name) const {
  return ancestorOrSelf(this, [&](const EKNode* node) {
    return node->getLocalName() == name && node->getNamespaceUri() == namespaceUri;
  });
}

EKNode* EKNode::getAncestorOrSelfByTypeID(unsigned int typeId) const {
  return ancestorOrSelf(this, [&](const EKNode* node) { return node->isA(typeId); });
}

EKNode* EKNode::getChildNodeByName(EKName name, EKNode* after) {
  return childAfter(this, after, [&](EKNode* child) { return child->getLocalName() == name; });
}

EKNode* EKNode::getChildNodeByNameNS(EKName namespaceUri, EKName name, EKNode* after) {
  return childAfter(this, after, [&](EKNode* child) {
    return child->getLocalName() == name && child->getNamespaceUri() == namespaceUri;
  });
}

EKNode* EKNode::getChildNodeByTypeID(unsigned int typeId, EKNode* after) {
  return childAfter(this, after, [&](EKNode* child) { return child->isA(typeId); });
}

EKNode* EKNode::getCommonAncestorOrSelf(const EKNode* other) const {
  if (!other)
    return nullptr;
  int depth = getNodeDepth();
  int otherDepth = other->getNodeDepth();
  const EKNode* a = this;
  const EKNode* b = other;
  for (; depth > otherDepth; --depth)
    a = a->m_parent;
  for (; otherDepth > depth; --otherDepth)
    b = b->m_parent;
  while (a != b) {
    a = a->m_parent;
    b = b->m_parent;
  }
  return const_cast<EKNode*>(a);
}

EKNode* EKNode::getCommonAncestor(const EKNode* other) const {
  EKNode* common = getCommonAncestorOrSelf(other);
  if (common == this || common == other)
    return common ? common->m_parent : nullptr;
  return common;
}

bool EKNode::isDescendantOf(const EKNode* ancestor) const {
  for (const EKNode* node = m_parent; node; node = node->m_parent) {
    if (node == ancestor)
      return true;
  }
  return false;
}

bool EKNode::isDescendantOrSelfOf(const EKNode* ancestor) const {
  return this == ancestor || isDescendantOf(ancestor);
}

bool EKNode::isPrecedingOf(const EKNode* other) const {
  if (!other || other == this)
    return false;
  EKNode* common = getCommonAncestorOrSelf(other);
  if (!common)
    return false;
  if (common == this)
    return true; // an ancestor comes first
  if (common == other)
    return false;
  // The children of the common ancestor on the two paths decide.
  const EKNode* a = this;
  while (a->m_parent != common)
    a = a->m_parent;
  const EKNode* b = other;
  while (b->m_parent != common)
    b = b->m_parent;
  for (const EKNode* node = a->getNextSiblingFast(); node; node = node->getNextSiblingFast()) {
    if (node == b)
      return true;
  }
  return false;
}

bool EKNode::isFollowingOf(const EKNode* other) const { return other && other->isPrecedingOf(this); }

bool EKNode::isSameOfType(const EKNode* other) const {
  return other && getNodeType() == other->getNodeType() && getLocalName() == other->getLocalName() &&
         getNamespaceUri() == other->getNamespaceUri();
}

int EKNode::countPrecedingSiblings() const {
  int count = 0;
  for (const EKNode* node = m_previous; node; node = node->m_previous)
    ++count;
  return count;
}

int EKNode::countFollowingSiblings() const {
  int count = 0;
  for (const EKNode* node = getNextSiblingFast(); node; node = node->getNextSiblingFast())
    ++count;
  return count;
}

int EKNode::getChildNodeCount() {
  int count = 0;
  for (EKNode* child = getFirstChild(); child; child = child->getNextSibling())
    ++count;
  return count;
}

int EKNode::getNodeDepth() const {
  int depth = 0;
  for (const EKNode* node = m_parent; node; node = node->m_parent)
    ++depth;
  return depth;
}

int EKNode::getPreviousOrSelfNodeCount(const EKNode* node) {
  int count = 0;
  EKTreeIterator it(this, EKTreeIterator::PRE_ORDER);
  while (EKNode* current = it.nextNode()) {
    ++count;
    if (current == node)
      return count;
  }
  return 0;
}

UnicodeString EKNode::getInnerText() {
  if (!isElementNode())
    return getText();
  UnicodeString text;
  EKTreeIterator it(this, EKTreeIterator::PRE_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (node->isText())
      text.append(node->getText());
  }
  return text;
}

EKNode* EKNode::appendChildTextLF() { return appendChildText(UnicodeString(char16_t('\n'))); }

EKNode* EKNode::insertBeforeTextLF(EKNode* refChild) {
  EKDocument* document = getLoader();
  if (!document)
    return nullptr;
  EKPtr<EKNode> node = document->createTextNodeElement(UnicodeString(char16_t('\n')), this);
  return node ? insertBefore(node, refChild) : nullptr;
}

void EKNode::appendChildren(EKNode* first, EKNode* last) {
  for (EKNode* node = first; node;) {
    EKNode* next = node == last ? nullptr : node->getNextSiblingFast();
    appendChild(node);
    node = next;
  }
}

EKNode* EKNode::getNextSiblingOrSelfIgnoreEmptyOrWhitespace() {
  for (EKNode* node = this; node; node = node->getNextSibling()) {
    if (node->getNodeType() != TEXT_NODE || !EKChar::isEmptyOrWhitespace(node->getText()))
      return node;
  }
  return nullptr;
}

void EKNode::removeAllChildNodes() {
  while (m_lastChild)
    removeChild(m_lastChild);
}

int EKNode::deleteAllChildNodes() {
  // Every node of the subtree is taken off its parent, also below nodes that someone holds.
  int count = 0;
  std::vector<EKNode*> pending{this}; // each still holds its parent's reference
  while (!pending.empty()) {
    EKNode* parent = pending.back();
    pending.pop_back();
    while (EKNode* child = parent->m_lastChild) {
      parent->unlink(child);
      pending.push_back(child);
      ++count;
    }
    if (parent == this)
      continue;
    parent->holdDocument(); // a detached node holds its document; one being deleted gives it back
    if (parent->removeRef() <= 0)
      delete parent;
  }
  return count;
}

} // namespace EKCommonNS
