// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stroke-data file of one JSON object a line, each a character's strokes
// and medians (the form strokejson.h reads, with the character named in it):
//
//   {"character":"草","strokes":["M435,513C476,579 ...Z", ...],"medians":[[[445,739],...],...]}
//
// Opening the file only finds where each character's line is (the file is
// mapped, not copied); a character's line is read when it is asked for. A
// line that does not read is no data for its character, never a failure of
// the whole file. Safe to use from any thread once opened.
#include "faces/strokecodec.h"

#include <QFile>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <span>

namespace strokes {

class StrokeLines {
public:
    // Opens `path`; nullptr and `why` set when it cannot be read.
    static std::unique_ptr<StrokeLines> open(const QString &path, QString *why);
    // Reads the lines of `bytes` (which must outlive the result).
    static std::unique_ptr<StrokeLines> fromBytes(QByteArray bytes);

    QString path() const { return m_path; }
    int count() const { return int(m_lines.size()); }
    bool contains(char32_t ch) const { return m_lines.contains(ch); }
    QList<char32_t> characters() const { return m_lines.keys(); }
    // The strokes of `ch`; nullopt when the file has no readable line for it.
    std::optional<CharStrokes> find(char32_t ch) const;

private:
    StrokeLines() = default;
    void index();

    QString m_path;
    std::unique_ptr<QFile> m_file; // kept open while mapped
    QByteArray m_copy;             // when the file could not be mapped
    std::span<const char> m_bytes;
    struct Line {
        qsizetype begin, size;
    };
    QHash<char32_t, Line> m_lines;
};

} // namespace strokes
