// The expression language: types, precedence, operators, functions, the
// exact setting, Korean text, and the answers for bad expressions.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"

using namespace dbftest;

namespace {

class DbfExpressions : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir_.file("e.dbf"),
              dbfBytes({{"NAME", 'C', 10},
                        {"QTY", 'N', 6, 2},
                        {"BORN", 'D', 8},
                        {"OK", 'L', 1},
                        {"HAN", 'C', 12}},
                       {{"Kim", "12.5", "20240229", "T", cp949("가나다")}, {"", "", "", "", ""}},
                       {false, true}));
    table_ = std::make_unique<OpenTable>(dir_.file("e.dbf"), 3, "EX");
    ASSERT_TRUE(table_->ok());
    dbe_Go(1);
  }
  void TearDown() override {
    table_.reset();
    dbe_SetExact(0);
    dbe_SetDateFormat(0);
    dbe_SetCentury(0);
    dbe_SetEpoch(1950);
  }
  static std::string s(const std::string& e) { return str(dbe_EvalString(e.c_str())); }
  static double n(const std::string& e) { return dbe_EvalNumeric(e.c_str()); }
  static bool l(const std::string& e) { return dbe_EvalLogical(e.c_str()) != 0; }
  TempDir dir_;
  std::unique_ptr<OpenTable> table_;
};

}  // namespace

TEST_F(DbfExpressions, TypeCodes) {
  EXPECT_EQ(dbe_EvalTest("NAME"), DBE_TYPE_CHARACTER);
  EXPECT_EQ(dbe_EvalTest("QTY * 2"), DBE_TYPE_NUMERIC);
  EXPECT_EQ(dbe_EvalTest("OK .AND. QTY > 1"), DBE_TYPE_LOGICAL);
  EXPECT_EQ(dbe_EvalTest("BORN + 1"), DBE_TYPE_DATE);
  EXPECT_EQ(dbe_EvalTest("BORN - BORN"), DBE_TYPE_NUMERIC);
  EXPECT_EQ(dbe_EvalTest("ex->NAME"), DBE_TYPE_CHARACTER);
  EXPECT_EQ(dbe_EvalTest("QTY >"), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest("(QTY"), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest("'open"), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest(""), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest("   "), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest(nullptr), DBE_TYPE_SYNTAX_ERROR);
  EXPECT_EQ(dbe_EvalTest("NOSUCH = 1"), DBE_TYPE_UNKNOWN_NAME);
  EXPECT_EQ(dbe_EvalTest("OTHER->NAME"), DBE_TYPE_UNKNOWN_NAME);
  EXPECT_EQ(dbe_EvalTest("FOO(NAME)"), DBE_TYPE_UNKNOWN_NAME);
  EXPECT_EQ(dbe_EvalTest("NAME + 1"), DBE_TYPE_MISMATCH);
  EXPECT_EQ(dbe_EvalTest("UPPER(QTY)"), DBE_TYPE_MISMATCH);
  EXPECT_EQ(dbe_EvalTest("SUBSTR(NAME)"), DBE_TYPE_MISMATCH);
  EXPECT_EQ(dbe_EvalTest("IIF(OK, 1, 'a')"), DBE_TYPE_MISMATCH);
  EXPECT_EQ(dbe_QueryTest("OK"), 1);
  EXPECT_EQ(dbe_QueryTest("NAME"), 0);
  EXPECT_EQ(dbe_QueryTest("NAME ="), 0);
  EXPECT_EQ(dbe_QueryTest(""), 0);
  // Evaluating a bad expression answers empty values and records why.
  dbe_ClearError();
  EXPECT_EQ(s("NAME +"), "");
  EXPECT_EQ(dbe_Error(), DBE_E_SYNTAX);
  EXPECT_EQ(n("NAME"), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_TYPE);
  EXPECT_FALSE(l("QTY"));
  EXPECT_EQ(dbe_Query("NAME"), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_TYPE);
  EXPECT_EQ(dbe_Query("NOSUCH > 1"), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_NO_FIELD);
}

