// Reading expected.tsv and judging the program's figures against it.

#include "expected.h"
#include "testenv.h"

using namespace sensorcorpus;

Q_DECLARE_METATYPE(Outcome)

class TestCorpusExpected : public QObject
{
    Q_OBJECT

private slots:
    void judging_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<double>("shown");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("named") << "29.0" << 29.0 << Outcome::Named;
        QTest::newRow("within 0.05") << "11.00" << 11.05 << Outcome::Named;
        QTest::newRow("beyond 0.05") << "11.00" << 11.06 << Outcome::Other;
        QTest::newRow("one of several") << "52.5|48.0" << 48.0 << Outcome::Named;
        QTest::newRow("another reading") << "732" << 1250.0 << Outcome::Other;
        QTest::newRow("nothing shown") << "732" << 0.0 << Outcome::Nothing;
        QTest::newRow("stopped fan, nothing") << "0" << 0.0 << Outcome::NoneRight;
        QTest::newRow("stopped fan, something") << "0" << 732.0 << Outcome::Other;
        QTest::newRow("none, nothing") << "none" << 0.0 << Outcome::NoneRight;
        QTest::newRow("none, something") << "none" << 45.0 << Outcome::Other;
        QTest::newRow("unknown") << "?" << 45.0 << Outcome::Unjudged;
    }

    void judging()
    {
        QFETCH(QString, expected);
        QFETCH(double, shown);
        QFETCH(Outcome, outcome);
        const ExpectedFile file = parseExpected("001\tcpuFan\t" + expected.toStdString() + "\tnote\n");
        QVERIFY(file.errors.empty());
        const Expectation &expectation = file.lines.at({"001", "cpuFan"});
        QCOMPARE(judge(&expectation, shown), outcome);
    }

    void missingLineIsUnjudged()
    {
        QCOMPARE(judge(nullptr, 45.0), Outcome::Unjudged);
        QCOMPARE(judge(nullptr, 0.0), Outcome::Unjudged);
    }

    void fileFormat()
    {
        const ExpectedFile file = parseExpected("# comment\nlayout\tfigure\texpected\tnote\n"
                                                "001\tcpuTemperature\t29.0\tk10temp Tdie\n"
                                                "001\tgpuPower\tnone\r\n"
                                                "002\tcpuClock\t3000\tnot a figure of the text\n"
                                                "002\tcpuFan\tfast\n"
                                                "02\tcpuFan\t700\n"
                                                "002\tgpuFan\n"
                                                "002\tgpuFan\t700|\n"
                                                "001\tcpuTemperature\t30.0\ttwice\n");
        QCOMPARE(file.lines.size(), std::size_t(2));
        QCOMPARE(file.lines.at({"001", "cpuTemperature"}).values, std::vector<double>{29.0});
        QCOMPARE(file.lines.at({"001", "cpuTemperature"}).note, std::string("k10temp Tdie"));
        QCOMPARE(int(file.lines.at({"001", "gpuPower"}).kind), int(Expectation::Kind::None));
        QCOMPARE(file.errors.size(), std::size_t(6));
        QVERIFY(file.errors[0].find("line 5") == 0);
        QVERIFY(file.errors[5].find("line 10: figure given twice") == 0);
    }

    void tableAndFailures()
    {
        const ExpectedFile file = parseExpected("001\tcpuTemperature\t29.0\n002\tcpuTemperature\t40.0\n"
                                                "001\tcpuFan\t700\n002\tgpuPower\tnone\n");
        auto line = [&](const char *layout, const char *figure) { return &file.lines.at({layout, figure}); };
        const std::vector<Judged> judged = {
            {"001",
             "cpuTemperature",
             line("001", "cpuTemperature"),
             {29.0, "CPU (Tctl/Tdie)", "k10temp"},
             Outcome::Named},
            {"002", "cpuTemperature", line("002", "cpuTemperature"), {}, Outcome::Nothing},
            {"001", "cpuFan", line("001", "cpuFan"), {}, Outcome::Nothing},
            {"002", "gpuPower", line("002", "gpuPower"), {12.0, "GPU ASIC Power", "amdgpu"}, Outcome::Other},
            {"003", "gpuFan", nullptr, {}, Outcome::Unjudged},
        };
        const std::string text = table(judged);
        QVERIFY(text.find("cpuTemperature           1       1       0          0        0") != std::string::npos);
        QVERIFY(text.find("gpuPower                 0       0       1          0        0") != std::string::npos);
        QVERIFY(text.find("gpuFan                   0       0       0          0        1") != std::string::npos);
        // A CPU temperature not shown fails; another figure not shown does not; a wrong one does.
        QCOMPARE(failing(judged[0]), false);
        QCOMPARE(failing(judged[1]), true);
        QCOMPARE(failing(judged[2]), false);
        QCOMPARE(failing(judged[3]), true);
        QCOMPARE(failing(judged[4]), false);
        QVERIFY(details({judged[0]})
                    .find("001  cpuTemperature  expected 29.0  shown 29.00 from \"CPU (Tctl/Tdie)\" of "
                          "\"k10temp\"  -> named")
                == 0);
        QVERIFY(details({judged[4]}).find("expected (no line)  shown nothing  -> unjudged") != std::string::npos);
    }
};

KESTRUN_TEST_MAIN(TestCorpusExpected)
#include "tst_corpusexpected.moc"
