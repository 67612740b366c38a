#include "testenv.h"
#include "widgets/ledtext.h"
#include "widgettest.h"

#include <QFontMetricsF>

#include <functional>

using kestrun::test::PaintCounter;
using kestrun::test::renderOnto;

using LedAction = std::function<void(LedText &)>;
Q_DECLARE_METATYPE(LedAction)

namespace {

const QString family = QStringLiteral("DejaVu Sans");
// The hand-drawn panels below are DejaVu Sans Mono at 8 points: a 14-pixel line (11 above the
// baseline, 3 below) centred in the 16 rows, so one row stays free above it and one below, and
// the baseline falls under row 11.
const QString mono = QStringLiteral("DejaVu Sans Mono");
constexpr int monoPoints = 8;

// A panel of 16 rows, '#' lit; rows are filled up to 160 columns with unlit dots.
using Panel = QStringList;

Panel padded(Panel rows)
{
    for (QString &row : rows)
        row = row.leftJustified(LedText::columns, QLatin1Char('.'));
    return rows;
}

// One glyph at the left edge: the capitals and digits stand on the baseline eight rows high, the
// bar runs from row 3 into the descent, the hyphen sits at mid-height. (One glyph per text: where
// the following glyphs start depends on how the platform rounds their advance.)
Panel glyphPanel(const QString &glyph)
{
    const QHash<QString, Panel> drawn{
        {"H",
         {"", "", "", "", ".#....#", ".#....#", ".#....#", ".######", ".#....#", ".#....#", ".#....#", ".#....#", "",
          "", "", ""}},
        {"|",
         {"", "", "", "...#", "...#", "...#", "...#", "...#", "...#", "...#", "...#", "...#", "...#", "...#", "", ""}},
        {"-", {"", "", "", "", "", "", "", "", "..###", "", "", "", "", "", "", ""}},
        {"1", {"", "", "", "", ".###", "...#", "...#", "...#", "...#", "...#", "...#", ".#####", "", "", "", ""}},
        {"L", {"", "", "", "", ".#", ".#", ".#", ".#", ".#", ".#", ".#", ".######", "", "", "", ""}},
        {"7", {"", "", "", "", ".######", ".....#", ".....#", "....#", "....#", "...#", "...#", "..#", "", "", "", ""}},
    };
    return padded(drawn.value(glyph));
}

// Forty full blocks run past the right edge: every column of the rows the block covers.
Panel blocksPanel()
{
    Panel rows;
    for (int r = 0; r < LedText::rows; ++r)
        rows << QString(LedText::columns, QLatin1Char(r >= 2 && r <= 14 ? '#' : '.'));
    return rows;
}

Panel emptyPanel()
{
    Panel rows;
    for (int r = 0; r < LedText::rows; ++r)
        rows << QString();
    return padded(rows);
}

bool unlitBit(const QImage &bitmap, int c, int r)
{
    return (bitmap.constScanLine(r)[c / 8] >> (c % 8)) & 1;
}

// The one-bit picture as a panel, for comparing and for failure messages.
Panel panelOf(const QImage &bitmap)
{
    Panel rows;
    for (int r = 0; r < LedText::rows; ++r) {
        QString row;
        for (int c = 0; c < LedText::columns; ++c)
            row += unlitBit(bitmap, c, r) ? QLatin1Char('.') : QLatin1Char('#');
        rows << row;
    }
    return rows;
}

bool close(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
}

// Where the dot glyph sits relative to its baseline point, for the panel's half-size font.
QRectF dotBox(const QString &fontFamily, int widgetPointSize)
{
    return QFontMetricsF(QFont(fontFamily, widgetPointSize / 2)).tightBoundingRect(QStringLiteral("●"));
}

QRectF dotBox(int widgetPointSize)
{
    return dotBox(family, widgetPointSize);
}

// The colour at the centre of each dot against the expected panel.
void checkDots(LedText &led, const Panel &expected)
{
    const QImage image = renderOnto(led);
    const QPointF centre = dotBox(led.font().family(), led.font().pointSize()).center();
    const int step = led.getStep();
    for (int r = 0; r < LedText::rows; ++r) {
        for (int c = 0; c < LedText::columns; ++c) {
            const bool lit = expected.at(r).at(c) == QLatin1Char('#');
            const QColor want = lit ? led.getForeground() : led.getBackground();
            const QColor got = image.pixelColor(int(c * step + centre.x()), int((r + 1) * step + centre.y()));
            QVERIFY2(close(got, want), qPrintable(QString("dot %1,%2 is %3").arg(c).arg(r).arg(got.name())));
        }
    }
}

} // namespace

