// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Registry of tovrel-tool's sub-commands. Each sub-command lives in its own
// file and registers itself with a static ToolCommand object.
#include <QStringList>
#include <functional>

namespace tool {

// Bad input: the message is printed on stderr as one line and the tool exits 2.
struct UsageError {
    QString message;
};

using Handler = std::function<int(const QStringList &args)>;

class ToolCommand {
public:
    ToolCommand(const char *name, const char *usage, Handler handler);
};

// Writes text to stdout/stderr as UTF-8.
void out(const QString &line);
void err(const QString &line);

} // namespace tool
