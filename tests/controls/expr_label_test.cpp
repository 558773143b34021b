// The expression label on its own: the caption that follows the
// expression, the printed text of each kind of result with its mask, and
// the aggregates between the notifications of a run.
#include "controls/rpexpr.h"
#include "labelfixture.h"

#include <QLocale>

namespace {

// The texts drawn on a canvas, joined by "|".
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
    // What one print of the label writes on the page.
    std::string printed(RpExpr *e)
    {
        RecordingCanvas c;
        print(e, c);
        return textsOn(c);
    }
    // The lines printed by a new label, joined by "|".
    std::string printedAlone(const QString &expression, const QString &mask = QString())
    {
        RpExpr *e = expr(expression, mask);
        const std::string lines = printed(e);
        delete e;
        return lines;
    }
    QLocale savedLocale;
};

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST_F(ExprLabelTest, TheCaptionFollowsTheExpressionAndAnEmptyOnePrintsABlank)
{
    auto *e = new RpExpr(band);
    EXPECT_EQ(e->caption(), QStringLiteral("(none)"));
    e->setExpression(QStringLiteral("1 + 2"));
    EXPECT_EQ(e->caption(), QStringLiteral("1 + 2"));
    e->setMask(QStringLiteral("0.00"));
    EXPECT_EQ(e->caption(), QStringLiteral("1 + 2"));
    EXPECT_EQ(printed(e), "3.00");
    EXPECT_EQ(e->caption(), QStringLiteral("1 + 2"));
    e->setExpression(QString());
    EXPECT_EQ(e->caption(), QStringLiteral("(none)"));
    // The empty expression is a one-blank string.
    EXPECT_EQ(printed(e), " ");
    EXPECT_EQ(e->caption(), QStringLiteral("(none)"));
}

TEST_F(ExprLabelTest, NumbersFollowTheMaskAndTheLocale)
{
    QLocale::setDefault(kUs);
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5"), QStringLiteral("#,##0.00")), "1,234.50");
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5")), "1234.5");
    EXPECT_EQ(printedAlone(QStringLiteral("7")), "7");
    EXPECT_EQ(printedAlone(QStringLiteral("7 / 2")), "3.5");
    EXPECT_EQ(printedAlone(QStringLiteral("0 - 2.5"), QStringLiteral("0.0;(0.0)")), "(2.5)");
    // An integer takes a picture as the number it is.
    EXPECT_EQ(printedAlone(QStringLiteral("1234567"), QStringLiteral("#,##0")), "1,234,567");
    QLocale::setDefault(kGerman);
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5"), QStringLiteral("#,##0.00")), "1.234,50");
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5")), "1234,5");
    EXPECT_EQ(printedAlone(QStringLiteral("7")), "7");
}

TEST_F(ExprLabelTest, OtherResultsIgnoreTheMask)
{
    const QString mask = QStringLiteral("#,##0.00");
    EXPECT_EQ(printedAlone(QStringLiteral("1 < 2"), mask), "True");
    EXPECT_EQ(printedAlone(QStringLiteral("2 < 1"), mask), "False");
    EXPECT_EQ(printedAlone(QStringLiteral("'12' + 'x'"), mask), "12x");
    // An error prints its message, and so does an expression that does not parse.
    EXPECT_EQ(printedAlone(QStringLiteral("7 / 0"), mask), "Cannot divide by 0");
    EXPECT_EQ(printedAlone(QStringLiteral("FOO(1)"), mask), "Unknown function : FOO");
    // A number the picture cannot show.
    EXPECT_EQ(printedAlone(QStringLiteral("1E308 * 10"), mask), "Invalid format or value specified");
}

