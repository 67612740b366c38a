#include "gaugearc.h"

#include "widgetmath.h"

#include <QPainter>
#include <QPolygonF>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <cmath>

using kestrun::widgets::toIntSaturated;

namespace {

// What the dial can show: a hundred numbered divisions of ten ticks, a thousand ticks in all,
// already a few milliseconds a paint. A million ticks took seconds, while a glide asks for a paint
// every 10 ms.
constexpr int maxMajorDivisions = 100;
constexpr int maxMinorDivisions = 10;

// Runs one drawing step with its own painter state.
template <typename Step>
void isolated(QPainter *painter, Step step)
{
    painter->save();
    step();
    painter->restore();
}

QPolygonF needlePolygon()
{
    return QPolygonF(QVector<QPointF>{{-5, 0}, {5, 0}, {0, 75}});
}

} // namespace

GaugeArc::GaugeArc(QWidget *parent)
    : QWidget(parent)
    , timer(new QTimer(this))
{
    timer->setInterval(10);
    connect(timer, &QTimer::timeout, this, &GaugeArc::updateValue);
    setFont(QFont(QStringLiteral("Arial"), 7));
}

GaugeArc::~GaugeArc()
{
    if (timer->isActive())
        timer->stop();
}

void GaugeArc::setRange(double minValue, double maxValue)
{
    if (!(minValue < maxValue) || !std::isfinite(minValue) || !std::isfinite(maxValue))
        return;
    this->minValue = minValue;
    this->maxValue = maxValue;
    // A target left outside the new scale is moved to the nearest end, so it stays reachable.
    if (value < minValue)
        setValue(minValue);
    else if (value > maxValue)
        setValue(maxValue);
    update();
}

void GaugeArc::setRange(int minValue, int maxValue)
{
    setRange(double(minValue), double(maxValue));
}

void GaugeArc::setMinValue(double minValue)
{
    setRange(minValue, maxValue);
}

void GaugeArc::setMaxValue(double maxValue)
{
    setRange(minValue, maxValue);
}

void GaugeArc::setValue(double value)
{
    if (!std::isfinite(value) || value < minValue || value > maxValue)
        return;
    if (value == this->value)
        return;
    // The glide starts from what is drawn, which may differ from the old target mid-animation.
    if (value > currentValue)
        reverse = false;
    else if (value < currentValue)
        reverse = true;
    this->value = value;
    emit valueChanged(value);
    if (!animation) {
        currentValue = this->value;
        update();
    } else if (!timer->isActive()) {
        timer->start();
    }
}

void GaugeArc::setValue(int value)
{
    setValue(double(value));
}

void GaugeArc::setPrecision(int precision)
{
    if (precision < 0 || precision > 3)
        return;
    this->precision = precision;
    update();
}

void GaugeArc::setScaleMajor(int scaleMajor)
{
    this->scaleMajor = std::clamp(scaleMajor, 1, maxMajorDivisions);
    update();
}

void GaugeArc::setScaleMinor(int scaleMinor)
{
    this->scaleMinor = std::clamp(scaleMinor, 1, maxMinorDivisions);
    update();
}

void GaugeArc::setStartAngle(int startAngle)
{
    this->startAngle = startAngle;
    update();
}

void GaugeArc::setEndAngle(int endAngle)
{
    this->endAngle = endAngle;
    update();
}

void GaugeArc::setAnimation(bool animation)
{
    this->animation = animation;
    update();
}

void GaugeArc::setAnimationStep(double animationStep)
{
    this->animationStep = animationStep;
    update();
}

void GaugeArc::setArcColor(const QColor &arcColor)
{
    this->arcColor = arcColor;
    update();
}

void GaugeArc::setScaleColor(const QColor &scaleColor)
{
    this->scaleColor = scaleColor;
    update();
}

void GaugeArc::setScaleNumColor(const QColor &scaleNumColor)
{
    this->scaleNumColor = scaleNumColor;
    update();
}

