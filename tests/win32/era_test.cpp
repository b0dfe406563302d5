// The era table computed in code against the system's own Japanese calendar.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/win32/win32_era.h"

namespace tam {
namespace {

struct Day {
  int y, m, d;
};
const Day kDays[] = {{1912, 7, 29}, {1912, 7, 30}, {1926, 12, 24}, {1926, 12, 25}, {1989, 1, 7},
                     {1989, 1, 8},  {2019, 4, 30}, {2019, 5, 1},   {2024, 2, 29},  {1999, 12, 31}};

TEST(Era, TableMatchesTheSystemCalendar) {
  if (!Win32HasJapaneseCalendar()) GTEST_SKIP() << "the system's alternative calendar is not the Japanese one";
  for (const Day& day : kDays) {
    EraInfo mine, system;
    ASSERT_TRUE(JapaneseEra(day.y, day.m, day.d, mine));
    ASSERT_TRUE(Win32Era(day.y, day.m, day.d, system)) << day.y << "-" << day.m << "-" << day.d;
    EXPECT_EQ(mine.name, system.name) << day.y << "-" << day.m << "-" << day.d;
    EXPECT_EQ(mine.year, system.year) << day.y << "-" << day.m << "-" << day.d;
    EXPECT_EQ(mine.fullYear, system.fullYear) << day.y << "-" << day.m << "-" << day.d;
  }
}

TEST(Era, WithoutTheSystemCalendarTheTableAnswers) {
  if (Win32HasJapaneseCalendar()) GTEST_SKIP() << "the system has the Japanese calendar";
  for (const Day& day : kDays) {
    EraInfo table, answer;
    ASSERT_TRUE(JapaneseEra(day.y, day.m, day.d, table));
    ASSERT_TRUE(Win32Era(day.y, day.m, day.d, answer));
    EXPECT_EQ(table.name, answer.name);
    EXPECT_EQ(table.year, answer.year);
  }
  EraInfo none;
  EXPECT_FALSE(Win32Era(1867, 12, 31, none));
}

}  // namespace
}  // namespace tam
