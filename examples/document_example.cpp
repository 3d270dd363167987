// A formatter's view of its input: a document whose factory makes the host's own element class
// for XSL-FO blocks, loaded in pull mode so that only what is visited is read, then saved with
// a value the host computed.
#include <ekcommon/ekcommon.h>

#include <iostream>
#include <sstream>

using namespace EKCommonNS;

namespace {

const EKName FO_NAMESPACE(EKN_http_www_w3_org_1999_XSL_Format);

// The host's formatting object: an element that knows it is a block.
class FoBlock : public EKElement {
public:
  FoBlock(EKDocument* document, EKName prefix) : EKElement(document), m_prefix(prefix) {}
  EKName getLocalName() const override { return EKName(UnicodeString(u"block")); }
  EKName getPrefix() const override { return m_prefix; }
  EKName getNamespaceUri() const override { return FO_NAMESPACE; }
  bool isBlock() const override { return true; }
  bool isFO() const override { return true; }

private:
  EKName m_prefix;
};

class FoDocument : public EKDocument {
public:
  EKPtr<EKElement> createElementNS(EKName ns, EKName prefix, EKName localName) override {
    if (ns == FO_NAMESPACE && localName == EKName(UnicodeString(u"block")))
      return EKPtr<EKElement>(new FoBlock(this, prefix));
    return EKDocument::createElementNS(ns, prefix, localName);
  }
};

} // namespace

int main() {
  EKNameTable::addRefSharedNameTable();
  {
    std::istringstream in("<fo:root xmlns:fo='http://www.w3.org/1999/XSL/Format'>"
                          "<fo:block>one</fo:block><fo:block>two</fo:block><fo:block>three</fo:block></fo:root>");
    EKPtr<FoDocument> document(new FoDocument());
    document->setPullMode(true);
    document->load(in, nullptr, UnicodeString(u"input.fo"));
    EKNode* first = document->getDocumentElement()->getFirstChild(); // reads up to the first block
    std::string text;
    std::cout << "first block: " << first->getInnerText().toUTF8String(text)
              << (first->isBlock() ? " (host class)" : "") << '\n';
    ekCast<EKElement>(first)->setAttribute(EKName(UnicodeString(u"space-after")), EKValue(6.0f, UNIT_PT));
    std::ostringstream out;
    document->save(out); // navigation during the save reads the rest
    std::cout << out.str() << '\n';
  }
  EKNameTable::releaseSharedNameTable();
  return 0;
}
