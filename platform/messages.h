// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window messages between the report engine and its windows, carried as Qt
// events. A message has a number and two parameters, wParam and lParam;
// lParam may hold a pointer (the report printer, for instance).
//
// Posting queues the message for the receiver's thread and returns at
// once; it reaches the receiver only when pending messages run (the event
// loop, or processMessages()). Sending delivers it at once, synchronously.
// Receivers handle them in event():
//
//   bool PreviewControl::event(QEvent *e)
//   {
//       if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
//           if (m->message() == CM_PAGEAVAILABLE)
//               pageAvailable(int(m->wParam()));
//           return true;
//       }
//       return QWidget::event(e);
//   }
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QtGlobal>

#include <atomic>
#include <memory>

enum : int {
    CM_REPORTPROGRESS = 1024,
    CM_PAGEAVAILABLE = 1025,
    CM_PRINTREPORT = 1026,
    CM_PREVIEWCLOSED = 1028,
};

class RpMessageEvent : public QEvent {
public:
    RpMessageEvent(int message, quintptr wParam, qintptr lParam);

    // A message posted from another thread is read here after a release and
    // acquire of its own, so thread checkers see the hand-over that the
    // event queue's lock (inside Qt) makes.
    int message() const { return published(), m_message; }
    quintptr wParam() const { return published(), m_wParam; }
    qintptr lParam() const { return published(), m_lParam; }
    template <class T> T *lParamAs() const { return reinterpret_cast<T *>(lParam()); }

    // What a receiver answers to a sent message (0 unless it sets one).
    qintptr result() const { return m_result; }
    void setResult(qintptr r) { m_result = r; }

    // The event type that carries `message` (a type of its own per number).
    static QEvent::Type typeOf(int message);
    // The message event `e` is, or null for any other event.
    static const RpMessageEvent *from(const QEvent *e);
    static RpMessageEvent *from(QEvent *e);

private:
    bool published() const { return m_published.load(std::memory_order_acquire); }

    int m_message;
    quintptr m_wParam;
    qintptr m_lParam;
    qintptr m_result = 0;
    std::atomic<bool> m_published{false};
};

// Posts a message to `target`. It is posted only when the target window
// exists and its handle has been created: a null or destroyed target, or a
// widget whose native window does not exist yet, gets nothing. Returns
// whether it was posted.
//
// Safe to call from another thread (a run generating in the background):
// the message then goes into the target's queue without the window being
// looked at, and the target must outlive the call (the windows that receive
// a run's notices close only after the run has ended).
bool postMessage(const QPointer<QObject> &target, int message, quintptr wParam = 0, qintptr lParam = 0);

// Sends a message to `target` and returns the receiver's result; a null or
// destroyed target gets nothing and the result is 0. Call it on the
// target's thread.
qintptr sendMessage(const QPointer<QObject> &target, int message, quintptr wParam = 0, qintptr lParam = 0);

// Lets pending messages run: every message posted so far is delivered
// (and whatever else the event loop has waiting). On the user-interface
// thread only; elsewhere (a generation thread) it does nothing. Whatever a
// caller holds may be freed while the messages run (a closed preview frees
// its printer): hold it through a QPointer, or an RpLifetime for objects
// that are not QObjects, and look again afterwards.
void processMessages();

// Tells code that lets messages run whether the object it works for was
// freed meanwhile. The object holds an RpLifetime; the code takes a watch
// before and asks it after:
//
//   const RpLifetime::Watch alive = m_lifetime.watch();
//   processMessages();
//   if (!alive.alive())
//       return; // `this` is gone: touch nothing of it
class RpLifetime {
public:
    class Watch {
    public:
        bool alive() const { return *m_flag; }

    private:
        friend class RpLifetime;
        explicit Watch(std::shared_ptr<const bool> flag) : m_flag(std::move(flag)) {}
        std::shared_ptr<const bool> m_flag;
    };

    RpLifetime() : m_flag(std::make_shared<bool>(true)) {}
    ~RpLifetime() { *m_flag = false; }
    RpLifetime(const RpLifetime &) : RpLifetime() {}
    RpLifetime &operator=(const RpLifetime &) { return *this; }

    Watch watch() const { return Watch(m_flag); }

private:
    std::shared_ptr<bool> m_flag;
};
