// Recognising and opening gzip-compressed resources.
#include "ekcommon/resources/EKUri.h"

#include "ekcommon/resources/EKGzipIStream.h"

namespace EKCommonNS {

bool EKUri::isGzip(std::istream& in) {
  try {
    in.clear();
    if (!in.seekg(0))
      return false;
    unsigned char magic[2] = {0, 0};
    in.read(reinterpret_cast<char*>(magic), 2);
    const bool gzip = in.gcount() == 2 && magic[0] == 0x1F && magic[1] == 0x8B;
    in.clear();
    in.seekg(0);
    return gzip;
  } catch (...) {
    return false;
  }
}

std::istream* EKUri::getGzipStream(std::istream& in) {
  in.clear();
  in.seekg(0);
  return new EKGzipIStream(in);
}

} // namespace EKCommonNS
