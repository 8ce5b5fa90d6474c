// The result grid's rows as they are drawn: one font for every character the
// tables hold, and every row on the same baseline, also a row with a
// character its font lacks.
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QRawFont>
#include <QSet>

#include "FormFixture.h"
#include "app/Fonts.h"
#include "platform/Cp949.h"

namespace {

class FormGridRows : public FormFixture {
 protected:
  // Two rows alike up to the end of the first one's address; the second goes
  // on with "∼", which NanumGothicCoding lacks.
  void ShowTwoRows() {
    PutPostalRows({"135-806,서울,강남구,개포1동,,1", "135-806,서울,강남구,개포1동,(1∼6동),2"});
    ShowActive();
    Form().OpenPostalData();
    ASSERT_TRUE(Form().Table1->Active());
    ASSERT_EQ(Form().DBGrid1->CellText(0, 2), QString::fromUtf8("서울 강남구 개포1동"));
    ASSERT_EQ(Form().DBGrid1->CellText(1, 2), QString::fromUtf8("서울 강남구 개포1동 (1∼6동)"));
    Form().FocusSearchBox();  // no selection bar on the grid's rows
    QCoreApplication::processEvents();
  }

  // Row `row` of the grid as drawn, without its line below.
  QImage RowImage(int row) {
    TDBGrid& g = *Form().DBGrid1;
    const QImage shown = g.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect r = g.RowRect(row);
    r.setLeft(0);
    r.setRight(shown.width() - 1);
    r.setHeight(g.RowHeight() - 1);
    return shown.copy(r);
  }

  // The rightmost column of `image` with a dark (text) pixel.
  static int LastInkColumn(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x)
      for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 100) return x;
    return -1;
  }

  // Both rows are drawn alike as far as the first one's text goes: the same
  // characters on the same baseline, at the same height.
  void ExpectSharedBaseline() {
    const QImage first = RowImage(0), second = RowImage(1);
    ASSERT_EQ(first.size(), second.size());
    const int end = LastInkColumn(first);
    ASSERT_GT(end, 100);
    int differing = 0;
    // Right of the record indicator, which marks the current row only.
    for (int x = TDBGrid::kIndicatorWidth; x <= end; ++x)
      for (int y = 0; y < first.height(); ++y) differing += first.pixel(x, y) != second.pixel(x, y);
    EXPECT_EQ(differing, 0) << "of " << (end + 1) * first.height() << " pixels";
    // The rest of the second row is drawn: the two rows are not just blank.
    EXPECT_GT(LastInkColumn(second), end + 20);
  }
};

// Every character of `text` that the face `font` resolves to lacks (the
// face itself: its fallbacks would draw them with other metrics).
QString Missing(const QFont& font, const QString& text) {
  const QRawFont face = QRawFont::fromFont(font, QFontDatabase::Korean);
  EXPECT_TRUE(face.isValid());
  QSet<char32_t> seen;
  QString missing;
  for (char32_t c : text.toUcs4()) {
    if (c < 0x20 || seen.contains(c)) continue;
    seen.insert(c);
    if (!face.supportsCharacter(c)) missing += QString::fromUcs4(&c, 1);
  }
  return missing;
}

TEST_F(FormGridRows, TheGridsFontHasEveryCharacterOfTheTables) {
  const QFont font = Form().DBGrid1->font();
  EXPECT_EQ(font.families(), app::GridFamilies());
  EXPECT_EQ(Form().DBGrid1->TitleFont().families(), app::GridFamilies());
  EXPECT_EQ(font.families().front(), "GulimChe");
  EXPECT_EQ(font.families().back(), "NanumGothicCoding");
  // The shipped table's source list (CP949).
  QFile source(QStringLiteral(PF_SOURCE_DIR "/data/source/zipcode.csv"));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  const QString shipped = platform::FromCp949(source.readAll());
  ASSERT_TRUE(shipped.contains(QChar(0x223C)));
  EXPECT_EQ(Missing(font, shipped), QString()) << QFontInfo(font).family().toStdString();
  QFont bold = font;
  bold.setBold(true);  // the highlighted matches
  EXPECT_EQ(Missing(bold, shipped), QString());
  // Every character CP949 has: two-byte codes from 0x8141 to 0xFEFE, which
  // hold every Hangul syllable, the symbols, the Roman numerals and the
  // Hanja; not the rows of user-defined characters (the private use area).
  QString every;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const auto c = platform::FromCp949Strict(QByteArray(pair, 2));
      if (c && !(c->front() >= QChar(0xE000) && c->front() <= QChar(0xF8FF))) every += *c;
    }
  ASSERT_GT(every.size(), 17000);
  EXPECT_EQ(Missing(font, every), QString());
}

TEST_F(FormGridRows, ARowWithATildeSitsOnTheBaselineOfTheOthers) {
  ShowTwoRows();
  ExpectSharedBaseline();
}

TEST_F(FormGridRows, ThePostalCodeColumnShowsItsCodesWhole) {
  ShowTwoRows();
  TDBGrid& g = *Form().DBGrid1;
  // Its default width, from the field's seven characters in the grid's font;
  // the text starts two pixels in and ends before the column line.
  const QFontMetrics fm(g.font());
  for (const char* code : {"135-806", "000-000", "999-999"})
    EXPECT_LE(fm.horizontalAdvance(QString::fromLatin1(code)) + 3, g.ColumnWidth(0)) << code;
}

TEST_F(FormGridRows, ACharacterFromAFallbackFaceMovesNoRow) {
  ShowTwoRows();
  // The window's other font, whose face lacks "∼": the character comes from
  // another face, with its own ascent and descent.
  const QFont coding = app::GulimFont(13);
  ASSERT_EQ(QFontInfo(coding).family(), "NanumGothicCoding") << "fonts-nanum-coding is missing";
  ASSERT_EQ(Missing(coding, QStringLiteral("∼")), QStringLiteral("∼"));
  Form().DBGrid1->setFont(coding);
  QCoreApplication::processEvents();
  ExpectSharedBaseline();
}

}  // namespace