TEST_F(ExprLabelTest, APercentMMaskIsTheLocalesCurrencyAndAnythingMoreIsAnError)
{
    QLocale::setDefault(kUs);
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5"), QStringLiteral("%m")), kUs.toCurrencyString(1234.5).toStdString());
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5"), QStringLiteral("Total %m")), "Total $1,234.50");
    // An integer total takes the currency too (not the mask's letters).
    EXPECT_EQ(printedAlone(QStringLiteral("7"), QStringLiteral("%m")), "$7.00");
    // A second argument or one of another kind: a clear error, not a crash.
    const std::string invalid = "Invalid format or value specified";
    EXPECT_EQ(printedAlone(QStringLiteral("1.5"), QStringLiteral("%m %m")), invalid);
    EXPECT_EQ(printedAlone(QStringLiteral("1.5"), QStringLiteral("%m %d")), invalid);
    EXPECT_EQ(printedAlone(QStringLiteral("1.5"), QStringLiteral("%s %m")), invalid);
    EXPECT_EQ(printedAlone(QStringLiteral("1.5"), QStringLiteral("%m (%*m)")), invalid);
    // The one argument may be shown twice.
    EXPECT_EQ(printedAlone(QStringLiteral("1.5"), QStringLiteral("%m = %0:.1f")), "$1.50 = 1.5");
    QLocale::setDefault(kGerman);
    EXPECT_EQ(printedAlone(QStringLiteral("1234.5"), QStringLiteral("%m")), kGerman.toCurrencyString(1234.5).toStdString());
}

TEST_F(ExprLabelTest, AggregatesTakeInEachRecordNotificationUntilReset)
{
    RpExpr *count = expr(QStringLiteral("COUNT"));
    RpExpr *sum = expr(QStringLiteral("SUM(2)"));
    EXPECT_EQ(count->value().kind, resError);
    RecordingCanvas c;
    RpCanvasPageDevice device(&c);
    RpReportRun run(*report, device);
    for (RpExpr *e : {count, sum})
        e->beginPrinting(run);
    for (int i = 0; i < 3; ++i)
        count->notifyPrintable(report.get(), 0);
    // Other operations are not records.
    count->notifyPrintable(report.get(), 2);
    sum->notifyPrintable(report.get(), 0);
    EXPECT_EQ(count->value().kind, resInt);
    EXPECT_EQ(count->value().intResult, 3);
    EXPECT_EQ(sum->value().intResult, 2);
    count->reset();
    EXPECT_EQ(count->value().intResult, 0);
    EXPECT_EQ(sum->value().intResult, 2);

    // With ResetAfterPrint the next print starts again.
    count->setResetAfterPrint(true);
    count->notifyPrintable(report.get(), 0);
    count->printAt(run, 0, 0);
    count->notifyPrintable(report.get(), 0);
    count->notifyPrintable(report.get(), 0);
    count->printAt(run, 0, 0);
    EXPECT_EQ(textsOn(c), "1|2");
    for (RpExpr *e : {count, sum})
        e->endPrinting();
    EXPECT_EQ(count->value().kind, resError);
    // Notifications outside a run are ignored.
    count->notifyPrintable(report.get(), 0);
}

TEST_F(ExprLabelTest, ATextContinuedInTheNextColumnIsTheOneItStarted)
{
    // Two lines, room for one: the second prints at the next printAt, as
    // the band does in the next column, and shows the same count though the
    // first part reset it.
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
    EXPECT_TRUE(e->printFinished());
    e->endPrinting();
    EXPECT_EQ(textsOn(c), "first|count 3");
}

TEST_F(ExprLabelTest, ADisabledLabelNeitherPrintsNorResets)
{
    RpExpr *e = expr(QStringLiteral("COUNT"));
    e->setResetAfterPrint(true);
    e->setPrintableEnabled(false);
    RecordingCanvas c;
    RpCanvasPageDevice device(&c);
    RpReportRun run(*report, device);
    e->beginPrinting(run);
    e->notifyPrintable(report.get(), 0);
    e->printAt(run, 0, 0);
    EXPECT_TRUE(c.of(DrawOp::Text).empty());
    EXPECT_EQ(e->value().intResult, 1);
    e->endPrinting();
}

} // namespace
