#include "xml/XmlTestUtil.h"

#include <gtest/gtest.h>

using namespace EKCommonNS;
using xmltest::name;

namespace {

// The innermost scope's bindings as "prefix=uri" in position order.
std::string bindings(const EKNamespaceManager& m) {
  std::string out;
  for (int i = 0; !m.getNamespacePrefix(i).isEmpty() || !m.getNamespaceUri(i).isEmpty(); ++i)
    out += (out.empty() ? "" : " ") + utf8(m.getNamespacePrefix(i)) + "=" + utf8(m.getNamespaceUri(i));
  return out;
}

TEST(NamespaceManager, BaseScopeBindsXmlAndXmlnsAndIsNeverPopped) {
  EKPtr<EKNamespaceManager> m = new EKNamespaceManager();
  EXPECT_EQ(m->getDepth(), 0);
  EXPECT_EQ(m->getNamespaceCount(0), 2);
  EXPECT_EQ(m->getNamespaceCount(1), 0) << "out of range";
  EXPECT_EQ(m->getNamespaceCount(-1), 0);
  EXPECT_EQ(bindings(*m), "xml=http://www.w3.org/XML/1998/namespace xmlns=http://www.w3.org/2000/xmlns/");
  EXPECT_TRUE(m->getNamespacePrefix(2).isEmpty());
  EXPECT_TRUE(m->getNamespaceUri(-1).isEmpty());
  EXPECT_EQ(m->resolve(EKN_xml), EKN_http_www_w3_org_XML_1998_namespace);
  EXPECT_TRUE(m->resolve(EKName()).isEmpty()) << "no default namespace in the base scope";
  EXPECT_TRUE(m->resolve(name("nsmgr-unbound")).isEmpty());

  EXPECT_FALSE(m->popScope());
  EXPECT_EQ(m->getDepth(), 0);
  EXPECT_EQ(m->getNamespaceCount(0), 2);
  EXPECT_EQ(m->resolve(EKN_xmlns), EKN_http_www_w3_org_2000_xmlns);

  m->pushScope();
  m->pushScope();
  m->declare(name("p"), name("urn:p"));
  EXPECT_EQ(m->getDepth(), 2);
  EXPECT_TRUE(m->popScope());
  EXPECT_TRUE(m->resolve(name("p")).isEmpty()) << "the popped scope's binding is gone";
  m->pushScope();
  m->reset();
  EXPECT_EQ(m->getDepth(), 0);
  EXPECT_EQ(m->getNamespaceCount(0), 2);
  EXPECT_FALSE(m->popScope());
}

TEST(NamespaceManager, RedeclaringTheBoundUriAddsNothing) {
  EKPtr<EKNamespaceManager> m = new EKNamespaceManager();
  const EKName p = name("p"), uri = name("urn:p"), other = name("urn:other");
  m->pushScope();
  m->declare(p, uri);
  m->pushScope();
  m->declare(p, uri);
  m->declare(EKN_xml, EKN_http_www_w3_org_XML_1998_namespace);
  EXPECT_EQ(m->getNamespaceCount(2), 0);
  EXPECT_EQ(m->getScopeMap(), nullptr) << "no map is made for nothing";
  EXPECT_EQ(bindings(*m), "");
  m->declare(p, other);
  EXPECT_EQ(m->getNamespaceCount(2), 1);
  EXPECT_EQ(m->resolve(p), other);
  m->declare(p, other);
  m->declare(p, uri);
  EXPECT_EQ(m->getNamespaceCount(2), 1) << "a second binding of a prefix in one scope replaces the first";
  EXPECT_EQ(m->resolve(p), uri);
  EXPECT_EQ(m->getNamespaceCount(1), 1);
}

TEST(NamespaceManager, EmptyUriUndeclaresTheDefaultNamespace) {
  EKPtr<EKNamespaceManager> m = new EKNamespaceManager();
  const EKName d = name("urn:default");
  m->pushScope();
  m->declare(EKName(), d);
  m->pushScope();
  EXPECT_EQ(m->resolve(EKName()), d) << "inherited";
  m->declare(EKName(), EKName());
  EXPECT_EQ(m->getNamespaceCount(2), 1);
  EXPECT_TRUE(m->resolve(EKName()).isEmpty());
  m->pushScope();
  EXPECT_TRUE(m->resolve(EKName()).isEmpty()) << "the undeclaration hides the outer default below it too";
  m->popScope();
  m->popScope();
  EXPECT_EQ(m->resolve(EKName()), d);
}

TEST(NamespaceManager, PositionsFollowNameNumbersNotDeclarationOrder) {
  // Interned in this order, so "late" has the smaller number although it is declared last.
  const EKName late = name("nsmgr-order-late"), early = name("nsmgr-order-early");
  ASSERT_LT(late, early);
  EKPtr<EKNamespaceManager> m = new EKNamespaceManager();
  m->pushScope();
  m->declare(early, name("urn:e"));
  m->declare(EKName(), name("urn:d"));
  m->declare(late, name("urn:l"));
  m->declare(EKN_xml, name("urn:x"));
  EXPECT_EQ(m->getNamespaceCount(1), 4);
  EXPECT_EQ(bindings(*m), "=urn:d xml=urn:x nsmgr-order-late=urn:l nsmgr-order-early=urn:e");
  EXPECT_TRUE(m->getNamespacePrefix(4).isEmpty());
  EXPECT_EQ(m->resolve(EKN_xml), name("urn:x")) << "the inner binding wins";
}

TEST(NamespaceManager, ElementNamesAnswerResolutionAndOpenQueries) {
  EKPtr<EKNamespaceManager> m = new EKNamespaceManager();
  const EKName p = name("p"), a = name("a"), b = name("b"), uri = name("urn:element");
  m->pushScope();
  m->setElement(p, a);
  m->setElementNamespace(uri);
  EXPECT_EQ(m->resolve(p), uri) << "the element's recorded namespace answers for its prefix";
  EXPECT_EQ(m->getNamespaceCount(1), 0);
  m->pushScope();
  m->setElement(EKName(), b);
  EXPECT_EQ(m->getName(), b);
  EXPECT_TRUE(m->getNamespace().isEmpty());
  EXPECT_TRUE(m->isOpen(p, a));
  EXPECT_TRUE(m->isOpen(EKName(), b));
  EXPECT_FALSE(m->isOpen(EKName(), a)) << "prefix and local name both count";
  m->popScope();
  EXPECT_FALSE(m->isOpen(EKName(), b));
  EXPECT_EQ(m->getPrefix(), p);
  EXPECT_EQ(m->getNamespace(), uri);
  m->popScope();
  EXPECT_FALSE(m->isOpen(EKName(), EKName())) << "the base scope is no element";
}

} // namespace
