// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "controls/reportclasses.h"
#include "faces/worksheetfaces.h"
#include "pdf/metafilewriter.h"
#include "preview/previewinterface.h"
#include "report/surfacescheme.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

#include <cstdio>
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

void quietQtMessages()
{
    if (qEnvironmentVariableIntValue("TOVREL_QT_MESSAGES") == 1)
        return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtCriticalMsg && type != QtFatalMsg)
            return;
        const QByteArray line = message.toLocal8Bit() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    });
}

void loadTranslations()
{
    const QLocale locale;
    auto *qt = new QTranslator(qApp);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    // The program's own: where it is installed, else where it was built.
    auto *own = new QTranslator(qApp);
    const QStringList dirs = {QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tovrel/translations"),
                              QStringLiteral(TOVREL_BUILD_TRANSLATIONS_DIR)};
    for (const QString &dir : dirs) {
        if (own->load(locale, QStringLiteral("tovrel"), QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(own);
            return;
        }
    }
    delete own;
}

void startEngine()
{
    // The report engine's module start-up. The colours of the report surface
    // follow the screen's colour depth, chosen once, before any report
    // paints. (Each new report reads the locale's measurement system for its
    // default unit itself; band captions and paper names are compiled-in
    // string tables.)
    (void)surfaceScheme();
    // Every class a stored layout may name.
    describableClasses();
    // Recorded pages are written as pictures through the PDF document
    // filter. The export filter library stays empty: the worksheet program
    // registers no filter, so its preview saves report files alone.
    registerPdfMetafileWriter();
    // A report printer's preview opens the standard preview window, and the
    // reports' printer setup runs the print dialog.
    startPreviewModule();
    // The layouts name two worksheet faces the program draws itself where
    // their fonts are not installed.
    faces::registerWorksheetFaces();
}

desc::Registry &describableClasses()
{
    return reportRegistry();
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