TEST_F(DbfExpressions, ArithmeticAndPrecedence) {
  EXPECT_DOUBLE_EQ(n("1 + 2 * 3"), 7);
  EXPECT_DOUBLE_EQ(n("(1 + 2) * 3"), 9);
  EXPECT_DOUBLE_EQ(n("10 - 4 - 3"), 3);
  EXPECT_DOUBLE_EQ(n("2 ** 3 ** 2"), 512);
  EXPECT_DOUBLE_EQ(n("-2 ^ 2"), -4);
  EXPECT_DOUBLE_EQ(n("7 % 4"), 3);
  EXPECT_DOUBLE_EQ(n("1 / 4"), 0.25);
  EXPECT_DOUBLE_EQ(n("1 / 0"), 0) << "division by zero answers 0";
  EXPECT_DOUBLE_EQ(n("QTY * 2"), 25);
  EXPECT_DOUBLE_EQ(n(".5 + 1.25"), 1.75);
  EXPECT_TRUE(l("1 < 2 .AND. 2 < 3 .OR. .F."));
  EXPECT_TRUE(l(".T. .OR. .F. .AND. .F.")) << ".AND. binds tighter than .OR.";
  EXPECT_FALSE(l(".NOT. .T. .OR. .F."));
  EXPECT_TRUE(l("!(1 > 2)"));
  EXPECT_TRUE(l("1 != 2 .AND. 1 # 2 .AND. 1 <> 2 .AND. 2 >= 2 .AND. 2 <= 2"));
  EXPECT_TRUE(l(".y. .and. !.n."));
  EXPECT_EQ(s("'ab' + \"cd\" + [ef]"), "abcdef");
  EXPECT_EQ(s("'ab  ' - 'cd'"), "abcd  ");
  EXPECT_EQ(s("QTY"), " 12.50") << "a numeric field keeps its width";
  EXPECT_EQ(s("OK"), "T");
  EXPECT_EQ(s("BORN"), "20240229");
}

TEST_F(DbfExpressions, CharacterComparisonAndExact) {
  // Exact off: the left side begins with the right one.
  EXPECT_TRUE(l("NAME = 'Ki'"));
  EXPECT_TRUE(l("NAME = 'Kim'"));
  EXPECT_TRUE(l("NAME = ''"));
  EXPECT_FALSE(l("'Ki' = 'Kim'"));
  EXPECT_FALSE(l("NAME == 'Kim'")) << "== compares every byte (NAME has blanks)";
  EXPECT_TRUE(l("TRIM(NAME) == 'Kim'"));
  EXPECT_TRUE(l("NAME <> 'Lee'"));
  EXPECT_EQ(dbe_SetExact(-1), 0);
  EXPECT_FALSE(l("NAME = 'Ki'"));
  EXPECT_TRUE(l("NAME = 'Kim'")) << "trailing blanks do not count";
  EXPECT_TRUE(l("NAME <> 'Ki'"));
  EXPECT_NE(dbe_SetExact(0), 0);
  EXPECT_TRUE(l("'abc' < 'abd' .AND. 'ab' < 'abc' .AND. 'b' > 'abc'"));
  EXPECT_TRUE(l("'Kim' $ NAME .AND. 'im' $ NAME .AND. !('x' $ NAME)"));
  EXPECT_FALSE(l("'' $ NAME"));
}

