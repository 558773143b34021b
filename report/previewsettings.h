// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a report's preview window opens: its style, state, zoom, place and
// panes, and the default file type of its Save dialog. Stored with the report.
enum class RpZoomState { rpZoomToFit = 0, rpZoomToWidth, rpZoomOther, rpZoom100 };
enum class PrevSaveType { stTRP = 0, stPDF, stXL, stHTML, stRTF, stCSV, stASCII, stXML };
enum class FormStyle { fsNormal = 0, fsMDIChild, fsMDIForm, fsStayOnTop };
// What the standard preview window tells the report's OnStandPrevEvent.
enum class StandPrevEventType { spOpen = 0, spClose, spCopy, spPrint, spPrintSetup, spLoad, spSave, spCancel };
enum class WindowState { wsNormal = 0, wsMinimized, wsMaximized };

struct PreviewSettings {
    FormStyle formStyle = FormStyle::fsNormal;
    WindowState initialState = WindowState::wsNormal;
    RpZoomState initialZoom = RpZoomState::rpZoomToFit;
    PrevSaveType defaultSaveType = PrevSaveType::stTRP;
    int left = 0, top = 0;
    // 0 or less: not set, shown as 500.
    int width = 0, height = 0;
    bool showThumbs = true;
    bool showSearch = true;

    int shownWidth() const { return width <= 0 ? 500 : width; }
    int shownHeight() const { return height <= 0 ? 500 : height; }
};
