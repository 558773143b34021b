// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokedataoption.h"

#include "faces/strokestore.h"

namespace faces {

StrokeDataOption takeStrokeDataOption(QStringList &args)
{
    StrokeDataOption out;
    bool given = false;
    const QString name = QStringLiteral("--stroke-data");
    for (qsizetype i = 0; i < args.size();) {
        const QString &a = args[i];
        if (a == name) {
            given = true;
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                out.error = QStringLiteral("--stroke-data needs a folder");
                args.remove(i, std::min<qsizetype>(2, args.size() - i));
                continue;
            }
            out.folder = args[i + 1];
            args.remove(i, 2);
            continue;
        }
        if (a.startsWith(name + u'=')) {
            given = true;
            out.folder = a.mid(name.size() + 1);
            if (out.folder.isEmpty())
                out.error = QStringLiteral("--stroke-data needs a folder");
            args.remove(i);
            continue;
        }
        ++i;
    }
    if (!given)
        out.folder = qEnvironmentVariable("TOVREL_STROKE_DATA");
    return out;
}

QStringList useStrokeData(const QString &folder) { return StrokeStore::global().setOverrideFolder(folder); }

} // namespace faces
