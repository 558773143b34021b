// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Functions of expressions and the process-wide function library.
#include "expr/elements.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A function call: its arguments are the values of the elements up to the
// next argument end. An aggregate function takes in its arguments on every
// aggregation pass (DoAggregate) and reports its totals at every evaluation.
class RpEvElementFunction : public RpEvElement {
public:
    explicit RpEvElementFunction(const QString &name, bool aggregate = false) : m_name(name)
    {
        m_isAggreg = aggregate;
    }
    const QString &name() const { return m_name; }
    int operandCount() const override { return Variadic; }
    void value(RpEvResult *args, int count, bool aggregate, RpEvResult &result) override;

protected:
    // Takes in one aggregation pass (aggregate functions only).
    virtual void aggregate(const RpEvResult *args, int count) {}
    virtual void calculate(const RpEvResult *args, int count, RpEvResult &result) = 0;

    QString m_name;
};

using RpFunctionFactory = std::function<std::unique_ptr<RpEvElementFunction>()>;

struct RpLibraryEntry {
    QString name;     // upper case
    QString data;     // signature, "|", description
    QString argCode;  // category digit, then one letter per argument (B, N, S, V)
    QString vendor;
    RpFunctionFactory create;

    QString signature() const;   // the text before the bar, without blanks around it
    QString description() const; // the text after the bar, without blanks around it
    int categoryNumber() const;  // the first digit of argCode, -1 without one
    QString category() const;    // its name ("Date & time", ...); empty when unknown
};

class RpFunctionLibrary {
public:
    // The process-wide library with every standard function registered.
    static RpFunctionLibrary &instance();

    // Registers a function; an entry of the same name is replaced.
    void add(RpLibraryEntry entry);
    const RpLibraryEntry *find(const QString &upperName) const;
    const QList<RpLibraryEntry> &entries() const { return m_entries; }

    // The name of a function category, or an empty text.
    static QString categoryName(int number);

private:
    RpFunctionLibrary();
    QList<RpLibraryEntry> m_entries;
};

// The clock that TIME, DATE and the global environment read; tests set a
// fixed one. An empty function restores the system clock.
void rpSetExpressionClock(std::function<QDateTime()> clock);
QDateTime rpExpressionNow();
// The current time in the locale's time format and the date in its short
// date format, as TIME and DATE give them.
QString rpLocaleTimeText(const QDateTime &now);
QString rpLocaleDateText(const QDateTime &now);
