// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokestore.h"

#include "faces/strokedatafolder.h"
#include "faces/strokejson.h"

#include <QDir>
#include <QFileInfo>

namespace faces {

namespace {

QString fileOf(const QString &folder, char32_t ch)
{
    return QDir(folder).filePath(QString::fromUcs4(&ch, 1) + QStringLiteral(".json"));
}

} // namespace

QString sourceName(StrokeSource source)
{
    switch (source) {
    case StrokeSource::Override:
        return QStringLiteral("override");
    case StrokeSource::AnimCJK:
        return QStringLiteral("AnimCJK");
    case StrokeSource::HanziWriter:
        return QStringLiteral("hanzi-writer");
    }
    return {};
}

QString describeMissing(const MissingStrokeData &m)
{
    const QString what = m.source == StrokeSource::AnimCJK ? QStringLiteral("the stroke data in Taiwan's standard forms")
                                                           : QStringLiteral("the stroke data hanzi-writer-data");
    return QStringLiteral("%1 cannot be read (%2: %3); the characters only it has are drawn in plain Kai")
        .arg(what, QDir::toNativeSeparators(m.path), m.why);
}

StrokeStore &StrokeStore::global()
{
    static StrokeStore store;
    return store;
}

StrokeStore::StrokeStore() = default;
StrokeStore::~StrokeStore() = default;

void StrokeStore::ensureInstalled() const
{
    if (m_installedOpen.load(std::memory_order_acquire))
        return;
    QWriteLocker w(&m_lock);
    if (m_installedOpen.load(std::memory_order_relaxed))
        return;
    if (!m_folderSet)
        m_installedFolder = installedStrokeDataFolder();
    m_missing.clear();
    m_animCjk.reset();
    m_hanziWriter.clear();
    if (!m_installedFolder.isEmpty()) {
        const QString lines = animCjkFile(m_installedFolder);
        QString why;
        m_animCjk = strokes::StrokeLines::open(lines, &why);
        if (!m_animCjk)
            m_missing.push_back({StrokeSource::AnimCJK, lines, why});
        const QString folder = hanziWriterFolder(m_installedFolder);
        const QFileInfo info(folder);
        if (info.isDir() && info.isReadable())
            m_hanziWriter = folder;
        else
            m_missing.push_back({StrokeSource::HanziWriter, folder,
                                 info.exists() ? QStringLiteral("not a readable folder") : QStringLiteral("no such folder")});
    }
    m_installedOpen.store(true, std::memory_order_release);
}

std::vector<StrokeSource> StrokeStore::sourcesOf(char32_t ch) const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    std::vector<StrokeSource> out;
    if (m_overrides.contains(ch))
        out.push_back(StrokeSource::Override);
    if (m_animCjk && m_animCjk->contains(ch))
        out.push_back(StrokeSource::AnimCJK);
    if (!m_hanziWriter.isEmpty() && ch >= 0x80 && QFileInfo::exists(fileOf(m_hanziWriter, ch)))
        out.push_back(StrokeSource::HanziWriter);
    return out;
}

std::shared_ptr<const strokes::CharStrokes> StrokeStore::findIn(StrokeSource source, char32_t ch) const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    std::optional<strokes::CharStrokes> c;
    switch (source) {
    case StrokeSource::Override:
        if (auto it = m_overrides.constFind(ch); it != m_overrides.constEnd())
            c = strokes::decodeRecord({it->constData(), size_t(it->size())});
        break;
    case StrokeSource::AnimCJK:
        if (m_animCjk)
            c = m_animCjk->find(ch);
        break;
    case StrokeSource::HanziWriter:
        if (!m_hanziWriter.isEmpty() && ch >= 0x80) {
            auto parsed = strokes::readCharFile(fileOf(m_hanziWriter, ch));
            if (auto *read = std::get_if<strokes::CharStrokes>(&parsed))
                c = std::move(*read);
        }
        break;
    }
    return c ? std::make_shared<const strokes::CharStrokes>(std::move(*c)) : nullptr;
}

std::vector<SourcedStrokes> StrokeStore::findAll(char32_t ch) const
{
    std::vector<SourcedStrokes> out;
    for (StrokeSource s : sourcesOf(ch))
        if (auto c = findIn(s, ch))
            out.push_back({s, std::move(c)});
    return out;
}

std::shared_ptr<const strokes::CharStrokes> StrokeStore::find(char32_t ch) const
{
    for (StrokeSource s : sourcesOf(ch))
        if (auto c = findIn(s, ch))
            return c;
    return nullptr;
}

bool StrokeStore::contains(char32_t ch) const { return !sourcesOf(ch).empty(); }

QStringList StrokeStore::setOverrideFolder(const QString &dir)
{
    QStringList warnings;
    QHash<char32_t, QByteArray> records;
    QString folder;
    if (!dir.isEmpty()) {
        const QDir d(dir);
        if (!d.exists() || !d.isReadable()) {
            warnings << QStringLiteral("stroke data folder %1 cannot be read; the installed data is used")
                            .arg(QDir::toNativeSeparators(dir));
        } else {
            folder = d.absolutePath();
            for (const QString &name : d.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
                const char32_t ch = strokes::characterOfFileName(name);
                if (!ch)
                    continue; // not a character's file
                const QString path = QDir::toNativeSeparators(d.filePath(name));
                auto parsed = strokes::readCharFile(d.filePath(name));
                if (const QString *why = std::get_if<QString>(&parsed)) {
                    warnings << QStringLiteral("%1 skipped: %2").arg(path, *why);
                    continue;
                }
                records.insert(ch, strokes::encodeRecord(std::get<strokes::CharStrokes>(parsed)));
            }
        }
    }
    QWriteLocker w(&m_lock);
    m_overrides = std::move(records);
    m_overrideFolder = folder;
    m_generation.fetch_add(1, std::memory_order_acq_rel);
    return warnings;
}

QString StrokeStore::overrideFolder() const
{
    QReadLocker r(&m_lock);
    return m_overrideFolder;
}

int StrokeStore::overrideCount() const
{
    QReadLocker r(&m_lock);
    return int(m_overrides.size());
}

void StrokeStore::setInstalledFolder(const QString &folder)
{
    QWriteLocker w(&m_lock);
    m_folderSet = true;
    m_installedFolder = folder;
    m_installedOpen.store(false, std::memory_order_release);
    m_generation.fetch_add(1, std::memory_order_acq_rel);
}

QString StrokeStore::installedFolder() const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    return m_installedFolder;
}

std::vector<MissingStrokeData> StrokeStore::missingData() const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    return m_missing;
}

int StrokeStore::animCjkCount() const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    return m_animCjk ? m_animCjk->count() : 0;
}

} // namespace faces

namespace faces {

QList<char32_t> StrokeStore::animCjkCharacters() const
{
    ensureInstalled();
    QReadLocker r(&m_lock);
    return m_animCjk ? m_animCjk->characters() : QList<char32_t>();
}

} // namespace faces
