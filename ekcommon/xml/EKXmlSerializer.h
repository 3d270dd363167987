// The event writer that turns calls (start document, start tag, attributes, text, end tag ...)
// into XML text on a byte stream or a file, declaring namespaces as the names need them and
// escaping every context so that the text reads back to the same tree.
//
//   EKPtr<EKXmlSerializer> out = EKXmlSerializer::createXmlSerializer();
//   out->setOutput(u"book.xml", u"UTF-8", u"");      // written beside, renamed into place at the end
//   out->startDocument(u"", u"");
//   const EKName book(UnicodeString(u"book")), id(UnicodeString(u"id"));
//   out->startTag(ns, EKName(), book);                 // ns: the element's namespace, or EKName()
//   out->attribute(EKName(), EKName(), id, u"b1");
//   out->text(u"Tom & Jerry");
//   out->endTag(ns, book);
//   out->endDocument();
//
// Call order: setOutput, then startDocument (optional, it writes the XML declaration), then the
// content calls, then endDocument. attribute() belongs right after startTag() or another
// attribute(); docdecl() comes before the first start tag. Misuse throws EKError with the common
// codes 12 to 16, a missing output 69, an unopenable file 67 and a failed write 71; a call that
// fails its order check writes nothing, while a failed write ends the document (the output is
// dropped and a file being written is removed).
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKName.h"

#include <ostream>

namespace EKCommonNS {

class EKCOMMON_API EKXmlSerializer : public EKRCObject {
  EK_TYPE_IDENTITY(EKXmlSerializer, EKRCObject)
public:
  // Writes to a file. Nothing appears at `path` until endDocument() has written the whole document:
  // the text goes to a new file in the same directory, which then replaces the file at `path` in
  // one step; a serializer destroyed or given another output before that removes it. `encoding`
  // chooses the output encoding: the US-ASCII family, the Shift_JIS family (written SHIFT_JIS in
  // the declaration) or UTF-8; any other name gives UTF-8 and no encoding in the declaration.
  // `standalone`, when not empty, is written as the declaration's standalone value. Throws 67
  // (naming the path) when the file cannot be created. Drops any earlier unfinished output.
  virtual void setOutput(const UnicodeString& path, const UnicodeString& encoding,
                         const UnicodeString& standalone) = 0;
  // Writes to the caller's stream, which must outlive the document; 71 when it is already bad.
  virtual void setOutput(std::ostream& out, const UnicodeString& encoding, const UnicodeString& standalone) = 0;
  // Writes the XML declaration and the generator comment; only directly after setOutput (else
  // 12). Non-empty arguments replace those given to setOutput.
  virtual void startDocument(const UnicodeString& encoding, const UnicodeString& standalone) = 0;
  // Completes a pending start tag and delivers everything: flushes the stream, or puts the file in
  // place. The serializer then has no output until the next setOutput.
  virtual void endDocument() = 0;

  // Declares prefix -> namespaceUri on the next start tag (the empty prefix is the default
  // namespace). Completes a pending start tag.
  virtual void setPrefix(EKName prefix, EKName namespaceUri) = 0;
  // A non-empty prefix that is (or will be, at the next start tag) bound to namespaceUri. When
  // there is none and `generate` is set, a new prefix "ekoox-N<n>" is made and declared on the
  // open start tag, or on the next one when no tag is open; otherwise the empty name. "xml" for
  // the XML namespace.
  virtual EKName getPrefix(EKName namespaceUri, bool generate) = 0;

  // Opens an element. The element's name is written with `prefix`, which is declared on the tag
  // when it is not bound to namespaceUri in scope (an unprefixed element without namespace
  // inside a default namespace gets xmlns=""). A prefix that cannot carry the namespace (xmlns,
  // xml for another namespace, any prefix without namespace) is replaced.
  virtual void startTag(EKName namespaceUri, EKName prefix, EKName localName) = 0;
  // Adds an attribute to the open start tag (else 13). A namespace declaration (namespace of
  // xmlns, or the names xmlns / xmlns:p) is written once per tag and bound for the element's
  // content; one that contradicts the tag's own names is left out. Any other namespaced attribute
  // gets a prefix bound to its namespace: its own when free, else one in scope or a new one.
  virtual void attribute(EKName namespaceUri, EKName prefix, EKName localName, const UnicodeString& value) = 0;
  // Closes the innermost element (14 when none is open, 15 when the name differs); an element
  // with no content is written <x/>.
  virtual void endTag(EKName namespaceUri, EKName localName) = 0;
  // Character data, escaped.
  virtual void text(const UnicodeString& text) = 0;
  virtual void processingInstruction(EKName target, const UnicodeString& data) = 0;
  // <!--text-->; a "--" inside, or a trailing "-", is split by a space so the comment stays one.
  virtual void comment(const UnicodeString& text) = 0;
  // <!DOCTYPE text>, with a space before a text that does not start with white space; before the
  // first start tag only (else 16).
  virtual void docdecl(const UnicodeString& text) = 0;
  // <![CDATA[text]]>; "]]>" and characters the encoding lacks close the section around them.
  virtual void cdsect(const UnicodeString& text) = 0;

  // Leaves the XML declaration out of startDocument(). Off in a new serializer.
  virtual void setOmitXmlDeclaration(bool omit) = 0;
  // Writes the namespace declarations of each start tag sorted by prefix, then its attributes
  // sorted by prefix and local name, instead of in call order. Off in a new serializer.
  virtual void setSortAttributes(bool sort) = 0;
  // The number of open elements.
  virtual int getDepth() const = 0;
  // Hands everything written so far to the stream (or the file being written), without
  // completing an open start tag.
  virtual void flush() = 0;

  // Text written as a comment right after the XML declaration; empty for none.
  virtual void setGenerator(const UnicodeString& generator);

  // A new serializer of the library's own implementation.
  static EKPtr<EKXmlSerializer> createXmlSerializer();

protected:
  EKXmlSerializer() = default;
};

} // namespace EKCommonNS
