// The tree operations of EKNode: the child ring under every kind of change, the argument errors,
// iteration orders, lookups, and node lifetimes under reference counting.
#include "DomTestUtil.h"

#include <thread>

using namespace domtest;

namespace {

// Children in order by local name, checked against the links in both directions.
std::string children(EKNode* parent) {
  std::string forward;
  EKNode* previous = nullptr;
  for (EKNode* child = parent->getFirstChildFast(); child; child = child->getNextSiblingFast()) {
    EXPECT_EQ(child->getPreviousSiblingFast(), previous);
    EXPECT_EQ(child->getParentNodeFast(), parent);
    forward += utf8(child->getLocalName());
    previous = child;
  }
  EXPECT_EQ(parent->getLastChildFast(), previous);
  return forward;
}

struct Fixture {
  EKPtr<EKDocument> doc = new EKDocument();
  EKPtr<EKElement> root = doc->createElement(name("r"));
  EKPtr<EKElement> a = doc->createElement(name("a"));
  EKPtr<EKElement> b = doc->createElement(name("b"));
  EKPtr<EKElement> c = doc->createElement(name("c"));
  Fixture() {
    root->appendChild(a);
    root->appendChild(b);
    root->appendChild(c);
  }
};

} // namespace

TEST(NodeTree, ChildRingStaysConsistentUnderEveryChange) {
  {
    Fixture f;
    EXPECT_EQ(children(f.root), "abc");
    f.root->appendChild(f.a); // re-appending moves to the end
    EXPECT_EQ(children(f.root), "bca");
    f.root->insertBefore(f.a, f.b); // back to the front
    EXPECT_EQ(children(f.root), "abc");
    f.root->insertBefore(f.b, f.b); // nothing happens
    EXPECT_EQ(children(f.root), "abc");
    f.root->insertBefore(f.c, nullptr); // null ref appends
    EXPECT_EQ(children(f.root), "abc");
    EKPtr<EKNode> removed = f.root->removeChild(f.b);
    EXPECT_EQ(children(f.root), "ac");
    EXPECT_EQ(removed->getParentNode(), nullptr);
    EXPECT_EQ(removed->getNextSibling(), nullptr);
    f.root->replaceChild(f.b, f.a);
    EXPECT_EQ(children(f.root), "bc");
    f.root->removeChild(f.c);
    f.root->removeChild(f.b);
    EXPECT_EQ(children(f.root), "");
    EXPECT_FALSE(f.root->hasChildNodes());
  }
  {
    // Moving a child to another parent leaves the old ring intact.
    Fixture f;
    EKPtr<EKElement> other = f.doc->createElement(name("o"));
    other->appendChild(f.b);
    EXPECT_EQ(children(f.root), "ac");
    EXPECT_EQ(children(other), "b");
    // A single child's next is null and its previous null.
    EXPECT_EQ(f.b->getNextSibling(), nullptr);
    EXPECT_EQ(f.b->getPreviousSibling(), nullptr);
    EXPECT_EQ(other->getFirstChild(), other->getLastChild());
  }
  {
    // Inserting before the first child makes it the new first.
    Fixture f;
    EKPtr<EKElement> z = f.doc->createElement(name("z"));
    f.root->insertBefore(z, f.a);
    EXPECT_EQ(children(f.root), "zabc");
    f.root->insertBefore(f.c, f.a);
    EXPECT_EQ(children(f.root), "zcab");
  }
}

