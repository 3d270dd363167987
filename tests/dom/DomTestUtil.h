// Helpers of the DOM tests: documents from text, and trees printed in one line so that a table
// row can state a whole tree.
#pragma once

#include "resources/ResourceTestUtil.h"
#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace domtest {

using namespace EKCommonNS;

inline EKName name(const char* s) { return EKName(u(s)); }

inline EKPtr<EKDocument> parse(const std::string& xml) {
  EKPtr<EKDocument> doc(new EKDocument());
  std::istringstream in(xml);
  doc->load(in, nullptr, u("mem.xml"));
  return doc;
}

// Elements as {ns}prefix:name[attr=value ...](children), texts quoted, PIs as ?target.
inline std::string tree(EKNode* root) {
  std::string out;
  EKTreeIterator it(root, EKTreeIterator::PRE_AND_POST_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (node->getNodeType() == TEXT_NODE) {
      out += "\"" + utf8(node->getText()) + "\"";
    } else if (node->isProcessingInstruction()) {
      out += "?" + utf8(node->getLocalName()) + " ";
    } else if (node->isElementNode()) {
      if (it.atPostVisit()) {
        out += ")";
        continue;
      }
      if (!node->getNamespaceUri().isEmpty())
        out += "{" + utf8(node->getNamespaceUri()) + "}";
      out += utf8(node->getNodeName());
      if (EKNamedNodeMap* attributes = node->hasAttributes() ? node->getAttributes() : nullptr) {
        out += "[";
        for (int i = 0; i < attributes->getLength(); ++i) {
          EKAttr* attr = attributes->item(i);
          out += (i ? " " : "") + utf8(attr->getNodeName()) + "=" + utf8(attr->getText());
        }
        out += "]";
      }
      out += "(";
    }
  }
  return out;
}

// The error code and message an action throws; code -1 when it throws nothing.
template <class Action>
std::pair<int, std::string> thrown(Action&& action) {
  try {
    action();
  } catch (const EKError& e) {
    return {e.getErrorCode(), utf8(e.getRawMessage())};
  }
  return {-1, ""};
}

} // namespace domtest
