#include "mainwindow/dmainwidget.h"
#include "testenv.h"
#include "widgets/progressbarround.h"

#include <QGridLayout>
#include <QLayout>
#include <QSet>

Q_DECLARE_METATYPE(QMargins)

// The form on its own: built on a plain widget, before any theme touches it.
class TestMainWidgetForm : public QObject
{
    Q_OBJECT

    QWidget host;
    Ui::DMainWidget form;

    // name, class, nearest ancestor that the tree names
    struct Node {
        const char *name;
        const char *className;
        const char *ancestor;
    };
    static const QVector<Node> &tree();

    QWidget *widget(const QString &name) const
    {
        return name == QLatin1String("DMainWidget") ? const_cast<QWidget *>(&host) : host.findChild<QWidget *>(name);
    }

private slots:
    void initTestCase() { form.setupUi(&host); }

    void everyWidgetHasItsNameClassAndPlace_data();
    void everyWidgetHasItsNameClassAndPlace();
    void formMembersPointAtTheNamedWidgets();
    void layoutsHaveTheirSpacingAndMargins_data();
    void layoutsHaveTheirSpacingAndMargins();
    void sizeConstraints_data();
    void sizeConstraints();
    void defaultTexts_data();
    void defaultTexts();
    void alignments_data();
    void alignments();
    void stackedPagesInOrder();
    void buttonsAndBars();
    void metricGridCells_data();
    void metricGridCells();
    void hardwareListCells_data();
    void hardwareListCells();
    void defaultStyleSheets_data();
    void defaultStyleSheets();
    void framesAreRaisedStyledPanels();
};

