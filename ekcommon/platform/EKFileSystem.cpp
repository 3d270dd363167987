#include "ekcommon/platform/EKFileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace EKCommonNS {
namespace EKPlatform {

namespace {
// f_type magic numbers of the network file systems (linux/magic.h and the file systems' sources).
constexpr unsigned long NETWORK_MAGICS[] = {
    0x6969,     // NFS
    0x517B,     // SMB
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2
    0x5346414F, // AFS
    0x73757245, // Coda
    0x01021997, // 9P
    0x65735546, // FUSE
};
} // namespace

bool pathExists(const char* utf8Path) {
  return utf8Path && *utf8Path && access(utf8Path, F_OK) == 0;
}

bool isNetworkPath(const char* utf8Path) {
  if (!utf8Path || !*utf8Path)
    return false;
  std::string path(utf8Path);
  struct statfs info;
  while (statfs(path.c_str(), &info) != 0) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || path.size() <= 1)
      return false;
    path.resize(slash == 0 ? 1 : slash);
  }
  const unsigned long type = static_cast<unsigned long>(info.f_type) & 0xFFFFFFFFul;
  for (unsigned long magic : NETWORK_MAGICS)
    if (type == magic)
      return true;
  return false;
}

int createFileBeside(const char* utf8Target, std::string& tempPath, int& fd) {
  static std::atomic<unsigned> s_counter{0};
  const std::string target(utf8Target ? utf8Target : "");
  const size_t slash = target.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty())
    return EISDIR;
  struct stat info;
  const bool exists = stat(target.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode))
    return EISDIR;
  const bool keepMode = exists && S_ISREG(info.st_mode);
  // Hidden, and named after the target and this process, so that a leftover is recognisable.
  const std::string stem = dir + "." + base + "." + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = stem + std::to_string(s_counter.fetch_add(1)) + ".tmp";
    fd = open(tempPath.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (keepMode)
        fchmod(fd, info.st_mode & 07777);
      return 0;
    }
    if (errno != EEXIST)
      return errno;
  }
  return EEXIST;
}

int writeFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return 0;
}

int replaceWithFile(int fd, const char* tempPath, const char* utf8Target) {
  int result = fsync(fd) == 0 ? 0 : errno;
  if (close(fd) != 0 && result == 0)
    result = errno;
  if (result == 0 && std::rename(tempPath, utf8Target) != 0)
    result = errno;
  return result;
}

void discardFile(int fd, const char* tempPath) {
  if (fd >= 0)
    close(fd);
  unlink(tempPath);
}

} // namespace EKPlatform
} // namespace EKCommonNS
