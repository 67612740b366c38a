#include "logCollect/log_out.h"
#include "logfiles.h"
#include "testenv.h"

#include <QRegularExpression>

#include <thread>
#include <vector>

using namespace kestrun::test;

class TestLogThreads : public QObject
{
    Q_OBJECT

private slots:
    void threadsNeitherLoseNorInterleaveRecords()
    {
        const int threads = 3;
        const int records = 3000;
        InitializeLog(QString());
        const QtMessageHandler previous = qInstallMessageHandler(writeLogRecord);

        // Plain threads: their start and join are visible to the thread checker.
        std::vector<std::thread> workers;
        workers.reserve(threads);
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([t] {
                for (int n = 0; n < records; ++n)
                    qDebug() << "thread" << t << "record" << n;
            });
        }
        for (auto &worker : workers)
            worker.join();
        qInstallMessageHandler(previous);

        const QRegularExpression record(
            R"(^\[Debug\]-\[flie:tst_logthreads\.cpp    line:\d+    datetime:\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\])"
            R"(--------------------> thread (\d) record (\d+)$)");
        std::vector<int> next(threads, 0);
        const QList<QByteArray> lines = readAllLogs().split('\n');
        QCOMPARE(lines.size(), threads * records + 1);
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < lines.size() - 1; ++i) {
            QVERIFY2(lines[i].endsWith('\r'), lines[i].constData());
            const auto match = record.match(QString::fromUtf8(lines[i].chopped(1)));
            QVERIFY2(match.hasMatch(), lines[i].constData());
            const int t = match.captured(1).toInt();
            // Each thread's records arrive complete and in the order it wrote them.
            QCOMPARE(match.captured(2).toInt(), next[t]++);
        }
        for (int t = 0; t < threads; ++t)
            QCOMPARE(next[t], records);
    }
};

KESTRUN_TEST_MAIN(TestLogThreads)
#include "tst_logthreads.moc"
