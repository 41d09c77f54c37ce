#include "variant_editor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "database/column_reference.h"
#include "database/db_convert.h"
#include "database/db_tools.h"
#include "database/m_db_input.h"
#include "messages/cli_services.h"
#include "run/r_rivola.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::ui {

using input::ColumnRef;
using support::trim;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

const char* kElements = "tbl_rvldaten";
const char* kBase = "tbl_all";

// The groups of columns the table shows: the key columns always, then one group.
struct Group {
    const char* key;
    const char* de;
    const char* en;
};
const Group kGroups[] = {
    {"", "alle Spalten", "all columns"},
    {"links", "Verknüpfung", "links"},
    {"element", "Element", "element"},
    {"o1", "Profil oben 1", "upstream profile 1"},
    {"u1", "Profil unten 1", "downstream profile 1"},
    {"o2", "Profil oben 2", "upstream profile 2"},
    {"u2", "Profil unten 2", "downstream profile 2"},
    {"losses", "Einzelverluste", "single losses"},
    {"output", "Ausgabe", "output"},
    {"notes", "Erläuterungen", "explanations"},
};

double number(const std::optional<std::string>& v, double otherwise) {
    if (!v || trim(*v).empty()) return otherwise;
    return std::atof(v->c_str());
}

}  // namespace

// One cell changed (and back).
class CellChange : public QUndoCommand {
public:
    CellChange(VariantEditor* ed, Table& t, int row, int col, std::optional<std::string> after, const QString& what)
        : QUndoCommand(what), ed_(ed), t_(t), row_(row), col_(col),
          before_(t.rows[static_cast<size_t>(row)][static_cast<size_t>(col)]), after_(std::move(after)) {}
    void redo() override { put(after_); }
    void undo() override { put(before_); }

private:
    void put(const std::optional<std::string>& v) {
        t_.rows[static_cast<size_t>(row_)][static_cast<size_t>(col_)] = v;
        ed_->refreshAll();
    }
    VariantEditor* ed_;
    Table& t_;
    int row_, col_;
    std::optional<std::string> before_, after_;
};

// One row added at the end of the stored rows (and taken away again).
class RowInsert : public QUndoCommand {
public:
    RowInsert(VariantEditor* ed, Table& t, std::vector<std::optional<std::string>> row, const QString& what)
        : QUndoCommand(what), ed_(ed), t_(t), row_(std::move(row)) {}
    void redo() override {
        t_.rows.push_back(row_);
        ed_->refreshAll();
    }
    void undo() override {
        t_.rows.pop_back();
        ed_->refreshAll();
    }

private:
    VariantEditor* ed_;
    Table& t_;
    std::vector<std::optional<std::string>> row_;
};

// ---------------------------------------------------------------------------
// The model

int ElementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int ElementModel::columnCount(const QModelIndex& parent) const {
    const Table* t = editor_->elements();
    return parent.isValid() || !t ? 0 : static_cast<int>(t->cols.size());
}

int ElementModel::storedRow(int viewRow) const {
    return viewRow >= 0 && viewRow < static_cast<int>(order_.size()) ? order_[static_cast<size_t>(viewRow)] : -1;
}

int ElementModel::viewRow(int stored) const {
    const auto it = std::find(order_.begin(), order_.end(), stored);
    return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

void ElementModel::refresh() {
    beginResetModel();
    order_.clear();
    if (const Table* t = editor_->elements()) {
        const int er = editor_->column(*t, "er");
        for (size_t r = 0; r < t->rows.size(); ++r) order_.push_back(static_cast<int>(r));
        // flow order as the reader takes it: by er, no er first, equal er as stored
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            const auto& va = er >= 0 ? t->rows[static_cast<size_t>(a)][static_cast<size_t>(er)] : std::nullopt;
            const auto& vb = er >= 0 ? t->rows[static_cast<size_t>(b)][static_cast<size_t>(er)] : std::nullopt;
            return number(va, -1e300) < number(vb, -1e300);
        });
    }
    endResetModel();
}