TEST_F(DbfExpressions, KoreanText) {
  // Case mapping and search never touch the trail byte of a double-byte
  // character: "가" is B0 A1, and trail bytes may look like ASCII letters.
  const std::string ga = cp949("가");
  EXPECT_TRUE(l(cp949("'나' $ HAN")));
  EXPECT_EQ(s("UPPER(HAN)"), padded(cp949("가나다"), 12));
  const std::string kwak = cp949("곽");   // 0xB0 0xFB
  const std::string tricky = "\x8C\x61";  // a CP949 character with trail byte 'a'
  writeFile(dir_.file("k.dbf"), dbfBytes({{"T", 'C', 4}}, {{tricky + "b"}}));
  OpenTable k(dir_.file("k.dbf"));
  dbe_GoTop();
  EXPECT_EQ(s("UPPER(T)"), tricky + "B ");
  EXPECT_EQ(s("LOWER('AB')"), "ab");
  EXPECT_FALSE(l("'a' $ T")) << "a trail byte is not a character";
  EXPECT_TRUE(l("'b' $ T"));
  EXPECT_EQ(n("AT('b', T)"), 3);
  EXPECT_EQ(n("AT('a', T)"), 0);
  (void)ga;
  (void)kwak;
}

TEST_F(DbfExpressions, Functions) {
  EXPECT_EQ(s("UPPER('abc') + LOWER('DeF')"), "ABCdef");
  EXPECT_EQ(s("TRIM(NAME)"), "Kim");
  EXPECT_EQ(s("RTRIM('  a  ')"), "  a");
  EXPECT_EQ(s("LTRIM('  a  ')"), "a  ");
  EXPECT_EQ(s("ALLTRIM('  a  ')"), "a");
  EXPECT_EQ(s("SUBSTR('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(s("SUBSTR('abcdef', 4)"), "def");
  EXPECT_EQ(s("SUBSTR('abcdef', 9, 2)"), "");
  EXPECT_EQ(s("SUBSTR('abcdef', -2)"), "ef");
  EXPECT_EQ(s("SUBS('abcdef', 2, 1)"), "b") << "four-letter abbreviation";
  EXPECT_EQ(s("LEFT('abc', 2) + RIGHT('abc', 2)"), "abbc");
  EXPECT_EQ(s("LEFT('abc', 9) + RIGHT('abc', -1)"), "abc");
  EXPECT_DOUBLE_EQ(n("LEN(NAME)"), 10);
  EXPECT_DOUBLE_EQ(n("LEN(TRIM(NAME))"), 3);
  EXPECT_DOUBLE_EQ(n("AT('c', 'abcabc')"), 3);
  EXPECT_EQ(s("STR(12)"), "        12");
  EXPECT_EQ(s("STR(12.5)"), "        12.5") << "a literal keeps its decimals";
  EXPECT_EQ(s("STR(12.5, 4)"), "  13");
  EXPECT_EQ(s("STR(12.5, 6, 2)"), " 12.50");
  EXPECT_EQ(s("STR(123456, 3)"), "***");
  EXPECT_EQ(s("STR(QTY, 8, 1)"), "    12.5");
  EXPECT_DOUBLE_EQ(n("VAL(' 42.5x')"), 42.5);
  EXPECT_DOUBLE_EQ(n("VAL('-3')"), -3);
  EXPECT_EQ(s("DTOS(BORN + 1)"), "20240301");
  EXPECT_EQ(s("DTOS(BORN - 60)"), "20231231");
  const std::string huge(400, '9');  // overflows to infinity; inf - inf is NaN
  EXPECT_EQ(s("DTOS(BORN + (" + huge + " - " + huge + "))"), "        ");
  EXPECT_EQ(s("DTOS({^9999-12-30} + 1)"), "99991231");
  EXPECT_EQ(s("DTOS({^0001-01-02} - 1)"), "00010101");
  EXPECT_DOUBLE_EQ(n("BORN - CTOD('01/01/24')"), 59);
  EXPECT_EQ(s("DTOC(BORN)"), "02/29/24");
  EXPECT_EQ(s("DTOS({^2023-12-31})"), "20231231");
  EXPECT_EQ(s("DTOS({12/31/49})"), "20491231") << "epoch 1950";
  EXPECT_EQ(s("DTOS({12/31/50})"), "19501231");
  EXPECT_EQ(s("DTOS(CTOD('02/30/24'))"), "        ") << "invalid date is empty";
  EXPECT_TRUE(l("DATE() > {^2020-01-01}"));
  EXPECT_DOUBLE_EQ(n("YEAR(BORN) * 10000 + MONTH(BORN) * 100 + DAY(BORN)"), 20240229);
  EXPECT_DOUBLE_EQ(n("RECNO()"), 1);
  EXPECT_FALSE(l("DELETED()"));
  EXPECT_EQ(s("IIF(OK, 'yes', 'no')"), "yes");
  EXPECT_DOUBLE_EQ(n("IIF(.F., 1, 2)"), 2);
  EXPECT_TRUE(l("EMPTY('  ') .AND. EMPTY(0) .AND. EMPTY(.F.) .AND. EMPTY({})"));
  EXPECT_FALSE(l("EMPTY(NAME)"));
  EXPECT_EQ(s("SPACE(3) + REPLICATE('ab', 2)"), "   abab");
  EXPECT_DOUBLE_EQ(n("ABS(-2) + INT(3.9) + ROUND(2.345, 2)"), 2 + 3 + 2.35);
  EXPECT_DOUBLE_EQ(n("MIN(3, 1) + MAX(3, 1)"), 4);
  EXPECT_EQ(s("DTOS(MAX(BORN, {^2000-01-01}))"), "20240229");
  EXPECT_EQ(s("UPPER(TRIM(NAME)) + STR(LEN(NAME), 3)"), "KIM 10");
  // Huge results are capped instead of exhausting memory.
  EXPECT_DOUBLE_EQ(n("LEN(SPACE(1000000000))"), 65535);
  EXPECT_LE(n("LEN(REPLICATE('abc', 999999999))"), 65535);
}

// ROUND and STR round the number as written in decimal, half away from
// zero; a binary product (x * 10^n) would miss both halves and digits.
TEST_F(DbfExpressions, RoundingWorksOnTheDecimalValue) {
  EXPECT_EQ(n("ROUND(1/3, 15)"), 0.333333333333333);
  EXPECT_EQ(n("ROUND(1.5, 15)"), 1.5);
  EXPECT_EQ(n("ROUND(1.005, 2)"), 1.01);
  EXPECT_EQ(n("ROUND(2.675, 2)"), 2.68);
  EXPECT_EQ(n("ROUND(2.5, 0)"), 3);
  EXPECT_EQ(n("ROUND(-2.5, 0)"), -3);
  EXPECT_EQ(n("ROUND(0.49999999999999994, 0)"), 0) << "just below a half";
  EXPECT_EQ(n("ROUND(1234.5, -2)"), 1200);
  EXPECT_EQ(n("ROUND(1250, -2)"), 1300);
  EXPECT_EQ(n("ROUND(999.96, 1)"), 1000);
  EXPECT_EQ(n("ROUND(123456789012345678, 2)"), 123456789012345678.0);
  EXPECT_EQ(n("ROUND(0.000001234, 20)"), 0.000001234) << "past the digits: unchanged";
  EXPECT_EQ(n("ROUND(1/3, 1000)"), 1.0 / 3) << "taken as 400";
  EXPECT_EQ(s("STR(0.1, 20, 18)"), "0.100000000000000000");
  EXPECT_EQ(s("STR(1/3, 20, 18)"), "0.333333333333333300");
  EXPECT_EQ(s("STR(2.345, 6, 2)"), "  2.35");
  EXPECT_EQ(s("STR(-2.345, 6, 2)"), " -2.35");
  EXPECT_EQ(s("STR(-0.001, 6, 2)"), "  0.00") << "no sign on zero";
  EXPECT_EQ(s("STR(1.5, 3)"), "  2");
  EXPECT_EQ(s("STR(0.1, 3, 9)"), "0.1") << "decimals up to the width less two";
  EXPECT_EQ(s("STR(10 ** 300 * 10 ** 300, 5)"), "*****") << "not finite";
  EXPECT_EQ(s("STR(10 ** 20, 22)"), " 100000000000000000000");
  EXPECT_EQ(s("STR(10 ** 20, 22)").size(), 22u);
}

// Dates past either end of the calendar are the empty date, however far.
TEST_F(DbfExpressions, DatesOutsideTheCalendarAreEmpty) {
  for (const char* days : {"3000000", "2147483647", "99999999", "10 ** 300"}) {
    EXPECT_EQ(s(std::string("DTOS({^2024-01-01} + (") + days + "))"), "        ") << days;
    EXPECT_EQ(s(std::string("DTOS({^2024-01-01} - (") + days + "))"), "        ") << days;
    EXPECT_TRUE(l(std::string("EMPTY({^2024-01-01} + (") + days + "))")) << days;
  }
  EXPECT_EQ(s("DTOS({^9999-12-31} + 1)"), "        ");
  EXPECT_EQ(s("DTOS({^0001-01-01} - 1)"), "        ");
  EXPECT_EQ(s("DTOS({^2024-01-01} + 2913173)"), "99991231") << "the last day still counts";
}

TEST_F(DbfExpressions, BlankAndDeletedRecords) {
  dbe_Go(2);
  EXPECT_TRUE(l("DELETED()"));
  EXPECT_TRUE(l("EMPTY(NAME) .AND. EMPTY(QTY) .AND. EMPTY(BORN) .AND. !OK"));
  dbe_GoBottom();
  dbe_Skip(1);  // end of file reads blank
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(l("EMPTY(NAME)"));
  EXPECT_DOUBLE_EQ(n("RECNO()"), 3);
}

TEST_F(DbfExpressions, DateSettings) {
  dbe_SetCentury(-1);
  EXPECT_EQ(s("DTOC(BORN)"), "02/29/2024");
  EXPECT_EQ(dbe_SetDateFormat(4), 0);  // German
  EXPECT_EQ(s("DTOC(BORN)"), "29.02.2024");
  EXPECT_EQ(s("DTOS(CTOD('31.12.1999'))"), "19991231");
  dbe_SetDateFormat(1);  // ANSI
  dbe_SetCentury(0);
  EXPECT_EQ(s("DTOC(BORN)"), "24.02.29");
  EXPECT_EQ(dbe_SetEpoch(2000), 1950);
  EXPECT_EQ(s("DTOS(CTOD('60.01.02'))"), "20600102");
  dbe_ClearError();
  dbe_SetDateFormat(42);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  EXPECT_EQ(dbe_SetDateFormat(0), 1);
}

TEST_F(DbfExpressions, DeepNestingIsRefused) {
  std::string deep(5000, '(');
  deep += "1";
  deep += std::string(5000, ')');
  EXPECT_EQ(dbe_EvalTest(deep.c_str()), DBE_TYPE_SYNTAX_ERROR);
  std::string nots;
  for (int i = 0; i < 5000; ++i) nots += "!";
  nots += ".T.";
  EXPECT_EQ(dbe_EvalTest(nots.c_str()), DBE_TYPE_SYNTAX_ERROR);
  std::string ok(50, '(');
  ok += "1";
  ok += std::string(50, ')');
  EXPECT_EQ(dbe_EvalTest(ok.c_str()), DBE_TYPE_NUMERIC);
}

TEST(DbfExpressionsWithoutTable, ConstantsNeedNoWorkArea) {
  const int16_t previous = dbe_Select(0);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("2 * 21"), 42);
  EXPECT_EQ(str(dbe_EvalString("UPPER('x')")), "X");
  EXPECT_EQ(dbe_EvalTest("NAME"), DBE_TYPE_UNKNOWN_NAME);
  dbe_Select(previous);
}
