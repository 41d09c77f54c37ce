// The hydraulic profile drawing of the last run inside the desktop program:
// the same shapes that the SVG file holds, painted with QPainter.
#pragma once

#include <QRectF>
#include <QWidget>

#include "output/profile_drawing.h"

class QPainter;

namespace rivola::ui {

// Paints the shapes of a drawing with the painter's current transformation;
// with a non-empty `area` only the shapes that may reach into it.
void paint_drawing(QPainter& painter, const output::ProfileDrawing& drawing, const QRectF& area = {});

class ProfileView : public QWidget {
    Q_OBJECT
public:
    explicit ProfileView(QWidget* parent = nullptr);
    void setDrawing(output::ProfileDrawing drawing);
    void clear();
    bool empty() const { return drawing_.shapes.empty(); }
    const output::ProfileDrawing& drawing() const { return drawing_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    output::ProfileDrawing drawing_;
};

}  // namespace rivola::ui
