// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recorded page as a picture control: what RpPrinter::exportMetafile hands
// a document filter for each page, drawn whole at the size it was recorded.
#include "platform/metafile.h"
#include "printer/exportpicture.h"

#include <QWidget>

class RpPagePicture : public QWidget, public RpExportPicture {
public:
    explicit RpPagePicture(Metafile page);

    const Metafile &page() const { return m_page; }
    // The page played at the screen's resolution, its own size; placed at
    // the offsets it is handed with.
    ExportPictureRec exportPicture(double xFactor, double yFactor) const override;

private:
    Metafile m_page;
};
