// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/metafile.h"

#include "platform/emf/emfcodec.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/emfstrings.h"
#include "platform/rperror.h"

#include <QtEndian>
#include <cmath>

namespace {
// 96 pixels per inch in pixels per 0.01 mm: the reference when a header does
// not describe its device.
constexpr double kReferencePerHundredthMm = 96.0 / 2540.0;

int clampedRound(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(std::round(v), -1e9, 1e9));
}
} // namespace

Metafile Metafile::fromBytes(const QByteArray &bytes)
{
    using namespace emf;
    if (bytes.size() < 88)
        throw RpError(RpErrorKind::DamagedInput, strings::notMetafile().arg(strings::badHeaderSize().arg(bytes.size())));
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    if (qFromLittleEndian<quint32>(b) != T_HEADER || qFromLittleEndian<quint32>(b + 40) != 0x464D4520)
        throw RpError(RpErrorKind::DamagedInput, strings::notMetafile().arg(strings::badSignature()));
    const quint32 size = qFromLittleEndian<quint32>(b + 4);
    if (size < 88)
        throw RpError(RpErrorKind::DamagedInput, strings::notMetafile().arg(strings::badHeaderSize().arg(size)));

    RecordScanner scanner{QByteArrayView(bytes)};
    RecordRef ref;
    scanner.next(ref); // throws when the header does not fit the data
    const Record rec = decode(ref);
    const auto &h = std::get<EmrHeader>(rec);

    Metafile mf;
    mf.m_bytes = bytes;
    mf.m_bounds = h.bounds;
    mf.m_frame = h.frame;
    mf.m_device = h.device;
    mf.m_millimeters = h.millimeters;
    mf.m_micrometers = h.hasMicrometers && h.micrometers.cx > 0 && h.micrometers.cy > 0
                           ? h.micrometers
                           : gdi::Size{qint32(qMin<qint64>(qint64(h.millimeters.cx) * 1000, INT_MAX)),
                                       qint32(qMin<qint64>(qint64(h.millimeters.cy) * 1000, INT_MAX))};
    mf.m_records = h.records;
    mf.m_fileSize = h.bytes;
    mf.m_handles = h.handles;
    mf.m_description = h.description;

    const double w = (double(h.frame.right) - h.frame.left) * mf.pixelsPerHundredthMmX();
    const double hh = (double(h.frame.bottom) - h.frame.top) * mf.pixelsPerHundredthMmY();
    mf.m_width = clampedRound(w);
    mf.m_height = clampedRound(hh);
    mf.m_originX = h.frame.left * mf.pixelsPerHundredthMmX();
    mf.m_originY = h.frame.top * mf.pixelsPerHundredthMmY();
    const bool hasBounds = h.bounds.right >= h.bounds.left && h.bounds.bottom >= h.bounds.top;
    if (mf.m_width <= 0 || mf.m_height <= 0) {
        // No usable frame: the bounds of what was drawn stand in.
        mf.m_width = std::max(clampedRound(double(h.bounds.right) - h.bounds.left + 1), 1);
        mf.m_height = std::max(clampedRound(double(h.bounds.bottom) - h.bounds.top + 1), 1);
        mf.m_originX = h.bounds.left;
        mf.m_originY = h.bounds.top;
    } else if (hasBounds) {
        // Some writers put the frame at the origin while the drawing lies
        // elsewhere (at negative coordinates, say). When the drawing is
        // mostly outside the frame, the frame is placed where the drawing is.
        const double bw = double(h.bounds.right) - h.bounds.left + 1, bh = double(h.bounds.bottom) - h.bounds.top + 1;
        const double ix = std::min(double(h.bounds.right) + 1, mf.m_originX + mf.m_width) -
                          std::max(double(h.bounds.left), mf.m_originX);
        const double iy = std::min(double(h.bounds.bottom) + 1, mf.m_originY + mf.m_height) -
                          std::max(double(h.bounds.top), mf.m_originY);
        const double inside = std::max(ix, 0.0) * std::max(iy, 0.0);
        if (inside < 0.25 * bw * bh) {
            mf.m_originX = h.bounds.left;
            mf.m_originY = h.bounds.top;
        }
    }
    return mf;
}

double Metafile::pixelsPerHundredthMmX() const
{
    if (m_device.cx <= 0 || m_micrometers.cx <= 0)
        return kReferencePerHundredthMm;
    return double(m_device.cx) / (double(m_micrometers.cx) / 10.0);
}

double Metafile::pixelsPerHundredthMmY() const
{
    if (m_device.cy <= 0 || m_micrometers.cy <= 0)
        return kReferencePerHundredthMm;
    return double(m_device.cy) / (double(m_micrometers.cy) / 10.0);
}

double Metafile::frameLeftPixels() const { return m_originX; }

double Metafile::frameTopPixels() const { return m_originY; }

std::vector<Metafile::TextRecord> Metafile::textRecords(QString *error) const
{
    using namespace emf;
    std::vector<TextRecord> out;
    if (error)
        error->clear();
    try {
        RecordScanner scanner{QByteArrayView(m_bytes)};
        RecordRef ref;
        while (scanner.next(ref)) {
            if (ref.type != T_EXTTEXTOUTA && ref.type != T_EXTTEXTOUTW && ref.type != T_SMALLTEXTOUT)
                continue;
            const Record rec = decode(ref);
            TextRecord t;
            t.offset = ref.offset;
            t.type = ref.type;
            // Glyph indexes are numbers in some font, not text: such a record
            // is listed with an empty text.
            if (const auto *w = std::get_if<EMR_EXTTEXTOUTW>(&rec)) {
                t.reference = w->text.reference;
                if (!(w->text.options & gdi::ETO_GLYPH_INDEX))
                    t.text = QString::fromUtf16(reinterpret_cast<const char16_t *>(w->text.chars.constData()),
                                                w->text.chars.size() / 2);
            } else if (const auto *a = std::get_if<EMR_EXTTEXTOUTA>(&rec)) {
                t.reference = a->text.reference;
                if (!(a->text.options & gdi::ETO_GLYPH_INDEX))
                    t.text = QString::fromLatin1(a->text.chars);
            } else if (const auto *s = std::get_if<EMR_SMALLTEXTOUT>(&rec)) {
                t.reference = s->reference;
                const QByteArray &c = s->chars.data;
                if (!(s->options & gdi::ETO_GLYPH_INDEX))
                    t.text = (s->options & ETO_SMALL_CHARS)
                                 ? QString::fromLatin1(c)
                                 : QString::fromUtf16(reinterpret_cast<const char16_t *>(c.constData()), c.size() / 2);
            }
            out.push_back(std::move(t));
        }
    } catch (const RpError &e) {
        if (error)
            *error = e.message();
    }
    return out;
}

void Metafile::play(Canvas &canvas, const gdi::Rect &dest) const { emf::play(*this, canvas, dest); }
