// ekcommon encoding: the standard (IANA) and canonical spelling of encoding names.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

int runEncoding(const std::vector<std::string>& args) {
  std::vector<std::string> names;
  if (!splitOperands("encoding", args, names))
    return EXIT_USAGE;
  if (names.empty())
    return usageError("encoding", "no encoding name given");
  for (const std::string& name : names) {
    const UnicodeString text = fromUtf8(name);
    std::cout << name << '\t' << toUtf8(EKUtil::getStandardEncoding(text)) << '\t'
              << toUtf8(EKUtil::getCanonicalEncoding(text)) << '\n';
  }
  return EXIT_OK;
}

} // namespace EKTool