TEST(NodeTree, ArgumentErrorsHaveTheirCodesAndMessages) {
  Fixture f;
  EKPtr<EKDocument> otherDoc = new EKDocument();
  EKPtr<EKElement> foreign = otherDoc->createElement(name("x"));
  EKPtr<EKElement> loose = f.doc->createElement(name("l"));
  struct Row {
    std::function<void()> action;
    int code;
    const char* message;
  } rows[] = {
      {[&] { f.root->appendChild(nullptr); }, 3, "SYSTEM ERROR: newChild is null."},
      {[&] { f.root->insertBefore(nullptr, f.a); }, 3, "SYSTEM ERROR: newChild is null."},
      {[&] { f.root->removeChild(nullptr); }, 3, "SYSTEM ERROR: oldChild is null."},
      {[&] { f.root->appendChild(foreign); }, 6, "SYSTEM ERROR: newChild is created from a different document."},
      {[&] { f.root->insertBefore(loose, loose); }, 9, "SYSTEM ERROR: refChild is not a child of this node."},
      {[&] { f.root->removeChild(loose); }, 9, "SYSTEM ERROR: oldChild is not a child of this node."},
      {[&] { f.root->replaceChild(loose, loose); }, 9, "SYSTEM ERROR: oldChild is not a child of this node."},
      {[&] { f.a->appendChild(f.root); }, 4, "SYSTEM ERROR: Argument is out of range."},
      {[&] { f.a->appendChild(f.a); }, 4, "SYSTEM ERROR: Argument is out of range."},
      {[&] { f.doc->createTextNode(u("t"))->setNodeValue(EKValue(1)); }, -1, ""},
      {[&] { f.a->setNodeValue(EKValue(1)); }, 11, "SYSTEM ERROR: Cannot set a value on node type: Element"},
  };
  for (const Row& row : rows) {
    const auto [code, message] = thrown(row.action);
    EXPECT_EQ(code, row.code) << message;
    EXPECT_EQ(message, row.message);
  }
  EXPECT_EQ(children(f.root), "abc");
}

TEST(NodeTree, TreeIteratorOrders) {
  EKPtr<EKDocument> doc = parse("<a><b/>t<c><d/></c></a>");
  EKNode* a = doc->getDocumentElement();
  auto walk = [&](EKTreeIterator::TraversalOrder order, bool backwards) {
    EKTreeIterator it(a, order);
    if (backwards)
      it.setToEnd();
    std::string out;
    while (EKNode* node = backwards ? it.previousNode() : it.nextNode()) {
      out += node->getNodeType() == TEXT_NODE ? "t" : utf8(node->getLocalName());
      if (order == EKTreeIterator::PRE_AND_POST_ORDER && node->isElementNode() && it.atPostVisit())
        out += "'";
    }
    return out;
  };
  EXPECT_EQ(walk(EKTreeIterator::PRE_ORDER, false), "abtcd");
  EXPECT_EQ(walk(EKTreeIterator::POST_ORDER, false), "btdca");
  EXPECT_EQ(walk(EKTreeIterator::PRE_AND_POST_ORDER, false), "abb'tcdd'c'a'");
  EXPECT_EQ(walk(EKTreeIterator::PRE_ORDER, true), "dctba");
  EXPECT_EQ(walk(EKTreeIterator::POST_ORDER, true), "acdtb");
  EXPECT_EQ(walk(EKTreeIterator::PRE_AND_POST_ORDER, true), "a'c'd'dctb'ba");

  EKTreeIterator it(a, EKTreeIterator::PRE_ORDER);
  EXPECT_TRUE(it.hasNextNode());
  while (it.nextNode()) {
  }
  EXPECT_FALSE(it.hasNextNode()); // at the end it stays there
  EXPECT_EQ(it.nextNode(), nullptr);
  it.setToStart();
  EXPECT_EQ(it.nextNode(), a);
}

TEST(NodeTree, NodeListsAndIterators) {
  EKPtr<EKDocument> doc = parse("<r xmlns:p='urn:p'><p:item/><item><item/></item>x<other/></r>");
  EKNode* r = doc->getDocumentElement();
  EXPECT_EQ(r->getElementsByTagName(name("item"))->getLength(), 3);
  EXPECT_EQ(r->getElementsByTagName(name("p:item"))->getLength(), 0); // local names only
  EXPECT_EQ(r->getElementsByTagName(name("*"))->getLength(), 4);
  EXPECT_EQ(r->getElementsByTagNameNS(name("urn:p"), name("*"))->getLength(), 1);
  EXPECT_EQ(r->getElementsByTagNameNS(name("*"), name("item"))->getLength(), 3);
  EXPECT_EQ(r->getDescendantNodes()->getLength(), 5);
  EKPtr<EKNodeList> kids = r->getChildNodes();
  EXPECT_EQ(kids->getLength(), 4);
  EXPECT_EQ(kids->item(3)->getLocalName(), name("other"));
  EXPECT_EQ(kids->item(4), nullptr);
  EXPECT_EQ(kids->item(-1), nullptr);
  // Lists are live.
  r->removeChild(r->getFirstChild());
  EXPECT_EQ(kids->getLength(), 3);

  std::string seen;
  EKNodeIterator it = r->getIterator();
  while (it.hasNextNode())
    seen += utf8(it.nextNode()->getNodeName());
  EXPECT_EQ(seen, "item#textother");
  EXPECT_EQ(utf8(it.previousNode()->getNodeName()), "other");
  EXPECT_EQ(utf8(it.previousNode()->getNodeName()), "#text");
  it.setToStart();
  EXPECT_FALSE(it.hasPreviousNode());
  EKNodeIterator descendants(r, nullptr);
  int count = 0;
  while (descendants.nextNode())
    ++count;
  EXPECT_EQ(count, 4);
}

