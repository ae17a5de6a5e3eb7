// Holds a module's instance lock in a process of its own until it is killed, so that
// tests can meet a live holder and the lock a crashed module leaves behind.
#include "KxInstanceLock.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    KxInstanceLock lock(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[1]));
    std::puts(lock.TryLock() ? "locked" : "refused");
    std::fflush(stdout);
    for (;;)
        pause();
}
