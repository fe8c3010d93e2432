#include "settings/channel_settings.h"

#include "convert/path_ops.h"
#include "convert/text_rules.h"

namespace {

std::u16string GroupName(int32_t k) { return u"Channel" + IntText(k); }

}  // namespace

void LoadChannelSettings(SettingsStore& store, std::u16string_view path, ChannelTable& table,
                         int32_t columnCount) {
  OpenSettings(store, path);
  for (int32_t k = 1; k < UsedSlots(columnCount); ++k) {
    Channel& c = table[k];
    SelectGroup(store, GroupName(k));
    c.Enabled = ReadSettingInt(store, u"Enabled", c.Enabled);
    c.Name = ReadSettingText(store, u"Name", c.Name);
    c.Unit = ReadSettingText(store, u"Unit", c.Unit);
    c.Color = ReadSettingInt(store, u"Color", c.Color);
    c.Min = ReadSettingText(store, u"Min", c.Min);
    c.Max = ReadSettingText(store, u"Max", c.Max);
  }
}

bool SaveChannelSettings(SettingsStore& store, const ChannelTable& table, int32_t columnCount) {
  for (int32_t k = 1; k < UsedSlots(columnCount); ++k) {
    const Channel& c = table[k];
    SelectGroup(store, GroupName(k));
    WriteSettingInt(store, u"Enabled", c.Enabled);
    WriteSettingText(store, u"Name", c.Name);
    WriteSettingText(store, u"Unit", c.Unit);
    WriteSettingInt(store, u"Color", c.Color);
    WriteSettingText(store, u"Min", c.Min);
    WriteSettingText(store, u"Max", c.Max);
  }
  return CloseSettings(store);
}

std::u16string SettingsPath(std::u16string_view programPath) {
  return DirectoryOf(programPath) + StemOf(programPath) + u".ini";
}
