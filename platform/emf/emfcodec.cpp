// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfcodec.h"

#include "platform/emf/emfstrings.h"
#include "platform/rperror.h"

#include <QStringList>
#include <QtEndian>
#include <cstring>

namespace emf {

QString typeName(quint32 type)
{
    switch (type) {
#define EMF_NAME(num, name, ...) \
    case num:                    \
        return QStringLiteral("EMR_" #name);
        EMF_RECORDS(EMF_NAME)
#undef EMF_NAME
    }
    return QStringLiteral("EMR_UNKNOWN_%1").arg(type);
}

namespace {
template <class T>
struct TypeNumber;
#define EMF_TYPE_NUMBER(num, name, ...)                 \
    template <>                                         \
    struct TypeNumber<__VA_ARGS__> {                    \
        static constexpr quint32 value = num;           \
    };
EMF_RECORDS(EMF_TYPE_NUMBER)
#undef EMF_TYPE_NUMBER
} // namespace

quint32 typeOf(const Record &r)
{
    return std::visit(
        [](const auto &rec) -> quint32 {
            using T = std::decay_t<decltype(rec)>;
            if constexpr (std::is_same_v<T, Unknown>)
                return rec.type;
            else
                return TypeNumber<T>::value;
        },
        r);
}

QString damagedMessage(quint32 type, quint32 offset, const QString &why)
{
    return strings::damagedRecord().arg(typeName(type)).arg(offset).arg(why);
}

RpError damagedError(quint32 type, quint32 offset, const QString &why)
{
    RpErrorWhere where;
    where.record = type;
    where.offset = offset;
    return RpError(RpErrorKind::DamagedInput, damagedMessage(type, offset, why), where);
}

// --- scanning --------------------------------------------------------------------

bool RecordScanner::next(RecordRef &out)
{
    if (m_done)
        return false;
    const auto len = quint64(m_bytes.size());
    const auto *base = reinterpret_cast<const uchar *>(m_bytes.data());
    if (quint64(m_offset) == len) {
        m_done = true;
        throw damagedError(0, m_offset, strings::missingEof());
    }
    if (quint64(m_offset) + 8 > len) {
        m_done = true;
        const quint32 type = quint64(m_offset) + 4 <= len ? qFromLittleEndian<quint32>(base + m_offset) : 0;
        throw damagedError(type, m_offset, strings::truncatedHeader());
    }
    const quint32 type = qFromLittleEndian<quint32>(base + m_offset);
    const quint32 size = qFromLittleEndian<quint32>(base + m_offset + 4);
    if (size < 8 || size % 4 != 0) {
        m_done = true;
        throw damagedError(type, m_offset, strings::recordSizeInvalid().arg(size));
    }
    if (quint64(m_offset) + size > len) {
        m_done = true;
        throw damagedError(type, m_offset, strings::recordBeyondEnd().arg(size).arg(len - m_offset));
    }
    out = RecordRef{m_offset, type, size, base + m_offset};
    m_offset += size;
    if (type == T_EOF)
        m_done = true;
    return true;
}

// --- decoding --------------------------------------------------------------------

namespace {

struct Overrun {
    QString why;
};

class Decoder {
public:
    explicit Decoder(const RecordRef &r) : m_rec(r.data), m_size(r.size), m_limit(r.size) {}

    void operator()(const char *, quint32 &v) { v = u32(); }
    void operator()(const char *, qint32 &v) { v = qint32(u32()); }
    void operator()(const char *, quint16 &v)
    {
        need(2);
        v = qFromLittleEndian<quint16>(m_rec + m_pos);
        m_pos += 2;
    }
    void operator()(const char *, float &v)
    {
        const quint32 bits = u32();
        std::memcpy(&v, &bits, 4);
    }
    void operator()(const char *, gdi::Point &p)
    {
        p.x = qint32(u32());
        p.y = qint32(u32());
    }
    void operator()(const char *, gdi::Size &s)
    {
        s.cx = qint32(u32());
        s.cy = qint32(u32());
    }
    void operator()(const char *, gdi::Rect &r)
    {
        r.left = qint32(u32());
        r.top = qint32(u32());
        r.right = qint32(u32());
        r.bottom = qint32(u32());
    }
    void operator()(const char *n, XForm &x)
    {
        (*this)(n, x.m11);
        (*this)(n, x.m12);
        (*this)(n, x.m21);
        (*this)(n, x.m22);
        (*this)(n, x.dx);
        (*this)(n, x.dy);
    }
    template <bool Short>
    void operator()(const char *name, Points<Short> &p)
    {
        const quint32 count = u32();
        readPoints<Short>(name, count, p.pts);
    }
    template <bool Short>
    void operator()(const char *name, PolyPoints<Short> &p)
    {
        const quint32 nPolys = u32();
        const quint32 total = u32();
        checkCount(name, nPolys, 4);
        std::vector<quint32> counts(nPolys);
        quint64 sum = 0;
        for (auto &c : counts) {
            c = u32();
            sum += c;
        }
        if (sum != total)
            throw Overrun{strings::countTooLarge().arg(total).arg(QString::fromLatin1(name))};
        checkCount(name, total, Short ? 4 : 8);
        p.polys.resize(nPolys);
        for (quint32 i = 0; i < nPolys; ++i)
            readPoints<Short>(name, counts[i], p.polys[i]);
    }
    void operator()(const char *, Dib &d)
    {
        const quint32 offBmi = u32(), cbBmi = u32(), offBits = u32(), cbBits = u32();
        d.bmi = at("offBmi", offBmi, cbBmi);
        d.bits = at("offBits", offBits, cbBits);
    }
    void operator()(const char *, LogFontW &lf)
    {
        gdi::LogFont &f = lf.font;
        need(92);
        f.height = qint32(u32());
        f.width = qint32(u32());
        f.escapement = qint32(u32());
        f.orientation = qint32(u32());
        f.weight = qint32(u32());
        const uchar *b = m_rec + m_pos;
        f.italic = b[0];
        f.underline = b[1];
        f.strikeOut = b[2];
        f.charSet = b[3];
        f.outPrecision = b[4];
        f.clipPrecision = b[5];
        f.quality = b[6];
        f.pitchAndFamily = b[7];
        m_pos += 8;
        QString face;
        for (int i = 0; i < 32; ++i) {
            const char16_t c = qFromLittleEndian<quint16>(m_rec + m_pos + 2 * i);
            if (c == 0)
                break;
            face.append(QChar(c));
        }
        f.faceName = face;
        m_pos += 64;
    }
    void description(const char *, QString &s)
    {
        const quint32 n = u32();
        const quint32 off = u32();
        if (n == 0) {
            s.clear();
            return;
        }
        if (n > 0x7fffffff / 2)
            throw Overrun{strings::offsetOutOfRange().arg(QStringLiteral("offDescription"))};
        const QByteArray raw = at("offDescription", off, n * 2);
        s = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), n);
        while (s.endsWith(QChar(0)))
            s.chop(1);
    }
    bool optional(quint32 n, bool &present)
    {
        present = m_pos + n <= m_limit;
        return present;
    }
    void last(const char *, quint32 &v)
    {
        if (m_size < m_pos + 4)
            throw Overrun{strings::recordTooShort()};
        v = qFromLittleEndian<quint32>(m_rec + m_size - 4);
        m_pos = m_size;
    }
    void padTo(quint32) {}
    void array(const char *name, std::vector<quint32> &v)
    {
        const quint32 n = u32();
        checkCount(name, n, 4);
        v.resize(n);
        for (auto &e : v)
            e = u32();
    }
    void bytes(const char *name, Bytes &b, quint32 count)
    {
        checkCount(name, count, 1);
        b.data = QByteArray(reinterpret_cast<const char *>(m_rec + m_pos), qsizetype(count));
        m_pos += count;
    }
    void gradient(const char *, std::vector<gdi::TriVertex> &vertices, std::vector<quint32> &mesh, quint32 nVer,
                  quint32 nTri, quint32 mode)
    {
        checkCount("nVer", nVer, 16);
        vertices.resize(nVer);
        for (auto &t : vertices) {
            t.x = qint32(u32());
            t.y = qint32(u32());
            const uchar *c = m_rec + m_pos;
            t.red = qFromLittleEndian<quint16>(c);
            t.green = qFromLittleEndian<quint16>(c + 2);
            t.blue = qFromLittleEndian<quint16>(c + 4);
            t.alpha = qFromLittleEndian<quint16>(c + 6);
            m_pos += 8;
        }
        // Rectangles are two indexes; some writers pad them to the twelve
        // bytes of a triangle.
        const quint32 per = mode == gdi::GRADIENT_FILL_TRIANGLE ? 3 : 2;
        quint32 stride = per * 4;
        if (per == 2 && nTri > 0 && quint64(nTri) * 12 <= quint64(m_limit) - m_pos)
            stride = 12;
        checkCount("nTri", nTri, stride);
        mesh.resize(size_t(nTri) * per);
        for (quint32 i = 0; i < nTri; ++i) {
            for (quint32 k = 0; k < per; ++k)
                mesh[size_t(i) * per + k] = qFromLittleEndian<quint32>(m_rec + m_pos + 4 * k);
            m_pos += stride;
        }
    }
    void text(const char *, Text &t, bool wide)
    {
        (*this)("reference", t.reference);
        const quint32 nChars = u32();
        const quint32 offString = u32();
        t.options = u32();
        (*this)("rect", t.rect);
        const quint32 offDx = u32();
        if (nChars > 0x0fffffff)
            throw Overrun{strings::countTooLarge().arg(nChars).arg(QStringLiteral("nChars"))};
        t.chars = at("offString", offString, nChars * (wide ? 2 : 1));
        // Some writers leave the advances out (offDx 0); they are optional.
        t.dx.clear();
        if (offDx != 0 && nChars != 0) {
            const quint32 per = (t.options & ETO_PDY) ? 2 : 1;
            const QByteArray dx = at("offDx", offDx, nChars * 4 * per);
            t.dx.resize(size_t(nChars) * per);
            for (size_t i = 0; i < t.dx.size(); ++i)
                t.dx[i] = qFromLittleEndian<qint32>(dx.constData() + 4 * i);
        }
    }

private:
    void need(quint32 n)
    {
        if (quint64(m_pos) + n > m_limit)
            throw Overrun{strings::recordTooShort()};
    }
    quint32 u32()
    {
        need(4);
        const quint32 v = qFromLittleEndian<quint32>(m_rec + m_pos);
        m_pos += 4;
        return v;
    }
    void checkCount(const char *name, quint32 count, quint32 elem)
    {
        if (quint64(count) * elem > quint64(m_limit) - m_pos)
            throw Overrun{strings::countTooLarge().arg(count).arg(QString::fromLatin1(name))};
    }
    template <bool Short>
    void readPoints(const char *name, quint32 count, std::vector<gdi::Point> &out)
    {
        checkCount(name, count, Short ? 4 : 8);
        out.resize(count);
        for (auto &p : out) {
            if constexpr (Short) {
                p.x = qFromLittleEndian<qint16>(m_rec + m_pos);
                p.y = qFromLittleEndian<qint16>(m_rec + m_pos + 2);
                m_pos += 4;
            } else {
                p.x = qint32(u32());
                p.y = qint32(u32());
            }
        }
    }
    // Data stored after the fixed fields: it must lie inside the record, and
    // the fixed fields end where it begins.
    QByteArray at(const char *name, quint32 off, quint32 count)
    {
        if (count == 0)
            return {};
        if (off < 8 || quint64(off) + count > m_size)
            throw Overrun{strings::offsetOutOfRange().arg(QString::fromLatin1(name))};
        if (off < m_limit && off >= m_pos)
            m_limit = off;
        return QByteArray(reinterpret_cast<const char *>(m_rec + off), qsizetype(count));
    }

    const uchar *m_rec;
    quint32 m_size;
    quint32 m_limit; // end of the fixed fields
    quint32 m_pos = 8;
};

template <class T>
Record decodeAs(const RecordRef &ref)
{
    T rec{};
    Decoder d(ref);
    rec.io(d);
    return rec;
}

} // namespace

