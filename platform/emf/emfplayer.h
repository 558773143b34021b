// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays an enhanced metafile onto a canvas. The metafile's own device-context
// state (objects, mapping mode, window and viewport, world transform, paths)
// is kept here and composed into the canvas's transform; the canvas's state
// is saved before and given back after playback.
#include "platform/emf/emfrecords.h"

#include <QTransform>

class Canvas;
class Metafile;

namespace emf {

// Plays `mf` with its frame mapped onto `dest` (logical units of `canvas`
// under the canvas's current transform). Throws RpError naming the record and
// its offset when a record is damaged; what was drawn before stays drawn.
void play(const Metafile &mf, Canvas &canvas, const gdi::Rect &dest);

// The transform from the metafile's reference-device pixels to the target:
// its frame onto `dest`.
QTransform frameToDest(const Metafile &mf, const gdi::Rect &dest);

} // namespace emf
