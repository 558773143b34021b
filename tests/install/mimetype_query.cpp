// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Asks Qt's MIME database, as the programs and many desktops read it, what
// each file named on the command line is: one line per file,
//   FILE<TAB>by name and content<TAB>by content alone
// Given --describe TYPE, prints the type's comment and glob patterns instead.
// The database is the one XDG_DATA_DIRS points at.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QMimeDatabase db;
    QTextStream out(stdout);
    if (args.size() == 2 && args[0] == u"--describe") {
        const QMimeType type = db.mimeTypeForName(args[1]);
        if (!type.isValid())
            return 1;
        out << type.name() << '\t' << type.comment() << '\t' << type.globPatterns().join(u' ') << '\n';
        return 0;
    }
    for (const QString &file : args)
        out << file << '\t' << db.mimeTypeForFile(file).name() << '\t'
            << db.mimeTypeForFile(file, QMimeDatabase::MatchContent).name() << '\n';
    return 0;
}