Record decode(const RecordRef &ref)
{
    try {
        switch (ref.type) {
#define EMF_DECODE(num, name, ...) \
    case num:                      \
        return decodeAs<__VA_ARGS__>(ref);
            EMF_RECORDS(EMF_DECODE)
#undef EMF_DECODE
        }
    } catch (const Overrun &o) {
        throw damagedError(ref.type, ref.offset, o.why);
    }
    return Unknown{ref.type};
}

// --- encoding --------------------------------------------------------------------

namespace {

class Encoder {
public:
    explicit Encoder(quint32 type)
    {
        u32(type);
        u32(0); // size, patched at the end
    }

    void operator()(const char *, quint32 v) { u32(v); }
    void operator()(const char *, qint32 v) { u32(quint32(v)); }
    void operator()(const char *, quint16 v)
    {
        uchar b[2];
        qToLittleEndian<quint16>(v, b);
        m_out.append(reinterpret_cast<const char *>(b), 2);
    }
    void operator()(const char *, float v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void operator()(const char *, const gdi::Point &p)
    {
        u32(quint32(p.x));
        u32(quint32(p.y));
    }
    void operator()(const char *, const gdi::Size &s)
    {
        u32(quint32(s.cx));
        u32(quint32(s.cy));
    }
    void operator()(const char *, const gdi::Rect &r)
    {
        u32(quint32(r.left));
        u32(quint32(r.top));
        u32(quint32(r.right));
        u32(quint32(r.bottom));
    }
    void operator()(const char *n, const XForm &x)
    {
        for (float f : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy})
            (*this)(n, f);
    }
    template <bool Short>
    void operator()(const char *, const Points<Short> &p)
    {
        u32(quint32(p.pts.size()));
        writePoints<Short>(p.pts);
    }
    template <bool Short>
    void operator()(const char *, const PolyPoints<Short> &p)
    {
        quint32 total = 0;
        for (const auto &poly : p.polys)
            total += quint32(poly.size());
        u32(quint32(p.polys.size()));
        u32(total);
        for (const auto &poly : p.polys)
            u32(quint32(poly.size()));
        for (const auto &poly : p.polys)
            writePoints<Short>(poly);
    }
    void operator()(const char *, const Dib &d)
    {
        later(d.bmi);
        u32(quint32(d.bmi.size()));
        later(d.bits);
        u32(quint32(d.bits.size()));
    }
    void operator()(const char *, const LogFontW &lf)
    {
        const gdi::LogFont &f = lf.font;
        for (qint32 v : {f.height, f.width, f.escapement, f.orientation, f.weight})
            u32(quint32(v));
        for (quint8 b : {f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality,
                         f.pitchAndFamily})
            m_out.append(char(b));
        QByteArray face(64, '\0');
        const QString name = f.faceName.left(31);
        for (int i = 0; i < name.size(); ++i)
            qToLittleEndian<quint16>(name.at(i).unicode(), face.data() + 2 * i);
        m_out.append(face);
    }
    void description(const char *, const QString &s)
    {
        if (s.isEmpty()) {
            u32(0);
            u32(0);
            return;
        }
        QByteArray raw = utf16(s);
        raw.append(2, '\0'); // terminating NUL
        u32(quint32(raw.size() / 2));
        later(raw);
    }
    bool optional(quint32, bool present) { return present; }
    void last(const char *, quint32 v) { u32(v); }
    void padTo(quint32 n)
    {
        while (quint32(m_out.size()) < n)
            m_out.append('\0');
    }
    void array(const char *, const std::vector<quint32> &v)
    {
        u32(quint32(v.size()));
        for (quint32 e : v)
            u32(e);
    }
    void bytes(const char *, const Bytes &b, quint32)
    {
        m_out.append(b.data);
        align();
    }
    void gradient(const char *, const std::vector<gdi::TriVertex> &vertices, const std::vector<quint32> &mesh, quint32,
                  quint32, quint32)
    {
        for (const auto &t : vertices) {
            u32(quint32(t.x));
            u32(quint32(t.y));
            for (quint16 c : {t.red, t.green, t.blue, t.alpha})
                (*this)("", c);
        }
        for (quint32 i : mesh)
            u32(i);
    }
    void text(const char *, const Text &t, bool wide)
    {
        (*this)("reference", t.reference);
        u32(quint32(t.chars.size() / (wide ? 2 : 1)));
        later(t.chars);
        u32(t.options);
        (*this)("rect", t.rect);
        QByteArray dx(qsizetype(t.dx.size() * 4), '\0');
        for (size_t i = 0; i < t.dx.size(); ++i)
            qToLittleEndian<qint32>(t.dx[i], dx.data() + 4 * i);
        later(dx);
    }

