#include "logviewer/logprintfdia.h"
#include "testenv.h"

#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

class TestLogPrintfDia : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        QWidget parent;
        LogPrintfDia dialog(&parent);
        QCOMPARE(dialog.parentWidget(), &parent);
        QCOMPARE(dialog.objectName(), QStringLiteral("LogPrintfDia"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("LogPrintfDia"));
        QCOMPARE(dialog.size(), QSize(645, 479));

        auto *vertical = dialog.findChild<QVBoxLayout *>("verticalLayout");
        QVERIFY(vertical);
        QCOMPARE(dialog.layout(), vertical);
        QCOMPARE(vertical->spacing(), 6);
        QCOMPARE(vertical->contentsMargins(), QMargins(11, 11, 11, 11));
        auto *edit = dialog.findChild<QTextEdit *>("textEdit_Log");
        auto *frame = dialog.findChild<QFrame *>("frame");
        QVERIFY(edit && frame);
        QCOMPARE(vertical->count(), 2);
        QCOMPARE(vertical->itemAt(0)->widget(), edit);
        QCOMPARE(vertical->itemAt(1)->widget(), frame);
        QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
        QCOMPARE(frame->frameShadow(), QFrame::Raised);

        auto *horizontal = frame->findChild<QHBoxLayout *>("horizontalLayout");
        QVERIFY(horizontal);
        QCOMPARE(frame->layout(), horizontal);
        QCOMPARE(horizontal->spacing(), 6);
        QCOMPARE(horizontal->contentsMargins(), QMargins(11, 11, 11, 11));
        auto *button = frame->findChild<QPushButton *>("pushButton");
        QVERIFY(button);
        QCOMPARE(horizontal->count(), 1);
        QCOMPARE(horizontal->itemAt(0)->widget(), button);
        QCOMPARE(button->minimumSize(), QSize(0, 25));
        QCOMPARE(button->text(), QStringLiteral("清空日志信息"));
    }

    void onlyMetaMethodIsTheClearSlot()
    {
        const QMetaObject &mo = LogPrintfDia::staticMetaObject;
        QCOMPARE(mo.methodCount() - mo.methodOffset(), 1);
        QCOMPARE(mo.method(mo.methodOffset()).methodSignature(), QByteArray("on_pushButton_clicked()"));
        QCOMPARE(mo.method(mo.methodOffset()).access(), QMetaMethod::Private);
    }

    void appendAndClear()
    {
        LogPrintfDia dialog;
        auto *edit = dialog.findChild<QTextEdit *>("textEdit_Log");
        auto *button = dialog.findChild<QPushButton *>("pushButton");

        // Clearing an empty area is harmless.
        button->click();
        QVERIFY(edit->toPlainText().isEmpty());

        dialog.appendLogText("first");
        dialog.appendLogText("second");
        QCOMPARE(edit->toPlainText(), QStringLiteral("first\nsecond"));

        button->click();
        QVERIFY(edit->toPlainText().isEmpty());
        dialog.appendLogText("again");
        QCOMPARE(edit->document()->blockCount(), 1);
        QCOMPARE(edit->document()->firstBlock().text(), QStringLiteral("again"));
    }
};

KESTRUN_TEST_MAIN(TestLogPrintfDia)
#include "tst_logprintfdia.moc"
