// EKNode: the base of the library's document object model. Names are interned EKNames, values
// are EKValues, children form an intrusive ring, and nodes are reference counted. While a
// document loads in pull mode, the navigators below read more input on demand.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/core/EKPtr.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/values/EKValue.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace EKCommonNS {

class EKDocument;
class EKElement;
class EKNamedNodeMap;
class EKNodeList;
class EKNodeIterator;

// Numbering of the W3C DOM.
enum EKNodeType {
  ELEMENT_NODE = 1,
  ATTRIBUTE_NODE = 2,
  TEXT_NODE = 3,
  PROCESSING_INSTRUCTION_NODE = 7,
  DOCUMENT_NODE = 9,
  DOCUMENT_FRAGMENT_NODE = 11
};

// Ownership: a parent holds one reference on each child; parent and sibling links hold none. A
// node without a parent (and an attribute without an element) also holds one reference on its
// document, so a detached subtree that a host keeps can always reach its factories. Raw pointer
// arguments and results never transfer ownership; EKPtr results do. Hosts keep documents in
// EKPtr. A tree must not be changed from two threads at once.
class EKCOMMON_API EKNode : public EKRCObject {
  EK_TYPE_IDENTITY(EKNode, EKRCObject)

public:
  // Flag bits; the bits from 0x100 up are free for subclasses.
  static constexpr uint32_t FLAG_LOADING = 0x1;      // children are still being read (pull mode)
  static constexpr uint32_t FLAG_LOADED = 0x2;       // reading of the children has finished
  static constexpr uint32_t FLAG_COMPLEMENTAL = 0x4; // implied by the parser, not in the input
  static constexpr uint32_t FLAG_DOCUMENT = 0x8;     // the node is an EKDocument

