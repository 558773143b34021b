// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One value of a stored description, as the reader found it or as a writer
// is to put it down:
//
//   Int     42, -7, $FF                  Float   2759.604166666667, 1e-300
//   String  'ab''c'#13#10'd'             Ident   True, rbTitle, clWhite, RpBand1
//   Set     [FirstPageHeader, Compression]
//   List    ( 100.0 2970.0 )  or  ( 'a' 'b' ), one item per line or not
//   Binary  { 0A1B2C }
//
// Values read from text remember their line and column so that a property
// that rejects one can say where it stood.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

namespace desc {

class Value {
public:
    enum class Kind { Int, Float, String, Ident, Set, List, Binary };

    Value() = default;
    static Value fromInt(qint64 v);
    static Value fromFloat(double v);
    static Value fromString(const QString &s);
    static Value fromIdent(const QString &name);
    static Value fromBool(bool b) { return fromIdent(b ? QStringLiteral("True") : QStringLiteral("False")); }
    static Value fromSet(const QStringList &names);
    static Value fromList(std::vector<Value> items);
    static Value fromBinary(const QByteArray &bytes);

    Kind kind() const { return m_kind; }
    bool isNumber() const { return m_kind == Kind::Int || m_kind == Kind::Float; }

    qint64 intValue() const { return m_int; }        // Kind::Int
    double floatValue() const;                       // Kind::Float, or an Int widened
    const QString &text() const { return m_text; }   // String and Ident
    const QStringList &names() const { return m_names; } // Set
    const std::vector<Value> &items() const { return m_items; } // List
    const QByteArray &bytes() const { return m_bytes; } // Binary

    // Where the value began in the text (1-based; 0 when built in code).
    int line() const { return m_line; }
    int column() const { return m_column; }
    void setPosition(int line, int column)
    {
        m_line = line;
        m_column = column;
    }

    // Same kind and same content; floats compare bit for bit (so -0.0 is
    // not 0.0), positions are ignored.
    friend bool operator==(const Value &a, const Value &b);

    // A short name of the kind for error texts ("an integer", "a list", ...).
    static QString kindName(Kind k);

private:
    Kind m_kind = Kind::Int;
    qint64 m_int = 0;
    double m_float = 0;
    QString m_text;
    QStringList m_names;
    std::vector<Value> m_items;
    QByteArray m_bytes;
    int m_line = 0;
    int m_column = 0;
};

} // namespace desc
