// The profile drawing painted in the desktop program: the painted lines lie
// where the drawing's shapes put them, in their colours.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "profile_view.h"
#include "text_windows.h"
#include "model/context.h"
#include "output/output_plant.h"

using namespace rivola;

namespace {

// A page of 1000 x 500 with two panels side by side, each with a title and
// a water level line.
output::ProfileDrawing two_panels() {
    output::ProfileDrawing d;
    d.width = 1000, d.height = 500;
    for (int k = 0; k < 2; ++k) {
        output::Shape title, wsp;
        title.kind = output::Shape::Kind::Text, title.pts = {{20.0 + 500 * k, 30}};
        title.text = k == 0 ? "Hauptstrang" : "Strang 2 <Ablauf & Rücklauf>";
        title.role = "panel-title", title.panel = k;
        wsp.pts = {{20.0 + 500 * k, 200}, {480.0 + 500 * k, 220}};
        wsp.stroke = "#0000ff", wsp.role = "wsp", wsp.panel = k;
        d.shapes.insert(d.shapes.end(), {title, wsp});
    }
    return d;
}

}  // namespace

TEST(ProfileView, PaintsTheLinesOfTheDrawingInTheirColours) {
    // two flumes of 50 m, each falling 0.1 m, 0.5 m deep
    RunContext ctx;
    test::elements(ctx.plant, {{"G1", T_G}, {"G2", T_G}});
    test::link_line(ctx.plant);
    for (int i = 1; i <= 2; ++i) {
        Element& e = ctx.plant.el[i];
        const float z = 100.1f - 0.1f * static_cast<float>(i);   // at the inlet end
        e.flaenge = 50.0f * static_cast<float>(i - 1), e.L = 50.0f;
        test::result(e, 2, 0.1f, z, 0.5f, 0.5f, 0.2f, 0.55f, 0.0f);
        test::result(e, 1, 0.1f, z - 0.1f, 0.5f, 0.5f, 0.2f, 0.55f, 0.0f);
        e.prof[kProfUp] = test::rect(z, 1.0f, 1.0f), e.prof[kProfDown] = test::rect(z - 0.1f, 1.0f, 1.0f);
    }
    const output::ProfileDrawing d = output::profile_drawing(ctx);

    QImage img(static_cast<int>(d.width), static_cast<int>(d.height), QImage::Format_RGB32);
    QPainter painter(&img);
    ui::paint_drawing(painter, d);
    painter.end();
    // The middle of each element's water level and invert line.
    int checked = 0;
    for (const auto& s : d.shapes) {
        if (s.isys == 0 || (s.role != "wsp" && s.role != "invert")) continue;
        const int x = static_cast<int>(std::lround((s.pts[0].x + s.pts[1].x) / 2));
        const int y = static_cast<int>(std::lround((s.pts[0].y + s.pts[1].y) / 2));
        const QColor want(QString::fromStdString(s.stroke));
        // the darkest pixel within one pixel of the line's middle
        QColor got = img.pixelColor(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            if (img.pixelColor(x, y + dy).lightness() < got.lightness()) got = img.pixelColor(x, y + dy);
        EXPECT_LT(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                      std::abs(got.blue() - want.blue()),
                  90)
            << s.role << " of " << s.isys << " at " << x << "," << y;
        ++checked;
    }
    EXPECT_EQ(checked, 4);

    ui::ProfileView view;
    view.setDrawing(d);
    EXPECT_EQ(view.size(), QSize(static_cast<int>(std::ceil(d.width)), static_cast<int>(std::ceil(d.height))));
}

TEST(ProfileView, ZoomScalesTheWidgetWithinItsLimitsAndFitsTheScrollArea) {
    ui::ProfileView view;
    view.setDrawing(two_panels());
    struct Case { double zoom; QSize size; } cases[] = {
        {2.0, {2000, 1000}}, {0.5, {500, 250}}, {100.0, {8000, 4000}}, {0.001, {20, 10}}};
    for (const auto& c : cases) {
        view.setZoom(c.zoom);
        EXPECT_EQ(view.size(), c.size) << c.zoom;
    }
    view.setZoom(1.0);
    view.zoomIn();
    EXPECT_DOUBLE_EQ(view.zoom(), ui::ProfileView::kZoomStep);
    view.zoomOut();
    view.zoomOut();
    EXPECT_DOUBLE_EQ(view.zoom(), 1.0 / ui::ProfileView::kZoomStep);

    for (QSize area : {QSize(300, 400), QSize(1600, 300)}) {
        QScrollArea scroll;
        auto* fitted = new ui::ProfileView;
        fitted->setDrawing(two_panels());
        scroll.setWidget(fitted);
        scroll.resize(area);
        scroll.show();
        fitted->fitToWindow();
        const QSize room = scroll.maximumViewportSize();
        EXPECT_TRUE(fitted->width() <= room.width() && fitted->height() <= room.height()) << area.width();
        // one side fills the room
        EXPECT_TRUE(fitted->width() >= room.width() - 1 || fitted->height() >= room.height() - 1);
        EXPECT_EQ(fitted->strandNames(), QStringList({"Hauptstrang", "Strang 2 <Ablauf & Rücklauf>"}));
    }
}

TEST(ProfileView, ShowStrandScrollsItsPanelIntoView) {
    QScrollArea scroll;
    auto* view = new ui::ProfileView;
    view->setDrawing(two_panels());
    scroll.setWidget(view);
    scroll.resize(400, 600);
    scroll.show();
    view->showStrand(1);
    const int left = scroll.horizontalScrollBar()->value();
    EXPECT_TRUE(left <= 520 && left + scroll.viewport()->width() >= 700) << left;
    view->showStrand(0);
    EXPECT_LE(scroll.horizontalScrollBar()->value(), 20);
}

TEST(ProfileView, ExportsPdfAndSvgAndNamesTheFileItCannotWrite) {
    QTemporaryDir dir;
    ui::ProfileView view;
    view.setDrawing(two_panels());
    QString reason;
    const QString pdf = dir.filePath("profil.pdf"), svg = dir.filePath("profil.svg");
    ASSERT_TRUE(view.exportPdf(pdf, &reason)) << reason.toStdString();
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdfFile.read(4), QByteArray("%PDF"));

    ASSERT_TRUE(view.exportSvg(svg, &reason)) << reason.toStdString();
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svgFile);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const QString& name : view.strandNames()) EXPECT_TRUE(texts.contains(name)) << name.toStdString();

    const QString bad = dir.filePath("kein/ordner/profil.pdf");
    for (bool asPdf : {true, false}) {
        reason.clear();
        EXPECT_FALSE(asPdf ? view.exportPdf(bad, &reason) : view.exportSvg(bad, &reason));
        EXPECT_TRUE(reason.contains(bad)) << reason.toStdString();
    }
}

