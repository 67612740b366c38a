#include "testenv.h"

#include "platform/sessionend.h"

#include <QSignalSpy>

#include <csignal>

class TestSessionEnd : public QObject
{
    Q_OBJECT
private slots:
    void requestBecomesSignal_data();
    void requestBecomesSignal();
    void previousHandlerComesBack();
    void requestsAreTakenOutsideTheLoop();
};

void TestSessionEnd::requestBecomesSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestSessionEnd::requestBecomesSignal()
{
    QFETCH(int, signalNumber);
    SessionEndWatch watch;
    QVERIFY(watch.isActive());
    QSignalSpy spy(&watch, &SessionEndWatch::sigSessionEnding);
    QVERIFY(::raise(signalNumber) == 0);
    // Nothing is delivered from inside the handler: only the event loop brings the signal.
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
}

void TestSessionEnd::previousHandlerComesBack()
{
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction before {
    };
    QVERIFY(sigaction(SIGHUP, &ignore, &before) == 0);
    {
        SessionEndWatch watch;
        QVERIFY(watch.isActive());
    }
    struct sigaction after {
    };
    QVERIFY(sigaction(SIGHUP, &before, &after) == 0);
    QVERIFY(after.sa_handler == SIG_IGN);
    // One watch at a time, and a new one can be armed after the old one is gone.
    SessionEndWatch first;
    SessionEndWatch second;
    QVERIFY(first.isActive());
    QVERIFY(!second.isActive());
}

void TestSessionEnd::requestsAreTakenOutsideTheLoop()
{
    // As the start-up does between its steps, with no event loop running.
    SessionEndWatch watch;
    QSignalSpy spy(&watch, &SessionEndWatch::sigSessionEnding);
    QVERIFY(::raise(SIGINT) == 0);
    QVERIFY(::raise(SIGTERM) == 0);
    watch.deliverPending();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), int(SIGINT));
    QCOMPARE(spy.at(1).at(0).toInt(), int(SIGTERM));
    // Each request is delivered once, whichever way it is taken.
    watch.deliverPending();
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), 2);
}

KESTRUN_TEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
