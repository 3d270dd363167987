// Documents built from arbitrary bytes. The input is loaded into an EKDocument; when that works,
// the tree is saved, the saved bytes are loaded again and the two trees must be equal; the
// document element is cloned deeply and the clone must equal it. A second document loads the
// same bytes in pull mode while it is navigated (first child, next siblings, last children): it
// must fail where the complete load fails, and otherwise end with the same tree. Any difference
// traps.
// Nothing is fetched from files or the network: a URI resolver serves every external DTD,
// entity and XInclude resource from memory, an element for names that contain "inc" and
// nothing for the others. Seeds are in fuzz/corpus/dom.
#include "support/DomTreeForm.h"

#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <sstream>
#include <string>

using namespace EKCommonNS;
using domform::treeForm;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

class ServeFromMemory : public EKUriReferenceResolver2 {
public:
  bool resolve(const wchar_t* uri, EKUriWriteCallback write, void* context) override {
    static const char element[] = "<inc xmlns:i=\"urn:i\" i:a=\"1\">included &amp; <i:b/></inc>";
    if (std::wcsstr(uri, L"inc"))
      write(static_cast<int>(sizeof element - 1), element, context);
    return true;
  }
};

// A document that keeps processing instructions, loading from `in` (complete or in pull mode).
EKPtr<EKDocument> startLoad(std::istream& in, bool pull) {
  EKPtr<EKDocument> doc(new EKDocument());
  doc->getParser()->setFeature(EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, true);
  doc->setPullMode(pull);
  doc->load(in, nullptr, UnicodeString(u"fuzz.xml"));
  return doc;
}

// The form of the tree loaded from the bytes, or the empty string when they do not load.
std::string loadedForm(const std::string& bytes, EKPtr<EKDocument>& doc) {
  EKStrStream in(bytes.data(), bytes.size());
  try {
    doc = startLoad(in, false);
  } catch (const EKError&) {
    doc = nullptr;
    return std::string();
  }
  return treeForm(doc);
}

// Saves the tree and loads the saved bytes, which must give the same tree.
void checkRoundTrip(EKDocument* doc, const std::string& form) {
  std::ostringstream out;
  doc->save(out);
  EKPtr<EKDocument> reloaded;
  check(loadedForm(out.str(), reloaded) == form);
}

void checkClone(EKDocument* doc) {
  EKElement* root = doc->getDocumentElement();
  if (!root)
    return;
  EKPtr<EKNode> clone = root->cloneNode(true);
  check(clone->getParentNode() == nullptr && treeForm(clone.get()) == treeForm(root));
}

// Walks the children of the document element one by one, looking at each child's last child, then
// reads the rest; returns whether the load ended without error.
bool navigate(EKDocument* doc) {
  try {
    EKElement* root = doc->getDocumentElement();
    if (root) {
      for (EKNode* child = root->getFirstChild(); child; child = child->getNextSibling())
        child->getLastChild();
      root->getLastChild();
    }
    while (doc->loadNextNode()) {
    }
    return true;
  } catch (const EKError&) {
    return false;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ServeFromMemory resolver;
  static const bool installed = (EKUri::setUriReferenceResolver2(&resolver), true);
  check(installed);
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  EKPtr<EKDocument> doc;
  const std::string form = loadedForm(bytes, doc);
  if (doc) {
    checkRoundTrip(doc, form);
    checkClone(doc);
  }

  // The same bytes read on demand load as far, and to the same tree.
  EKStrStream in(bytes.data(), bytes.size());
  EKPtr<EKDocument> pulled;
  try {
    pulled = startLoad(in, true);
  } catch (const EKError&) {
    check(!doc);
    return 0;
  }
  const bool complete = navigate(pulled);
  check(complete == (doc != nullptr));
  if (complete)
    check(treeForm(pulled) == form);
  return 0;
}
