// ekcommon digest: message digests of files in the format of sha256sum and its siblings, so that
// their --check mode accepts the output.
#include "Tool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

namespace EKTool {

using namespace EKCommonNS;

namespace {

// Hashes a stream with one digest class; false with errno set when reading fails.
template <class Ctx>
bool digestStream(FILE* in, std::string& hex) {
  Ctx ctx;
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[1 << 16]);
  size_t n;
  while ((n = std::fread(buffer.get(), 1, 1 << 16, in)) > 0)
    ctx.Update(buffer.get(), static_cast<unsigned>(n));
  if (std::ferror(in))
    return false;
  unsigned char digest[Ctx::DIGEST_LENGTH];
  ctx.Final(digest);
  static const char DIGITS[] = "0123456789abcdef";
  hex.clear();
  for (unsigned char byte : digest) {
    hex += DIGITS[byte >> 4];
    hex += DIGITS[byte & 15];
  }
  return true;
}

struct Algorithm {
  const char* option;
  bool (*digest)(FILE*, std::string&);
};

const Algorithm ALGORITHMS[] = {
    {"--md5", digestStream<MD5_CTX>},       {"--sha1", digestStream<SHA1_CTX>},
    {"--sha256", digestStream<SHA256_CTX>}, {"--sha384", digestStream<SHA384_CTX>},
    {"--sha512", digestStream<SHA512_CTX>},
};

// Writes "<hex>  <name>" as the checksum tools do: a name holding a backslash, a newline or a
// carriage return is escaped and the line starts with a backslash.
void printLine(const std::string& hex, const std::string& name) {
  if (name.find_first_of("\\\n\r") == std::string::npos) {
    std::cout << hex << "  " << name << '\n';
    return;
  }
  std::string escaped;
  for (char c : name) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\r')
      escaped += "\\r";
    else
      escaped += c;
  }
  std::cout << '\\' << hex << "  " << escaped << '\n';
}

} // namespace

int runDigest(const std::vector<std::string>& args) {
  const Algorithm* algorithm = nullptr;
  std::vector<std::string> files;
  bool optionsDone = false;
  for (const std::string& arg : args) {
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      const Algorithm* match = nullptr;
      for (const Algorithm& a : ALGORITHMS)
        if (arg == a.option)
          match = &a;
      if (!match)
        return usageError("digest", "unknown option '" + arg + "'");
      if (algorithm && algorithm != match)
        return usageError("digest", "give only one algorithm");
      algorithm = match;
    } else {
      files.push_back(arg);
    }
  }
  if (!algorithm)
    return usageError("digest", "no algorithm given (--md5, --sha1, --sha256, --sha384, --sha512)");
  if (files.empty())
    files.push_back("-");

  int status = EXIT_OK;
  std::string hex;
  for (const std::string& name : files) {
    const bool isStdin = name == "-";
    FILE* in = isStdin ? stdin : std::fopen(name.c_str(), "rb");
    bool ok = in && algorithm->digest(in, hex);
    const int error = errno;
    if (in && !isStdin)
      std::fclose(in);
    if (ok) {
      printLine(hex, name);
    } else {
      std::cout.flush();
      std::cerr << "ekcommon digest: " << name << ": " << std::strerror(error) << '\n';
      status = EXIT_INPUT_ERROR;
    }
  }
  return status;
}

} // namespace EKTool
