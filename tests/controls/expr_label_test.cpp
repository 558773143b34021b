// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The expression label on its own: the caption that follows the
// expression, the printed text of each kind of result with its mask, and
// the aggregates between the record notifications of a run.
#include "controls/rpexpr.h"
#include "labelfixture.h"

#include <QLocale>

namespace {

std::string textsOn(const RecordingCanvas &c)
{
    QStringList out;
    for (const DrawOp &op : c.of(DrawOp::Text))
        out << op.text;
    return out.join(QLatin1Char('|')).toStdString();
}

class ExprLabelTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        QLocale::setDefault(savedLocale);
        ControlTest::TearDown();
    }
    RpExpr *expr(const QString &expression, const QString &mask = QString())
    {
        auto *e = new RpExpr(band);
        e->setBounds(10, 10, 300, 30);
        e->setExpression(expression);
        e->setMask(mask);
        return e;
    }
    // What a new label prints in a run of its own, lines joined by "|".
    std::string printed(const char *expression, const char *mask = "")
    {
        std::unique_ptr<RpExpr> e(expr(QString::fromUtf8(expression), QString::fromUtf8(mask)));
        RecordingCanvas c;
        print(e.get(), c);
        return textsOn(c);
    }
    QLocale savedLocale;
};

TEST_F(ExprLabelTest, TheCaptionFollowsTheExpressionAndAnEmptyOnePrintsABlank)
{
    auto *e = new RpExpr(band);
    EXPECT_EQ(e->caption(), QStringLiteral("(none)"));
    e->setExpression(QStringLiteral("1 + 2"));
    e->setMask(QStringLiteral("0.00"));
    EXPECT_EQ(e->caption(), QStringLiteral("1 + 2"));
    e->setExpression(QString());
    EXPECT_EQ(e->caption(), QStringLiteral("(none)"));
    EXPECT_EQ(printed(""), " "); // the empty expression is a one-blank string
}

TEST_F(ExprLabelTest, ResultsBecomeTextThroughTheMaskAndTheLocale)
{
    EXPECT_EQ(printed("1234.5", "#,##0.00"), "1,234.50");
    EXPECT_EQ(printed("1234.5"), "1234.5");
    EXPECT_EQ(printed("7"), "7");
    EXPECT_EQ(printed("1234567", "#,##0"), "1,234,567");
    EXPECT_EQ(printed("1 < 2", "#,##0.00"), "True");
    EXPECT_EQ(printed("'12' + 'x'", "#,##0.00"), "12x");
    EXPECT_EQ(printed("7 / 0", "#,##0.00"), "Cannot divide by 0");
    EXPECT_EQ(printed("1E308 * 10", "#,##0.00"), "Invalid format or value specified");
    // "%m": the locale's currency, for integer totals as well; a format that
    // asks for more than the one number prints an error instead.
    EXPECT_EQ(printed("1234.5", "Total %m"), "Total $1,234.50");
    EXPECT_EQ(printed("7", "%m"), "$7.00");
    EXPECT_EQ(printed("1.5", "%m %d"), "Invalid format or value specified");
    EXPECT_EQ(printed("1.5", "%s %m"), "Invalid format or value specified");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(printed("1234.5", "#,##0.00"), "1.234,50");
    EXPECT_EQ(printed("1234.5"), "1234,5");
    EXPECT_EQ(printed("1234.5", "%m"), QLocale().toCurrencyString(1234.5).toStdString());
}

TEST_F(ExprLabelTest, AggregatesTakeInEachRecordUntilReset)
{
    RpExpr *count = expr(QStringLiteral("COUNT"));
    EXPECT_EQ(count->value().kind, resError);
    RecordingCanvas c;
    RpCanvasPageDevice device(&c);
    RpReportRun run(*report, device);
    count->beginPrinting(run);
    for (int i = 0; i < 3; ++i)
        count->notifyPrintable(report.get(), 0);
    count->notifyPrintable(report.get(), 2); // not a record
    EXPECT_EQ(count->value().intResult, 3);
    count->reset();
    EXPECT_EQ(count->value().intResult, 0);
    count->setResetAfterPrint(true);
    count->notifyPrintable(report.get(), 0);
    count->printAt(run, 0, 0);
    count->notifyPrintable(report.get(), 0);
    count->notifyPrintable(report.get(), 0);
    count->printAt(run, 0, 0);
    EXPECT_EQ(textsOn(c), "1|2");
    count->endPrinting();
    EXPECT_EQ(count->value().kind, resError);
}

TEST_F(ExprLabelTest, ATextContinuedInTheNextColumnIsTheOneItStarted)
{
    // Two lines, room for one: the second prints at the next printAt (the
    // band's next column) with the count it started with, though printing
    // the first part reset it.
    RpExpr *e = expr(QStringLiteral("'first' + '\r' + 'count ' + STR(COUNT)"));
    e->setAutoSize(false);
    e->setAutoStretch(true);
    e->setBounds(10, 0, 300, 10);
    e->setResetAfterPrint(true);
    RecordingCanvas c;
    RpCanvasPageDevice device(&c);
    RpReportRun run(*report, device);
    run.currentY = 0;
    device.setPaperLength(band->size()->height() + report->page()->nativeValue(RpPage::BottomMarginIdx));
    e->beginPrinting(run);
    for (int i = 0; i < 3; ++i)
        e->notifyPrintable(report.get(), 0);
    e->printAt(run, 0, 0);
    EXPECT_FALSE(e->printFinished());
    e->printAt(run, 0, 0);
    e->endPrinting();
    EXPECT_EQ(textsOn(c), "first|count 3");
}

} // namespace
