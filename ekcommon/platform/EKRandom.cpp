#include "ekcommon/platform/EKRandom.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace EKCommonNS {
namespace EKPlatform {

namespace {

bool fillFromGetrandom(unsigned char* out, size_t length) {
  while (length) {
    const ssize_t n = getrandom(out, length, 0);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    out += n;
    length -= size_t(n);
  }
  return true;
}

bool fillFromDevice(unsigned char* out, size_t length) {
  int fd;
  do
    fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0)
    return false;
  while (length) {
    const ssize_t n = read(fd, out, length);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    out += n;
    length -= size_t(n);
  }
  close(fd);
  return length == 0;
}

// SplitMix64 over the time, the process id, a process-wide counter and a stack address: distinct
// for every call within a process and, through the time and pid, across processes.
void fillFromMix(unsigned char* out, size_t length) {
  static std::atomic<uint64_t> s_counter{0};
  const uint64_t now =
      uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  uint64_t state = now ^ (uint64_t(getpid()) << 32) ^ uint64_t(reinterpret_cast<uintptr_t>(&now)) ^
                   (s_counter.fetch_add(1) * 0xd1b54a32d192ed03ULL);
  while (length) {
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    const size_t take = length < 8 ? length : 8;
    std::memcpy(out, &z, take);
    out += take;
    length -= take;
  }
}

} // namespace

bool fillRandom(void* buffer, size_t length) {
  unsigned char* out = static_cast<unsigned char*>(buffer);
  if (fillFromGetrandom(out, length) || fillFromDevice(out, length))
    return true;
  fillFromMix(out, length);
  return false;
}

} // namespace EKPlatform
} // namespace EKCommonNS
