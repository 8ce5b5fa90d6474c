// Field objects: data sizes, typed values and their texts, day counts.
#include <gtest/gtest.h>

#include "dataset/Field.h"
#include "dataset/FieldDefs.h"

namespace {

TEST(Fields, DayCountsFollowTheCalendarFromYearOne) {
  EXPECT_EQ(TDateField::DayCountOf(QDate(1, 1, 1)), 1);
  EXPECT_EQ(TDateField::DayCountOf(QDate(1899, 12, 30)), 693594);
  EXPECT_EQ(TDateField::DateOfDayCount(693594), QDate(1899, 12, 30));
  EXPECT_EQ(TDateField::DayCountOf(QDate(2024, 2, 29)) - TDateField::DayCountOf(QDate(2024, 2, 28)),
            1);
  EXPECT_FALSE(TDateField::DateOfDayCount(0).isValid());
}

TEST(Fields, KindsHaveTheirDataSizes) {
  TFieldDef s{"S", ftString, 7, false, 1};
  EXPECT_EQ(CreateFieldOfDef(s)->DataSize(), 8);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"A", ftSmallint, 0, false, 2})->DataSize(), 2);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"B", ftInteger, 0, false, 3})->DataSize(), 4);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"C", ftBoolean, 0, false, 4})->DataSize(), 2);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"D", ftFloat, 0, false, 5})->DataSize(), 8);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"E", ftDate, 0, false, 6})->DataSize(), 4);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"F", ftMemo, 0, false, 7})->DataSize(), 0);
  EXPECT_EQ(CreateFieldOfDef(TFieldDef{"G", ftUnknown, 0, false, 8}), nullptr);
  EXPECT_EQ(CreateFieldOfDef(s)->FieldNo(), 1);
}

TEST(Fields, FieldWithoutDatasetHasNoValue) {
  TFloatField f("X");
  EXPECT_TRUE(f.IsNull());
  EXPECT_EQ(f.AsBytes(), QByteArray());
  TMemoField m("M");
  EXPECT_EQ(m.AsBytes(), QByteArray("(memo)"));
}

}  // namespace
