#include "ekcommon/resources/EKZipArchive.h"

#include "ekcommon/core/EKError.h"
#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/resources/EKMemStream.h"

#include "ekcommon/resources/internal/EKUtf8.h"

#include <ctime>
#include <fstream>
#include <minizip/zip.h>
#include <vector>

namespace EKCommonNS {

namespace {
constexpr size_t COPY_CHUNK = 64 * 1024;
constexpr int MEMORY_LEVEL = 8;
constexpr uLong FLAG_UTF8_NAME = 0x800;
// "Made by" Unix (3), format version 2.0, so that readers apply the Unix file attributes.
constexpr uLong VERSION_MADE_BY = 3 << 8 | 20;
constexpr uLong REGULAR_FILE_0644 = 0100644ul << 16;

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80)
      return false;
  return true;
}

zip_fileinfo fileInfoNow() {
  zip_fileinfo info = {};
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
  localtime_r(&now, &local);
  info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
  info.external_fa = REGULAR_FILE_0644;
  return info;
}
} // namespace

EKZipArchive::~EKZipArchive() { abandon(); }

void EKZipArchive::abandon() {
  if (m_zip)
    zipClose(static_cast<zipFile>(m_zip), nullptr);
  m_zip = nullptr;
  m_out = nullptr;
  try {
    m_tempFile.remove();
  } catch (...) {
    // Only reachable from the destructor's path, which cannot report.
  }
}

int EKZipArchive::open(std::ostream& out) {
  if (m_zip)
    return -1;
  try {
    m_tempFile.setFileName(UnicodeString(), UnicodeString(u"ekoox"), UnicodeString(u".zip"));
  } catch (...) {
    return -1;
  }
  m_zip = zipOpen64(toUtf8(m_tempFile.getFileName()).c_str(), APPEND_STATUS_CREATE);
  if (!m_zip) {
    abandon();
    return -1;
  }
  m_out = &out;
  return 0;
}

int EKZipArchive::append(std::istream& in, const UnicodeString& name) {
  if (!m_zip || name.isEmpty())
    return -1;
  const std::string narrow = toUtf8(name);
  const zip_fileinfo info = fileInfoNow();
  zipFile zip = static_cast<zipFile>(m_zip);
  if (zipOpenNewFileInZip4_64(zip, narrow.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, m_level, 0,
                              -MAX_WBITS, MEMORY_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, VERSION_MADE_BY,
                              isAscii(narrow) ? 0 : FLAG_UTF8_NAME, 0) != ZIP_OK)
    return -1;
  std::vector<char> buffer(COPY_CHUNK);
  bool ok = true;
  while (ok) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got > 0)
      ok = zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) == ZIP_OK;
    if (got < static_cast<std::streamsize>(buffer.size()))
      break;
  }
  if (in.bad())
    ok = false;
  return zipCloseFileInZip(zip) == ZIP_OK && ok ? 0 : -1;
}

int EKZipArchive::append(EKDocument* doc, const UnicodeString& name, EKNode* node) {
  if (!doc || !m_zip)
    return -1;
  EKMemStream saved;
  try {
    doc->save(saved, node, UNICODE_STRING_SIMPLE("UTF-8"));
  } catch (const EKError&) {
    return -1;
  }
  saved.begin();
  return append(saved, name);
}

int EKZipArchive::close() {
  if (!m_zip)
    return -1;
  const bool closed = zipClose(static_cast<zipFile>(m_zip), nullptr) == ZIP_OK;
  m_zip = nullptr;
  bool copied = false;
  if (closed) {
    std::ifstream file(toUtf8(m_tempFile.getFileName()), std::ios::binary);
    copied = file && (*m_out << file.rdbuf()) && m_out->flush();
  }
  abandon();
  return copied ? 0 : -1;
}

} // namespace EKCommonNS
