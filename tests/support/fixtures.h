#pragma once

#include <QByteArray>
#include <QString>

namespace kestrun::test {

// A recorded input of tests/fixtures/ (see its README), byte for byte, by its path below that
// folder ("cpuinfo/amd-epyc-kvm-guest.txt"). A missing file ends the test program: every check
// on its text would fail for a reason that says nothing about the code.
QByteArray readFixture(const QString &relativePath);

} // namespace kestrun::test
