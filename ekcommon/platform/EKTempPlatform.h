// Operating-system services behind temporary files: the temporary directory, exclusive creation,
// private directories, and removal that first waits until no other process holds the file.
#pragma once

#include <string>

namespace EKCommonNS {
namespace EKPlatform {

// $TMPDIR when it names a directory, else "/tmp"; always ends with '/'.
std::string tempDirectory();
int processId();
// Creates a new, empty file that must not exist yet (O_CREAT | O_EXCL, mode 0600), so that a
// name can never be taken over by another process. Returns 0, or the errno value.
int createExclusiveFile(const char* utf8Path);
// Creates a directory only its owner may enter (mode 0700). Returns 0, or the errno value.
int makePrivateDirectory(const char* utf8Path);
// Removes an empty directory. Returns 0, or the errno value.
int removeDirectory(const char* utf8Path);
// Opens the file for reading and writing, waits for a lock on its first byte (so no other
// process is still writing it), releases it and unlinks the file. Returns 0, or the errno value.
int lockAndRemoveFile(const char* utf8Path);
void sleepMilliseconds(unsigned milliseconds);

} // namespace EKPlatform
} // namespace EKCommonNS
