// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/wordlist.h"

#include "app/worksheetfill.h"
#include "sheet/badinput.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

std::vector<SheetWord> wordsFromArguments(const QStringList &words)
{
    std::vector<SheetWord> out;
    out.reserve(size_t(words.size()));
    for (const QString &w : words)
        out.push_back({w, QString()});
    return out;
}

namespace {

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(bytes));
    return !utf8.hasError();
}

// Every byte above ASCII is the first of a Big5 pair (0x81 to 0xFE, then
// 0x40 to 0x7E or 0xA1 to 0xFE), and there is at least one pair.
bool readsAsBig5(const QByteArray &bytes)
{
    int pairs = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = quint8(bytes[i]);
        if (b < 0x80)
            continue;
        if (b < 0x81 || b > 0xFE || i + 1 >= bytes.size())
            return false;
        const auto t = quint8(bytes[++i]);
        if (!((t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE)))
            return false;
        ++pairs;
    }
    return pairs > 0;
}

// Where the converted file may go: beside it, "-utf8" added to its name.
QString utf8Name(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return path + QStringLiteral("-utf8");
    return path.left(path.size() - suffix.size() - 1) + QStringLiteral("-utf8.") + suffix;
}

} // namespace

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

    // A file in Big5 (as Traditional Chinese word lists often are) is named
    // once, with the command that converts it.
    if (!isUtf8(bytes) && readsAsBig5(bytes))
        throw BadInput{{QStringLiteral("the words file %1 is not UTF-8: it reads as Big5. Convert it with:").arg(path),
                         QStringLiteral("  iconv -f BIG5 -t UTF-8 %1 > %2").arg(path, utf8Name(path))}};

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

QString quotedWord(const QString &word) { return QStringLiteral("\"%1\"").arg(word); }

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
