#include "platform/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fonts {

namespace {

// --- big-endian reading with bounds checks ------------------------------------

int u16(const QByteArray &t, int off)
{
    if (off < 0 || off + 2 > t.size())
        return 0;
    return (quint8(t[off]) << 8) | quint8(t[off + 1]);
}
int s16(const QByteArray &t, int off) { return qint16(quint16(u16(t, off))); }
quint32 u32(const QByteArray &t, qsizetype off)
{
    if (off < 0 || off + 4 > t.size())
        return 0;
    return (quint32(quint8(t[off])) << 24) | (quint32(quint8(t[off + 1])) << 16) |
           (quint32(quint8(t[off + 2])) << 8) | quint32(quint8(t[off + 3]));
}
void put32(QByteArray &t, int off, quint32 v)
{
    t[off] = char(v >> 24);
    t[off + 1] = char(v >> 16);
    t[off + 2] = char(v >> 8);
    t[off + 3] = char(v);
}

// --- families ------------------------------------------------------------------

// Face names the worksheets and the window ask for, drawn with a Kai face.
const char16_t *const kKaiFaces[] = {u"標楷體", u"華康標楷筆順體", u"華康標楷虛線體", u"DFKai-SB", u"BiauKai"};
const char *const kKaiChain[] = {"TW-Kai", "AR PL UKai TW", "AR PL UKai HK", "AR PL UKai CN", "AR PL UKai TW MBE"};

const char16_t *const kMingFaces[] = {u"新細明體", u"細明體", u"PMingLiU", u"MingLiU", u"宋体", u"新宋体", u"SimSun", u"NSimSun"};
const char *const kMingChain[] = {"AR PL UMing TW", "AR PL UMing CN", "Noto Serif CJK TC", "Noto Serif CJK SC"};

const char16_t *const kHeiFaces[] = {u"微軟正黑體", u"Microsoft JhengHei", u"黑体", u"SimHei", u"微软雅黑", u"Microsoft YaHei"};
const char *const kHeiChain[] = {"Noto Sans CJK TC", "Noto Sans CJK SC", "WenQuanYi Zen Hei"};

const char16_t *const kSansFaces[] = {u"Arial", u"Helvetica", u"MS Sans Serif", u"Microsoft Sans Serif", u"Tahoma",
                                      u"Verdana", u"Segoe UI", u"System", u"MS Shell Dlg", u"MS Shell Dlg 2",
                                      u"Calibri", u"Arial Narrow", u"Trebuchet MS", u"Small Fonts"};
const char *const kSansChain[] = {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans", "FreeSans"};

const char16_t *const kSerifFaces[] = {u"Times New Roman", u"Times", u"MS Serif", u"Georgia", u"Cambria",
                                       u"Garamond", u"Book Antiqua", u"Palatino Linotype", u"Bookman Old Style"};
const char *const kSerifChain[] = {"Liberation Serif", "Tinos", "Nimbus Roman", "DejaVu Serif", "FreeSerif"};

const char16_t *const kMonoFaces[] = {u"Courier New", u"Courier", u"Lucida Console", u"Consolas", u"Fixedsys",
                                      u"Terminal", u"FixedSys"};
const char *const kMonoChain[] = {"Liberation Mono", "Cousine", "Nimbus Mono PS", "DejaVu Sans Mono", "FreeMono"};

template <size_t N>
bool inList(const QString &family, const char16_t *const (&list)[N])
{
    for (const char16_t *f : list)
        if (family.compare(QString::fromUtf16(f), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

enum class Kind { Kai, Ming, Hei, Sans, Serif, Mono, CJK };

bool isCjkCharSet(quint8 cs) { return cs == 128 || cs == 129 || cs == 130 || cs == 134 || cs == 136; }

Kind kindOf(const QString &family, quint8 charSet, quint8 pitchAndFamily)
{
    if (inList(family, kKaiFaces))
        return Kind::Kai;
    if (inList(family, kMingFaces))
        return Kind::Ming;
    if (inList(family, kHeiFaces))
        return Kind::Hei;
    if (inList(family, kSansFaces))
        return Kind::Sans;
    if (inList(family, kSerifFaces))
        return Kind::Serif;
    if (inList(family, kMonoFaces))
        return Kind::Mono;
    if (family.contains(QLatin1String("Kai"), Qt::CaseInsensitive) || family.contains(u'楷'))
        return Kind::Kai;
    if (isCjkCharSet(charSet))
        return Kind::CJK;
    for (QChar c : family)
        if (c.unicode() >= 0x2E80 && c.unicode() < 0xA000)
            return Kind::CJK; // a Chinese face name
    if ((pitchAndFamily & 0x3) == 1 || (pitchAndFamily & 0xF0) == 0x30)
        return Kind::Mono;
    if ((pitchAndFamily & 0xF0) == 0x10)
        return Kind::Serif;
    return Kind::Sans;
}

// Exact family look-up in fontconfig (any of a face's names, any letter case).
bool fcHasFamily(const QString &family)
{
    if (family.isEmpty())
        return false;
    const QByteArray utf8 = family.toUtf8();
    FcPattern *pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(utf8.constData()));
    FcObjectSet *os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet *set = FcFontList(nullptr, pat, os);
    const bool found = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return found;
}

struct FamilyCache {
    QMutex mutex;
    QHash<QString, bool> installed;       // lower-case family
    QHash<QString, QStringList> chains;   // family|charset|pitch
    QStringList cjkFamilies;              // installed Chinese/Japanese/Korean faces
    QStringList kaiFamilies;
    bool scanned = false;
};
FamilyCache &familyCache()
{
    static FamilyCache cache;
    return cache;
}

bool installedLocked(FamilyCache &c, const QString &family)
{
    const QString key = family.toLower();
    auto it = c.installed.constFind(key);
    if (it != c.installed.constEnd())
        return *it;
    bool found = false;
    for (const QString &f : QFontDatabase::families())
        if (f.compare(family, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
    if (!found)
        found = fcHasFamily(family);
    c.installed.insert(key, found);
    return found;
}

void scanCjkLocked(FamilyCache &c)
{
    if (c.scanned)
        return;
    c.scanned = true;
    const QFontDatabase::WritingSystem systems[] = {QFontDatabase::TraditionalChinese, QFontDatabase::SimplifiedChinese,
                                                    QFontDatabase::Japanese, QFontDatabase::Korean};
    for (auto ws : systems)
        for (const QString &f : QFontDatabase::families(ws))
            if (!c.cjkFamilies.contains(f) && !QFontDatabase::isPrivateFamily(f))
                c.cjkFamilies.append(f);
    // Traditional Chinese faces first (the worksheets are written in it), then
    // Hong Kong, Simplified Chinese, Japanese and Korean; monospaced last.
    auto rank = [](const QString &f) {
        int r = 3;
        if (f.contains(QLatin1String(" TC")) || f.contains(QLatin1String(" TW")) || f.startsWith(QLatin1String("TW-")))
            r = 0;
        else if (f.contains(QLatin1String(" HK")))
            r = 1;
        else if (f.contains(QLatin1String(" SC")) || f.contains(QLatin1String(" CN")))
            r = 2;
        else if (f.contains(QLatin1String(" JP")))
            r = 4;
        else if (f.contains(QLatin1String(" KR")))
            r = 5;
        if (f.contains(QLatin1String("Mono"), Qt::CaseInsensitive))
            r += 10;
        return r;
    };
    std::stable_sort(c.cjkFamilies.begin(), c.cjkFamilies.end(),
                     [&](const QString &a, const QString &b) { return rank(a) < rank(b); });
    for (const QString &f : c.cjkFamilies)
        if (f.contains(QLatin1String("Kai"), Qt::CaseInsensitive) || f.contains(u'楷'))
            c.kaiFamilies.append(f);
}

template <size_t N>
void appendInstalled(FamilyCache &c, QStringList &out, const char *const (&list)[N])
{
    for (const char *f : list) {
        const QString name = QString::fromLatin1(f);
        if (!out.contains(name, Qt::CaseInsensitive) && installedLocked(c, name))
            out.append(name);
    }
}

void appendAll(QStringList &out, const QStringList &more)
{
    for (const QString &f : more)
        if (!out.contains(f, Qt::CaseInsensitive))
            out.append(f);
}

void appendStyleHint(QStringList &out, QFont::StyleHint hint)
{
    QFont f;
    f.setStyleHint(hint);
    if (hint == QFont::Monospace)
        f.setFamily(QStringLiteral("monospace"));
    else if (hint == QFont::Serif)
        f.setFamily(QStringLiteral("serif"));
    else
        f.setFamily(QStringLiteral("sans-serif"));
    const QString fam = QFontInfo(f).family();
    if (!fam.isEmpty() && !out.contains(fam, Qt::CaseInsensitive))
        out.append(fam);
}

QStringList chainLocked(FamilyCache &c, const QString &family, quint8 charSet, quint8 pitchAndFamily)
{
    const QString key = family.toLower() + u'|' + QString::number(charSet) + u'|' + QString::number(pitchAndFamily);
    auto it = c.chains.constFind(key);
    if (it != c.chains.constEnd())
        return *it;
    QStringList out;
    if (installedLocked(c, family))
        out.append(family);
    scanCjkLocked(c);
    switch (kindOf(family, charSet, pitchAndFamily)) {
    case Kind::Kai:
        appendInstalled(c, out, kKaiChain);
        appendAll(out, c.kaiFamilies);
        appendAll(out, c.cjkFamilies);
        break;
    case Kind::Ming:
        appendInstalled(c, out, kMingChain);
        appendAll(out, c.cjkFamilies);
        break;
    case Kind::Hei:
    case Kind::CJK:
        appendInstalled(c, out, kHeiChain);
        appendAll(out, c.cjkFamilies);
        break;
    case Kind::Sans:
        appendInstalled(c, out, kSansChain);
        appendStyleHint(out, QFont::SansSerif);
        break;
    case Kind::Serif:
        appendInstalled(c, out, kSerifChain);
        appendStyleHint(out, QFont::Serif);
        break;
    case Kind::Mono:
        appendInstalled(c, out, kMonoChain);
        appendStyleHint(out, QFont::Monospace);
        break;
    }
    if (out.isEmpty()) {
        const QString fallback = QFontInfo(QFont()).family();
        if (!fallback.isEmpty())
            out.append(fallback);
    }
    c.chains.insert(key, out);
    return out;
}

// Characters a face lacks are drawn by these, in order.
QStringList fallbackFamiliesFor(const QString &drawn, const QString &requested, quint8 charSet, quint8 pitch)
{
    FamilyCache &c = familyCache();
    QMutexLocker lock(&c.mutex);
    QStringList out = chainLocked(c, requested, charSet, pitch);
    const Kind kind = kindOf(requested, charSet, pitch);
    if (kind == Kind::Sans || kind == Kind::Serif || kind == Kind::Mono) {
        // Latin faces: Chinese text in them comes out in a Chinese face.
        appendInstalled(c, out, kHeiChain);
        appendAll(out, c.cjkFamilies);
    } else {
        appendInstalled(c, out, kSansChain);
    }
    out.removeAll(drawn);
    return out;
}

// --- metrics -------------------------------------------------------------------

int roundHalfAway(qreal v) { return int(std::lround(v)); }

QFont baseQFont(const QString &family, const gdi::LogFont &lf)
{
    QFont f(family);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    f.setHintingPreference(QFont::PreferNoHinting);
    const int w = lf.weight <= 0 ? gdi::FW_NORMAL : std::clamp(int(lf.weight), 1, 1000);
    f.setWeight(QFont::Weight(w));
    f.setItalic(lf.italic != 0);
    f.setKerning(false);
    return f;
}

QRawFont rawFontFor(const QString &family, const gdi::LogFont &lf, qreal em)
{
    QFont f = baseQFont(family, lf);
    f.setPixelSize(std::max(1, int(std::lround(em))));
    QRawFont raw = QRawFont::fromFont(f);
    if (raw.isValid() && em > 0)
        raw.setPixelSize(em);
    return raw;
}

struct CacheKey {
    gdi::LogFont lf;
    friend bool operator==(const CacheKey &, const CacheKey &) = default;
};
size_t qHash(const CacheKey &k, size_t seed = 0)
{
    const gdi::LogFont &f = k.lf;
    return qHashMulti(seed, f.height, f.width, f.escapement, f.weight, f.italic, f.underline, f.strikeOut,
                      f.charSet, f.pitchAndFamily, f.faceName);
}

} // namespace

// --- family resolution ------------------------------------------------------

bool isFamilyInstalled(const QString &family)
{
    FamilyCache &c = familyCache();
    QMutexLocker lock(&c.mutex);
    return installedLocked(c, family);
}

QStringList substitutionChain(const QString &family, quint8 charSet, quint8 pitchAndFamily)
{
    FamilyCache &c = familyCache();
    QMutexLocker lock(&c.mutex);
    return chainLocked(c, family, charSet, pitchAndFamily);
}

QString standInFamily(const QString &family, quint8 charSet, quint8 pitchAndFamily)
{
    const QStringList chain = substitutionChain(family, charSet, pitchAndFamily);
    return chain.isEmpty() ? QFontInfo(QFont()).family() : chain.first();
}

std::optional<FaceMetrics> readFaceMetrics(const QRawFont &face)
{
    if (!face.isValid())
        return std::nullopt;
    const QByteArray head = face.fontTable("head");
    const QByteArray hhea = face.fontTable("hhea");
    const QByteArray os2 = face.fontTable("OS/2");
    const QByteArray post = face.fontTable("post");
    FaceMetrics m;
    m.unitsPerEm = head.size() >= 54 ? u16(head, 18) : 0;
    if (m.unitsPerEm < 16 || m.unitsPerEm > 16384)
        m.unitsPerEm = int(face.unitsPerEm());
    if (m.unitsPerEm < 16 || m.unitsPerEm > 16384)
        return std::nullopt;
    if (head.size() >= 54) {
        m.xMin = s16(head, 36);
        m.yMin = s16(head, 38);
        m.xMax = s16(head, 40);
        m.yMax = s16(head, 42);
    }
    if (hhea.size() >= 36) {
        m.hheaAscender = s16(hhea, 4);
        m.hheaDescender = s16(hhea, 6);
        m.hheaLineGap = s16(hhea, 8);
        m.maxAdvance = u16(hhea, 10);
    }
    if (post.size() >= 12) {
        m.italicAngle = qint32(u32(post, 4)) / 65536.0;
        m.underlinePosition = s16(post, 8);
        m.underlineThickness = s16(post, 10);
    }
    if (os2.size() >= 78) {
        m.avgCharWidth = s16(os2, 2);
        m.strikeoutSize = s16(os2, 26);
        m.strikeoutPosition = s16(os2, 28);
        m.familyClass = s16(os2, 30) >> 8;
        m.typoAscender = s16(os2, 68);
        m.typoDescender = s16(os2, 70);
        m.typoLineGap = s16(os2, 72);
        m.winAscent = u16(os2, 74);
        m.winDescent = u16(os2, 76);
        if (u16(os2, 0) >= 2 && os2.size() >= 90) {
            m.xHeight = s16(os2, 86);
            m.capHeight = s16(os2, 88);
        }
    } else {
        m.typoAscender = m.hheaAscender;
        m.typoDescender = m.hheaDescender;
        m.typoLineGap = m.hheaLineGap;
    }
    if (m.winAscent + m.winDescent <= 0) {
        m.winAscent = m.hheaAscender;
        m.winDescent = -m.hheaDescender;
    }
    if (m.winAscent + m.winDescent <= 0) {
        // No usable vertical metrics at all: take the em.
        m.winAscent = m.unitsPerEm * 4 / 5;
        m.winDescent = m.unitsPerEm - m.winAscent;
    }
    if (m.capHeight == 0)
        m.capHeight = m.typoAscender > 0 ? m.typoAscender : m.winAscent;
    return m;
}

qreal emHeight(const gdi::LogFont &font)
{
    if (font.height < 0)
        return std::min(-qreal(font.height), qreal(kMaxHeight));
    if (font.height == 0)
        return kDefaultEmHeight;
    // A cell height: the em comes from the face's ascent + descent.
    const auto rf = resolve(font);
    return rf->emSize();
}

std::shared_ptr<const ResolvedFont> resolve(const gdi::LogFont &font)
{
    thread_local QHash<CacheKey, std::shared_ptr<const ResolvedFont>> cache;
    const CacheKey key{font};
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    std::shared_ptr<ResolvedFont> rf(new ResolvedFont);
    rf->m_logFont = font;
    // Heights beyond any sensible size (damaged input) are held at a limit.
    const qint32 height = std::clamp(font.height, -kMaxHeight, kMaxHeight);
    rf->m_family = standInFamily(font.faceName, font.charSet, font.pitchAndFamily);

    // Metrics come from the face at any size; read them at a round em first.
    QRawFont probe = rawFontFor(rf->m_family, font, 64);
    const std::optional<FaceMetrics> fm = readFaceMetrics(probe);
    if (fm)
        rf->m_face = *fm;
    else {
        rf->m_face.unitsPerEm = 1000;
        rf->m_face.winAscent = rf->m_face.typoAscender = rf->m_face.hheaAscender = 800;
        rf->m_face.winDescent = 200;
        rf->m_face.typoDescender = rf->m_face.hheaDescender = -200;
        rf->m_face.capHeight = 700;
    }
    const FaceMetrics &m = rf->m_face;
    const qreal upm = m.unitsPerEm;
    const qreal cell = m.winAscent + m.winDescent;

    gdi::TextMetric &tm = rf->m_tm;
    if (height > 0) {
        rf->m_em = height * upm / cell;
        tm.height = height;
        tm.ascent = roundHalfAway(height * m.winAscent / cell);
        tm.descent = tm.height - tm.ascent;
    } else {
        rf->m_em = height < 0 ? -qreal(height) : qreal(kDefaultEmHeight);
        tm.ascent = roundHalfAway(m.winAscent * rf->m_em / upm);
        tm.descent = roundHalfAway(m.winDescent * rf->m_em / upm);
        tm.height = tm.ascent + tm.descent;
    }
    const qreal scale = rf->m_em / upm;
    tm.internalLeading = std::max(0, tm.height - roundHalfAway(rf->m_em));
    const int hheaCell = m.hheaAscender - m.hheaDescender;
    tm.externalLeading = std::max(0, roundHalfAway((m.hheaLineGap - (cell - hheaCell)) * scale));
    rf->m_ascent = tm.ascent;
    rf->m_descent = tm.descent;

    rf->m_raw = rawFontFor(rf->m_family, font, rf->m_em);

    int avg = m.avgCharWidth;
    if (avg <= 0 && rf->m_raw.isValid()) {
        // Faces without xAvgCharWidth: the width of 'x' stands in.
        const QList<quint32> g = rf->m_raw.glyphIndexesForString(QStringLiteral("x"));
        if (!g.isEmpty() && g[0] != 0)
            avg = roundHalfAway(rf->m_raw.advancesForGlyphIndexes(g, QRawFont::UseDesignMetrics).value(0).x() / scale);
    }
    if (font.width > 0 && avg > 0)
        rf->m_hscale = std::clamp(font.width / (avg * scale), 1.0 / 64, 64.0);
    tm.aveCharWidth = roundHalfAway(avg * scale * rf->m_hscale);
    tm.maxCharWidth = roundHalfAway(m.maxAdvance * scale * rf->m_hscale);

    rf->m_fallbackFamilies = fallbackFamiliesFor(rf->m_family, font.faceName, font.charSet, font.pitchAndFamily);

    if (cache.size() > 512)
        cache.clear(); // a runaway set of sizes must not grow without end
    cache.insert(key, rf);
    return rf;
}

// --- ResolvedFont ---------------------------------------------------------------

QFont ResolvedFont::qfont(qreal scale) const
{
    QFont f = baseQFont(m_family, m_logFont);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setPixelSize(std::max(1, int(std::lround(m_em * scale))));
    f.setUnderline(m_logFont.underline != 0);
    f.setStrikeOut(m_logFont.strikeOut != 0);
    if (m_hscale != 1)
        f.setStretch(std::clamp(int(std::lround(m_hscale * 100)), 1, 4000));
    return f;
}

ResolvedFont::Face ResolvedFont::makeFace(const QString &family) const
{
    Face face;
    face.draw = rawFontFor(family, m_logFont, m_em);
    if (!face.draw.isValid())
        return face;
    // At a pixel size equal to the units per em an advance is a whole number
    // of design units, free of the rounding of small sizes.
    const qreal upm = std::clamp<qreal>(face.draw.unitsPerEm(), 16, 16384);
    face.measure = face.draw;
    face.measure.setPixelSize(upm);
    face.unitScale = m_em / upm;
    return face;
}

const ResolvedFont::CharInfo &ResolvedFont::charInfo(char32_t ch) const
{
    if (auto it = m_chars.constFind(ch); it != m_chars.constEnd())
        return *it;
    if (m_faces.empty())
        m_faces.push_back(makeFace(m_family));
    CharInfo info;
    int faceIndex = 0;
    if (!m_faces[0].draw.supportsCharacter(uint(ch))) {
        if (!m_fallbacksBuilt) {
            m_fallbacksBuilt = true;
            for (const QString &fam : m_fallbackFamilies) {
                Face f = makeFace(fam);
                if (f.draw.isValid())
                    m_faces.push_back(std::move(f));
            }
        }
        for (size_t i = 1; i < m_faces.size(); ++i)
            if (m_faces[i].draw.supportsCharacter(uint(ch))) {
                faceIndex = int(i);
                break;
            }
    }
    const Face &face = m_faces[size_t(faceIndex)];
    info.face = faceIndex;
    if (face.draw.isValid()) {
        const QList<quint32> g = face.draw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        info.glyph = g.isEmpty() ? 0 : g.first();
        const QList<quint32> one{info.glyph};
        info.advance = face.measure.advancesForGlyphIndexes(one, QRawFont::UseDesignMetrics).value(0).x() * face.unitScale;
    }
    if (m_chars.size() > 65536)
        m_chars.clear();
    return *m_chars.insert(ch, info);
}

TextLayout ResolvedFont::layout(const QString &text, bool rightToLeft) const
{
    TextLayout out;
    out.advances.assign(size_t(text.size()), 0.0);
    if (text.isEmpty() || !m_raw.isValid())
        return out;

    struct Piece {
        int face;
        quint32 glyph;
        qreal advance;
        qsizetype unit; // index of the first code unit
    };
    std::vector<Piece> pieces;
    pieces.reserve(size_t(text.size()));
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    qreal total = 0;
    for (qsizetype i = 0; i < n;) {
        char32_t ch = s[i].unicode();
        qsizetype len = 1;
        if (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(s[i], s[i + 1]);
            len = 2;
        }
        const CharInfo &info = charInfo(ch);
        const qreal adv = info.advance * m_hscale;
        pieces.push_back({info.face, info.glyph, adv, i});
        out.advances[size_t(i)] = adv;
        total += adv;
        i += len;
    }
    out.width = total;

    // Pen positions in reading order; right to left starts at the right end.
    qreal pen = rightToLeft ? total : 0;
    GlyphRun *run = nullptr;
    int runFace = -1;
    for (const Piece &p : pieces) {
        if (rightToLeft)
            pen -= p.advance;
        if (!run || runFace != p.face) {
            out.runs.push_back(GlyphRun{m_faces[size_t(p.face)].draw, {}, {}, {}});
            run = &out.runs.back();
            runFace = p.face;
        }
        run->glyphs.append(p.glyph);
        run->units.push_back(p.unit);
        // Glyph positions are in the face's own scale; the horizontal scale
        // of a narrowed font is applied by the caller's transform.
        run->positions.append(QPointF(pen / m_hscale, 0));
        if (!rightToLeft)
            pen += p.advance;
    }
    return out;
}

TextLayout ResolvedFont::layoutGlyphs(const QString &glyphIndexes, bool rightToLeft) const
{
    TextLayout out;
    const qsizetype n = glyphIndexes.size();
    out.advances.assign(size_t(n), 0.0);
    if (n == 0 || !m_raw.isValid())
        return out;
    if (m_faces.empty())
        m_faces.push_back(makeFace(m_family));
    const Face &face = m_faces[0];
    // Glyph numbers past the face's count (maxp table) take no room and draw
    // nothing.
    const int numGlyphs = u16(face.draw.fontTable("maxp"), 4);
    QList<quint32> glyphs;
    glyphs.reserve(n);
    for (QChar c : glyphIndexes)
        glyphs.append(c.unicode() < numGlyphs ? c.unicode() : 0);
    const QList<QPointF> adv = face.measure.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    qreal total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (glyphIndexes[i].unicode() < numGlyphs)
            out.advances[size_t(i)] = adv.value(i).x() * face.unitScale * m_hscale;
        total += out.advances[size_t(i)];
    }
    out.width = total;
    GlyphRun run{face.draw, {}, {}, {}};
    qreal pen = rightToLeft ? total : 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (rightToLeft)
            pen -= out.advances[size_t(i)];
        if (glyphIndexes[i].unicode() < numGlyphs) {
            run.glyphs.append(glyphs[i]);
            run.positions.append(QPointF(pen / m_hscale, 0));
            run.units.push_back(i);
        }
        if (!rightToLeft)
            pen += out.advances[size_t(i)];
    }
    out.runs.push_back(std::move(run));
    return out;
}

qreal ResolvedFont::advanceWidth(const QString &text) const
{
    if (text.isEmpty() || !m_raw.isValid())
        return 0;
    qreal total = 0;
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t ch = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate())
            ch = QChar::surrogateToUcs4(s[i], s[i + 1]), ++i;
        total += charInfo(ch).advance;
    }
    return total * m_hscale;
}

qreal ResolvedFont::underlineOffset() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    if (m_face.underlinePosition != 0)
        return -m_face.underlinePosition * scale + lineThickness() / 2;
    return m_descent / 2;
}

