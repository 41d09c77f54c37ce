#include "profile_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
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
    setFocusPolicy(Qt::StrongFocus);
    auto make = [this](QList<QKeySequence> keys, auto slot) {
        auto* a = new QAction(this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        return a;
    };
    zoomInAction_ = make({QKeySequence(Qt::Key_Plus), QKeySequence::ZoomIn}, &ProfileView::zoomIn);
    zoomOutAction_ = make({QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut}, &ProfileView::zoomOut);
    fitAction_ = make({QKeySequence(Qt::Key_0), QKeySequence(Qt::Key_F)}, &ProfileView::fitToWindow);
    pdfAction_ = make({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}, [this] { saveWithDialog(true); });
    svgAction_ = make({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [this] { saveWithDialog(false); });
    printAction_ = make({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)}, &ProfileView::print);
    retranslate();
}

void ProfileView::setDrawing(output::ProfileDrawing drawing) {
    drawing_ = std::move(drawing);
    setFixedSize(sizeHint());
    update();
}

void ProfileView::clear() { setDrawing({}); }

QSize ProfileView::sizeHint() const {
    // a hair below the exact product, so that a fitted drawing does not
    // overrun the viewport by a rounding pixel
    return QSize(static_cast<int>(std::ceil(drawing_.width * zoom_ - 1e-3)),
                 static_cast<int>(std::ceil(drawing_.height * zoom_ - 1e-3)));
}

void ProfileView::setLanguage(bool english) {
    english_ = english;
    retranslate();
}

void ProfileView::retranslate() {
    zoomInAction_->setText(english_ ? QStringLiteral("Zoom in") : QStringLiteral("Vergrößern"));
    zoomOutAction_->setText(english_ ? QStringLiteral("Zoom out") : QStringLiteral("Verkleinern"));
    fitAction_->setText(english_ ? QStringLiteral("Fit to window") : QStringLiteral("Ganz zeigen"));
    pdfAction_->setText(english_ ? QStringLiteral("Save as PDF …") : QStringLiteral("Als PDF speichern …"));
    svgAction_->setText(english_ ? QStringLiteral("Save as SVG …") : QStringLiteral("Als SVG speichern …"));
    printAction_->setText(english_ ? QStringLiteral("Print …") : QStringLiteral("Drucken …"));
}

QScrollArea* ProfileView::scrollArea() const {
    // inside a scroll area the view's parent is the area's viewport
    return parentWidget() ? qobject_cast<QScrollArea*>(parentWidget()->parentWidget()) : nullptr;
}

QPointF ProfileView::visibleCentre() const {
    if (QScrollArea* area = scrollArea()) {
        const QWidget* port = area->viewport();
        return QPointF(mapFrom(port, QPoint(port->width() / 2, port->height() / 2)));
    }
    return QPointF(width() / 2.0, height() / 2.0);
}

void ProfileView::zoomAbout(double zoom, QPointF anchor) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    QScrollArea* area = scrollArea();
    // where the anchor lies in the viewport, and which page point it shows
    const QPointF inPort = area ? QPointF(mapTo(area->viewport(), anchor.toPoint())) : anchor;
    const QPointF page = anchor / zoom_;
    zoom_ = zoom;
    setFixedSize(sizeHint());
    if (area) {
        const QPointF want = page * zoom_ - inPort;
        area->horizontalScrollBar()->setValue(static_cast<int>(std::lround(want.x())));
        area->verticalScrollBar()->setValue(static_cast<int>(std::lround(want.y())));
    }
    update();
}

void ProfileView::setZoom(double zoom) { zoomAbout(zoom, visibleCentre()); }
void ProfileView::zoomIn() { setZoom(zoom_ * kZoomStep); }
void ProfileView::zoomOut() { setZoom(zoom_ / kZoomStep); }

void ProfileView::fitToWindow() {
    if (drawing_.width <= 0.0 || drawing_.height <= 0.0) return;
    QSize room = size();
    if (QScrollArea* area = scrollArea()) {
        // the room without scroll bars, since a fitted drawing needs none
        room = area->maximumViewportSize();
    }
    setZoom(std::min(room.width() / drawing_.width, room.height() / drawing_.height));
}

QRectF ProfileView::panelBox(int panel) const {
    QRectF box;
    for (const auto& s : drawing_.shapes) {
        if (s.panel != panel || s.pts.empty()) continue;
        if (s.kind != output::Shape::Kind::Text) box |= reach(s);
        // the title stands above the plot; of other texts only their lines count,
        // since reach() of a text is far wider than the text itself
        else if (s.role == "panel-title") box |= QRectF(s.pts[0].x, s.pts[0].y - s.size, s.size, s.size * 1.3);
    }
    return box;
}

QStringList ProfileView::strandNames() const {
    QStringList names;
    for (const auto& s : drawing_.shapes) {
        if (s.role != "panel-title" || s.panel < 0) continue;
        if (names.size() <= s.panel) names.resize(s.panel + 1);
        names[s.panel] = QString::fromStdString(s.text);
    }
    return names;
}

void ProfileView::showStrand(int index) {
    const QRectF box = panelBox(index);
    QScrollArea* area = scrollArea();
    if (box.isEmpty() || !area) return;
    const QRectF shown(box.topLeft() * zoom_, box.size() * zoom_);
    // the far corner first, then the near one, so that the panel's top left
    // corner is always shown and as much of the rest as the viewport holds
    area->ensureVisible(static_cast<int>(shown.right()), static_cast<int>(shown.bottom()), 0, 0);
    area->ensureVisible(static_cast<int>(shown.left()), static_cast<int>(shown.top()), 0, 0);
}

