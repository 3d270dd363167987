#include "ekcommon/xml/internal/EKXmlEntityMaps.h"

#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/text/EKChar.h"

#include <vector>

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

uint64_t EKXmlEntityMaps::getExpandedLength(Entity& root) {
  if (root.measured)
    return root.expandedLength;
  constexpr uint64_t SATURATED = uint64_t(1) << 50;
  auto add = [](uint64_t a, uint64_t b) { return a + b > SATURATED ? SATURATED : a + b; };
  struct Step {
    Entity* entity;
    int32_t pos;
    uint64_t total;
  };
  std::vector<Step> stack{{&root, 0, 0}};
  root.measuring = true;
  const EKNameTable* names = EKNameTable::getSharedNameTable();
  while (!stack.empty()) {
    Step& step = stack.back();
    const UnicodeString& text = step.entity->text;
    bool descended = false;
    while (step.pos < text.length()) {
      const int32_t amp = text.indexOf(u'&', step.pos);
      const int32_t semicolon = amp < 0 ? -1 : text.indexOf(u';', amp);
      if (semicolon < 0) {
        step.total = add(step.total, static_cast<uint64_t>(text.length() - step.pos));
        step.pos = text.length();
        break;
      }
      step.total = add(step.total, static_cast<uint64_t>(amp - step.pos));
      step.pos = semicolon + 1;
      if (text.charAt(amp + 1) == u'#') {
        step.total = add(step.total, 1);
        continue;
      }
      const auto it = general.find(EKName(names->lookupName(UnicodeString(text, amp + 1, semicolon - amp - 1))));
      if (it == general.end() || it->second.external || it->second.measuring)
        continue;
      Entity& child = it->second;
      if (child.measured) {
        step.total = add(step.total, child.expandedLength);
        continue;
      }
      child.measuring = true;
      stack.push_back({&child, 0, 0});
      descended = true;
      break;
    }
    if (descended)
      continue;
    const Step done = stack.back();
    stack.pop_back();
    done.entity->measuring = false;
    done.entity->measured = true;
    done.entity->expandedLength = done.total;
    if (!stack.empty())
      stack.back().total = add(stack.back().total, done.total);
  }
  return root.expandedLength;
}

EKXmlEntityMaps::Entity::Shape EKXmlEntityMaps::getShape(Entity& entity) {
  if (entity.shape != Entity::UNKNOWN)
    return entity.shape;
  const UnicodeString& text = entity.text;
  entity.shape = Entity::PLAIN;
  for (int32_t i = 0; i < text.length() && entity.shape == Entity::PLAIN; ++i) {
    const char16_t c = text.charAt(i);
    if (c == u'<' || c == u'&' || c == u']')
      entity.shape = Entity::MARKUP;
  }
  // "&#N;" or "&#xH;" naming a character that is valid in every XML version.
  if (entity.shape == Entity::MARKUP && text.length() >= 4 && text.startsWith(u"&#") && text.endsWith(u";")) {
    const bool hex = text.charAt(2) == u'x';
    uint32_t value = 0;
    int32_t i = hex ? 3 : 2;
    bool digits = i < text.length() - 1;
    for (; i < text.length() - 1 && digits && value <= 0x10FFFF; ++i) {
      const char16_t c = text.charAt(i);
      const int digit = c >= u'0' && c <= u'9'               ? c - u'0'
                        : hex && c >= u'a' && c <= u'f'      ? c - u'a' + 10
                        : hex && c >= u'A' && c <= u'F'      ? c - u'A' + 10
                                                             : -1;
      digits = digit >= 0;
      value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit < 0 ? 0 : digit);
    }
    if (digits && i == text.length() - 1 && EKChar::isValidChar(static_cast<int>(value))) {
      entity.shape = Entity::CHARACTER;
      entity.character = value;
    }
  }
  return entity.shape;
}

void EKXmlEntityMaps::forgetLengths() {
  for (auto& entry : general)
    entry.second.measured = false;
}

} // namespace EKCommonNS
