#include "app/appentry.h"
#include "config/ddatamanager.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"

#include <QLabel>
#include <QScreen>
#include <QTextDocument>

#include <cmath>

using namespace kestrun::test;

namespace {
constexpr quint64 kGiB = 1ULL << 30;

// The room a label's text takes in the label's font, as the label lays it out.
QSize textSize(const QLabel &label)
{
    if (Qt::mightBeRichText(label.text()) && label.textFormat() != Qt::PlainText) {
        QTextDocument document;
        document.setDefaultFont(label.font());
        document.setDocumentMargin(0);
        document.setHtml(label.text());
        return QSize(int(std::ceil(document.idealWidth())), int(std::ceil(document.size().height())));
    }
    const QFontMetrics metrics(label.font());
    return metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, label.text()).size();
}

// Every shown label of the window whose text does not fit its rectangle, with both sizes.
QStringList clippedLabels(QWidget &window)
{
    QStringList clipped;
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisibleTo(&window) || label->text().isEmpty())
            continue;
        const QRect room =
            label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        const QSize need =
            label->wordWrap() ? QSize(room.width(), label->heightForWidth(label->width())) : textSize(*label);
        const int roomHeight = label->wordWrap() ? label->height() : room.height();
        if (need.width() > room.width() || need.height() > roomHeight)
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                           .arg(label->objectName(), label->text().left(40))
                           .arg(need.width())
                           .arg(need.height())
                           .arg(room.width())
                           .arg(roomHeight);
    }
    return clipped;
}
} // namespace

// The real window at the desktop's scaling: QT_FONT_DPI stands for the desktop's setting (96 at
// 100 %, 144 at 150 %, 192 at 200 %). The window scales as a whole, so every label's text fits.
class TestMainWidgetScaling : public QObject
{
    Q_OBJECT

private slots:
    void windowScalesWithTheDesktop();
    void everyLabelFits();
};

void TestMainWidgetScaling::windowScalesWithTheDesktop()
{
    const double dpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    QVERIFY2(dpi > 0, "QT_FONT_DPI is not set");
    // The factor is the desktop's, unrounded; fonts then keep their 100 % size in the window's own
    // pixels, which are that many device pixels each.
    QCOMPARE(qApp->devicePixelRatio(), std::max(1.0, dpi / 96.0));
    QCOMPARE(qApp->primaryScreen()->logicalDotsPerInch(), 96.0);
}

void TestMainWidgetScaling::everyLabelFits()
{
    // This machine's inventory on the hardware page, as the program gathers it before the window.
    DDataManager::instance()->initInfo();
    DMainWidget window;
    window.onGetPcHardwareInfoOver();
    // Wide figures of a busy machine, so the labels hold the longest texts they normally show.
    SensorSnapshot s;
    s.cpuTemperature = 99;
    s.cpuUsage = 100;
    s.cpuClock = 5888;
    s.cpuFan = 12500;
    s.cpuPower = 253;
    s.gpuTemperature = 88;
    s.gpuUsage = 100;
    s.gpuClock = 2955;
    s.gpuFan = 3300;
    s.gpuPower = 450;
    window.dataPath().runCycle(s, MemoryFigures{88, 128 * kGiB, 12 * kGiB}, DriveFigures{3726 * kGiB, 1000 * kGiB});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1150, 750));

    QStringList clipped = clippedLabels(window);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));

    // Without readings, "--" fits where the numbers were.
    FigureSet unread;
    unread.set();
    window.dataPath().runCycle(SensorSnapshot{}, MemoryFigures{88, 128 * kGiB, 12 * kGiB}, std::nullopt, unread);
    clipped = clippedLabels(window);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));

    window.ui->pushButton_Hardware->click();
    clipped = clippedLabels(window);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
}

// As the program starts: the scaling attribute goes before the application object, which is the
// only place the toolkit honours it.
int main(int argc, char *argv[])
{
    kestrun::test::isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareDesktopScaling();
    QApplication app(argc, argv);
    TestMainWidgetScaling tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv) == 0 ? 0 : 1;
}

#include "tst_mainwidget_scaling.moc"