const QVector<TestMainWidgetForm::Node> &TestMainWidgetForm::tree()
{
    static const QVector<Node> nodes = [] {
        QVector<Node> n = {
            {"frame_Bg", "QFrame", "DMainWidget"},
            {"frame_LeftAreaABC", "QFrame", "frame_Bg"},
            {"stackedWidget_2", "QStackedWidget", "frame_LeftAreaABC"},
            {"page", "QWidget", "stackedWidget_2"},
            {"page_2", "QWidget", "stackedWidget_2"},
            {"stackedWidget", "QStackedWidget", "page_2"},
            {"page_TitleMode01", "QWidget", "stackedWidget"},
            {"frame_44", "QFrame", "page_TitleMode01"},
            {"frame", "QFrame", "frame_44"},
            {"appLogo", "QPushButton", "frame"},
            {"frame_5", "QFrame", "frame_44"},
            {"label_AppName", "QLabel", "frame_5"},
            {"page_TitleMode02", "QWidget", "stackedWidget"},
            {"pushButton", "QPushButton", "page_TitleMode02"},
            {"frame_34", "QFrame", "frame_LeftAreaABC"},
            {"pushButton_Monitor", "QPushButton", "frame_34"},
            {"pushButton_Hardware", "QPushButton", "frame_34"},
            {"pushButton_Test", "QPushButton", "frame_LeftAreaABC"},
            {"pushButton_Logo", "QPushButton", "frame_LeftAreaABC"},
            {"label_CrashTest", "QLabel", "frame_LeftAreaABC"},
            {"label_AppVersion", "QLabel", "frame_LeftAreaABC"},
            {"frame_RightAreaABC", "QFrame", "frame_Bg"},
            {"frame_TitleASDF", "QFrame", "frame_RightAreaABC"},
            {"frame_4", "QFrame", "frame_TitleASDF"},
            {"frame_25", "QFrame", "frame_TitleASDF"},
            {"frame_24", "QFrame", "frame_25"},
            {"pushButton_Setting", "QPushButton", "frame_24"},
            {"pushButton_Min", "QPushButton", "frame_24"},
            {"pushButton_Max", "QPushButton", "frame_24"},
            {"pushButton_Close", "QPushButton", "frame_24"},
            {"frame_23", "QFrame", "frame_RightAreaABC"},
            {"stackedWidget_3", "QStackedWidget", "frame_23"},
            {"page_Monitor", "QWidget", "stackedWidget_3"},
            {"page_Hardware", "QWidget", "stackedWidget_3"},
            {"page_HardwareInfoNew", "QWidget", "stackedWidget_3"},
            {"frame_CompanyInfo", "QFrame", "frame_RightAreaABC"},
            {"frame_35", "QFrame", "frame_CompanyInfo"},
            {"label_CompanyUrl", "QLabel", "frame_35"},
            {"label_CompanyCopyright", "QLabel", "frame_CompanyInfo"},
            {"frame_MainArea", "QFrame", "page_Monitor"},
            {"frame_2", "QFrame", "frame_MainArea"},
            {"label_HidStatus", "QLabel", "frame_2"},
            {"label_ErrorMsg", "QLabel", "frame_2"},
            {"radioButton_Model01", "QRadioButton", "frame_2"},
            {"radioButton_Model02", "QRadioButton", "frame_2"},
            {"frame_InfoShow", "QFrame", "frame_MainArea"},
            {"frame_LeftArea", "QFrame", "frame_InfoShow"},
            {"frame_21", "QFrame", "frame_LeftArea"},
            {"widget_CpuDashboardNew", "ProgressBarRound", "frame_21"},
            {"frame_8", "QFrame", "frame_LeftArea"},
            {"frame_RightArea", "QFrame", "frame_InfoShow"},
            {"frame_22", "QFrame", "frame_RightArea"},
            {"widget_GpuDashboardNew", "ProgressBarRound", "frame_22"},
            {"frame_9", "QFrame", "frame_RightArea"},
            {"frame_CenterArea", "QFrame", "page_Hardware"},
            {"frame_Memory", "QFrame", "frame_CenterArea"},
            {"label_2", "QLabel", "frame_Memory"},
            {"frame_10", "QFrame", "frame_Memory"},
            {"label_MemoryUsageNum", "QLabel", "frame_10"},
            {"label_6", "QLabel", "frame_10"},
            {"progressBar_MemoryUsage", "QProgressBar", "frame_Memory"},
            {"label_MemoryUsage", "QLabel", "frame_Memory"},
            {"frame_HardDisk", "QFrame", "frame_CenterArea"},
            {"label_8", "QLabel", "frame_HardDisk"},
            {"frame_13", "QFrame", "frame_HardDisk"},
            {"label_HardDiskUsageNum", "QLabel", "frame_13"},
            {"label_12", "QLabel", "frame_13"},
            {"progressBar_HardDiskUsage", "QProgressBar", "frame_HardDisk"},
            {"label_HardDiskUsage", "QLabel", "frame_HardDisk"},
            {"frame_HardwareInfoArea", "QFrame", "page_HardwareInfoNew"},
        };
        // the metric grids: four on the CPU side, four on the GPU side
        static const char *const metrics[8][6] = {
            {"progressBar_CPU01", "label_CPU01", "label_CPU01_UNIT", "label_4", "label_3", "frame_8"},
            {"progressBar_CPU02", "label_CPU02", "label_CPU02_UNIT", "label_10", "label", "frame_8"},
            {"progressBar_CPU03", "label_CPU03", "label_CPU03_UNIT", "label_14", "label_5", "frame_8"},
            {"progressBar_CPU04", "label_CPU04", "label_CPU04_UNIT", "label_16", "label_7", "frame_8"},
            {"progressBar_GPU01", "label_GPU01", "label_GPU01_UNIT", "label_17", "label_9", "frame_9"},
            {"progressBar_GPU02", "label_GPU02", "label_GPU02_UNIT", "label_18", "label_11", "frame_9"},
            {"progressBar_GPU03", "label_GPU03", "label_GPU03_UNIT", "label_19", "label_13", "frame_9"},
            {"progressBar_GPU04", "label_GPU04", "label_GPU04_UNIT", "label_20", "label_15", "frame_9"},
        };
        for (const auto &m : metrics) {
            n.append({m[0], "QProgressBar", m[5]});
            for (int i = 1; i < 5; ++i)
                n.append({m[i], "QLabel", m[5]});
        }
        // the hardware list: row frame, caption, value labels
        static const char *const rows[8][8] = {
            {"frame_HardwareInfo001", "label_21", "label_29"},
            {"frame_HardwareInfo002", "label_22", "label_30"},
            {"frame_HardwareInfo003", "label_23", "label_31", "label_32", "label_33", "label_34", "label_44",
             "label_45"},
            {"frame_HardwareInfo004", "label_24", "label_35", "label_36", "label_37", "label_38", "label_46",
             "label_47"},
            {"frame_HardwareInfo005", "label_25", "label_39", "label_40", "label_50", "label_51"},
            {"frame_HardwareInfo006", "label_26", "label_41", "label_48", "label_49"},
            {"frame_HardwareInfo007", "label_27", "label_42", "label_52"},
            {"frame_HardwareInfo008", "label_28", "label_43"},
        };
        for (const auto &r : rows) {
            n.append({r[0], "QFrame", "frame_HardwareInfoArea"});
            for (int i = 1; i < 8 && r[i]; ++i)
                n.append({r[i], "QLabel", r[0]});
        }
        return n;
    }();
    return nodes;
}

