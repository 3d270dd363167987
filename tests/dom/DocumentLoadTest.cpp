// Loading documents: complete and pull-mode loads, XInclude, the host's factories, errors and
// loads on several threads at once.
#include "DomTestUtil.h"

#include <atomic>
#include <thread>

using namespace domtest;

namespace {

EKPtr<EKDocument> load(const std::string& path, bool pull = false) {
  EKPtr<EKDocument> doc(new EKDocument());
  doc->setPullMode(pull);
  doc->load(u(path.c_str()));
  return doc;
}

int childCount(EKNode* node) {
  int n = 0;
  for (EKNode* child = node->getFirstChildFast(); child; child = child->getNextSiblingFast())
    ++n;
  return n;
}

} // namespace

TEST(DocumentLoad, PullModeLoadsOnDemandAndEndsWithTheSameTree) {
  ScratchDir dir;
  const std::string xml = "<r><a>1<x/></a><b>2</b><c><d/></c></r>";
  writeFile(dir / "p.xml", xml);
  EKPtr<EKDocument> pulled = load(dir / "p.xml", true);
  EXPECT_FALSE(pulled->hasChildNodesFast());
  EXPECT_TRUE(pulled->isLoading());
  EKElement* r = pulled->getDocumentElement();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(pulled->getLastLoadingNode(), r); // exactly up to the first element
  EXPECT_FALSE(r->hasChildNodesFast());
  EKNode* a = r->getFirstChild(); // one node more
  EXPECT_EQ(childCount(r), 1);
  EXPECT_EQ(childCount(a), 0);
  EXPECT_TRUE(a->isLoading());
  EKNode* b = a->getNextSibling(); // finishes a, then reads b
  EXPECT_EQ(utf8(b->getLocalName()), "b");
  EXPECT_TRUE(a->isLoaded() && !a->isLoading());
  EXPECT_EQ(childCount(a), 2);
  EXPECT_EQ(utf8(r->getLastChild()->getLocalName()), "c"); // loads the rest of r
  EXPECT_FALSE(r->isLoading());
  EXPECT_EQ(pulled->loadNextNode(), nullptr);
  EXPECT_EQ(pulled->getLastLoadingNode(), nullptr);
  EXPECT_EQ(tree(pulled), tree(load(dir / "p.xml")));
  EXPECT_EQ(utf8(pulled->getDocumentUri()), dir / "p.xml");

  // Navigating through the lists and iterators loads too.
  EKPtr<EKDocument> again = load(dir / "p.xml", true);
  EXPECT_EQ(again->getElementsByTagName(name("*"))->getLength(), 6);
  EXPECT_EQ(tree(again), tree(pulled));

  // loadXml reads everything even in pull mode, and forgets the document URI.
  again->loadXml(u("<z><y/></z>"));
  EXPECT_EQ(tree(again), "z(y())");
  EXPECT_TRUE(again->getDocumentUri().isEmpty());
  EXPECT_FALSE(again->getDocumentElement()->isLoading());
}

TEST(DocumentLoad, AbortAndLoadIntoANode) {
  EKPtr<EKDocument> doc = parse("<r><slot/></r>");
  EKNode* slot = doc->getDocumentElement()->getFirstChild();
  std::istringstream part("<p>x</p>");
  doc->load(part, slot, u("part.xml"));
  EXPECT_EQ(tree(doc), "r(slot(p(\"x\")))");
  EXPECT_EQ(utf8(doc->getDocumentUri()), "mem.xml"); // loading a node keeps the document's URI

  doc->setPullMode(true);
  std::istringstream more("<q><w/><w/></q>");
  doc->load(more, slot, u("more.xml"));
  EXPECT_NE(slot->getFirstChild(), nullptr);
  doc->abort();
  EXPECT_EQ(doc->loadNextNode(), nullptr);
  EXPECT_EQ(tree(doc), "r(slot(q()))");

  // Removing the node being loaded ends the load instead of touching a freed node.
  std::istringstream third("<q><w/><w/></q>");
  doc->load(third, slot, u("third.xml"));
  EKNode* q = slot->getFirstChild();
  slot->removeChild(q);
  EXPECT_EQ(doc->loadNextNode(), nullptr);
}

TEST(DocumentLoad, CommentsNeverAndInstructionsOnlyOnRequest) {
  const std::string xml = "<?first?><r><!--c-->a<?pi data?>b<![CDATA[<c>]]></r>";
  EXPECT_EQ(tree(parse(xml)), "r(\"ab<c>\")"); // text runs merge across what is left out
  EKPtr<EKDocument> doc(new EKDocument());
  doc->getParser()->setFeature(EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, true);
  std::istringstream in(xml);
  doc->load(in, nullptr, u("m.xml"));
  EXPECT_EQ(tree(doc), "?first r(\"a\"?pi \"b<c>\")");
  EXPECT_EQ(utf8(doc->getDocumentElement()->getChildNodes()->item(1)->getText()), "data");
}

