// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the model (stroke-order) cell draws for a character: the numbered
// strokes of the first source (strokestore.h) whose form agrees with the
// Kai glyph the tracing cell draws (formmatch.h) and, for the mainland data,
// whose strokes are divided as Taiwan's standard divides them
// (strokedivision.h); else that Kai glyph unnumbered. A numbered glyph of
// another form than the tracing glyph is never drawn.
//
// Where no installed face has the character the tracing cell draws the
// outline of the first source's strokes, so those are numbered; with no
// strokes either, the cell stays empty.
#include "faces/formmatch.h"
#include "faces/strokeorderglyph.h"
#include "faces/strokestore.h"

#include <QRawFont>

#include <memory>
#include <vector>

namespace faces {

struct ModelForm {
    enum class Kind {
        Numbered, // `glyph`, from `source`
        Kai,      // the Kai glyph, unnumbered
        Blank,    // nothing: no face and no source has the character
    };
    Kind kind = Kind::Kai;
    StrokeSource source = StrokeSource::Override;
    std::shared_ptr<const strokes::CharStrokes> strokes;
    std::shared_ptr<const StrokeOrderGlyph> glyph;
};

// The form of `ch` where `kai` (a face at any size) draws it as `glyph`
// (0: no installed face has it). Made once and kept (the cache follows
// changes of the stroke store); safe from any thread.
ModelForm modelForm(char32_t ch, const QRawFont &kai, quint32 glyph);

// Each source that has `ch`, and how its form compares with the Kai glyph.
struct SourceForm {
    StrokeSource source;
    int strokes = 0;
    FormDifference difference;
    int dividedOtherwise = 0; // mainland strokes Taiwan divides otherwise
    bool agrees() const { return difference.agrees() && dividedOtherwise == 0; }
};
std::vector<SourceForm> compareSources(char32_t ch, const QRawFont &kai, quint32 glyph);

// The same for the Kai face that stands in for the stroke-order face, as a
// worksheet cell draws `ch` (its fallback faces included).
ModelForm modelFormInCell(char32_t ch);
std::vector<SourceForm> compareSourcesInCell(char32_t ch);

} // namespace faces
