// A converter's packaging step and its reader's view of it: write a ZIP archive into a temporary
// file, then read one entry back through a jar: URI as any document reference would be read.
#include <ekcommon/ekcommon.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

using namespace EKCommonNS;

int main() {
  EKTempFile archiveFile("", "book", ".zip"); // removed when the program ends
  const std::string path = EKCStr(archiveFile.getFileName()).c_str(nullptr);
  {
    std::ofstream out(path, std::ios::binary);
    EKZipArchive zip;
    std::istringstream chapter("<fo:root/>"), style("fo:block { margin: 0 }");
    if (zip.open(out) != 0 || zip.append(chapter, u"text/chapter1.fo") != 0 ||
        zip.append(style, u"style.css") != 0 || zip.close() != 0) {
      std::cerr << "cannot write " << path << '\n';
      return 1;
    }
  }
  const EKUri entry(UnicodeString::fromUTF8("jar:file://" + path + "!/text/chapter1.fo"));
  std::unique_ptr<std::istream> in(entry.getIStream());
  if (!in) {
    std::cerr << "cannot read the entry\n";
    return 1;
  }
  std::cout << "chapter1.fo: " << in->rdbuf() << '\n';
  return 0;
}
