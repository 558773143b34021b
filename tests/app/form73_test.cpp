// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet window: its controls at their designed pixels, the first
// activation, and what every change of the word does to pages and cells.
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "app/pagecontrol.h"
#include "app/worksheetfill.h"
#include "controls/rplabel.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"
#include "registeredfaces.h"
#include "platform/rperror.h"
#include "printer/processwide.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

// Design captions of the character cells.
const std::map<QString, QString> &designCaptions()
{
    static const std::map<QString, QString> m = {
        {"A1", "變"}, {"A2", "儲"}, {"A3", "儲"}, {"A4", "儲"}, {"A5", "變"}, {"A6", "儲"}, {"A7", "儲"}, {"A8", "儲"},
        {"B1a", "變"}, {"B2a", "壞"}, {"B1b", "儲"}, {"B2b", "壞"}, {"B1c", "儲"}, {"B2c", "壞"},
        {"B1d", "儲"}, {"B2d", "壞"}, {"B1e", "儲"}, {"B2e", "壞"},
        {"C1a", "病"}, {"C2a", "從"}, {"C3a", "口"}, {"C1b", "從"}, {"C2b", "口"}, {"C3b", "入"},
        {"C1c", "病"}, {"C2c", "從"}, {"C3c", "口"}, {"C1d", "從"}, {"C2d", "口"}, {"C3d", "入"},
        {"D1a", "病"}, {"D2a", "從"}, {"D3a", "口"}, {"D4a", "入"}, {"D1b", "病"}, {"D2b", "從"},
        {"D3b", "口"}, {"D4b", "入"}, {"D1c", "病"}, {"D2c", "從"}, {"D3c", "口"}, {"D4c", "入"},
        {"D1d", "病"}, {"D2d", "從"}, {"D3d", "口"}, {"D4d", "入"},
    };
    return m;
}

int layoutOf(const QString &cell) { return cell.at(0).unicode() - 'A' + 1; }
int positionOf(const QString &cell) { return cell.at(0) == QLatin1Char('A') ? 1 : cell.at(1).digitValue(); }

struct Form73Test : ::testing::Test {
    Form73 form;
    std::vector<QString> messages;
    // What every cell should show.
    std::map<QString, QString> cells = designCaptions();

    void SetUp() override
    {
        form.setMessageBox([this](QWidget *, const QString &text) { messages.push_back(text); });
    }
    QString caption(const QString &name) const
    {
        const RpLabel *l = form.labelNamed(name);
        return l ? l->caption() : QStringLiteral("<missing %1>").arg(name);
    }
    // Layout `layout` refreshed with `word`.
    void expectFilled(int layout, const QString &word)
    {
        for (auto &[name, value] : cells)
            if (layoutOf(name) == layout)
                value = worksheet::wordCharacters(word).at(positionOf(name) - 1);
    }
    void checkCells(const char *when)
    {
        for (const auto &[name, value] : cells)
            EXPECT_EQ(caption(name), value) << when << ": cell " << name.toStdString();
    }
    void typeText(const QString &s)
    {
        // One change per character, as a user types.
        for (QChar c : s)
            form.edit1()->insert(QString(c));
    }
};

TEST_F(Form73Test, ControlsSitAtTheirDesignedClientPixels)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tovrel"));
    EXPECT_EQ(form.size(), QSize(1360, 1125));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(form.font().pixelSize(), 11);

    EXPECT_EQ(form.label1()->geometry(), QRect(8, 1022, 154, 84));
    EXPECT_EQ(form.label1()->text(), QStringLiteral("註：此程式需配合華康金碟「筆順體」及「虛線體」使用。"));
    EXPECT_TRUE(form.label1()->wordWrap());
    EXPECT_EQ(form.label1()->font().pixelSize(), 21);
    EXPECT_EQ(form.label1()->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(form.label2()->geometry(), QRect(672, 568, 31, 13));
    EXPECT_EQ(form.label2()->text(), QStringLiteral("Label2"));
    EXPECT_EQ(form.label3()->geometry(), QRect(8, 22, 384, 32));
    EXPECT_EQ(form.label3()->text(), QStringLiteral("注意：程式最多支持四字詞"));
    EXPECT_EQ(form.label3()->font().pixelSize(), 32);
    EXPECT_EQ(form.label3()->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(form.edit1()->geometry(), QRect(8, 67, 384, 72));
    EXPECT_EQ(form.edit1()->text(), QStringLiteral("變"));
    EXPECT_EQ(form.edit1()->font().pixelSize(), 64);
    EXPECT_GE(form.edit1()->maxLength(), 32767);
    EXPECT_EQ(form.btnPrint()->geometry(), QRect(214, 291, 75, 25));
    EXPECT_EQ(form.btnPrint()->text(), QStringLiteral("Print"));
    EXPECT_EQ(form.pages()->geometry(), QRect(423, 8, 946, 1121));
    // The window's texts name the heading face; the stand-in draws them.
    EXPECT_EQ(form.label3()->font().family(), form.edit1()->font().family());

    // Label2 lies under the tab control: created earlier, so drawn below.
    const QObjectList &kids = form.children();
    EXPECT_LT(kids.indexOf(form.label2()), kids.indexOf(form.pages()));
    EXPECT_TRUE(form.pages()->geometry().contains(form.label2()->geometry()));

    ASSERT_EQ(form.pages()->pageCount(), 4);
    EXPECT_EQ(form.pages()->activePageIndex(), 0);
    const QPoint pos[] = {{0, -24}, {0, 0}, {0, -30}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.pages()->tabBar()->tabText(i), QStringLiteral("Page%1").arg(i + 1));
        Report *r = form.report(i + 1);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->objectName(), QStringLiteral("rpt%1").arg(i + 1));
        EXPECT_EQ(r->parentWidget(), form.pages()->page(i));
        EXPECT_EQ(r->geometry(), QRect(pos[i], QSize(794, 1123))) << "rpt" << i + 1;
    }
}

