#include "dataset/DBGrid.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"

TDBGrid::TDBGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  titleFont_ = font();
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TDBGrid::OnVerticalAction);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
          qOverload<>(&QWidget::update));
}

TDBGrid::~TDBGrid() {
  if (TDataSet* ds = source_ ? source_->DataSet() : nullptr) ds->ReleaseWindowRows(this);
}

void TDBGrid::SetDataSource(TDataSource* source) {
  if (source_ == source) return;
  if (source_) {
    disconnect(source_, nullptr, this, nullptr);
    if (TDataSet* ds = source_->DataSet()) ds->ReleaseWindowRows(this);
  }
  source_ = source;
  if (source_) connect(source_, &TDataSource::DataEventRaised, this, &TDBGrid::OnDataEvent);
  UpdateWindowRows();
  UpdateScrollBars();
  viewport()->update();
}

void TDBGrid::SetOptions(int options) {
  options_ = options & ~(dgEditing | dgAlwaysShowEditor);  // the grid never edits
  UpdateWindowRows();
  UpdateScrollBars();
  viewport()->update();
}

int TDBGrid::AddColumn(const QString& fieldName, const QString& title, int width) {
  columns_.push_back(Column{fieldName, title, width});
  UpdateScrollBars();
  viewport()->update();
  return ColumnCount() - 1;
}

void TDBGrid::ClearColumns() {
  columns_.clear();
  selectedCol_ = 0;
  UpdateScrollBars();
  viewport()->update();
}

QString TDBGrid::ColumnTitle(int col) const {
  const Column& c = columns_.at(static_cast<size_t>(col));
  if (!c.title.isEmpty()) return c.title;
  if (TField* f = FieldOf(col)) return f->DisplayLabel();
  return c.fieldName;
}

int TDBGrid::ColumnWidth(int col) const {
  const Column& c = columns_.at(static_cast<size_t>(col));
  return c.width >= 0 ? c.width : DefaultColumnWidth(col);
}

void TDBGrid::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= ColumnCount()) return;
  columns_[static_cast<size_t>(col)].width = std::max(0, width);
  UpdateScrollBars();
  viewport()->update();
}

void TDBGrid::SetTitleFont(const QFont& font) {
  titleFont_ = font;
  titleAdvances_.clear();
  UpdateWindowRows();
  viewport()->update();
}

void TDBGrid::SetTitleColor(const QColor& color) {
  titleColor_ = color;
  viewport()->update();
}

void TDBGrid::SetFontColor(const QColor& color) {
  fontColor_ = color;
  viewport()->update();
}

TDataSet* TDBGrid::ActiveDataSet() const {
  if (!source_ || source_->State() == dsInactive) return nullptr;
  TDataSet* ds = source_->DataSet();
  return ds && ds->Active() ? ds : nullptr;
}

TField* TDBGrid::FieldOf(int col) const {
  TDataSet* ds = source_ ? source_->DataSet() : nullptr;
  if (!ds || col < 0 || col >= ColumnCount()) return nullptr;
  return ds->FindField(columns_[static_cast<size_t>(col)].fieldName);
}

int TDBGrid::DefaultColumnWidth(int col) const {
  const QFontMetrics fm(font());
  int w = 64;
  // A digit's width, not the average: in a proportional face the average
  // letter is narrower than the digits of a postal code.
  if (TField* f = FieldOf(col)) w = f->DisplayWidth() * fm.horizontalAdvance(QLatin1Char('0')) + 4;
  if (options_ & dgTitles) w = std::max(w, TitleAdvance(ColumnTitle(col)) + 4);
  return w;
}

int TDBGrid::TitleAdvance(const QString& title) const {
  // Measuring shapes the text, and the widths are asked at every scroll.
  auto it = titleAdvances_.constFind(title);
  if (it == titleAdvances_.constEnd())
    it = titleAdvances_.insert(title, QFontMetrics(titleFont_).horizontalAdvance(title));
  return *it;
}

int TDBGrid::RowHeight() const {
  return QFontMetrics(font()).height() + 3;
}