TEST(NodeTree, PositionsAndRelations) {
  EKPtr<EKDocument> doc = parse("<a>\n <b>x</b>tail<c/><d> <e/></d></a>");
  EKElement* a = doc->getDocumentElement();
  EKNode* b = a->getChildNodeByName(name("b"));
  EKNode* tail = b->getNextSibling();
  EKNode* c = a->getChildNodeByName(name("c"));
  EKNode* d = a->getChildNodeByName(name("d"));
  EKNode* e = d->getChildNodeByName(name("e"));
  EXPECT_EQ(b->getSourceLineNumber(), 2);
  EXPECT_EQ(tail->getSourceLineNumber(), 2); // a text inherits from the element before it
  EXPECT_EQ(a->getFirstChild()->getSourceLineNumber(), 1);
  EXPECT_EQ(e->getNodeDepth(), 3);
  EXPECT_TRUE(e->isDescendantOf(a));
  EXPECT_FALSE(a->isDescendantOf(a));
  EXPECT_TRUE(a->isDescendantOrSelfOf(a));
  EXPECT_EQ(e->getCommonAncestor(c), a);
  EXPECT_EQ(e->getCommonAncestorOrSelf(d), d);
  EXPECT_EQ(e->getCommonAncestor(d), a);
  EXPECT_TRUE(b->isPrecedingOf(e));
  EXPECT_TRUE(a->isPrecedingOf(e));
  EXPECT_TRUE(e->isFollowingOf(c));
  EXPECT_FALSE(e->isPrecedingOf(c));
  EXPECT_EQ(c->countPrecedingSiblings(), 3);
  EXPECT_EQ(c->countFollowingSiblings(), 1);
  EXPECT_EQ(a->getChildNodeCount(), 5);
  EXPECT_EQ(a->getPreviousOrSelfNodeCount(c), 6);
  EXPECT_EQ(a->getPreviousOrSelfNodeCount(doc), 0);
  EXPECT_EQ(e->getAncestorByName(name("a")), a);
  EXPECT_EQ(e->getAncestorOrSelfByName(name("e")), e);
  EXPECT_EQ(e->getAncestorByName2(name("zz"), name("d")), d);
  EXPECT_EQ(e->getAncestorByTypeID(EKTypeID::EKDocument), doc.get());
  EXPECT_EQ(a->getChildNodeByName(name("d"), c), d);
  EXPECT_EQ(a->getChildNodeByName(name("b"), c), nullptr);
  EXPECT_EQ(utf8(a->getInnerText()), "\n xtail ");
  EXPECT_EQ(d->getFirstChild()->getNextSiblingOrSelfIgnoreEmptyOrWhitespace(), e);
  EXPECT_TRUE(b->isSameOfType(a->getElementsByTagName(name("b"))->item(0)));
  EXPECT_FALSE(b->isSameOfType(c));

  e->setFlag(EKNode::FLAG_COMPLEMENTAL, true);
  d->setFlag(EKNode::FLAG_COMPLEMENTAL, true);
  EKPtr<EKElement> f = doc->createElement(name("f"));
  e->appendChild(f);
  EXPECT_EQ(f->getParentNodeUncomplemental(), a);

  EKPtr<EKNode> heldE = e;
  EXPECT_EQ(a->deleteAllChildNodes(), 9);
  EXPECT_FALSE(a->hasChildNodes());
  EXPECT_EQ(e->getParentNode(), nullptr); // held nodes survive, every one detached
  EXPECT_FALSE(e->hasChildNodes());
  EXPECT_EQ(f->getParentNode(), nullptr);
}

