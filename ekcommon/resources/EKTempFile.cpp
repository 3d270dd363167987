#include "ekcommon/resources/EKTempFile.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/crypto/EKUUID.h"
#include "ekcommon/platform/EKTempPlatform.h"
#include "ekcommon/resources/internal/EKUtf8.h"
#include "ekcommon/text/EKUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace EKCommonNS {

namespace {

constexpr int MAX_CREATE_ATTEMPTS = 100;
constexpr int MAX_REMOVE_ATTEMPTS = 10;
constexpr unsigned REMOVE_RETRY_MS = 1000;

UnicodeString systemText(int error) { return EKError::getLastErrorMessage(static_cast<unsigned long>(error), nullptr); }

// "PID-" and the UUID's four 32-bit words (little-endian, as the UUID is stored), in hex.
UnicodeString uniqueStem() {
  unsigned char bytes[16];
  EKUUID().getBytes(bytes);
  uint32_t words[4];
  for (int i = 0; i < 4; ++i)
    words[i] = static_cast<uint32_t>(bytes[4 * i]) | static_cast<uint32_t>(bytes[4 * i + 1]) << 8 |
               static_cast<uint32_t>(bytes[4 * i + 2]) << 16 | static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
  char text[48];
  std::snprintf(text, sizeof text, "%03x-%08x%08x%08x%08x", static_cast<unsigned>(EKPlatform::processId()),
                words[0], words[1], words[2], words[3]);
  return UnicodeString(text, -1, US_INV);
}

bool isPlainFileName(const UnicodeString& name) {
  return !name.isEmpty() && name.indexOf(u'/') < 0 && name.indexOf(u'\0') < 0 && name != u"." && name != u"..";
}

} // namespace

EKTempFile::EKTempFile(const UnicodeString& directory, const UnicodeString& prefix,
                       const UnicodeString& extension, bool create)
    : m_fileName(getTempFileEx(directory, prefix, extension, create)) {}

EKTempFile::EKTempFile(const char* directory, const char* prefix, const char* extension, bool create)
    : EKTempFile(UnicodeString::fromUTF8(directory ? directory : ""), UnicodeString::fromUTF8(prefix ? prefix : ""),
                 UnicodeString::fromUTF8(extension ? extension : ""), create) {}

EKTempFile::~EKTempFile() {
  try {
    remove();
  } catch (...) {
    // A destructor cannot report; the file stays behind only when it could not be deleted.
  }
}

const UnicodeString& EKTempFile::tempDirectory() {
  EKMutex guard(s_tempFileLock);
  if (s_tempDirectory.isEmpty())
    s_tempDirectory = UnicodeString::fromUTF8(EKPlatform::tempDirectory());
  return s_tempDirectory;
}

EKCStr EKTempFile::getTempDirectory() { return tempDirectory(); }

EKCStr EKTempFile::getTempFileEx(const UnicodeString& directory, const UnicodeString& prefix,
                                 const UnicodeString& extension, bool create) {
  EKMutex guard(s_tempFileLock);
  const UnicodeString& dir = directory.isEmpty() ? tempDirectory() : directory;
  for (int attempt = 0;;) {
    UnicodeString name(dir);
    name.append(prefix).append(uniqueStem()).append(extension);
    if (!create)
      return name;
    const std::string path = toUtf8(name);
    const int error = EKPlatform::createExclusiveFile(path.c_str());
    if (error == 0)
      return name;
    if (error == EEXIST)
      continue;
    if (!removeTempFile(path.c_str()))
      throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE,
                       UnicodeString(name).append(u" (cannot remove)\n").append(systemText(error)));
    if (++attempt >= MAX_CREATE_ATTEMPTS)
      throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE,
                       UnicodeString(name).append(u" (cannot create)\n").append(systemText(error)));
  }
}

bool EKTempFile::removeTempFile(const UnicodeString& path) { return removeTempFile(toUtf8(path).c_str()); }

