// Shared libraries: loading them, looking up their symbols, and finding the directory a loaded
// library was loaded from.
#pragma once

#include <string>

namespace EKCommonNS {
namespace EKPlatform {

// dlopen with immediate binding and local symbols; null when it cannot be loaded.
void* loadModule(const char* utf8Path);
void* findSymbol(void* module, const char* name);
void freeModule(void* module);
// The directory (with a trailing '/') of the loaded library whose file is `name` or whose soname
// or path ends with it; empty when no loaded library matches.
std::string loadedModuleDirectory(const char* name);

} // namespace EKPlatform
} // namespace EKCommonNS
