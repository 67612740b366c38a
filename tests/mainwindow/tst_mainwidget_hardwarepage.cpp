#include "config/ddatamanager.h"
#include "logfiles.h"
#include "mainwindow/dmainwidget.h"
#include "testenv.h"

using namespace kestrun::test;

Q_DECLARE_METATYPE(HardwareInventory)

// The hardware list page filled from an inventory put in place of the gathered one.
class TestMainWidgetHardwarePage : public QObject
{
    Q_OBJECT

private slots:
    void fillsTheRows_data();
    void fillsTheRows();
    void filledSoonAfterConstruction();
};

void TestMainWidgetHardwarePage::fillsTheRows_data()
{
    QTest::addColumn<HardwareInventory>("inventory");
    // "label=text" for a shown label with that text, "label!" for a hidden one
    QTest::addColumn<QStringList>("expected");

    HardwareInventory full;
    full.cpuName = "Probe CPU 9000 with a name long enough to need a second line on this page";
    full.boardName = "Probe Board X1";
    full.memoryModules = QStringList{"DIMM A,8.0 GB", "DIMM B,8.0 GB", "DIMM C,16.0 GB", "DIMM D,32.0 GB"};
    full.disks = QStringList{"Probe SSD,476.9 GB"};
    full.graphicsAdapters = QStringList{"Probe GPU,8.0 GB"};
    full.soundDevices = QStringList{""};
    full.networkAdapters = QStringList{"Probe Ethernet"};
    full.osCaption = "Probe OS 1";
    QTest::newRow("four modules, one disk, an empty sound entry") << full
                                                                  << QStringList{"label_29=" + full.cpuName,
                                                                                 "label_30=Probe Board X1",
                                                                                 "label_31=DIMM A",
                                                                                 "label_32=8.0 GB",
                                                                                 "label_33=DIMM B",
                                                                                 "label_34=8.0 GB",
                                                                                 "label_44=DIMM D",
                                                                                 "label_45=32.0 GB",
                                                                                 "label_35=Probe SSD",
                                                                                 "label_36=476.9 GB",
                                                                                 "label_37!",
                                                                                 "label_38!",
                                                                                 "label_46!",
                                                                                 "label_47!",
                                                                                 "label_39=Probe GPU",
                                                                                 "label_40=8.0 GB",
                                                                                 "label_50!",
                                                                                 "label_51!",
                                                                                 "label_41=",
                                                                                 "label_48!",
                                                                                 "label_49!",
                                                                                 "label_42=Probe Ethernet",
                                                                                 "label_52!",
                                                                                 "label_43=Probe OS 1"};

    HardwareInventory commas;
    commas.memoryModules = QStringList{"Kit, with comma,16.0 GB,extra", "Solo"};
    commas.disks = QStringList{"A,1 GB", "B,2 GB", "C,3 GB", "D,4 GB", "E,5 GB"};
    commas.graphicsAdapters = QStringList{"G1,1 GB", "G2,2 GB", "G3,3 GB"};
    commas.soundDevices = QStringList{"S1", "S2", "S3", "S4"};
    commas.networkAdapters = QStringList{"N1", "N2", "N3"};
    QTest::newRow("extra commas and long lists")
        << commas
        << QStringList{"label_29=",     "label_30=",     "label_43=",     "label_31=Kit",  "label_32= with comma",
                       "label_33=Solo", "label_34=",     "label_44!",     "label_45!",     "label_35=A",
                       "label_36=1 GB", "label_37=B",    "label_38=2 GB", "label_46=E",    "label_47=5 GB",
                       "label_39=G1",   "label_40=1 GB", "label_50=G3",   "label_51=3 GB", "label_41=S1",
                       "label_48=S2",   "label_49=S4",   "label_42=N1",   "label_52=N3"};

    QTest::newRow("nothing gathered") << HardwareInventory()
                                      << QStringList{"label_29=", "label_30=", "label_43=", "label_31!", "label_32!",
                                                     "label_33!", "label_34!", "label_44!", "label_45!", "label_35!",
                                                     "label_36!", "label_37!", "label_38!", "label_46!", "label_47!",
                                                     "label_39!", "label_40!", "label_50!", "label_51!", "label_41!",
                                                     "label_48!", "label_49!", "label_42!", "label_52!"};
}

void TestMainWidgetHardwarePage::fillsTheRows()
{
    QFETCH(HardwareInventory, inventory);
    QFETCH(QStringList, expected);
    DDataManager::instance()->setInventory(inventory);
    DMainWidget window;
    const int lines = QString::fromUtf8(readAllLogs()).count("onGetPcHardwareInfoOver and update to UI");
    window.onGetPcHardwareInfoOver();
    QCOMPARE(QString::fromUtf8(readAllLogs()).count("onGetPcHardwareInfoOver and update to UI"), lines + 1);

    for (const QString &e : expected) {
        const bool hidden = e.endsWith('!');
        const QString name = hidden ? e.chopped(1) : e.section('=', 0, 0);
        auto *label = window.findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QVERIFY2(label->isHidden() == hidden, qPrintable(name));
        if (!hidden)
            QCOMPARE(label->text(), e.section('=', 1));
    }
    // the captions always show
    for (const char *caption :
         {"label_21", "label_22", "label_23", "label_24", "label_25", "label_26", "label_27", "label_28"})
        QVERIFY(!window.findChild<QLabel *>(caption)->isHidden());
}

void TestMainWidgetHardwarePage::filledSoonAfterConstruction()
{
    HardwareInventory one;
    one.cpuName = "Later CPU";
    DDataManager::instance()->setInventory(one);
    DMainWidget window;
    QCOMPARE(window.ui->label_29->text(), QStringLiteral("TextLabel"));
    QTRY_COMPARE(window.ui->label_29->text(), QStringLiteral("Later CPU"));
    QVERIFY(window.ui->label_31->isHidden());
}

KESTRUN_TEST_MAIN(TestMainWidgetHardwarePage)
#include "tst_mainwidget_hardwarepage.moc"