TEST(DocumentLoad, XIncludeBringsResourcesInPlace) {
  ScratchDir dir;
  writeFile(dir / "part.xml", "<?xml version='1.0' encoding='ISO-8859-1'?><p a='1'>\xE9<q/></p>");
  writeFile(dir / "text.txt", "1 < 2 & \xC3\xA9");
  writeFile(dir / "loop.xml", "<l xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='loop.xml'/></l>");
  writeFile(dir / "outer.xml", "<o xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='mid.xml'/></o>");
  writeFile(dir / "mid.xml", "<m xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='outer.xml'/></m>");
  const std::string xi = "xmlns:xi='http://www.w3.org/2001/XInclude'";
  const std::string xa = "[xmlns:xi=http://www.w3.org/2001/XInclude]";
  const std::string r = "r" + xa;
  struct Row {
    std::string body;
    std::string tree;
    int error; // the code load throws, -1 for none
  } rows[] = {
      {"<r " + xi + ">[<xi:include href='part.xml'/>]</r>", r + "(\"[\"p[a=1](\"\xC3\xA9\"q())\"]\")", -1},
      {"<r " + xi + "><xi:include href='text.txt' parse='text'/></r>", r + "(\"1 < 2 & \xC3\xA9\")", -1},
      {"<r " + xi + "><xi:include href='text.txt' parse='text' encoding='ISO-8859-1'/></r>",
       r + "(\"1 < 2 & \xC3\x83\xC2\xA9\")", -1},
      {"<r " + xi + "><xi:include href='part.xml'><xi:fallback>f</xi:fallback></xi:include>!</r>",
       r + "(p[a=1](\"\xC3\xA9\"q())\"!\")", -1},
      {"<r " + xi + "><xi:include href='part.xml' parse='html'/></r>", "", 187},
      {"<r " + xi + "><xi:foo/></r>", "", 186},
      {"<r " + xi + "><xi:include href='missing.xml'/></r>", "", 67},
      {"<r " + xi + "><xi:include/>x</r>", r + "(\"x\")", -1},
      {"<r " + xi + "><xi:include href='loop.xml'/></r>", "", 184},
      {"<r " + xi + "><xi:include href='outer.xml'/></r>", "", 184},
  };
  for (const Row& row : rows) {
    writeFile(dir / "doc.xml", row.body);
    EKPtr<EKDocument> doc(new EKDocument());
    const auto [code, message] = thrown([&] { doc->load(u((dir / "doc.xml").c_str())); });
    EXPECT_EQ(code, row.error) << row.body << " " << message;
    if (row.error == -1) {
      EXPECT_EQ(tree(doc), row.tree) << row.body;
      EXPECT_TRUE(doc->hasXInclude());
    }
  }
}

namespace {

// A host's element class: the loader must create every element through the factory.
class HostElement : public EKElement {
  EK_TYPE_IDENTITY(EKElement, EKNode)

public:
  HostElement(EKDocument* doc, EKName local) : EKElement(doc), m_local(local) {}
  EKName getLocalName() const override { return m_local; }
  void finishAttributes() override { ++finished; }
  int finished = 0;

private:
  EKName m_local;
};

class HostDocument : public EKDocument {
public:
  EKPtr<EKElement> createElementNS(EKName ns, EKName prefix, EKName local) override {
    ++elements;
    if (local == name("skip"))
      return nullptr; // the subtree is left out
    if (local == name("host"))
      return EKPtr<EKElement>(new HostElement(this, local));
    return EKDocument::createElementNS(ns, prefix, local);
  }
  EKPtr<EKNode> createTextNodeElement(const UnicodeString& text, EKNode* parent) override {
    ++texts;
    if (text == u("drop"))
      return nullptr;
    return EKDocument::createTextNodeElement(text, parent);
  }
  int elements = 0;
  int texts = 0;
};

} // namespace

TEST(DocumentLoad, TheLoaderCreatesEveryNodeThroughTheFactories) {
  EKPtr<HostDocument> doc(new HostDocument());
  std::istringstream in("<r><host a='1'>t</host><skip><x/>y</skip><p>drop</p></r>");
  doc->load(in, nullptr, u("h.xml"));
  EXPECT_EQ(tree(doc), "r(host[a=1](\"t\")p())");
  EXPECT_EQ(doc->elements, 4);
  EXPECT_EQ(doc->texts, 2);
  EKNode* host = doc->getDocumentElement()->getFirstChild();
  EXPECT_EQ(static_cast<HostElement*>(host)->finished, 1);
  EXPECT_EQ(host->getSourceLineNumber(), 1);
  EXPECT_EQ(host->getSourceColumnNumber(), 15);
}

TEST(DocumentLoad, ErrorsLeaveThePartialTree) {
  EKPtr<EKDocument> doc(new EKDocument());
  std::istringstream in("<r><a>t</a><b></r>");
  const auto [code, message] = thrown([&] { doc->load(in, nullptr, u("bad.xml")); });
  EXPECT_NE(code, -1);
  EXPECT_EQ(tree(doc), "r(a(\"t\")b())");
  EXPECT_TRUE(doc->getDocumentElement()->getLastChild()->isLoading());
  EXPECT_EQ(doc->loadNextNode(), nullptr); // the failed load is over
  // The next load starts afresh.
  doc->loadXml(u("<ok/>"));
  EXPECT_EQ(tree(doc), "ok()");
}

TEST(DocumentLoad, SeveralDocumentsLoadOnSeveralThreads) {
  std::string xml = "<r xmlns='urn:t'>";
  for (int i = 0; i < 2000; ++i)
    xml += "<item n='" + std::to_string(i) + "' shared='v'>text &amp; more</item>";
  xml += "</r>";
  const std::string expected = tree(parse(xml));
  std::atomic<int> same{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < 3; ++round) {
        EKPtr<EKDocument> doc = parse(xml);
        if (tree(doc) == expected && utf8(doc->saveXml()).size() > xml.size())
          ++same;
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(same.load(), 12);
}
