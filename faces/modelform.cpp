// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/modelform.h"

#include "faces/strokedivision.h"
#include "faces/strokepaths.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <deque>

namespace faces {

namespace {

// A character as a face draws it.
struct Key {
    char32_t ch;
    QString family, style;
    int weight;
    quint32 glyph;
    friend bool operator==(const Key &, const Key &) = default;
};
size_t qHash(const Key &k, size_t seed = 0) { return qHashMulti(seed, k.ch, k.family, k.style, k.weight, k.glyph); }

FormDifference differenceFrom(const strokes::CharStrokes &c, const QRawFont &kai, quint32 glyph)
{
    return compareForms(inkOf(c), kai.pathForGlyph(glyph), kai.pixelSize());
}

// The strokes of data not written to Taiwan's standard (the mainland data, or
// the user's own files, which may have come from it) that the standard
// divides otherwise.
int dividedOtherwise(StrokeSource source, const strokes::CharStrokes &c)
{
    return source != StrokeSource::AnimCJK
               ? int(checkDivision(StrokeStore::global(), c).dividedOtherwise.size())
               : 0;
}

ModelForm decide(char32_t ch, const QRawFont &kai, quint32 glyph)
{
    ModelForm form;
    const StrokeStore &store = StrokeStore::global();
    const bool hasKai = glyph != 0 && kai.isValid();
    // Each source read only when the ones before it do not do.
    for (StrokeSource source : store.sourcesOf(ch)) {
        const auto strokes = store.findIn(source, ch);
        if (strokes && (!hasKai || differenceFrom(*strokes, kai, glyph).agrees()) &&
            dividedOtherwise(source, *strokes) == 0) {
            form.kind = ModelForm::Kind::Numbered;
            form.source = source;
            form.strokes = strokes;
            form.glyph = std::make_shared<const StrokeOrderGlyph>(buildStrokeOrderGlyph(*strokes));
            return form;
        }
    }
    form.kind = hasKai ? ModelForm::Kind::Kai : ModelForm::Kind::Blank;
    return form;
}

// The Kai face a worksheet cell draws `ch` with, and its glyph there.
std::pair<QRawFont, quint32> cellGlyph(char32_t ch)
{
    gdi::LogFont lf;
    lf.faceName = strokeOrderFamily();
    lf.height = -160;
    lf.charSet = gdi::CHINESEBIG5_CHARSET;
    const fonts::TextLayout layout = fonts::resolve(lf)->layout(QString::fromUcs4(&ch, 1));
    if (layout.runs.empty() || layout.runs.front().glyphs.isEmpty())
        return {QRawFont(), 0};
    return {layout.runs.front().rawFont, layout.runs.front().glyphs.front()};
}

} // namespace

ModelForm modelForm(char32_t ch, const QRawFont &kai, quint32 glyph)
{
    // The decisions are small and costly, and all of them are kept. A
    // numbered glyph with its paint caches takes about 100 KB and its strokes
    // tens of KB, so only those of the last forms handed out are held (a
    // sheet shows at most four characters); the rest are read and made again
    // when asked for once they are gone.
    struct Entry {
        ModelForm::Kind kind = ModelForm::Kind::Kai;
        StrokeSource source = StrokeSource::Override;
        std::weak_ptr<const strokes::CharStrokes> strokes;
        std::weak_ptr<const StrokeOrderGlyph> glyph;
    };
    struct Cache {
        QMutex mutex;
        quint64 generation = 0;
        QHash<Key, Entry> forms;
        std::deque<ModelForm> recent;
    };
    static constexpr size_t kHeldForms = 256;
    static Cache cache;
    if (!ch)
        return {};
    const StrokeStore &store = StrokeStore::global();
    const quint64 generation = store.generation();
    const Key key{ch, kai.familyName(), kai.styleName(), kai.weight(), kai.isValid() ? glyph : 0};
    ModelForm form;
    bool decided = false;
    {
        QMutexLocker lock(&cache.mutex);
        if (cache.generation != generation) {
            cache.forms.clear();
            cache.recent.clear();
            cache.generation = generation;
        }
        if (auto it = cache.forms.find(key); it != cache.forms.end()) {
            decided = true;
            form.kind = it->kind;
            form.source = it->source;
            if (form.kind != ModelForm::Kind::Numbered)
                return form;
            form.strokes = it->strokes.lock();
            form.glyph = it->glyph.lock();
            if (form.strokes && form.glyph)
                return form;
        }
    }
    // Decided, or read and made again, outside the lock: another thread may
    // do the same character at the same time, and the first to finish is kept.
    if (!decided) {
        form = decide(ch, kai, glyph);
    } else {
        if (!form.strokes)
            form.strokes = store.findIn(form.source, ch);
        if (!form.strokes) // the data went between the decision and now
            return ModelForm{};
        if (!form.glyph)
            form.glyph = std::make_shared<const StrokeOrderGlyph>(buildStrokeOrderGlyph(*form.strokes));
    }
    QMutexLocker lock(&cache.mutex);
    if (cache.generation != generation)
        return form;
    Entry &e = cache.forms[key];
    e.kind = form.kind;
    e.source = form.source;
    if (form.kind == ModelForm::Kind::Numbered) {
        if (const auto kept = e.strokes.lock())
            form.strokes = kept;
        else
            e.strokes = form.strokes;
        if (const auto kept = e.glyph.lock())
            form.glyph = kept;
        else
            e.glyph = form.glyph;
        cache.recent.push_back(form);
        if (cache.recent.size() > kHeldForms)
            cache.recent.pop_front();
    }
    return form;
}

std::vector<SourceForm> compareSources(char32_t ch, const QRawFont &kai, quint32 glyph)
{
    std::vector<SourceForm> out;
    for (const SourcedStrokes &s : StrokeStore::global().findAll(ch)) {
        SourceForm f{s.source, int(s.strokes->strokes.size()), {}, dividedOtherwise(s.source, *s.strokes)};
        if (glyph != 0 && kai.isValid())
            f.difference = differenceFrom(*s.strokes, kai, glyph);
        out.push_back(f);
    }
    return out;
}

ModelForm modelFormInCell(char32_t ch)
{
    const auto [kai, glyph] = cellGlyph(ch);
    return modelForm(ch, kai, glyph);
}

std::vector<SourceForm> compareSourcesInCell(char32_t ch)
{
    const auto [kai, glyph] = cellGlyph(ch);
    return compareSources(ch, kai, glyph);
}

} // namespace faces
