// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/faces/strokestore.h"

#include "platform/faces/strokejson.h"

#include <QDir>
#include <QFile>
#include <QResource>

// The resource lives in the platform library; a program linking it statically
// must register it by name.
static void registerStrokeResource() { Q_INIT_RESOURCE(strokedata); }

namespace faces {

namespace {
const QString kResource = QStringLiteral(":/strokes/strokes.pack");
// Larger files are not stroke data of one character.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
} // namespace

StrokeStore &StrokeStore::global()
{
    static StrokeStore store;
    return store;
}

StrokeStore::StrokeStore() = default;

void StrokeStore::ensureLoaded() const
{
    if (m_loaded.load(std::memory_order_acquire))
        return;
    QWriteLocker w(&m_lock);
    if (m_loaded.load(std::memory_order_relaxed))
        return;
    registerStrokeResource();
    QResource res(kResource);
    if (res.isValid() && res.compressionAlgorithm() == QResource::NoCompression && res.data()) {
        // Read in place from the program's read-only data.
        m_pack = strokes::PackView({reinterpret_cast<const char *>(res.data()), size_t(res.size())});
    } else if (res.isValid()) {
        m_packBytes = res.uncompressedData();
        m_pack = strokes::PackView({m_packBytes.constData(), size_t(m_packBytes.size())});
    }
    m_loaded.store(true, std::memory_order_release);
}

std::shared_ptr<const strokes::CharStrokes> StrokeStore::find(char32_t ch) const
{
    ensureLoaded();
    QReadLocker r(&m_lock);
    std::optional<strokes::CharStrokes> c;
    if (auto it = m_overrides.constFind(ch); it != m_overrides.constEnd())
        c = strokes::decodeRecord({it->constData(), size_t(it->size())});
    else
        c = m_pack.find(ch);
    return c ? std::make_shared<const strokes::CharStrokes>(std::move(*c)) : nullptr;
}

bool StrokeStore::contains(char32_t ch) const
{
    ensureLoaded();
    QReadLocker r(&m_lock);
    return m_overrides.contains(ch) || !m_pack.record(ch).empty();
}

QStringList StrokeStore::setOverrideFolder(const QString &dir)
{
    QStringList warnings;
    QHash<char32_t, QByteArray> records;
    QString folder;
    if (!dir.isEmpty()) {
        const QDir d(dir);
        if (!d.exists() || !d.isReadable()) {
            warnings << QStringLiteral("stroke data folder %1 cannot be read; the built-in data is used")
                            .arg(QDir::toNativeSeparators(dir));
        } else {
            folder = d.absolutePath();
            for (const QString &name : d.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
                const char32_t ch = strokes::characterOfFileName(name);
                if (!ch)
                    continue; // not a character's file
                const QString path = QDir::toNativeSeparators(d.filePath(name));
                QFile f(d.filePath(name));
                if (f.size() > kMaxFileSize) {
                    warnings << QStringLiteral("%1 skipped: larger than %2 bytes").arg(path).arg(kMaxFileSize);
                    continue;
                }
                if (!f.open(QIODevice::ReadOnly)) {
                    warnings << QStringLiteral("%1 skipped: %2").arg(path, f.errorString());
                    continue;
                }
                auto parsed = strokes::parseCharJson(f.readAll());
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
    m_folder = folder;
    m_generation.fetch_add(1, std::memory_order_acq_rel);
    return warnings;
}

QString StrokeStore::overrideFolder() const
{
    QReadLocker r(&m_lock);
    return m_folder;
}

int StrokeStore::overrideCount() const
{
    QReadLocker r(&m_lock);
    return int(m_overrides.size());
}

int StrokeStore::builtInCount() const
{
    ensureLoaded();
    QReadLocker r(&m_lock);
    return m_pack.count();
}

void StrokeStore::setBuiltInPack(const QByteArray &pack)
{
    QWriteLocker w(&m_lock);
    if (pack.isEmpty()) {
        m_loaded.store(false, std::memory_order_release);
        m_packBytes.clear();
        m_pack = {};
    } else {
        m_packBytes = pack;
        m_pack = strokes::PackView({m_packBytes.constData(), size_t(m_packBytes.size())});
        m_loaded.store(true, std::memory_order_release);
    }
    m_generation.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace faces
