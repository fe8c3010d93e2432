#include "app/channel_table.h"

#include <gtest/gtest.h>

namespace {

TEST(ChannelTable, DefaultsFillOnlyTheirFields) {
  ChannelTable table;
  table[1].Name = u"kept";
  table[9].Unit = u"kept too";
  table[0].Min = u"x";
  ApplyDefaults(table);
  EXPECT_EQ(table[0].Name, u"Time");
  EXPECT_EQ(table[0].Unit, u"sec");
  EXPECT_EQ(table[0].Enabled, 1);
  EXPECT_EQ(table[0].Min, u"x");
  EXPECT_EQ(table[1].Name, u"kept");
  EXPECT_EQ(table[1].Unit, u"Lambda");
  EXPECT_EQ(table[1].Min, u"0.6");
  EXPECT_EQ(table[1].Max, u"1.5");
  EXPECT_EQ(table[1].Color, 14418139);
  const int32_t colors[] = {14418139, 0, 16711680, 1432319, 8426159, 15775686, 16744448, 65280};
  const char16_t* units[] = {u"Lambda", u"RPM", u"kPa", u"degC", u"%", u"Volt", u"Volt", u"AFR"};
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(table[k].Color, colors[k - 1]) << k;
    EXPECT_EQ(table[k].Unit, units[k - 1]) << k;
    EXPECT_EQ(table[k].Enabled, 1) << k;
  }
  EXPECT_EQ(table[9].Unit, u"kept too");
  EXPECT_EQ(table[9].Enabled, 0);
  EXPECT_EQ(table[9].Color, 0);
  EXPECT_TRUE(table[1].Label.empty());
}

TEST(ChannelTable, HeaderNamesAndLabels) {
  ChannelTable table;
  ApplyDefaults(table);
  TakeHeaderNames(table, u"\"Time\",\" Engine speed \",\"O2-Sensor 1\",\"x\",", 4);
  EXPECT_EQ(table[1].Name, u" Engine speed ");
  EXPECT_EQ(table[1].Label, u"_Engine_speed_");
  EXPECT_EQ(table[2].Label, u"O2Sensor_1");
  EXPECT_EQ(table[3].Name, u"x\",");  // only quotes at the very ends go
  EXPECT_EQ(table[0].Name, u"Time");
  EXPECT_TRUE(table[0].Label.empty());
  EXPECT_TRUE(table[4].Name.empty());
}

TEST(ChannelTable, DeriveLabelsFollowsTheCurrentNames) {
  ChannelTable table;
  ApplyDefaults(table);
  table[1].Name = u"Air Temp";
  table[2].Name = u"Out of range";
  DeriveLabels(table, 2);
  EXPECT_EQ(table[0].Label, u"Time");
  EXPECT_EQ(table[1].Label, u"Air_Temp");
  EXPECT_TRUE(table[2].Label.empty());
  DeriveLabels(table, 42);  // never beyond the table
  EXPECT_EQ(table[9].Label, u"");
  EXPECT_EQ(DeriveLabel(u"NoChange"), u"NoChange");
}

}  // namespace
