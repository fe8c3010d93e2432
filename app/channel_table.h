// The per-column settings every stage reads or fills: slot 0 is the log's
// time column, slot k the log's column k + 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct Channel {
  int32_t Enabled = 0;
  int32_t Color = 0;  // 0x00BBGGRR, red in the low byte
  std::u16string Name;
  std::u16string Label;  // derived from Name; never shown, never saved
  std::u16string Unit;
  std::u16string Min;
  std::u16string Max;
};

inline constexpr int32_t kChannelSlots = 10;
using ChannelTable = std::array<Channel, kChannelSlots>;

// The slots a log of columnCount columns uses: never more than the table holds.
int32_t UsedSlots(int32_t columnCount);

void ApplyDefaults(ChannelTable& table);
void TakeHeaderNames(ChannelTable& table, std::u16string_view logHeader, int32_t columnCount);
std::u16string DeriveLabel(std::u16string_view name);
void DeriveLabels(ChannelTable& table, int32_t columnCount);
