// Saving documents: what the saver writes for each node and value kind, the output encodings,
// the start-tag-only form, and failures that must neither leave a broken serializer nor a
// half-written file.
#include "DomTestUtil.h"

#include "ekcommon/values/EKNamedValueMap.h"

using namespace domtest;

namespace {

std::string saved(EKDocument* doc, EKNode* node = nullptr, const char* encoding = "") {
  std::ostringstream out;
  doc->save(out, node, u(encoding));
  return out.str();
}

// A node of a kind the saver cannot write.
class StrayNode : public EKNode {
  EK_TYPE_IDENTITY(EKNode, EKRCObject)

public:
  explicit StrayNode(EKDocument* doc) : EKNode(doc) {}
  EKName getLocalName() const override { return EKName(); }
  EKNodeType getNodeType() const override { return ATTRIBUTE_NODE; }
};

} // namespace

TEST(DocumentSave, WritesEachNodeAndValueKind) {
  EKPtr<EKDocument> doc = parse("<r xmlns='urn:r' xmlns:p='urn:p'><p:a x='&lt;&quot;'>t&amp;</p:a></r>");
  EXPECT_EQ(saved(doc), "<?xml version=\"1.0\"?><r xmlns=\"urn:r\" xmlns:p=\"urn:p\">"
                        "<p:a x=\"&lt;&quot;\">t&amp;</p:a></r>");
  EKElement* a = ekCast<EKElement>(doc->getDocumentElement()->getFirstChild());
  EXPECT_EQ(saved(doc, a), "<?xml version=\"1.0\"?><p:a xmlns:p=\"urn:p\" x=\"&lt;&quot;\">t&amp;</p:a>");
  EXPECT_EQ(saved(doc, a->getFirstChild()), "<?xml version=\"1.0\"?>t&amp;");

  EKPtr<EKDocument> values = parse("<v/>");
  EKElement* v = values->getDocumentElement();
  EKPtr<EKNamedValueMap> compound(new EKNamedValueMap());
  compound->setNamedItem(name("length"), EKValue(3.0f, UNIT_MM));
  compound->setNamedItem(name("conditionality"), EKValue(name("retain")));
  v->setAttribute(name("len"), EKValue(12.0f, UNIT_PT));
  v->setAttribute(name("n"), EKValue(7));
  v->setAttribute(name("c"), EKValue(EKColor(0.0f, 1.0f, 1.0f, 0.0f)));
  v->setAttribute(name("none"), EKValue());
  v->setAttribute(name("space"), EKValue(compound.get()));
  v->appendChild(values->createProcessingInstruction(name("pi"), u("d")));
  EXPECT_EQ(saved(values), "<?xml version=\"1.0\"?><v len=\"12pt\" n=\"7\" c=\"cmyk(0,1,1,0)\" space.length=\"3mm\" "
                           "space.conditionality=\"retain\"><?pi d?></v>");

  EKPtr<EKDocument> svg = parse("<svg xmlns='http://www.w3.org/2000/svg'><rect/></svg>");
  ekCast<EKElement>(svg->getDocumentElement()->getFirstChild())
      ->setAttribute(name("fill"), EKValue(EKColor(0.0f, 1.0f, 1.0f, 0.0f)));
  EXPECT_EQ(saved(svg), "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\"><rect fill=\"#FF0000\"/></svg>");
}

