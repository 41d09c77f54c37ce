// The hydraulic profile drawing of the last run inside the desktop program:
// the same shapes that the SVG file holds, painted with QPainter, at a zoom
// the user chooses, with a jump to each strand's panel, printing and export.
#pragma once

#include <QPoint>
#include <QRectF>
#include <QStringList>
#include <QWidget>

#include "output/profile_drawing.h"

class QAction;
class QPainter;
class QScrollArea;

namespace rivola::ui {

// Paints the shapes of a drawing with the painter's current transformation;
// with a non-empty `area` only the shapes that may reach into it.
void paint_drawing(QPainter& painter, const output::ProfileDrawing& drawing, const QRectF& area = {});

class ProfileView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.02;
    static constexpr double kMaxZoom = 8.0;
    static constexpr double kZoomStep = 1.25;

    explicit ProfileView(QWidget* parent = nullptr);
    void setDrawing(output::ProfileDrawing drawing);
    void clear();
    bool empty() const { return drawing_.shapes.empty(); }
    const output::ProfileDrawing& drawing() const { return drawing_; }
    QSize sizeHint() const override;

    // Texts of the menu and messages: German unless english.
    void setLanguage(bool english);

    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    // Scales the whole drawing into the visible area of the enclosing scroll area.
    void fitToWindow();

    // Titles of the panels (main strand, other strands, plot paths) in page order.
    QStringList strandNames() const;
    // Scrolls the panel of strandNames()[index] into view.
    void showStrand(int index);

    // The drawing as vector PDF on a landscape page, scaled to fit.
    bool exportPdf(const QString& file, QString* reason);
    // The drawing as SVG document, the same text a run writes.
    bool exportSvg(const QString& file, QString* reason);
    void print();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Why an empty view saves nothing into `file`.
    QString nothingToSave(const QString& file) const;
    QScrollArea* scrollArea() const;
    // Zooms keeping the drawing point under `anchor` (widget coordinates) in place.
    void zoomAbout(double zoom, QPointF anchor);
    QPointF visibleCentre() const;
    // The rectangle in page units that holds every shape of a panel.
    QRectF panelBox(int panel) const;
    // The drawing centred on the painter's page, scaled to fit it.
    void renderOnPage(QPainter& painter) const;
    void saveWithDialog(bool pdf);
    void retranslate();

    output::ProfileDrawing drawing_;
    double zoom_ = 1.0;
    bool english_ = false;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint scrollStart_;
    QAction* zoomInAction_ = nullptr;
    QAction* zoomOutAction_ = nullptr;
    QAction* fitAction_ = nullptr;
    QAction* pdfAction_ = nullptr;
    QAction* svgAction_ = nullptr;
    QAction* printAction_ = nullptr;
};

}  // namespace rivola::ui
