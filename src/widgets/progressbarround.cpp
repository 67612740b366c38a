#include "progressbarround.h"

#include "widgetmath.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using kestrun::widgets::toIntSaturated;

int progressBarShownNumber(int displayValue, int valueType)
{
    if (valueType != 2)
        return displayValue;
    return toIntSaturated(displayValue * 1.8 + 32);
}

std::optional<double> progressBarSweep(double minValue, double maxValue, double value, bool clockWise)
{
    const double width = maxValue - minValue;
    if (width == 0 || !std::isfinite(width))
        return std::nullopt;
    const double delta = 360 / width * value;
    if (!std::isfinite(delta))
        return std::nullopt;
    return clockWise ? delta : -delta;
}

ProgressBarTextLayout progressBarTextLayout(const QRectF &innerRect, int precision, int shownNumber)
{
    const int n = shownNumber;
    const double innerSize = innerRect.width();
    ProgressBarTextLayout layout;
    // A tiny widget would compute a pixel size of 0, which fonts reject.
    layout.numberPixelSize = std::max(1, toIntSaturated(innerSize * std::max(0.05, 0.3 - precision * 0.08)));
    layout.textPixelSize = std::max(1, toIntSaturated(innerSize * std::max(0.05, 0.15 - precision * 0.08)));

    // Each rectangle keeps the inner circle's right and bottom edges.
    layout.numberRect = innerRect;
    layout.numberRect.setLeft(innerRect.x() + (n >= 100 ? -36 : (n >= 10 ? -32 : -25)));
    layout.numberRect.setTop(innerRect.y() - 40);
    layout.unitRect = innerRect;
    layout.unitRect.setLeft(innerRect.x() + (n >= 100 ? 71 : (n >= 10 ? 48 : 30)));
    layout.unitRect.setTop(innerRect.y() - 45);
    layout.explainRect = innerRect;
    layout.explainRect.setTop(innerRect.y() + 70);
    return layout;
}

ProgressBarRound::ProgressBarRound(QWidget *parent)
    : QWidget(parent)
{
    setFont(QFont(QStringLiteral("Arial"), 8));
}

ProgressBarRound::~ProgressBarRound() = default;

QSize ProgressBarRound::sizeHint() const
{
    return {100, 100};
}

QSize ProgressBarRound::minimumSizeHint() const
{
    return {10, 10};
}

void ProgressBarRound::setRange(double minValue, double maxValue)
{
    this->minValue = minValue;
    this->maxValue = maxValue;
    if (this->minValue > this->maxValue)
        std::swap(this->minValue, this->maxValue);
    if (value < this->minValue)
        value = this->minValue;
    else if (value > this->maxValue)
        value = this->maxValue;
    update();
}

void ProgressBarRound::setRange(int minValue, int maxValue)
{
    setRange(double(minValue), double(maxValue));
}

void ProgressBarRound::setMinValue(double minValue)
{
    setRange(minValue, maxValue);
}

void ProgressBarRound::setMaxValue(double maxValue)
{
    setRange(minValue, maxValue);
}

void ProgressBarRound::setValue(double value)
{
    this->value = value;
    valueShown = true;
    update();
}

void ProgressBarRound::setValue(int value)
{
    displayValue = value;
    setValue(double(value));
}

void ProgressBarRound::setPrecision(int precision)
{
    if (precision < 0 || precision == this->precision)
        return;
    this->precision = precision;
    update();
}

void ProgressBarRound::setNullPosition(double position)
{
    if (position == nullPosition)
        return;
    nullPosition = position;
    update();
}

void ProgressBarRound::setOutlinePenWidth(double penWidth)
{
    if (penWidth == outlinePenWidth)
        return;
    outlinePenWidth = penWidth;
    update();
}

void ProgressBarRound::setDataPenWidth(double penWidth)
{
    if (penWidth == dataPenWidth)
        return;
    dataPenWidth = penWidth;
    update();
}

void ProgressBarRound::setBarStyle(BarStyle style)
{
    if (style == barStyle)
        return;
    barStyle = style;
    update();
}

void ProgressBarRound::setFormat(const QString &format)
{
    if (format == this->format)
        return;
    this->format = format;
    update();
}

void ProgressBarRound::setClockWise(bool clockWise)
{
    if (clockWise == this->clockWise)
        return;
    this->clockWise = clockWise;
    update();
}

void ProgressBarRound::setGradientData(const QGradientStops &stopPoints)
{
    if (stopPoints == gradientData)
        return;
    gradientData = stopPoints;
    update();
}

void ProgressBarRound::setInnerBorderAndOutBorderColor(const QColor &innerBorder, const QColor &outBorderColor)
{
    if (innerBorder != this->innerBorder)
        this->innerBorder = innerBorder;
    if (outBorderColor != this->outBorderColor)
        this->outBorderColor = outBorderColor;
    update();
}

void ProgressBarRound::setStrUnit(const QString &strUnitIn)
{
    strUnit = strUnitIn;
    update();
}

