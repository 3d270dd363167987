// Fragment parameters of link targets: generic key=value fragments, PDF open parameters,
// xlink:href, internal destinations, spreadsheet links and destination types.
#include "ekcommon/values/EKParser.h"

#include "ekcommon/resources/EKUri.h"

#include <vector>

namespace EKCommonNS {

namespace {

UnicodeString trimmed(UnicodeString s) {
  return s.trim();
}

UnicodeString lowered(UnicodeString s) {
  return s.toLower();
}

// The fields of a fragment split at '&' (quoted parts may hold '&'); an empty field ends them.
std::vector<UnicodeString> fragmentFields(const UnicodeString& fragment) {
  std::vector<UnicodeString> fields;
  EKTokenizer tokenizer(fragment, EKTokenizer::GENERIC);
  for (UnicodeString field; !(field = tokenizer.nextSeparatedValue('&', false)).isEmpty();)
    fields.push_back(field);
  return fields;
}

std::vector<UnicodeString> commaFields(const UnicodeString& text) {
  std::vector<UnicodeString> fields;
  int32_t start = 0;
  for (int32_t comma; (comma = text.indexOf(u',', start)) >= 0; start = comma + 1)
    fields.push_back(trimmed(UnicodeString(text, start, comma - start)));
  fields.push_back(trimmed(UnicodeString(text, start)));
  return fields;
}

EKValue number(const UnicodeString& text) {
  return EKParser::parse(trimmed(text), EKTokenizer::GENERIC);
}

// Stores the numeric fields under the given names, as far as both go.
void storeNumbers(EKValue& compound, const std::vector<UnicodeString>& fields, size_t from,
                  std::initializer_list<EKNameEnum> names) {
  size_t i = from;
  for (EKNameEnum name : names) {
    if (i >= fields.size())
      return;
    const EKValue v = number(fields[i++]);
    if (v.isNumeric())
      compound.setNamedItem(name, v);
  }
}

// A page value: N or N-M. False for a page below 1.
bool readPages(EKValue& compound, const UnicodeString& value) {
  const UnicodeString text = trimmed(value);
  const int32_t dash = text.indexOf(u'-', 1);
  const EKValue first = number(dash < 0 ? text : UnicodeString(text, 0, dash));
  if (!first.isNumeric())
    return false;
  const int page = first.getIntegerValue();
  if (page < 1)
    return false;
  int last = page;
  if (dash >= 0) {
    const EKValue second = number(UnicodeString(text, dash + 1));
    if (second.isNumeric() && second.getIntegerValue() > last)
      last = second.getIntegerValue();
  }
  compound.setNamedItem(EKN_page, EKValue(page));
  compound.setNamedItem(EKN_last_page, EKValue(last));
  return true;
}

// Reads open parameters from a fragment into `compound`; false when a page is below 1.
bool readOpenParameters(const UnicodeString& fragment, EKValue& compound) {
  for (const UnicodeString& field : fragmentFields(fragment)) {
    const int32_t eq = field.indexOf(u'=');
    if (eq < 0)
      continue;
    const EKName key(lowered(trimmed(UnicodeString(field, 0, eq))));
    const UnicodeString value(field, eq + 1);
    switch (static_cast<EKNameEnum>(key)) {
    case EKN_page:
      if (!readPages(compound, value))
        return false;
      break;
    case EKN_javascript:
      compound.setNamedItem(key, EKValue(trimmed(value), UNIT_NONE));
      return true;
    case EKN_named:
    case EKN_nameddest:
      compound.setNamedItem(EKN_nameddest, EKValue(EKName(EKParser::parse(trimmed(value), EKTokenizer::GENERIC).toString())));
      return true;
    case EKN_view: {
      const std::vector<UnicodeString> fields = commaFields(value);
      const EKName view(lowered(fields[0]));
      switch (static_cast<EKNameEnum>(view)) {
      case EKN_fit:
      case EKN_fitb:
        compound.setNamedItem(EKN_view, EKValue(view));
        break;
      case EKN_fith:
      case EKN_fitbh:
        compound.setNamedItem(EKN_view, EKValue(view));
        storeNumbers(compound, fields, 1, {EKN_top});
        break;
      case EKN_fitv:
      case EKN_fitbv:
        compound.setNamedItem(EKN_view, EKValue(view));
        storeNumbers(compound, fields, 1, {EKN_left});
        break;
      default:
        break;
      }
      break;
    }
    case EKN_viewrect:
      storeNumbers(compound, commaFields(value), 0, {EKN_left, EKN_top, EKN_width, EKN_height});
      break;
    case EKN_zoom:
      storeNumbers(compound, commaFields(value), 0, {EKN_zoom, EKN_left, EKN_top});
      break;
    default:
      if (!key.isEmpty())
        compound.setNamedItem(key, EKValue(trimmed(value), UNIT_NONE));
      break;
    }
  }
  return true;
}

bool hasNamedDestination(const EKValue& compound) {
  const EKValue dest = compound.getNamedItem(EKN_nameddest);
  return dest.isName() && !dest.getNameValue().isEmpty();
}

// Page 1 and view xyz unless the link names a destination.
void addDefaults(EKValue& compound) {
  if (hasNamedDestination(compound))
    return;
  if (compound.getNamedItem(EKN_page).isNull())
    compound.setNamedItem(EKN_page, EKValue(1));
  if (compound.getNamedItem(EKN_view).isNull())
    compound.setNamedItem(EKN_view, EKValue(EKName(EKN_xyz)));
}

// A fragment of key=value parameters, or else a destination name.
bool readDestination(const UnicodeString& fragment, EKValue& compound) {
  if (fragment.indexOf(u'=') >= 0)
    return readOpenParameters(fragment, compound);
  const UnicodeString name = trimmed(EKUri::unescape(fragment));
  if (!name.isEmpty())
    compound.setNamedItem(EKN_nameddest, EKValue(EKName(name)));
  return true;
}

EKValue compoundWithUri(const UnicodeString& uri) {
  EKValue compound;
  compound.makeCompound();
  compound.setNamedItem(EKN_uri, EKValue(uri, UNIT_URL));
  return compound;
}

} // namespace

EKValue EKParser::parseUriFragmentParameters(const UnicodeString& uri, bool lowerKeys) {
  const int32_t sharp = uri.indexOf(u'#');
  if (sharp < 0)
    return EKValue(uri, UNIT_NONE);
  EKValue compound;
  compound.makeCompound();
  if (sharp > 0)
    compound.setNamedItem(EKName(), EKValue(UnicodeString(uri, 0, sharp), UNIT_NONE));
  for (const UnicodeString& field : fragmentFields(UnicodeString(uri, sharp + 1))) {
    const int32_t eq = field.indexOf(u'=');
    if (eq < 0)
      continue;
    UnicodeString key = trimmed(EKUri::unescape(UnicodeString(field, 0, eq)));
    if (key.isEmpty())
      continue;
    if (lowerKeys)
      key.toLower();
    compound.setNamedItem(EKName(key), EKValue(trimmed(EKUri::unescape(UnicodeString(field, eq + 1))), UNIT_NONE));
  }
  return compound;
}

EKValue EKParser::parsePDFOpenParameters(const UnicodeString& uri, bool requireFragment) {
  const int32_t sharp = uri.indexOf(u'#');
  if (sharp < 0) {
    if (requireFragment)
      return EKValue();
    EKValue compound = compoundWithUri(uri);
    addDefaults(compound);
    return compound;
  }
  EKValue compound = compoundWithUri(UnicodeString(uri, 0, sharp));
  const bool read = readOpenParameters(UnicodeString(uri, sharp + 1), compound);
  if (requireFragment && (!read || compound.getNamedItem(EKN_page).isNull()))
    return EKValue();
  addDefaults(compound);
  return compound;
}

EKValue EKParser::parseXlinkHref(const UnicodeString& href) {
  const int32_t sharp = href.indexOf(u'#');
  EKValue compound = compoundWithUri(sharp < 0 ? href : UnicodeString(href, 0, sharp));
  if (sharp >= 0)
    readDestination(UnicodeString(href, sharp + 1), compound);
  addDefaults(compound);
  return compound;
}

EKValue EKParser::parseInternalDestination(const UnicodeString& text, int mode) {
  UnicodeString destination = trimmed(text);
  if (destination.startsWith(u"#"))
    destination.remove(0, 1);
  EKValue compound;
  compound.makeCompound();
  const EKValue page = mode == 1 ? number(destination) : EKValue();
  if (page.isInteger() && page.getIntegerValue() > 0) {
    compound.setNamedItem(EKN_page, page);
    compound.setNamedItem(EKN_last_page, page);
  } else if (!readDestination(destination, compound)) {
    return EKValue(text, UNIT_NONE);
  }
  addDefaults(compound);
  return compound;
}

EKValue EKParser::parseExcelOpenParameters(const UnicodeString& uri) {
  const int32_t sharp = uri.indexOf(u'#');
  EKValue compound;
  compound.makeCompound();
  compound.setNamedItem(EKName(), EKValue(sharp < 0 ? uri : UnicodeString(uri, 0, sharp), UNIT_NONE));
  if (sharp < 0)
    return compound;
  const UnicodeString fragment(uri, sharp + 1);
  if (fragment.indexOf(u'=') < 0) {
    const UnicodeString sheet = trimmed(EKUri::unescape(fragment));
    if (!sheet.isEmpty())
      compound.setNamedItem(EKN_sheet, EKValue(EKName(sheet)));
    return compound;
  }
  for (const UnicodeString& field : fragmentFields(fragment)) {
    const int32_t eq = field.indexOf(u'=');
    if (eq < 0)
      continue;
    const EKName key(lowered(trimmed(UnicodeString(field, 0, eq))));
    const UnicodeString value = trimmed(EKUri::unescape(UnicodeString(field, eq + 1)));
    if (key.isEmpty())
      continue;
    if (key == EKN_sheet || key == EKN_chart)
      compound.setNamedItem(key, EKValue(EKName(value)));
    else
      compound.setNamedItem(key, parse(value, EKTokenizer::GENERIC));
  }
  return compound;
}

EKValue EKParser::parseDestinationType(const UnicodeString& text) {
  std::vector<UnicodeString> fields;
  {
    const UnicodeString spaced = EKUtil::normalizeSpaces(text);
    int32_t start = 0;
    for (int32_t space; (space = spaced.indexOf(u' ', start)) >= 0; start = space + 1)
      fields.push_back(UnicodeString(spaced, start, space - start));
    if (start < spaced.length())
      fields.push_back(UnicodeString(spaced, start));
  }
  const EKValue unknown(text, UNIT_NONE);
  if (fields.empty())
    return unknown;
  const EKValue first = parse(lowered(fields[0]), EKTokenizer::GENERIC);
  EKValue compound;
  compound.makeCompound();
  if (first.isNumber() || first.isPercentage()) {
    if (first.getRealValue() <= 0)
      return unknown;
    compound.setNamedItem(EKName(), EKValue(EKName(EKN_xyz_top)));
    compound.setNamedItem(EKN_zoom, EKValue(first.getRealValue(), UNIT_NUMBER));
    return compound;
  }
  if (!first.isName())
    return unknown;
  const EKName type = first.getNameValue();
  compound.setNamedItem(EKName(), EKValue(type));
  switch (static_cast<EKNameEnum>(type)) {
  case EKN_xyz:
  case EKN_xyz_left:
  case EKN_xyz_left_top:
  case EKN_xyz_top:
    if (fields.size() > 1) {
      const EKValue zoom = parse(fields[1], EKTokenizer::GENERIC);
      if (zoom.isNumeric() && zoom.getRealValue() > 0)
        compound.setNamedItem(EKN_zoom, EKValue(zoom.getRealValue(), UNIT_NUMBER));
    }
    return compound;
  case EKN_fit:
  case EKN_fitb:
    return compound;
  case EKN_fith:
  case EKN_fitbh:
    storeNumbers(compound, fields, 1, {EKN_top});
    return compound;
  case EKN_fitv:
  case EKN_fitbv:
    storeNumbers(compound, fields, 1, {EKN_left});
    return compound;
  case EKN_fitr:
    storeNumbers(compound, fields, 1, {EKN_left, EKN_top, EKN_right, EKN_bottom});
    return compound;
  default:
    return unknown;
  }
}

} // namespace EKCommonNS
