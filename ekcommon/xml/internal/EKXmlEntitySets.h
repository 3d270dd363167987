// The built-in entity sets (MathML, HTML 4 and HTML5) as constant tables sorted by name. The XML
// parser copies a set into a document's general entities when the document calls for it, keeping
// the entities the document declares itself. Not installed.
#pragma once

#include <cstddef>

namespace EKCommonNS {

// One entity: its name and the one or two code points it expands to (second is 0 for one).
struct EKXmlEntityDef {
  const char* name;
  char32_t first;
  char32_t second;
};

// A set: entries in strcmp order of their names, each name once.
struct EKXmlEntityTable {
  const EKXmlEntityDef* entries;
  size_t count;
};

// The character entities of the MathML 3 DTD: 2087 entries, 93 of them two code points.
extern const EKXmlEntityTable s_mathMLEntityTable;
// The 252 character entities of HTML 4.01, plus apos: 253 entries.
extern const EKXmlEntityTable s_html4EntityTable;
// The HTML5 named character references, without their semicolon: 2125 entries.
extern const EKXmlEntityTable s_html5EntityTable;

} // namespace EKCommonNS
