#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QTest>
#include <QWidget>

namespace kestrun::test {

// Counts the paint events a widget receives, so tests can tell which setters repaint. Watching
// the application counts the paints of every widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QObject *watched)
        : QObject(watched)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Shows the widget and lets every pending paint happen, so a later count starts from quiet.
inline bool showAndSettle(QWidget &widget)
{
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget))
        return false;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return true;
}

// Delivers pending update requests; afterwards a scheduled repaint has been painted.
inline void flushPaints()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// The widget painted into an image of its own size over a known ground colour.
inline QImage renderOnto(QWidget &widget, const QColor &ground = Qt::black)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace kestrun::test
