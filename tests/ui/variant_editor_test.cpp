// The variant editor driven through the main window's menu on the example
// plant: an edit saved and found again after reopening, a refused entry with
// its message, columns a type does not read locked, undo, the check list
// leading to its row, closing with unsaved edits, a new variant from the
// template, and an Access file opened read-only and converted.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTableView>
#include <QItemSelectionModel>
#include <filesystem>

#include "variant_editor.h"
#include "window_fixture.h"

namespace fs = std::filesystem;
using namespace rivola;
using ui::VariantEditor;

namespace {

// The example plant as dir/anlage.mdb and a main window to edit it from.
struct Editor : uitest::Window {
    std::unique_ptr<ui::MainWindow> w;

    void SetUp() override {
        Window::SetUp();
        ASSERT_NO_FATAL_FAILURE(uitest::example_variant(dir, "anlage.mdb"));
        w = make({});
    }
    void TearDown() override {
        w.reset();
        Window::TearDown();
    }
    VariantEditor* open(const std::string& file, const QString& command = QStringLiteral("Variante &bearbeiten …")) {
        hook.fileToOpen = QString::fromStdString((dir / file).string());
        QAction* a = uitest::menu_action(*w, command);
        if (!a) return nullptr;
        a->trigger();
        return w->variantEditor();
    }
};

}  // namespace

TEST_F(Editor, EditSaveReopenRefuseUndoAndCheck) {
    VariantEditor* e = open("anlage.mdb");
    ASSERT_TRUE(e && e->isOpen()) << (e ? e->message().toStdString() : "no editor");
    EXPECT_FALSE(e->readOnly());
    // the elements in flow order
    ASSERT_EQ(e->model()->rowCount(), 4);
    const int bez = 3;
    EXPECT_EQ(e->model()->index(0, bez).data().toString(), "Q1");
    EXPECT_EQ(e->model()->index(3, bez).data().toString(), "G2");

    // a flume's length, saved and read again from the file
    ASSERT_TRUE(e->setCell("G1", "GEO_L", "25,5"));
    EXPECT_TRUE(e->modified());
    ASSERT_TRUE(e->save()) << e->message().toStdString();
    EXPECT_FALSE(e->modified());
    e->close();
    e = open("anlage.mdb");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->cell("G1", "GEO_L"), "25.5");

    // refused entries say why, and change nothing
    const struct {
        const char* bez;
        const char* column;
        const char* text;
        const char* message;
    } refused[] = {
        {"G1", "GEO_L", "lang", "GEO_L = \"lang\": keine Zahl"},
        {"G1", "zulauf1", "R9", "zulauf1 = \"R9\": kein Element dieses Namens"},
        {"G1", "bez", "G2", "bez = \"G2\": dieser Name ist schon vergeben"},
        {"G1", "HVE_mue", "0.6", "HVE_mue wird von diesem Elementtyp nicht gelesen"},  // a weir's column
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.text);
        EXPECT_FALSE(e->setCell(r.bez, r.column, r.text));
        EXPECT_EQ(e->message().toStdString(), r.message);
    }
    EXPECT_EQ(std::pair(e->modified(), e->cell("G1", "GEO_L")), std::pair(false, std::string("25.5")));

    // undo and redo of a change, an added element and a deletion mark
    ASSERT_TRUE(e->setCell("G1", "GEO_K", "60"));
    e->undo();
    EXPECT_EQ(e->cell("G1", "GEO_K"), "70");
    e->redo();
    EXPECT_EQ(e->cell("G1", "GEO_K"), "60");
    e->addElement('G', 2);   // after G1
    EXPECT_EQ(e->model()->rowCount(), 5);
    EXPECT_EQ(e->model()->index(3, bez).data().toString(), "G3");
    EXPECT_EQ(e->cell("G3", "zulauf1"), "G1");
    e->undo();
    EXPECT_EQ(e->model()->rowCount(), 4);
    e->moveElement(1, 1);   // R1 behind G1
    EXPECT_EQ(e->model()->index(1, bez).data().toString(), "G1");
    e->undo();
    EXPECT_EQ(e->model()->index(1, bez).data().toString(), "R1");

    // the check of the edited data: the screen R1 taken out leaves G1 without its inlet
    e->deleteElement(1);
    EXPECT_EQ(e->cell("R1", "geloescht"), "1");
    EXPECT_GE(e->check(), 2);
    int linked = -1;
    for (int k = 0; k < e->checkList()->count(); ++k)
        if (e->checkList()->item(k)->data(Qt::UserRole).toInt() >= 0 && linked < 0) linked = k;
    ASSERT_GE(linked, 0) << "no message leads to an element";
    emit e->checkList()->itemActivated(e->checkList()->item(linked));
    const auto rows = e->table()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_FALSE(e->model()->index(rows.front().row(), bez).data().toString().isEmpty());
    e->undo();
    EXPECT_EQ(e->cell("R1", "geloescht"), "");
    EXPECT_LE(e->check(), 1) << e->message().toStdString();

    // closing with unsaved edits asks; "stay" keeps the window, "discard" leaves the file
    int asked = 0;
    e->askUnsaved = [&] { return ++asked == 1 ? 2 : 1; };
    e->close();
    EXPECT_TRUE(e->isVisible());
    e->close();
    EXPECT_EQ(std::pair(e->isVisible(), asked), std::pair(false, 2));
    e = open("anlage.mdb");
    EXPECT_EQ(e->cell("G1", "GEO_K"), "70");
    EXPECT_FALSE(fs::exists(dir / "anlage.mdb.build"));
    e->close();
}

TEST_F(Editor, NewVariantFromTheTemplateAndAccessReadOnly) {
    VariantEditor* e = open("neu.mdb", QStringLiteral("&Neue Variante …"));
    ASSERT_TRUE(e && e->isOpen()) << (e ? e->message().toStdString() : "no editor");
    ASSERT_EQ(e->model()->rowCount(), 3);
    EXPECT_EQ(e->baseSetting("Titel"), "Neue Variante");
    EXPECT_EQ(e->check(), 0) << e->message().toStdString();   // inlet, flume and outlet compute cleanly
    e->close();

    fs::copy_file(std::string(RIVOLA_SOURCE_DIR) + "/tests/input/access/kleine_anlage.mdb", dir / "access.mdb");
    e = open("access.mdb");
    ASSERT_TRUE(e && e->isOpen()) << (e ? e->message().toStdString() : "no editor");
    // read-only: an entry and a save are refused (in this order)
    EXPECT_TRUE(e->readOnly() && !e->setCell("G1", "GEO_L", "30") && !e->save());
    ASSERT_TRUE(e->convertTo((dir / "editable.mdb").string())) << e->message().toStdString();
    EXPECT_TRUE(!e->readOnly() && e->setCell("G1", "GEO_L", "30") && e->save()) << e->message().toStdString();
    e->close();
}
