// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Elements of a prepared expression and the list that holds them.
//
// A prepared expression is a list of elements in prefix order: an operator or
// a function comes before its operands, and a function's arguments end with
// an argument-end element. The list evaluates itself without recursion (from
// the last element to the first, keeping operand values on a stack), so a
// long chain such as 1+1+...+1 cannot exhaust the call stack; each element
// then combines the values of its operands.
#include "expr/evresult.h"

#include <QString>
#include <memory>
#include <vector>

class RpDataSet;
class RpEvEmbeddedFunction;

class RpEvElement {
public:
    // operandCount() of a function: its arguments run up to the next
    // argument-end element.
    static constexpr int Variadic = -1;

    virtual ~RpEvElement() = default;
    // How many values this element takes from the elements after it.
    virtual int operandCount() const { return 0; }
    // Computes the element's value from its operands (left to right).
    // aggregate is the list's aggregation flag (set by DoAggregate).
    virtual void value(RpEvResult *operands, int count, bool aggregate, RpEvResult &result) = 0;
    // Clears aggregated totals.
    virtual void reset() {}
    // An aggregate function.
    bool isAggreg() const { return m_isAggreg; }

protected:
    bool m_isAggreg = false;
};

class RpEvElementOperator : public RpEvElement {
public:
    explicit RpEvElementOperator(RpEvOperator op) : m_opCode(op) {}
    RpEvOperator opCode() const { return m_opCode; }
    int operandCount() const override { return 2; }
    void value(RpEvResult *operands, int count, bool aggregate, RpEvResult &result) override;
    // Combines two values by the operator table (the type mixing included).
    static RpEvResult combine(RpEvOperator op, RpEvResult left, RpEvResult right);

private:
    RpEvOperator m_opCode;
};

// A literal value; SetConstant and its typed variants replace it.
class RpEvElementConstant : public RpEvElement {
public:
    explicit RpEvElementConstant(const RpEvResult &v) : m_value(v) {}
    const RpEvResult &constant() const { return m_value; }
    void setConstant(const RpEvResult &v) { m_value = v; }
    void value(RpEvResult *, int, bool, RpEvResult &result) override { result = m_value; }

private:
    RpEvResult m_value;
};

class RpEvElementString : public RpEvElement {
public:
    explicit RpEvElementString(const QString &s) : m_string(s) {}
    const QString &string() const { return m_string; }
    void setString(const QString &s) { m_string = s; }
    void value(RpEvResult *, int, bool, RpEvResult &result) override;

private:
    QString m_string;
};

class RpEvElementArgumentEnd : public RpEvElement {
public:
    void value(RpEvResult *, int, bool, RpEvResult &result) override;
};

// A field of a data set; read by field number at every evaluation, so the
// value is the current record's.
class RpEvElementDataField : public RpEvElement {
public:
    RpEvElementDataField(RpDataSet *dataSet, int fieldNumber, const QString &fieldName)
        : m_dataSet(dataSet), m_fieldNumber(fieldNumber), m_fieldName(fieldName)
    {
    }
    RpDataSet *dataSet() const { return m_dataSet; }
    int fieldNumber() const { return m_fieldNumber; }
    void value(RpEvResult *, int, bool, RpEvResult &result) override;

private:
    RpDataSet *m_dataSet;
    int m_fieldNumber;
    QString m_fieldName;
};

class RpEvElementError : public RpEvElement {
public:
    explicit RpEvElementError(const QString &message) : m_errorMessage(message) {}
    const QString &errorMessage() const { return m_errorMessage; }
    void value(RpEvResult *, int, bool, RpEvResult &result) override;

private:
    QString m_errorMessage;
};

// A named expression of an environment. It holds the entry weakly: once the
// entry is deleted (or its environment is gone) the name is unknown.
class RpEvElementWrapper : public RpEvElement {
public:
    RpEvElementWrapper(std::weak_ptr<RpEvEmbeddedFunction> function, const QString &name)
        : m_function(std::move(function)), m_name(name)
    {
    }
    void value(RpEvResult *, int, bool, RpEvResult &result) override;

private:
    std::weak_ptr<RpEvEmbeddedFunction> m_function;
    QString m_name;
};

// Logical negation of its one operand: a boolean becomes its opposite, an
// error passes through, anything else is "Invalid use of NOT".
class RpEvElementNot : public RpEvElement {
public:
    int operandCount() const override { return 1; }
    void value(RpEvResult *operands, int count, bool aggregate, RpEvResult &result) override;
};

// The elements of one prepared expression, in prefix order.
class RpFiFo {
public:
    void add(std::unique_ptr<RpEvElement> element) { m_items.push_back(std::move(element)); }
    int count() const { return int(m_items.size()); }
    RpEvElement *item(int index) const { return m_items.at(size_t(index)).get(); }
    RpEvElement *first() const { return m_items.empty() ? nullptr : m_items.front().get(); }

    bool aggreg() const { return m_aggreg; }
    void setAggreg(bool aggreg) { m_aggreg = aggreg; }

    // The value of the list's first element; an empty list gives resError.
    // A list whose text did not parse always gives its first parse error.
    RpEvResult evaluate();
    void setParseError(const QString &message)
    {
        if (!m_hasParseError) {
            m_hasParseError = true;
            m_parseError = message;
        }
    }
    bool hasParseError() const { return m_hasParseError; }
    void reset();
    // True when any element is an aggregate function.
    bool isAggreg() const;

private:
    std::vector<std::unique_ptr<RpEvElement>> m_items;
    bool m_aggreg = false;
    bool m_hasParseError = false;
    QString m_parseError;
};
