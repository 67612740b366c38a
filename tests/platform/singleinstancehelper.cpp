// A copy of the program as far as the single-instance guard goes: takes the segment named by its
// argument, says so on standard output and waits to be killed; exits with -1 when refused.
#include "platform/singleinstance.h"

#include <QSharedMemory>

#include <cstdio>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    QSharedMemory segment(QString::fromLocal8Bit(argv[1]));
    if (!claimSingleInstance(segment)) {
        std::puts("refused");
        return -1;
    }
    std::puts("claimed");
    std::fflush(stdout);
    for (;;)
        pause();
}
