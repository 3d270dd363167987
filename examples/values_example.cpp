// A formatter's everyday reading of attribute text: resolve a reference against the document,
// read a length and a colour, and take a brace compound apart.
#include <ekcommon/ekcommon.h>

#include <iostream>
#include <string>

using namespace EKCommonNS;

namespace {
std::string utf8(const UnicodeString& s) {
  std::string out;
  return s.toUTF8String(out);
}
} // namespace

int main() {
  EKNameTable::addRefSharedNameTable();

  const EKUri document(UnicodeString(u"file:///home/user/book/chapter1.fo"));
  const EKUri image(document, UnicodeString(u"images/figure 1.png"));
  std::cout << "image: " << utf8(image.getLocalPath()) << '\n';

  const EKValue indent = EKParser::parse(UnicodeString(u"1.5cm"), EKTokenizer::GENERIC);
  std::cout << "indent: " << float(indent.getLengthValue()) << "pt\n";

  const EKColor color = EKParser::parseColor(UnicodeString(u"cmyk(0, 0.5, 1, 0)"), false, nullptr).getColorValue();
  std::cout << "colour: " << utf8(color.toString(true, false, true)) << '\n';

  const EKValue page = EKParser::parseCompound(UnicodeString(u"{width: 210mm; height: 297mm}"), EKTokenizer::GENERIC);
  std::cout << "page height: " << float(page.getNamedItem(EKN_height).getLengthValue()) << "pt\n";

  EKNameTable::releaseSharedNameTable();
  return 0;
}