int TDBGrid::TitleHeight() const {
  return (options_ & dgTitles) ? QFontMetrics(titleFont_).height() + 4 : 0;
}

int TDBGrid::VisibleRowCount() const {
  return std::max(1, (viewport()->height() - TitleHeight()) / RowHeight());
}

int TDBGrid::ShownRowCount() const {
  TDataSet* ds = ActiveDataSet();
  return ds ? std::min(ds->WindowRecordCount(), VisibleRowCount()) : 0;
}

int TDBGrid::CurrentRow() const {
  TDataSet* ds = ActiveDataSet();
  return ds && !ds->IsEmpty() ? ds->ActiveRow() : -1;
}

void TDBGrid::SetSelectedIndex(int col) {
  if (ColumnCount() == 0) return;
  selectedCol_ = std::clamp(col, 0, ColumnCount() - 1);
  EnsureColumnVisible(selectedCol_);
  viewport()->update();
}

QString TDBGrid::CellText(int row, int col) const {
  TDataSet* ds = ActiveDataSet();
  TField* f = FieldOf(col);
  if (!ds || !f || row < 0 || row >= ShownRowCount()) return {};
  return ds->CellText(row, f);
}

QRect TDBGrid::RowRect(int row) const {
  return QRect(DataLeft(), TitleHeight() + row * RowHeight(), viewport()->width() - DataLeft(),
               RowHeight());
}

void TDBGrid::SetCellHighlights(TCellHighlights highlights) {
  highlights_ = std::move(highlights);
  viewport()->update();
}

void TDBGrid::SetTitleNote(const QString& note) {
  if (note == titleNote_) return;
  titleNote_ = note;
  viewport()->update();
}

int TDBGrid::DataLeft() const {
  return (options_ & dgIndicator) ? kIndicatorWidth : 0;
}

int TDBGrid::ColumnLeft(int col) const {
  int x = DataLeft() - horizontalScrollBar()->value();
  for (int i = 0; i < col; ++i) x += ColumnWidth(i) + ((options_ & dgColLines) ? 1 : 0);
  return x;
}

int TDBGrid::ColumnAt(int x) const {
  for (int i = 0; i < ColumnCount(); ++i) {
    const int left = ColumnLeft(i);
    if (x >= left && x < left + ColumnWidth(i) + 1) return i;
  }
  return -1;
}

int TDBGrid::ResizeBorderAt(const QPoint& pos) const {
  if (!(options_ & dgColumnResize) || !(options_ & dgTitles) || pos.y() >= TitleHeight()) return -1;
  for (int i = 0; i < ColumnCount(); ++i) {
    const int right = ColumnLeft(i) + ColumnWidth(i);
    if (std::abs(pos.x() - right) <= 3) return i;
  }
  return -1;
}

void TDBGrid::UpdateWindowRows() {
  if (TDataSet* ds = source_ ? source_->DataSet() : nullptr)
    ds->RequestWindowRows(this, VisibleRowCount());
}

void TDBGrid::UpdateScrollBars() {
  int total = DataLeft();
  for (int i = 0; i < ColumnCount(); ++i)
    total += ColumnWidth(i) + ((options_ & dgColLines) ? 1 : 0);
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, std::max(0, total - viewport()->width()));
  h->setPageStep(std::max(1, viewport()->width()));

  QScrollBar* v = verticalScrollBar();
  QSignalBlocker block(v);
  TDataSet* ds = ActiveDataSet();
  if (!ds || ds->IsEmpty()) {
    v->setRange(0, 0);
    v->setValue(0);
    return;
  }
  if (ds->IsSequenced()) {
    const int count = ds->ViewRecordCount();
    v->setRange(0, std::max(0, count - 1));
    v->setPageStep(VisibleRowCount());
    v->setValue(std::clamp(ds->ViewRecordNumber() - 1, 0, std::max(0, count - 1)));
  } else {  // beginning, somewhere in between, end
    v->setRange(0, 4);
    v->setPageStep(1);
    v->setValue(ds->Bof() ? 0 : (ds->Eof() ? 4 : 2));
  }
}

