// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Environments: named expressions shared by the expressions of a report (one
// environment per report) or of the whole process (the global environment).
#include "expr/evresult.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class RpDataSet;
class RpEvaluator;
class RpEvElement;
class RpEvEnvironment;

// One named expression with its own evaluator.
class RpEvEmbeddedFunction {
public:
    explicit RpEvEmbeddedFunction(const QString &expression);
    ~RpEvEmbeddedFunction();

    const QString &expression() const { return m_expression; }
    RpEvaluator &evaluator() { return *m_evaluator; }
    // The value of the expression. Asked again while it is being evaluated
    // (a name that refers to itself, directly or through others) it gives
    // "Recursive calls not allowed"; unprepared it gives "Evaluator not
    // prepared" as an error result.
    RpEvResult value();
    // Held while the function evaluates (the global environment's entries,
    // which runs on several threads share); none: not shared.
    void setGuard(std::recursive_mutex *guard) { m_guard = guard; }

private:
    QString m_expression;
    std::recursive_mutex *m_guard = nullptr;
    std::unique_ptr<RpEvaluator> m_evaluator;
    bool m_inEvaluate = false;
};

class RpEvEnvironment {
public:
    RpEvEnvironment();
    ~RpEvEnvironment();
    RpEvEnvironment(const RpEvEnvironment &) = delete;
    RpEvEnvironment &operator=(const RpEvEnvironment &) = delete;

    // Removes every entry (and the preparation with them).
    void clear();
    // Counted: the first prepare prepares every entry with the environment's
    // data sets, the unprepare that brings the count back to 0 unprepares
    // them.
    void prepare();
    void unprepare();
    bool prepared() const { return m_prepareCount.load() > 0; }

    // The name is upper-cased; a name already present keeps its expression.
    // In a prepared environment the new entry is prepared at once.
    void addFunction(const QString &name, const QString &expression);
    void deleteFunction(const QString &name);
    bool contains(const QString &name) const;
    int count() const { return int(m_entries.size()); }
    // The stored form: the names and, in the same order, the expressions.
    QStringList names() const;
    QStringList expressions() const;
    QString expression(const QString &name) const;

    // An element that evaluates the named entry, or an error element
    // "Unknown function : NAME".
    std::unique_ptr<RpEvElement> element(const QString &name) const;
    // The entry's value, or resError.
    void value(const QString &name, RpEvResult &result) const;
    RpEvResult value(const QString &name) const;

    // The first element of the entry's prepared expression (for a plain
    // literal its constant or string element), or nullptr.
    RpEvElement *getConstant(const QString &name) const;
    // Replace the value of that element when it is a constant element (or,
    // for strings, a string element); otherwise they do nothing.
    void setConstant(const QString &name, const RpEvResult &value);
    void setIntegerConstant(const QString &name, int32_t value);
    void setFloatConstant(const QString &name, double value);
    void setStringConstant(const QString &name, const QString &value);
    void setBooleanConstant(const QString &name, bool value);
    // setConstant with a variant: integer, floating-point, boolean or text.
    void updateConstant(const QString &name, const QVariant &value);

    // The data sets the entries search for field names.
    const QList<RpDataSet *> &dataSets() const { return m_dataSets; }
    void setDataSets(const QList<RpDataSet *> &dataSets) { m_dataSets = dataSets; }

    bool isGlobal() const { return m_global; }

private:
    friend RpEvEnvironment *rpGlobalEnvironment();
    struct Entry {
        QString name;
        std::shared_ptr<RpEvEmbeddedFunction> function;
    };
    const Entry *find(const QString &name) const;
    void prepareEntry(Entry &e);
    // Holds the global environment's lock (nothing for the others).
    std::unique_lock<std::recursive_mutex> hold() const;

    std::vector<Entry> m_entries;
    QList<RpDataSet *> m_dataSets;
    std::atomic<int> m_prepareCount = 0;
    bool m_unpreparing = false;
    bool m_global = false;
    // The global environment is one for the process: the runs of several
    // reports prepare, unprepare and evaluate its entries from their own
    // threads, one at a time under this lock.
    std::unique_ptr<std::recursive_mutex> m_lock;
};

// The process-wide environment, created at first use with AppStartTime,
// AppStartDate and AppName. It searches no data sets (a run's data sets are
// the run's own, in the report's environment); any thread.
RpEvEnvironment *rpGlobalEnvironment();