TEST_F(Form73Test, TabOrderRunsEditButtonTabs)
{
    form.show();
    QApplication::setActiveWindow(&form);
    form.edit1()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.edit1()->hasFocus(); }));
    QTest::keyClick(form.edit1(), Qt::Key_Tab);
    EXPECT_TRUE(form.btnPrint()->hasFocus());
    QTest::keyClick(form.btnPrint(), Qt::Key_Tab);
    EXPECT_TRUE(form.pages()->tabBar()->hasFocus());
}

TEST_F(Form73Test, FirstActivationFillsLayoutOneOnlyOnce)
{
    EXPECT_EQ(form.tag(), 0);
    checkCells("before activation");

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(form.tag(), 1);
    EXPECT_EQ(form.pages()->activePageIndex(), 0);
    expectFilled(1, QStringLiteral("變"));
    checkCells("first activation");

    // Later activations change nothing, even when the text is not what the
    // cells show.
    {
        const QSignalBlocker block(form.edit1());
        form.edit1()->setText(QStringLiteral("從口"));
    }
    form.pages()->setActivePageIndex(3);
    form.formActivate();
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(form.tag(), 1);
    EXPECT_EQ(form.pages()->activePageIndex(), 3);
    checkCells("second activation");
}

// Swallows the window's activations, as a window system without a window
// manager (or with focus-stealing prevention) never sends them.
class NoActivation : public QObject {
public:
    int swallowed = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::WindowActivate)
            return false;
        ++swallowed;
        return true;
    }
};

TEST_F(Form73Test, AWindowShownButNeverActivatedIsFilledAtItsFirstShow)
{
    NoActivation never;
    form.installEventFilter(&never);
    checkCells("before showing");
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.tag(), 1);
    expectFilled(1, QStringLiteral("變"));
    checkCells("first show");

    // Once: showing again, or a late activation, changes nothing.
    {
        const QSignalBlocker block(form.edit1());
        form.edit1()->setText(QStringLiteral("從口"));
    }
    form.hide();
    form.show();
    form.removeEventFilter(&never);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(form.tag(), 1);
    checkCells("after a second show and a late activation");
}

TEST_F(Form73Test, LongerWordsRefreshEveryShorterLayoutAndLeaveLongerOnes)
{
    form.formActivate();
    expectFilled(1, QStringLiteral("變"));

    typeText(QStringLiteral("從口"));
    EXPECT_EQ(form.pages()->activePageIndex(), 2);
    expectFilled(1, QStringLiteral("變從口"));
    expectFilled(2, QStringLiteral("變從口"));
    expectFilled(3, QStringLiteral("變從口"));
    checkCells("three characters");

    // Back to two: layout 2 takes the new word, layout 3 keeps the old one.
    form.edit1()->setText(QStringLiteral("入門"));
    EXPECT_EQ(form.pages()->activePageIndex(), 1);
    expectFilled(1, QStringLiteral("入"));
    expectFilled(2, QStringLiteral("入門"));
    checkCells("back to two");

    form.edit1()->clear();
    EXPECT_EQ(form.pages()->activePageIndex(), -1);
    checkCells("cleared");

    form.edit1()->setText(QStringLiteral("病從口入"));
    EXPECT_EQ(form.pages()->activePageIndex(), 3);
    for (int i = 1; i <= 4; ++i)
        expectFilled(i, QStringLiteral("病從口入"));
    checkCells("four characters");
    EXPECT_TRUE(messages.empty());
}

