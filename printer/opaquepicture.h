// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture as a filter writes it: three bytes a pixel (red, green, blue),
// what is transparent laid on white paper first.
#include <QImage>

QImage opaqueRgbPicture(const QImage &image);