QVariant ElementModel::data(const QModelIndex& index, int role) const {
    const Table* t = editor_->elements();
    const int row = storedRow(index.row());
    if (!t || row < 0) return {};
    const auto& v = t->rows[static_cast<size_t>(row)][static_cast<size_t>(index.column())];
    const ColumnRef* ref = input::find_column_ref(kElements, t->cols[static_cast<size_t>(index.column())].name);
    const char letter = editor_->letterOf(row);
    const int del = editor_->column(*t, "geloescht");
    const bool deleted = del >= 0 && number(t->rows[static_cast<size_t>(row)][static_cast<size_t>(del)], 0) != 0;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return v ? q(*v) : QString();
        case Qt::BackgroundRole:
            if (!(flags(index) & Qt::ItemIsEditable)) return QColor(232, 232, 232);
            return {};
        case Qt::ForegroundRole:
            if (deleted) return QColor(150, 150, 150);
            return {};
        case Qt::FontRole:
            if (deleted) {
                QFont f;
                f.setStrikeOut(true);
                return f;
            }
            return {};
        case Qt::ToolTipRole: {
            if (!ref) return {};
            QString tip = q(editor_->english() ? ref->en : ref->de);
            if (!ref->unit.empty()) tip += QStringLiteral(" [%1]").arg(q(ref->unit));
            if (letter != ' ' && input::column_required_for(*ref, letter))
                tip += editor_->tr2(" (erforderlich)", " (required)");
            if (letter != ' ' && !input::column_used_by(*ref, letter))
                tip += editor_->tr2(" - von diesem Elementtyp nicht gelesen", " - not read by this element type");
            return tip;
        }
        default: return {};
    }
}

QVariant ElementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const Table* t = editor_->elements();
    if (!t) return {};
    if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= static_cast<int>(t->cols.size())) return {};
    const std::string& name = t->cols[static_cast<size_t>(section)].name;
    if (role == Qt::DisplayRole) return q(name);
    if (role == Qt::ToolTipRole) {
        const ColumnRef* ref = input::find_column_ref(kElements, name);
        return ref ? q(editor_->english() ? ref->en : ref->de) : QVariant();
    }
    return {};
}

Qt::ItemFlags ElementModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const Table* t = editor_->elements();
    const int row = storedRow(index.row());
    if (!t || row < 0 || editor_->readOnly()) return f;
    const ColumnRef* ref = input::find_column_ref(kElements, t->cols[static_cast<size_t>(index.column())].name);
    if (!ref) return f;
    const char letter = editor_->letterOf(row);
    const bool keyColumn = ref->group == "key" || ref->name == "beschreibung";
    if (keyColumn || (letter != ' ' && input::column_used_by(*ref, letter))) f |= Qt::ItemIsEditable;
    return f;
}

bool ElementModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    Table* t = editor_->elements();
    const int row = storedRow(index.row());
    if (!t || row < 0) return false;
    std::optional<std::string> v;
    QString reason;
    if (!editor_->accept(*t, row, index.column(), value.toString().toStdString(), v, reason)) {
        editor_->tell(reason, true);
        return false;
    }
    if (v == t->rows[static_cast<size_t>(row)][static_cast<size_t>(index.column())]) return true;
    const std::string& name = t->cols[static_cast<size_t>(index.column())].name;
    editor_->change(*t, row, index.column(), v, q(name));
    return true;
}

// ---------------------------------------------------------------------------
// The editor

VariantEditor::VariantEditor(const std::string& path, const std::string& language, QWidget* parent)
    : QMainWindow(parent), english_(language.find("ENGL") != std::string::npos) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    undo_ = new QUndoStack(this);
    model_ = new ElementModel(this);
    buildWindow();
    load(path);
    resize(1100, 640);
}

QString VariantEditor::tr2(const char* de, const char* en) const {
    return QString::fromUtf8(english_ ? en : de);
}