void ProgressBarRound::setExplainText(const QString &strExplainTextIn)
{
    // The caption is picked up by the next repaint from any cause.
    strExplainText = strExplainTextIn;
}

void ProgressBarRound::setCurrentValueType(int valueType)
{
    this->valueType = valueType;
    update();
}

void ProgressBarRound::setNoValue()
{
    valueShown = false;
    update();
}

void ProgressBarRound::installDataBrush()
{
    if (gradientData.isEmpty())
        return;
    QConicalGradient gradient(0.5, 0.5, nullPosition);
    gradient.setCoordinateMode(QGradient::StretchToDeviceMode);
    for (const QGradientStop &stop : qAsConst(gradientData))
        gradient.setColorAt(1 - stop.first, stop.second);
    QPalette pal = palette();
    pal.setBrush(QPalette::Highlight, gradient);
    // An equal palette is not re-applied, so only a changed gradient costs an extra repaint.
    setPalette(pal);
}

ProgressBarRound::RingInputs ProgressBarRound::ringInputs() const
{
    return RingInputs(outlinePenWidth, barStyle, innerBorder, outBorderColor, size(), devicePixelRatioF(),
                      palette().cacheKey(), palette().currentColorGroup());
}

ProgressBarRound::PaintInputs ProgressBarRound::paintInputs() const
{
    return PaintInputs(minValue, maxValue, value, displayValue, precision, nullPosition, outlinePenWidth, dataPenWidth,
                       barStyle, format, clockWise, gradientData, innerBorder, outBorderColor, trackColor, strUnit,
                       strExplainText, valueType, size(), devicePixelRatioF(), palette().cacheKey(),
                       palette().currentColorGroup(), font(), valueShown);
}

namespace {

// Whether an image of the widget in its own device pixels lands on the device pixel for pixel:
// the painter only moves by whole device pixels at the widget's own ratio, and the widget is a
// whole number of device pixels. Rendering scaled, at another ratio or at a fractional offset
// would stretch or shift such an image.
bool imageFitsDevice(const QTransform &toDevice, qreal ratio, const QSize &size)
{
    const auto whole = [](qreal v) { return std::isfinite(v) && v == std::round(v); };
    return toDevice.type() <= QTransform::TxScale && toDevice.m11() == ratio && toDevice.m22() == ratio
           && whole(toDevice.dx()) && whole(toDevice.dy()) && whole(size.width() * ratio)
           && whole(size.height() * ratio);
}

} // namespace

void ProgressBarRound::paintEvent(QPaintEvent *)
{
    installDataBrush();
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (!imageFitsDevice(painter.deviceTransform(), ratio, size())) {
        // render() scaled or into another pixel ratio: an image made for the screen would blur.
        drawBar(painter, false);
        return;
    }
    // Drawn layer over layer onto a clear image, then laid over what is beneath: "over" is
    // associative, so this shows what drawing straight onto the window would.
    const PaintInputs inputs = paintInputs();
    if (paintCache.isNull() || inputs != paintCacheInputs) {
        const RingInputs rings = ringInputs();
        if (outlineLayer.isNull() || rings != ringCacheInputs) {
            outlineLayer = layerImage([this](QPainter &p) { drawOutline(p); });
            innerCircleLayers.clear();
            if (innerCircleLaysOnExactly()) {
                for (const QBrush &fill : innerCircleFills())
                    innerCircleLayers.push_back(layerImage([this, fill](QPainter &p) { drawInnerCircle(p, fill); }));
            }
            ringCacheInputs = rings;
        }
        // The outline lies on a clear image, so a copy of its layer is what drawing it would give.
        paintCache = outlineLayer.copy();
        QPainter cachePainter(&paintCache);
        cachePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        drawSector(cachePainter, true);
        if (innerCircleLayers.empty()) {
            for (const QBrush &fill : innerCircleFills())
                drawInnerCircle(cachePainter, fill);
        }
        for (const QImage &layer : innerCircleLayers)
            cachePainter.drawImage(QPointF(0, 0), layer);
        drawTexts(cachePainter);
        paintCacheInputs = inputs;
    }
    painter.drawImage(QPointF(0, 0), paintCache);
}