  // The qualified name: prefix ":" local name, or the local name alone.
  virtual EKName getNodeName() const;
  virtual EKName getLocalName() const = 0;
  // The local name; formatting-object classes of a host may answer otherwise.
  virtual EKName getFOName() const;
  virtual EKName getNamespaceUri() const;
  virtual EKName getPrefix() const;
  virtual void setPrefix(EKName prefix);
  // The null value here.
  virtual EKValue getNodeValue() const;
  // Throws common error 11 here: the node type has no value.
  virtual void setNodeValue(const EKValue& value);
  virtual EKNodeType getNodeType() const = 0;
  virtual EKNode* getParentNode() const;
  // The navigators from here to getNextSibling load input in pull mode (see the class comment).
  virtual bool hasChildNodes();
  virtual EKPtr<EKNodeList> getChildNodes();
  virtual EKNode* getFirstChild();
  virtual EKNode* getLastChild();
  virtual EKNode* getPreviousSibling() const;
  virtual EKNode* getNextSibling();
  // The document that created this node; null for a document and for a node whose document is gone.
  virtual EKDocument* getOwnerDocument() const;
  // Errors: common 3 (null newChild), 6 (another document), 9 (refChild not a child), 4 (newChild
  // is this node or one of its ancestors).
  virtual EKNode* insertBefore(EKNode* newChild, EKNode* refChild);
  // Errors as insertBefore and removeChild; returns the replaced node with the parent's reference.
  virtual EKPtr<EKNode> replaceChild(EKNode* newChild, EKNode* oldChild);
  // Errors: common 3 (null oldChild), 9 (not a child). The result holds the parent's reference.
  virtual EKPtr<EKNode> removeChild(EKNode* oldChild);
  // Moves newChild here from any former parent. Errors: common 3, 6 and 4 as for insertBefore.
  virtual EKNode* appendChild(EKNode* newChild);
  virtual EKNamedNodeMap* getAttributes();
  virtual bool hasAttributes() const;
  // A copy made by the owner document's factories, without parent; `deep` copies the subtree too.
  virtual EKPtr<EKNode> cloneNode(bool deep);
  // Copies this class's own members into a node of the same class.
  virtual void cloneMembers(EKNode* target) const;
  // The namespace lookups of the W3C DOM Level 3, on the tree.
  virtual EKName lookupPrefix(EKName namespaceUri) const;
  virtual bool isDefaultNamespace(EKName namespaceUri) const;
  virtual EKName lookupNamespaceUri(EKName prefix) const;
  // Called once all attributes of a new element are set.
  virtual void finishAttributes();
  virtual bool isElementNode() const;
  virtual bool isProcessingInstruction() const;
  virtual bool isText() const;
  // Classification hooks for the formatting-object classes of a host: all false here.
  virtual bool isEKWO() const;
  virtual bool isArea() const;
  virtual bool isBidiOverride() const;
  virtual bool isBlock() const;
  virtual bool isBlockOrBdo(bool bdo) const;
  virtual bool isCSS() const;
  virtual bool isFO() const;
  virtual bool isHTML() const;
  virtual bool isHTMLSyntax() const;
  virtual bool isInline() const;
  virtual bool isInlineBlock() const;
  virtual bool isNeutral() const;
  virtual bool isOutOfLine() const;
  virtual bool isXHTMLSyntax() const;
  virtual bool isXML() const;
  // True when a host's text element is saved as an element of its own.
  virtual bool saveTextTag() const;
  virtual UnicodeString getText() const;
  virtual void setText(const UnicodeString& text);
  // Live lists of the descendants in document order: elements with that local name ("*": all),
  // elements with that namespace and local name (either "*"), every descendant node.
  virtual EKPtr<EKNodeList> getElementsByTagName(EKName name);
  virtual EKPtr<EKNodeList> getElementsByTagNameNS(EKName namespaceUri, EKName name);
  virtual EKPtr<EKNodeList> getDescendantNodes();
  // Iterates the children.
  virtual EKNodeIterator getIterator();
  // appendChild for the loader: a subclass may put the element elsewhere or substitute another
  // node; the result is the node that stands for the child.
  virtual EKNode* appendChildEx(EKNode* child);
  // Appends a text child made by the owner document's createTextNodeElement; returns it (null
  // when the document makes none).
  virtual EKNode* appendChildText(const UnicodeString& text);
  // The parent's base URI, else the owner document's, else empty.
  virtual UnicodeString getBaseUri() const;
  // The position in the source: the previous sibling's when known, else the parent's, else -1.
  virtual int getSourceLineNumber() const;
  virtual void setSourceLineNumber(int line);
  virtual int getSourceColumnNumber() const;
  virtual void setSourceColumnNumber(int column);
  virtual bool isBidiDone() const;
  virtual void bidiDone(int level);

  // Nodes made while a document loads come from that document's arena (a node outlives it all
  // the same); other nodes from the heap.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;
  static void* operator new(size_t size, std::align_val_t alignment);
  static void operator delete(void* memory, size_t size, std::align_val_t alignment) noexcept;

  bool getFlag(uint32_t mask) const { return (m_flags & mask) != 0; }
  void setFlag(uint32_t mask, bool on) { m_flags = on ? m_flags | mask : m_flags & ~mask; }
  bool isLoading() const { return getFlag(FLAG_LOADING); }
  bool isLoaded() const { return getFlag(FLAG_LOADING | FLAG_LOADED); }
  void setLoadDone() { m_flags = (m_flags & ~FLAG_LOADING) | FLAG_LOADED; }

  // Navigation over what is built so far: these never load.
  EKNode* getParentNodeFast() const { return m_parent; }
  EKNode* getFirstChildFast() const { return m_lastChild ? m_lastChild->m_next : nullptr; }
  EKNode* getLastChildFast() const { return m_lastChild; }
  EKNode* getNextSiblingFast() const {
    return m_parent && m_parent->m_lastChild != this ? m_next : nullptr;
  }
  EKNode* getPreviousSiblingFast() const { return m_previous; }
  bool hasChildNodesFast() const { return m_lastChild != nullptr; }
  // The parent, skipping ancestors implied by the parser.
  EKNode* getParentNodeUncomplemental() const;

