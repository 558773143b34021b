// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One fuzz input for the expression evaluator: parse and evaluate the text
// (with data fields and named expressions to find), aggregate, convert, use
// it as a number mask and as table text. Shared by the fuzz target and the
// regression test that replays the inputs found.
#include "expr/environment.h"
#include "expr/evaluator.h"
#include "expr/floatformat.h"
#include "expr/numberpicture.h"
#include "platform/rperror.h"
#include "data/memorytable.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>

inline void exprFuzzOne(const uint8_t *data, size_t size)
{
    if (size == 0)
        return;
    // The first byte picks the encoding: raw UTF-16 reaches lone surrogates.
    const bool utf16 = data[0] & 1;
    const char *text = reinterpret_cast<const char *>(data + 1);
    const size_t n = size - 1;
    const QString expression = utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(text), qsizetype(n / 2))
                                     : QString::fromUtf8(text, qsizetype(n));

    static RpMemoryTable *table = [] {
        auto *t = new RpMemoryTable(QStringLiteral("T"));
        t->addField(QStringLiteral("S"), RpFieldType::String);
        t->addField(QStringLiteral("I"), RpFieldType::Integer);
        t->addField(QStringLiteral("F"), RpFieldType::Float);
        t->addField(QStringLiteral("B"), RpFieldType::Boolean);
        t->addField(QStringLiteral("D"), RpFieldType::DateTime);
        t->addField(QStringLiteral("U"), RpFieldType::Unknown);
        t->addField(QStringLiteral("X"), RpFieldType::Blob);
        t->appendRecord({QStringLiteral("ab"), 3, 2.5, true, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), 1,
                         QByteArray("\x00\xff", 2)});
        t->appendRecord({QStringLiteral("c"), -7, -0.5, false});
        return t;
    }();
    static RpEvEnvironment *env = [] {
        auto *e = new RpEvEnvironment;
        e->setDataSets({table});
        e->addFunction(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
        e->addFunction(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
        e->addFunction(QStringLiteral("LOOP"), QStringLiteral("LOOP + 1"));
        e->addFunction(QStringLiteral("TWICE"), QStringLiteral("SUM(I) * 2"));
        return e;
    }();

    env->prepare();
    {
        RpEvaluator ev;
        ev.setEnvironment(env);
        ev.dataSets().append(table);
        ev.prepare(expression);
        table->first();
        ev.doAggregate();
        table->next();
        ev.doAggregate();
        const RpEvResult r = ev.value();
        try {
            (void)ev.asString();
            (void)rpAsInteger(r);
        } catch (const RpError &) {
        }
        try {
            (void)ev.asBoolean();
        } catch (const RpError &) {
        }
        (void)ev.isAggreg();
        ev.reset();
        (void)ev.value();
        env->setIntegerConstant(QStringLiteral("PAGENUMBER"), int32_t(size));
        env->setStringConstant(QStringLiteral("REPORTTITLE"), expression.left(8));
        (void)ev.value();
    }
    env->unprepare();

    for (double v : {0.0, -1234.5678, 1e300, 5e-324, 42.0}) {
        (void)rpFormatNumberPicture(expression.left(256), v);
        (void)rpFormatFloatString(expression.left(256), v, QLocale(QLocale::English, QLocale::UnitedStates));
    }

    RpMemoryTable csv;
    try {
        csv.loadCsv(expression);
    } catch (const RpError &) {
    }
}