template <typename Draw>
QImage ProgressBarRound::layerImage(Draw draw)
{
    const qreal ratio = devicePixelRatioF();
    QImage layer(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    draw(painter);
    return layer;
}

// A conical gradient costs an arc tangent per pixel. The sector's, stretched over the widget, is
// filled once per size and palette into an image of device pixels and laid on as a texture: the
// same pixels, far cheaper. A gradient placed by the sector's bounds or in the painter's own
// coordinates has other pixels, and a painter that is not at the widget's ratio would stretch the
// image: those are filled as they are.
QBrush ProgressBarRound::sectorBrush(bool atOwnRatio)
{
    const QBrush gradient = palette().highlight();
    if (!atOwnRatio || gradient.style() != Qt::ConicalGradientPattern
        || gradient.gradient()->coordinateMode() != QGradient::StretchToDeviceMode)
        return gradient;
    const qreal ratio = devicePixelRatioF();
    const auto inputs = std::make_tuple(size(), ratio, palette().cacheKey(), int(palette().currentColorGroup()));
    if (gradientCache.isNull() || inputs != gradientCacheInputs) {
        gradientCache = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        QPainter fill(&gradientCache);
        fill.setCompositionMode(QPainter::CompositionMode_Source);
        fill.fillRect(gradientCache.rect(), gradient);
        gradientCacheInputs = inputs;
    }
    QBrush texture(gradientCache);
    texture.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    return texture;
}

void ProgressBarRound::drawBar(QPainter &painter, bool atOwnRatio)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawOutline(painter);
    drawSector(painter, atOwnRatio);
    for (const QBrush &fill : innerCircleFills())
        drawInnerCircle(painter, fill);
    drawTexts(painter);
}

void ProgressBarRound::drawOutline(QPainter &painter)
{
    const double side = std::min(width(), height());
    const double ow = outlinePenWidth;
    painter.setPen(QPen(QBrush(outBorderColor), ow, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(palette().base());
    painter.drawEllipse(QRectF(ow, ow, side - 2 * ow, side - 2 * ow));
}

void ProgressBarRound::drawSector(QPainter &painter, bool atOwnRatio)
{
    const double side = std::min(width(), height());
    const double ow = outlinePenWidth;
    const QRectF baseRect(1.5 * ow, 1.5 * ow, side - 3 * ow, side - 3 * ow);
    const std::optional<double> sweep =
        valueShown ? progressBarSweep(minValue, maxValue, value, clockWise) : std::nullopt;
    const double delta = sweep.value_or(0);

    QPainterPath basePath;
    basePath.setFillRule(Qt::WindingFill);
    basePath.moveTo(baseRect.center());
    basePath.arcTo(baseRect, -(delta + 90), -360);
    basePath.lineTo(baseRect.center());
    painter.setBrush(trackColor);
    painter.setPen(QPen(QBrush(trackColor), dataPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawPath(basePath);

    if (sweep) {
        QPainterPath dataPath;
        dataPath.setFillRule(Qt::WindingFill);
        dataPath.moveTo(baseRect.center());
        dataPath.arcTo(baseRect, nullPosition, -delta);
        dataPath.lineTo(baseRect.center());
        painter.setBrush(sectorBrush(atOwnRatio));
        painter.setPen(
            QPen(QBrush(palette().shadow().color()), dataPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawPath(dataPath);
    }
}

QRectF ProgressBarRound::innerRect() const
{
    const double side = std::min(width(), height());
    const double innerSize = barStyle == BarStyle_Line ? side - outlinePenWidth : side * 0.8;
    const double d = (side - innerSize) / 2;
    return {d, d, innerSize, innerSize};
}

std::vector<QBrush> ProgressBarRound::innerCircleFills() const
{
    if (barStyle == BarStyle_Donut)
        return {palette().base(), palette().alternateBase()};
    return {palette().base()};
}

// Laid over the sector as an image, each pass of the inner circle gives the pixels drawing it
// would, as long as every pixel the sector shows through is touched by one solid edge only: the
// pen and the fills are opaque, and the pen is wide enough to cover the fill's soft edge.
bool ProgressBarRound::innerCircleLaysOnExactly() const
{
    const std::vector<QBrush> fills = innerCircleFills();
    return innerBorder.alpha() == 255 && outlinePenWidth >= 2
           && std::all_of(fills.begin(), fills.end(), [](const QBrush &fill) {
                  return fill.style() == Qt::SolidPattern && fill.color().alpha() == 255;
              });
}

void ProgressBarRound::drawInnerCircle(QPainter &painter, const QBrush &fill)
{
    painter.setPen(QPen(QBrush(innerBorder), outlinePenWidth + 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(fill);
    painter.drawEllipse(innerRect());
}

void ProgressBarRound::drawTexts(QPainter &painter)
{
    if (format.isEmpty())
        return;
    const int n = progressBarShownNumber(displayValue, valueType);
    // "--" is as wide as two digits and goes where they would.
    const ProgressBarTextLayout layout = progressBarTextLayout(innerRect(), precision, valueShown ? n : 10);
    painter.setPen(palette().text().color());
    const auto drawSized = [&](const QRectF &rect, int pixelSize, const QString &text) {
        QFont f = font();
        f.setPixelSize(pixelSize);
        painter.setFont(f);
        painter.drawText(rect, Qt::AlignCenter, text);
    };
    drawSized(layout.numberRect, layout.numberPixelSize, valueShown ? QString::number(n, 10) : QStringLiteral("--"));
    drawSized(layout.unitRect, layout.textPixelSize, strUnit);
    drawSized(layout.explainRect, layout.textPixelSize, strExplainText);
}
