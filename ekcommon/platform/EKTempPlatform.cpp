#include "ekcommon/platform/EKTempPlatform.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace EKCommonNS {
namespace EKPlatform {

std::string tempDirectory() {
  std::string dir;
  struct stat info;
  const char* env = std::getenv("TMPDIR");
  if (env && *env && stat(env, &info) == 0 && S_ISDIR(info.st_mode))
    dir = env;
  else
    dir = "/tmp";
  if (dir.back() != '/')
    dir += '/';
  return dir;
}

int processId() { return static_cast<int>(getpid()); }

int createExclusiveFile(const char* utf8Path) {
  const int fd = open(utf8Path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0)
    return errno;
  close(fd);
  return 0;
}

int makePrivateDirectory(const char* utf8Path) { return mkdir(utf8Path, 0700) == 0 ? 0 : errno; }

int removeDirectory(const char* utf8Path) { return rmdir(utf8Path) == 0 ? 0 : errno; }

int lockAndRemoveFile(const char* utf8Path) {
  const int fd = open(utf8Path, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0)
    return errno;
  struct flock range = {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = 0;
  range.l_len = 1;
  int result = 0;
  if (fcntl(fd, F_SETLKW, &range) != 0) {
    result = errno;
  } else {
    range.l_type = F_UNLCK;
    fcntl(fd, F_SETLK, &range);
  }
  close(fd);
  if (result == 0 && unlink(utf8Path) != 0)
    result = errno;
  return result;
}

void sleepMilliseconds(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace EKPlatform
} // namespace EKCommonNS
