#include "ekcommon/platform/EKFileSystem.h"

#include <string>
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

} // namespace EKPlatform
} // namespace EKCommonNS
