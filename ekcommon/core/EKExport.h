// Export control for libekcommon: the library is built with hidden visibility and only what is
// marked EKCOMMON_API is part of its binary interface.
#pragma once

#define EKCOMMON_API __attribute__((visibility("default")))
