// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/worksheetfill.h"

#include "controls/rplabel.h"
#include "report/customreport.h"

namespace worksheet {

const std::vector<Cell> &cellsOf(int layout)
{
    static const std::vector<Cell> cells[4] = {
        {{"A1", 1}, {"A2", 1}, {"A3", 1}, {"A4", 1}, {"A5", 1}, {"A6", 1}, {"A7", 1}, {"A8", 1}},
        {{"B1a", 1}, {"B2a", 2}, {"B1b", 1}, {"B2b", 2}, {"B1c", 1},
         {"B2c", 2}, {"B1d", 1}, {"B2d", 2}, {"B1e", 1}, {"B2e", 2}},
        {{"C1a", 1}, {"C2a", 2}, {"C3a", 3}, {"C1b", 1}, {"C2b", 2}, {"C3b", 3},
         {"C1c", 1}, {"C2c", 2}, {"C3c", 3}, {"C1d", 1}, {"C2d", 2}, {"C3d", 3}},
        {{"D1a", 1}, {"D2a", 2}, {"D3a", 3}, {"D4a", 4}, {"D1b", 1}, {"D2b", 2},
         {"D3b", 3}, {"D4b", 4}, {"D1c", 1}, {"D2c", 2}, {"D3c", 3}, {"D4c", 4},
         {"D1d", 1}, {"D2d", 2}, {"D3d", 3}, {"D4d", 4}},
    };
    static const std::vector<Cell> none;
    return layout >= 1 && layout <= 4 ? cells[layout - 1] : none;
}

QString sheetName(const QStringList &words)
{
    constexpr int kNamed = 5;
    QString name = QStringLiteral("Tovrel ") + QStringList(words.mid(0, kNamed)).join(u' ');
    if (words.size() > kNamed)
        name += QStringLiteral(" … (%1 sheets)").arg(words.size());
    return name;
}

QStringList wordCharacters(const QString &word)
{
    QStringList out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const bool pair = word[i].isHighSurrogate() && i + 1 < word.size() && word[i + 1].isLowSurrogate();
        out << word.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    return out;
}

int wordLength(const QString &word) { return int(wordCharacters(word).size()); }

void fillLayout(CustomReport &report, int layout, const QString &word)
{
    const QStringList chars = wordCharacters(word);
    report.setJobName(sheetName({QStringList(chars.mid(0, layout)).join(QString())}));
    for (const Cell &c : cellsOf(layout)) {
        if (c.character > chars.size())
            continue;
        if (RpLabel *l = report.findChild<RpLabel *>(QLatin1String(c.name)))
            l->setCaption(chars[c.character - 1]);
    }
}

} // namespace worksheet
