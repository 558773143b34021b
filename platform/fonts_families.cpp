// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Family resolution: which installed face draws a requested family, through
// fontconfig and our own substitution chains.
#include "platform/fonts.h"
#include "platform/fonts_p.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>

namespace fonts {

namespace {

// --- families ------------------------------------------------------------------

// Kai face names of the other platform, drawn with a Kai face here (as is any
// family whose name says Kai or 楷).
const char16_t *const kKaiFaces[] = {u"標楷體", u"DFKai-SB", u"BiauKai"};
// TW-Kai keeps the characters beyond the basic plane in faces of their own.
const char *const kKaiChain[] = {"TW-Kai", "TW-Kai-Ext-B", "TW-Kai-Plus", "AR PL UKai TW", "AR PL UKai HK", "AR PL UKai CN", "AR PL UKai TW MBE"};

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

} // namespace

namespace {
std::atomic<quint64> g_familyGeneration{1};
} // namespace

namespace detail {

quint64 familyGeneration() { return g_familyGeneration.load(std::memory_order_acquire); }

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
} // namespace detail

// --- family resolution ------------------------------------------------------

void detail::forgetResolvedFonts()
{
    FamilyCache &c = familyCache();
    {
        QMutexLocker lock(&c.mutex);
        c.installed.clear();
        c.chains.clear();
        c.cjkFamilies.clear();
        c.kaiFamilies.clear();
        c.scanned = false;
    }
    g_familyGeneration.fetch_add(1, std::memory_order_acq_rel);
}

void refreshFamilies()
{
    FcConfigBuildFonts(nullptr);
    detail::forgetResolvedFonts();
}

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

} // namespace fonts