void TestMainWidgetForm::everyWidgetHasItsNameClassAndPlace_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("ancestor");
    for (const Node &n : tree())
        QTest::newRow(n.name) << n.className << n.ancestor;
}

void TestMainWidgetForm::everyWidgetHasItsNameClassAndPlace()
{
    QFETCH(QString, className);
    QFETCH(QString, ancestor);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QList<QWidget *> found = host.findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);

    // the first ancestor whose name the tree knows must be the expected one
    QSet<QString> named{QStringLiteral("DMainWidget")};
    for (const Node &n : tree())
        named.insert(QString::fromLatin1(n.name));
    QWidget *up = found.first()->parentWidget();
    while (up && !named.contains(up == &host ? QStringLiteral("DMainWidget") : up->objectName()))
        up = up->parentWidget();
    QVERIFY(up);
    QCOMPARE(up == &host ? QStringLiteral("DMainWidget") : up->objectName(), ancestor);
}

void TestMainWidgetForm::formMembersPointAtTheNamedWidgets()
{
    QCOMPARE(form.frame_Bg, widget("frame_Bg"));
    QCOMPARE(form.label, widget("label"));
    QCOMPARE(form.widget_CpuDashboardNew, widget("widget_CpuDashboardNew"));
    QCOMPARE(form.label_GPU04_UNIT, widget("label_GPU04_UNIT"));
    QCOMPARE(form.label_20, widget("label_20"));
    QCOMPARE(form.label_52, widget("label_52"));
    QCOMPARE(form.page_HardwareInfoNew, widget("page_HardwareInfoNew"));
    QCOMPARE(form.gridLayout_8, host.findChild<QGridLayout *>("gridLayout_8"));
    QCOMPARE(host.objectName(), QStringLiteral("DMainWidget"));
    QCOMPARE(host.windowTitle(), QStringLiteral("DMainWidget"));
    QCOMPARE(host.size(), QSize(1150, 750));
}

void TestMainWidgetForm::layoutsHaveTheirSpacingAndMargins_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QMargins>("margins");
    const struct {
        const char *name, *cls, *owner;
        int spacing;
        QMargins margins;
    } rows[] = {
        {"verticalLayout_2", "QVBoxLayout", "DMainWidget", 0, {0, 0, 0, 0}},
        {"horizontalLayout", "QHBoxLayout", "frame_Bg", 0, {0, 0, 0, 0}},
        {"verticalLayout_16", "QVBoxLayout", "frame_LeftAreaABC", 6, {0, 15, 0, 11}},
        {"horizontalLayout_26", "QHBoxLayout", "page", 6, {11, 11, 11, 11}},
        {"verticalLayout_15", "QVBoxLayout", "page_2", 6, {11, 11, 11, 11}},
        {"horizontalLayout_10", "QHBoxLayout", "page_TitleMode01", 6, {0, 0, 0, 0}},
        {"horizontalLayout_9", "QHBoxLayout", "frame_44", 6, {0, 0, 0, 0}},
        {"verticalLayout_3", "QVBoxLayout", "frame", 0, {0, 0, 0, 0}},
        {"verticalLayout_4", "QVBoxLayout", "frame_5", 0, {0, 2, 0, 0}},
        {"horizontalLayout_11", "QHBoxLayout", "page_TitleMode02", 6, {0, 0, 0, 0}},
        {"verticalLayout_18", "QVBoxLayout", "frame_34", 6, {11, 3, 11, 11}},
        {"gridLayout_11", "QGridLayout", "frame_34", -1, {11, 0, 11, 6}},
        {"verticalLayout", "QVBoxLayout", "frame_RightAreaABC", 0, {0, 0, 0, 0}},
        {"horizontalLayout_3", "QHBoxLayout", "frame_TitleASDF", 6, {14, 11, 11, 11}},
        {"horizontalLayout_23", "QHBoxLayout", "frame_4", 16, {0, 6, 11, 0}},
        {"verticalLayout_17", "QVBoxLayout", "frame_25", 6, {0, 10, 10, 0}},
        {"horizontalLayout_27", "QHBoxLayout", "frame_24", 15, {11, 0, 0, 0}},
        {"horizontalLayout_25", "QHBoxLayout", "frame_23", 6, {0, 0, 0, 0}},
        {"verticalLayout_19", "QVBoxLayout", "frame_CompanyInfo", 2, {11, 0, 20, 11}},
        {"horizontalLayout_36", "QHBoxLayout", "frame_35", 6, {0, 0, 0, 0}},
        {"horizontalLayout_24", "QHBoxLayout", "page_Monitor", 6, {0, 0, 0, 0}},
        {"verticalLayout_5", "QVBoxLayout", "frame_MainArea", 0, {6, 0, 0, 6}},
        {"horizontalLayout_4", "QHBoxLayout", "frame_2", 6, {3, 0, 40, 5}},
        {"horizontalLayout_2", "QHBoxLayout", "frame_InfoShow", 80, {6, 3, 0, 11}},
        {"verticalLayout_6", "QVBoxLayout", "frame_LeftArea", 0, {11, 10, 11, 30}},
        {"verticalLayout_7", "QVBoxLayout", "frame_RightArea", 0, {11, 10, 11, 30}},
        {"horizontalLayout_21", "QHBoxLayout", "frame_21", 6, {11, 30, 11, 11}},
        {"horizontalLayout_22", "QHBoxLayout", "frame_22", 6, {11, 30, 11, 11}},
        {"verticalLayout_9", "QVBoxLayout", "frame_8", 20, {10, 8, 10, 0}},
        {"verticalLayout_8", "QVBoxLayout", "frame_9", 20, {10, 8, 10, 0}},
        {"horizontalLayout_8", "QHBoxLayout", "page_Hardware", 6, {11, 11, 11, 11}},
        {"verticalLayout_10", "QVBoxLayout", "frame_CenterArea", 16, {11, 16, 11, 20}},
        {"verticalLayout_20", "QVBoxLayout", "page_HardwareInfoNew", 6, {14, 0, 30, 9}},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.cls << r.owner << r.spacing << r.margins;
    for (const char *grid : {"gridLayout_2", "gridLayout_10", "gridLayout_3", "gridLayout_4"})
        QTest::newRow(grid) << "QGridLayout"
                            << "frame_8" << -1 << QMargins(0, 0, 0, 0);
    for (const char *grid : {"gridLayout_5", "gridLayout_6", "gridLayout_7", "gridLayout_8"})
        QTest::newRow(grid) << "QGridLayout"
                            << "frame_9" << -1 << QMargins(0, 0, 0, 0);
}