qreal ResolvedFont::strikeOutOffset() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    if (m_face.strikeoutPosition > 0)
        return -m_face.strikeoutPosition * scale;
    return -m_ascent / 3;
}

qreal ResolvedFont::lineThickness() const
{
    const qreal scale = m_em / m_face.unitsPerEm;
    const int t = m_face.underlineThickness > 0 ? m_face.underlineThickness : m_face.strikeoutSize;
    return t > 0 ? t * scale : m_em / 20;
}

QFont toQFont(const gdi::LogFont &font, qreal scale) { return resolve(font)->qfont(scale); }

// --- documents ---------------------------------------------------------------------

QByteArray extractFace(const QByteArray &file, int index)
{
    if (file.size() < 12 || index < 0)
        return {};
    const quint32 tag = u32(file, 0);
    qsizetype base = 0;
    if (tag == 0x74746366) { // 'ttcf'
        const quint32 count = u32(file, 8);
        if (count == 0 || count > 4096 || quint32(index) >= count || 12 + qsizetype(count) * 4 > file.size())
            return {};
        base = u32(file, 12 + qsizetype(index) * 4);
    } else if (index != 0) {
        return {};
    }
    if (base < 0 || base + 12 > file.size())
        return {};
    const quint32 version = u32(file, base);
    if (version != 0x00010000 && version != 0x74727565 /* true */ && version != 0x4F54544F /* OTTO */)
        return {};
    const int numTables = u16(file, int(base + 4));
    if (numTables == 0 || numTables > 512 || base + 12 + qsizetype(numTables) * 16 > file.size())
        return {};
    if (tag != 0x74746366) {
        // A plain font: check that every table lies inside the file.
        for (int i = 0; i < numTables; ++i) {
            const qsizetype rec = 12 + qsizetype(i) * 16;
            const quint64 off = u32(file, rec + 8), len = u32(file, rec + 12);
            if (off + len > quint64(file.size()))
                return {};
        }
        return file;
    }
    // Copy the face's tables into a file of their own.
    QByteArray out(12 + numTables * 16, '\0');
    std::memcpy(out.data(), file.constData() + base, 12);
    qint64 total = out.size();
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = base + 12 + qsizetype(i) * 16;
        const quint64 off = u32(file, rec + 8), len = u32(file, rec + 12);
        if (off + len > quint64(file.size()))
            return {};
        total += qint64((len + 3) & ~quint64(3));
        if (total > qint64(1) << 30)
            return {};
    }
    out.reserve(qsizetype(total));
    for (int i = 0; i < numTables; ++i) {
        const qsizetype rec = base + 12 + qsizetype(i) * 16;
        const quint32 off = u32(file, rec + 8), len = u32(file, rec + 12);
        const int dst = 12 + i * 16;
        std::memcpy(out.data() + dst, file.constData() + rec, 8); // tag and checksum
        put32(out, dst + 8, quint32(out.size()));
        put32(out, dst + 12, len);
        out.append(file.constData() + off, len);
        while (out.size() % 4)
            out.append('\0');
    }
    return out;
}

