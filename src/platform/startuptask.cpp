#include "startuptask.h"

bool hasTaskStartMarker(int argc, const char *const argv[])
{
    const QByteArray marker = taskStartMarker().toLatin1();
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && marker == argv[i])
            return true;
    }
    return false;
}

QString startupTaskName(const QString &applicationName, const QString &appId)
{
    return applicationName + QStringLiteral("StartupTaskOKver---") + appId;
}
