/* A library planted in the folder a program is started from, under the name of one the program
 * needs (PLANTED_NAME). Being loaded leaves a mark: its name, appended to $KESTRUN_PLANTED_MARK. */
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

__attribute__((constructor)) static void leaveMark(void)
{
    static const char text[] = PLANTED_NAME "\n";
    const char *path = getenv("KESTRUN_PLANTED_MARK");
    if (!path)
        return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (write(fd, text, sizeof text - 1) < 0)
        _exit(99);
    close(fd);
}
