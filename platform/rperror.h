// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpError: the report engine's exception. Its message comes from a module's
// strings table and reaches the caller of the entry point unchanged.
#include <QString>
#include <stdexcept>

class RpError : public std::runtime_error {
public:
    explicit RpError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};
