#include "ekcommon/xml/internal/EKXmlEntityMaps.h"

namespace EKCommonNS {

void EKXmlEntityMaps::reset() {
  parameter.clear();
  if (general.size() == 5 && general.count(EKN_lt) && general.count(EKN_gt) && general.count(EKN_amp) &&
      general.count(EKN_apos) && general.count(EKN_quot))
    return;
  general.clear();
  // lt and amp stay character references so that expanding them never starts markup.
  const struct {
    EKNameEnum name;
    const char16_t* text;
  } predefined[] = {{EKN_lt, u"&#60;"}, {EKN_gt, u">"}, {EKN_amp, u"&#38;"}, {EKN_apos, u"'"}, {EKN_quot, u"\""}};
  for (const auto& entry : predefined) {
    Entity entity;
    entity.name = entry.name;
    entity.text = UnicodeString(entry.text);
    general.emplace(entity.name, entity);
  }
}

bool EKXmlEntityMaps::declare(const Entity& entity) {
  if (isDeclared(entity.name))
    return false;
  (entity.parameter ? parameter : general).emplace(entity.name, entity);
  return true;
}

} // namespace EKCommonNS
