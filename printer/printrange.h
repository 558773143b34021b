// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which pages a print takes: all, the selection, or the numbered ones. The
// print dialog's choice, and what a report keeps of it.
enum class PrintRange { prAllPages = 0, prSelection = 1, prPageNums = 2 };
