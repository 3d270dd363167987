// Loading shared libraries and locating files next to them.
#include "ekcommon/resources/EKUri.h"

#include "ekcommon/core/EKMutex.h"
#include "ekcommon/platform/EKModule.h"
#include "ekcommon/resources/internal/EKUtf8.h"

#include <cstdlib>

namespace EKCommonNS {

namespace {
constexpr size_t ENVIRONMENT_MAX = 1024;

bool endsWith(const std::string& s, const char* suffix) {
  const std::string end(suffix);
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}
} // namespace

void* EKUri::loadLibrary() const { return EKPlatform::loadModule(toUtf8(getLocalPath()).c_str()); }

void* EKUri::getProcAddress(void* module, const char* name) { return EKPlatform::findSymbol(module, name); }

void EKUri::freeLibrary(void* module) { EKPlatform::freeModule(module); }

EKUri EKUri::getModuleUri(const char* moduleName, const char* fileName, const char* environmentVariable) {
  const std::string file = fileName ? fileName : "";
  std::string directory;
  if (environmentVariable && *environmentVariable) {
    std::string value;
    {
      EKMutex guard;
      const char* text = std::getenv(environmentVariable);
      value = text ? std::string(text).substr(0, ENVIRONMENT_MAX) : std::string();
    }
    const EKUri named(UnicodeString::fromUTF8(value));
    if (!value.empty() && named.isFile() && named.isFileExists())
      directory = toUtf8(named.getLocalPath());
  }
  if (directory.empty() && moduleName && *moduleName)
    directory = EKPlatform::loadedModuleDirectory(moduleName);
  if (directory.empty()) {
    if (endsWith(file, ".dll") || endsWith(file, ".so"))
      return EKUri(UnicodeString::fromUTF8(file));
    directory = "./";
  }
  if (file.empty()) {
    if (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\'))
      directory.pop_back();
    return EKUri(UnicodeString::fromUTF8(directory), URISTR_PATH);
  }
  if (directory.back() != '/' && directory.back() != '\\')
    directory += '/';
  return EKUri(EKUri(UnicodeString::fromUTF8(directory), URISTR_PATH), UnicodeString::fromUTF8(file));
}

} // namespace EKCommonNS
