// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report's text control: breaks its text into lines that fit its width,
// can size its width to the text, paints a preview at the report's zoom and
// prints its lines onto the page (stretching its band when allowed).
//
// The surface and a run each keep their own formatted lines: the widget
// formats the caption for painting, a run formats its print caption for the
// page, so a run on another thread never shares a line list with painting.
#include "printer/bidimode.h"
#include "report/rpprintable.h"

#include <QStringList>
#include <functional>

enum class WrapStyle { BreakOnSpaces = 0, BreakAnywhere = 1 };

class RpCustomLabel : public RpPrintable {
    Q_OBJECT
public:
    explicit RpCustomLabel(QWidget *parent = nullptr);
    ~RpCustomLabel() override;

    bool captionBased() const { return m_captionBased; }
    void setCaptionBased(bool v) { m_captionBased = v; }
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool v) { m_autoSize = v; }
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool v);
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &s);
    const QString &widecaption() const { return m_widecaption; }
    void setWidecaption(const QString &s);
    WrapStyle wrapStyle() const { return m_wrapStyle; }
    void setWrapStyle(WrapStyle w) { m_wrapStyle = w; }
    const QStringList &lines() const { return m_lines; }
    void setLines(const QStringList &l);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool v);
    bool fullJustify() const { return m_fullJustify; }
    void setFullJustify(bool v) { m_fullJustify = v; }
    int maxBreakChars() const { return m_maxBreakChars; }
    void setMaxBreakChars(int v) { m_maxBreakChars = v; }
    bool transparent() const { return transparentStyle(); }
    void setTransparent(bool v);
    BiDiMode biDiMode() const { return m_biDiMode; }
    void setBiDiMode(BiDiMode m);
    bool parentBiDiMode() const { return m_parentBiDiMode; }
    void setParentBiDiMode(bool v) { m_parentBiDiMode = v; }

    const RpFont &font() const;
    void setFont(const RpFont &f);
    // The font object itself, for readers that set its fields one by one.
    RpFont &fontRef() { return m_font; }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool v);
    // The stored "FontSize": read into a pending value applied after loading.
    int storedFontSize() const { return m_fontSize; }
    void setStoredFontSize(int s) { m_fontSize = s; }

    std::function<void(RpCustomLabel *, QString &)> onPrint;

    // Renames the control; a caption that was empty or the old name follows.
    void setName(const QString &name);

    // The lines the surface shows.
    const QStringList &formattedLines() const { return m_formattedLines; }
    bool doneFormat() const { return m_doneFormat; }
    // The next line a run prints.
    int currentLine() const { return m_currentLine; }
    qint64 printProgress() const override { return m_currentLine; }

    virtual bool isCaptionBased() const { return m_captionBased; }
    // Formats the caption (or the lines) for the surface; with AutoSize the
    // stored bounds follow the text.
    virtual void formatLines();

    // Effective alignment: left and right swapped under right-to-left.
    Alignment effectiveAlignment() const;
    bool useRightToLeftAlignment() const { return m_biDiMode == BiDiMode::bdRightToLeft; }
    bool useRightToLeftReading() const { return m_biDiMode != BiDiMode::bdLeftToRight; }

    // Width of `s` at the report's zoom (extent + 1), and the line height
    // used for formatting. Any thread.
    int measureWidth(const QString &s) const;
    int lineHeight() const;

    void beginPrinting(RpReportRun &run) override;
    void endPrinting() override;
    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    void changeAlignment(Alignment a) override;
    void setParentPanel(QWidget *parent) override;
    void loaded() override;
    void paintSurface(Canvas &canvas) override;

    // Prints the lines from the current one on, at (L, T) with width W and
    // height H (native units), line height LH; the band may grow when
    // canExpand.
    void printToCanvas(RpReportRun &run, Canvas &canvas, double L, double T, double W, double H, double LH,
                       bool canExpand);

protected:
    // The text the next print of a run formats and prints; the caption the
    // surface shows stays as it is.
    const QString &printCaption() const { return m_printCaption; }
    void setPrintCaption(const QString &s) { m_printCaption = s; }

private:
    struct LineState {
        QString line;
        bool stop = false;
    };
    // State of one print (PrintToCanvas and its helpers): where the next
    // line goes, how far the band has grown for the label.
    struct PrintState {
        RpReportRun *run = nullptr;
        double L = 0, T = 0, W = 0, H = 0, LH = 0, X = 0, Y = 0, limit = 0, E = 0;
        bool canExpand = false;
        bool hasExpanded = false;
    };
    // Formats `text` into `out` at the current stored width; `updatingBounds`
    // is the re-entry guard of whoever formats (the surface or the run).
    void formatInto(QStringList &out, const QString &text, bool &updatingBounds);
    void formatLine(QStringList &out, int W, const QString &s) const;
    void addWord(QStringList &out, LineState &st, QString w, int W) const;
    bool hasRoomForLine(Canvas &canvas, PrintState &ps);
    void printLine(Canvas &canvas, PrintState &ps, int i);
    void justifyLine(Canvas &canvas, PrintState &ps, const QString &line);
    void fillStrip(Canvas &canvas, int left, int top, int right, int bottom);
    void paintToCanvas(Canvas &canvas, const gdi::Rect &r, int lh);

    bool m_captionBased = true;
    bool m_doneFormat = false;
    bool m_autoSize = true;
    bool m_autoStretch = false;
    QString m_caption;
    QString m_widecaption;
    WrapStyle m_wrapStyle = WrapStyle::BreakOnSpaces;
    int m_currentLine = 0;
    QString m_wideprintcaption;
    int m_fontSize = 0;
    QStringList m_formattedLines;
    QStringList m_lines;
    bool m_wordWrap = true;
    bool m_fullJustify = false;
    int m_maxBreakChars = 0;
    bool m_updatingBounds = false;
    RpFont m_font;
    bool m_parentFont = true;
    BiDiMode m_biDiMode = BiDiMode::bdLeftToRight;
    bool m_parentBiDiMode = true;

    // What a run prints: the print caption (the caption, or for one print
    // what OnPrint made of it) and its lines.
    QString m_printCaption;
    QStringList m_printLines;
    bool m_printUpdatingBounds = false;
};

class RpLabel : public RpCustomLabel {
    Q_OBJECT
public:
    explicit RpLabel(QWidget *parent = nullptr) : RpCustomLabel(parent) {}
};