TEST(DocumentSave, OutputEncodings) {
  EKPtr<EKDocument> doc(new EKDocument());
  doc->loadXml(u("<r a='\xC3\xA9'>\xE6\x97\xA5\xC3\xA9\xF0\x9F\x98\x80</r>"));
  EXPECT_EQ(saved(doc, nullptr, "UTF-8"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r a=\"\xC3\xA9\">\xE6\x97\xA5\xC3\xA9\xF0\x9F\x98\x80</r>");
  EXPECT_EQ(saved(doc, nullptr, "US-ASCII"),
            "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r a=\"&#233;\">&#26085;&#233;&#128512;</r>");
  EXPECT_EQ(saved(doc, nullptr, "Shift_JIS"),
            "<?xml version=\"1.0\" encoding=\"SHIFT_JIS\"?><r a=\"&#233;\">\x93\xFA&#233;&#128512;</r>");
  EXPECT_EQ(saved(doc, nullptr, "ISO-8859-1"),
            "<?xml version=\"1.0\"?><r a=\"\xC3\xA9\">\xE6\x97\xA5\xC3\xA9\xF0\x9F\x98\x80</r>");
  // What was written reads back to the same tree.
  for (const char* encoding : {"UTF-8", "US-ASCII", "Shift_JIS"})
    EXPECT_EQ(tree(parse(saved(doc, nullptr, encoding))), tree(doc)) << encoding;
  EXPECT_EQ(utf8(doc->saveXml()), "<?xml version=\"1.0\"?><r a=\"\xC3\xA9\">\xE6\x97\xA5\xC3\xA9\xF0\x9F\x98\x80</r>");
}

TEST(DocumentSave, DocumentElementAloneThenTheHostsContent) {
  EKPtr<EKDocument> doc = parse("<r xmlns='urn:r' a='1'><child/></r>");
  std::ostringstream out;
  doc->saveDocumentElement(out);
  out << "<host-content/>";
  doc->closeDocumentElement();
  EXPECT_EQ(out.str(), "<?xml version=\"1.0\"?><r xmlns=\"urn:r\" a=\"1\"><host-content/></r>");
  EXPECT_EQ(tree(parse(out.str())), "{urn:r}r[xmlns=urn:r a=1]({urn:r}host-content())");
}

TEST(DocumentSave, FailuresDropTheSerializerAndKeepTheOldFile) {
  ScratchDir dir;
  const std::string file = dir / "out.xml";
  EKPtr<EKDocument> doc = parse("<r><a/></r>");
  doc->save(u(file.c_str()));
  const std::string good = readFile(file);
  EXPECT_EQ(good, "<?xml version=\"1.0\"?><r><a/></r>");

  // A node the saver cannot write stops the save halfway.
  EKNode* a = doc->getDocumentElement()->getFirstChild();
  a->appendChild(EKPtr<EKNode>(new StrayNode(doc)));
  EKXmlSerializer* before = doc->getSerializer();
  EXPECT_EQ(thrown([&] { doc->save(u(file.c_str())); }),
            std::make_pair(18, std::string("SYSTEM ERROR: Unsupported node type.")));
  EXPECT_EQ(readFile(file), good);
  EXPECT_NE(doc->getSerializer(), before);
  EXPECT_EQ(shell("test $(ls -A '" + dir.path() + "' | wc -l) -eq 1"), 0); // no temporary file left

  // A bad stream is reported, and the next save works with a new serializer.
  a->removeChild(a->getFirstChild());
  std::ostringstream bad;
  bad.setstate(std::ios::badbit);
  EXPECT_EQ(thrown([&] { doc->save(bad); }).first, 71);
  EXPECT_EQ(saved(doc), good);
  EXPECT_EQ(thrown([&] { doc->save(u((dir / "no/such/dir/x.xml").c_str())); }).first, 67);
}

TEST(DocumentSave, DocumentsGoIntoZipArchives) {
  EKPtr<EKDocument> doc = parse("<r><a>\xC3\xA9</a></r>");
  std::stringstream bytes;
  EKZipArchive archive;
  ASSERT_EQ(archive.open(bytes), 0);
  EXPECT_EQ(archive.append(doc, u("whole.xml")), 0);
  EXPECT_EQ(archive.append(doc, u("part.xml"), doc->getDocumentElement()->getFirstChild()), 0);
  EXPECT_EQ(archive.append(nullptr, u("none.xml")), -1);
  ASSERT_EQ(archive.close(), 0);
  EXPECT_EQ(archive.append(doc, u("late.xml")), -1);

  EKZipFile zip;
  bytes.seekg(0);
  ASSERT_TRUE(zip.open(&bytes, false));
  ASSERT_EQ(zip.getFileEntryCount(), 2u);
  auto entryText = [&](const char* entryName) {
    std::unique_ptr<std::istream> in(zip.getFileEntry(u(entryName))->getUncompressedStream(true));
    return readAll(*in);
  };
  EXPECT_EQ(entryText("whole.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><a>\xC3\xA9</a></r>");
  EXPECT_EQ(entryText("part.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>");
}
