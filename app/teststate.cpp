// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/teststate.h"

#include <QJsonDocument>
#include <QSaveFile>

namespace teststate {

QString stateFile()
{
    return qEnvironmentVariable("TOVREL_TEST_STATE_FILE");
}

bool writeState(const QString &path, const QJsonObject &state)
{
    if (path.isEmpty())
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(state).toJson(QJsonDocument::Indented));
    return f.commit();
}

} // namespace teststate
