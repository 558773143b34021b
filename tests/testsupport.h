// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the test programs.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <utility>

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

// Writes `bytes` as the whole file; false when it cannot.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Sets a process-wide value for a scope and puts the old one back, so a test
// leaves the process as it found it:
//   testsupport::ScopedValue scheme(reportState().surfaceScheme, richScheme());
template <class T> class ScopedValue {
public:
    template <class V> ScopedValue(T &ref, V &&value) : m_ref(ref), m_saved(std::move(ref)) { ref = std::forward<V>(value); }
    ~ScopedValue() { m_ref = std::move(m_saved); }
    ScopedValue(const ScopedValue &) = delete;
    ScopedValue &operator=(const ScopedValue &) = delete;

private:
    T &m_ref;
    T m_saved;
};
template <class T, class V> ScopedValue(T &, V &&) -> ScopedValue<T>;

// True when golden files are to be written anew instead of compared.
inline bool regenerateGoldens() { return qEnvironmentVariableIntValue("TOVREL_REGENERATE_GOLDENS") != 0; }

} // namespace testsupport
