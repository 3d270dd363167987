// ekcommon gzip: compresses standard input or a file to gzip on standard output, or with -d
// decompresses it (data that is not gzip comes through unchanged).
#include "Tool.h"

#include <fstream>
#include <iostream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

// Copies everything from in to out; false when out failed.
bool copy(std::istream& in, std::ostream& out) {
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    if (!out.write(buffer, in.gcount()))
      return false;
  return true;
}

} // namespace

int runGzip(const std::vector<std::string>& args) {
  bool decompress = false;
  std::vector<std::string> operands;
  std::vector<std::string> rest;
  for (const std::string& arg : args) {
    if (arg == "-d" || arg == "--decompress")
      decompress = true;
    else
      rest.push_back(arg);
  }
  if (!splitOperands("gzip", rest, operands))
    return EXIT_USAGE;
  if (operands.size() > 1)
    return usageError("gzip", "at most one FILE");
  std::ifstream file;
  std::istream* in = &std::cin;
  if (!operands.empty() && operands[0] != "-") {
    file.open(operands[0], std::ios::binary);
    if (!file) {
      std::cerr << "ekcommon gzip: cannot open " << operands[0] << "\n";
      return EXIT_INPUT_ERROR;
    }
    in = &file;
  }
  bool written;
  if (decompress) {
    EKGzipIStream gzip(*in);
    written = copy(gzip, std::cout);
  } else {
    EKGzipOStream gzip(std::cout);
    written = copy(*in, gzip);
  }
  if (!written || !std::cout.flush()) {
    std::cerr << "ekcommon gzip: cannot write the output\n";
    return EXIT_INPUT_ERROR;
  }
  return EXIT_OK;
}

} // namespace EKTool
