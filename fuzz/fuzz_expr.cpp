// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: parse and evaluate expression text.
#include "fuzz/fuzz_expr_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    exprFuzzOne(data, size);
    return 0;
}
