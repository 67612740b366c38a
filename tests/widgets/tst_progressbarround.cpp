#include "testenv.h"
#include "widgets/progressbarround.h"
#include "widgettest.h"

#include <QConicalGradient>
#include <QPainter>
#include <QProcess>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

using kestrun::test::PaintCounter;
using kestrun::test::renderOnto;

using BarAction = std::function<void(ProgressBarRound &)>;
Q_DECLARE_METATYPE(BarAction)
Q_DECLARE_METATYPE(ProgressBarRound::BarStyle)

namespace {

const QColor ground(255, 0, 255);
const QColor baseColour(0, 0, 255);
const QColor holeColour(255, 255, 0);
const QColor sectorColour(0, 255, 0);
const QColor sectorPen(0, 128, 0);
const QColor textColour(255, 255, 255);
const QColor trackColour(58, 58, 58);

// Distinct palette colours, so every pixel tells which part of the bar painted it.
std::unique_ptr<ProgressBarRound> makeBar(int w = 200, int h = 200)
{
    auto bar = std::make_unique<ProgressBarRound>();
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Base, baseColour);
    pal.setColor(QPalette::AlternateBase, holeColour);
    pal.setColor(QPalette::Highlight, sectorColour);
    pal.setColor(QPalette::Shadow, sectorPen);
    pal.setColor(QPalette::Text, textColour);
    bar->setPalette(pal);
    bar->resize(w, h);
    return bar;
}

// The pixel on the ring at a Qt angle (0 = 3 o'clock, counter-clockwise positive) around the
// centre of a bar whose circles are sized by `side`.
QColor ringPixel(const QImage &image, int side, double angle, double radius = 88)
{
    const double c = side / 2.0;
    const double a = qDegreesToRadians(angle);
    return image.pixelColor(int(c + radius * std::cos(a)), int(c - radius * std::sin(a)));
}