void TDBGrid::OnDataEvent(int event) {
  switch (event) {
    case deUpdateState:
      UpdateWindowRows();
      [[fallthrough]];
    case deDataSetChange:
    case deDataSetScroll:
    case deRecordChange:
    case deLayoutChange:
      UpdateScrollBars();
      viewport()->update();
      break;
    default:
      break;
  }
}

void TDBGrid::Move(int rows) {
  if (TDataSet* ds = ActiveDataSet()) ds->MoveRows(rows);
}

void TDBGrid::OnVerticalAction(int action) {
  TDataSet* ds = ActiveDataSet();
  if (!ds) return;
  QScrollBar* v = verticalScrollBar();
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      ds->Next();
      break;
    case QAbstractSlider::SliderSingleStepSub:
      ds->Prior();
      break;
    case QAbstractSlider::SliderPageStepAdd:
      ds->MoveRows(VisibleRowCount());
      break;
    case QAbstractSlider::SliderPageStepSub:
      ds->MoveRows(-VisibleRowCount());
      break;
    case QAbstractSlider::SliderToMinimum:
      ds->First();
      break;
    case QAbstractSlider::SliderToMaximum:
      ds->Last();
      break;
    case QAbstractSlider::SliderMove:
      if (ds->IsSequenced()) {
        ds->SetViewRecordNumber(v->sliderPosition() + 1);
        return;  // the thumb stays under the mouse
      }
      if (v->sliderPosition() <= v->minimum())
        ds->First();
      else if (v->sliderPosition() >= v->maximum())
        ds->Last();
      break;
    default:
      return;
  }
  UpdateScrollBars();
  v->setSliderPosition(v->value());
}

void TDBGrid::EnsureColumnVisible(int col) {
  if (col < 0 || col >= ColumnCount()) return;
  QScrollBar* h = horizontalScrollBar();
  const int left = ColumnLeft(col) + h->value();
  const int right = left + ColumnWidth(col);
  const int width = viewport()->width();
  if (left - DataLeft() < h->value())
    h->setValue(left - DataLeft());
  else if (right > h->value() + width)
    h->setValue(std::min(right - width, left - DataLeft()));
}

bool TDBGrid::event(QEvent* e) {
  // Tab belongs to the grid (between columns) rather than to focus changes,
  // as long as the grid shows rows; an empty grid lets Tab move the focus on.
  if (e->type() == QEvent::KeyPress && (options_ & dgTabs) && ShownRowCount() > 0) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

void TDBGrid::keyPressEvent(QKeyEvent* e) {
  TDataSet* ds = ActiveDataSet();
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  switch (e->key()) {
    case Qt::Key_Up:
      Move(-1);
      break;
    case Qt::Key_Down:
      Move(1);
      break;
    case Qt::Key_PageUp:
      Move(-VisibleRowCount());
      break;
    case Qt::Key_PageDown:
      Move(VisibleRowCount());
      break;
    case Qt::Key_Home:
      if (ctrl) {
        if (ds) ds->First();
      } else {
        SetSelectedIndex(0);
      }
      break;
    case Qt::Key_End:
      if (ctrl) {
        if (ds) ds->Last();
      } else {
        SetSelectedIndex(ColumnCount() - 1);
      }
      break;
    case Qt::Key_Left:
      SetSelectedIndex(selectedCol_ - 1);
      break;
    case Qt::Key_Right:
      SetSelectedIndex(selectedCol_ + 1);
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      if (!(options_ & dgTabs)) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
      }
      const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
      if (!back && selectedCol_ + 1 < ColumnCount()) {
        SetSelectedIndex(selectedCol_ + 1);
      } else if (back && selectedCol_ > 0) {
        SetSelectedIndex(selectedCol_ - 1);
      } else if (ds && ds->MoveRows(back ? -1 : 1) != 0) {
        SetSelectedIndex(back ? ColumnCount() - 1 : 0);
      }
      break;
    }
    default:
      QAbstractScrollArea::keyPressEvent(e);
      return;
  }
  e->accept();
}

