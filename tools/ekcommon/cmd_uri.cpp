// ekcommon uri: how the library normalises and resolves references, and what it derives from them.
#include "Tool.h"

#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

void printField(const char* label, const UnicodeString& value) {
  std::cout << "  " << label << ": " << toUtf8(value) << '\n';
}

} // namespace

int runUri(const std::vector<std::string>& args) {
  std::vector<std::string> refs;
  const std::string* base = nullptr;
  const std::string* relativeTo = nullptr;
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && (arg == "--base" || arg == "--relative-to")) {
      if (i + 1 == args.size())
        return usageError("uri", arg + " needs a value");
      (arg == "--base" ? base : relativeTo) = &args[++i];
    } else if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      return usageError("uri", "unknown option '" + arg + "'");
    } else {
      refs.push_back(arg);
    }
  }
  if (refs.empty())
    return usageError("uri", "no reference given");

  const EKUri baseUri = base ? EKUri(fromUtf8(*base)) : EKUri();
  for (const std::string& ref : refs) {
    const EKUri uri = base ? EKUri(baseUri, fromUtf8(ref)) : EKUri(fromUtf8(ref));
    std::cout << ref << '\n';
    printField("uri", uri.toString());
    printField("scheme", uri.getScheme().toString());
    printField("local path", uri.getLocalPath(true));
    printField("file name", uri.getFileName());
    printField("extension", uri.getExtension());
    if (relativeTo)
      printField("relative", uri.getRelativeUri(EKUri(fromUtf8(*relativeTo)).toString()));
  }
  return EXIT_OK;
}

} // namespace EKTool
