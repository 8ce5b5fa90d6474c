#pragma once
// The data-aware grid: shows the rows of a dataset's window through a data
// source, never reading the dataset any other way. Column titles with their own
// font, the record indicator column, resizable columns, column and row lines,
// Tab between columns, whole-row selection, keyboard and mouse navigation and a
// vertical scroll bar that follows the position. It asks the dataset for a
// window of as many rows as it shows. It never edits.
#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QPainter;
class TDataSource;
class TDataSet;
class TField;

enum TDBGridOption {
  dgEditing = 0x1,
  dgAlwaysShowEditor = 0x2,
  dgTitles = 0x4,
  dgIndicator = 0x8,
  dgColumnResize = 0x10,
  dgColLines = 0x20,
  dgRowLines = 0x40,
  dgTabs = 0x80,
  dgRowSelect = 0x100,
  dgAlwaysShowSelection = 0x200,
  dgConfirmDelete = 0x400,
  dgCancelOnExit = 0x800
};

class TDBGrid : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr int kIndicatorWidth = 11;
  static constexpr int kDefaultOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize |
                                         dgColLines | dgRowLines | dgTabs | dgConfirmDelete |
                                         dgCancelOnExit;

  explicit TDBGrid(QWidget* parent = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  int Options() const { return options_; }
  void SetOptions(int options);

  // Columns; width -1 takes the field's default width.
  int AddColumn(const QString& fieldName, const QString& title = QString(), int width = -1);
  void ClearColumns();
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  QString ColumnFieldName(int col) const { return columns_.at(static_cast<size_t>(col)).fieldName; }
  QString ColumnTitle(int col) const;
  int ColumnWidth(int col) const;  // effective width in pixels
  void SetColumnWidth(int col, int width);

  QFont TitleFont() const { return titleFont_; }
  void SetTitleFont(const QFont& font);
  QColor TitleColor() const { return titleColor_; }
  void SetTitleColor(const QColor& color);
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& color);

  int RowHeight() const;
  int TitleHeight() const;
  // Whole data rows that fit; the grid asks the dataset for this many.
  int VisibleRowCount() const;
  // What the grid shows now: rows of the window, the current row, a cell.
  int ShownRowCount() const;
  int CurrentRow() const;
  int SelectedIndex() const { return selectedCol_; }
  void SetSelectedIndex(int col);
  QString CellText(int row, int col) const;
  // The data row's area in the viewport's coordinates (row of the window).
  QRect RowRect(int row) const;

  // Parts of a cell's text drawn highlighted (bold, in the palette's
  // highlight colour): ascending (start, length) ranges of the text of
  // `field` in window row `row`. Asked while painting the cell.
  using TCellHighlights =
      std::function<std::vector<std::pair<int, int>>(int row, const TField* field)>;
  void SetCellHighlights(TCellHighlights highlights);
  // A short text drawn at the right end of the title row, over the titles.
  QString TitleNote() const { return titleNote_; }
  void SetTitleNote(const QString& note);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void changeEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private slots:
  void OnDataEvent(int event);
  void OnVerticalAction(int action);

 private:
  struct Column {
    QString fieldName;
    QString title;
    int width;
  };

  TDataSet* ActiveDataSet() const;
  TField* FieldOf(int col) const;
  int DefaultColumnWidth(int col) const;
  int TitleAdvance(const QString& title) const;  // in the title font
  int DataLeft() const;  // x of the first column, before horizontal scrolling
  int ColumnLeft(int col) const;
  int ColumnAt(int x) const;
  int ResizeBorderAt(const QPoint& pos) const;
  void UpdateWindowRows();
  void UpdateScrollBars();
  void EnsureColumnVisible(int col);
  void Move(int rows);
  void DrawCellText(QPainter& p, const QRect& rect, const QString& text,
                    const std::vector<std::pair<int, int>>& highlights, const QColor& color,
                    const QColor& highlightColor) const;

  QPointer<TDataSource> source_;
  int options_ = kDefaultOptions;
  std::vector<Column> columns_;
  QFont titleFont_;
  mutable QHash<QString, int> titleAdvances_;
  QColor titleColor_ = Qt::black;
  QColor fontColor_ = Qt::black;
  int selectedCol_ = 0;
  int resizingCol_ = -1;
  int resizeStartX_ = 0;
  int resizeStartWidth_ = 0;
  int wheelRemainder_ = 0;
  TCellHighlights highlights_;
  QString titleNote_;
};
