// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of a run, from the command line or from a words file, with
// where each came from, and the check that refuses what no worksheet takes.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct SheetWord {
    QString text;
    QString source; // "FILE:LINE" for a word of a words file, else empty
};

// The words given on the command line, as they are.
std::vector<SheetWord> wordsFromArguments(const QStringList &words);

// The words of a words file: one word a line, UTF-8 with or without a
// byte-order mark. White space around a word is dropped; lines left empty
// and lines starting with '#' are skipped. Throws BadInput when the file
// cannot be read or a line is not UTF-8 (naming the line).
std::vector<SheetWord> readWordsFile(const QString &path);
// The same for the bytes of a words file read from `path`.
std::vector<SheetWord> parseWordsFile(QByteArray bytes, const QString &path);

// One message for each word no worksheet takes: an empty word, or one
// longer than the longest word counted as the window counts (characters,
// not UTF-16 code units). Empty when every word is good.
QStringList refusedWords(const std::vector<SheetWord> &words);

// `word` in quotes.
QString quotedWord(const QString &word);

// "U+4E00" and the like.
QString codePointName(char32_t c);
