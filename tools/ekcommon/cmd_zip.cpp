// ekcommon zip: lists, prints and creates ZIP archives. Entry names are only ever printed, never
// used as paths, so an archive cannot make the tool write outside the paths the user names.
#include "Tool.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sys/stat.h>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "zip";

// The archive's entries, or null with a message when it cannot be read as one.
std::unique_ptr<EKZipFile> openArchive(const std::string& path) {
  auto zip = std::make_unique<EKZipFile>();
  if (!zip->open(path.c_str())) {
    std::cerr << "ekcommon zip: cannot open " << path << "\n";
    return nullptr;
  }
  if (zip->getFileEntryCount() == 0 && !EKZipFile::isZipFile(path.c_str())) {
    std::cerr << "ekcommon zip: " << path << " is not a ZIP archive\n";
    return nullptr;
  }
  return zip;
}

std::string methodName(EKZipFileEntry::CMETHOD method) {
  if (method == EKZipFileEntry::CMETHOD_STORED)
    return "stored";
  if (method == EKZipFileEntry::CMETHOD_DEFLATED)
    return "deflated";
  return "method-" + std::to_string(static_cast<unsigned>(method));
}

int list(const std::vector<std::string>& operands) {
  if (operands.size() != 1)
    return usageError(COMMAND, "list takes one ARCHIVE");
  std::unique_ptr<EKZipFile> zip = openArchive(operands[0]);
  if (!zip)
    return EXIT_INPUT_ERROR;
  std::printf("%-9s %10s %10s %-8s %s\n", "method", "compressed", "size", "crc32", "name");
  for (unsigned i = 0; i < zip->getFileEntryCount(); ++i) {
    EKPtr<EKZipFileEntry> entry = zip->getFileEntry(i);
    std::printf("%-9s %10u %10u %08x %s\n", methodName(entry->getCompressionMethod()).c_str(),
                entry->getCompressedSize(), entry->getUncompressedSize(), entry->getCRC(),
                toUtf8(entry->getName()).c_str());
  }
  return EXIT_OK;
}

int cat(const std::vector<std::string>& operands) {
  if (operands.size() != 2)
    return usageError(COMMAND, "cat takes ARCHIVE and ENTRY");
  std::unique_ptr<EKZipFile> zip = openArchive(operands[0]);
  if (!zip)
    return EXIT_INPUT_ERROR;
  EKPtr<EKZipFileEntry> entry = zip->getFileEntry(fromUtf8(operands[1]));
  if (!entry) {
    std::cerr << "ekcommon zip: " << operands[0] << " has no entry '" << operands[1] << "'\n";
    return EXIT_INPUT_ERROR;
  }
  std::istream* in = entry->getUncompressedStream(false);
  std::cout << in->rdbuf();
  std::cout.clear(std::cout.rdstate() & ~std::ios::failbit); // an empty entry copies nothing
  return std::cout.flush() ? EXIT_OK : EXIT_INPUT_ERROR;
}

// Entry names are the operands as given, without leading slashes, as archives store them.
std::string entryName(const std::string& path) {
  const size_t start = path.find_first_not_of('/');
  return start == std::string::npos ? std::string() : path.substr(start);
}

int create(const std::vector<std::string>& operands) {
  if (operands.size() < 2)
    return usageError(COMMAND, "create takes OUT and at least one FILE");
  EKZipArchive archive;
  std::ofstream out; // opened only once every file is in, so a failure leaves no partial OUT
  if (archive.open(out) != 0) {
    std::cerr << "ekcommon zip: cannot create a temporary file\n";
    return EXIT_INPUT_ERROR;
  }
  for (size_t i = 1; i < operands.size(); ++i) {
    struct stat info;
    std::ifstream file(operands[i], std::ios::binary);
    if (stat(operands[i].c_str(), &info) != 0 || !S_ISREG(info.st_mode) || !file) {
      std::cerr << "ekcommon zip: cannot read " << operands[i] << " (not a readable regular file)\n";
      return EXIT_INPUT_ERROR;
    }
    if (archive.append(file, fromUtf8(entryName(operands[i]))) != 0) {
      std::cerr << "ekcommon zip: cannot add " << operands[i] << "\n";
      return EXIT_INPUT_ERROR;
    }
  }
  out.open(operands[0], std::ios::binary | std::ios::trunc);
  if (!out || archive.close() != 0) {
    std::cerr << "ekcommon zip: cannot write " << operands[0] << "\n";
    return EXIT_INPUT_ERROR;
  }
  return EXIT_OK;
}

} // namespace

int runZip(const std::vector<std::string>& args) {
  std::vector<std::string> operands;
  if (!splitOperands(COMMAND, args, operands))
    return EXIT_USAGE;
  if (operands.empty())
    return usageError(COMMAND, "missing action (list, cat or create)");
  const std::string action = operands.front();
  operands.erase(operands.begin());
  if (action == "list")
    return list(operands);
  if (action == "cat")
    return cat(operands);
  if (action == "create")
    return create(operands);
  return usageError(COMMAND, "unknown action '" + action + "'");
}

} // namespace EKTool
