// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a report description with the report classes a
// user's file names (`tovrel-tool report run` reads such files). Reading
// either makes a report or fails with a description error; a report that
// reads must write, and what it writes must read again to the same text.
#include "fuzzapp.h"
#include "controls/reportclasses.h"
#include "platform/description/description.h"
#include "report/customreport.h"

#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
void ensureApplication() { fuzzapp::ensure<QApplication>(); } // a report is a widget
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    ensureApplication();
    desc::Registry &reg = reportRegistry();
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    std::unique_ptr<Report> report;
    try {
        report.reset(desc::readAs<Report>(reg, text));
    } catch (const desc::DescriptionError &) {
        return 0;
    }
    if (!report)
        std::abort(); // read succeeded without a report
    QByteArray once;
    try {
        once = desc::write(reg, reg.ref(report.get()));
    } catch (const RpError &) {
        return 0;
    }
    try {
        std::unique_ptr<Report> again(desc::readAs<Report>(reg, once));
        const QByteArray twice = desc::write(reg, reg.ref(again.get()));
        if (twice != once) {
            std::fprintf(stderr, "written report does not read back the same\n%s\n---\n%s\n", once.constData(),
                         twice.constData());
            std::abort();
        }
    } catch (const RpError &e) {
        std::fprintf(stderr, "written report does not read: %s\n%s\n", qPrintable(e.message()), once.constData());
        std::abort();
    }
    return 0;
}
