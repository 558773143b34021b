// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/cupsjobs.h"

#include <cups/cups.h>

#include <algorithm>

namespace cupsjobs {

namespace {

template <typename Visit>
bool forEachJob(const QString &queue, Visit visit)
{
    const QByteArray dest = queue.toUtf8();
    cups_job_t *jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, dest.constData(), 1, CUPS_WHICHJOBS_ALL);
    if (n < 0)
        return false;
    for (int i = 0; i < n; ++i)
        visit(jobs[i]);
    cupsFreeJobs(n, jobs);
    return true;
}

} // namespace

std::optional<int> latestJob(const QString &queue)
{
    int latest = 0;
    if (!forEachJob(queue, [&](const cups_job_t &j) { latest = std::max(latest, j.id); }))
        return std::nullopt;
    return latest;
}

std::optional<int> jobAfter(const QString &queue, const QString &title, int after)
{
    const QByteArray t = title.toUtf8();
    int found = 0;
    const bool asked = forEachJob(queue, [&](const cups_job_t &j) {
        if (j.id > after && j.title && t == j.title)
            found = std::max(found, j.id);
    });
    if (!asked || found == 0)
        return std::nullopt;
    return found;
}

} // namespace cupsjobs
