// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpEvaluator: prepares an expression text into an element list once and
// evaluates it as often as needed, optionally taking in aggregates record by
// record.
#include "expr/elements.h"
#include "expr/evresult.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

class RpDataSet;
class RpEvEnvironment;

class RpEvaluator {
public:
    // Deepest nesting of parentheses, function calls, signs and NOT that an
    // expression may have; deeper parts become the error "Expression nested
    // too deeply".
    static constexpr int MaxNesting = 256;

    RpEvaluator();
    ~RpEvaluator();
    RpEvaluator(const RpEvaluator &) = delete;
    RpEvaluator &operator=(const RpEvaluator &) = delete;

    // Parses the text (never raises: malformed parts become error elements).
    // An empty text is a one-blank string.
    void prepare(const QString &expression);
    void unprepare();
    bool prepared() const { return m_prepared; }

    // Raises RpError "Evaluator not prepared" when not prepared.
    void value(RpEvResult &result);
    RpEvResult value();
    // Prepare, value, unprepare.
    void calculate(const QString &expression, RpEvResult &result);
    // Clears the totals of the aggregate functions.
    void reset();
    // Evaluates once with the aggregation flag set: every aggregate function
    // takes in its current argument.
    void doAggregate();

    // The current value converted; they raise RpError (see the free
    // functions below).
    QString asString();
    int32_t asInteger();
    double asFloat();
    bool asBoolean();
    QVariant asVariant();

    // True when the expression holds an aggregate function.
    bool isAggreg() const;
    // The aggregation flag of the list.
    bool aggregate() const;
    void setAggregate(bool aggregate);

    // Data sets searched for field names (consulted at prepare). They are
    // not owned and must outlive the preparation: field elements read them
    // at every evaluation.
    QList<RpDataSet *> &dataSets() { return m_dataSets; }
    void setDataSets(const QList<RpDataSet *> &dataSets) { m_dataSets = dataSets; }
    // The environment searched first for names (not owned).
    RpEvEnvironment *environment() const { return m_environment; }
    void setEnvironment(RpEvEnvironment *environment) { m_environment = environment; }

    // The prepared list (nullptr when not prepared).
    const RpFiFo *fiFo() const { return m_fiFo.get(); }

private:
    bool m_prepared = false;
    std::unique_ptr<RpFiFo> m_fiFo;
    RpEvEnvironment *m_environment = nullptr;
    QList<RpDataSet *> m_dataSets;
    bool m_holdsGlobal = false; // this evaluator counts on the global environment
};

// Conversions of a final value. An error result raises RpError "Error in
// expression : MESSAGE" (as text or variant); a value of the wrong kind
// raises "Not a numeric value" or "Not a boolean value".
QString rpAsString(const RpEvResult &r);
int32_t rpAsInteger(const RpEvResult &r);
double rpAsFloat(const RpEvResult &r);
bool rpAsBoolean(const RpEvResult &r);
QVariant rpAsVariant(const RpEvResult &r);
