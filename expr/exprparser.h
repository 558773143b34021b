// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parser behind RpEvaluator::prepare: splits an expression text at its
// operators, level by level, and appends the elements in prefix order.
#include <QList>
#include <QString>
#include <QStringView>

class RpDataSet;
class RpEvEnvironment;
class RpFiFo;

class RpExprParser {
public:
    RpExprParser(RpFiFo &fifo, RpEvEnvironment *environment, const QList<RpDataSet *> &dataSets, int maxNesting);
    // Parses the text at the relations level. Never raises.
    void parse(const QString &text);

private:
    void parseRelation(QStringView text);
    void parseSum(QStringView text);
    void parseProduct(QStringView text);
    void parseFactor(QStringView text);
    void parseNumber(const QString &text);
    void parseCall(const QString &text);
    void parseName(const QString &name);
    void error(const QString &message);

    RpFiFo &m_fifo;
    RpEvEnvironment *m_environment;
    const QList<RpDataSet *> &m_dataSets;
    int m_maxNesting;
    int m_depth = 0;
};
