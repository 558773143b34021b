// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed scene that uses every canvas operation: `tovrel-tool emf demo`
// records it, and the tests compare it drawn directly with it recorded and
// played back.
class Canvas;

namespace emf {

constexpr int kDemoWidth = 640;
constexpr int kDemoHeight = 600;

// The texts the scene writes, in order.
extern const char16_t *const kDemoTexts[];
extern const int kDemoTextCount;

void drawDemoScene(Canvas &canvas);

} // namespace emf
