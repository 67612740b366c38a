#include "testenv.h"
#include "widgets/gaugearc.h"
#include "widgettest.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTimer>
#include <QtMath>

#include <functional>
#include <limits>
#include <memory>

using kestrun::test::PaintCounter;
using kestrun::test::renderOnto;

using GaugeAction = std::function<void(GaugeArc &)>;
Q_DECLARE_METATYPE(GaugeAction)
Q_DECLARE_METATYPE(GaugeArc::PointerStyle)

namespace {

const QColor arcColour(0, 0, 255);
const QColor tickColour(0, 255, 0);
const QColor numberColour(255, 0, 0);
const QColor pointerColour(255, 255, 0);
const QColor textColour(255, 255, 255);

std::unique_ptr<GaugeArc> makeGauge(int w = 200, int h = 200)
{
    auto gauge = std::make_unique<GaugeArc>();
    gauge->setArcColor(arcColour);
    gauge->setScaleColor(tickColour);
    gauge->setScaleNumColor(numberColour);
    gauge->setPointerColor(pointerColour);
    gauge->setTextColor(textColour);
    gauge->resize(w, h);
    return gauge;
}

// A point at `radius` from the centre of a 200-pixel dial, `angle` degrees clockwise from 6 o'clock.
QPointF dialPoint(double angle, double radius)
{
    const double a = qDegreesToRadians(angle);
    return {100 - radius * std::sin(a), 100 + radius * std::cos(a)};
}

// Whether any pixel within `reach` of the point is mostly the given primary colour.
bool near(const QImage &image, QPointF p, const QColor &colour, int reach = 1)
{
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const int x = int(p.x()) + dx;
            const int y = int(p.y()) + dy;
            if (!image.rect().contains(x, y))
                continue;
            const QColor c = image.pixelColor(x, y);
            const auto matches = [](int got, int want) { return want ? got > 110 : got < 60; };
            if (matches(c.red(), colour.red()) && matches(c.green(), colour.green())
                && matches(c.blue(), colour.blue()))
                return true;
        }
    }
    return false;
}

void tick(GaugeArc &gauge)
{
    QVERIFY(QMetaObject::invokeMethod(&gauge, "updateValue", Qt::DirectConnection));
}

QTimer *timerOf(GaugeArc &gauge)
{
    return gauge.findChild<QTimer *>();
}

} // namespace

