#include "profile_view.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPaintEvent>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace rivola::ui {

namespace {

QColor colour(const std::string& c) {
    if (c.empty() || c == "none") return Qt::transparent;
    return QColor(QString::fromStdString(c));
}

QPen pen_of(const output::Shape& s) {
    if (s.stroke.empty() || s.stroke == "none" || s.width <= 0.0) return Qt::NoPen;
    QPen pen(colour(s.stroke), s.width);
    pen.setCapStyle(Qt::FlatCap);
    if (!s.dash.empty()) {
        // SVG dashes are in page units, Qt's in pen widths.
        QVector<qreal> pattern;
        for (const auto& part : QString::fromStdString(s.dash).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            pattern << part.toDouble() / s.width;
        if (!pattern.isEmpty() && pattern.size() % 2 == 0) pen.setDashPattern(pattern);
    }
    return pen;
}

QPolygonF polygon_of(const output::Shape& s) {
    QPolygonF poly;
    for (const auto& p : s.pts) poly << QPointF(p.x, p.y);
    return poly;
}

// A rectangle that holds everything the shape paints.
QRectF reach(const output::Shape& s) {
    double x0 = s.pts[0].x, x1 = x0, y0 = s.pts[0].y, y1 = y0;
    for (const auto& p : s.pts) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    // a text may run its length in any direction from its anchor
    const double m = s.kind == output::Shape::Kind::Text
                         ? s.size * (static_cast<double>(s.text.size()) + 1.0)
                         : s.width + s.r + 2.0;
    return QRectF(QPointF(x0 - m, y0 - m), QPointF(x1 + m, y1 + m));
}

}  // namespace

void paint_drawing(QPainter& painter, const output::ProfileDrawing& d, const QRectF& area) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(area.isEmpty() ? QRectF(0, 0, d.width, d.height) : area, Qt::white);
    for (const auto& s : d.shapes) {
        if (s.pts.empty()) continue;
        if (!area.isEmpty() && !area.intersects(reach(s))) continue;
        const QPointF p0(s.pts[0].x, s.pts[0].y);
        switch (s.kind) {
            case output::Shape::Kind::Line:
                if (s.pts.size() < 2) break;
                painter.setPen(pen_of(s));
                painter.drawLine(p0, QPointF(s.pts[1].x, s.pts[1].y));
                break;
            case output::Shape::Kind::Polyline:
                painter.setPen(pen_of(s));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolyline(polygon_of(s));
                break;
            case output::Shape::Kind::Polygon:
                painter.setPen(pen_of(s));
                painter.setBrush(colour(s.fill));
                painter.drawPolygon(polygon_of(s));
                break;
            case output::Shape::Kind::Circle:
                painter.setPen(pen_of(s));
                painter.setBrush(colour(s.fill));
                painter.drawEllipse(p0, s.r, s.r);
                break;
            case output::Shape::Kind::Text: {
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setPixelSize(std::max(1, static_cast<int>(std::lround(s.size))));
                font.setBold(s.bold);
                painter.setFont(font);
                painter.setPen(colour(s.fill));
                const QString t = QString::fromStdString(s.text);
                const qreal w = QFontMetricsF(font).horizontalAdvance(t);
                const qreal dx = s.anchor == 0 ? -w / 2 : (s.anchor == 1 ? -w : 0.0);
                painter.save();
                painter.translate(p0);
                if (s.rotate != 0.0) painter.rotate(s.rotate);
                painter.drawText(QPointF(dx, 0.0), t);
                painter.restore();
                break;
            }
        }
    }
}

ProfileView::ProfileView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void ProfileView::setDrawing(output::ProfileDrawing drawing) {
    drawing_ = std::move(drawing);
    setFixedSize(sizeHint());
    update();
}

void ProfileView::clear() { setDrawing({}); }

QSize ProfileView::sizeHint() const {
    return QSize(static_cast<int>(std::ceil(drawing_.width)), static_cast<int>(std::ceil(drawing_.height)));
}

void ProfileView::paintEvent(QPaintEvent* event) {
    if (drawing_.shapes.empty()) return;
    QPainter painter(this);
    paint_drawing(painter, drawing_, QRectF(event->rect()));
}

}  // namespace rivola::ui