void TDBGrid::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = e->position().toPoint();
  if (e->button() == Qt::RightButton) {
    // The row under the pointer becomes current before its menu opens, so
    // that the menu acts on the row that was clicked.
    TDataSet* ds = ActiveDataSet();
    const int row = pos.y() >= TitleHeight() ? (pos.y() - TitleHeight()) / RowHeight() : -1;
    if (ds && row >= 0 && row < ShownRowCount() && row != ds->ActiveRow())
      ds->MoveRows(row - ds->ActiveRow());
  }
  if (e->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(e);
    return;
  }
  const int border = ResizeBorderAt(pos);
  if (border >= 0) {
    resizingCol_ = border;
    resizeStartX_ = pos.x();
    resizeStartWidth_ = ColumnWidth(border);
    return;
  }
  const int col = ColumnAt(pos.x());
  if (col >= 0) SetSelectedIndex(col);
  if (pos.y() < TitleHeight()) return;
  const int row = (pos.y() - TitleHeight()) / RowHeight();
  TDataSet* ds = ActiveDataSet();
  if (ds && row < ShownRowCount() && row != ds->ActiveRow()) ds->MoveRows(row - ds->ActiveRow());
}

void TDBGrid::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (resizingCol_ >= 0) {
    SetColumnWidth(resizingCol_, std::max(4, resizeStartWidth_ + pos.x() - resizeStartX_));
    return;
  }
  viewport()->setCursor(ResizeBorderAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* e) {
  if (resizingCol_ >= 0 && e->button() == Qt::LeftButton) {
    resizingCol_ = -1;
    return;
  }
  QAbstractScrollArea::mouseReleaseEvent(e);
}

void TDBGrid::wheelEvent(QWheelEvent* e) {
  wheelRemainder_ += e->angleDelta().y();
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  if (notches != 0) Move(-notches);
  e->accept();
}

void TDBGrid::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateWindowRows();
  UpdateScrollBars();
}

void TDBGrid::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) {
    UpdateWindowRows();
    UpdateScrollBars();
  }
  QAbstractScrollArea::changeEvent(e);
}

void TDBGrid::focusInEvent(QFocusEvent* e) {
  viewport()->update();
  QAbstractScrollArea::focusInEvent(e);
}

void TDBGrid::focusOutEvent(QFocusEvent* e) {
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(e);
}

