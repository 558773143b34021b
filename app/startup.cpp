#include "app/startup.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace startup {

void prepareProcess()
{
    // Controls sit at fixed client pixels: no device-pixel scaling, and
    // fonts at 96 dpi whatever the screen says.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    qputenv("QT_FONT_DPI", "96");
}

void startEngine()
{
}

namespace {
class FirstPaintWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Quit once this paint (and the children's) has been done.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};
} // namespace

void quitAfterFirstPaintIfAsked(QWidget *window)
{
    if (qEnvironmentVariableIntValue("TOVREL_QUIT_AFTER_FIRST_PAINT") != 1)
        return;
    window->installEventFilter(new FirstPaintWatcher(window));
}

} // namespace startup
