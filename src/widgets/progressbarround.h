#pragma once

#include <QColor>
#include <QFont>
#include <QGradientStops>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>
#include <tuple>
#include <vector>

// The number a ProgressBarRound shows for a stored reading: valueType 2 converts Celsius to
// Fahrenheit (truncated toward zero, saturated to int range), any other type shows it unchanged.
int progressBarShownNumber(int displayValue, int valueType);

// The sweep of the sector in degrees: a full turn per range width, measured from zero (not from
// the minimum), negated for counter-clockwise bars. Nothing for an empty range or a non-finite
// result, where no sector can be drawn.
std::optional<double> progressBarSweep(double minValue, double maxValue, double value, bool clockWise);

// Where the three centre texts of a ProgressBarRound go and how large they are. The offsets are
// absolute pixels, tuned for the 195-pixel dashboards; they step with the number of digits.
struct ProgressBarTextLayout {
    QRectF numberRect;
    QRectF unitRect;
    QRectF explainRect;
    int numberPixelSize;
    int textPixelSize;
};
ProgressBarTextLayout progressBarTextLayout(const QRectF &innerRect, int precision, int shownNumber);

// A value shown as a filled sector inside a ring, with a number, a unit and a caption in the centre.
// Without a value (setNoValue, until the next setValue) the ring is empty and the number reads "--".
class ProgressBarRound : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double minValue READ getMinValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ getMaxValue WRITE setMaxValue)
    Q_PROPERTY(double value READ getValue WRITE setValue)
    Q_PROPERTY(int precision READ getPrecision WRITE setPrecision)
    Q_PROPERTY(double nullPosition READ getNullPosition WRITE setNullPosition)
    Q_PROPERTY(double outlinePenWidth READ getOutlinePenWidth WRITE setOutlinePenWidth)
    Q_PROPERTY(double dataPenWidth READ getDataPenWidth WRITE setDataPenWidth)
    Q_PROPERTY(BarStyle barStyle READ getBarStyle WRITE setBarStyle)
    Q_PROPERTY(QString format READ getFormat WRITE setFormat)
    Q_PROPERTY(bool clockWise READ getClockWise WRITE setClockWise)
    Q_PROPERTY(QGradientStops gradientData READ getGradientData WRITE setGradientData)

public:
    enum BarStyle { BarStyle_Donut = 0, BarStyle_Pie = 1, BarStyle_Line = 2 };
    Q_ENUM(BarStyle)

    explicit ProgressBarRound(QWidget *parent = nullptr);
    ~ProgressBarRound() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    double getMinValue() const { return minValue; }
    double getMaxValue() const { return maxValue; }
    double getValue() const { return value; }
    int getDisplayValue() const { return displayValue; }
    int getPrecision() const { return precision; }
    double getNullPosition() const { return nullPosition; }
    double getOutlinePenWidth() const { return outlinePenWidth; }
    double getDataPenWidth() const { return dataPenWidth; }
    BarStyle getBarStyle() const { return barStyle; }
    QString getFormat() const { return format; }
    bool getClockWise() const { return clockWise; }
    QGradientStops getGradientData() const { return gradientData; }
    QColor getInnerBorder() const { return innerBorder; }
    QColor getOutBorderColor() const { return outBorderColor; }
    QColor getTrackColor() const { return trackColor; }
    QString getStrUnit() const { return strUnit; }
    QString getExplainText() const { return strExplainText; }
    int getCurrentValueType() const { return valueType; }
    bool hasValue() const { return valueShown; }

public slots:
    void setRange(double minValue, double maxValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);
    void setPrecision(int precision);
    void setNullPosition(double position);
    void setOutlinePenWidth(double penWidth);
    void setDataPenWidth(double penWidth);
    void setBarStyle(BarStyle style);
    void setFormat(const QString &format);
    void setClockWise(bool clockWise);
    void setGradientData(const QGradientStops &stopPoints);
    void setInnerBorderAndOutBorderColor(const QColor &innerBorder, const QColor &outBorderColor);
    void setStrUnit(const QString &strUnitIn);
    void setExplainText(const QString &strExplainTextIn);
    void setCurrentValueType(int valueType);
    void setNoValue();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Everything a paint depends on. The dashboards are asked to repaint every second whether or
    // not their figures moved, and their conical gradient is costly to fill, so a paint whose
    // inputs equal the last one's shows the image that paint left.
    using PaintInputs =
        std::tuple<double, double, double, int, int, double, double, double, BarStyle, QString, bool, QGradientStops,
                   QColor, QColor, QColor, QString, QString, int, QSize, qreal, qint64, int, QFont, bool>;
    PaintInputs paintInputs() const;

    // What the rings that never move depend on: the outline under the sector and the inner
    // circle over it.
    using RingInputs = std::tuple<double, BarStyle, QColor, QColor, QSize, qreal, qint64, int>;
    RingInputs ringInputs() const;

    void installDataBrush();
    // atOwnRatio: the painter paints the widget's own device pixels, one for one.
    QBrush sectorBrush(bool atOwnRatio);
    void drawBar(QPainter &painter, bool atOwnRatio);
    void drawOutline(QPainter &painter);
    void drawSector(QPainter &painter, bool atOwnRatio);
    // The inner circle is drawn once per fill, the pen over each.
    std::vector<QBrush> innerCircleFills() const;
    bool innerCircleLaysOnExactly() const;
    void drawInnerCircle(QPainter &painter, const QBrush &fill);
    QRectF innerRect() const;
    void drawTexts(QPainter &painter);
    // A clear image of the widget in device pixels with what draw paints on it.
    template <typename Draw>
    QImage layerImage(Draw draw);

    QImage paintCache;
    PaintInputs paintCacheInputs;
    // The rings in images of their own, so a new value only redraws the sector and the texts.
    QImage outlineLayer;
    // One per pass of the inner circle; none where laying them on would change pixels.
    std::vector<QImage> innerCircleLayers;
    RingInputs ringCacheInputs;
    QImage gradientCache;
    std::tuple<QSize, qreal, qint64, int> gradientCacheInputs;

    double minValue = 0;
    double maxValue = 100;
    double value = 0;
    int displayValue = 0;
    int precision = 0;
    double nullPosition = 90;
    double outlinePenWidth = 3;
    double dataPenWidth = 3;
    BarStyle barStyle = BarStyle_Donut;
    QString format = QStringLiteral("%p%");
    bool clockWise = true;
    QGradientStops gradientData;
    QColor innerBorder{37, 37, 37};
    QColor outBorderColor{79, 79, 79};
    QColor trackColor{58, 58, 58};
    QString strUnit = QStringLiteral("℃");
    QString strExplainText = QStringLiteral("CPU");
    int valueType = 1;
    bool valueShown = true;
};
