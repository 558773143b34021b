// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stroke data of Chinese characters and its compact stored form.
//
// A character is a list of strokes in writing order. Each stroke has a closed
// outline (moves, lines, quadratic and cubic curves) and a median: the line a
// brush follows, whose first point is where the stroke starts. Coordinates
// are design units: an em square of 1024 units, x to the right, y up, the
// square running from y = -124 to y = 900 (the baseline at 0).
//
// The stored form of one character (a "record") keeps it compact in memory:
// varint stroke count; per stroke a varint op count, the ops two to a byte
// (low nibble first), the ops' points as zigzag varint deltas in half units
// from the previous point (from 0,0 at each stroke's start), then a varint
// median point count and its points the same way. Every count and point is
// checked when a record is read; a record that does not read back whole is
// no data, never a partial character.
#include <QByteArray>
#include <QPointF>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace strokes {

enum class Op : quint8 { Move = 0, Line = 1, Quad = 2, Cubic = 3, Close = 4 };

// Points an op takes.
constexpr int pointsOf(Op op)
{
    switch (op) {
    case Op::Move:
    case Op::Line:
        return 1;
    case Op::Quad:
        return 2;
    case Op::Cubic:
        return 3;
    case Op::Close:
        return 0;
    }
    return 0;
}

struct Outline {
    std::vector<Op> ops;
    std::vector<QPointF> points; // the ops' points in order
    friend bool operator==(const Outline &, const Outline &) = default;
};

struct Stroke {
    Outline outline;
    std::vector<QPointF> median; // from the stroke's start to its end
    friend bool operator==(const Stroke &, const Stroke &) = default;
};

struct CharStrokes {
    std::vector<Stroke> strokes;
    friend bool operator==(const CharStrokes &, const CharStrokes &) = default;
};

// Limits of what a character may hold (far beyond any real character; they
// keep damaged data from asking for unbounded memory).
constexpr int kMaxStrokes = 128;
constexpr int kMaxOps = 4096;
constexpr int kMaxMedianPoints = 1024;
constexpr qreal kMaxCoordinate = 8192; // design units, either sign

// The em square in design units.
constexpr qreal kEm = 1024;
constexpr qreal kEmTop = 900;     // y of the square's top edge
constexpr qreal kEmBottom = -124; // y of its bottom edge

// One character's record. Coordinates are rounded to half units.
QByteArray encodeRecord(const CharStrokes &c);
// Reads a record; nullopt when it is damaged or holds bytes past its end.
std::optional<CharStrokes> decodeRecord(std::span<const char> record);

} // namespace strokes