  // Ancestors (or the node itself) by local name, name pair, namespace and name, or type ID.
  EKNode* getAncestorByName(EKName name) const;
  EKNode* getAncestorByName2(EKName name1, EKName name2) const;
  EKNode* getAncestorByNameNS(EKName namespaceUri, EKName name) const;
  EKNode* getAncestorByTypeID(unsigned int typeId) const;
  EKNode* getAncestorOrSelfByName(EKName name) const;
  EKNode* getAncestorOrSelfByName2(EKName name1, EKName name2) const;
  EKNode* getAncestorOrSelfByNameNS(EKName namespaceUri, EKName name) const;
  EKNode* getAncestorOrSelfByTypeID(unsigned int typeId) const;
  // The first matching child after `after`, or from the first child when `after` is null.
  EKNode* getChildNodeByName(EKName name, EKNode* after = nullptr);
  EKNode* getChildNodeByNameNS(EKName namespaceUri, EKName name, EKNode* after = nullptr);
  EKNode* getChildNodeByTypeID(unsigned int typeId, EKNode* after = nullptr);
  EKNode* getCommonAncestor(const EKNode* other) const;
  EKNode* getCommonAncestorOrSelf(const EKNode* other) const;
  bool isDescendantOf(const EKNode* ancestor) const;
  bool isDescendantOrSelfOf(const EKNode* ancestor) const;
  // Document order; nodes in different trees are neither preceding nor following.
  bool isPrecedingOf(const EKNode* other) const;
  bool isFollowingOf(const EKNode* other) const;
  // Same node type and the same namespace and local name.
  bool isSameOfType(const EKNode* other) const;
  int countPrecedingSiblings() const;
  int countFollowingSiblings() const;
  int getChildNodeCount();
  // 0 for a node without parent.
  int getNodeDepth() const;
  // How many nodes precede `node` in this subtree's document order, plus one for `node` itself;
  // 0 when it is not in the subtree.
  int getPreviousOrSelfNodeCount(const EKNode* node);
  // A text's text; for an element the texts of all text nodes below it in document order.
  UnicodeString getInnerText();
  EKNode* appendChildTextLF();
  EKNode* insertBeforeTextLF(EKNode* refChild);
  // Appends `first` and its following siblings up to and including `last` (moved from their parent).
  void appendChildren(EKNode* first, EKNode* last);
  // This node or the first following sibling that is not an empty or white-space text.
  EKNode* getNextSiblingOrSelfIgnoreEmptyOrWhitespace();
  void removeAllChildNodes();
  // Detaches every node below this one; returns how many were detached.
  int deleteAllChildNodes();
  // Appends copies (cloneNode(false) of each node) of the subtree below `source`, without
  // recursion; the cloneNode(true) of the node classes.
  void cloneChildrenFrom(EKNode* source);

protected:
  // `ownerDocument` is the document whose factory makes the node (null for a document itself).
  explicit EKNode(EKDocument* ownerDocument);
  ~EKNode() override;
  EKNode(const EKNode&) = delete;
  EKNode& operator=(const EKNode&) = delete;

  // The document that loads this node's children on demand.
  EKDocument* getLoader() const;
  // Takes or gives up the reference a detached node holds on its document.
  void holdDocument();
  void unholdDocument();
  // Gives up this node's children without recursion; the subtrees nobody else holds are deleted.
  // With `forgetDocument` the surviving subtrees lose their owner document too.
  void dismantleChildren(bool forgetDocument);
  // Throws common error 6 for a node of another document, 4 for this node or an ancestor.
  void checkSameDocument(const EKNode* child) const;

private:
  friend class EKDocument;
  friend class AttrNodeMap;
  // Moves the owner document's structure version on.
  void structureChanged();
  void linkBefore(EKNode* child, EKNode* refChild);
  void unlink(EKNode* child);
  void adopt(EKNode* child, EKNode* refChild);
  static EKNode* getAncestorOrSelfByName2(EKName name1, EKName name2, const EKNode* start);
  static void forgetOwnerDocument(EKNode* node);

  uint32_t m_flags = 0;
  EKNode* m_parent = nullptr;
  EKNode* m_next = nullptr;     // a ring: the last child's next is the first child
  EKNode* m_previous = nullptr; // linear: the first child's previous is null
  EKNode* m_lastChild = nullptr;
  EKDocument* m_ownerDocument;
};

} // namespace EKCommonNS
