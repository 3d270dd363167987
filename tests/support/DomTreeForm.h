// A DOM tree printed in full, for comparing trees that should be equal: after a save and a load
// of what was saved, after a clone, or after loading on demand.
#pragma once

#include "support/TestStrings.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace domform {

using namespace EKCommonNS;

// The characters, with control characters, '"' and '\' escaped. C0 control characters other than
// tab, line feed and carriage return are left out: an XML 1.1 document can hold them, but the saver
// writes XML 1.0, which cannot, and drops them.
inline void appendCodePoints(std::string& out, const UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
    const UChar32 c = text.char32At(i);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
      continue;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == '"' || c == '\\') {
      char escaped[12];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += utf8(UnicodeString(c));
    }
  }
}

inline void appendName(std::string& out, EKNode* node) {
  if (!node->getNamespaceUri().isEmpty())
    out += "{" + utf8(node->getNamespaceUri()) + "}";
  out += utf8(node->getNodeName());
}

inline std::string attributeForm(EKAttr* attr) {
  std::string form;
  appendName(form, attr);
  form += "=\"";
  appendCodePoints(form, attr->getText());
  return form + "\"";
}

// The start of an element: its names, then its namespace declarations sorted, then its other
// attributes in order. Declarations have no order in XML, and the saver declares the element's own
// namespace first. Left out are declarations of the xml prefix, which is always bound, and
// undeclarations of a prefix (xmlns:p=""), which XML 1.0 does not allow and the saver drops; both
// change no name in the tree. Without `declarations` all of them are left out, which compares
// trees by their names alone: a page read as HTML has its namespaces implied, and its saved form
// declares them.
inline std::string startTagForm(EKNode* element, bool declarations = true) {
  static const EKName xmlnsNamespace(UnicodeString(u"http://www.w3.org/2000/xmlns/"));
  static const EKName xmlns(UnicodeString(u"xmlns")), xml(UnicodeString(u"xml"));
  std::string tag = "<";
  appendName(tag, element);
  std::vector<std::string> declared;
  std::string attributes;
  EKNamedNodeMap* map = element->getAttributes();
  for (int i = 0; i < map->getLength(); ++i) {
    EKAttr* attr = map->item(i);
    const bool prefixed = attr->getNamespaceUri() == xmlnsNamespace && attr->getLocalName() != xmlns;
    if (prefixed && (attr->getLocalName() == xml || attr->getText().isEmpty()))
      continue;
    if (!prefixed && attr->getNodeName() != xmlns)
      attributes += " " + attributeForm(attr);
    else if (declarations)
      declared.push_back(attributeForm(attr));
  }
  std::sort(declared.begin(), declared.end());
  for (const std::string& declaration : declared)
    tag += " " + declaration;
  return tag + attributes + ">";
}

// The whole tree, one node a line, indented by depth: elements as startTagForm writes them; texts
// and processing instructions as appendCodePoints writes them. Adjacent text nodes are printed as
// one text and empty texts not at all: a tree can hold texts side by side (an included text
// resource next to the text around it, or texts a host appended), which the saved output holds as
// one run of characters, and nothing can be written for an empty text.
inline std::string treeForm(EKNode* root, bool declarations = true) {
  std::string out;
  std::string pendingText;
  int depth = 0;
  auto line = [&](const std::string& text) { out += std::string(static_cast<size_t>(depth) * 2, ' ') + text + "\n"; };
  auto flushText = [&] {
    if (!pendingText.empty())
      line("\"" + pendingText + "\"");
    pendingText.clear();
  };
  EKTreeIterator it(root, EKTreeIterator::PRE_AND_POST_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (node->getNodeType() == TEXT_NODE) {
      appendCodePoints(pendingText, node->getText());
      continue;
    }
    flushText();
    if (node->isProcessingInstruction()) {
      std::string pi = "<?" + utf8(node->getLocalName()) + " ";
      appendCodePoints(pi, node->getText());
      line(pi + "?>");
    } else if (node->isElementNode() && it.atPostVisit()) {
      --depth;
    } else if (node->isElementNode()) {
      line(startTagForm(node, declarations));
      ++depth;
    }
  }
  flushText();
  return out;
}

} // namespace domform