void TestMainWidgetForm::layoutsHaveTheirSpacingAndMargins()
{
    QFETCH(QString, className);
    QFETCH(QString, owner);
    QFETCH(int, spacing);
    QFETCH(QMargins, margins);
    auto *layout = host.findChild<QLayout *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(layout);
    QCOMPARE(QString::fromLatin1(layout->metaObject()->className()), className);
    QCOMPARE(layout->parentWidget(), widget(owner));
    QCOMPARE(layout->contentsMargins(), margins);
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        QCOMPARE(grid->horizontalSpacing(), 6);
        QCOMPARE(grid->verticalSpacing(), layout->objectName() == "gridLayout_11" ? 40 : 3);
    } else {
        QCOMPARE(layout->spacing(), spacing);
    }
}

void TestMainWidgetForm::sizeConstraints_data()
{
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    const int no = QWIDGETSIZE_MAX;
    const struct {
        const char *name;
        QSize minimum, maximum;
    } rows[] = {
        {"frame_LeftAreaABC", {225, 0}, {225, no}},
        {"stackedWidget_2", {0, 0}, {no, 60}},
        {"frame", {0, 0}, {31, no}},
        {"appLogo", {30, 30}, {30, 30}},
        {"pushButton", {200, 30}, {200, 30}},
        {"frame_34", {0, 100}, {no, no}},
        {"pushButton_Monitor", {150, 65}, {140, no}},
        {"pushButton_Hardware", {150, 65}, {140, no}},
        {"pushButton_Test", {140, 55}, {no, no}},
        {"pushButton_Logo", {100, 25}, {no, no}},
        {"label_CrashTest", {120, 0}, {no, no}},
        {"frame_TitleASDF", {0, 85}, {no, 85}},
        {"frame_4", {560, 0}, {no, no}},
        {"frame_25", {170, 0}, {170, no}},
        {"pushButton_Setting", {18, 18}, {18, no}},
        {"pushButton_Min", {18, 18}, {18, no}},
        {"pushButton_Max", {18, 18}, {18, no}},
        {"pushButton_Close", {18, 18}, {18, no}},
        {"frame_CompanyInfo", {0, 70}, {no, 70}},
        {"frame_2", {0, 35}, {no, 35}},
        {"radioButton_Model01", {60, 0}, {no, no}},
        {"radioButton_Model02", {60, 0}, {no, no}},
        {"frame_LeftArea", {350, 0}, {350, no}},
        {"frame_RightArea", {350, 0}, {350, no}},
        {"frame_21", {0, 250}, {no, no}},
        {"frame_22", {0, 250}, {no, no}},
        {"widget_CpuDashboardNew", {195, 195}, {no, 195}},
        {"widget_GpuDashboardNew", {195, 195}, {no, 195}},
        {"frame_8", {0, 180}, {no, no}},
        {"frame_9", {0, 180}, {no, no}},
        {"frame_CenterArea", {450, 0}, {no, no}},
        {"label_MemoryUsage", {120, 0}, {no, no}},
        {"label_HardDiskUsage", {120, 0}, {no, no}},
        {"label_CPU01", {0, 0}, {no, no}},
        {"label_4", {13, 13}, {13, 13}},
        {"label_20", {0, 0}, {13, 13}},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.minimum << r.maximum;
    for (const char *bar : {"progressBar_CPU01", "progressBar_CPU02", "progressBar_CPU03", "progressBar_CPU04",
                            "progressBar_GPU01", "progressBar_GPU02", "progressBar_GPU03", "progressBar_GPU04"})
        QTest::newRow(bar) << QSize(0, 11) << QSize(no, 11);
    for (const char *icon : {"label_10", "label_14", "label_16", "label_17", "label_18", "label_19"})
        QTest::newRow(icon) << QSize(13, 13) << QSize(13, 13);
    for (const char *value : {"label_CPU01", "label_GPU04"})
        QTest::newRow(value) << QSize(0, 0) << QSize(no, no);
}

void TestMainWidgetForm::sizeConstraints()
{
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QWidget *w = widget(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    QCOMPARE(w->minimumSize(), minimum);
    QCOMPARE(w->maximumSize(), maximum);
}

void TestMainWidgetForm::defaultTexts_data()
{
    QTest::addColumn<QString>("text");
    const struct {
        const char *name, *text;
    } rows[] = {
        {"label_AppName", "TALVEX"},
        {"appLogo", ""},
        {"pushButton", ""},
        {"pushButton_Monitor", "HARDWARE\nMONITOR"},
        {"pushButton_Hardware", "HARDWARE\nINFORMATION"},
        {"pushButton_Test", "Test"},
        {"pushButton_Logo", "日志打印"},
        {"label_CrashTest", "Crash:XXX"},
        {"label_AppVersion", "V_1.0.0.01"},
        {"pushButton_Setting", ""},
        {"pushButton_Close", ""},
        {"label_HidStatus", "Disconnected"},
        {"label_ErrorMsg", "Please get a new APP"},
        {"radioButton_Model01", "℃"},
        {"radioButton_Model02", "℉"},
        {"label_CPU01", "100"},
        {"label_CPU01_UNIT", "%"},
        {"label_3", "CPU Utilization"},
        {"label_CPU02", "1000"},
        {"label_CPU02_UNIT", "MHz"},
        {"label", "CPU Frequency"},
        {"label_CPU03", "1000"},
        {"label_CPU03_UNIT", "RPM"},
        {"label_5", "CPU Fan"},
        {"label_CPU04", "100"},
        {"label_CPU04_UNIT", "W"},
        {"label_7", "CPU Power"},
        {"label_GPU01", "100"},
        {"label_9", "GPU Utilization"},
        {"label_GPU02_UNIT", "MHz"},
        {"label_11", "GPU Frequency"},
        {"label_GPU03", "1000"},
        {"label_13", "GPU Fan"},
        {"label_GPU04_UNIT", "W"},
        {"label_15", "GPU Power"},
        {"label_4", ""},
        {"label_20", ""},
        {"label_2", "Memory usage"},
        {"label_8", "Hard disk usage (C:)"},
        {"label_MemoryUsageNum", "0"},
        {"label_HardDiskUsageNum", "0"},
        {"label_6", "%"},
        {"label_12", "%"},
        {"label_MemoryUsage", "10G/16G"},
        {"label_HardDiskUsage", "800G/1000G"},
        {"label_21", "CPU"},
        {"label_22", "Mainboard"},
        {"label_23", "RAM"},
        {"label_24", "Disk Drive"},
        {"label_25", "Graphics Card"},
        {"label_26", "Sound Card"},
        {"label_27", "Network Card"},
        {"label_28", "System Version"},
        {"label_29", "TextLabel"},
        {"label_30", "TextLabel"},
        {"label_31", "TextLabel"},
        {"label_32", "0.0GB"},
        {"label_45", "0.0GB"},
        {"label_46", "TextLabel"},
        {"label_47", "0.0GB"},
        {"label_50", "TextLabel"},
        {"label_51", "0.0GB"},
        {"label_41", "TextLabel"},
        {"label_49", "TextLabel"},
        {"label_52", "TextLabel"},
        {"label_43", "TextLabel"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromUtf8(r.text);
}

void TestMainWidgetForm::defaultTexts()
{
    QFETCH(QString, text);
    QWidget *w = widget(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QAbstractButton *>(w)->text(), text);
}

void TestMainWidgetForm::alignments_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("wordWrap");
    const int leftMiddle = Qt::AlignLeft | Qt::AlignVCenter;
    const int rightMiddle = Qt::AlignRight | Qt::AlignVCenter;
    const int centre = Qt::AlignCenter;
    QTest::newRow("label_AppName") << leftMiddle << false;
    QTest::newRow("label_CrashTest") << centre << false;
    QTest::newRow("label_AppVersion") << centre << false;
    QTest::newRow("label_CompanyUrl") << rightMiddle << false;
    QTest::newRow("label_CompanyCopyright") << rightMiddle << false;
    QTest::newRow("label_HidStatus") << leftMiddle << false;
    QTest::newRow("label_ErrorMsg") << centre << false;
    QTest::newRow("label_CPU01") << leftMiddle << false;
    QTest::newRow("label_GPU03_UNIT") << leftMiddle << false;
    QTest::newRow("label_MemoryUsageNum") << rightMiddle << false;
    QTest::newRow("label_HardDiskUsageNum") << rightMiddle << false;
    QTest::newRow("label_6") << leftMiddle << false;
    QTest::newRow("label_12") << leftMiddle << false;
    QTest::newRow("label_21") << rightMiddle << false;
    QTest::newRow("label_28") << rightMiddle << false;
    QTest::newRow("label_29") << int(Qt::AlignLeft | Qt::AlignVCenter) << true;
    QTest::newRow("label_30") << int(Qt::AlignLeft | Qt::AlignVCenter) << true;
    QTest::newRow("label_43") << int(Qt::AlignLeft | Qt::AlignVCenter) << false;
}

void TestMainWidgetForm::alignments()
{
    QFETCH(int, alignment);
    QFETCH(bool, wordWrap);
    auto *label = host.findChild<QLabel *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(label);
    QCOMPARE(int(label->alignment()), alignment);
    QCOMPARE(label->wordWrap(), wordWrap);
}

void TestMainWidgetForm::stackedPagesInOrder()
{
    const struct {
        QStackedWidget *stack;
        QStringList pages;
        int current;
    } stacks[] = {
        {form.stackedWidget_2, {"page", "page_2"}, 1},
        {form.stackedWidget, {"page_TitleMode01", "page_TitleMode02"}, 0},
        {form.stackedWidget_3, {"page_Monitor", "page_Hardware", "page_HardwareInfoNew"}, 0},
    };
    for (const auto &s : stacks) {
        QCOMPARE(s.stack->count(), s.pages.size());
        for (int i = 0; i < s.pages.size(); ++i)
            QCOMPARE(s.stack->widget(i)->objectName(), s.pages.at(i));
        QCOMPARE(s.stack->currentIndex(), s.current);
    }
}

void TestMainWidgetForm::buttonsAndBars()
{
    QVERIFY(form.pushButton_Monitor->isCheckable());
    QVERIFY(form.pushButton_Monitor->isChecked());
    QVERIFY(form.pushButton_Hardware->isCheckable());
    QVERIFY(!form.pushButton_Hardware->isChecked());
    QVERIFY(form.radioButton_Model01->isChecked());
    QVERIFY(!form.radioButton_Model02->isChecked());
    QCOMPARE(form.appLogo->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form.appLogo->iconSize(), QSize(32, 32));
    for (QPushButton *b : {form.pushButton_Setting, form.pushButton_Min, form.pushButton_Max, form.pushButton_Close})
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);

    const struct {
        QProgressBar *bar;
        int value;
    } bars[] = {
        {form.progressBar_CPU01, 10}, {form.progressBar_CPU02, 20}, {form.progressBar_CPU03, 30},
        {form.progressBar_CPU04, 50}, {form.progressBar_GPU01, 10}, {form.progressBar_GPU02, 20},
        {form.progressBar_GPU03, 30}, {form.progressBar_GPU04, 50},
    };
    for (const auto &b : bars) {
        QCOMPARE(b.bar->value(), b.value);
        QVERIFY(!b.bar->isTextVisible());
        QCOMPARE(b.bar->alignment(), Qt::AlignCenter);
        QCOMPARE(b.bar->textDirection(), QProgressBar::TopToBottom);
    }
    for (QProgressBar *usage : {form.progressBar_MemoryUsage, form.progressBar_HardDiskUsage}) {
        QCOMPARE(usage->value(), 24);
        QVERIFY(!usage->isTextVisible());
    }
}

void TestMainWidgetForm::metricGridCells_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("iconPath");
    QTest::newRow("gridLayout_2") << "progressBar_CPU01"
                                  << "label_4"
                                  << "label_3"
                                  << "label_CPU01"
                                  << "label_CPU01_UNIT"
                                  << "utilization";
    QTest::newRow("gridLayout_10") << "progressBar_CPU02"
                                   << "label_10"
                                   << "label"
                                   << "label_CPU02"
                                   << "label_CPU02_UNIT"
                                   << "frequency";
    QTest::newRow("gridLayout_3") << "progressBar_CPU03"
                                  << "label_14"
                                  << "label_5"
                                  << "label_CPU03"
                                  << "label_CPU03_UNIT"
                                  << "fan";
    QTest::newRow("gridLayout_4") << "progressBar_CPU04"
                                  << "label_16"
                                  << "label_7"
                                  << "label_CPU04"
                                  << "label_CPU04_UNIT"
                                  << "power";
    QTest::newRow("gridLayout_5") << "progressBar_GPU01"
                                  << "label_17"
                                  << "label_9"
                                  << "label_GPU01"
                                  << "label_GPU01_UNIT"
                                  << "utilization";
    QTest::newRow("gridLayout_6") << "progressBar_GPU02"
                                  << "label_18"
                                  << "label_11"
                                  << "label_GPU02"
                                  << "label_GPU02_UNIT"
                                  << "frequency";
    QTest::newRow("gridLayout_7") << "progressBar_GPU03"
                                  << "label_19"
                                  << "label_13"
                                  << "label_GPU03"
                                  << "label_GPU03_UNIT"
                                  << "fan";
    QTest::newRow("gridLayout_8") << "progressBar_GPU04"
                                  << "label_20"
                                  << "label_15"
                                  << "label_GPU04"
                                  << "label_GPU04_UNIT"
                                  << "power";
}

void TestMainWidgetForm::metricGridCells()
{
    QFETCH(QString, bar);
    QFETCH(QString, icon);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    QFETCH(QString, unit);
    QFETCH(QString, iconPath);
    auto *grid = host.findChild<QGridLayout *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(grid);
    const auto cellOf = [grid](QWidget *w) {
        // the widget itself or the frame that holds it
        while (w && grid->indexOf(w) < 0)
            w = w->parentWidget();
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        if (w)
            grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
        return QVector<int>{row, column, rowSpan, columnSpan};
    };
    QCOMPARE(cellOf(widget(bar)), (QVector<int>{0, 0, 1, 2}));
    QCOMPARE(cellOf(widget(icon)), (QVector<int>{1, 0, 1, 1}));
    QCOMPARE(cellOf(widget(caption)), (QVector<int>{1, 0, 1, 1}));
    QCOMPARE(cellOf(widget(value)), (QVector<int>{1, 1, 1, 1}));
    QCOMPARE(cellOf(widget(unit)), (QVector<int>{1, 1, 1, 1}));
    QCOMPARE(widget(value)->parentWidget()->maximumWidth(), 100);
    QCOMPARE(widget(value)->parentWidget(), widget(unit)->parentWidget());
    QCOMPARE(widget(icon)->parentWidget(), widget(caption)->parentWidget());
    QCOMPARE(widget(icon)->styleSheet(), QStringLiteral("border-image: url(:/images/InfoLog/%1.png);").arg(iconPath));
    QVERIFY(!QPixmap(QStringLiteral(":/images/InfoLog/%1.png").arg(iconPath)).isNull());
}

void TestMainWidgetForm::hardwareListCells_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    const struct {
        const char *name;
        int row, column;
    } cells[] = {
        {"label_29", 0, 0}, {"label_30", 0, 0}, {"label_31", 0, 0}, {"label_32", 0, 1}, {"label_33", 1, 0},
        {"label_34", 1, 1}, {"label_44", 2, 0}, {"label_45", 2, 1}, {"label_35", 0, 0}, {"label_36", 0, 1},
        {"label_37", 1, 0}, {"label_38", 1, 1}, {"label_46", 2, 0}, {"label_47", 2, 1}, {"label_39", 0, 0},
        {"label_40", 0, 1}, {"label_50", 1, 0}, {"label_51", 1, 1}, {"label_41", 1, 0}, {"label_48", 2, 0},
        {"label_49", 3, 0}, {"label_42", 0, 0}, {"label_52", 1, 0}, {"label_43", 0, 0},
    };
    for (const auto &c : cells)
        QTest::newRow(c.name) << c.row << c.column;
}

