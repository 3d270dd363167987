#include "ekcommon/platform/EKModule.h"

#include <dlfcn.h>
#include <link.h>

namespace EKCommonNS {
namespace EKPlatform {

void* loadModule(const char* utf8Path) { return utf8Path ? dlopen(utf8Path, RTLD_NOW | RTLD_LOCAL) : nullptr; }

void* findSymbol(void* module, const char* name) { return module && name ? dlsym(module, name) : nullptr; }

void freeModule(void* module) {
  if (module)
    dlclose(module);
}

std::string loadedModuleDirectory(const char* name) {
  if (!name || !*name)
    return std::string();
  struct Search {
    std::string suffix;
    std::string path;
  } search{std::string("/") + name, std::string()};
  // Every loaded object is visited; the first whose path ends with "/name" is taken.
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) -> int {
        Search& s = *static_cast<Search*>(data);
        const std::string path = info->dlpi_name ? info->dlpi_name : "";
        if (path.size() >= s.suffix.size() && path.compare(path.size() - s.suffix.size(), s.suffix.size(), s.suffix) == 0) {
          s.path = path;
          return 1;
        }
        return 0;
      },
      &search);
  const size_t slash = search.path.rfind('/');
  return slash == std::string::npos ? std::string() : search.path.substr(0, slash + 1);
}

} // namespace EKPlatform
} // namespace EKCommonNS