class TestGaugeArc : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        GaugeArc gauge;
        QCOMPARE(gauge.getMaxValue(), 100.0);
        QCOMPARE(gauge.getScaleMajor(), 10);
        QCOMPARE(gauge.getStartAngle(), 45);
        QCOMPARE(gauge.getAnimationStep(), 0.5);
        QCOMPARE(gauge.getArcColor(), QColor(21, 134, 200));
        QCOMPARE(gauge.getStrUnit(), QStringLiteral("℃"));
        QCOMPARE(gauge.getExplainText(), QStringLiteral("Explain"));
        QCOMPARE(gauge.getPointerStyle(), GaugeArc::PointerStyle_Indicator);
        QCOMPARE(gauge.font().family(), QStringLiteral("Arial"));
        QCOMPARE(gauge.font().pointSize(), 7);
        QVERIFY(timerOf(gauge));
        QCOMPARE(timerOf(gauge)->interval(), 10);
        QVERIFY(!timerOf(gauge)->isActive());

        const QMetaObject *mo = gauge.metaObject();
        QStringList names;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            names << QString::fromLatin1(mo->property(i).name());
        QCOMPARE(names, QStringList({"value", "minValue", "maxValue", "precision", "scaleMajor", "scaleMinor",
                                     "startAngle", "endAngle", "animation", "animationStep", "arcColor", "scaleColor",
                                     "scaleNumColor", "pointerColor", "textColor", "strUnit", "pointerStyle"}));
        QVERIFY(gauge.setProperty("pointerStyle", "PointerStyle_Triangle"));
        QCOMPARE(gauge.getPointerStyle(), GaugeArc::PointerStyle_Triangle);
    }

    void ticksAndArcs_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("major");
        for (int i : {0, 10, 50, 100})
            QTest::addRow("major %d", i) << i << true;
        for (int i : {1, 5, 55, 99})
            QTest::addRow("minor %d", i) << i << false;
    }

    void ticksAndArcs()
    {
        QFETCH(int, index);
        QFETCH(bool, major);
        auto gauge = makeGauge();
        gauge->setPointerStyle(GaugeArc::PointerStyle_Triangle);
        const QImage image = renderOnto(*gauge);
        const double angle = 45 + index * 2.7;
        QVERIFY(near(image, dialPoint(angle, 94.5), tickColour));
        QCOMPARE(near(image, dialPoint(angle, 87), tickColour), major);
        if (!major)
            QVERIFY(near(image, dialPoint(angle, 90), arcColour));
    }

    void scaleEnds()
    {
        auto gauge = makeGauge();
        const QImage image = renderOnto(*gauge);
        // The gap of the dial is the 90 degrees around 6 o'clock: no ticks and no arcs there.
        for (double angle : {0.0, 30.0, 330.0}) {
            QVERIFY(!near(image, dialPoint(angle, 94.5), tickColour, 2));
            QVERIFY(!near(image, dialPoint(angle, 90), arcColour, 2));
            QVERIFY(!near(image, dialPoint(angle, 98), arcColour, 2));
        }
        QVERIFY(near(image, dialPoint(180, 98), arcColour));
    }

    void scaleNumbers_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << "0";
        QTest::newRow("at 12 o'clock") << 5 << "50";
        QTest::newRow("seventh") << 7 << "70";
        QTest::newRow("last") << 10 << "100";
    }

    void scaleNumbers()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        auto gauge = makeGauge();
        gauge->setPointerStyle(GaugeArc::PointerStyle_Triangle);
        const QImage image = renderOnto(*gauge);

        const QFontMetricsF metrics(gauge->font());
        const double a = qDegreesToRadians(225.0 - index * 27.0);
        const double w = metrics.horizontalAdvance(text);
        const int x = int(75 * std::cos(a) - w / 2) + 100;
        const int baseline = int(-75 * std::sin(a) + metrics.height() / 4) + 100;
        const QRect box(x, baseline - int(metrics.ascent()), int(w) + 1, int(metrics.ascent()) + 1);
        int lit = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int px = box.left(); px <= box.right(); ++px)
                lit += near(image, QPointF(px, y), numberColour, 0);
        QVERIFY2(lit > 3, qPrintable(QString("%1 number pixels").arg(lit)));
        // Nothing of the number leaks far outside its box.
        QVERIFY(!near(image, QPointF(box.center().x(), box.top() - 6), numberColour, 0));
    }

    void setValueRules_data()
    {
        QTest::addColumn<double>("target");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("inside") << 42.0 << true;
        QTest::newRow("the maximum") << 100.0 << true;
        QTest::newRow("above the range") << 150.0 << false;
        QTest::newRow("below the range") << -0.5 << false;
        QTest::newRow("the current target") << 0.0 << false;
        QTest::newRow("not a number") << qQNaN() << false;
    }

    void setValueRules()
    {
        QFETCH(double, target);
        QFETCH(bool, accepted);
        GaugeArc gauge;
        QSignalSpy spy(&gauge, &GaugeArc::valueChanged);
        gauge.setValue(target);
        QCOMPARE(spy.count(), accepted ? 1 : 0);
        QCOMPARE(gauge.getValue(), accepted ? target : 0.0);
        QCOMPARE(gauge.getCurrentValue(), gauge.getValue());
        if (accepted)
            QCOMPARE(spy.at(0).at(0).toDouble(), target);
        gauge.setValue(int(42));
        QCOMPARE(gauge.getValue(), 42.0);
    }

    void animationCountsUpAndStops()
    {
        GaugeArc gauge;
        gauge.setAnimation(true);
        gauge.setValue(10.0);
        QCOMPARE(gauge.getCurrentValue(), 0.0);
        QVERIFY(!gauge.getReverse());
        QVERIFY(timerOf(gauge)->isActive());
        for (int i = 1; i <= 20; ++i) {
            tick(gauge);
            QCOMPARE(gauge.getCurrentValue(), i * 0.5);
            QVERIFY(timerOf(gauge)->isActive());
        }
        tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 10.0);
        QVERIFY(!timerOf(gauge)->isActive());
    }

    void animationCountsDown()
    {
        GaugeArc gauge;
        gauge.setValue(10.0);
        gauge.setAnimation(true);
        gauge.setValue(4.0);
        QVERIFY(gauge.getReverse());
        for (int i = 1; i <= 12; ++i)
            tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 4.0);
        QVERIFY(timerOf(gauge)->isActive());
        tick(gauge);
        QVERIFY(!timerOf(gauge)->isActive());
    }

    void animationLandsOnTheTarget()
    {
        GaugeArc gauge;
        gauge.setAnimation(true);
        gauge.setValue(1.2);
        tick(gauge);
        tick(gauge);
        tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 1.2);
        tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 1.2);
        QVERIFY(!timerOf(gauge)->isActive());
    }

    void retargetingMidGlideFollowsTheDrawnValue()
    {
        GaugeArc gauge;
        gauge.setValue(10.0);
        gauge.setAnimation(true);
        gauge.setValue(2.0);
        for (int i = 0; i < 8; ++i)
            tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 6.0);
        // A target above the old one but below the drawn value still counts down to it.
        gauge.setValue(4.0);
        QVERIFY(gauge.getReverse());
        for (int i = 0; i < 5; ++i)
            tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 4.0);
        QVERIFY(!timerOf(gauge)->isActive());
    }

    void stepThatCannotArriveJumps_data()
    {
        QTest::addColumn<double>("step");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -1.0;
        QTest::newRow("not a number") << qQNaN();
    }

    void stepThatCannotArriveJumps()
    {
        QFETCH(double, step);
        GaugeArc gauge;
        gauge.setAnimation(true);
        gauge.setAnimationStep(step);
        gauge.setValue(5.0);
        tick(gauge);
        QCOMPARE(gauge.getCurrentValue(), 5.0);
        QVERIFY(!timerOf(gauge)->isActive());
    }

    void setRange_data()
    {
        QTest::addColumn<double>("newMin");
        QTest::addColumn<double>("newMax");
        QTest::addColumn<double>("expectedMin");
        QTest::addColumn<double>("expectedMax");
        QTest::addColumn<double>("expectedValue");
        QTest::addColumn<int>("emitted");
        // The target is 80 before each change.
        QTest::newRow("wider") << -10.0 << 200.0 << -10.0 << 200.0 << 80.0 << 0;
        QTest::newRow("reversed bounds ignored") << 100.0 << 0.0 << 0.0 << 100.0 << 80.0 << 0;
        QTest::newRow("empty ignored") << 50.0 << 50.0 << 0.0 << 100.0 << 80.0 << 0;
        QTest::newRow("infinite ignored") << 0.0 << qInf() << 0.0 << 100.0 << 80.0 << 0;
        QTest::newRow("target clamped to the maximum") << 0.0 << 50.0 << 0.0 << 50.0 << 50.0 << 1;
        QTest::newRow("target clamped to the minimum") << 90.0 << 120.0 << 90.0 << 120.0 << 90.0 << 1;
    }

    void setRange()
    {
        QFETCH(double, newMin);
        QFETCH(double, newMax);
        QFETCH(double, expectedMin);
        QFETCH(double, expectedMax);
        QFETCH(double, expectedValue);
        QFETCH(int, emitted);
        GaugeArc gauge;
        gauge.setValue(80.0);
        QSignalSpy spy(&gauge, &GaugeArc::valueChanged);
        gauge.setRange(newMin, newMax);
        QCOMPARE(gauge.getMinValue(), expectedMin);
        QCOMPARE(gauge.getMaxValue(), expectedMax);
        QCOMPARE(gauge.getValue(), expectedValue);
        QCOMPARE(gauge.getCurrentValue(), expectedValue);
        QCOMPARE(spy.count(), emitted);
    }

    void boundSetters()
    {
        GaugeArc gauge;
        gauge.setMinValue(120.0);
        QCOMPARE(gauge.getMinValue(), 0.0);
        gauge.setMaxValue(40.0);
        QCOMPARE(gauge.getMaxValue(), 40.0);
        gauge.setMinValue(-40.0);
        QCOMPARE(gauge.getMinValue(), -40.0);
        gauge.setRange(1, 3);
        QCOMPARE(gauge.getMinValue(), 1.0);
        QCOMPARE(gauge.getValue(), 1.0);
    }

    void guardedSettings()
    {
        GaugeArc gauge;
        gauge.setPrecision(4);
        QCOMPARE(gauge.getPrecision(), 0);
        gauge.setPrecision(-1);
        QCOMPARE(gauge.getPrecision(), 0);
        gauge.setPrecision(3);
        QCOMPARE(gauge.getPrecision(), 3);
    }

    // Divisions are held to what the dial can draw, up to a hundred of ten ticks each.
    void divisionsAreClamped_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("storedMajor");
        QTest::addColumn<int>("storedMinor");
        QTest::newRow("within") << 4 << 1 << 4 << 1;
        QTest::newRow("the bounds") << 100 << 10 << 100 << 10;
        QTest::newRow("a thousand of a thousand") << 1000 << 1000 << 100 << 10;
        QTest::newRow("largest int") << std::numeric_limits<int>::max() << std::numeric_limits<int>::max() << 100 << 10;
        QTest::newRow("zero") << 0 << 0 << 1 << 1;
        QTest::newRow("negative") << -2 << std::numeric_limits<int>::min() << 1 << 1;
    }

    void divisionsAreClamped()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, storedMajor);
        QFETCH(int, storedMinor);
        auto gauge = makeGauge();
        gauge->setScaleMajor(major);
        gauge->setScaleMinor(minor);
        QCOMPARE(gauge->getScaleMajor(), storedMajor);
        QCOMPARE(gauge->getScaleMinor(), storedMinor);
        QCOMPARE(gauge->property("scaleMajor").toInt(), storedMajor);

        // The dial draws what is stored: the last major tick ends the scale at 4:30.
        gauge->setPointerStyle(GaugeArc::PointerStyle_Triangle);
        const QImage image = renderOnto(*gauge);
        QVERIFY(near(image, dialPoint(315, 87), tickColour));
        QVERIFY(near(image, dialPoint(45, 87), tickColour));
    }

    void updateCurrentValue_data()
    {
        QTest::addColumn<int>("typeNum");
        QTest::addColumn<double>("expected");
        QTest::newRow("to Fahrenheit") << 2 << 212.0;
        QTest::newRow("to Celsius") << 1 << (100 - 32) / 1.8;
        QTest::newRow("other") << 0 << 100.0;
    }

    void updateCurrentValue()
    {
        QFETCH(int, typeNum);
        QFETCH(double, expected);
        auto gauge = makeGauge();
        gauge->setValue(100.0);
        QVERIFY(kestrun::test::showAndSettle(*gauge));
        const QImage before = renderOnto(*gauge);
        auto *counter = new PaintCounter(gauge.get());
        gauge->updateCurrentValue(typeNum);
        kestrun::test::flushPaints();
        QCOMPARE(counter->count, 0);
        QCOMPARE(gauge->getCurrentValue(), expected);
        QCOMPARE(gauge->getValue(), 100.0);
        QCOMPARE(gauge->getMaxValue(), 100.0);
        // The next paint shows the converted value.
        QCOMPARE(renderOnto(*gauge) == before, typeNum == 0);
    }

    void repaints_data()
    {
        QTest::addColumn<GaugeAction>("action");
        QTest::addColumn<bool>("repaints");
        QTest::newRow("explain text") << GaugeAction([](auto &g) { g.setExplainText("T"); }) << false;
        QTest::newRow("ignored precision") << GaugeAction([](auto &g) { g.setPrecision(4); }) << false;
        QTest::newRow("rejected value") << GaugeAction([](auto &g) { g.setValue(500.0); }) << false;
        QTest::newRow("unit") << GaugeAction([](auto &g) { g.setStrUnit("℉"); }) << true;
        QTest::newRow("value") << GaugeAction([](auto &g) { g.setValue(5.0); }) << true;
        QTest::newRow("precision") << GaugeAction([](auto &g) { g.setPrecision(1); }) << true;
        QTest::newRow("start angle") << GaugeAction([](auto &g) { g.setStartAngle(30); }) << true;
        QTest::newRow("colour") << GaugeAction([](auto &g) { g.setTextColor(Qt::red); }) << true;
        QTest::newRow("style") << GaugeAction([](auto &g) { g.setPointerStyle(GaugeArc::PointerStyle_Circle); })
                               << true;
    }

    void repaints()
    {
        QFETCH(GaugeAction, action);
        QFETCH(bool, repaints);
        auto gauge = makeGauge();
        QVERIFY(kestrun::test::showAndSettle(*gauge));
        auto *counter = new PaintCounter(gauge.get());
        action(*gauge);
        kestrun::test::flushPaints();
        QCOMPARE(counter->count > 0, repaints);
    }

    void pointerStyles_data()
    {
        QTest::addColumn<GaugeArc::PointerStyle>("style");
        QTest::addColumn<QList<double>>("covered");
        QTest::addColumn<QList<double>>("clear");
        QTest::newRow("circle") << GaugeArc::PointerStyle_Circle << QList<double>{40, 44} << QList<double>{25, 60, 70};
        QTest::newRow("indicator") << GaugeArc::PointerStyle_Indicator << QList<double>{20, 40, 60}
                                   << QList<double>{80};
        QTest::newRow("indicator with spine")
            << GaugeArc::PointerStyle_IndicatorR << QList<double>{20, 40, 60, 72} << QList<double>{80};
        QTest::newRow("triangle") << GaugeArc::PointerStyle_Triangle << QList<double>{57, 61}
                                  << QList<double>{25, 45, 70};
    }

    void pointerStyles()
    {
        QFETCH(GaugeArc::PointerStyle, style);
        QFETCH(QList<double>, covered);
        QFETCH(QList<double>, clear);
        auto gauge = makeGauge();
        gauge->setPointerStyle(style);
        gauge->setValue(50.0);
        const QImage image = renderOnto(*gauge);
        // At 50 the pointer stands straight up; the hub covers the centre in every style.
        QVERIFY(near(image, QPointF(100, 100), pointerColour, 0));
        QVERIFY(near(image, QPointF(100, 89.5), pointerColour, 0));
        for (double r : covered)
            QVERIFY2(near(image, QPointF(100.5, 100 - r), pointerColour, 0), qPrintable(QString::number(r)));
        for (double r : clear)
            QVERIFY2(!near(image, QPointF(100.5, 100 - r), pointerColour, 0), qPrintable(QString::number(r)));
    }

    void nonSquareWidgetCentresTheDial_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(300, 200);
        QTest::newRow("tall and large") << QSize(400, 600);
    }

    void nonSquareWidgetCentresTheDial()
    {
        QFETCH(QSize, size);
        auto gauge = makeGauge(size.width(), size.height());
        gauge->setValue(50.0);
        const QImage image = renderOnto(*gauge);
        const double scale = std::min(size.width(), size.height()) / 200.0;
        const QPointF centre(QPoint(size.width() / 2, size.height() / 2));
        QVERIFY(near(image, centre, pointerColour, 0));
        // The top of the outer arc, and nothing beyond it.
        QVERIFY(near(image, centre - QPointF(0, 98 * scale), arcColour, 1));
        QVERIFY(!near(image, centre - QPointF(0, 103 * scale), arcColour, 1));
    }

    // The value text: the drawn value with the decimals of the precision, the unit, and the
    // caption on a line of its own, centred in the band (-100, 30, 200, 43) below the hub in
    // Arial 14 pt. The pixels it covers are told apart by painting the gauge twice with two text
    // colours, and compared with that text drawn on its own.
    void valueText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("toFahrenheit");
        QTest::addColumn<QString>("text");
        QTest::newRow("defaults") << 0.0 << 0 << QString() << QString() << false << QString::fromUtf8("0℃\nExplain");
        QTest::newRow("two decimals") << 42.25 << 2 << "%"
                                      << "CPU load" << false << "42.25%\nCPU load";
        QTest::newRow("rounded to the precision") << 99.96 << 1 << "℉"
                                                  << "GPU" << false << QString::fromUtf8("100.0℉\nGPU");
        QTest::newRow("no unit, no caption") << 7.0 << 0 << ""
                                             << "" << false << "7\n";
        QTest::newRow("the drawn value, not the target")
            << 100.0 << 0 << QString() << QString() << true << QString::fromUtf8("212℃\nExplain");
    }

    void valueText()
    {
        QFETCH(double, value);
        QFETCH(int, precision);
        QFETCH(QString, unit);
        QFETCH(QString, caption);
        QFETCH(bool, toFahrenheit);
        QFETCH(QString, text);
        auto gauge = makeGauge();
        gauge->setValue(value);
        if (toFahrenheit)
            gauge->updateCurrentValue(2);
        gauge->setPrecision(precision);
        if (!unit.isNull())
            gauge->setStrUnit(unit);
        if (!caption.isNull())
            gauge->setExplainText(caption);
        const QImage white = renderOnto(*gauge);
        gauge->setTextColor(Qt::black);
        const QImage black = renderOnto(*gauge);

        QImage alone(gauge->size(), QImage::Format_ARGB32);
        alone.fill(Qt::black);
        {
            QPainter painter(&alone);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            painter.translate(100, 100);
            painter.setPen(Qt::white);
            painter.setFont(QFont(QStringLiteral("Arial"), 14));
            painter.drawText(QRectF(-100, 30, 200, 43), Qt::AlignCenter, text);
        }

        QRect covered;
        int differing = 0;
        for (int y = 0; y < alone.height(); ++y) {
            for (int x = 0; x < alone.width(); ++x) {
                const bool drawn = white.pixel(x, y) != black.pixel(x, y);
                const bool wanted = alone.pixel(x, y) != qRgb(0, 0, 0);
                differing += drawn != wanted;
                if (drawn)
                    covered |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ from the text alone").arg(differing)));
        QVERIFY(!covered.isEmpty());
        QVERIFY2(QRect(0, 130, 200, 43).contains(covered), qPrintable(QString("text covers %1,%2 %3x%4")
                                                                          .arg(covered.x())
                                                                          .arg(covered.y())
                                                                          .arg(covered.width())
                                                                          .arg(covered.height())));
    }

    void extremeStatesPaint()
    {
        auto gauge = makeGauge();
        gauge->setRange(-1e308, 1e308);
        gauge->setValue(1e308);
        gauge->updateCurrentValue(2);
        gauge->setStartAngle(std::numeric_limits<int>::min());
        QCOMPARE(renderOnto(*gauge).size(), QSize(200, 200));
    }
};

KESTRUN_TEST_MAIN(TestGaugeArc)
#include "tst_gaugearc.moc"