    QByteArray finish()
    {
        align();
        for (const auto &[pos, data] : m_tails) {
            if (data.isEmpty())
                continue;
            qToLittleEndian<quint32>(quint32(m_out.size()), m_out.data() + pos);
            m_out.append(data);
            align();
        }
        qToLittleEndian<quint32>(quint32(m_out.size()), m_out.data() + 4);
        return m_out;
    }

private:
    static QByteArray utf16(const QString &s)
    {
        QByteArray raw(s.size() * 2, '\0');
        for (int i = 0; i < s.size(); ++i)
            qToLittleEndian<quint16>(s.at(i).unicode(), raw.data() + 2 * i);
        return raw;
    }
    void u32(quint32 v)
    {
        uchar b[4];
        qToLittleEndian<quint32>(v, b);
        m_out.append(reinterpret_cast<const char *>(b), 4);
    }
    void align()
    {
        while (m_out.size() % 4)
            m_out.append('\0');
    }
    // An offset field whose data is appended after the fixed fields.
    void later(const QByteArray &data)
    {
        m_tails.emplace_back(m_out.size(), data);
        u32(0);
    }
    template <bool Short>
    void writePoints(const std::vector<gdi::Point> &pts)
    {
        for (const auto &p : pts) {
            if constexpr (Short) {
                uchar b[4];
                qToLittleEndian<qint16>(qint16(p.x), b);
                qToLittleEndian<qint16>(qint16(p.y), b + 2);
                m_out.append(reinterpret_cast<const char *>(b), 4);
            } else {
                u32(quint32(p.x));
                u32(quint32(p.y));
            }
        }
    }