bool VariantEditor::load(const std::string& path) {
    path_ = path;
    ctx_ = std::make_unique<RunContext>();
    ctx_->db.diagFile = QFileInfo(q(path)).absolutePath().toStdString() + "/DB_Fehler.pkl";
    if (english_) ctx_->db.lang = "US", ctx_->settings.language = "ENGLISH";
    std::string status;
    std::vector<Database> dbs;
    undo_->clear();
    open_ = input::read_variant_databases(*ctx_, path, dbs, status);
    dbs_ = open_ ? std::move(dbs) : std::vector<Database>(1);
    setWindowTitle(tr2("Variante bearbeiten - ", "Edit variant - ") + QFileInfo(q(path)).fileName());
    if (!open_) tell(q(status), true);
    else if (readOnly())
        tell(tr2("Access-Datei: nur lesbar. Zum Bearbeiten in eine SQLite-Datei umwandeln.",
                 "Access file: read-only. Convert it into an SQLite file to edit it."),
             false);
    else
        tell(QString(), false);
    banner_->setVisible(open_ && readOnly());
    for (QAction* a : editActions_) a->setEnabled(open_ && !readOnly());
    // the form of the base settings, one field per column of tbl_all
    auto* form = new QWidget;
    auto* layout = new QFormLayout(form);
    form_.clear();
    if (const Table* b = base()) {
        for (size_t c = 0; c < b->cols.size(); ++c) {
            const std::string& name = b->cols[c].name;
            auto* edit = new QLineEdit;
            edit->setObjectName(q("all_" + name));
            edit->setReadOnly(readOnly());
            if (const ColumnRef* ref = input::find_column_ref(kBase, name)) {
                edit->setToolTip(q(english_ ? ref->en : ref->de) + (ref->unit.empty() ? QString() : q(" [" + ref->unit + "]")));
            }
            connect(edit, &QLineEdit::editingFinished, this, [this, name, edit] {
                if (edit->text().toStdString() == baseSetting(name)) return;
                if (!setBaseSetting(name, edit->text().toStdString())) edit->setText(q(baseSetting(name)));
            });
            layout->addRow(q(name), edit);
            form_.emplace_back(name, edit);
        }
    }
    auto* scroll = static_cast<QScrollArea*>(tabs_->widget(0));
    delete scroll->takeWidget();
    scroll->setWidget(form);
    refreshAll();
    return open_;
}

