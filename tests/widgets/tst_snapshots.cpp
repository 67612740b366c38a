// Saves pictures of every display widget in a few states for a person to look at.
// Runs only when KESTRUN_SNAPSHOT_DIR names a folder; otherwise it skips.
#include "logviewer/logprintfdia.h"
#include "testenv.h"
#include "widgets/gaugearc.h"
#include "widgets/ledtext.h"
#include "widgets/progressbarround.h"

#include <QDir>

namespace {

void dashboardLook(ProgressBarRound &bar)
{
    QPalette pal = bar.palette();
    pal.setColor(QPalette::Window, QColor(30, 30, 30));
    pal.setColor(QPalette::Base, QColor(30, 30, 30));
    pal.setColor(QPalette::AlternateBase, QColor(30, 30, 30));
    pal.setColor(QPalette::Shadow, QColor(0, 0, 0, 0));
    pal.setColor(QPalette::Text, QColor(255, 255, 255));
    bar.setPalette(pal);
    bar.setNullPosition(-90);
    bar.setGradientData({{0.0, QColor(0, 200, 255)}, {1.0, QColor(255, 60, 60)}});
    bar.resize(195, 195);
}

} // namespace

class TestSnapshots : public QObject
{
    Q_OBJECT

    QDir dir;

    void save(QWidget &widget, const QString &name)
    {
        QImage image(widget.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        widget.render(&image);
        QVERIFY(image.save(dir.filePath(name + ".png")));
    }

private slots:
    void initTestCase()
    {
        const QString path = qEnvironmentVariable("KESTRUN_SNAPSHOT_DIR");
        if (path.isEmpty())
            QSKIP("KESTRUN_SNAPSHOT_DIR is not set");
        QVERIFY(QDir().mkpath(path));
        dir.setPath(path);
    }

    void progressBarRound()
    {
        ProgressBarRound plain;
        plain.resize(195, 195);
        save(plain, "round_default");

        struct State { QString name; int value; int type; ProgressBarRound::BarStyle style; QSize size; };
        const State states[] = {
            {"round_37C", 37, 1, ProgressBarRound::BarStyle_Donut, {195, 195}},
            {"round_37F", 37, 2, ProgressBarRound::BarStyle_Donut, {195, 195}},
            {"round_5_pie", 5, 1, ProgressBarRound::BarStyle_Pie, {195, 195}},
            {"round_100_line", 100, 1, ProgressBarRound::BarStyle_Line, {195, 195}},
            {"round_62_wide", 62, 1, ProgressBarRound::BarStyle_Donut, {320, 195}},
        };
        for (const State &s : states) {
            ProgressBarRound bar;
            dashboardLook(bar);
            bar.setBarStyle(s.style);
            bar.setCurrentValueType(s.type);
            bar.setStrUnit(s.type == 2 ? "℉" : "℃");
            bar.setValue(s.value);
            bar.resize(s.size);
            save(bar, s.name);
        }
    }

    void gaugeArc()
    {
        const GaugeArc::PointerStyle styles[] = {GaugeArc::PointerStyle_Circle, GaugeArc::PointerStyle_Indicator,
                                                 GaugeArc::PointerStyle_IndicatorR, GaugeArc::PointerStyle_Triangle};
        for (GaugeArc::PointerStyle style : styles) {
            GaugeArc gauge;
            gauge.resize(300, 300);
            gauge.setPointerStyle(style);
            gauge.setValue(65.0);
            save(gauge, QString("gauge_65_style%1").arg(int(style)));
        }
        GaugeArc converted;
        converted.resize(400, 250);
        converted.setValue(100.0);
        converted.updateCurrentValue(2);
        save(converted, "gauge_fahrenheit_wide");
    }

    void ledText()
    {
        LedText led;
        led.resize(800, 80);
        save(led, "led_default");
        led.setText("Kestrun 42");
        led.setStep(3);
        led.resize(480, 48);
        save(led, "led_step3");
    }

    void logViewer()
    {
        LogPrintfDia dialog;
        dialog.appendLogText("first line");
        dialog.appendLogText("second line");
        save(dialog, "logviewer");
    }
};

KESTRUN_TEST_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
