// EKTextNode: character data in the tree, with the bidi embedding level a formatter resolves
// for it later (-1 until then). The characters made by a document's factory share the node's
// own allocation: most nodes of a text-rich document are texts.
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKTextNode : public EKNode {
  EK_TYPE_IDENTITY(EKTextNode, EKNode)

public:
  // A node whose characters live in a buffer of their own (hosts deriving from it).
  EKTextNode(EKDocument* ownerDocument, const UnicodeString& data);
  ~EKTextNode() override;
  // A node with its characters stored behind it, in one allocation.
  static EKPtr<EKTextNode> create(EKDocument* ownerDocument, const UnicodeString& data);

  EKName getLocalName() const override;
  EKNodeType getNodeType() const override { return TEXT_NODE; }
  EKValue getNodeValue() const override;
  void setNodeValue(const EKValue& value) override;
  bool isText() const override { return true; }
  UnicodeString getText() const override { return getData(); }
  void setText(const UnicodeString& text) override { setData(text); }
  void cloneMembers(EKNode* target) const override;
  EKPtr<EKNode> cloneNode(bool deep) override;
  bool isBidiDone() const override { return m_bidiLevel >= 0; }
  void bidiDone(int level) override { m_bidiLevel = level; }

  // A copy of the characters.
  UnicodeString getData() const { return UnicodeString(m_chars, m_length); }
  void setData(const UnicodeString& data);
  // The characters in place (not terminated), valid until the text changes or the node dies.
  const char16_t* getBuffer() const { return m_chars; }
  // In UTF-16 code units.
  int getLength() const { return m_length; }
  int getBidiLevel() const { return m_bidiLevel; }

  using EKNode::operator new;
  using EKNode::operator delete;

private:
  struct Inline {};
  EKTextNode(EKDocument* ownerDocument, const UnicodeString& data, Inline);
  static void* operator new(size_t size, Inline, size_t extra);
  static void operator delete(void* memory, Inline, size_t extra) noexcept;
  void releaseChars();

  const char16_t* m_chars;
  int32_t m_length;
  int32_t m_bidiLevel = -1;
  bool m_ownsChars;
};

} // namespace EKCommonNS
