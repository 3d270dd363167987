// Attributes of elements: their order, identity and typed values, the map's indexes, the xmlns
// helpers and xml:base.
#include "DomTestUtil.h"

using namespace domtest;

TEST(ElementAttr, SettingKeepsNodeAndPositionAndValuesStayTyped) {
  EKPtr<EKDocument> doc = new EKDocument();
  EKPtr<EKElement> e = doc->createElementNS(name("urn:e"), name("p:e"));
  EXPECT_EQ(utf8(e->getNodeName()), "p:e");
  EXPECT_FALSE(e->hasAttributes());
  e->setAttribute(name("b"), EKValue(u("1"), UNIT_NONE));
  e->setAttribute(name("a"), EKValue(2.5f, UNIT_PT));
  e->setAttributeNS(name("urn:x"), name("x:c"), EKValue(u("3"), UNIT_NONE));
  EKAttr* first = e->getAttributeNode(name("b"));
  e->setAttribute(name("b"), EKValue(7));
  EXPECT_EQ(e->getAttributeNode(name("b")), first);
  EKNamedNodeMap* map = e->getAttributes();
  ASSERT_EQ(map->getLength(), 3);
  EXPECT_EQ(utf8(map->item(0)->getNodeName()), "b");
  EXPECT_EQ(utf8(map->item(1)->getNodeName()), "a");
  EXPECT_EQ(utf8(map->item(2)->getNodeName()), "x:c");
  EXPECT_EQ(map->item(3), nullptr);
  EXPECT_EQ(e->getAttribute(name("b")).getValueType(), VALUE_INTEGER);
  EXPECT_EQ(e->getAttribute(name("a")).getUnitType(), UNIT_PT);
  EXPECT_EQ(utf8(e->getAttributeNS(name("urn:x"), name("c")).toString()), "3");
  EXPECT_EQ(utf8(e->getAttribute(name("x:c")).toString()), "3");
  EXPECT_EQ(first->getOwnerElement(), e.get());

  // Missing is the null value, not an empty string.
  e->setAttribute(name("empty"), EKValue(UnicodeString(), UNIT_NONE));
  EXPECT_TRUE(e->getAttribute(name("missing")).isNull());
  EXPECT_FALSE(e->getAttribute(name("empty")).isNull());
  EXPECT_TRUE(e->hasAttributeLocal(name("c")));
  std::vector<EKValue> values;
  e->getAttributeLocal(name("c"), &values);
  ASSERT_EQ(values.size(), 1u);

  EKPtr<EKAttr> removed = e->removeAttributeNode(first);
  EXPECT_EQ(removed.get(), first);
  EXPECT_EQ(first->getOwnerElement(), nullptr);
  EXPECT_EQ(e->removeAttributeNode(first), nullptr);
  EXPECT_EQ(thrown([&] { e->removeAttributeNode(nullptr); }),
            std::make_pair(3, std::string("SYSTEM ERROR: oldAttr is null.")));
  e->removeAttributeNS(name("urn:x"), name("c"));
  e->removeAttribute(name("a"));
  EXPECT_EQ(map->getLength(), 1);
  EXPECT_EQ(utf8(removed->getText()), "7");
}

// Past a few attributes the map switches to hash indexes; every lookup must keep its answers
// through insertions and removals on either side of the switch.
TEST(ElementAttr, ManyAttributesKeepOrderAndLookups) {
  EKPtr<EKDocument> doc = new EKDocument();
  EKPtr<EKElement> e = doc->createElement(name("e"));
  constexpr int count = 40;
  for (int i = 0; i < count; ++i) {
    const std::string n = "a" + std::to_string(i);
    if (i % 2)
      e->setAttribute(name(n.c_str()), EKValue(i));
    else
      e->setAttributeNS(name("urn:n"), name(("q:" + n).c_str()), EKValue(i));
  }
  for (int i = 0; i < count; i += 3) {
    const std::string n = "a" + std::to_string(i);
    if (i % 2)
      e->removeAttribute(name(n.c_str()));
    else
      e->removeAttributeNS(name("urn:n"), name(n.c_str()));
  }
  EKNamedNodeMap* map = e->getAttributes();
  int expectedCount = 0;
  int position = 0;
  for (int i = 0; i < count; ++i) {
    const std::string n = "a" + std::to_string(i);
    const bool present = i % 3 != 0;
    EKAttr* byName = e->getAttributeNode(name(((i % 2) ? n : "q:" + n).c_str()));
    EKAttr* byNamespace = e->getAttributeNodeNS(i % 2 ? EKName() : name("urn:n"), name(n.c_str()));
    EXPECT_EQ(byName != nullptr, present) << n;
    EXPECT_EQ(byName, byNamespace) << n;
    if (present) {
      ++expectedCount;
      EXPECT_EQ(map->item(position++), byName) << n;
    }
  }
  EXPECT_EQ(map->getLength(), expectedCount);
  e->setAttribute(name("a0"), EKValue(1)); // new, not the namespaced a0
  EXPECT_EQ(map->item(map->getLength() - 1)->getNodeName(), name("a0"));
}

TEST(ElementAttr, XmlnsHelpersAndBaseUri) {
  EKPtr<EKDocument> doc = new EKDocument();
  doc->loadXml(u("<a xml:base='http://h/dir/' xmlns='urn:d'><b xml:base='sub/'><c xml:base='/abs/'/></b>"
                 "<d xml:base='file:///x/'/></a>"));
  EKElement* a = doc->getDocumentElement();
  EKElement* b = ekCast<EKElement>(a->getFirstChild());
  EKElement* c = ekCast<EKElement>(b->getFirstChild());
  EXPECT_EQ(utf8(a->getBaseUri()), "http://h/dir/");
  EXPECT_EQ(utf8(b->getBaseUri()), "http://h/dir/sub/");
  EXPECT_EQ(utf8(c->getBaseUri()), "http://h/abs/");
  EXPECT_EQ(utf8(b->getNextSibling()->getBaseUri()), "file:///x/");
  EXPECT_EQ(utf8(a->getAttributeXMLNS(EKName())), "urn:d");
  b->setAttributeXMLNS(name("p"), name("urn:p"));
  EXPECT_EQ(utf8(b->getAttributeXMLNS(name("p"))), "urn:p");
  EXPECT_EQ(utf8(c->lookupNamespaceUri(name("p"))), "urn:p");
  b->removeAttributeXMLNS(name("p"));
  EXPECT_TRUE(b->getAttributeXMLNS(name("p")).isEmpty());
  EXPECT_EQ(utf8(doc->saveXml()), "<?xml version=\"1.0\"?><a xmlns=\"urn:d\" xml:base=\"http://h/dir/\">"
                                  "<b xml:base=\"sub/\"><c xml:base=\"/abs/\"/></b><d xml:base=\"file:///x/\"/></a>");
}