TEST(NodeTree, NamespaceLookupsFollowTheTree) {
  EKPtr<EKDocument> doc = parse("<a xmlns='urn:d' xmlns:p='urn:p'><p:b xmlns:q='urn:q'>t<c xmlns=''/></p:b></a>");
  EKElement* a = doc->getDocumentElement();
  EKNode* b = a->getFirstChild();
  EKNode* text = b->getFirstChild();
  EKNode* c = text->getNextSibling();
  struct Row {
    EKNode* node;
    const char* prefix;
    const char* expected;
  } rows[] = {
      {a, "", "urn:d"}, {a, "p", "urn:p"}, {a, "q", ""},      {b, "q", "urn:q"},  {b, "p", "urn:p"},
      {b, "", "urn:d"}, {text, "q", "urn:q"}, {c, "", ""},      {c, "p", "urn:p"},  {doc, "p", "urn:p"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(utf8(row.node->lookupNamespaceUri(name(row.prefix))), row.expected) << row.prefix;
  EXPECT_EQ(utf8(c->lookupPrefix(name("urn:q"))), "q");
  EXPECT_EQ(utf8(text->lookupPrefix(name("urn:p"))), "p");
  EXPECT_EQ(utf8(a->lookupPrefix(name("urn:q"))), "");
  EXPECT_TRUE(a->isDefaultNamespace(name("urn:d")));
  EXPECT_TRUE(b->isDefaultNamespace(name("urn:d"))); // a prefixed element asks its ancestors
  EXPECT_TRUE(c->isDefaultNamespace(EKName()));
  EKPtr<EKDocumentFragment> fragment = doc->createDocumentFragment();
  EXPECT_EQ(utf8(fragment->lookupNamespaceUri(name("p"))), "");
  EKAttr* attr = ekCast<EKElement>(b)->getAttributeNodeNS(name("http://www.w3.org/2000/xmlns/"), name("q"));
  ASSERT_NE(attr, nullptr);
  EXPECT_EQ(utf8(attr->lookupNamespaceUri(name("p"))), "urn:p");
}

TEST(NodeTree, DetachedNodesLiveAsLongAsTheyAreHeld) {
  EKPtr<EKNode> kept;
  EKPtr<EKNode> keptText;
  EKPtr<EKNode> loose;
  {
    EKPtr<EKDocument> doc = parse("<a><b><c>text</c></b><d/></a>");
    EKNode* b = doc->getDocumentElement()->getFirstChild();
    kept = doc->getDocumentElement()->removeChild(b);
    keptText = kept->getFirstChild()->getFirstChild();
    loose = doc->createElement(name("never-inserted"));
    // A detached subtree keeps its document: the factories stay usable.
    EXPECT_EQ(kept->getOwnerDocument(), doc.get());
  }
  ASSERT_NE(kept->getOwnerDocument(), nullptr);
  kept->appendChildText(u("more"));
  EXPECT_EQ(utf8(kept->getInnerText()), "textmore");
  kept = nullptr;
  // The text is still held and still sees its document through `loose`'s reference.
  EXPECT_EQ(utf8(keptText->getText()), "text");
  EXPECT_EQ(keptText->getParentNode(), nullptr);
  EXPECT_NE(keptText->getOwnerDocument(), nullptr);
  keptText = nullptr;
  loose = nullptr;

  // A node held while its document goes away loses the document but keeps its subtree.
  EKPtr<EKNode> inTree;
  {
    EKPtr<EKDocument> doc = parse("<a><b x='1'><c/></b></a>");
    inTree = doc->getDocumentElement()->getFirstChild();
  }
  EXPECT_EQ(inTree->getOwnerDocument(), nullptr);
  EXPECT_EQ(inTree->getParentNode(), nullptr);
  EXPECT_EQ(utf8(inTree->getFirstChild()->getLocalName()), "c");
  EXPECT_EQ(inTree->getFirstChild()->getOwnerDocument(), nullptr);
  EXPECT_EQ(inTree->appendChildText(u("t")), nullptr);
  EXPECT_EQ(inTree->cloneNode(true), nullptr);
}

TEST(NodeTree, ClonesCopyTheSubtree) {
  EKPtr<EKDocument> doc = parse("<a xmlns:p='urn:p' p:x='1'><b y='2'>t<c/></b><?pi d?></a>");
  EKElement* a = doc->getDocumentElement();
  EKPtr<EKNode> shallow = a->cloneNode(false);
  EXPECT_EQ(tree(shallow), "a[xmlns:p=urn:p p:x=1]()");
  EKPtr<EKNode> deep = a->cloneNode(true);
  EXPECT_EQ(tree(deep), tree(a));
  EXPECT_EQ(deep->getParentNode(), nullptr);
  EXPECT_EQ(deep->getOwnerDocument(), doc.get());
  ekCast<EKElement>(deep->getFirstChild())->setAttribute(name("y"), EKValue(3));
  EXPECT_EQ(utf8(ekCast<EKElement>(a->getFirstChild())->getAttribute(name("y")).toString()), "2");

  EKPtr<EKNode> docCopy = doc->cloneNode(true);
  EXPECT_EQ(tree(docCopy), tree(doc));
  EXPECT_NE(docCopy->getFirstChild()->getOwnerDocument(), doc.get());
}

// Depth is the input's to choose: building, walking, cloning, saving and destroying a tree a
// million levels deep must not recurse.
TEST(NodeTree, MillionLevelsDeepNeedNoStack) {
  constexpr int depth = 1000000;
  std::string xml;
  xml.reserve(depth * 7);
  for (int i = 0; i < depth; ++i)
    xml += "<a>";
  xml += "x";
  for (int i = 0; i < depth; ++i)
    xml += "</a>";
  EKPtr<EKDocument> doc = parse(xml);
  EKNode* deepest = doc->getDocumentElement();
  while (EKNode* child = deepest->getFirstChild())
    deepest = child;
  EXPECT_EQ(deepest->getNodeDepth(), depth + 1);
  EXPECT_EQ(utf8(doc->getDocumentElement()->getInnerText()), "x");
  EKPtr<EKNode> copy = doc->getDocumentElement()->cloneNode(true);
  std::ostringstream out;
  doc->save(out);
  EXPECT_EQ(out.str().size(), std::string("<?xml version=\"1.0\"?>").size() + xml.size());
  EKPtr<EKNode> held = deepest;
  doc = nullptr;
  copy = nullptr;
  EXPECT_EQ(utf8(held->getText()), "x");
}

// Nodes a load makes share memory blocks; held nodes keep theirs after the document is gone,
// and each may be released on any thread.
TEST(NodeTree, LoadedNodesOutliveTheirDocumentOnAnyThread) {
  std::string xml = "<r>";
  for (int i = 0; i < 3000; ++i)
    xml += "<e a='" + std::to_string(i) + "' b='a longer attribute value than fits in a small string'>t</e>";
  xml += "</r>";
  std::vector<EKPtr<EKNode>> held;
  std::vector<EKValue> values;
  {
    EKPtr<EKDocument> doc = parse(xml);
    int i = 0;
    for (EKNode* e = doc->getDocumentElement()->getFirstChild(); e; e = e->getNextSibling(), ++i) {
      if (i % 7 == 0)
        held.emplace_back(e);
      if (i % 11 == 0)
        values.push_back(ekCast<EKElement>(e)->getAttribute(name("b")));
    }
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (size_t k = t; k < held.size(); k += 4) {
        EXPECT_EQ(utf8(held[k]->getFirstChild()->getText()), "t");
        EXPECT_EQ(utf8(ekCast<EKElement>(held[k].get())->getAttribute(name("a")).toString()), std::to_string(k * 7));
        held[k] = nullptr;
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (const EKValue& value : values)
    EXPECT_EQ(utf8(value.toString()), "a longer attribute value than fits in a small string");
}
