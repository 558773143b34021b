// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a description against a registry shaped like the
// worksheet layouts. A description that reads must write, read back and
// write again to the same text; anything else must fail with an error.
#include "platform/description/description.h"
#include "tests/platform/description_bagregistry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    desc::Registry &reg = descbag::bagRegistry();
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    std::unique_ptr<descbag::Component> root;
    try {
        desc::ObjectRef r = desc::read(reg, text);
        root.reset(r.as<descbag::Component>());
    } catch (const desc::DescriptionError &) {
        return 0;
    }
    if (!root)
        std::abort(); // read succeeded without an object
    QByteArray once;
    try {
        once = desc::write(reg, reg.ref(root.get()));
    } catch (const RpError &) {
        return 0; // values that cannot be stored (none are produced by reading)
    }
    try {
        std::unique_ptr<descbag::Component> again(desc::read(reg, once).as<descbag::Component>());
        if (desc::write(reg, reg.ref(again.get())) != once) {
            std::fprintf(stderr, "written description does not read back the same\n");
            std::abort();
        }
    } catch (const desc::DescriptionError &e) {
        std::fprintf(stderr, "written description does not read: %s\n%s\n", e.what(), once.constData());
        std::abort();
    }
    return 0;
}
