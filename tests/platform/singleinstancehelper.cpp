// A copy of the program as far as the single-instance guard and the call go. With the key alone:
// takes the mark named by it, says so on standard output and waits to be killed; exits with -1
// when refused. With "listen": listens for calls under the key and waits to be killed. With
// "call": asks the copy listening under the key for its window, says whether it was reached.
#include "platform/instancecall.h"
#include "platform/singleinstance.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    const QString key = QString::fromLocal8Bit(argv[1]);
    if (argc == 3 && std::strcmp(argv[2], "call") == 0) {
        QCoreApplication app(argc, argv);
        std::puts(askRunningCopyToShow(key) ? "reached" : "not reached");
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[2], "listen") == 0) {
        QCoreApplication app(argc, argv);
        InstanceCallListener listener(key);
        std::puts(listener.listen() ? "listening" : "not listening");
        std::fflush(stdout);
        return app.exec();
    }
    SingleInstanceGuard guard(key);
    if (guard.claim() != SingleInstanceGuard::Claim::Taken) {
        std::puts("refused");
        return -1;
    }
    std::puts("claimed");
    std::fflush(stdout);
    for (;;)
        pause();
}