bool EKTempFile::removeTempFile(const char* utf8Path) {
  if (!utf8Path || !*utf8Path)
    return true;
  for (int attempt = 0; attempt < MAX_REMOVE_ATTEMPTS; ++attempt) {
    if (attempt > 0)
      EKPlatform::sleepMilliseconds(REMOVE_RETRY_MS);
    const int error = EKPlatform::lockAndRemoveFile(utf8Path);
    if (error == 0 || error == ENOENT)
      return true;
  }
  return false;
}

EKCStr EKTempFile::releaseFileName() {
  EKCStr name(m_fileName);
  m_fileName.remove();
  m_uuidDirectory.remove();
  return name;
}

void EKTempFile::setFileName(const UnicodeString& fileName) {
  remove();
  m_fileName = fileName;
}

void EKTempFile::setFileName(const char* utf8FileName) {
  setFileName(UnicodeString::fromUTF8(utf8FileName ? utf8FileName : ""));
}

void EKTempFile::setFileName(const UnicodeString& directory, const UnicodeString& prefix,
                             const UnicodeString& extension) {
  remove();
  m_fileName = getTempFile(directory, prefix, extension);
}

void EKTempFile::setFileName(const char* directory, const char* prefix, const char* extension) {
  setFileName(UnicodeString::fromUTF8(directory ? directory : ""), UnicodeString::fromUTF8(prefix ? prefix : ""),
              UnicodeString::fromUTF8(extension ? extension : ""));
}

void EKTempFile::makeUUIDDirectory() {
  UnicodeString dir(tempDirectory());
  dir.append(EKUUID().toString(false));
  const int error = EKPlatform::makePrivateDirectory(toUtf8(dir).c_str());
  if (error != 0)
    throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE, UnicodeString(dir).append(u" (cannot create)\n").append(systemText(error)));
  m_uuidDirectory = dir;
}

EKCStr EKTempFile::getTempFileInUUIDDirectory(const UnicodeString& name) {
  if (!isPlainFileName(name))
    throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE, UnicodeString(name).append(u" (not a file name)"));
  remove();
  makeUUIDDirectory();
  UnicodeString path(m_uuidDirectory);
  path.append(u'/').append(name);
  const int error = EKPlatform::createExclusiveFile(toUtf8(path).c_str());
  if (error != 0) {
    remove();
    throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE, UnicodeString(path).append(u" (cannot create)\n").append(systemText(error)));
  }
  m_fileName = path;
  return path;
}

void EKTempFile::setFileNameInUUIDDirectory(const UnicodeString& name) {
  if (!isPlainFileName(name))
    throwCommonError(EKERR_CANNOT_CREATE_TEMP_FILE, UnicodeString(name).append(u" (not a file name)"));
  if (!m_fileName.isEmpty()) {
    if (!removeTempFile(m_fileName))
      throwCommonError(EKERR_CANNOT_REMOVE_TEMP_FILE, m_fileName);
    m_fileName.remove();
  }
  if (m_uuidDirectory.isEmpty())
    makeUUIDDirectory();
  m_fileName = UnicodeString(m_uuidDirectory).append(u'/').append(name);
}

void EKTempFile::remove() {
  if (!m_fileName.isEmpty()) {
    if (!removeTempFile(m_fileName))
      throwCommonError(EKERR_CANNOT_REMOVE_TEMP_FILE, m_fileName);
    m_fileName.remove();
  }
  if (!m_uuidDirectory.isEmpty()) {
    EKPlatform::removeDirectory(toUtf8(m_uuidDirectory).c_str());
    m_uuidDirectory.remove();
  }
}

bool EKTempFile::inflate(const unsigned char* data, unsigned length) {
  if (m_fileName.isEmpty())
    return false;
  std::ofstream out(toUtf8(m_fileName), std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  const bool complete = EKUtil::inflate(out, data, length);
  out.close();
  return complete && !out.fail();
}

} // namespace EKCommonNS
