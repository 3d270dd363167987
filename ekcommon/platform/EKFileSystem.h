// File-system queries of the platform layer, on UTF-8 paths.
#pragma once

namespace EKCommonNS {
namespace EKPlatform {

// True when the path names an existing file or directory.
bool pathExists(const char* utf8Path);
// True when the path lies on a network file system (NFS, SMB/CIFS, AFS, Coda, 9P, FUSE). The
// nearest existing ancestor is examined when the path itself does not exist.
bool isNetworkPath(const char* utf8Path);

} // namespace EKPlatform
} // namespace EKCommonNS