void TestMainWidgetForm::hardwareListCells()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QWidget *label = widget(QString::fromLatin1(QTest::currentDataTag()));
    auto *grid = qobject_cast<QGridLayout *>(label->parentWidget()->layout());
    QVERIFY(grid);
    int r = -1, c = -1, rs = 0, cs = 0;
    grid->getItemPosition(grid->indexOf(label), &r, &c, &rs, &cs);
    QCOMPARE(r, row);
    QCOMPARE(c, column);
}

void TestMainWidgetForm::defaultStyleSheets_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::newRow("frame_Bg")
        << "QFrame#frame_Bg{background-color: rgb(37, 37, 37); border: 1px solid rgb(20, 20, 20); "
           "border-radius: 12px;}";
    QTest::newRow("appLogo") << "QPushButton{border-image: url(:/images/AppLogo.png);}";
    QTest::newRow("pushButton") << "QPushButton{border-image: url(:/images/leftTopLogo.png);}";
    QTest::newRow("label_AppName") << "QLabel#label_AppName{color: rgb(249, 27, 51);}";
    QTest::newRow("pushButton_Close")
        << "QPushButton{border-image: url(:/images/mainpage/closeWindowDef.png);}"
           "QPushButton:hover{border-image: url(:/images/mainpage/closeWindowSel.png);}"
           "QPushButton:pressed{border-image: url(:/images/mainpage/closeWindowSel.png);}";
    QTest::newRow("pushButton_Setting") << "QPushButton{border-image: url(:/images/mainpage/settingDef.png);}"
                                           "QPushButton:hover{border-image: url(:/images/mainpage/settingSel.png);}"
                                           "QPushButton:pressed{border-image: url(:/images/mainpage/settingSel.png);}";
    QTest::newRow("label_ErrorMsg") << "QLabel{color: rgb(250, 20, 20); font: 75 14pt \"微软雅黑\";}";
    QTest::newRow("frame_HardwareInfoArea")
        << "QFrame#frame_HardwareInfoArea{border: 2px solid rgb(49, 49, 49); border-radius: 20px;}";
    QTest::newRow("frame_CompanyInfo")
        << "QFrame#frame_CompanyInfo{background-color: rgba(179, 47, 23, 0);}"
           "QLabel#label_CompanyUrl, QLabel#label_CompanyCopyright{color: rgb(220, 220, 220);}";
    QTest::newRow("frame_10") << "QLabel#label_MemoryUsageNum{color: rgb(249, 27, 51); font: 75 46pt \"微软雅黑\";}"
                                 "QLabel#label_6{color: rgb(249, 27, 51); font: 75 20pt \"微软雅黑\";}";
    QTest::newRow("frame_RightAreaABC")
        << "QFrame#frame_RightAreaABC{border-top-right-radius: 12px; border-bottom-right-radius: 12px;}"
           "QProgressBar{background-color: rgb(60, 60, 60); border-radius: 4px;}"
           "QProgressBar::chunk{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
           "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); border-radius: 4px;}";
    const QString redBorder = "border: 2px solid qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
                              "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255)); "
                              "border-radius: 8px;}";
    QTest::newRow("frame_34") << "QPushButton{color: rgb(220, 220, 220); border: 2px solid rgb(102, 102, 102); "
                                 "border-radius: 8px;}"
                                 "QPushButton:hover{color: rgb(220, 220, 220); "
                                     + redBorder + "QPushButton:pressed{color: rgb(220, 220, 220); " + redBorder
                                     + "QPushButton:checked{color: rgb(220, 220, 220); " + redBorder;
    for (const char *empty : {"pushButton_Monitor", "pushButton_Hardware", "label_AppVersion", "frame_4",
                              "frame_MainArea", "progressBar_MemoryUsage", "progressBar_HardDiskUsage"})
        QTest::newRow(empty) << QString();
}

void TestMainWidgetForm::defaultStyleSheets()
{
    QFETCH(QString, sheet);
    QCOMPARE(widget(QString::fromLatin1(QTest::currentDataTag()))->styleSheet(), sheet);
}

void TestMainWidgetForm::framesAreRaisedStyledPanels()
{
    for (QFrame *frame : host.findChildren<QFrame *>()) {
        if (qobject_cast<QLabel *>(frame) || qobject_cast<QStackedWidget *>(frame))
            continue;
        const QFrame::Shape shape = frame->objectName() == "frame_35" ? QFrame::NoFrame : QFrame::StyledPanel;
        QVERIFY2(frame->frameShape() == shape, qPrintable(frame->objectName()));
        QCOMPARE(frame->frameShadow(), QFrame::Raised);
    }
}

KESTRUN_TEST_MAIN(TestMainWidgetForm)
#include "tst_mainwidget_form.moc"