class TestLedText : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        LedText led;
        QCOMPARE(led.getText(), QStringLiteral("123456789"));
        QCOMPARE(led.getStep(), 5);
        QCOMPARE(led.getForeground(), QColor(100, 184, 255));
        QCOMPARE(led.getBackground(), QColor(22, 22, 22));
        QCOMPARE(led.sizeHint(), QSize(200, 80));
        QCOMPARE(led.minimumSizeHint(), QSize(20, 10));
        const QMetaObject *mo = led.metaObject();
        QStringList names;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            names << QString::fromLatin1(mo->property(i).name());
        QCOMPARE(names, QStringList({"text", "step", "foreground", "background"}));
    }

    void bitmap()
    {
        const QFont font(family, 12);
        const QImage empty = ledTextBitmap(QString(), font);
        QCOMPARE(empty.size(), QSize(160, 16));
        QCOMPARE(empty.format(), QImage::Format_MonoLSB);
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 160; ++c)
                QVERIFY(unlitBit(empty, c, r));

        // A glyph lights pixels at the left; a long text runs up to the right edge and is cut.
        const QImage one = ledTextBitmap(QStringLiteral("1"), font);
        int lit = 0;
        int rightmost = -1;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 160; ++c)
                if (!unlitBit(one, c, r)) {
                    ++lit;
                    rightmost = std::max(rightmost, c);
                }
        QVERIFY(lit > 10);
        QVERIFY(rightmost < 20);

        const QImage longText = ledTextBitmap(QString(60, QLatin1Char('8')), font);
        bool lastColumnLit = false;
        for (int r = 0; r < 16; ++r)
            lastColumnLit |= !unlitBit(longText, 159, r) || !unlitBit(longText, 158, r);
        QVERIFY(lastColumnLit);
    }

    void handDrawnPanels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Panel>("panel");
        QTest::newRow("empty: 2,560 unlit dots") << QString() << emptyPanel();
        for (const char *glyph : {"H", "|", "-", "1", "L", "7"})
            QTest::addRow("%s, centred on the line", glyph) << QString::fromLatin1(glyph) << glyphPanel(glyph);
        QTest::newRow("cut at the right edge, never wrapped") << QString(40, QChar(0x2588)) << blocksPanel();
    }

    void handDrawnPanels()
    {
        QFETCH(QString, text);
        QFETCH(Panel, panel);
        const Panel drawn = panelOf(ledTextBitmap(text, QFont(mono, monoPoints)));
        QVERIFY2(drawn == panel, qPrintable("drawn:\n" + drawn.join('\n') + "\nwanted:\n" + panel.join('\n')));
    }

    void dots_data() { handDrawnPanels_data(); }

    void dots()
    {
        QFETCH(QString, text);
        QFETCH(Panel, panel);
        LedText led;
        led.setFont(QFont(mono, monoPoints));
        led.setStep(12);
        led.setText(text);
        led.resize(160 * 12 + 12, 16 * 12 + 12);
        checkDots(led, panel);
    }

    void panelSize_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("step 3: 480 x 48") << 3;
        QTest::newRow("step 5: 800 x 80") << 5;
    }

    void panelSize()
    {
        QFETCH(int, step);
        const int pointSize = 10;
        LedText led;
        led.setFont(QFont(family, pointSize));
        led.setStep(step);
        led.resize(900, 120);
        const QImage image = renderOnto(led, Qt::magenta);
        QRect lit;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != QColor(0, 0, 0))
                    lit |= QRect(x, y, 1, 1);
        const QRectF box = dotBox(pointSize);
        QVERIFY(std::abs(lit.left() - box.left()) <= 1.5);
        QVERIFY(std::abs(lit.right() + 1 - (159 * step + box.right())) <= 1.5);
        QVERIFY(std::abs(lit.bottom() + 1 - (16 * step + box.bottom())) <= 1.5);
        // The black ground covers the whole widget.
        QCOMPARE(image.pixelColor(899, 119), QColor(0, 0, 0));
    }

    void repaintsOnlyOnChange_data()
    {
        QTest::addColumn<LedAction>("action");
        QTest::addColumn<bool>("repaints");
        QTest::newRow("same step") << LedAction([](auto &l) { l.setStep(5); }) << false;
        QTest::newRow("new step") << LedAction([](auto &l) { l.setStep(3); }) << true;
        QTest::newRow("same foreground") << LedAction([](auto &l) { l.setForeground(QColor(100, 184, 255)); }) << false;
        QTest::newRow("new foreground") << LedAction([](auto &l) { l.setForeground(Qt::red); }) << true;
        QTest::newRow("same background") << LedAction([](auto &l) { l.setBackground(QColor(22, 22, 22)); }) << false;
        QTest::newRow("new background") << LedAction([](auto &l) { l.setBackground(Qt::blue); }) << true;
        QTest::newRow("same text") << LedAction([](auto &l) { l.setText("123456789"); }) << false;
        QTest::newRow("new text") << LedAction([](auto &l) { l.setText("42"); }) << true;
    }

    void repaintsOnlyOnChange()
    {
        QFETCH(LedAction, action);
        QFETCH(bool, repaints);
        LedText led;
        QVERIFY(kestrun::test::showAndSettle(led));
        auto *counter = new PaintCounter(&led);
        action(led);
        kestrun::test::flushPaints();
        QCOMPARE(counter->count > 0, repaints);
    }

    void fontInPixelsStillPaints()
    {
        LedText led;
        QFont pixelFont(family);
        pixelFont.setPixelSize(1);
        led.setFont(pixelFont);
        led.resize(100, 40);
        QCOMPARE(renderOnto(led).size(), QSize(100, 40));
    }
};

KESTRUN_TEST_MAIN(TestLedText)
#include "tst_ledtext.moc"
