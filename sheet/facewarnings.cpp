// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/facewarnings.h"

#include "app/worksheetfill.h"
#include "controls/rplabel.h"
#include "platform/faces/strokestore.h"
#include "platform/fonts.h"
#include "report/customreport.h"
#include "sheet/wordlist.h" // codePointName

#include <QHash>

namespace {

enum class Shown {
    Drawn,           // in the cell's face or a face standing in for it
    WithoutStrokes,  // the stroke-order face's cell shows the plain glyph
    NotDrawn,        // no face has it: the cell shows the face's empty glyph
};

// How the cell font `lf` shows the one code unit `unit`. The glyph is the
// one the font's layout picks (from the face or its substitution chain); a
// worksheet face the program draws itself makes its glyph from the stroke
// data or that glyph, as platform/faces/synthglyph.h tells: the stroke-order
// face from the data, else the glyph; the tracing face from the glyph, else
// the data. (Asking for the made glyph itself would draw it: several times
// the cost of the whole sheet.)
Shown shown(const gdi::LogFont &lf, QChar unit)
{
    const auto font = fonts::resolve(lf);
    const fonts::TextLayout layout = font->layout(QString(unit));
    const bool hasGlyph = !layout.runs.empty() && !layout.runs.front().glyphs.isEmpty() &&
                          layout.runs.front().glyphs.front() != 0;
    const bool hasStrokes = !unit.isSurrogate() && faces::StrokeStore::global().contains(char32_t(unit.unicode()));
    switch (font->synthesis()) {
    case faces::Synthesis::None:
        break;
    case faces::Synthesis::StrokeOrder:
        if (hasStrokes)
            return Shown::Drawn;
        return hasGlyph ? Shown::WithoutStrokes : Shown::NotDrawn;
    case faces::Synthesis::Tracing:
        return hasGlyph || hasStrokes ? Shown::Drawn : Shown::NotDrawn;
    }
    return hasGlyph ? Shown::Drawn : Shown::NotDrawn;
}

// The answers outlive the sheet: the faces do not change during a run.
Shown shownCached(const gdi::LogFont &lf, QChar unit)
{
    static QHash<QString, Shown> cache;
    const QString key = lf.faceName + QChar(0) + QString::number(lf.charSet) + QChar(0) + QString::number(lf.height) +
                        QChar(0) + unit;
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const Shown s = shown(lf, unit);
    cache.insert(key, s);
    return s;
}

QString named(char32_t c)
{
    return QStringLiteral("'%1' (%2)").arg(QString::fromUcs4(&c, 1), codePointName(c));
}

} // namespace

QStringList faceWarnings(const CustomReport &report, int layout, const QString &word)
{
    // The worst of what the cells show for each position of the word.
    std::vector<Shown> worst(size_t(word.size()), Shown::Drawn);
    for (const worksheet::Cell &c : worksheet::cellsOf(layout)) {
        if (c.character > word.size())
            continue;
        const auto *label = report.findChild<const RpLabel *>(QLatin1String(c.name));
        if (!label)
            continue;
        Shown &w = worst[size_t(c.character - 1)];
        w = std::max(w, shownCached(label->font().toLogFont(label->font().pixelsPerInch), word.at(c.character - 1)));
    }

    QStringList out;
    const QString inWord = QStringLiteral("in the word \"%1\"").arg(word);
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i].isHighSurrogate() && i + 1 < word.size() && word[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::surrogateToUcs4(word[i], word[i + 1]);
            out << QStringLiteral("%1 %2 lies outside the Basic Multilingual Plane: it counts as two characters and "
                                  "its halves go into two cells, where no face can draw half a character")
                       .arg(named(c), inWord);
            ++i;
            continue;
        }
        const char32_t c = word[i].unicode();
        switch (worst[size_t(i)]) {
        case Shown::Drawn:
            break;
        case Shown::WithoutStrokes:
            out << QStringLiteral("%1 %2 has no stroke data: its stroke-order cells show it without strokes")
                       .arg(named(c), inWord);
            break;
        case Shown::NotDrawn:
            out << QStringLiteral("no installed face can draw %1 %2").arg(named(c), inWord);
            break;
        }
    }
    return out;
}