void GaugeArc::setPointerColor(const QColor &pointerColor)
{
    this->pointerColor = pointerColor;
    update();
}

void GaugeArc::setTextColor(const QColor &textColor)
{
    this->textColor = textColor;
    update();
}

void GaugeArc::setStrUnit(const QString &strUnitIn)
{
    strUnit = strUnitIn;
    update();
}

void GaugeArc::setExplainText(const QString &strExplainTextIn)
{
    // The caption is picked up by the next repaint from any cause.
    strExplainText = strExplainTextIn;
}

void GaugeArc::updateCurrentValue(int typeNum)
{
    // Only the drawn value changes unit; the next paint shows it.
    if (typeNum == 1)
        currentValue = (currentValue - 32) / 1.8;
    else if (typeNum == 2)
        currentValue = currentValue * 1.8 + 32;
}

void GaugeArc::setPointerStyle(PointerStyle pointerStyle)
{
    this->pointerStyle = pointerStyle;
    update();
}

void GaugeArc::updateValue()
{
    if (!(animationStep > 0) || !std::isfinite(animationStep)) {
        // A step that never reaches the target would keep the timer busy forever.
        currentValue = value;
        timer->stop();
    } else if (!reverse) {
        if (currentValue >= value)
            timer->stop();
        else
            currentValue = std::min(currentValue + animationStep, value);
    } else {
        if (value >= currentValue)
            timer->stop();
        else
            currentValue = std::max(currentValue - animationStep, value);
    }
    update();
}

double GaugeArc::span() const
{
    return 360.0 - startAngle - endAngle;
}

double GaugeArc::fractionOfRange(double v) const
{
    const double fraction = (v - minValue) / (maxValue - minValue);
    return std::isfinite(fraction) ? fraction : 0;
}

void GaugeArc::paintEvent(QPaintEvent *)
{
    const int side = std::min(width(), height());
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(QPoint(width() / 2, height() / 2));
    painter.scale(side / 200.0, side / 200.0);

    drawArc(&painter, 98);
    drawArc(&painter, 90);
    drawScale(&painter);
    drawScaleNum(&painter);
    switch (pointerStyle) {
    case PointerStyle_Circle:
        drawPointerCircle(&painter);
        break;
    case PointerStyle_Indicator:
        drawPointerIndicator(&painter);
        break;
    case PointerStyle_IndicatorR:
        drawPointerIndicatorR(&painter);
        break;
    case PointerStyle_Triangle:
        drawPointerTriangle(&painter);
        break;
    }
    drawHub(&painter);
    drawValue(&painter);
}

void GaugeArc::drawArc(QPainter *painter, int radius)
{
    isolated(painter, [&] {
        QPen pen = painter->pen();
        pen.setColor(arcColor);
        pen.setWidthF(2);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);

        const double valueArc = fractionOfRange(currentValue) * span();
        const double restArc = span() - valueArc;
        const QRectF rect(-radius, -radius, 2 * radius, 2 * radius);
        painter->drawArc(rect, toIntSaturated((270.0 - startAngle - valueArc) * 16), toIntSaturated(valueArc * 16));
        painter->drawArc(rect, toIntSaturated((270.0 - startAngle - valueArc - restArc) * 16),
                         toIntSaturated(restArc * 16));
    });
}

void GaugeArc::drawScale(QPainter *painter)
{
    isolated(painter, [&] {
        painter->rotate(startAngle);
        const int steps = scaleMajor * scaleMinor;
        const double stepAngle = span() / steps;
        QPen pen = painter->pen();
        pen.setColor(scaleColor);
        pen.setCapStyle(Qt::RoundCap);
        for (int i = 0; i <= steps; ++i) {
            if (i % scaleMinor == 0) {
                pen.setWidthF(1.5);
                painter->setPen(pen);
                painter->drawLine(QPointF(0, 85), QPointF(0, 97));
            } else {
                pen.setWidthF(1);
                painter->setPen(pen);
                painter->drawLine(QPointF(0, 92), QPointF(0, 97));
            }
            painter->rotate(stepAngle);
        }
    });
}

