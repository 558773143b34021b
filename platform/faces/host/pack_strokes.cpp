// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: turns the per-character stroke data files of a folder into one
// pack (see strokecodec.h) that the program carries as a resource.
//
//   tovrel-pack-strokes DATA_DIR OUT.pack
//
// A file that does not read is left out with a warning; an unreadable folder
// gives an empty pack and a warning, so a build without the data still runs
// (every character is then drawn from the Kai face).
#include "platform/faces/strokecodec.h"
#include "platform/faces/strokejson.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: tovrel-pack-strokes DATA_DIR OUT.pack\n");
        return 2;
    }
    const QDir dir(args[1]);
    std::map<char32_t, strokes::CharStrokes> chars;
    int skipped = 0;
    if (!dir.exists())
        std::fprintf(stderr, "tovrel-pack-strokes: warning: no stroke data in %s; the pack is empty\n",
                     qPrintable(args[1]));
    for (const QString &name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        const char32_t ch = strokes::characterOfFileName(name);
        if (!ch)
            continue;
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "tovrel-pack-strokes: warning: cannot read %s\n", qPrintable(f.fileName()));
            ++skipped;
            continue;
        }
        auto parsed = strokes::parseCharJson(f.readAll());
        if (auto *why = std::get_if<QString>(&parsed)) {
            std::fprintf(stderr, "tovrel-pack-strokes: warning: %s skipped: %s\n", qPrintable(f.fileName()),
                         qPrintable(*why));
            ++skipped;
            continue;
        }
        chars.emplace(ch, std::move(std::get<strokes::CharStrokes>(parsed)));
    }
    const QByteArray pack = strokes::buildPack(chars);
    // Every record must read back as it was written (half-unit rounding aside).
    const strokes::PackView view({pack.constData(), size_t(pack.size())});
    for (const auto &[ch, c] : chars) {
        const auto back = view.find(ch);
        if (!back || back->strokes.size() != c.strokes.size()) {
            std::fprintf(stderr, "tovrel-pack-strokes: U+%04X does not read back\n", unsigned(ch));
            return 1;
        }
    }
    QSaveFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(pack) != pack.size() || !out.commit()) {
        std::fprintf(stderr, "tovrel-pack-strokes: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    std::printf("tovrel-pack-strokes: %zu characters, %lld bytes%s\n", chars.size(), qlonglong(pack.size()),
                skipped ? qPrintable(QStringLiteral(", %1 files skipped").arg(skipped)) : "");
    return 0;
}