void ProfileView::renderOnPage(QPainter& painter) const {
    const QRect page = painter.viewport();
    const double scale = std::min(page.width() / drawing_.width, page.height() / drawing_.height);
    painter.translate((page.width() - drawing_.width * scale) / 2.0, (page.height() - drawing_.height * scale) / 2.0);
    painter.scale(scale, scale);
    paint_drawing(painter, drawing_);
}

QString ProfileView::nothingToSave(const QString& file) const {
    return english_ ? QStringLiteral("There is no profile drawing to save in %1.").arg(file)
                    : QStringLiteral("Es gibt keine Profilzeichnung, die in %1 gespeichert werden könnte.").arg(file);
}

bool ProfileView::exportPdf(const QString& file, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    if (empty()) return fail(nothingToSave(file));
    {
        // the printer's own failure says nothing of the cause
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly))
            return fail((english_ ? QStringLiteral("The file %1 cannot be written: %2")
                                  : QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2"))
                            .arg(file, probe.errorString()));
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return fail((english_ ? QStringLiteral("The file %1 cannot be written.")
                              : QStringLiteral("Die Datei %1 kann nicht geschrieben werden.")).arg(file));
    renderOnPage(painter);
    if (!painter.end())
        return fail((english_ ? QStringLiteral("Writing the file %1 failed.")
                              : QStringLiteral("Das Schreiben der Datei %1 ist fehlgeschlagen.")).arg(file));
    return true;
}

bool ProfileView::exportSvg(const QString& file, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    if (empty()) return fail(nothingToSave(file));
    // written beside and renamed at the end, so that a failed write keeps an older file whole
    QSaveFile out(file);
    const std::string svg = output::drawing_svg(drawing_);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(svg.data(), static_cast<qint64>(svg.size())) != static_cast<qint64>(svg.size()) || !out.commit())
        return fail((english_ ? QStringLiteral("The file %1 cannot be written: %2")
                              : QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2"))
                        .arg(file, out.errorString()));
    return true;
}

void ProfileView::print() {
    if (empty()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        QMessageBox::warning(this, QStringLiteral("RIVOLA"),
                             english_ ? QStringLiteral("The printer cannot be opened.")
                                      : QStringLiteral("Der Drucker kann nicht geöffnet werden."));
        return;
    }
    renderOnPage(painter);
}

void ProfileView::saveWithDialog(bool pdf) {
    if (empty()) return;
    const QString file = QFileDialog::getSaveFileName(
        this, pdf ? pdfAction_->text() : svgAction_->text(), QString(),
        pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("SVG (*.svg)"));
    if (file.isEmpty()) return;
    QString reason;
    if (!(pdf ? exportPdf(file, &reason) : exportSvg(file, &reason)))
        QMessageBox::warning(this, QStringLiteral("RIVOLA"), reason);
}

void ProfileView::paintEvent(QPaintEvent* event) {
    if (drawing_.shapes.empty()) return;
    QPainter painter(this);
    painter.scale(zoom_, zoom_);
    const QRectF r(event->rect());
    paint_drawing(painter, drawing_, QRectF(r.topLeft() / zoom_, r.size() / zoom_));
}

void ProfileView::wheelEvent(QWheelEvent* event) {
    // Ctrl + wheel zooms about the mouse; the plain wheel scrolls as everywhere else
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    const double steps = event->angleDelta().y() / 120.0;
    zoomAbout(zoom_ * std::pow(kZoomStep, steps), event->position());
    event->accept();
}

void ProfileView::mousePressEvent(QMouseEvent* event) {
    QScrollArea* area = scrollArea();
    if (event->button() != Qt::LeftButton || !area) return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragStart_ = event->globalPosition().toPoint();
    scrollStart_ = QPoint(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
    setCursor(Qt::ClosedHandCursor);
}

void ProfileView::mouseMoveEvent(QMouseEvent* event) {
    QScrollArea* area = scrollArea();
    if (!dragging_ || !area) return QWidget::mouseMoveEvent(event);
    const QPoint moved = event->globalPosition().toPoint() - dragStart_;
    area->horizontalScrollBar()->setValue(scrollStart_.x() - moved.x());
    area->verticalScrollBar()->setValue(scrollStart_.y() - moved.y());
}

void ProfileView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void ProfileView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(zoomInAction_);
    menu.addAction(zoomOutAction_);
    menu.addAction(fitAction_);
    // the index of the strands: each entry brings its panel into view
    const QStringList strands = strandNames();
    if (!strands.isEmpty()) {
        QMenu* index = menu.addMenu(english_ ? QStringLiteral("Show strand") : QStringLiteral("Strang zeigen"));
        for (int k = 0; k < strands.size(); ++k)
            connect(index->addAction(strands[k]), &QAction::triggered, this, [this, k] { showStrand(k); });
    }
    menu.addSeparator();
    menu.addAction(pdfAction_);
    menu.addAction(svgAction_);
    menu.addAction(printAction_);
    for (QAction* a : {pdfAction_, svgAction_, printAction_}) a->setEnabled(!empty());
    menu.exec(event->globalPos());
}

}  // namespace rivola::ui
