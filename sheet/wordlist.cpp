// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/wordlist.h"

#include "app/worksheetfill.h"
#include "sheet/badinput.h"

#include <QFile>
#include <QStringDecoder>

std::vector<SheetWord> wordsFromArguments(const QStringList &words)
{
    std::vector<SheetWord> out;
    out.reserve(size_t(words.size()));
    for (const QString &w : words)
        out.push_back({w, QString()});
    return out;
}

std::vector<SheetWord> readWordsFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw BadInput{{QStringLiteral("cannot read the words file %1: %2").arg(path, f.errorString())}};
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw BadInput{{QStringLiteral("cannot read the words file %1: %2").arg(path, f.errorString())}};
    return parseWordsFile(bytes, path);
}

std::vector<SheetWord> parseWordsFile(QByteArray bytes, const QString &path)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    std::vector<SheetWord> out;
    QStringList errors;
    int lineNo = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++lineNo;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = QString(utf8(line)).trimmed();
        if (utf8.hasError()) {
            errors << QStringLiteral("%1:%2: the line is not UTF-8").arg(path).arg(lineNo);
            continue;
        }
        if (text.isEmpty() || text.startsWith(u'#'))
            continue;
        out.push_back({text, QStringLiteral("%1:%2").arg(path).arg(lineNo)});
    }
    if (!errors.isEmpty())
        throw BadInput{errors};
    return out;
}

QString codePointName(char32_t c)
{
    return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
}

QString quotedWord(const QString &word)
{
    QString out = QStringLiteral("\"%1\"").arg(word);
    QStringList wide;
    for (char32_t c : word.toUcs4())
        if (c > 0xFFFF)
            wide << codePointName(c);
    if (!wide.isEmpty())
        out += QStringLiteral(" (%1 %2 as two characters)").arg(wide.join(u", "), wide.size() == 1 ? u"counts" : u"count");
    return out;
}

QStringList refusedWords(const std::vector<SheetWord> &words)
{
    QStringList out;
    int argument = 0;
    for (const SheetWord &w : words) {
        ++argument;
        const QString where = w.source.isEmpty() ? QString() : w.source + QStringLiteral(": ");
        const int n = worksheet::wordLength(w.text);
        if (n == 0) {
            out << where + (w.source.isEmpty() ? QStringLiteral("word %1 is empty").arg(argument)
                                                : QStringLiteral("the word is empty"));
        } else if (n > worksheet::kLongestWord) {
            out << where + QStringLiteral("the word %1 has %2 characters; a worksheet takes at most %3")
                               .arg(quotedWord(w.text))
                               .arg(n)
                               .arg(worksheet::kLongestWord);
        }
    }
    return out;
}