void TDBGrid::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QPalette& pal = palette();
  const int w = viewport()->width(), h = viewport()->height();
  p.fillRect(0, 0, w, h, pal.color(QPalette::Base));
  const int titleH = TitleHeight(), rowH = RowHeight();
  const bool lines = options_ & dgColLines, rowLines = options_ & dgRowLines;
  const QColor lineColor = pal.color(QPalette::Mid);
  const QColor face = pal.color(QPalette::Button);
  const int shown = ShownRowCount();
  TDataSet* ds = ActiveDataSet();
  const int active = CurrentRow();
  const bool showSelection = hasFocus() || (options_ & dgAlwaysShowSelection);
  const int textPad = 2;

  // Column cells, titles first.
  for (int col = 0; col < ColumnCount(); ++col) {
    const int left = ColumnLeft(col), cw = ColumnWidth(col);
    if (left + cw < DataLeft() || left > w) continue;
    p.save();
    p.setClipRect(QRect(DataLeft(), 0, w - DataLeft(), h));
    if (titleH > 0) {
      const QRect cell(left, 0, cw, titleH - 1);
      p.fillRect(cell.adjusted(0, 0, 1, 1), face);
      p.setFont(titleFont_);
      p.setPen(titleColor_);
      p.drawText(cell.adjusted(textPad, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                 ColumnTitle(col));
    }
    TField* f = FieldOf(col);
    p.setFont(font());
    for (int row = 0; row < shown; ++row) {
      const QRect cell(left, titleH + row * rowH, cw, rowH - (rowLines ? 1 : 0));
      const bool selected =
          row == active && showSelection && ((options_ & dgRowSelect) || col == selectedCol_);
      if (selected)
        p.fillRect(cell.adjusted(0, 0, lines ? 0 : 1, 0), pal.color(QPalette::Highlight));
      if (ds && f)
        DrawCellText(
            p, cell.adjusted(textPad, 0, -1, 0), ds->CellText(row, f),
            highlights_ ? highlights_(row, f) : std::vector<std::pair<int, int>>(),
            selected ? pal.color(QPalette::HighlightedText) : fontColor_,
            selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Highlight));
    }
    if (lines) {
      p.setPen(lineColor);
      p.drawLine(left + cw, 0, left + cw, titleH + shown * rowH - 1);
    }
    p.restore();
  }
  // Lines under the title and under each row.
  int right =
      ColumnCount() > 0 ? ColumnLeft(ColumnCount() - 1) + ColumnWidth(ColumnCount() - 1) : 0;
  right = std::min(right, w);
  p.setPen(lineColor);
  if (titleH > 0) p.drawLine(0, titleH - 1, right, titleH - 1);
  if (rowLines)
    for (int row = 0; row < shown; ++row)
      p.drawLine(0, titleH + (row + 1) * rowH - 1, right, titleH + (row + 1) * rowH - 1);
  if (titleH > 0 && !titleNote_.isEmpty()) {
    const QRect area(DataLeft(), 0, right - DataLeft() - textPad - 1, titleH - 1);
    const int noteWidth = QFontMetrics(font()).horizontalAdvance(titleNote_) + 2 * textPad;
    p.fillRect(QRect(area.right() - noteWidth, 0, noteWidth, titleH - 1), face);
    p.setFont(font());
    p.setPen(titleColor_);
    p.drawText(area, Qt::AlignRight | Qt::AlignVCenter, titleNote_);
  }
  // Record indicator: a triangle on the current row.
  if (options_ & dgIndicator) {
    p.fillRect(0, 0, kIndicatorWidth, std::min(h, titleH + shown * rowH), face);
    p.setPen(lineColor);
    p.drawLine(kIndicatorWidth - 1, 0, kIndicatorWidth - 1, titleH + shown * rowH - 1);
    if (active >= 0 && active < shown) {
      const int cy = titleH + active * rowH + rowH / 2;
      const QPoint tri[3] = {QPoint(3, cy - 4), QPoint(7, cy), QPoint(3, cy + 4)};
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawPolygon(tri, 3);
    }
  }
}

void TDBGrid::DrawCellText(QPainter& p, const QRect& rect, const QString& text,
                           const std::vector<std::pair<int, int>>& highlights, const QColor& color,
                           const QColor& highlightColor) const {
  // Every row on the baseline of the grid's own font, where a centred text
  // line would sit: a line laid out by Qt grows with the metrics of any
  // fallback face one of its characters comes from, and its row would move.
  const QFontMetrics fm(font());
  const int baseline = rect.top() + (rect.height() - fm.height()) / 2 + fm.ascent();
  p.save();
  p.setClipRect(rect, Qt::IntersectClip);
  p.setFont(font());
  p.setPen(color);
  if (highlights.empty()) {
    p.drawText(QPoint(rect.left(), baseline), text);
    p.restore();
    return;
  }
  QFont bold = font();
  bold.setBold(true);
  // Piece by piece from the left; each piece advances by its own width.
  int x = rect.left(), at = 0;
  auto piece = [&](int from, int to, bool marked) {
    if (to <= from || x > rect.right()) return;
    const QString part = text.mid(from, to - from);
    p.setFont(marked ? bold : font());
    p.setPen(marked ? highlightColor : color);
    p.drawText(QPoint(x, baseline), part);
    x += QFontMetrics(p.font()).horizontalAdvance(part);
  };
  for (const auto& [start, length] : highlights) {
    const int from = std::clamp(start, at, static_cast<int>(text.size()));
    const int to = std::clamp(start + length, from, static_cast<int>(text.size()));
    piece(at, from, false);
    piece(from, to, true);
    at = to;
  }
  piece(at, static_cast<int>(text.size()), false);
  p.restore();
}
