#pragma once
// A two-column key/value grid ("Key", "Value") holding the rows of one
// settings section, as the setup window and the dependency dialog show
// them. Rows may carry a value button (an ellipsis in the value cell) or a
// drop-down list of values. Cells keep the bytes they were loaded with
// until the user edits them, so text in any code page survives a save.

#include <QStringList>
#include <QTableWidget>
#include <string>

#include "setup/editor_rows.h"

namespace tessel {

class TValueListEditor : public QTableWidget {
  Q_OBJECT

 public:
  explicit TValueListEditor(const QString& name, QWidget* parent = nullptr);

  // Whether the user edits keys (else the key column is fixed) and whether
  // rows can be added (Insert, Down on the last row) and deleted
  // (Ctrl+Delete).
  void SetKeysEditable(bool editable) { keysEditable_ = editable; }
  void SetRowsEditable(bool editable) { rowsEditable_ = editable; }
  bool KeysEditable() const { return keysEditable_; }
  bool RowsEditable() const { return rowsEditable_; }
  void SetKeyColumnWidth(int width);
  // The titles, key width and key options of another editor.
  void CopySetupFrom(const TValueListEditor& other);

  // Replaces every row; each row gets a value button when asked.
  void SetRows(const TEditorRows& rows, bool valueButtons);
  TEditorRows Rows() const;

  std::string KeyAt(int row) const;
  std::string ValueAt(int row) const;
  void SetKeyAt(int row, const std::string& key);
  void SetValueAt(int row, const std::string& value);
  void SetValueButton(int row, bool button);
  bool HasValueButton(int row) const;
  void SetPickList(int row, const QStringList& values);

  // Writes an open cell editor's text into its cell and closes it.
  void CommitEdits();

  // Appends a blank row and makes it current.
  int AddRow();
  void DeleteCurrentRow();

 signals:
  void valueButtonClicked(int row);
  // A key was released in the grid or in one of its cell editors.
  void keyReleased();
  // The user gave a row a key that another row has; the key was put back.
  void duplicateKey(const std::string& key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TValueCellDelegate;
  QTableWidgetItem* EnsureItem(int row, int column);
  void KeyEdited(QTableWidgetItem* cell);
  void WatchEditor(QWidget* editor);

  bool keysEditable_ = false;
  bool rowsEditable_ = false;
};

}  // namespace tessel