TEST(ListingsViewer, ShowsCsvAsTableAndTheDrawingInsteadOfSvgText) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("lauf.csv"), svg = dir.filePath("lauf_profile.svg");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Element;Bemerkung;h\nG1;\"Zulauf; offen\";0.5\nG2;\"sagt \"\"ja\"\"\";0.4\n");
        QFile g(svg);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("<svg/>");
    }
    const output::ProfileDrawing d = two_panels();
    for (const output::ProfileDrawing* drawing : {&d, static_cast<const output::ProfileDrawing*>(nullptr)}) {
        ui::ListingsViewer viewer({csv, svg}, "Listen", drawing);
        ASSERT_EQ(viewer.tabs()->count(), 2);
        auto* table = qobject_cast<QTableWidget*>(viewer.tabs()->widget(0));
        ASSERT_TRUE(table);
        ASSERT_EQ(std::pair(table->rowCount(), table->columnCount()), std::pair(2, 3));
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Bemerkung");
        EXPECT_EQ(QStringList({table->item(0, 1)->text(), table->item(1, 1)->text(), table->item(0, 2)->text()}),
                  QStringList({"Zulauf; offen", "sagt \"ja\"", "0.5"}));
        auto* scroll = qobject_cast<QScrollArea*>(viewer.tabs()->widget(1));
        EXPECT_EQ(scroll && qobject_cast<ui::ProfileView*>(scroll->widget()), drawing != nullptr);
    }
}
