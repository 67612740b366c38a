#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QTest>
#include <QWidget>

namespace kestrun::test {

// Counts the events of one type an object receives. Watching the application counts those of
// every object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type counted)
        : QObject(watched)
        , type(counted)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == type)
            ++count;
        return false;
    }

private:
    const QEvent::Type type;
};

// Counts the paint events a widget receives, so tests can tell which setters repaint.
class PaintCounter : public EventCounter
{
public:
    explicit PaintCounter(QObject *watched)
        : EventCounter(watched, QEvent::Paint)
    {
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
