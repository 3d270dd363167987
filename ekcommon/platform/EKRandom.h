// Random bytes from the operating system, for identifiers such as UUIDs. Platform layer: the
// rest of the library reaches the kernel's generator only through here.
#pragma once

#include <cstddef>

namespace EKCommonNS {
namespace EKPlatform {

// Fills length bytes from getrandom(), or /dev/urandom where that system call is missing.
// Returns false, with the buffer filled from a weaker source (clock, process id, a counter
// and addresses, mixed), only when neither is usable: the bytes are then still unique with
// high probability but not unpredictable.
bool fillRandom(void* buffer, size_t length);

} // namespace EKPlatform
} // namespace EKCommonNS
