// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text forms of single values, as the description writer puts them down.
#include <QString>

namespace desc {

// Shortest decimal text that reads back to the same double, always with a
// '.' or an exponent ("100.0", "0.1", "1e-300", "-0.0"), never in the
// locale's form. Throws RpError for infinities and NaN.
QString formatFloat(double v);

// A quoted string: quotes doubled, control characters as #nn between
// quoted pieces ('ab'#13#10'cd').
QString formatString(const QString &s);

} // namespace desc