QByteArray fontProgram(const gdi::LogFont &font)
{
    const auto rf = resolve(font);
    const QByteArray family = rf->family().toUtf8();
    FcPattern *pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    const int w = font.weight <= 0 ? gdi::FW_NORMAL : std::clamp(int(font.weight), 1, 1000);
    FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(w));
    FcPatternAddInteger(pat, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pat, &result);
    QString path;
    int index = 0;
    if (match) {
        FcChar8 *file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = QString::fromUtf8(reinterpret_cast<const char *>(file));
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    if (path.isEmpty())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64(1) << 30))
        return {};
    return extractFace(f.readAll(), index & 0xFFFF);
}

QByteArray fontTable(const gdi::LogFont &font, const char *tag)
{
    if (!tag || std::strlen(tag) != 4)
        return {};
    return resolve(font)->rawFont().fontTable(tag);
}

OutlineMetrics outlineMetrics(const gdi::LogFont &font, int em)
{
    const auto rf = resolve(font);
    const FaceMetrics &m = rf->faceMetrics();
    const qreal scale = qreal(em) / m.unitsPerEm;
    OutlineMetrics o;
    o.ascent = roundHalfAway(m.typoAscender * scale);
    o.descent = roundHalfAway(m.typoDescender * scale);
    o.capHeight = roundHalfAway(m.capHeight * scale);
    o.italicAngle = m.italicAngle;
    o.xMin = roundHalfAway(m.xMin * scale);
    o.yMin = roundHalfAway(m.yMin * scale);
    o.xMax = roundHalfAway(m.xMax * scale);
    o.yMax = roundHalfAway(m.yMax * scale);
    o.unitsPerEm = m.unitsPerEm;
    return o;
}

std::vector<int> advanceWidths(const gdi::LogFont &font, const QList<char32_t> &chars, int em)
{
    gdi::LogFont f = font;
    f.height = -std::max(1, em);
    f.width = 0;
    const auto rf = resolve(f);
    std::vector<int> out;
    out.reserve(size_t(chars.size()));
    const QRawFont &raw = rf->rawFont();
    for (char32_t ch : chars) {
        if (!raw.isValid() || !raw.supportsCharacter(uint(ch))) {
            out.push_back(0);
            continue;
        }
        const QList<quint32> g = raw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        const qreal adv = g.isEmpty() ? 0 : raw.advancesForGlyphIndexes(g, QRawFont::UseDesignMetrics).value(0).x();
        out.push_back(roundHalfAway(adv));
    }
    return out;
}

} // namespace fonts
