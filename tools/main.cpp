// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolcommand.h"

#include "faces/worksheetfaces.h"
#include "app/startup.h"
#include "preview/previewinterface.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <map>

namespace tool {
namespace {
struct Entry {
    const char *usage;
    Handler handler;
};
std::map<QString, Entry> &registry()
{
    static std::map<QString, Entry> r;
    return r;
}
} // namespace

ToolCommand::ToolCommand(const char *name, const char *usage, Handler handler)
{
    registry()[QString::fromLatin1(name)] = Entry{usage, std::move(handler)};
}

void out(const QString &line)
{
    QByteArray b = line.toUtf8();
    b.append('\n');
    fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString &line)
{
    QByteArray b = line.toUtf8();
    b.append('\n');
    fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

} // namespace tool

// Bad input is told in one line, whatever line breaks its message holds.
static QString oneLine(QString message)
{
    message.replace(QStringLiteral("\r\n"), QStringLiteral("; ")).replace(u'\n', QStringLiteral("; "));
    return message;
}

static void usage()
{
    tool::err(QStringLiteral("usage: tovrel-tool COMMAND ..."));
    for (const auto &[name, e] : tool::registry())
        tool::err(QStringLiteral("  ") + QString::fromUtf8(e.usage));
}

int main(int argc, char **argv)
{
    // Fonts, images and reports (widgets) need an application object; no
    // window is shown, except by "trp view", which opens the preview window
    // on the desktop.
    const bool showsWindow = argc > 2 && qstrcmp(argv[1], "trp") == 0 && qstrcmp(argv[2], "view") == 0;
    startup::quietQtMessages();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !showsWindow)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The preview window ("trp view") speaks the desktop's language.
    startup::loadTranslations();
    // A report printer's preview opens the standard preview window.
    startPreviewModule();
    // Pages name the worksheet faces, which this program draws itself.
    faces::registerWorksheetFaces();
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        usage();
        return 2;
    }
    const QString cmd = args.takeFirst();
    auto it = tool::registry().find(cmd);
    if (it == tool::registry().end()) {
        tool::err(QStringLiteral("tovrel-tool: unknown command '%1'").arg(cmd));
        usage();
        return 2;
    }
    try {
        fflush(stdout);
        int rc = it->second.handler(args);
        fflush(stdout);
        return rc;
    } catch (const tool::UsageError &e) {
        fflush(stdout);
        tool::err(QStringLiteral("tovrel-tool %1: %2").arg(cmd, oneLine(e.message)));
        return 2;
    } catch (const std::exception &e) {
        fflush(stdout);
        tool::err(QStringLiteral("tovrel-tool %1: %2").arg(cmd, oneLine(QString::fromUtf8(e.what()))));
        return 2;
    }
}
