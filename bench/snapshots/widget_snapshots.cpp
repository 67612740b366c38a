// Saves pictures of every display widget in a few states, for a person to look at (nothing is
// checked): widget-snapshots <folder>, which receives one PNG per state.
#include "logviewer/logprintfdia.h"
#include "widgets/gaugearc.h"
#include "widgets/ledtext.h"
#include "widgets/progressbarround.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

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

class Album
{
public:
    explicit Album(const QString &folder)
        : dir(folder)
    {
    }

    void save(QWidget &widget, const QString &name)
    {
        QImage image(widget.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        widget.render(&image);
        const QString path = dir.filePath(name + ".png");
        if (image.save(path)) {
            std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(QDir::toNativeSeparators(path)));
            failed = true;
        }
    }

    bool failed = false;

private:
    QDir dir;
};

void progressBarRound(Album &album)
{
    ProgressBarRound plain;
    plain.resize(195, 195);
    album.save(plain, "round_default");

    struct State {
        QString name;
        int value;
        int type;
        ProgressBarRound::BarStyle style;
        QSize size;
    };
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
        album.save(bar, s.name);
    }
}

void gaugeArc(Album &album)
{
    const GaugeArc::PointerStyle styles[] = {GaugeArc::PointerStyle_Circle, GaugeArc::PointerStyle_Indicator,
                                             GaugeArc::PointerStyle_IndicatorR, GaugeArc::PointerStyle_Triangle};
    for (GaugeArc::PointerStyle style : styles) {
        GaugeArc gauge;
        gauge.resize(300, 300);
        gauge.setPointerStyle(style);
        gauge.setValue(65.0);
        album.save(gauge, QString("gauge_65_style%1").arg(int(style)));
    }
    GaugeArc converted;
    converted.resize(400, 250);
    converted.setValue(100.0);
    converted.updateCurrentValue(2);
    album.save(converted, "gauge_fahrenheit_wide");
}

void ledText(Album &album)
{
    LedText led;
    led.resize(800, 80);
    album.save(led, "led_default");
    led.setText("Kestrun 42");
    led.setStep(3);
    led.resize(480, 48);
    album.save(led, "led_step3");
}

void logViewer(Album &album)
{
    LogPrintfDia dialog;
    dialog.appendLogText("first line");
    dialog.appendLogText("second line");
    album.save(dialog, "logviewer");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: widget-snapshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Album album(folder);
    progressBarRound(album);
    gaugeArc(album);
    ledText(album);
    logViewer(album);
    return album.failed ? 1 : 0;
}
