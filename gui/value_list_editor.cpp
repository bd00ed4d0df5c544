#include "gui/value_list_editor.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "gui/qt_text.h"
#include "support/text.h"

namespace tessel {

namespace {

constexpr int kRawRole = Qt::UserRole + 1;     // the bytes the cell was loaded with
constexpr int kButtonRole = Qt::UserRole + 2;  // the value cell has an ellipsis button
constexpr int kPickRole = Qt::UserRole + 3;    // the value cell's drop-down list

std::string CellText(const QTableWidgetItem* item) {
  if (item == nullptr) return {};
  const QVariant raw = item->data(kRawRole);
  // Unedited cells give back their bytes exactly, whatever the code page.
  if (raw.isValid()) {
    const QByteArray bytes = raw.toByteArray();
    std::string text(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (item->text() == ToQt(text)) return text;
  }
  return FromQt(item->text());
}

void SetCellText(QTableWidgetItem* item, const std::string& text) {
  item->setData(kRawRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  item->setText(ToQt(text));
}

}  // namespace

// Paints the ellipsis button of a value cell and reports its clicks; opens
// a drop-down list for cells that have one.
class TValueCellDelegate : public QStyledItemDelegate {
 public:
  explicit TValueCellDelegate(TValueListEditor* editor)
      : QStyledItemDelegate(editor), grid_(editor) {}

  static bool HasButton(const QModelIndex& index) {
    return index.column() == 1 && index.data(kButtonRole).toBool();
  }

  static QRect ButtonRect(const QRect& cell) {
    const int width = qMin(cell.height() + 4, cell.width());
    return QRect(cell.right() - width + 1, cell.top(), width, cell.height());
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (!HasButton(index)) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem text = option;
    const QRect button = ButtonRect(option.rect);
    text.rect.setRight(button.left() - 1);
    QStyledItemDelegate::paint(painter, text, index);
    QStyleOptionButton look;
    look.rect = button.adjusted(1, 1, -1, -1);
    look.text = QStringLiteral("...");
    look.state = QStyle::State_Enabled | QStyle::State_Raised;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &look, painter, option.widget);
  }

  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
    if (HasButton(index) && event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton &&
          ButtonRect(option.rect).contains(mouse->position().toPoint())) {
        grid_->setCurrentCell(index.row(), index.column());
        emit grid_->valueButtonClicked(index.row());
        return true;
      }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = nullptr;
    const QStringList pick = index.data(kPickRole).toStringList();
    if (index.column() == 1 && !pick.isEmpty()) {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->addItems(pick);
      editor = combo;
    } else {
      editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    if (editor != nullptr) grid_->WatchEditor(editor);
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      combo->setCurrentText(index.data(Qt::EditRole).toString());
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      model->setData(index, combo->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override {
    QRect rect = option.rect;
    if (HasButton(index)) rect.setRight(ButtonRect(option.rect).left() - 1);
    editor->setGeometry(rect);
  }

 private:
  TValueListEditor* grid_;
};

TValueListEditor::TValueListEditor(const QString& name, QWidget* parent) : QTableWidget(parent) {
  setObjectName(name);
  setColumnCount(2);
  setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setHighlightSections(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setWordWrap(false);
  setItemDelegate(new TValueCellDelegate(this));
  SetKeyColumnWidth(150);
  connect(this, &QTableWidget::itemChanged, this, &TValueListEditor::KeyEdited);
}

void TValueListEditor::KeyEdited(QTableWidgetItem* cell) {
  // Keys are unique (compared as the settings look them up): a key that
  // another row has would make one of the two entries overwrite the other.
  if (cell->column() != 0 || !keysEditable_) return;
  const std::string key = CellText(cell);
  for (int row = 0; row < rowCount(); ++row) {
    if (row == cell->row() || !SameTextAnsi(KeyAt(row), key)) continue;
    const QVariant raw = cell->data(kRawRole);
    const QByteArray old = raw.isValid() ? raw.toByteArray() : QByteArray();
    {
      const QSignalBlocker quiet(this);
      cell->setText(ToQt(std::string(old.constData(), static_cast<size_t>(old.size()))));
    }
    emit duplicateKey(key);
    return;
  }
  const QSignalBlocker quiet(this);
  SetCellText(cell, key);
}

void TValueListEditor::SetKeyColumnWidth(int width) { setColumnWidth(0, width); }

void TValueListEditor::CopySetupFrom(const TValueListEditor& other) {
  for (int column = 0; column < 2; ++column) {
    const QTableWidgetItem* title = other.horizontalHeaderItem(column);
    if (title != nullptr) setHorizontalHeaderItem(column, title->clone());
  }
  SetKeyColumnWidth(other.columnWidth(0));
  keysEditable_ = other.keysEditable_;
  rowsEditable_ = other.rowsEditable_;
}

QTableWidgetItem* TValueListEditor::EnsureItem(int row, int column) {
  QTableWidgetItem* cell = item(row, column);
  if (cell == nullptr) {
    cell = new QTableWidgetItem;
    setItem(row, column, cell);
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (column == 1 || keysEditable_) flags |= Qt::ItemIsEditable;
  cell->setFlags(flags);
  return cell;
}

void TValueListEditor::SetRows(const TEditorRows& rows, bool valueButtons) {
  const QSignalBlocker quiet(this);
  clearContents();
  setRowCount(static_cast<int>(rows.Count()));
  for (int row = 0; row < rowCount(); ++row) {
    SetCellText(EnsureItem(row, 0), rows.Row(static_cast<size_t>(row)).key);
    SetCellText(EnsureItem(row, 1), rows.Row(static_cast<size_t>(row)).value);
    SetValueButton(row, valueButtons);
  }
  viewport()->update();
}

TEditorRows TValueListEditor::Rows() const {
  TEditorRows rows;
  for (int row = 0; row < rowCount(); ++row) rows.Add(KeyAt(row), ValueAt(row));
  return rows;
}

std::string TValueListEditor::KeyAt(int row) const { return CellText(item(row, 0)); }
std::string TValueListEditor::ValueAt(int row) const { return CellText(item(row, 1)); }

void TValueListEditor::SetKeyAt(int row, const std::string& key) {
  SetCellText(EnsureItem(row, 0), key);
}

void TValueListEditor::SetValueAt(int row, const std::string& value) {
  SetCellText(EnsureItem(row, 1), value);
}

void TValueListEditor::SetValueButton(int row, bool button) {
  EnsureItem(row, 1)->setData(kButtonRole, button);
}

bool TValueListEditor::HasValueButton(int row) const {
  const QTableWidgetItem* cell = item(row, 1);
  return cell != nullptr && cell->data(kButtonRole).toBool();
}

void TValueListEditor::SetPickList(int row, const QStringList& values) {
  EnsureItem(row, 1)->setData(kPickRole, values);
}

void TValueListEditor::CommitEdits() {
  QWidget* editor = indexWidget(currentIndex());
  if (editor == nullptr || state() != QAbstractItemView::EditingState) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

int TValueListEditor::AddRow() {
  const int row = rowCount();
  insertRow(row);
  SetCellText(EnsureItem(row, 0), "");
  SetCellText(EnsureItem(row, 1), "");
  setCurrentCell(row, keysEditable_ ? 0 : 1);
  return row;
}

void TValueListEditor::DeleteCurrentRow() {
  const int row = currentRow();
  if (row >= 0) removeRow(row);
}

void TValueListEditor::keyPressEvent(QKeyEvent* event) {
  if (rowsEditable_) {
    const bool lastRow = currentRow() == rowCount() - 1;
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
      AddRow();
      return;
    }
    if (event->key() == Qt::Key_Down && (lastRow || rowCount() == 0)) {
      AddRow();
      return;
    }
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
      DeleteCurrentRow();
      return;
    }
  }
  QTableWidget::keyPressEvent(event);
}

void TValueListEditor::keyReleaseEvent(QKeyEvent* event) {
  QTableWidget::keyReleaseEvent(event);
  emit keyReleased();
}

void TValueListEditor::WatchEditor(QWidget* editor) { editor->installEventFilter(this); }

bool TValueListEditor::eventFilter(QObject* watched, QEvent* event) {
  // Key releases inside a cell editor count as the grid's own.
  if (event->type() == QEvent::KeyRelease && watched != this) emit keyReleased();
  return QTableWidget::eventFilter(watched, event);
}

}  // namespace tessel
