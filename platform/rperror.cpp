// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rperror.h"

#include <cerrno>
#include <cstring>

namespace {

bool noRoom(int e) { return e == ENOSPC || e == EFBIG || e == EDQUOT; }

} // namespace

RpError RpError::io(const QString &message, const QString &file, const QString &reason, int systemError)
{
    bool full = noRoom(systemError);
    // Without the number, the system's own words for a full disk tell it.
    for (int e : {ENOSPC, EFBIG, EDQUOT})
        if (!full && systemError == 0 && reason.contains(QString::fromLocal8Bit(std::strerror(e)), Qt::CaseInsensitive))
            full = true;
    RpErrorWhere where;
    where.file = file;
    return RpError(full ? RpErrorKind::DiskFull : RpErrorKind::InputOutput, message, where, reason);
}
