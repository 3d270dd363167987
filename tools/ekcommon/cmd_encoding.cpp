// ekcommon encoding: the standard (IANA) and canonical spelling of encoding names, or with
// --detect the encoding the library guesses for each file.
#include "Tool.h"

#include <ekcommon/resources/EKICUIStream.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

// Prints "FILE<tab>ENCODING" for each file ('-': standard input, buffered so that it can be
// rewound); the encoding is empty when none is recognised.
int detectEncodings(const std::vector<std::string>& files) {
  if (files.empty())
    return usageError("encoding", "no file given");
  int status = EXIT_OK;
  for (const std::string& name : files) {
    if (name == "-") {
      EKMemStream in(std::cin);
      std::cout << name << '\t' << EKICUIStream::detectEncoding(&in) << '\n';
      continue;
    }
    std::ifstream file(name, std::ios::binary);
    // A directory opens but cannot be read; peek finds that out.
    if (!file || (file.peek(), file.bad())) {
      const int error = errno;
      std::cout.flush();
      std::cerr << "ekcommon encoding: " << name << ": " << std::strerror(error) << '\n';
      status = EXIT_INPUT_ERROR;
      continue;
    }
    std::cout << name << '\t' << EKICUIStream::detectEncoding(&file) << '\n';
  }
  return status;
}

} // namespace

int runEncoding(const std::vector<std::string>& args) {
  bool detect = false;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--detect") {
      detect = true;
    } else if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else {
      rest.push_back(args[i]);
    }
  }
  std::vector<std::string> operands;
  if (!splitOperands("encoding", rest, operands))
    return EXIT_USAGE;
  if (detect)
    return detectEncodings(operands);
  if (operands.empty())
    return usageError("encoding", "no encoding name given");
  for (const std::string& name : operands) {
    const UnicodeString text = fromUtf8(name);
    std::cout << name << '\t' << toUtf8(EKUtil::getStandardEncoding(text)) << '\t'
              << toUtf8(EKUtil::getCanonicalEncoding(text)) << '\n';
  }
  return EXIT_OK;
}

} // namespace EKTool
