#include "fixtures.h"

#include <QFile>

namespace kestrun::test {

QByteArray readFixture(const QString &relativePath)
{
    QFile file(QStringLiteral(KESTRUN_FIXTURES_DIR) + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture %s cannot be read: %s", qPrintable(file.fileName()), qPrintable(file.errorString()));
    return file.readAll();
}

} // namespace kestrun::test
