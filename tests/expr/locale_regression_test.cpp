// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers are the same in every locale; the inputs the fuzzer found replay
// clean; the command line prints one line per expression.
#include "exprtestutil.h"

#include "fuzz/fuzz_expr_input.h"
#include "data/memorytable.h"
#include "testsupport.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

namespace {

const char *const kNumberExpressions[] = {
    "7 / 2",
    "1.5E3 + 0.25",
    "STR(2.5) + 'x'",
    "'x' + 0.125",
    "FORMATNUMERIC('#,##0.00', 1234.5)",
    "FORMATNUMERIC('', 0.5)",
    "FRAC(7.25)",
    "SQRT(2)",
    "1,5",
    "INT(2.75) + DIV(7.5, 2)",
    "2.5 < 2.25",
};

std::vector<std::string> evaluateAll()
{
    std::vector<std::string> out;
    for (const char *e : kNumberExpressions)
        out.push_back(shownExpr(QString::fromLatin1(e)));
    RpMemoryTable t;
    t.loadCsv(QStringLiteral("x:float\n2.5\n"));
    RpEvaluator ev;
    ev.dataSets().append(&t);
    ev.prepare(QStringLiteral("X * 2"));
    out.push_back(shown(ev.value()));
    out.push_back(rpAsString(RpEvResult::fromDouble(0.1)).toStdString());
    return out;
}

TEST(ExprLocale, NumbersDoNotDependOnTheLocale)
{
    const std::vector<std::string> plain = evaluateAll();
    EXPECT_EQ(plain.front(), "resDouble 3.5");
    EXPECT_EQ(plain.at(4), "resString 1,234.50");
    EXPECT_EQ(plain.at(8), "resError Illegal character in numeric contant \"1,5\"");

    const std::string savedNumeric = std::setlocale(LC_NUMERIC, nullptr);
    const QLocale savedQt;
    const char *german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german)
        german = std::setlocale(LC_NUMERIC, "de_DE.utf8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::vector<std::string> underGerman = evaluateAll();
    std::setlocale(LC_NUMERIC, savedNumeric.c_str());
    QLocale::setDefault(savedQt);

    ASSERT_NE(german, nullptr) << "de_DE.UTF-8 is not installed (scripts/install-deps generates it)";
    EXPECT_EQ(underGerman, plain);
}

TEST(ExprRegressions, FoundInputsReplayClean)
{
    const QDir dir(QStringLiteral(TOVREL_TEST_DIR "/regressions"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        const QByteArray bytes = testsupport::readFile(dir.filePath(name));
        SCOPED_TRACE(name.toStdString());
        exprFuzzOne(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
}

TEST(ExprTool, OneLinePerExpression)
{
    const QString tool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "tovrel-tool is not built in this tree";
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString csv = tmp.filePath(QStringLiteral("t.csv"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("name,age:integer,fee:currency,ok:boolean\nLin,9,1.5,true\nWu,10,2,false\n");
    f.close();

    QProcess p;
    p.start(tool, {QStringLiteral("expr"), QStringLiteral("--table"), csv, QStringLiteral("--aggregate"),
                   QStringLiteral("3"), QStringLiteral("NAME + STR(AGE)"), QStringLiteral("COUNT"),
                   QStringLiteral("SUM(FEE)"), QStringLiteral("OK"), QStringLiteral("7 / 0"),
                   QStringLiteral("24 / 4 * 2")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("resString Lin9\nresInt 3\nresDouble 4.5\nresBool True\n"
                             "resError Cannot divide by 0\nresDouble 12\n"));

    p.start(tool, {QStringLiteral("expr"), QStringLiteral("--aggregate"), QStringLiteral("x"), QStringLiteral("1")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    p.start(tool, {QStringLiteral("expr"), QStringLiteral("--table"), tmp.filePath(QStringLiteral("missing.csv")),
                   QStringLiteral("1")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace
