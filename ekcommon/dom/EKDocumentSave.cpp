// Saving: a tree or a subtree walked without recursion and written through the serializer.
#include "ekcommon/dom/EKDocument.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/dom/EKNamedNodeMap.h"
#include "ekcommon/dom/EKTextNode.h"
#include "ekcommon/dom/EKTreeIterator.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/values/EKNamedValueMap.h"
#include "ekcommon/xml/EKXmlSerializer.h"

#include <functional>
#include <sstream>

namespace EKCommonNS {

namespace {

// Runs one save; a serializer that failed halfway is dropped so that the next save starts clean.
void saveWith(EKDocument& document, const std::function<void(EKXmlSerializer&)>& save) {
  try {
    save(*document.getSerializer());
  } catch (...) {
    document.setSerializer(nullptr);
    throw;
  }
}

} // namespace

void EKDocument::save(std::ostream& out, EKNode* node, const UnicodeString& encoding,
                      const UnicodeString& standalone) {
  save(UnicodeString(), UnicodeString(), out, node, encoding, standalone);
}

void EKDocument::save(const UnicodeString& declEncoding, const UnicodeString& declStandalone, std::ostream& out,
                      EKNode* node, const UnicodeString& encoding, const UnicodeString& standalone) {
  EKMutex guard(m_lock);
  saveWith(*this, [&](EKXmlSerializer& serializer) {
    serializer.setOutput(out, encoding, standalone);
    serializer.startDocument(declEncoding, declStandalone);
    doSave(node, false);
    serializer.endDocument();
  });
}

void EKDocument::save(const UnicodeString& file, EKNode* node, const UnicodeString& encoding,
                      const UnicodeString& standalone) {
  EKMutex guard(m_lock);
  saveWith(*this, [&](EKXmlSerializer& serializer) {
    serializer.setOutput(file, encoding, standalone);
    serializer.startDocument(UnicodeString(), UnicodeString());
    doSave(node, false);
    serializer.endDocument();
  });
}

UnicodeString EKDocument::saveXml(EKNode* node) {
  std::ostringstream out;
  save(out, node);
  const std::string bytes = out.str();
  return UnicodeString::fromUTF8(bytes);
}

void EKDocument::saveDocumentElement(std::ostream& out) {
  EKMutex guard(m_lock);
  saveWith(*this, [&](EKXmlSerializer& serializer) {
    serializer.setOutput(out, UnicodeString(), UnicodeString());
    serializer.startDocument(UnicodeString(), UnicodeString());
    doSave(getDocumentElement(), true);
  });
}

void EKDocument::saveDocumentElement(const UnicodeString& file) {
  EKMutex guard(m_lock);
  saveWith(*this, [&](EKXmlSerializer& serializer) {
    serializer.setOutput(file, UnicodeString(), UnicodeString());
    serializer.startDocument(UnicodeString(), UnicodeString());
    doSave(getDocumentElement(), true);
  });
}

void EKDocument::closeDocumentElement() {
  EKMutex guard(m_lock);
  saveWith(*this, [&](EKXmlSerializer& serializer) {
    if (EKElement* root = getDocumentElement())
      serializer.endTag(root->getNamespaceUri(), root->getLocalName());
    serializer.endDocument();
  });
}

void EKDocument::doSave(EKNode* node, bool startTagOnly) {
  EKXmlSerializer& serializer = *getSerializer();
  EKNode* root = node ? node : this;
  EKNode* documentElement = getDocumentElement();
  const bool svgColors = documentElement && documentElement->getNamespaceUri() == EKN_http_www_w3_org_2000_svg;
  EKTreeIterator it(root, EKTreeIterator::PRE_AND_POST_ORDER);
  while (EKNode* current = it.nextNode()) {
    if (current->isElementNode()) {
      EKElement* element = static_cast<EKElement*>(current);
      if (element->isText() && element->getLocalName() == EKN_text) {
        if (it.atPreVisit())
          writeTextElement(element);
        it.setCurrentNode(element, true); // its children are the text it stands for
        continue;
      }
      if (it.atPostVisit()) {
        serializer.endTag(element->getNamespaceUri(), element->getLocalName());
        continue;
      }
      serializer.startTag(element->getNamespaceUri(), element->getPrefix(), element->getLocalName());
      element->finishAttributes();
      writeAttributes(element, svgColors);
      if (startTagOnly) {
        // Complete the tag and hand it over, so that the host may write the content directly.
        serializer.text(UnicodeString());
        serializer.flush();
        return;
      }
      continue;
    }
    switch (current->getNodeType()) {
    case TEXT_NODE:
      if (const EKTextNode* text = ekCast<EKTextNode>(current))
        serializer.text(UnicodeString(false, text->getBuffer(), text->getLength())); // no copy
      else
        serializer.text(current->getText());
      break;
    case PROCESSING_INSTRUCTION_NODE:
      serializer.processingInstruction(current->getLocalName(), current->getText());
      break;
    case DOCUMENT_NODE:
    case DOCUMENT_FRAGMENT_NODE:
      break;
    default:
      throwCommonError(EKERR_UNSUPPORTED_NODE_TYPE);
    }
  }
}

// Values that have no text form (host objects, the null value) are left out; a compound value
// becomes one attribute per component.
void EKDocument::writeAttributes(EKElement* element, bool svgColors) {
  if (!element->hasAttributes())
    return;
  EKXmlSerializer& serializer = *getSerializer();
  EKNamedNodeMap* attributes = element->getAttributes();
  for (int i = 0, n = attributes->getLength(); i < n; ++i) {
    EKAttr* attr = attributes->item(i);
    const EKValue& value = attr->getValue();
    const EKName ns = attr->getNamespaceUri();
    const EKName prefix = attr->getPrefix();
    const EKName local = attr->getLocalName();
    // HTML tag soup can give attributes names that XML cannot write ("@click", "a:1"); they are
    // left out so that the output stays well-formed.
    if (!EKChar::isNCNameStr(local.toString()))
      continue;
    if (value.isColor()) {
      const EKColor color(value);
      serializer.attribute(ns, prefix, local, svgColors ? color.toString(true, false, true) : value.toValueText(false, false));
      continue;
    }
    switch (value.getValueType()) {
    case VALUE_NULL:
    case VALUE_RCOBJECT:
      break;
    case VALUE_COMPOUND: {
      const EKNamedValueMap* map = value.getNamedValueMap();
      for (int k = 0, count = map ? map->getCount() : 0; k < count; ++k) {
        const EKNamedValue& component = map->at(k);
        UnicodeString name(local.toString());
        name.append(char16_t('.')).append(component.getName().toString());
        serializer.attribute(ns, prefix, EKName(name), component.toValueText(false, false));
      }
      break;
    }
    default:
      if (value.isUnknownString()) {
        // What the loader stores: written as it stands, read in place.
        int32_t length = 0;
        const char16_t* chars = value.getStringBuffer(length);
        serializer.attribute(ns, prefix, local, UnicodeString(false, chars, length));
      } else {
        serializer.attribute(ns, prefix, local, value.toValueText(false, false));
      }
      break;
    }
  }
}

// A host's element standing for a text: written as the extension element "text" when the host
// asks for it, otherwise as the text alone.
void EKDocument::writeTextElement(EKNode* text) {
  EKXmlSerializer& serializer = *getSerializer();
  if (!text->saveTextTag()) {
    serializer.text(text->getText());
    return;
  }
  const EKName ns(EKN_http_ns_ekcommon_org_names_XSL_Extensions);
  EKName prefix = serializer.getPrefix(ns, false);
  if (prefix.isEmpty())
    prefix = EKN_ekw;
  serializer.startTag(ns, prefix, EKName(EKN_text_n1461));
  writeAttributes(static_cast<EKElement*>(text), false);
  serializer.text(text->getText());
  serializer.endTag(ns, EKName(EKN_text_n1461));
}

} // namespace EKCommonNS
