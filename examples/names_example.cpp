// A host's first steps with ekcommon: keep the shared name table alive for the session, intern
// names and compare them as numbers.
#include <ekcommon/ekcommon.h>

#include <iostream>
#include <string>

using namespace EKCommonNS;

int main() {
  EKNameTable::addRefSharedNameTable();

  const EKName inherit(UnicodeString(u"inherit"));
  const EKName custom(UnicodeString(u"my-vendor-property"));
  std::string text;
  std::cout << inherit.toString().toUTF8String(text) << " = " << static_cast<int>(inherit) << '\n';
  text.clear();
  std::cout << custom.toString().toUTF8String(text) << " = " << static_cast<int>(custom)
            << (custom.isBuiltin() ? " (built-in)" : " (added at run time)") << '\n';
  std::cout << "CSS-wide keyword: " << std::boolalpha << EKName::isInheritEtc(inherit) << '\n';

  EKNameTable::releaseSharedNameTable();
  return 0;
}
