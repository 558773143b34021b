// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messages.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Received {
    int message;
    quintptr wParam;
    qintptr lParam;
};

class Receiver : public QWidget {
public:
    std::vector<Received> got;
    qintptr answer = 0;

protected:
    bool event(QEvent *e) override
    {
        if (RpMessageEvent *m = RpMessageEvent::from(e)) {
            got.push_back({m->message(), m->wParam(), m->lParam()});
            m->setResult(answer);
            return true;
        }
        return QWidget::event(e);
    }
};

TEST(Messages, NumbersAndDistinctEventTypes)
{
    EXPECT_EQ(CM_REPORTPROGRESS, 1024);
    EXPECT_EQ(CM_PAGEAVAILABLE, 1025);
    EXPECT_EQ(CM_PRINTREPORT, 1026);
    EXPECT_EQ(CM_PREVIEWCLOSED, 1028);
    const QEvent::Type a = RpMessageEvent::typeOf(CM_PAGEAVAILABLE);
    EXPECT_EQ(a, RpMessageEvent::typeOf(CM_PAGEAVAILABLE)); // stable
    EXPECT_NE(a, RpMessageEvent::typeOf(CM_REPORTPROGRESS));
    EXPECT_GE(int(a), int(QEvent::User));
    QEvent other(QEvent::User);
    EXPECT_EQ(RpMessageEvent::from(&other), nullptr);
}

TEST(Messages, PostedMessagesArriveInOrderOnlyWhenPendingMessagesRun)
{
    Receiver w;
    w.winId(); // the window handle exists
    int printer = 0;
    EXPECT_TRUE(postMessage(&w, CM_PAGEAVAILABLE, 1, 0));
    EXPECT_TRUE(postMessage(&w, CM_REPORTPROGRESS, 7, reinterpret_cast<qintptr>(&printer)));
    EXPECT_TRUE(w.got.empty());
    processMessages();
    ASSERT_EQ(w.got.size(), 2u);
    EXPECT_EQ(w.got[0].message, CM_PAGEAVAILABLE);
    EXPECT_EQ(w.got[0].wParam, 1u);
    EXPECT_EQ(w.got[1].message, CM_REPORTPROGRESS);
    EXPECT_EQ(w.got[1].wParam, 7u);
    EXPECT_EQ(reinterpret_cast<int *>(w.got[1].lParam), &printer);
}

TEST(Messages, SentMessagesArriveAtOnceWithTheReceiversResult)
{
    Receiver w; // sending needs no window handle
    w.answer = 42;
    EXPECT_EQ(sendMessage(&w, CM_PREVIEWCLOSED, 3, -5), 42);
    ASSERT_EQ(w.got.size(), 1u);
    EXPECT_EQ(w.got[0].message, CM_PREVIEWCLOSED);
    EXPECT_EQ(w.got[0].lParam, -5);
}

TEST(Messages, NothingReachesAMissingOrDestroyedWindow)
{
    EXPECT_FALSE(postMessage(nullptr, CM_PAGEAVAILABLE));
    EXPECT_EQ(sendMessage(nullptr, CM_PRINTREPORT), 0);

    // A window destroyed after the post: the queued message is dropped.
    auto *w = new Receiver;
    w->winId();
    QPointer<QObject> target(w);
    EXPECT_TRUE(postMessage(target, CM_PAGEAVAILABLE, 1));
    delete w;
    EXPECT_FALSE(postMessage(target, CM_PAGEAVAILABLE, 2));
    EXPECT_EQ(sendMessage(target, CM_PREVIEWCLOSED), 0);
    processMessages(); // must not deliver to the dead window

    // A window whose handle has not been created yet gets no posts.
    Receiver hidden;
    EXPECT_FALSE(postMessage(&hidden, CM_PAGEAVAILABLE, 1));
    processMessages();
    EXPECT_TRUE(hidden.got.empty());

    // A plain object exists as soon as it is made.
    QObject plain;
    EXPECT_TRUE(postMessage(&plain, CM_PAGEAVAILABLE));
    processMessages();
}

} // namespace
