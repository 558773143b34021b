// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The images of the preview's tool bar buttons, by their index in the
// window's image list: the desktop icon theme's where it has one, else our
// own, drawn here.
#include <QIcon>

namespace toolicons {

enum Index {
    ZoomFit = 0, Zoom100 = 1, ZoomToWidth = 2, FirstPage = 3, PreviousPage = 4, NextPage = 5, LastPage = 6,
    PrintSetup = 7, Print = 8, LoadReport = 9, SaveReport = 10, Find = 11, GotoPage = 12, Cancel = 13, Copy = 14,
    Count = 15
};

QIcon icon(int index);
// Our own drawing of the image, whatever the theme has.
QIcon ownIcon(int index);

} // namespace toolicons
