#!/usr/bin/env python3
"""Writes the XML parser's built-in entity tables: ekcommon/xml/EKXmlEntities*.cpp.

A developer tool, not run by the build: run it again when a source changes and commit its output.

Sources:
- MathML: the character entity files of the MathML 3 DTD (W3C Recommendation of 21 October 2010,
  https://www.w3.org/Math/DTD/mathml3-dtd.zip), in the order in which mathml3.dtd declares them,
  the first declaration of a name winning. Debian's w3c-sgml-lib package ships them in
  /usr/share/xml/w3c-sgml-lib/schema/dtd/REC-MathML3-20101021/ (apt-get install w3c-sgml-lib).
  W3C Software Notice and License; the entity names derive from ISO 8879, whose notice the files
  carry.
- HTML 4: HTMLlat1.ent, HTMLsymbol.ent and HTMLspecial.ent of HTML 4.01 (W3C Recommendation of
  24 December 1999, https://www.w3.org/TR/html401/sgml/entities.html), in the same package under
  REC-html401-19991224/, plus apos, which XHTML adds. Same terms.
- HTML5: the named character references of the WHATWG HTML Standard
  (https://html.spec.whatwg.org/entities.json), as Python's standard library copies them in
  html.entities.html5; only the names with their semicolon. CC BY 4.0, and the BSD 3-Clause
  License for the portions incorporated into source code.

Usage: generate-entity-tables.py [--dtd-dir DIR] [--out-dir DIR]
"""

import argparse
import html.entities
import re
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The date of the conversion, which the W3C terms ask a derived file to state. Change it together
# with any change to what this script writes.
CONVERTED = "2026-12-06"

W3C_NOTICE = """\
W3C SOFTWARE NOTICE AND LICENSE
http://www.w3.org/Consortium/Legal/2002/copyright-software-20021231

This work (and included software, documentation such as READMEs, or other related items) is
being provided by the copyright holders under the following license. By obtaining, using and/or
copying this work, you (the licensee) agree that you have read, understood, and will comply with
the following terms and conditions.

Permission to copy, modify, and distribute this software and its documentation, with or without
modification, for any purpose and without fee or royalty is hereby granted, provided that you
include the following on ALL copies of the software and documentation or portions thereof,
including modifications:
1. The full text of this NOTICE in a location viewable to users of the redistributed or
   derivative work.
2. Any pre-existing intellectual property disclaimers, notices, or terms and conditions. If none
   exist, the W3C Software Short Notice should be included (hypertext is preferred, text is
   permitted) within the body of any redistributed or derivative code.
3. Notice of any changes or modifications to the files, including the date changes were made.
   (We recommend you provide URIs to the location from which the code is derived.)

THIS SOFTWARE AND DOCUMENTATION IS PROVIDED "AS IS," AND COPYRIGHT HOLDERS MAKE NO
REPRESENTATIONS OR WARRANTIES, EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO, WARRANTIES OF
MERCHANTABILITY OR FITNESS FOR ANY PARTICULAR PURPOSE OR THAT THE USE OF THE SOFTWARE OR
DOCUMENTATION WILL NOT INFRINGE ANY THIRD PARTY PATENTS, COPYRIGHTS, TRADEMARKS OR OTHER RIGHTS.

COPYRIGHT HOLDERS WILL NOT BE LIABLE FOR ANY DIRECT, INDIRECT, SPECIAL OR CONSEQUENTIAL DAMAGES
ARISING OUT OF ANY USE OF THE SOFTWARE OR DOCUMENTATION.

The name and trademarks of copyright holders may NOT be used in advertising or publicity
pertaining to the software without specific, written prior permission. Title to copyright in
this software and any associated documentation will at all times remain with copyright holders.
"""

ISO_NOTICE = """\
Portions (C) International Organization for Standardization {years}
Permission to copy in any form is granted for use with conforming SGML systems and applications
as defined in ISO 8879, provided this notice is included in all copies.
"""

