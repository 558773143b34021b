// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the stroke-order face takes its strokes from: the pack built into the
// program (read in place, one character at a time, when first asked for) and
// an optional folder of per-character files (strokejson.h) that overrides it
// character by character. Safe to use from any thread.
#include "platform/faces/strokecodec.h"

#include <QByteArray>
#include <QHash>
#include <QReadWriteLock>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace faces {

class StrokeStore {
public:
    // The store the program draws with.
    static StrokeStore &global();

    StrokeStore();

    // The strokes of `ch`: from the override folder when it has the
    // character, else from the built-in pack; nullptr when neither has it.
    std::shared_ptr<const strokes::CharStrokes> find(char32_t ch) const;
    bool contains(char32_t ch) const;

    // Reads every per-character file of `dir` ("X.json"); from now on they
    // override the built-in data. A file that does not read is skipped, and
    // the returned list holds one warning naming it; a folder that cannot be
    // read gives a warning and no override. An empty `dir` drops the override.
    QStringList setOverrideFolder(const QString &dir);
    QString overrideFolder() const;
    int overrideCount() const;

    // Characters of the built-in pack (0 when the program was built without
    // stroke data).
    int builtInCount() const;

    // Changes whenever the data changes; caches of glyphs drawn from the
    // store compare it.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

    // Tests: draw from `pack` instead of the built-in resource (an empty
    // array goes back to the resource).
    void setBuiltInPack(const QByteArray &pack);

private:
    void ensureLoaded() const;

    mutable QReadWriteLock m_lock;
    mutable std::atomic<bool> m_loaded{false};
    mutable QByteArray m_packBytes; // when the pack is not read in place
    mutable strokes::PackView m_pack;
    QString m_folder;
    QHash<char32_t, QByteArray> m_overrides; // records, as in a pack
    std::atomic<quint64> m_generation{1};
};

} // namespace faces