    QByteArray m_out;
    std::vector<std::pair<qsizetype, QByteArray>> m_tails;
};

} // namespace

QByteArray encode(const Record &record)
{
    return std::visit(
        [&](const auto &rec) {
            Encoder e(typeOf(record));
            const_cast<std::decay_t<decltype(rec)> &>(rec).io(e);
            return e.finish();
        },
        record);
}

// --- dumping ----------------------------------------------------------------------

namespace {

class Dumper {
public:
    QStringList parts;

    void add(const char *name, const QString &value) { parts << QString::fromLatin1(name) + u'=' + value; }
    void operator()(const char *n, quint32 v)
    {
        add(n, v > 0xffff ? QStringLiteral("0x%1").arg(v, 8, 16, QChar(u'0')) : QString::number(v));
    }
    void operator()(const char *n, qint32 v) { add(n, QString::number(v)); }
    void operator()(const char *n, quint16 v) { add(n, QString::number(v)); }
    void operator()(const char *n, float v) { add(n, QString::number(double(v))); }
    static QString pt(const gdi::Point &p) { return QStringLiteral("(%1,%2)").arg(p.x).arg(p.y); }
    void operator()(const char *n, const gdi::Point &p) { add(n, pt(p)); }
    void operator()(const char *n, const gdi::Size &s) { add(n, QStringLiteral("%1x%2").arg(s.cx).arg(s.cy)); }
    void operator()(const char *n, const gdi::Rect &r)
    {
        add(n, QStringLiteral("(%1,%2,%3,%4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom));
    }
    void operator()(const char *n, const XForm &x)
    {
        add(n, QStringLiteral("[%1 %2 %3 %4 %5 %6]")
                   .arg(double(x.m11))
                   .arg(double(x.m12))
                   .arg(double(x.m21))
                   .arg(double(x.m22))
                   .arg(double(x.dx))
                   .arg(double(x.dy)));
    }
    static QString pts(const std::vector<gdi::Point> &v)
    {
        QStringList l;
        for (size_t i = 0; i < v.size() && i < 8; ++i)
            l << pt(v[i]);
        if (v.size() > 8)
            l << QStringLiteral("...");
        return QStringLiteral("%1[%2]").arg(v.size()).arg(l.join(u' '));
    }
    template <bool Short>
    void operator()(const char *n, const Points<Short> &p)
    {
        add(n, pts(p.pts));
    }
    template <bool Short>
    void operator()(const char *n, const PolyPoints<Short> &p)
    {
        QStringList l;
        for (const auto &poly : p.polys)
            l << pts(poly);
        add(n, QStringLiteral("%1{%2}").arg(p.polys.size()).arg(l.join(QStringLiteral(", "))));
    }
    void operator()(const char *n, const Dib &d)
    {
        add(n, QStringLiteral("bmi:%1 bits:%2").arg(d.bmi.size()).arg(d.bits.size()));
    }
    void operator()(const char *n, const LogFontW &lf)
    {
        const auto &f = lf.font;
        add(n, QStringLiteral("height:%1 width:%2 escapement:%3 weight:%4 italic:%5 underline:%6 charset:%7 face:'%8'")
                   .arg(f.height)
                   .arg(f.width)
                   .arg(f.escapement)
                   .arg(f.weight)
                   .arg(f.italic)
                   .arg(f.underline)
                   .arg(f.charSet)
                   .arg(f.faceName));
    }
    void description(const char *n, const QString &s)
    {
        QString t = s;
        t.replace(QChar(0), u'|');
        add(n, u'\'' + t + u'\'');
    }
    bool optional(quint32, bool present) { return present; }
    void last(const char *n, quint32 v) { (*this)(n, v); }
    void padTo(quint32) {}
    void array(const char *n, const std::vector<quint32> &v)
    {
        QStringList l;
        for (quint32 e : v)
            l << QString::number(e);
        add(n, QStringLiteral("[%1]").arg(l.join(u' ')));
    }
    void bytes(const char *n, const Bytes &b, quint32) { add(n, QStringLiteral("%1 bytes").arg(b.data.size())); }
    void gradient(const char *, const std::vector<gdi::TriVertex> &vertices, const std::vector<quint32> &mesh, quint32,
                  quint32, quint32)
    {
        QStringList l;
        for (size_t i = 0; i < vertices.size() && i < 8; ++i)
            l << QStringLiteral("(%1,%2 #%3%4%5)")
                     .arg(vertices[i].x)
                     .arg(vertices[i].y)
                     .arg(vertices[i].red >> 8, 2, 16, QChar(u'0'))
                     .arg(vertices[i].green >> 8, 2, 16, QChar(u'0'))
                     .arg(vertices[i].blue >> 8, 2, 16, QChar(u'0'));
        if (vertices.size() > 8)
            l << QStringLiteral("...");
        add("vertices", QStringLiteral("%1[%2]").arg(vertices.size()).arg(l.join(u' ')));
        add("mesh", QString::number(mesh.size()));
    }
    void text(const char *, const Text &t, bool wide)
    {
        (*this)("reference", t.reference);
        (*this)("options", t.options);
        (*this)("rect", t.rect);
        QString s = wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(t.chars.constData()), t.chars.size() / 2)
                         : QString::fromLatin1(t.chars);
        s.replace(u'\n', QStringLiteral("\\n"));
        add("text", u'"' + s + u'"');
        add("dx", QString::number(t.dx.size()));
    }
};

} // namespace

QString dumpFields(const Record &record)
{
    Dumper d;
    std::visit([&](const auto &rec) { const_cast<std::decay_t<decltype(rec)> &>(rec).io(d); }, record);
    return d.parts.join(u' ');
}

} // namespace emf
