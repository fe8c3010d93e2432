#include "app/channel_table.h"

#include <algorithm>

#include "convert/text_rules.h"

namespace {

struct DataDefault {
  const char16_t* unit;
  const char16_t* min;
  const char16_t* max;
  int32_t color;
};

// Slots 1 to 8; slot 9 has no defaults at all.
constexpr DataDefault kDataDefaults[] = {
    {u"Lambda", u"0.6", u"1.5", 0xDC00DB}, {u"RPM", u"0", u"10000", 0x000000},
    {u"kPa", u"-700", u"700", 0xFF0000},   {u"degC", u"200", u"1200", 0x15DAFF},
    {u"%", u"0", u"100", 0x8092AF},        {u"Volt", u"0", u"5", 0xF0B7C6},
    {u"Volt", u"0", u"5", 0xFF8000},       {u"AFR", u"10", u"20", 0x00FF00},
};

}  // namespace

int32_t UsedSlots(int32_t columnCount) { return std::clamp(columnCount, 0, kChannelSlots); }

void ApplyDefaults(ChannelTable& table) {
  table[0].Name = u"Time";
  table[0].Unit = u"sec";
  table[0].Enabled = 1;
  for (size_t k = 1; k <= std::size(kDataDefaults); ++k) {
    const DataDefault& d = kDataDefaults[k - 1];
    table[k].Unit = d.unit;
    table[k].Min = d.min;
    table[k].Max = d.max;
    table[k].Color = d.color;
    table[k].Enabled = 1;
  }
}

void TakeHeaderNames(ChannelTable& table, std::u16string_view logHeader, int32_t columnCount) {
  for (int32_t k = 1; k < UsedSlots(columnCount); ++k) {
    table[k].Name = TrimChar(FieldAt(logHeader, k + 1, u"\",\""), u'"');
    table[k].Label = DeriveLabel(table[k].Name);
  }
}

std::u16string DeriveLabel(std::u16string_view name) {
  return RemoveAll(ReplaceAll(name, u" ", u"_"), u"-");
}

void DeriveLabels(ChannelTable& table, int32_t columnCount) {
  for (int32_t s = 0; s < UsedSlots(columnCount); ++s) table[s].Label = DeriveLabel(table[s].Name);
}
