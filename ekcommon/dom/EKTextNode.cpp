#include "ekcommon/dom/EKTextNode.h"

#include "ekcommon/core/internal/EKArena.h"
#include "ekcommon/dom/EKDocument.h"

namespace EKCommonNS {

namespace {

size_t charBytes(int32_t length) { return sizeof(char16_t) * static_cast<size_t>(length); }

// A buffer of its own (from the loading document's arena when there is one).
const char16_t* copyChars(const UnicodeString& data) {
  if (data.isEmpty())
    return u"";
  char16_t* chars = static_cast<char16_t*>(EKArena::allocate(charBytes(data.length())));
  data.extract(0, data.length(), chars);
  return chars;
}

} // namespace

EKTextNode::EKTextNode(EKDocument* ownerDocument, const UnicodeString& data)
    : EKNode(ownerDocument), m_chars(copyChars(data)), m_length(data.length()), m_ownsChars(!data.isEmpty()) {}

EKTextNode::EKTextNode(EKDocument* ownerDocument, const UnicodeString& data, Inline)
    : EKNode(ownerDocument), m_length(data.length()), m_ownsChars(false) {
  char16_t* chars = reinterpret_cast<char16_t*>(this + 1);
  data.extract(0, m_length, chars);
  m_chars = chars;
}

EKTextNode::~EKTextNode() { releaseChars(); }

void* EKTextNode::operator new(size_t size, Inline, size_t extra) { return EKArena::allocate(size + extra); }

void EKTextNode::operator delete(void* memory, Inline, size_t extra) noexcept {
  EKArena::deallocate(memory, sizeof(EKTextNode) + extra);
}

EKPtr<EKTextNode> EKTextNode::create(EKDocument* ownerDocument, const UnicodeString& data) {
  const size_t extra = charBytes(data.length());
  return EKPtr<EKTextNode>(new (Inline(), extra) EKTextNode(ownerDocument, data, Inline()));
}

void EKTextNode::releaseChars() {
  if (m_ownsChars)
    EKArena::deallocate(const_cast<char16_t*>(m_chars), charBytes(m_length));
}

void EKTextNode::setData(const UnicodeString& data) {
  const char16_t* chars = copyChars(data);
  releaseChars();
  m_chars = chars;
  m_length = data.length();
  m_ownsChars = !data.isEmpty();
}

EKName EKTextNode::getLocalName() const { return EKName(EKN_text); }

EKValue EKTextNode::getNodeValue() const { return EKValue(getData(), UNIT_NONE); }

void EKTextNode::setNodeValue(const EKValue& value) { setData(value.toString()); }

void EKTextNode::cloneMembers(EKNode* target) const {
  if (EKTextNode* text = ekCast<EKTextNode>(target))
    text->setData(getData());
}

EKPtr<EKNode> EKTextNode::cloneNode(bool) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  return EKPtr<EKNode>(document->createTextNode(getData()).get());
}

} // namespace EKCommonNS