MATHML_HEADER = f"""\
The character entities of the MathML 3 DTD, by name: the entity files that mathml3.dtd of the
W3C Recommendation of 21 October 2010 includes, https://www.w3.org/Math/DTD/mathml3-dtd.zip.

Copyright 1998 - 2010 W3C.
Use and distribution of this code are permitted under the terms of the W3C Software Notice and
License, http://www.w3.org/Consortium/Legal/2002/copyright-software-20021231.html

{ISO_NOTICE.format(years="1986, 1991")}
Changes: on {CONVERTED} the entity declarations were turned into this table of code points; a
space written before a lone combining mark is left out.

{W3C_NOTICE}"""

HTML4_HEADER = f"""\
The character entities of HTML 4.01 (HTMLlat1.ent, HTMLsymbol.ent, HTMLspecial.ent of the W3C
Recommendation of 24 December 1999, https://www.w3.org/TR/html401/sgml/entities.html), by name,
with apos added.

Copyright (c) 1997-1999 World Wide Web Consortium, (Massachusetts Institute of Technology,
Institut National de Recherche en Informatique et en Automatique, Keio University). All Rights
Reserved. http://www.w3.org/Consortium/Legal/

{ISO_NOTICE.format(years="1986")}
Changes: on {CONVERTED} the entity declarations were turned into this table of code points and
apos was added.

{W3C_NOTICE}"""

HTML5_HEADER = """\
The named character references of the WHATWG HTML Standard,
https://html.spec.whatwg.org/multipage/named-characters.html, by name without the semicolon;
the legacy forms without a semicolon are left out.

Copyright (c) WHATWG (Apple, Google, Mozilla, Microsoft). The standard is licensed under a
Creative Commons Attribution 4.0 International License; portions of it incorporated into source
code, such as this table, are licensed under the BSD 3-Clause License instead:

Redistribution and use in source and binary forms, with or without modification, are permitted
provided that the following conditions are met:
1. Redistributions of source code must retain the above copyright notice, this list of
   conditions and the following disclaimer.
2. Redistributions in binary form must reproduce the above copyright notice, this list of
   conditions and the following disclaimer in the documentation and/or other materials provided
   with the distribution.
3. Neither the name of the copyright holder nor the names of its contributors may be used to
   endorse or promote products derived from this software without specific prior written
   permission.

THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS AND CONTRIBUTORS "AS IS" AND ANY EXPRESS OR
IMPLIED WARRANTIES, INCLUDING, BUT NOT LIMITED TO, THE IMPLIED WARRANTIES OF MERCHANTABILITY AND
FITNESS FOR A PARTICULAR PURPOSE ARE DISCLAIMED. IN NO EVENT SHALL THE COPYRIGHT HOLDER OR
CONTRIBUTORS BE LIABLE FOR ANY DIRECT, INDIRECT, INCIDENTAL, SPECIAL, EXEMPLARY, OR
CONSEQUENTIAL DAMAGES (INCLUDING, BUT NOT LIMITED TO, PROCUREMENT OF SUBSTITUTE GOODS OR
SERVICES; LOSS OF USE, DATA, OR PROFITS; OR BUSINESS INTERRUPTION) HOWEVER CAUSED AND ON ANY
THEORY OF LIABILITY, WHETHER IN CONTRACT, STRICT LIABILITY, OR TORT (INCLUDING NEGLIGENCE OR
OTHERWISE) ARISING IN ANY WAY OUT OF THE USE OF THIS SOFTWARE, EVEN IF ADVISED OF THE
POSSIBILITY OF SUCH DAMAGE.
"""

LINE_WIDTH = 100

CHAR_REF = re.compile(r"&#(x[0-9A-Fa-f]+|[0-9]+);")


def char_refs(value, where):
    """The code points of a literal made of character references only."""
    if not re.fullmatch(f"(?:{CHAR_REF.pattern})+", value):
        raise SystemExit(f"{where}: not a list of character references: {value!r}")
    return [int(ref[1:], 16) if ref[0] == "x" else int(ref) for ref in CHAR_REF.findall(value)]


