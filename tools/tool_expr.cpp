// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool expr: evaluates expressions, one result line each.
#include "toolcommand.h"

#include "expr/evaluator.h"
#include "platform/rperror.h"
#include "data/memorytable.h"

#include <QFile>
#include <memory>

namespace {

const char *kindName(RpEvResultType k)
{
    switch (k) {
    case resInt: return "resInt";
    case resDouble: return "resDouble";
    case resString: return "resString";
    case resBool: return "resBool";
    case resError: return "resError";
    }
    return "?";
}

int run(const QStringList &args)
{
    QString tablePath;
    int passes = 0;
    QStringList expressions;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--table" || a == u"--aggregate") {
            if (i + 1 >= args.size())
                throw tool::UsageError{QStringLiteral("%1 needs a value").arg(a)};
            const QString v = args.at(++i);
            if (a == u"--table") {
                tablePath = v;
            } else {
                bool ok = false;
                passes = v.toInt(&ok);
                if (!ok || passes < 0)
                    throw tool::UsageError{QStringLiteral("--aggregate needs a count of 0 or more, not '%1'").arg(v)};
            }
        } else if (a == u"--") {
            expressions.append(args.mid(i + 1));
            break;
        } else {
            expressions.append(a);
        }
    }
    if (expressions.isEmpty())
        throw tool::UsageError{QStringLiteral("no expression given")};

    std::unique_ptr<RpMemoryTable> table;
    if (!tablePath.isEmpty()) {
        QFile f(tablePath);
        if (!f.open(QIODevice::ReadOnly))
            throw tool::UsageError{QStringLiteral("cannot read %1: %2").arg(tablePath, f.errorString())};
        table = std::make_unique<RpMemoryTable>(QStringLiteral("TABLE"));
        try {
            table->loadCsv(QString::fromUtf8(f.readAll()));
        } catch (const RpError &e) {
            throw tool::UsageError{tablePath + QStringLiteral(": ") + e.message()};
        }
        table->first();
    }

    for (const QString &expr : expressions) {
        RpEvaluator ev;
        if (table)
            ev.dataSets().append(table.get());
        ev.prepare(expr);
        for (int p = 0; p < passes; ++p)
            ev.doAggregate();
        const RpEvResult r = ev.value();
        const QString value = r.isError() ? r.stringVal : rpAsString(r);
        tool::out(QString::fromLatin1(kindName(r.kind)) + u' ' + value);
    }
    return 0;
}

tool::ToolCommand cmd("expr", "expr [--table FILE.csv] [--aggregate N] 'EXPRESSION'...", run);

} // namespace
