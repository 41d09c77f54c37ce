// The profile drawing painted in the desktop program: the painted lines lie
// where the drawing's shapes put them, in their colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "profile_view.h"
#include "model/context.h"

using namespace rivola;

namespace {

void flume(Element& e, const char* name, float x, float L, float z1, float z2, float h) {
    e.bez = name;
    e.ityp = T_G;
    e.flaenge = x;
    e.L = L;
    e.istrang = 1;
    e.res[2].z = z1;
    e.res[1].z = z2;
    e.res[2].h = e.res[1].h = h;
    e.res[2].he = e.res[1].he = h + 0.05f;
    for (int k : {kProfUp, kProfDown}) {
        e.prof[k].Z = k == kProfUp ? z1 : z2;
        e.prof[k].n = 1;
        e.prof[k].H[1] = 1.0f;
    }
}

}  // namespace

TEST(ProfileView, PaintsTheLinesOfTheDrawingInTheirColours) {
    RunContext ctx;
    ctx.plant.resize(2);
    ctx.plant.nsys = 2;
    flume(ctx.plant.el[1], "G1", 0, 50, 100.0f, 99.9f, 0.5f);
    flume(ctx.plant.el[2], "G2", 50, 50, 99.9f, 99.8f, 0.5f);
    ctx.plant.el[1].iab[1] = 2;
    ctx.plant.el[2].izu[1] = 1;
    const output::ProfileDrawing d = output::profile_drawing(ctx);

    QImage img(static_cast<int>(d.width), static_cast<int>(d.height), QImage::Format_RGB32);
    {
        QPainter p(&img);
        ui::paint_drawing(p, d);
    }
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
