// ekcommon fetch: the bytes of anything the library can open by URI (local files, jar: entries,
// data: URIs, http and https) to standard output, for checking what a document would load.
#include "Tool.h"

#include <iostream>
#include <memory>

namespace EKTool {

using namespace EKCommonNS;

int runFetch(const std::vector<std::string>& args) {
  const char* const command = "fetch";
  bool info = false;
  EKUri::ContentInfo request;
  EKUri base;
  std::vector<std::string> operands;
  bool optionsDone = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--referrer" || arg == "--base";
    if (optionsDone || arg == "-" || arg.empty() || arg[0] != '-') {
      operands.push_back(arg);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--info") {
      info = true;
    } else if (arg == "--insecure") {
      request.flags |= EKUri::ContentInfo::FLAG_IGNORE_CERTIFICATE_ERRORS;
    } else if (takesValue && i + 1 < args.size()) {
      const UnicodeString value = fromUtf8(args[++i]);
      if (arg == "--referrer")
        request.referrer = value;
      else
        base = EKUri(value);
    } else {
      return usageError(command, takesValue ? arg + " needs a value" : "unknown option '" + arg + "'");
    }
  }
  if (operands.size() != 1)
    return usageError(command, "takes one URI");
  request.flags |= EKUri::ContentInfo::FLAG_UPDATE_URI;
  EKUri uri = base.isEmpty() ? EKUri(fromUtf8(operands[0])) : EKUri(base, fromUtf8(operands[0]));
  UnicodeString error;
  std::unique_ptr<std::istream> in(uri.getIStream(&request, &error));
  if (!in) {
    // The library's message already names the address.
    std::cerr << "ekcommon fetch: " << (error.isEmpty() ? "cannot open " + toUtf8(uri.toString()) : toUtf8(error)) << "\n";
    return EXIT_INPUT_ERROR;
  }
  if (info) {
    std::cerr << "address: " << toUtf8(uri.toString()) << "\n"
              << "content-type: " << toUtf8(request.contentType) << "\n"
              << "charset: " << toUtf8(request.charset) << "\n"
              << "language: " << toUtf8(request.language) << "\n"
              << "content-length: " << request.contentLength << "\n";
  }
  char buffer[1 << 16];
  while (in->read(buffer, sizeof buffer) || in->gcount() > 0)
    if (!std::cout.write(buffer, in->gcount()))
      break;
  if (!std::cout.flush()) {
    std::cerr << "ekcommon fetch: cannot write the output\n";
    return EXIT_INPUT_ERROR;
  }
  return EXIT_OK;
}

} // namespace EKTool