// The widget painted into an image of `ratio` device pixels per pixel.
QImage renderAt(QWidget &widget, qreal ratio, const QColor &ground)
{
    QImage image(widget.size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A brush filled over a rectangle on its own, in an image like renderAt's.
QImage filledAlone(const QSize &size, qreal ratio, const QRectF &rect, const QBrush &brush)
{
    QImage image(size * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    QPainter(&image).fillRect(rect, brush);
    return image;
}

bool closeColours(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3
           && std::abs(a.blue() - b.blue()) <= 3;
}

// The sector's fill on the ring of a full bar whose circles are sized by `side`, at `ratio`,
// against the same brush filled on its own; angles clear of the sector's start line.
void compareRingWith(const QImage &bar, const QImage &alone, int side, qreal ratio)
{
    for (double angle : {0.0, 45.0, 135.0, 180.0, 225.0, 270.0, 315.0}) {
        const double c = side / 2.0;
        const double a = qDegreesToRadians(angle);
        const QPoint at(int((c + 88 * std::cos(a)) * ratio), int((c - 88 * std::sin(a)) * ratio));
        const QColor got = bar.pixelColor(at);
        const QColor want = alone.pixelColor(at);
        QVERIFY2(closeColours(got, want),
                 qPrintable(QString("at %1 degrees: %2, want %3").arg(angle).arg(got.name(), want.name())));
    }
}

QGradientStops threeStops()
{
    return {{0.0, QColor(255, 0, 0)}, {0.4, QColor(0, 0, 255)}, {1.0, QColor(0, 200, 100)}};
}

bool hasColour(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestProgressBarRound : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        ProgressBarRound bar;
        QCOMPARE(bar.getMinValue(), 0.0);
        QCOMPARE(bar.getMaxValue(), 100.0);
        QCOMPARE(bar.getValue(), 0.0);
        QCOMPARE(bar.getDisplayValue(), 0);
        QCOMPARE(bar.getNullPosition(), 90.0);
        QCOMPARE(bar.getBarStyle(), ProgressBarRound::BarStyle_Donut);
        QCOMPARE(bar.getFormat(), QStringLiteral("%p%"));
        QCOMPARE(bar.getStrUnit(), QStringLiteral("℃"));
        QCOMPARE(bar.getExplainText(), QStringLiteral("CPU"));
        QCOMPARE(bar.getTrackColor(), QColor(58, 58, 58));
        QCOMPARE(bar.font().family(), QStringLiteral("Arial"));
        QCOMPARE(bar.font().pointSize(), 8);
        QCOMPARE(bar.sizeHint(), QSize(100, 100));
        QCOMPARE(bar.minimumSizeHint(), QSize(10, 10));

        const QMetaObject *mo = bar.metaObject();
        QStringList names;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            names << QString::fromLatin1(mo->property(i).name());
        QCOMPARE(names, QStringList({"minValue", "maxValue", "value", "precision", "nullPosition", "outlinePenWidth",
                                     "dataPenWidth", "barStyle", "format", "clockWise", "gradientData"}));
        QVERIFY(bar.setProperty("barStyle", "BarStyle_Line"));
        QCOMPARE(bar.getBarStyle(), ProgressBarRound::BarStyle_Line);
    }

    void sweep_data()
    {
        QTest::addColumn<double>("minValue");
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("clockWise");
        QTest::addColumn<bool>("drawable");
        QTest::addColumn<double>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("half") << 0.0 << 100.0 << 50.0 << true << true << 180.0;
        QTest::newRow("counter-clockwise") << 0.0 << 100.0 << 50.0 << false << true << -180.0;
        QTest::newRow("past the maximum") << 0.0 << 100.0 << 150.0 << true << true << 540.0;
        QTest::newRow("from zero, not from the minimum") << 20.0 << 120.0 << 50.0 << true << true << 180.0;
        QTest::newRow("empty range") << 5.0 << 5.0 << 5.0 << true << false << 0.0;
        QTest::newRow("infinite range") << 0.0 << inf << 5.0 << true << false << 0.0;
        QTest::newRow("not a number") << 0.0 << 100.0 << qQNaN() << true << false << 0.0;
    }

    void sweep()
    {
        QFETCH(double, minValue);
        QFETCH(double, maxValue);
        QFETCH(double, value);
        QFETCH(bool, clockWise);
        QFETCH(bool, drawable);
        QFETCH(double, expected);
        const std::optional<double> sweep = progressBarSweep(minValue, maxValue, value, clockWise);
        QCOMPARE(sweep.has_value(), drawable);
        if (drawable)
            QCOMPARE(*sweep, expected);
    }

    void sectorCoverage_data()
    {
        QTest::addColumn<double>("minValue");
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<double>("nullPosition");
        QTest::addColumn<bool>("clockWise");
        QTest::addColumn<double>("value");
        QTest::addColumn<QList<double>>("covered");
        QTest::addColumn<QList<double>>("uncovered");
        QTest::newRow("empty at zero") << 0.0 << 100.0 << 90.0 << true << 0.0 << QList<double>{}
                                       << QList<double>{0, 45, 135, 180, 225, 270, 315};
        QTest::newRow("half from six o'clock clockwise: the left half")
            << 0.0 << 100.0 << -90.0 << true << 50.0 << QList<double>{135, 180, 225} << QList<double>{315, 0, 45};
        QTest::newRow("half from six o'clock counter-clockwise: the right half")
            << 0.0 << 100.0 << -90.0 << false << 50.0 << QList<double>{315, 0, 45} << QList<double>{135, 180, 225};
        QTest::newRow("quarter from twelve o'clock")
            << 0.0 << 100.0 << 90.0 << true << 25.0 << QList<double>{30, 45, 60} << QList<double>{120, 180, 270, 330};
        QTest::newRow("540 degrees cover everything")
            << 0.0 << 100.0 << 90.0 << true << 150.0 << QList<double>{0, 45, 135, 180, 225, 270, 315}
            << QList<double>{};
        QTest::newRow("empty range: no sector")
            << 5.0 << 5.0 << 90.0 << true << 5.0 << QList<double>{} << QList<double>{0, 45, 135, 180, 225, 270, 315};
    }

    void sectorCoverage()
    {
        QFETCH(double, minValue);
        QFETCH(double, maxValue);
        QFETCH(double, nullPosition);
        QFETCH(bool, clockWise);
        QFETCH(double, value);
        QFETCH(QList<double>, covered);
        QFETCH(QList<double>, uncovered);

        auto bar = makeBar();
        bar->setRange(minValue, maxValue);
        bar->setNullPosition(nullPosition);
        bar->setClockWise(clockWise);
        bar->setValue(value);
        bar->setFormat(QString());
        const QImage image = renderOnto(*bar, ground);
        for (double angle : covered)
            QVERIFY2(ringPixel(image, 200, angle) == sectorColour, qPrintable(QString::number(angle)));
        for (double angle : uncovered)
            QVERIFY2(ringPixel(image, 200, angle) == trackColour, qPrintable(QString::number(angle)));
    }

    void barStyles_data()
    {
        QTest::addColumn<ProgressBarRound::BarStyle>("style");
        QTest::addColumn<QColor>("centre");
        QTest::addColumn<QColor>("ring");
        QTest::newRow("donut: hole filled") << ProgressBarRound::BarStyle_Donut << holeColour << trackColour;
        QTest::newRow("pie: no hole fill") << ProgressBarRound::BarStyle_Pie << baseColour << trackColour;
        QTest::newRow("line: inner circle covers the ring")
            << ProgressBarRound::BarStyle_Line << baseColour << baseColour;
    }

    void barStyles()
    {
        QFETCH(ProgressBarRound::BarStyle, style);
        QFETCH(QColor, centre);
        QFETCH(QColor, ring);
        auto bar = makeBar();
        bar->setBarStyle(style);
        bar->setFormat(QString());
        const QImage image = renderOnto(*bar, ground);
        QCOMPARE(image.pixelColor(100, 100), centre);
        QCOMPARE(ringPixel(image, 200, 180), ring);
        // Beyond the base disc: the outer ring's pen, under the line style's wide inner circle.
        QCOMPARE(ringPixel(image, 200, 180, 97.8),
                 style == ProgressBarRound::BarStyle_Line ? bar->getInnerBorder() : bar->getOutBorderColor());
    }

    void wideWidgetDrawsOnTheLeft()
    {
        auto bar = makeBar(400, 200);
        bar->setFormat(QString());
        bar->setNullPosition(-90);
        bar->setValue(50.0);
        const QImage image = renderOnto(*bar, ground);
        QCOMPARE(ringPixel(image, 200, 180), sectorColour);
        QCOMPARE(ringPixel(image, 200, 0), trackColour);
        QCOMPARE(image.pixelColor(100, 100), holeColour);
        QCOMPARE(image.pixelColor(201, 100), ground);
        QCOMPARE(image.pixelColor(300, 100), ground);
    }

    void emptyFormatSuppressesTexts()
    {
        auto bar = makeBar();
        bar->setValue(42);
        QVERIFY(hasColour(renderOnto(*bar, ground), textColour));
        bar->setFormat(QString());
        const QImage image = renderOnto(*bar, ground);
        QVERIFY(!hasColour(image, textColour));
        QCOMPARE(ringPixel(image, 200, 45), sectorColour);
    }

    // Without a reading: no sector on the ring and "--" where the number goes, until the next value.
    void noValueShowsAnEmptyRingAndDashes()
    {
        auto bar = makeBar();
        bar->setNullPosition(-90);
        bar->setValue(60);
        bar->setStrUnit(QString());
        bar->setExplainText(QString());
        QVERIFY(bar->hasValue());
        QCOMPARE(ringPixel(renderOnto(*bar, ground), 200, 180), sectorColour);

        bar->setNoValue();
        QVERIFY(!bar->hasValue());
        const QImage image = renderOnto(*bar, ground);
        for (double angle : {0.0, 45.0, 135.0, 180.0, 225.0, 270.0, 315.0})
            QVERIFY2(ringPixel(image, 200, angle) == trackColour, qPrintable(QString::number(angle)));
        QVERIFY(!hasColour(image, sectorColour));

        // "--" is a thin stroke across the middle of the number's box, unlike any digit.
        const ProgressBarTextLayout layout = progressBarTextLayout(QRectF(20, 20, 160, 160), 0, 10);
        int top = image.height();
        int bottom = -1;
        int left = image.width();
        int right = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != textColour)
                    continue;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        QVERIFY2(bottom >= top, "no text drawn");
        QVERIFY2(bottom - top < layout.numberPixelSize / 6, qPrintable(QString("%1..%2").arg(top).arg(bottom)));
        QVERIFY2(right - left > layout.numberPixelSize / 2, qPrintable(QString("%1..%2").arg(left).arg(right)));
        QVERIFY(std::abs((top + bottom) / 2.0 - layout.numberRect.center().y()) < layout.numberPixelSize / 3.0);

        // Whatever the unit, the number stays a dash pair: Fahrenheit does not make 32 of nothing.
        bar->setCurrentValueType(2);
        QCOMPARE(renderOnto(*bar, ground), image);

        // The next reading brings the number and the sector back as if nothing had been missing.
        bar->setCurrentValueType(1);
        bar->setValue(60);
        QVERIFY(bar->hasValue());
        auto reference = makeBar();
        reference->setNullPosition(-90);
        reference->setStrUnit(QString());
        reference->setExplainText(QString());
        reference->setValue(60);
        QCOMPARE(renderOnto(*bar, ground), renderOnto(*reference, ground));
    }

    void setRange_data()
    {
        QTest::addColumn<double>("newMin");
        QTest::addColumn<double>("newMax");
        QTest::addColumn<double>("expectedMin");
        QTest::addColumn<double>("expectedMax");
        QTest::addColumn<double>("expectedValue");
        // The reading is 80 before each change.
        QTest::newRow("swapped bounds") << 100.0 << 0.0 << 0.0 << 100.0 << 80.0;
        QTest::newRow("value lowered to the maximum") << 0.0 << 50.0 << 0.0 << 50.0 << 50.0;
        QTest::newRow("value raised to the minimum") << 90.0 << 120.0 << 90.0 << 120.0 << 90.0;
        QTest::newRow("swapped and lowered") << 60.0 << -10.0 << -10.0 << 60.0 << 60.0;
    }

    void setRange()
    {
        QFETCH(double, newMin);
        QFETCH(double, newMax);
        QFETCH(double, expectedMin);
        QFETCH(double, expectedMax);
        QFETCH(double, expectedValue);
        ProgressBarRound bar;
        bar.setValue(80);
        bar.setRange(newMin, newMax);
        QCOMPARE(bar.getMinValue(), expectedMin);
        QCOMPARE(bar.getMaxValue(), expectedMax);
        QCOMPARE(bar.getValue(), expectedValue);
        QCOMPARE(bar.getDisplayValue(), 80);
    }

    void boundSettersKeepTheOtherBound()
    {
        ProgressBarRound bar;
        bar.setMinValue(20.0);
        QCOMPARE(bar.getMinValue(), 20.0);
        QCOMPARE(bar.getMaxValue(), 100.0);
        QCOMPARE(bar.getValue(), 20.0);
        bar.setMaxValue(10.0);
        QCOMPARE(bar.getMinValue(), 10.0);
        QCOMPARE(bar.getMaxValue(), 20.0);
        bar.setRange(1, 3);
        QCOMPARE(bar.getMaxValue(), 3.0);
    }

    void numberSurvivesClamping()
    {
        // After clamping, the sector is full but the number still reads the reading.
        auto clamped = makeBar();
        clamped->setValue(80);
        clamped->setRange(0, 50);
        auto reference = makeBar();
        reference->setValue(80);
        reference->setValue(100.0);
        QCOMPARE(renderOnto(*clamped, ground), renderOnto(*reference, ground));
    }

    void shownNumber_data()
    {
        QTest::addColumn<int>("displayValue");
        QTest::addColumn<int>("valueType");
        QTest::addColumn<int>("shown");
        const int maxInt = std::numeric_limits<int>::max();
        const int minInt = std::numeric_limits<int>::min();
        QTest::newRow("celsius unchanged") << 37 << 1 << 37;
        QTest::newRow("unknown type unchanged") << 37 << 3 << 37;
        QTest::newRow("37 reads 98") << 37 << 2 << 98;
        QTest::newRow("-5 reads 23") << -5 << 2 << 23;
        QTest::newRow("-40 reads -40") << -40 << 2 << -40;
        QTest::newRow("huge saturates") << maxInt << 2 << maxInt;
        QTest::newRow("hugely negative saturates") << minInt << 2 << minInt;
    }

    void shownNumber()
    {
        QFETCH(int, displayValue);
        QFETCH(int, valueType);
        QFETCH(int, shown);
        QCOMPARE(progressBarShownNumber(displayValue, valueType), shown);

        // Through the widget: the converted bar looks exactly like one reading the shown number
        // over the same sector.
        auto converted = makeBar();
        converted->setCurrentValueType(valueType);
        converted->setValue(displayValue);
        auto reference = makeBar();
        reference->setValue(shown);
        reference->setValue(double(displayValue));
        QCOMPARE(renderOnto(*converted, ground), renderOnto(*reference, ground));
    }

    void textLayout_data()
    {
        QTest::addColumn<int>("precision");
        QTest::addColumn<int>("shown");
        QTest::addColumn<double>("numberLeft");
        QTest::addColumn<double>("unitLeft");
        QTest::addColumn<int>("numberPixels");
        QTest::addColumn<int>("textPixels");
        // Inner circle of a 200-pixel bar: (20, 20, 160, 160).
        QTest::newRow("three digits") << 0 << 100 << -16.0 << 91.0 << 48 << 24;
        QTest::newRow("two digits, upper end") << 0 << 99 << -12.0 << 68.0 << 48 << 24;
        QTest::newRow("two digits, lower end") << 0 << 10 << -12.0 << 68.0 << 48 << 24;
        QTest::newRow("one digit") << 0 << 9 << -5.0 << 50.0 << 48 << 24;
        QTest::newRow("negative") << 0 << -40 << -5.0 << 50.0 << 48 << 24;
        QTest::newRow("one decimal") << 1 << 5 << -5.0 << 50.0 << 35 << 11;
        QTest::newRow("many decimals: floor of 5 %") << 9 << 5 << -5.0 << 50.0 << 8 << 8;
    }

    void textLayout()
    {
        QFETCH(int, precision);
        QFETCH(int, shown);
        QFETCH(double, numberLeft);
        QFETCH(double, unitLeft);
        QFETCH(int, numberPixels);
        QFETCH(int, textPixels);
        const QRectF inner(20, 20, 160, 160);
        const ProgressBarTextLayout layout = progressBarTextLayout(inner, precision, shown);
        QCOMPARE(layout.numberRect, QRectF(QPointF(numberLeft, -20), inner.bottomRight()));
        QCOMPARE(layout.unitRect, QRectF(QPointF(unitLeft, -25), inner.bottomRight()));
        QCOMPARE(layout.explainRect, QRectF(QPointF(20, 90), inner.bottomRight()));
        QCOMPARE(layout.numberPixelSize, numberPixels);
        QCOMPARE(layout.textPixelSize, textPixels);
        QCOMPARE(progressBarTextLayout(QRectF(0, 0, 1, 1), precision, shown).textPixelSize, 1);
    }

    void repaints_data()
    {
        QTest::addColumn<BarAction>("action");
        QTest::addColumn<bool>("repaints");
        const QGradientStops stops{{0.0, Qt::red}, {1.0, Qt::blue}};
        QTest::newRow("explain text") << BarAction([](auto &b) { b.setExplainText("GPU"); }) << false;
        QTest::newRow("unit") << BarAction([](auto &b) { b.setStrUnit("℃"); }) << true;
        QTest::newRow("value type") << BarAction([](auto &b) { b.setCurrentValueType(1); }) << true;
        QTest::newRow("same int value") << BarAction([](auto &b) { b.setValue(0); }) << true;
        QTest::newRow("same double value") << BarAction([](auto &b) { b.setValue(0.0); }) << true;
        QTest::newRow("same range") << BarAction([](auto &b) { b.setRange(0, 100); }) << true;
        QTest::newRow("same border colours")
            << BarAction([](auto &b) { b.setInnerBorderAndOutBorderColor(b.getInnerBorder(), b.getOutBorderColor()); })
            << true;
        QTest::newRow("same precision") << BarAction([](auto &b) { b.setPrecision(0); }) << false;
        QTest::newRow("negative precision") << BarAction([](auto &b) { b.setPrecision(-1); }) << false;
        QTest::newRow("new precision") << BarAction([](auto &b) { b.setPrecision(1); }) << true;
        QTest::newRow("same null position") << BarAction([](auto &b) { b.setNullPosition(90); }) << false;
        QTest::newRow("new null position") << BarAction([](auto &b) { b.setNullPosition(-90); }) << true;
        QTest::newRow("same outline") << BarAction([](auto &b) { b.setOutlinePenWidth(3); }) << false;
        QTest::newRow("new outline") << BarAction([](auto &b) { b.setOutlinePenWidth(4); }) << true;
        QTest::newRow("same data pen") << BarAction([](auto &b) { b.setDataPenWidth(3); }) << false;
        QTest::newRow("new data pen") << BarAction([](auto &b) { b.setDataPenWidth(1); }) << true;
        QTest::newRow("same style") << BarAction([](auto &b) { b.setBarStyle(ProgressBarRound::BarStyle_Donut); })
                                    << false;
        QTest::newRow("new style") << BarAction([](auto &b) { b.setBarStyle(ProgressBarRound::BarStyle_Pie); }) << true;
        QTest::newRow("same format") << BarAction([](auto &b) { b.setFormat("%p%"); }) << false;
        QTest::newRow("new format") << BarAction([](auto &b) { b.setFormat(QString()); }) << true;
        QTest::newRow("same direction") << BarAction([](auto &b) { b.setClockWise(true); }) << false;
        QTest::newRow("new direction") << BarAction([](auto &b) { b.setClockWise(false); }) << true;
        QTest::newRow("same gradient") << BarAction([](auto &b) { b.setGradientData({}); }) << false;
        QTest::newRow("new gradient") << BarAction([stops](auto &b) { b.setGradientData(stops); }) << true;
        QTest::newRow("no value") << BarAction([](auto &b) { b.setNoValue(); }) << true;
    }

    void repaints()
    {
        QFETCH(BarAction, action);
        QFETCH(bool, repaints);
        auto bar = makeBar();
        QVERIFY(kestrun::test::showAndSettle(*bar));
        auto *counter = new PaintCounter(bar.get());
        action(*bar);
        kestrun::test::flushPaints();
        QCOMPARE(counter->count > 0, repaints);
    }

    void explainTextShowsAtNextRepaint()
    {
        auto bar = makeBar();
        bar->setExplainText("GPU");
        QCOMPARE(bar->getExplainText(), QStringLiteral("GPU"));
        const QImage gpu = renderOnto(*bar, ground);
        bar->setExplainText("CPU");
        QVERIFY(gpu != renderOnto(*bar, ground));
    }

    void gradientReplacesTheSectorFill()
    {
        auto bar = makeBar();
        bar->setFormat(QString());
        bar->setValue(100.0);
        bar->setGradientData({{0.0, QColor(255, 0, 0)}, {1.0, QColor(255, 0, 0)}});
        const QImage image = renderOnto(*bar, ground);
        QCOMPARE(ringPixel(image, 200, 45), QColor(255, 0, 0));
        QCOMPARE(bar->palette().highlight().style(), Qt::ConicalGradientPattern);
    }

    // The sector's gradient is laid on from an image filled once: each pixel must still be the
    // gradient's own colour at that point.
    void gradientSectorMatchesTheGradientItself()
    {
        auto bar = makeBar();
        bar->setFormat(QString());
        bar->setNullPosition(30);
        bar->setValue(100.0);
        const QGradientStops stops{{0.0, QColor(255, 0, 0)}, {0.3, QColor(0, 0, 255)}, {1.0, QColor(0, 200, 100)}};
        bar->setGradientData(stops);
        const QImage image = renderOnto(*bar, ground);

        QConicalGradient gradient(0.5, 0.5, 30);
        gradient.setCoordinateMode(QGradient::StretchToDeviceMode);
        for (const QGradientStop &stop : stops)
            gradient.setColorAt(1 - stop.first, stop.second);
        QImage reference(200, 200, QImage::Format_ARGB32_Premultiplied);
        QPainter(&reference).fillRect(reference.rect(), gradient);

        for (double angle : {0.0, 75.0, 140.0, 200.0, 260.0, 330.0})
            QCOMPARE(ringPixel(image, 200, angle), ringPixel(reference, 200, angle));
    }

    // A paint shows the last one's image only while nothing it depends on has changed, including
    // what reaches the bar from outside its own setters: after each change, the bar that painted
    // before paints what a fresh bar given the same settings paints.
    void changesFromOutsideAreShown_data()
    {
        QTest::addColumn<BarAction>("change");
        const QGradientStops stops = threeStops();
        QTest::newRow("value") << BarAction([](ProgressBarRound &b) { b.setValue(70.0); });
        QTest::newRow("number alone") << BarAction([](ProgressBarRound &b) {
            b.setValue(42);
            b.setValue(30.0);
        });
        QTest::newRow("range") << BarAction([](ProgressBarRound &b) { b.setRange(0, 50); });
        QTest::newRow("range of doubles") << BarAction([](ProgressBarRound &b) { b.setRange(0.0, 250.0); });
        QTest::newRow("minimum") << BarAction([](ProgressBarRound &b) { b.setMinValue(-100.0); });
        QTest::newRow("maximum") << BarAction([](ProgressBarRound &b) { b.setMaxValue(80.0); });
        QTest::newRow("precision") << BarAction([](ProgressBarRound &b) { b.setPrecision(1); });
        QTest::newRow("null position") << BarAction([](ProgressBarRound &b) { b.setNullPosition(-90); });
        QTest::newRow("outline pen") << BarAction([](ProgressBarRound &b) { b.setOutlinePenWidth(6); });
        QTest::newRow("data pen") << BarAction([](ProgressBarRound &b) { b.setDataPenWidth(8); });
        QTest::newRow("pie") << BarAction([](ProgressBarRound &b) { b.setBarStyle(ProgressBarRound::BarStyle_Pie); });
        QTest::newRow("line") << BarAction([](ProgressBarRound &b) { b.setBarStyle(ProgressBarRound::BarStyle_Line); });
        QTest::newRow("format") << BarAction([](ProgressBarRound &b) { b.setFormat(QString()); });
        QTest::newRow("direction") << BarAction([](ProgressBarRound &b) { b.setClockWise(false); });
        QTest::newRow("gradient") << BarAction([stops](ProgressBarRound &b) { b.setGradientData(stops); });
        QTest::newRow("gradient and null position") << BarAction([stops](ProgressBarRound &b) {
            b.setGradientData(stops);
            b.setNullPosition(10);
        });
        QTest::newRow("inner border") << BarAction(
            [](ProgressBarRound &b) { b.setInnerBorderAndOutBorderColor(QColor(200, 100, 0), b.getOutBorderColor()); });
        QTest::newRow("outer border") << BarAction(
            [](ProgressBarRound &b) { b.setInnerBorderAndOutBorderColor(b.getInnerBorder(), QColor(0, 100, 200)); });
        QTest::newRow("unit") << BarAction([](ProgressBarRound &b) { b.setStrUnit("℉"); });
        QTest::newRow("caption, which does not repaint")
            << BarAction([](ProgressBarRound &b) { b.setExplainText("GPU"); });
        QTest::newRow("Fahrenheit with the value unchanged")
            << BarAction([](ProgressBarRound &b) { b.setCurrentValueType(2); });
        QTest::newRow("palette") << BarAction([](ProgressBarRound &b) {
            QPalette pal = b.palette();
            pal.setColor(QPalette::Highlight, QColor(0, 128, 128));
            b.setPalette(pal);
        });
        QTest::newRow("font") << BarAction([](ProgressBarRound &b) {
            QFont f = b.font();
            f.setBold(!f.bold());
            b.setFont(f);
        });
        QTest::newRow("size") << BarAction([](ProgressBarRound &b) { b.resize(160, 160); });
        QTest::newRow("disabled") << BarAction([](ProgressBarRound &b) {
            QPalette pal = b.palette();
            pal.setColor(QPalette::Disabled, QPalette::Highlight, QColor(90, 90, 90));
            b.setPalette(pal);
            b.setEnabled(false);
        });
    }

    void changesFromOutsideAreShown()
    {
        QFETCH(BarAction, change);
        auto bar = makeBar();
        bar->setValue(30);
        const QImage before = renderOnto(*bar, ground);
        QCOMPARE(renderOnto(*bar, ground), before);
        change(*bar);
        const QImage after = renderOnto(*bar, ground);
        QVERIFY(after != before);

        auto fresh = makeBar();
        fresh->setValue(30);
        change(*fresh);
        QCOMPARE(after, renderOnto(*fresh, ground));
    }

    // The sector's gradient image is filled again whenever the gradient it holds changes.
    void gradientImageFollowsTheGradient_data()
    {
        QTest::addColumn<BarAction>("change");
        QTest::newRow("other stops") << BarAction([](ProgressBarRound &b) {
            b.setGradientData({{0.0, QColor(250, 250, 0)}, {1.0, QColor(0, 0, 90)}});
        });
        QTest::newRow("its angle") << BarAction([](ProgressBarRound &b) { b.setNullPosition(45); });
        QTest::newRow("size") << BarAction([](ProgressBarRound &b) { b.resize(150, 150); });
    }

    void gradientImageFollowsTheGradient()
    {
        QFETCH(BarAction, change);
        const auto gradientBar = [] {
            auto bar = makeBar();
            bar->setFormat(QString());
            bar->setGradientData(threeStops());
            bar->setValue(100.0);
            return bar;
        };
        auto bar = gradientBar();
        const QImage before = renderOnto(*bar, ground);
        change(*bar);
        const QImage after = renderOnto(*bar, ground);
        QVERIFY(after != before);
        auto fresh = gradientBar();
        change(*fresh);
        QCOMPARE(after, renderOnto(*fresh, ground));
    }

    // Disabling alone changes only which colours of the palette paint.
    void colourGroupIsPartOfThePicture()
    {
        const auto disabledGrey = [](ProgressBarRound &b) {
            QPalette pal = b.palette();
            pal.setColor(QPalette::Disabled, QPalette::Highlight, QColor(90, 90, 90));
            b.setPalette(pal);
            b.setValue(30);
        };
        auto bar = makeBar();
        disabledGrey(*bar);
        const QImage enabled = renderOnto(*bar, ground);
        bar->setEnabled(false);
        const QImage disabled = renderOnto(*bar, ground);
        QVERIFY(disabled != enabled);
        auto fresh = makeBar();
        disabledGrey(*fresh);
        fresh->setEnabled(false);
        QCOMPARE(disabled, renderOnto(*fresh, ground));
    }

    // A gradient placed by the sector's bounds is filled as it is: on a wide bar the full
    // sector's bounds are the base disc, not the widget.
    void boundingBoxGradientIsFilledAsItIs()
    {
        auto bar = makeBar(300, 200);
        bar->setFormat(QString());
        bar->setValue(100.0);
        QConicalGradient gradient(0.5, 0.5, 0);
        gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
        gradient.setStops(threeStops());
        QPalette pal = bar->palette();
        pal.setBrush(QPalette::Highlight, gradient);
        bar->setPalette(pal);
        const QImage alone = filledAlone(bar->size(), 1, QRectF(4.5, 4.5, 191, 191), gradient);
        compareRingWith(renderAt(*bar, 1, ground), alone, 200, 1);
    }

    // A gradient in the painter's own coordinates on a screen of two device pixels per pixel.
    // The pixel ratio is the process's, so the check runs in a copy of this test with
    // QT_SCALE_FACTOR=2.
    void logicalGradientAtTwiceThePixelRatio()
    {
        auto bar = makeBar();
        if (bar->devicePixelRatioF() != 2) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", "2");
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {"logicalGradientAtTwiceThePixelRatio"});
            QVERIFY(child.waitForFinished(60000));
            const QString output = QString::fromLocal8Bit(child.readAll());
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
            QVERIFY2(output.contains("PASS   : TestProgressBarRound::logicalGradientAtTwiceThePixelRatio()"),
                     qPrintable(output));
            return;
        }
        bar->setFormat(QString());
        bar->setValue(100.0);
        QConicalGradient gradient(QPointF(60, 140), 0);
        QCOMPARE(gradient.coordinateMode(), QGradient::LogicalMode);
        gradient.setStops(threeStops());
        QPalette pal = bar->palette();
        pal.setBrush(QPalette::Highlight, gradient);
        bar->setPalette(pal);
        const QImage alone = filledAlone(bar->size(), 2, QRectF(0, 0, 200, 200), gradient);
        compareRingWith(renderAt(*bar, 2, ground), alone, 200, 2);
    }

    // render() at another pixel ratio, or through a scaled painter, paints afresh at that
    // resolution instead of enlarging the picture made for the screen, and leaves that one alone.
    void renderScaledIsPaintedAfresh_data()
    {
        QTest::addColumn<bool>("throughPainter");
        QTest::newRow("into an image of pixel ratio 2") << false;
        QTest::newRow("through a painter scaled by 2") << true;
    }

    void renderScaledIsPaintedAfresh()
    {
        QFETCH(bool, throughPainter);
        auto bar = makeBar();
        bar->setNullPosition(-90);
        bar->setGradientData(threeStops());
        bar->setValue(63);
        const QImage screen = renderOnto(*bar, ground);

        QImage doubled(400, 400, QImage::Format_ARGB32);
        doubled.fill(ground);
        if (throughPainter) {
            QPainter painter(&doubled);
            painter.scale(2, 2);
            bar->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        } else {
            doubled = renderAt(*bar, 2, ground);
        }
        // An enlarged picture is made of uniform 2 x 2 blocks; one painted at twice the
        // resolution has finer edges all round its circles.
        int fineBlocks = 0;
        for (int y = 0; y < doubled.height(); y += 2)
            for (int x = 0; x < doubled.width(); x += 2)
                fineBlocks += doubled.pixel(x, y) != doubled.pixel(x + 1, y)
                              || doubled.pixel(x, y) != doubled.pixel(x, y + 1)
                              || doubled.pixel(x, y) != doubled.pixel(x + 1, y + 1);
        QVERIFY2(fineBlocks > 500, qPrintable(QString("%1 blocks with detail").arg(fineBlocks)));

        // The sector's gradient is the one on the screen.
        for (double angle : {-80.0, 0.0, 60.0}) {
            const QColor onScreen = ringPixel(screen, 200, angle);
            const double a = qDegreesToRadians(angle);
            const QColor twice =
                doubled.pixelColor(int(2 * (100 + 88 * std::cos(a))), int(2 * (100 - 88 * std::sin(a))));
            QVERIFY2(
                closeColours(onScreen, twice),
                qPrintable(QString("at %1: %2 on screen, %3 at twice").arg(angle).arg(onScreen.name(), twice.name())));
        }

        QCOMPARE(renderOnto(*bar, ground), screen);
    }

    void tinyAndDegenerateSizesPaint()
    {
        auto bar = makeBar(3, 3);
        bar->setValue(999);
        bar->setPrecision(9);
        QCOMPARE(renderOnto(*bar, ground).size(), QSize(3, 3));
    }
};

KESTRUN_TEST_MAIN(TestProgressBarRound)
#include "tst_progressbarround.moc"
