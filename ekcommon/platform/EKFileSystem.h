// File-system services of the platform layer, on UTF-8 paths: queries, and the replacement of a
// file by a complete new one, so that a failed write never leaves a partial file in its place.
#pragma once

#include <cstddef>
#include <string>

namespace EKCommonNS {
namespace EKPlatform {

// True when the path names an existing file or directory.
bool pathExists(const char* utf8Path);
// True when the path lies on a network file system (NFS, SMB/CIFS, AFS, Coda, 9P, FUSE). The
// nearest existing ancestor is examined when the path itself does not exist.
bool isNetworkPath(const char* utf8Path);

// Creates a new, empty file in the directory of `utf8Target` under a name no other file has
// (exclusive creation), open for writing, with the permissions of the target when it exists.
// Sets tempPath and fd; returns 0, or the errno value.
int createFileBeside(const char* utf8Target, std::string& tempPath, int& fd);
// Writes all `size` bytes, resuming after interruptions and partial writes. Returns 0, or the
// errno value.
int writeFully(int fd, const char* data, size_t size);
// Makes the data durable, closes fd and renames the file over `utf8Target` in one step. Returns
// 0, or the errno value; fd is closed either way and the file stays at tempPath on failure.
int replaceWithFile(int fd, const char* tempPath, const char* utf8Target);
// Closes fd (when not negative) and removes the file.
void discardFile(int fd, const char* tempPath);

} // namespace EKPlatform
} // namespace EKCommonNS
