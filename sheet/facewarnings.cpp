// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/facewarnings.h"

#include "app/worksheetfill.h"
#include "controls/rplabel.h"
#include "faces/modelform.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"
#include "report/customreport.h"
#include "sheet/wordlist.h" // codePointName

#include <QHash>

namespace {

enum class Shown {
    Drawn,           // in the cell's face or a face standing in for it
    WithoutNumbers,  // the stroke-order face's cell shows the plain glyph
    NotDrawn,        // no face has it: the cell stays empty
};

// How the cell font `lf` shows the character `ch`. The glyph is the one the
// font's layout picks (from the face or its substitution chain); a worksheet
// face the program draws itself draws it from its model form (modelform.h)
// or, for tracing, from the glyph, else the stroke data. (Asking for the
// made glyph itself would draw it: several times the cost of the sheet.)
Shown shown(const gdi::LogFont &lf, char32_t ch)
{
    const auto font = fonts::resolve(lf);
    const fonts::TextLayout layout = font->layout(QString::fromUcs4(&ch, 1));
    const bool hasGlyph = !layout.runs.empty() && !layout.runs.front().glyphs.isEmpty() &&
                          layout.runs.front().glyphs.front() != 0;
    if (font->synthesizedFace()) {
        switch (faces::synthesisFor(lf.faceName)) {
        case faces::Synthesis::None:
            break;
        case faces::Synthesis::StrokeOrder: {
            const faces::ModelForm form =
                faces::modelForm(ch, layout.runs.empty() ? QRawFont() : layout.runs.front().rawFont,
                                 hasGlyph ? layout.runs.front().glyphs.front() : 0);
            return form.kind == faces::ModelForm::Kind::Numbered ? Shown::Drawn
                   : form.kind == faces::ModelForm::Kind::Kai    ? Shown::WithoutNumbers
                                                                 : Shown::NotDrawn;
        }
        case faces::Synthesis::Tracing:
            return hasGlyph || faces::StrokeStore::global().contains(ch) ? Shown::Drawn : Shown::NotDrawn;
        }
    }
    return hasGlyph ? Shown::Drawn : Shown::NotDrawn;
}

// The answers outlive the sheet: the faces do not change during a run.
Shown shownCached(const gdi::LogFont &lf, char32_t ch)
{
    static QHash<QString, Shown> cache;
    const QString key = lf.faceName + QChar(0) + QString::number(lf.charSet) + QChar(0) + QString::number(lf.height) +
                        QChar(0) + QString::number(uint(ch));
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const Shown s = shown(lf, ch);
    cache.insert(key, s);
    return s;
}

QString named(char32_t c)
{
    return QStringLiteral("'%1' (%2)").arg(QString::fromUcs4(&c, 1), codePointName(c));
}

} // namespace

FaceWarnings faceWarnings(const CustomReport &report, int layout, const QString &word)
{
    const QList<uint> chars = word.toUcs4();
    // The worst of what the cells show for each position of the word.
    std::vector<Shown> worst(size_t(chars.size()), Shown::Drawn);
    for (const worksheet::Cell &c : worksheet::cellsOf(layout)) {
        if (c.character > chars.size())
            continue;
        const auto *label = report.findChild<const RpLabel *>(QLatin1String(c.name));
        if (!label)
            continue;
        Shown &w = worst[size_t(c.character - 1)];
        w = std::max(w, shownCached(label->font().toLogFont(label->font().pixelsPerInch),
                                    char32_t(chars[c.character - 1])));
    }

    FaceWarnings out;
    const QString inWord = QStringLiteral("in the word \"%1\"").arg(word);
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t c = char32_t(chars[i]);
        switch (worst[size_t(i)]) {
        case Shown::Drawn:
            break;
        case Shown::WithoutNumbers:
            if (!out.unnumbered.contains(QString::fromUcs4(&c, 1)))
                out.unnumbered += QString::fromUcs4(&c, 1);
            break;
        case Shown::NotDrawn:
            out.lines << QStringLiteral("no installed face can draw %1 %2: its cells are left empty").arg(named(c), inWord);
            break;
        }
    }
    return out;
}

QString unnumberedWarning(const QString &characters)
{
    return QStringLiteral("drawn without stroke numbers: ") + characters;
}