void GaugeArc::drawScaleNum(QPainter *painter)
{
    isolated(painter, [&] {
        painter->setPen(scaleNumColor);
        const double radius = 75;
        const double startRad = qDegreesToRadians(270.0 - startAngle);
        const double deltaRad = qDegreesToRadians(span()) / scaleMajor;
        const QFontMetricsF metrics(font());
        for (int i = 0; i <= scaleMajor; ++i) {
            const double angle = startRad - i * deltaRad;
            const double number = minValue + i * (maxValue - minValue) / scaleMajor;
            const QString text = QString("%1").arg(number, 0, 'f', precision);
            const double w = metrics.horizontalAdvance(text);
            const double h = metrics.height();
            const int x = toIntSaturated(radius * std::cos(angle) - w / 2);
            const int y = toIntSaturated(-radius * std::sin(angle) + h / 4);
            painter->drawText(x, y, text);
        }
    });
}

void GaugeArc::rotateToPointer(QPainter *painter)
{
    painter->rotate(startAngle);
    painter->rotate(span() * fractionOfRange(currentValue));
}

void GaugeArc::drawPointerCircle(QPainter *painter)
{
    isolated(painter, [&] {
        rotateToPointer(painter);
        painter->setPen(Qt::NoPen);
        painter->setBrush(pointerColor);
        painter->drawEllipse(QRectF(-8, 38, 16, 16));
        painter->setPen(QPen(QBrush(scaleColor), 2, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
        painter->drawLine(QPointF(0, 46), QPointF(0, 56));
    });
}

void GaugeArc::drawPointerIndicator(QPainter *painter)
{
    isolated(painter, [&] {
        rotateToPointer(painter);
        painter->setOpacity(0.8);
        painter->setPen(Qt::NoPen);
        painter->setBrush(pointerColor);
        painter->drawConvexPolygon(needlePolygon());
    });
}

void GaugeArc::drawPointerIndicatorR(QPainter *painter)
{
    isolated(painter, [&] {
        rotateToPointer(painter);
        painter->setOpacity(0.6);
        QPen pen = painter->pen();
        pen.setColor(pointerColor);
        painter->setPen(pen);
        painter->setBrush(pointerColor);
        painter->drawConvexPolygon(needlePolygon());
        pen.setCapStyle(Qt::RoundCap);
        pen.setWidthF(4);
        painter->setPen(pen);
        painter->drawLine(QPointF(0, 0), QPointF(0, 75));
    });
}

void GaugeArc::drawPointerTriangle(QPainter *painter)
{
    isolated(painter, [&] {
        rotateToPointer(painter);
        painter->setPen(Qt::NoPen);
        painter->setBrush(pointerColor);
        painter->drawConvexPolygon(QPolygonF(QVector<QPointF>{{-5, 55}, {5, 55}, {0, 65}}));
    });
}

void GaugeArc::drawHub(QPainter *painter)
{
    isolated(painter, [&] {
        painter->setOpacity(0.5);
        painter->setPen(Qt::NoPen);
        painter->setBrush(pointerColor);
        painter->drawEllipse(QRectF(-12, -12, 24, 24));
    });
    isolated(painter, [&] {
        painter->setPen(Qt::NoPen);
        painter->setBrush(pointerColor);
        painter->drawEllipse(QRectF(-8, -8, 16, 16));
    });
}

void GaugeArc::drawValue(QPainter *painter)
{
    isolated(painter, [&] {
        const int radius = 100;
        painter->setPen(textColor);
        painter->setFont(QFont(QStringLiteral("Arial"), 14));
        const QRectF rect(QRect(-radius, radius / 2 - 20, radius * 2, radius / 3 + 10));
        const QString text = QString("%1").arg(currentValue, 0, 'f', precision) + strUnit + "\n" + strExplainText;
        painter->drawText(rect, Qt::AlignCenter, text);
    });
}