void VariantEditor::buildWindow() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    banner_ = new QWidget(central);
    auto* bannerText = new QLabel(banner_);
    bannerText->setWordWrap(true);
    bannerText->setText(tr2("Diese Access-Datei ist nur lesbar.", "This Access file is read-only."));
    auto* bannerRow = new QHBoxLayout(banner_);
    auto* convert = new QPushButton(tr2("In bearbeitbare Datei umwandeln …", "Convert into an editable file …"));
    convert->setObjectName(QStringLiteral("convert"));
    bannerRow->addWidget(bannerText, 1);
    bannerRow->addWidget(convert);
    connect(convert, &QPushButton::clicked, this, [this] {
        std::string target;
        if (askConvertTarget) {
            target = askConvertTarget();
        } else {
            const QFileInfo f(q(path_));
            target = QFileDialog::getSaveFileName(this, tr2("Umwandeln nach", "Convert into"),
                                                  f.absolutePath() + "/" + f.completeBaseName() + "_neu.mdb",
                                                  tr2("Varianten (*.mdb)", "Variants (*.mdb)"))
                         .toStdString();
        }
        if (!target.empty()) convertTo(target);
    });
    outer->addWidget(banner_);
    tabs_ = new QTabWidget(central);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    tabs_->addTab(scroll, tr2("Grundeinstellungen", "Base settings"));
    auto* elements = new QWidget;
    auto* el = new QVBoxLayout(elements);
    auto* groupRow = new QHBoxLayout;
    group_ = new QComboBox;
    for (const Group& g : kGroups) group_->addItem(QString::fromUtf8(english_ ? g.en : g.de));
    groupRow->addWidget(new QLabel(tr2("Spalten:", "Columns:")));
    groupRow->addWidget(group_);
    groupRow->addStretch(1);
    el->addLayout(groupRow);
    auto* split = new QSplitter(Qt::Vertical);
    view_ = new QTableView;
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->horizontalHeader()->setDefaultSectionSize(78);
    split->addWidget(view_);
    checks_ = new QListWidget;
    checks_->setFont(QFont(QStringLiteral("Monospace")));
    split->addWidget(checks_);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    el->addWidget(split);
    tabs_->addTab(elements, tr2("Elemente", "Elements"));
    tabs_->setCurrentIndex(1);
    outer->addWidget(tabs_);
    message_ = new QLabel(central);
    message_->setWordWrap(true);
    outer->addWidget(message_);
    setCentralWidget(central);
    connect(group_, &QComboBox::currentIndexChanged, this, [this](int g) { showGroup(g); });
    connect(checks_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int stored = item->data(Qt::UserRole).toInt();
        const int row = model_->viewRow(stored);
        if (row >= 0) view_->selectRow(row);
    });
    connect(checks_, &QListWidget::itemClicked, checks_, &QListWidget::itemActivated);

    // the commands, in a menu and a tool bar, with their keys
    QMenu* edit = menuBar()->addMenu(tr2("&Bearbeiten", "&Edit"));
    QToolBar* bar = addToolBar(tr2("Bearbeiten", "Edit"));
    auto command = [&](const QString& text, const QKeySequence& key, std::function<void()> f, bool edits) {
        QAction* a = edit->addAction(text);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, f);
        bar->addAction(a);
        if (edits) editActions_.push_back(a);
        return a;
    };
    auto selected = [this] {
        const auto rows = view_->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    };
    command(tr2("&Speichern", "&Save"), QKeySequence::Save, [this] { save(); }, true);
    QAction* undo = undo_->createUndoAction(this, tr2("&Rückgängig", "&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undo_->createRedoAction(this, tr2("&Wiederholen", "&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    bar->addAction(undo);
    bar->addAction(redo);
    command(tr2("Element &hinzufügen …", "&Add element …"), QKeySequence(Qt::CTRL | Qt::Key_N), [this, selected] {
        QStringList types;
        for (const input::ElementType& t : input::element_types())
            types << QStringLiteral("%1: %2").arg(QChar(t.letter)).arg(QString::fromUtf8(english_ ? t.en : t.de));
        bool ok = false;
        const QString t = QInputDialog::getItem(this, tr2("Element hinzufügen", "Add element"),
                                                tr2("Elementtyp:", "Element type:"), types, 0, false, &ok);
        if (ok && !t.isEmpty()) addElement(t.at(0).toLatin1(), selected());
    }, true);
    command(tr2("Element &kopieren", "&Copy element"), QKeySequence(Qt::CTRL | Qt::Key_D),
            [this, selected] { copyElement(selected()); }, true);
    command(tr2("Element &löschen (Löschkennung)", "&Delete element (deletion mark)"), QKeySequence::Delete,
            [this, selected] { deleteElement(selected()); }, true);
    command(tr2("Nach &oben", "Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up),
            [this, selected] { moveElement(selected(), -1); }, true);
    command(tr2("Nach &unten", "Move do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down),
            [this, selected] { moveElement(selected(), 1); }, true);
    command(tr2("&Prüfen", "C&heck"), QKeySequence(Qt::Key_F5), [this] { check(); }, false);
    connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        setWindowTitle(tr2("Variante bearbeiten - ", "Edit variant - ") + QFileInfo(q(path_)).fileName() +
                       (clean ? QString() : QStringLiteral(" *")));
    });
}

void VariantEditor::showGroup(int g) {
    const Table* t = elements();
    if (!t || g < 0 || g >= static_cast<int>(std::size(kGroups))) return;
    const std::string key = kGroups[g].key;
    for (size_t c = 0; c < t->cols.size(); ++c) {
        const ColumnRef* ref = input::find_column_ref(kElements, t->cols[c].name);
        const bool always = !ref || ref->name == "bez" || ref->name == "er";
        view_->setColumnHidden(static_cast<int>(c), !(key.empty() || always || (ref && ref->group == key)));
    }
}

void VariantEditor::refreshAll() {
    const int selected = view_->selectionModel() && !view_->selectionModel()->selectedRows().isEmpty()
                             ? model_->storedRow(view_->selectionModel()->selectedRows().front().row())
                             : -1;
    model_->refresh();
    showGroup(group_->currentIndex());
    if (selected >= 0 && model_->viewRow(selected) >= 0) view_->selectRow(model_->viewRow(selected));
    for (auto& [name, edit] : form_) edit->setText(q(baseSetting(name)));
}

void VariantEditor::tell(const QString& text, bool error) {
    message_->setText(text);
    message_->setStyleSheet(error ? QStringLiteral("color: #b00020;") : QString());
}

QString VariantEditor::message() const { return message_->text(); }

bool VariantEditor::modified() const { return !undo_->isClean(); }

Table* VariantEditor::elements() {
    for (Table& t : dbs_.front().tables)
        if (support::upper(t.name) == "TBL_RVLDATEN") return &t;
    return nullptr;
}
const Table* VariantEditor::elements() const { return const_cast<VariantEditor*>(this)->elements(); }

Table* VariantEditor::base() {
    for (Table& t : dbs_.front().tables)
        if (support::upper(t.name) == "TBL_ALL") return &t;
    return nullptr;
}

int VariantEditor::column(const Table& t, const std::string& name) const { return input::find_column(t, name); }

char VariantEditor::letterOf(int stored) const {
    const Table* t = elements();
    const int b = t ? column(*t, "bez") : -1;
    if (b < 0 || stored < 0) return ' ';
    const auto& v = t->rows[static_cast<size_t>(stored)][static_cast<size_t>(b)];
    const std::string name = v ? trim(*v) : "";
    if (name.empty() || name.rfind("C_", 0) == 0 || !input::element_type(name[0])) return ' ';
    return name[0];
}

std::set<std::string> VariantEditor::liveNames() const {
    std::set<std::string> names;
    for (const Database& db : dbs_) {
        for (const Table& t : db.tables) {
            if (support::upper(t.name) != "TBL_RVLDATEN") continue;
            const int b = column(t, "bez"), d = column(t, "geloescht");
            for (const auto& row : t.rows) {
                if (d >= 0 && number(row[static_cast<size_t>(d)], 0) != 0) continue;
                if (b >= 0 && row[static_cast<size_t>(b)]) names.insert(trim(*row[static_cast<size_t>(b)]));
            }
        }
    }
    return names;
}

int VariantEditor::rowOf(const std::string& bez) const {
    const Table* t = elements();
    const int b = t ? column(*t, "bez") : -1;
    if (b < 0) return -1;
    for (size_t r = 0; r < t->rows.size(); ++r)
        if (t->rows[r][static_cast<size_t>(b)] && trim(*t->rows[r][static_cast<size_t>(b)]) == bez)
            return static_cast<int>(r);
    return -1;
}

bool VariantEditor::accept(const Table& t, int row, int col, const std::string& text,
                           std::optional<std::string>& value, QString& reason) const {
    const std::string& name = t.cols[static_cast<size_t>(col)].name;
    const bool isElements = support::upper(t.name) == "TBL_RVLDATEN";
    const ColumnRef* ref = input::find_column_ref(t.name, name);
    if (!ref) {
        reason = tr2("Diese Spalte kennt RIVOLA nicht.", "RIVOLA does not know this column.");
        return false;
    }
    char letter = isElements ? letterOf(row) : ' ';
    if (isElements && name == "bez") letter = text.empty() ? ' ' : text[0];
    const bool required =
        isElements ? (name == "bez" || name == "er" || (letter != ' ' && input::column_required_for(*ref, letter)))
                   : ref->required == "*";
    std::string v, why;
    if (!input::check_cell(*ref, text, required, english_, v, why)) {
        reason = q(name + " = \"" + text + "\": " + why);
        return false;
    }
    const std::string n = trim(v);
    if (isElements && name == "bez") {
        if (n.rfind("C_", 0) != 0 && !input::element_type(n.empty() ? ' ' : n[0])) {
            reason = q("bez = \"" + text + "\": ") + tr2("unbekannter Elementtyp", "unknown element type");
            return false;
        }
        const int other = rowOf(n);
        if (other >= 0 && other != row) {
            reason = q("bez = \"" + text + "\": ") + tr2("dieser Name ist schon vergeben", "this name is taken");
            return false;
        }
    }
    if (isElements && ref->group == "links" && !n.empty() && !(n == "ENDE" && name[0] == 'a') && n[0] != '-' &&
        n[0] != '+' && !liveNames().count(n)) {
        reason = q(name + " = \"" + text + "\": ") + tr2("kein Element dieses Namens", "no element of this name");
        return false;
    }
    value.reset();
    if (!v.empty()) value = v;
    return true;
}

void VariantEditor::change(Table& t, int row, int col, const std::optional<std::string>& value, const QString& what) {
    undo_->push(new CellChange(this, t, row, col, value, what));
    tell(QString(), false);
}

std::string VariantEditor::cell(const std::string& bez, const std::string& name) const {
    const Table* t = elements();
    const int r = rowOf(bez), c = t ? column(*t, name) : -1;
    if (r < 0 || c < 0) return {};
    const auto& v = t->rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
    return v ? *v : std::string();
}

bool VariantEditor::setCell(const std::string& bez, const std::string& name, const std::string& text) {
    const Table* t = elements();
    const int r = rowOf(bez), c = t ? column(*t, name) : -1;
    if (r < 0 || c < 0) {
        tell(q(bez + "." + name) + tr2(": nicht vorhanden", ": not there"), true);
        return false;
    }
    const QModelIndex index = model_->index(model_->viewRow(r), c);
    if (!(model_->flags(index) & Qt::ItemIsEditable)) {
        tell(q(name) + tr2(" wird von diesem Elementtyp nicht gelesen", " is not read by this element type"), true);
        return false;
    }
    return model_->setData(index, q(text), Qt::EditRole);
}

std::string VariantEditor::baseSetting(const std::string& name) const {
    const Table* b = const_cast<VariantEditor*>(this)->base();
    const int c = b ? column(*b, name) : -1;
    if (c < 0 || b->rows.empty() || !b->rows[0][static_cast<size_t>(c)]) return {};
    return *b->rows[0][static_cast<size_t>(c)];
}

bool VariantEditor::setBaseSetting(const std::string& name, const std::string& text) {
    Table* b = base();
    const int c = b ? column(*b, name) : -1;
    if (c < 0 || readOnly()) return false;
    std::optional<std::string> v;
    QString reason;
    if (!accept(*b, 0, c, text, v, reason)) {
        tell(reason, true);
        return false;
    }
    if (b->rows.empty()) {
        // the reader takes the first row of tbl_all: one is made for the first setting
        undo_->beginMacro(q(name));
        undo_->push(new RowInsert(this, *b, std::vector<std::optional<std::string>>(b->cols.size()), q(name)));
        change(*b, 0, c, v, q(name));
        undo_->endMacro();
    } else if (b->rows[0][static_cast<size_t>(c)] != v) {
        change(*b, 0, c, v, q(name));
    }
    return true;
}

std::string VariantEditor::freeName(char letter) const {
    const std::set<std::string> taken = [this] {
        std::set<std::string> s;
        const Table* t = elements();
        const int b = t ? column(*t, "bez") : -1;
        if (b >= 0)
            for (const auto& row : t->rows)
                if (row[static_cast<size_t>(b)]) s.insert(trim(*row[static_cast<size_t>(b)]));
        return s;
    }();
    for (int k = 1;; ++k) {
        const std::string n = std::string(1, letter) + std::to_string(k);
        if (!taken.count(n)) return n;
    }
}

void VariantEditor::addElement(char letter, int afterRow) {
    Table* t = elements();
    if (!t || readOnly() || !input::element_type(letter)) return;
    const int er = column(*t, "er"), id = column(*t, "id"), bez = column(*t, "bez"), zu = column(*t, "zulauf1");
    if (er < 0 || bez < 0) return;
    const std::string name = freeName(letter);
    undo_->beginMacro(tr2("Element ", "element ") + q(name));
    // the flow order number between the row and the next; the rows are
    // numbered 10, 20, ... first when there is no room between them
    auto erOf = [&](int viewRow) {
        const int s = model_->storedRow(viewRow);
        return s < 0 ? 0.0 : number(t->rows[static_cast<size_t>(s)][static_cast<size_t>(er)], 0);
    };
    const int n = model_->rowCount();
    if (afterRow < 0 || afterRow >= n) afterRow = n - 1;
    double a = afterRow >= 0 ? erOf(afterRow) : 0, b = afterRow + 1 < n ? erOf(afterRow + 1) : a + 20;
    if (b - a < 2) {
        std::vector<int> order = model_->order_;
        for (size_t k = 0; k < order.size(); ++k)
            if (number(t->rows[static_cast<size_t>(order[k])][static_cast<size_t>(er)], -1) != 10.0 * (k + 1))
                undo_->push(new CellChange(this, *t, order[k], er, std::to_string(10 * (k + 1)), QStringLiteral("er")));
        a = 10.0 * (afterRow + 1);
        b = a + 10;
    }
    std::vector<std::optional<std::string>> row(t->cols.size());
    row[static_cast<size_t>(er)] = std::to_string(static_cast<long long>((a + b) / 2));
    row[static_cast<size_t>(bez)] = name;
    if (id >= 0) {
        long long top = 0;
        for (const auto& r : t->rows) top = std::max(top, static_cast<long long>(number(r[static_cast<size_t>(id)], 0)));
        row[static_cast<size_t>(id)] = std::to_string(top + 1);
    }
    const int prev = model_->storedRow(afterRow);
    if (zu >= 0 && prev >= 0 && t->rows[static_cast<size_t>(prev)][static_cast<size_t>(bez)])
        row[static_cast<size_t>(zu)] = t->rows[static_cast<size_t>(prev)][static_cast<size_t>(bez)];
    undo_->push(new RowInsert(this, *t, row, q(name)));
    undo_->endMacro();
    view_->selectRow(model_->viewRow(static_cast<int>(t->rows.size()) - 1));
    tell(tr2("Neues Element ", "New element ") + q(name), false);
}

void VariantEditor::copyElement(int viewRow) {
    Table* t = elements();
    const int s = model_->storedRow(viewRow);
    if (!t || s < 0 || readOnly()) return;
    const char letter = letterOf(s);
    if (letter == ' ') return;
    const std::vector<std::optional<std::string>> source = t->rows[static_cast<size_t>(s)];
    addElement(letter, viewRow);
    // the new row takes every value of the copied one but its name, order and identity
    undo_->beginMacro(tr2("Kopie", "copy"));
    const int added = static_cast<int>(t->rows.size()) - 1;
    for (size_t c = 0; c < t->cols.size(); ++c) {
        const std::string& name = t->cols[c].name;
        if (name == "bez" || name == "er" || name == "id") continue;
        if (t->rows[static_cast<size_t>(added)][c] != source[c])
            undo_->push(new CellChange(this, *t, added, static_cast<int>(c), source[c], q(name)));
    }
    undo_->endMacro();
}

void VariantEditor::deleteElement(int viewRow) {
    Table* t = elements();
    const int s = model_->storedRow(viewRow);
    const int d = t ? column(*t, "geloescht") : -1;
    if (s < 0 || d < 0 || readOnly()) return;
    change(*t, s, d, std::string("1"), tr2("löschen", "delete"));
    tell(tr2("Das Element ist als gelöscht markiert (geloescht = 1); Rückgängig oder 0 holt es zurück.",
             "The element is marked deleted (geloescht = 1); undo or 0 brings it back."),
         false);
}

void VariantEditor::moveElement(int viewRow, int by) {
    Table* t = elements();
    const int er = t ? column(*t, "er") : -1;
    const int other = viewRow + by;
    if (er < 0 || readOnly() || viewRow < 0 || other < 0 || other >= model_->rowCount()) return;
    const int a = model_->storedRow(viewRow), b = model_->storedRow(other);
    undo_->beginMacro(tr2("verschieben", "move"));
    std::optional<std::string> ea = t->rows[static_cast<size_t>(a)][static_cast<size_t>(er)];
    std::optional<std::string> eb = t->rows[static_cast<size_t>(b)][static_cast<size_t>(er)];
    if (number(ea, -1) == number(eb, -1)) {   // no order between them yet: number the rows first
        std::vector<int> order = model_->order_;
        for (size_t k = 0; k < order.size(); ++k)
            undo_->push(new CellChange(this, *t, order[k], er, std::to_string(10 * (k + 1)), QStringLiteral("er")));
        ea = t->rows[static_cast<size_t>(a)][static_cast<size_t>(er)];
        eb = t->rows[static_cast<size_t>(b)][static_cast<size_t>(er)];
    }
    undo_->push(new CellChange(this, *t, a, er, eb, QStringLiteral("er")));
    undo_->push(new CellChange(this, *t, b, er, ea, QStringLiteral("er")));
    undo_->endMacro();
    view_->selectRow(model_->viewRow(a));
}

void VariantEditor::undo() { undo_->undo(); }
void VariantEditor::redo() { undo_->redo(); }

bool VariantEditor::save() {
    if (!open_ || readOnly()) return false;
    std::string status;
    if (!input::save_database(*ctx_, dbs_.front(), path_, status)) {
        tell(tr2("Nicht gespeichert: ", "Not saved: ") + q(status), true);
        return false;
    }
    undo_->setClean();
    tell(tr2("Gespeichert: ", "Saved: ") + q(path_), false);
    return true;
}

int VariantEditor::check() {
    checks_->clear();
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString() + "/";
    const std::string stem = QFileInfo(q(path_)).completeBaseName().toStdString();
    const std::string variant = d + stem + ".mdb";
    RunContext ctx;
    ctx.db.diagFile = d + "DB_Fehler.pkl";
    std::string status = "ok", results;
    input::write_database(ctx, dbs_.front(), variant, status);
    for (size_t k = 1; k < dbs_.size() && status == "ok"; ++k)
        input::write_database(ctx, dbs_[k], input::component_file(variant, dbs_[k].component), status);
    if (status == "ok") input::db_new_results(ctx, dir.path().toStdString(), results, status);
    if (status != "ok") {
        tell(tr2("Prüfung nicht möglich: ", "Cannot check: ") + q(status), true);
        return 3;
    }
    // the checks alone, on the edited data, with the dialogs answered "no"
    std::ostringstream out, err;
    CliServices services(false, out, err);
    RunContext run;
    run.ui = &services;
    run.db.diagFile = ctx.db.diagFile;
    run.run.params = {variant, "SIM=N"};
    if (english_) {
        run.run.params.push_back("ENGLISH");
        run.settings.language = "ENGLISH";
    }
    run.run.drawing = false;
    run::r_rivola(run, 1);
    const int ierr = run.run.ierr;
    // each line of the check list; a line naming an element leads to its row
    const std::set<std::string> names = liveNames();
    int current = -1;
    std::istringstream list(support::file_exists(d + stem + ".pkl") ? [&] {
        std::ostringstream s;
        std::ifstream in(d + stem + ".pkl");
        s << in.rdbuf();
        return s.str();
    }() : std::string());
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line[0] != ' ') current = -1;   // a new message begins
        std::string token;
        for (char& c : line) token += (c == ':' || c == ',' || c == '"' || c == '(' || c == ')') ? ' ' : c;
        std::istringstream words(token);
        for (std::string w; words >> w;)
            if (names.count(w) && rowOf(w) >= 0) current = rowOf(w);
        auto* item = new QListWidgetItem(QString::fromUtf8(line.c_str()), checks_);
        item->setData(Qt::UserRole, current);
        if (current >= 0) item->setToolTip(tr2("Klicken: zum Element", "Click: go to the element"));
    }
    if (checks_->count() == 0)
        new QListWidgetItem(ierr == 0 ? tr2("Keine Meldung: die Daten sind vollständig und stimmig.",
                                            "No message: the data are complete and consistent.")
                                      : tr2("Kein Prüfprotokoll entstanden.", "No check list was written."),
                            checks_);
    tell(ierr >= 2   ? tr2("Prüfung: Fehler gefunden.", "Check: errors found.")
         : ierr == 1 ? tr2("Prüfung: nur Warnungen.", "Check: warnings only.")
                     : tr2("Prüfung: keine Meldung.", "Check: no message."),
         ierr >= 2);
    return ierr;
}

bool VariantEditor::convertTo(const std::string& target) {
    std::vector<std::string> written;
    std::string status;
    input::db_convert_variant(*ctx_, path_, target, false, written, status);
    if (status != "ok") {
        tell(tr2("Nicht umgewandelt: ", "Not converted: ") + q(status), true);
        return false;
    }
    return load(target);
}

void VariantEditor::closeEvent(QCloseEvent* event) {
    if (!modified()) return event->accept();
    int answer = 2;
    if (askUnsaved) {
        answer = askUnsaved();
    } else {
        const auto b = QMessageBox::question(
            this, windowTitle(), tr2("Die Änderungen sind nicht gespeichert. Speichern?",
                                     "The changes are not saved. Save them?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        answer = b == QMessageBox::Save ? 0 : b == QMessageBox::Discard ? 1 : 2;
    }
    if (answer == 0 && !save()) answer = 2;
    if (answer == 2) return event->ignore();
    undo_->clear();
    event->accept();
}

}  // namespace rivola::ui
