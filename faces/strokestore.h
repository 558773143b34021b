// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the stroke-order face takes its strokes from, in order:
//
//   1. a folder of per-character files (strokejson.h) the user names, read
//      whole when it is named;
//   2. AnimCJK's traditional data, Taiwan's standard forms (strokelines.h);
//   3. hanzi-writer-data, one file a character, mainland forms.
//
// The last two are installed data files (strokedatafolder.h), opened on
// first use and read one character at a time when it is asked for. A data
// file that is missing or unreadable is no data, never a failure; the store
// says which. Safe to use from any thread.
#include "faces/strokecodec.h"
#include "faces/strokelines.h"

#include <QByteArray>
#include <QHash>
#include <QReadWriteLock>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

namespace faces {

enum class StrokeSource : quint8 { Override, AnimCJK, HanziWriter };

// "override", "AnimCJK", "hanzi-writer".
QString sourceName(StrokeSource source);

struct SourcedStrokes {
    StrokeSource source;
    std::shared_ptr<const strokes::CharStrokes> strokes;
};

// An installed data file that could not be read.
struct MissingStrokeData {
    StrokeSource source;
    QString path;
    QString why;
};

class StrokeStore {
public:
    // The store the program draws with.
    static StrokeStore &global();

    StrokeStore();
    ~StrokeStore();

    // The sources that have `ch`, in the order above (without reading it).
    std::vector<StrokeSource> sourcesOf(char32_t ch) const;
    // The strokes of `ch` in one source; nullptr when it has none that read.
    std::shared_ptr<const strokes::CharStrokes> findIn(StrokeSource source, char32_t ch) const;
    // Every source's strokes of `ch`, in the order above; empty when no
    // source has the character.
    std::vector<SourcedStrokes> findAll(char32_t ch) const;
    // The first of them; nullptr when there is none.
    std::shared_ptr<const strokes::CharStrokes> find(char32_t ch) const;
    bool contains(char32_t ch) const;

    // Reads every per-character file of `dir` ("X.json"); from now on they
    // come first. A file that does not read is skipped, and the returned
    // list holds one warning naming it; a folder that cannot be read gives a
    // warning and no override. An empty `dir` drops the override.
    QStringList setOverrideFolder(const QString &dir);
    QString overrideFolder() const;
    int overrideCount() const;

    // The folder of the installed data: installedStrokeDataFolder() unless
    // set here (an empty folder: no installed data at all).
    void setInstalledFolder(const QString &folder);
    QString installedFolder() const;
    // The installed data files that could not be read.
    std::vector<MissingStrokeData> missingData() const;
    // Characters of the AnimCJK file (none when it is missing).
    int animCjkCount() const;
    QList<char32_t> animCjkCharacters() const;

    // Changes whenever the data changes; caches of glyphs drawn from the
    // store compare it.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

private:
    void ensureInstalled() const;

    mutable QReadWriteLock m_lock;
    // The installed data, opened on first use.
    mutable std::atomic<bool> m_installedOpen{false};
    bool m_folderSet = false;
    mutable QString m_installedFolder;
    mutable std::unique_ptr<strokes::StrokeLines> m_animCjk;
    mutable QString m_hanziWriter; // the folder; empty when missing
    mutable std::vector<MissingStrokeData> m_missing;
    // The override.
    QString m_overrideFolder;
    QHash<char32_t, QByteArray> m_overrides; // records (strokecodec.h)
    std::atomic<quint64> m_generation{1};
};

// One line saying what is missing and what the sheets show instead.
QString describeMissing(const MissingStrokeData &missing);

} // namespace faces
