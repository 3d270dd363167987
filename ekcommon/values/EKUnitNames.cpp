// The unit keywords of EKUtil: declared with the text utilities, defined here beside the units.
#include "ekcommon/names/EKName.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/values/EKUnitType.h"

namespace EKCommonNS {

namespace {

struct UnitKeyword {
  EKUnitType unit;
  EKNameEnum name;
};

// Every unit with its keyword, in unit order; "vm" is an old spelling of vmin, accepted but
// never produced.
constexpr UnitKeyword UNIT_KEYWORDS[] = {
    {UNIT_PERCENT, EKN_n177}, // "%"
    {UNIT_EM, EKN_em},       {UNIT_EX, EKN_ex},       {UNIT_PX, EKN_px},
    {UNIT_CM, EKN_cm},       {UNIT_MM, EKN_mm},       {UNIT_IN, EKN_in},
    {UNIT_PT, EKN_pt},       {UNIT_PC, EKN_pc},       {UNIT_JPT, EKN_jpt},
    {UNIT_Q, EKN_q},         {UNIT_DEG, EKN_deg},     {UNIT_RAD, EKN_rad},
    {UNIT_GRAD, EKN_grad},   {UNIT_MS, EKN_ms},       {UNIT_S, EKN_s},
    {UNIT_HZ, EKN_Hz},       {UNIT_KHZ, EKN_kHz},     {UNIT_DD, EKN_dd},
    {UNIT_CC, EKN_cc},       {UNIT_DPI, EKN_dpi},     {UNIT_TWIP, EKN_twip},
    {UNIT_REM, EKN_rem},     {UNIT_VW, EKN_vw},       {UNIT_VH, EKN_vh},
    {UNIT_VMIN, EKN_vmin},   {UNIT_VMAX, EKN_vmax},   {UNIT_PVW, EKN_pvw},
    {UNIT_PVH, EKN_pvh},     {UNIT_PVMIN, EKN_pvmin}, {UNIT_PVMAX, EKN_pvmax},
    {UNIT_CH, EKN_ch},       {UNIT_WCH, EKN_wch},     {UNIT_FR, EKN_fr},
    {UNIT_GR, EKN_gr},       {UNIT_LH, EKN_lh},       {UNIT_RLH, EKN_rlh},
    {UNIT_LINES, EKN_lines}, {UNIT_DPCM, EKN_dpcm},   {UNIT_DPPX, EKN_dppx},
    {UNIT_EMU, EKN_emu},     {UNIT_PI, EKN_pi},       {UNIT_DCEM, EKN_dcem},
    {UNIT_CAP, EKN_cap},     {UNIT_IC, EKN_ic},       {UNIT_PERCENT2, EKN_n177},
    {UNIT_VMIN, EKN_vm},
};

// The type keywords of attribute types, accepted only on request.
constexpr UnitKeyword TYPE_KEYWORDS[] = {
    {UNIT_NUMBER, EKN_number}, {UNIT_NUMBER, EKN_integer}, {UNIT_PT, EKN_length},
    {UNIT_DEG, EKN_angle},     {UNIT_S, EKN_time},         {UNIT_HZ, EKN_frequency},
    {UNIT_STRING, EKN_string}, {UNIT_URL, EKN_url},        {UNIT_NAME, EKN_name},
    {UNIT_COLOR, EKN_color},
};

} // namespace

EKName EKUtil::toUnitName(EKUnitType unit) {
  for (const UnitKeyword& keyword : UNIT_KEYWORDS)
    if (keyword.unit == unit)
      return keyword.name;
  return EKName();
}

EKUnitType EKUtil::toUnitType(EKName name, bool typeKeywords) {
  if (name.isEmpty())
    return UNIT_NONE;
  for (const UnitKeyword& keyword : UNIT_KEYWORDS)
    if (keyword.name == name)
      return keyword.unit;
  if (typeKeywords)
    for (const UnitKeyword& keyword : TYPE_KEYWORDS)
      if (keyword.name == name)
        return keyword.unit;
  return UNIT_NONE;
}

} // namespace EKCommonNS