def mathml_entities(dtd_dir):
    folder = dtd_dir / "REC-MathML3-20101021"
    entities = {}
    for file in re.findall(r'"(\w+\.ent)"', (folder / "mathml3.dtd").read_text(encoding="utf-8")):
        text = re.sub(r"<!--.*?-->", "", (folder / file).read_text(encoding="utf-8"), flags=re.S)
        for name, value in re.findall(r'<!ENTITY\s+([A-Za-z][A-Za-z0-9]*)\s+"([^"]*)"\s*>', text):
            # `&#38;` escapes the `&` of a reference that must stay one inside the DTD
            # (`&#38;#60;`), and a lone combining mark has a space before it.
            code_points = char_refs(value.replace("&#38;", "&").strip(), f"{file}: {name}")
            entities.setdefault(name, code_points)
    return entities


def html4_entities(dtd_dir):
    folder = dtd_dir / "REC-html401-19991224"
    entities = {"apos": [0x27]}
    for file in ("HTMLlat1.ent", "HTMLsymbol.ent", "HTMLspecial.ent"):
        text = (folder / file).read_text(encoding="latin-1")
        for name, value in re.findall(r'<!ENTITY\s+(\w+)\s+CDATA\s+"([^"]*)"', text):
            entities[name] = char_refs(value, f"{file}: {name}")
    return entities


def html5_entities():
    return {name[:-1]: [ord(c) for c in chars]
            for name, chars in html.entities.html5.items() if name.endswith(";")}


def entry(name, code_points):
    if not 1 <= len(code_points) <= 2:
        raise SystemExit(f"{name}: {len(code_points)} code points")
    first, second = (code_points + [0])[:2]
    return f'{{"{name}", 0x{first:04X}, {f"0x{second:04X}" if second else "0"}}}'


def write_table(path, header, variable, entities):
    lines = ["// " + line if line else "//" for line in header.rstrip("\n").split("\n")]
    lines += ["//", "// Written by scripts/generate-entity-tables.py.",
              '#include "ekcommon/xml/internal/EKXmlEntitySets.h"', "", "#include <iterator>", "",
              "namespace EKCommonNS {", "", "namespace {", "",
              "constexpr EKXmlEntityDef ENTRIES[] = {"]
    row = ""
    for name in sorted(entities, key=lambda n: n.encode("ascii")):
        item = entry(name, entities[name]) + ","
        if row and len(row) + 1 + len(item) > LINE_WIDTH:
            lines.append(row)
            row = ""
        row = f"{row} {item}" if row else f"  {item}"
    lines += [row, "};", "", "} // namespace", "",
              f"const EKXmlEntityTable {variable} = {{ENTRIES, std::size(ENTRIES)}};", "",
              "} // namespace EKCommonNS", ""]
    path.write_text("\n".join(lines), encoding="ascii")
    print(f"{path}: {len(entities)} entries")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--dtd-dir", type=Path,
                        default=Path("/usr/share/xml/w3c-sgml-lib/schema/dtd"),
                        help="the DTD folder of the w3c-sgml-lib package")
    parser.add_argument("--out-dir", type=Path, default=ROOT / "ekcommon" / "xml")
    args = parser.parse_args()
    write_table(args.out_dir / "EKXmlEntitiesMathML.cpp", MATHML_HEADER, "s_mathMLEntityTable",
                mathml_entities(args.dtd_dir))
    write_table(args.out_dir / "EKXmlEntitiesHtml4.cpp", HTML4_HEADER, "s_html4EntityTable",
                html4_entities(args.dtd_dir))
    write_table(args.out_dir / "EKXmlEntitiesHtml5.cpp", HTML5_HEADER, "s_html5EntityTable",
                html5_entities())


if __name__ == "__main__":
    main()
