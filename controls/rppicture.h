// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture a control owns: a Picture with a change notification, and its
// stored form for report descriptions ("Picture.Data", a binary block of the
// picture's kind tag, length and bytes). Assigning copies the picture; the
// control never takes over the caller's object.
#include "platform/picture/picture.h"

#include <functional>

class RpPicture {
public:
    const Picture &graphic() const { return m_picture; }
    void assign(const Picture &p)
    {
        m_picture = p;
        if (onChange)
            onChange();
    }
    void clear() { assign(Picture()); }

    QByteArray data() const { return m_picture.storedData(); }
    // A damaged stored form still loads: the picture is damaged, keeps the
    // data, and its control prints nothing of it.
    void setData(const QByteArray &d) { assign(Picture::fromStoredData(d)); }

    std::function<void()> onChange;

private:
    Picture m_picture;
};
