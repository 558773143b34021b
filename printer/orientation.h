// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which way up the paper is: the printer's setting, and a report page's.
enum class RpOrientation { poPortrait = 0, poLandscape = 1 };
