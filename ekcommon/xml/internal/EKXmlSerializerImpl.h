// The library's XML serializer. Output goes through one 64 KiB byte buffer; text is escaped and
// encoded in a single pass that copies runs of plain ASCII in bulk and hands only characters
// beyond ASCII to the encoder of the output encoding. Start tags stay open until something
// follows, so that an element without content is written <x/>.
#pragma once

#include "ekcommon/xml/EKNamespaceManager.h"
#include "ekcommon/xml/EKXmlSerializer.h"

#include <memory>
#include <string>
#include <vector>

struct UConverter;

namespace EKCommonNS {

class EKXmlSerializerImpl : public EKXmlSerializer {
  EK_TYPE_IDENTITY(EKXmlSerializerImpl, EKXmlSerializer)
public:
  EKXmlSerializerImpl();
  ~EKXmlSerializerImpl() override;
  EKXmlSerializerImpl(const EKXmlSerializerImpl&) = delete;
  EKXmlSerializerImpl& operator=(const EKXmlSerializerImpl&) = delete;

  void setOutput(const UnicodeString& path, const UnicodeString& encoding, const UnicodeString& standalone) override;
  void setOutput(std::ostream& out, const UnicodeString& encoding, const UnicodeString& standalone) override;
  void startDocument(const UnicodeString& encoding, const UnicodeString& standalone) override;
  void endDocument() override;
  void setPrefix(EKName prefix, EKName namespaceUri) override;
  EKName getPrefix(EKName namespaceUri, bool generate) override;
  void startTag(EKName namespaceUri, EKName prefix, EKName localName) override;
  void attribute(EKName namespaceUri, EKName prefix, EKName localName, const UnicodeString& value) override;
  void endTag(EKName namespaceUri, EKName localName) override;
  void text(const UnicodeString& text) override;
  void processingInstruction(EKName target, const UnicodeString& data) override;
  void comment(const UnicodeString& text) override;
  void docdecl(const UnicodeString& text) override;
  void cdsect(const UnicodeString& text) override;
  void setOmitXmlDeclaration(bool omit) override { m_omitDeclaration = omit; }
  void setSortAttributes(bool sort) override { m_sortAttributes = sort; }
  int getDepth() const override { return static_cast<int>(m_open.size()); }
  void flush() override;
  void setGenerator(const UnicodeString& generator) override { m_generator = generator; }

private:
  // Where text goes, which decides how each ASCII character is escaped: character data,
  // attribute values and namespace URIs, markup written as it is (names, comments, processing
  // instructions, the DOCTYPE), and the inside of a CDATA section.
  enum class Context { TEXT, ATTRIBUTE, RAW, CDATA };
  enum class State {
    NO_OUTPUT,
    OUTPUT_SET,   // startDocument may come
    PROLOG,       // before the first start tag: docdecl may come
    IN_START_TAG, // attributes may come
    CONTENT,
  };
  enum class Encoding { UTF8, ASCII, SHIFT_JIS };
  struct Binding {
    EKName prefix;
    EKName uri;
  };
  struct OpenElement {
    EKName uri;
    EKName localName;
    EKName prefix;              // as written
    size_t firstBinding;        // the element's own declarations start here in m_bindings
  };
  struct BufferedAttribute {
    EKName prefix;
    EKName localName;
    UnicodeString value;
  };
  // Encoded names, direct-mapped by number: names are written twice per element, and the name
  // table answers run-time names under its lock.
  struct NameCacheEntry {
    EKNameEnum number = EKN_EMPTY;
    bool ascii = false;
    std::string bytes;
  };
  static constexpr size_t BUFFER_SIZE = 64 * 1024;
  static constexpr size_t NAME_CACHE_SIZE = 256;

  // Output
  void requireOutput() const;
  void chooseEncoding(const UnicodeString& requested);
  void releaseOutput();
  [[noreturn]] void failOutput();
  void flushBuffer();
  void putBytes(const char* bytes, size_t length);
  void put(char c) {
    if (m_used == BUFFER_SIZE)
      flushBuffer();
    m_buffer[m_used++] = c;
  }
  void put(const char* literal) { putBytes(literal, std::char_traits<char>::length(literal)); }

  // Text
  void write(const UnicodeString& text, Context context) { write(text.getBuffer(), text.length(), context); }
  void write(const char16_t* text, int32_t length, Context context);
  void writeBeyondAscii(const char16_t* text, int32_t length, bool inCdata);
  void writeCharRef(UChar32 c, bool inCdata);
  void writeName(EKName name);
  void writeQName(EKName prefix, EKName localName);
  void writeUnbrokenMarkup(const UnicodeString& text, const char16_t* forbidden);

  // Structure
  void beforeContent();
  void completeStartTag(bool empty);
  void writeDeclaration(EKName prefix, EKName uri);
  void writeAttribute(EKName prefix, EKName localName, const UnicodeString& value);

  // Namespaces
  void declare(EKName prefix, EKName uri);
  void declareRequested(EKName prefix, EKName uri);
  bool tagDeclares(EKName prefix) const;
  bool tagUses(EKName prefix) const;
  EKName boundPrefix(EKName uri) const;
  EKName newPrefix() const;
  EKName attributePrefix(EKName uri, EKName prefix);

  State m_state = State::NO_OUTPUT;
  std::ostream* m_stream = nullptr;
  // The file being written (fd >= 0): its temporary path and the path it will replace.
  int m_fd = -1;
  std::string m_tempPath;
  std::string m_targetPath;
  Encoding m_encoding = Encoding::UTF8;
  UnicodeString m_encodingLabel; // empty: no encoding in the declaration
  UnicodeString m_standalone;
  UnicodeString m_generator;
  UConverter* m_converter = nullptr; // Shift_JIS output only
  bool m_convertingCdata = false;     // read by the converter's callback
  bool m_omitDeclaration = false;
  bool m_sortAttributes = false;
  bool m_sortingTag = false; // the open start tag is buffered (the flag may change under it)

  std::unique_ptr<char[]> m_buffer;
  size_t m_used = 0;

  EKPtr<EKNamespaceManager> m_namespaces;
  std::vector<OpenElement> m_open;
  // Every declaration of the open elements, outermost first.
  std::vector<Binding> m_bindings;
  // Declarations waiting for the next start tag.
  std::vector<Binding> m_pending;
  // Prefixes the names of the open start tag use.
  std::vector<EKName> m_tagPrefixes;
  std::vector<BufferedAttribute> m_tagAttributes;
  std::unique_ptr<NameCacheEntry[]> m_nameCache;
};

} // namespace EKCommonNS
