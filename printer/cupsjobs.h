// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The jobs the print system holds for a queue, as far as telling a user the
// number of the job a document became: the print engine hands documents to
// CUPS without passing on the job id it was given, so the job is found among
// this user's jobs on the queue afterwards.
#include <QString>

#include <optional>

namespace cupsjobs {

// The highest id of this user's jobs on `queue` (every state), 0 when there
// is none, none when the print system cannot be asked.
std::optional<int> latestJob(const QString &queue);

// The job this user sent to `queue` under `title` after job `after`: the
// newest such. None when there is none (or the system cannot be asked).
std::optional<int> jobAfter(const QString &queue, const QString &title, int after);

} // namespace cupsjobs