TEST_F(Form73Test, AFifthCharacterBringsTheMessageAndChangesNothing)
{
    form.formActivate();
    form.edit1()->setText(QStringLiteral("病從口入"));
    for (int i = 1; i <= 4; ++i)
        expectFilled(i, QStringLiteral("病從口入"));
    form.pages()->setActivePageIndex(1); // the user picked another tab

    typeText(QStringLiteral("門"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("錯誤: 程式最多支持四字詞"));
    EXPECT_EQ(form.edit1()->text(), QStringLiteral("病從口入門"));
    EXPECT_EQ(form.pages()->activePageIndex(), 1);
    checkCells("five characters");

    // Each further change while the word is too long says it again.
    typeText(QStringLiteral("口"));
    EXPECT_EQ(messages.size(), 2u);
    form.edit1()->backspace();
    EXPECT_EQ(messages.size(), 3u);
    checkCells("still too long");

    // The first change that brings it to four refreshes as usual.
    form.edit1()->setText(QStringLiteral("門口入病"));
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_EQ(form.pages()->activePageIndex(), 3);
    for (int i = 1; i <= 4; ++i)
        expectFilled(i, QStringLiteral("門口入病"));
    checkCells("four again");
}

TEST_F(Form73Test, ARefreshShowsAHiddenReport)
{
    form.formActivate();
    form.report(3)->hide();
    form.report(4)->hide();
    form.edit1()->setText(QStringLiteral("病從口"));
    EXPECT_TRUE(form.report(3)->isVisibleTo(form.pages()->page(2)));
    EXPECT_FALSE(form.report(4)->isVisibleTo(form.pages()->page(3)));
}

TEST_F(Form73Test, ClickingATabChangesOnlyTheActivePage)
{
    form.formActivate();
    expectFilled(1, QStringLiteral("變"));
    QTabBar *bar = form.pages()->tabBar();
    form.show();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(form.pages()->activePageIndex(), 2);
    EXPECT_EQ(form.edit1()->text(), QStringLiteral("變"));
    checkCells("after the click");
}

TEST(Form73FontNotice, NamesTheStandInOfEveryMissingFace)
{
    Form73 form;
    const QString faces[] = {QStringLiteral("華康標楷筆順體"), QStringLiteral("華康標楷虛線體"),
                             QStringLiteral("標楷體")};
    int missing = 0;
    for (const QString &face : faces) {
        const bool substituted = fonts::isSubstituted(face);
        missing += substituted;
        bool named = false, synthesised = false;
        for (const QString &line : form.fontNotice())
            if (line.contains(QStringLiteral("「%1」").arg(face))) {
                named = true;
                synthesised = line.contains(QStringLiteral("程式合成"));
            }
        EXPECT_EQ(named, substituted) << face.toStdString();
        // The two worksheet faces are drawn by the program, and the notice
        // says so.
        EXPECT_EQ(synthesised, substituted && face != QStringLiteral("標楷體")) << face.toStdString();
    }
    // The synthesised stroke-order face also says where its strokes come
    // from and whose forms they follow.
    const bool strokeSynthesised = faces::synthesisFor(faces::strokeOrderFamily()) == faces::Synthesis::StrokeOrder;
    bool convention = false;
    for (const QString &line : form.fontNotice())
        convention = convention || (line.contains(QStringLiteral("臺灣")) && line.contains(QStringLiteral("AnimCJK")) &&
                                    line.contains(QStringLiteral("中國大陸")));
    EXPECT_EQ(convention, strokeSynthesised);
    ASSERT_EQ(form.fontNotice().size(), missing + (strokeSynthesised ? 1 : 0));
    EXPECT_EQ(form.fontNoticeLabel()->isVisibleTo(&form), missing > 0);
    for (const QString &line : form.fontNotice()) {
        EXPECT_TRUE(form.fontNoticeLabel()->text().contains(line));
        // The notice lies beside the controls, not over them.
        EXPECT_FALSE(form.fontNoticeLabel()->geometry().intersects(form.pages()->geometry()));
        EXPECT_FALSE(form.fontNoticeLabel()->geometry().intersects(form.btnPrint()->geometry()));
        EXPECT_FALSE(form.fontNoticeLabel()->geometry().intersects(form.label1()->geometry()));
    }
}

TEST(Form73StateFile, WritesThePageAndCellsAfterEveryChange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.json"));
    qputenv("TOVREL_TEST_STATE_FILE", path.toLocal8Bit());
    Form73 form;
    qunsetenv("TOVREL_TEST_STATE_FILE");
    form.formActivate();
    form.edit1()->setText(QStringLiteral("病從"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject s = QJsonDocument::fromJson(f.readAll()).object();
    EXPECT_EQ(s.value("activePage").toInt(), 1);
    EXPECT_EQ(s.value("text").toString(), QStringLiteral("病從"));
    const QJsonObject cells = s.value("cells").toObject();
    EXPECT_EQ(cells.value("B2e").toString(), QStringLiteral("從"));
    EXPECT_EQ(cells.value("A8").toString(), QStringLiteral("病"));
    EXPECT_EQ(cells.value("D4d").toString(), QStringLiteral("入"));
    EXPECT_EQ(cells.size(), 46);
    EXPECT_EQ(s.value("cellUnits").toObject().value("B1a").toString(), QStringLiteral("75c5"));
}

} // namespace

TEST_F(Form73Test, ACharacterBeyondTheBasicPlaneIsOneCharacterInOneCell)
{
    form.formActivate();
    // 𠀋 alone: the one-character sheet, all of it in every cell.
    form.edit1()->setText(QString::fromUcs4(U"\U0002000B"));
    EXPECT_EQ(form.pages()->activePageIndex(), 0);
    expectFilled(1, QString::fromUcs4(U"\U0002000B"));
    checkCells("𠀋");
    // With 口: the two-character sheet.
    form.edit1()->setText(QString::fromUcs4(U"\U0002000B口"));
    EXPECT_EQ(form.pages()->activePageIndex(), 1);
    expectFilled(1, QString::fromUcs4(U"\U0002000B"));
    expectFilled(2, QString::fromUcs4(U"\U0002000B口"));
    checkCells("𠀋口");
    // Four of them are four characters, five are too many.
    form.edit1()->setText(QString::fromUcs4(U"\U0002000B\U0002000B\U0002000B\U0002000B"));
    EXPECT_EQ(form.pages()->activePageIndex(), 3);
    EXPECT_TRUE(messages.empty());
    form.edit1()->setText(QString::fromUcs4(U"\U0002000B\U0002000B\U0002000B\U0002000B口"));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(form.pages()->activePageIndex(), 3);
}

TEST_F(Form73Test, TheNoticeNamesWhatTheWordsSheetsCannotShowAsTheyShould)
{
    if (faces::synthesisFor(faces::strokeOrderFamily()) != faces::Synthesis::StrokeOrder)
        GTEST_SKIP() << "the stroke-order face is installed";
    form.formActivate();
    auto lines = [&](const QString &what) {
        QStringList out;
        for (const QString &line : form.fontNotice())
            if (line.contains(what))
                out << line;
        return out;
    };
    const QString unnumbered = QStringLiteral("不標筆順號碼（"), empty = QStringLiteral("留空");
    // 芥 has stroke data of the mainland form only (艹 in three strokes):
    // drawn unnumbered, named once.
    form.edit1()->setText(QStringLiteral("芥芥口"));
    ASSERT_EQ(lines(unnumbered).size(), 1) << form.fontNotice().join(u'\n').toStdString();
    EXPECT_TRUE(lines(unnumbered)[0].endsWith(QStringLiteral("：芥")));
    EXPECT_TRUE(form.fontNoticeLabel()->text().contains(lines(unnumbered)[0]));
    // A character no face has (U+0378): its cells are left empty, and said so.
    form.edit1()->setText(QString(QChar(0x378)) + QStringLiteral("草"));
    EXPECT_TRUE(lines(unnumbered).isEmpty());
    ASSERT_EQ(lines(empty).size(), 1);
    EXPECT_TRUE(lines(empty)[0].contains(QChar(0x378)));
    // A word the data numbers as it is written leaves nothing to say.
    form.edit1()->setText(QStringLiteral("草花"));
    EXPECT_TRUE(lines(unnumbered).isEmpty() && lines(empty).isEmpty());
}
namespace {

// A preview window that cannot open.
struct NoWindow : RpPreviewInterface {
    QWidget *show(RpPrinter *) override
    {
        throw RpError(RpErrorKind::NotAvailable, QStringLiteral("the preview window cannot open"));
    }
};

TEST_F(Form73Test, AnErrorWhilePrintingIsShownInAMessageAndTheWindowGoesOn)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    testsupport::ScopedValue failing(printerState().previewInterface,
                                     RpPreviewInterfaceFactory([] { return std::make_unique<NoWindow>(); }));
    form.formActivate();
    EXPECT_NO_THROW(form.btnPrintClick());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("the preview window cannot open"));
    // The report is ready for the next Print.
    EXPECT_TRUE(form.report(1)->available());
    form.edit1()->setText(QStringLiteral("病"));
    EXPECT_EQ(caption(QStringLiteral("A1")), QStringLiteral("病"));
}

} // namespace
