#pragma once
// Small helpers shared by the test programs.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace testsupport {

// Path of a file below tests/data, the test files made by other programs.
inline QString testdata(const QString &rel)
{
    return QStringLiteral(TOVREL_SOURCE_DIR "/tests/data/") + rel;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// True when golden files are to be written anew instead of compared.
inline bool regenerateGoldens() { return qEnvironmentVariableIntValue("TOVREL_REGENERATE_GOLDENS") != 0; }

} // namespace testsupport
