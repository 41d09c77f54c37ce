// The variant editor of the desktop program: the base settings (tbl_all) as
// a form and the elements (tbl_rvldaten) as a table in flow order, one row
// per element. Only the columns that a row's element type reads can be
// edited; every entry is checked against the column reference. Add, copy,
// delete (the row's deletion mark geloescht is set, the row stays and can be
// brought back with undo or by clearing the mark), move, undo and redo; save
// writes the whole file in one transaction beside the old one, which it
// replaces only when all is written; "Check" runs the checks alone on the
// edited data and lists the check list, each message leading to its row.
// Access files open read-only with the offer to convert them.
#pragma once

#include <memory>

#include <QAbstractTableModel>
#include <QMainWindow>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "database/db_tables.h"
#include "model/context.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTableView;
class QUndoStack;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace rivola::ui {

using input::Database;
using input::Table;

class VariantEditor;

// The elements of the open variant as a table model in flow order.
class ElementModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ElementModel(VariantEditor* editor) : editor_(editor) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Reorders the rows after a change of their flow order.
    void refresh();
    // The stored row of a row of the view, and back (-1 when none).
    int storedRow(int viewRow) const;
    int viewRow(int storedRow) const;

private:
    VariantEditor* editor_;
    std::vector<int> order_;   // stored rows in flow order
    friend class VariantEditor;
};

class VariantEditor : public QMainWindow {
    Q_OBJECT
public:
    VariantEditor(const std::string& path, const std::string& language, QWidget* parent = nullptr);

    // False when the file could not be read (the reason is in message()).
    bool isOpen() const { return open_; }
    bool readOnly() const { return dbs_.front().readOnly; }
    bool modified() const;
    const std::string& path() const { return path_; }

    // A cell of the elements by the element's name; set as the user types it
    // (false when refused, the reason in message()).
    std::string cell(const std::string& bez, const std::string& column) const;
    bool setCell(const std::string& bez, const std::string& column, const std::string& text);
    bool setBaseSetting(const std::string& column, const std::string& text);
    std::string baseSetting(const std::string& column) const;

    // The editing commands; `row` is a row of the view (flow order).
    void addElement(char letter, int afterRow);
    void copyElement(int row);
    void deleteElement(int row);
    void moveElement(int row, int by);
    void undo();
    void redo();
    bool save();
    // Runs the checks alone on the edited data; the check list is then shown
    // in checkList(), each line that names an element leading to its row.
    int check();
    // Converts an Access file into a new SQLite file and opens that.
    bool convertTo(const std::string& target);

    // A free name for a new element of this type ("G3" after G1, G2).
    std::string freeName(char letter) const;
    QString message() const;
    QTableView* table() const { return view_; }
    QListWidget* checkList() const { return checks_; }
    ElementModel* model() const { return model_; }
    // Asked when the window closes with unsaved edits: 0 save, 1 discard, 2 stay.
    // Unset: a message box asks.
    std::function<int()> askUnsaved;
    // Asked for the target of an Access conversion ("" = cancel). Unset: a file dialog.
    std::function<std::string()> askConvertTarget;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class ElementModel;
    friend class CellChange;
    friend class RowInsert;

    bool load(const std::string& path);
    void buildWindow();
    void refreshAll();
    void tell(const QString& text, bool error);
    Table* elements();
    Table* base();
    const Table* elements() const;
    int column(const Table& t, const std::string& name) const;
    int rowOf(const std::string& bez) const;
    char letterOf(int storedRow) const;
    std::set<std::string> liveNames() const;
    // Checks a new value for a cell; the stored text or the reason.
    bool accept(const Table& t, int row, int col, const std::string& text, std::optional<std::string>& value,
                QString& reason) const;
    void change(Table& t, int row, int col, const std::optional<std::string>& value, const QString& what);
    void showGroup(int group);
    bool english() const { return english_; }
    QString tr2(const char* de, const char* en) const;

    std::string path_;
    bool english_ = false;
    bool open_ = false;
    std::vector<Database> dbs_{1};  // the variant and its components (for link names)
    std::unique_ptr<RunContext> ctx_;  // database diagnostics of the editor
    ElementModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QListWidget* checks_ = nullptr;
    QUndoStack* undo_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* banner_ = nullptr;    // the read-only note with the offer to convert
    QComboBox* group_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<std::pair<std::string, QLineEdit*>> form_;
    std::vector<QAction*> editActions_;
};

}  // namespace rivola::ui
