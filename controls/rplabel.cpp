// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rplabel.h"

#include "platform/canvas.h"
#include "platform/textmeasurer.h"
#include "platform/units.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpband.h"
#include "report/rpshape.h"

#include <cmath>

namespace {

bool isBlank(const QString &s) { return s.trimmed().isEmpty(); }

} // namespace

RpCustomLabel::RpCustomLabel(QWidget *parent)
    : RpPrintable(nullptr)
{
    m_opaque = true;
    if (parent)
        setParentPanel(parent);
}

RpCustomLabel::~RpCustomLabel() = default;

const RpFont &RpCustomLabel::font() const
{
    if (m_parentFont) {
        if (auto *band = qobject_cast<RpCustomBand *>(parentWidget()))
            return band->font();
        if (auto *report = qobject_cast<CustomReport *>(parentWidget()))
            return report->font();
    }
    return m_font;
}

void RpCustomLabel::setFont(const RpFont &f)
{
    m_font = f;
    m_parentFont = false;
    m_doneFormat = false;
    formatLines();
    update();
}

void RpCustomLabel::setParentFont(bool v)
{
    if (!v && m_parentFont && !isLoading())
        m_font = font();
    m_parentFont = v;
    m_doneFormat = false;
    if (!isLoading())
        formatLines();
    update();
}

void RpCustomLabel::setAutoStretch(bool v)
{
    m_autoStretch = v;
    update();
}

void RpCustomLabel::setWordWrap(bool v)
{
    m_wordWrap = v;
    update();
}

void RpCustomLabel::setCaption(const QString &s)
{
    m_caption = s;
    m_printCaption = s;
    m_doneFormat = false;
    formatLines();
    update();
}

void RpCustomLabel::setWidecaption(const QString &s)
{
    m_widecaption = s;
    m_wideprintcaption = s;
    m_doneFormat = false;
    formatLines();
    update();
}

void RpCustomLabel::setLines(const QStringList &l)
{
    m_lines = l;
    m_doneFormat = false;
    update();
}

void RpCustomLabel::setTransparent(bool v)
{
    if (v == transparentStyle())
        return;
    setOpaqueStyle(!v);
}

void RpCustomLabel::setBiDiMode(BiDiMode m)
{
    m_biDiMode = m;
    m_parentBiDiMode = false;
    update();
}

void RpCustomLabel::setName(const QString &name)
{
    if (!isLoading() && (m_caption.isEmpty() || m_caption == objectName()))
        setCaption(name);
    setObjectName(name);
}

Alignment RpCustomLabel::effectiveAlignment() const
{
    if (!useRightToLeftAlignment())
        return m_alignment;
    if (m_alignment == Alignment::taLeftJustify)
        return Alignment::taRightJustify;
    if (m_alignment == Alignment::taRightJustify)
        return Alignment::taLeftJustify;
    return m_alignment;
}

int RpCustomLabel::measureWidth(const QString &s) const
{
    if (m_parentReport) {
        const qint64 w = m_parentReport->textWidth(font(), s);
        return int(rpRound64(double(w * zoom()) / 100.0));
    }
    // A label on no report measures on its own surface.
    return textmeasure::extent(font().toLogFont(units::screenPixelsPerInch()), s).cx;
}

int RpCustomLabel::lineHeight() const
{
    if (!m_parentReport)
        return 0;
    return m_parentReport->textHeight(font(), QStringLiteral("W")) * zoom() / 100;
}

namespace {
void flushLine(QStringList &out, QString &line)
{
    out.append(line);
    line.clear();
}
} // namespace

void RpCustomLabel::addWord(QStringList &out, LineState &st, QString w, int W) const
{
    if (measureWidth(st.line + w) <= W) {
        st.line += w;
        return;
    }
    if (st.line.isEmpty()) {
        // The word alone is too wide: keep what fits of its front.
        int i = 0;
        while (i < w.size() && measureWidth(st.line + w.at(i)) < W)
            st.line += w.at(i++);
        w.clear();
        flushLine(out, st.line);
    } else {
        flushLine(out, st.line);
        if (measureWidth(w) > W) {
            if (W == 0)
                w.clear();
            else
                while (!w.isEmpty() && measureWidth(w) > W)
                    w.chop(1);
            st.line = w;
            flushLine(out, st.line);
            w.clear();
        }
    }
    if (!m_wordWrap) {
        w.clear();
        st.stop = true;
    }
    st.line += w;
}

void RpCustomLabel::formatLine(QStringList &out, int W, const QString &input) const
{
    QString s = input;
    s.remove(QChar(10));
    if (s.contains(QChar(13))) {
        const QStringList parts = s.split(QChar(13));
        for (const QString &part : parts)
            formatLine(out, W, part);
        return;
    }
    LineState st;
    if (m_autoSize) {
        st.line = s;
        flushLine(out, st.line);
        st.stop = true;
        return;
    }
    if (m_wrapStyle == WrapStyle::BreakAnywhere) {
        for (QChar c : s) {
            if (measureWidth(st.line + c) > W)
                flushLine(out, st.line);
            st.line += c;
        }
        if (!isBlank(st.line))
            flushLine(out, st.line);
        return;
    }
    // Words end after the first space or hyphen; the break stays with the word.
    QString word;
    for (QChar c : s) {
        word += c;
        if (c == QLatin1Char(' ') || c == QLatin1Char('-')) {
            addWord(out, st, word, W);
            word.clear();
        }
    }
    if (!word.isEmpty())
        addWord(out, st, word, W);
    if (!st.stop)
        flushLine(out, st.line);
}

void RpCustomLabel::formatLines()
{
    if (isLoading())
        return; // formatted once the description has been read
    formatInto(m_formattedLines, m_caption, m_updatingBounds);
    m_doneFormat = true;
}

void RpCustomLabel::formatInto(QStringList &out, const QString &text, bool &updatingBounds)
{
    if (!parentWidget())
        return;
    out.clear();
    const bool hasReport = m_parentReport != nullptr;
    if (isCaptionBased()) {
        formatLine(out, pixelBounds().width, text);
        if (!updatingBounds && hasReport) {
            const int h = m_parentReport->textHeight(font(), QStringLiteral("Wp")) * zoom() / 100 + 1;
            const PixelBounds b = pixelBounds();
            if (h > b.height) {
                updatingBounds = true;
                storePixelBounds(b.left, b.top, b.width, h);
                updatingBounds = false;
            }
        }
    } else if (!m_lines.isEmpty()) {
        if (m_autoSize)
            out = m_lines;
        else
            for (const QString &l : m_lines)
                formatLine(out, pixelBounds().width, l);
    }
    if (m_autoSize && !updatingBounds && hasReport) {
        int w = 0;
        for (const QString &l : out)
            w = std::max(w, measureWidth(l));
        if (m_frame->drawLeft())
            w += m_frame->width();
        if (m_frame->drawRight())
            w += m_frame->width();
        updatingBounds = true;
        // The alignment edge stays where it was.
        PixelBounds b = pixelBounds();
        int l = b.left;
        switch (effectiveAlignment()) {
        case Alignment::taRightJustify:
            l = b.left + b.width - w;
            break;
        case Alignment::taCenter:
            l = b.left + (b.width - w) / 2;
            break;
        case Alignment::taLeftJustify:
            break;
        }
        storePixelBounds(l, b.top, w, b.height);
        b = pixelBounds();
        const int lh = lineHeight();
        if (lh + 1 > b.height)
            storePixelBounds(b.left, b.top, b.width, lh + 1);
        updatingBounds = false;
    }
}

void RpCustomLabel::beginPrinting(RpReportRun &run)
{
    RpPrintable::beginPrinting(run);
    // The print caption starts from the caption, formatted anew.
    m_printCaption = m_caption;
    formatInto(m_printLines, m_printCaption, m_printUpdatingBounds);
}

void RpCustomLabel::endPrinting() { RpPrintable::endPrinting(); }

void RpCustomLabel::changeAlignment(Alignment a) { RpPrintable::changeAlignment(a); }

void RpCustomLabel::setParentPanel(QWidget *parent)
{
    RpPrintable::setParentPanel(parent);
    formatLines();
}

void RpCustomLabel::loaded()
{
    RpPrintable::loaded();
    // The stored point size wins over the stored pixel height; a size the
    // font already has changes nothing (an inherited font stays inherited).
    if (m_fontSize > 0 && font().size() != m_fontSize) {
        if (m_parentFont)
            m_font = font();
        m_font.setSize(m_fontSize);
        m_parentFont = false;
    }
    m_doneFormat = false;
    formatLines();
}

void RpCustomLabel::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    if (!isPrintable())
        return;
    if (!run.canvas())
        return;
    Canvas &c = *run.canvas();
    c.setFont(font().toLogFont(c.logPixelsY()));
    const double L = m_size->nativeValue(RpPrintableSize::LeftIdx);
    const double T = m_size->nativeValue(RpPrintableSize::TopIdx);
    const double W = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double H = m_size->nativeValue(RpPrintableSize::HeightIdx);
    const double LH = c.textHeight(QStringLiteral("W")) / run.device().yFactor();
    printToCanvas(run, c, L + ofsX, T + ofsY, W, H, LH, m_autoStretch);
}

void RpCustomLabel::fillStrip(Canvas &c, int l, int t, int r, int b)
{
    c.setPen(gdi::LogPen{gdi::PS_SOLID, 0, rpcolor::resolve(m_color)});
    const gdi::LogBrush brush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0};
    c.setBrush(brush);
    c.fillRect(gdi::Rect{l, t, r, b}, brush);
}

void RpCustomLabel::printToCanvas(RpReportRun &run, Canvas &c, double L, double T, double W, double H, double LH,
                                  bool canExpand)
{
    RpPageDevice &p = run.device();
    const bool finalPass = run.finalPass();
    const bool exporting = run.exporting();
    const double W0 = W;
    // The state of this print, handed to the helpers below (nothing of it
    // stays on the label).
    PrintState ps{.run = &run};

    // The OnPrint handler may replace the text for this print.
    QString savedPrintCaption;
    bool restoreCaption = false;
    if (onPrint) {
        QString v = m_printCaption;
        onPrint(this, v);
        c.setFont(font().toLogFont(c.logPixelsY()));
        H = m_size->nativeValue(RpPrintableSize::HeightIdx);
        LH = c.textHeight(QStringLiteral("W")) / p.yFactor();
        if (v != m_printCaption) {
            savedPrintCaption = m_printCaption;
            restoreCaption = true;
            m_printCaption = v;
            formatInto(m_printLines, m_printCaption, m_printUpdatingBounds);
        }
    }
    // Formatting may have changed the stored width.
    formatInto(m_printLines, m_printCaption, m_printUpdatingBounds);
    W = m_size->nativeValue(RpPrintableSize::WidthIdx);
    // The background for the exporter (white is never exported).
    if (exporting && m_opaque && rpcolor::resolve(m_color) != gdi::rgb(255, 255, 255)) {
        RpShape bg;
        bg.setBrush({gdi::BS_SOLID, m_color, 0});
        bg.setPen({gdi::PS_NULL, 1, 0});
        bg.setDeviceBounds(gdi::Rect{p.xPos(L), p.yPos(T), p.xPos(L) + p.xSize(W), p.yPos(T) + p.ySize(H)});
        run.exportFilter()->acceptGraphic(bg.x(), bg.y(), &bg);
    }
    // The background on the page.
    if (finalPass && m_opaque)
        fillStrip(c, p.xPos(L), p.yPos(T), p.xPos(L + W), p.yPos(T + H));
    // Inset by the frame.
    const double L0 = L;
    const double T0 = T;
    const int f = rpRound(units::pointsToNative(m_frame->width()));
    if (m_frame->drawTop())
        T += f;
    if (m_frame->drawLeft())
        L += f;
    // The limit the lines must keep to, and the anchor of the text: with
    // AutoSize it moves by what formatting changed of the width.
    ps = PrintState{.run = &run, .L = L, .T = T, .W = W, .H = H, .LH = LH, .Y = T, .limit = T + H + 1,
                    .canExpand = canExpand};
    double X = L;
    if (m_autoSize) {
        if (m_alignment == Alignment::taRightJustify)
            X = L - (W - W0);
        else if (m_alignment == Alignment::taCenter)
            X = L - (W - W0) / 2;
    }
    // Alignment of the text on the anchor.
    c.setBkMode(gdi::TRANSPARENT);
    quint32 align = gdi::TA_TOP;
    switch (effectiveAlignment()) {
    case Alignment::taLeftJustify:
        align |= gdi::TA_LEFT;
        break;
    case Alignment::taRightJustify:
        align |= gdi::TA_RIGHT;
        X += W;
        break;
    case Alignment::taCenter:
        align |= gdi::TA_CENTER;
        X += W / 2;
        break;
    }
    if (useRightToLeftReading())
        align |= gdi::TA_RTLREADING;
    c.setTextAlign(align);
    c.setTextColor(rpcolor::resolve(font().color));
    ps.X = X;
    // The lines from the current one on, while they fit (the band may grow
    // for them); a print that stops early continues there next time.
    if (m_printFinished)
        m_currentLine = 0;
    while (m_currentLine <= m_printLines.size() - 1 && hasRoomForLine(c, ps)) {
        printLine(c, ps, m_currentLine);
        ++m_currentLine;
    }
    m_printFinished = m_currentLine > m_printLines.size() - 1 || !m_autoStretch;
    c.selectClipRgnNone();
    if (restoreCaption)
        m_printCaption = savedPrintCaption;
    // The frame goes round the label's own rectangle, grown by what the
    // band gave.
    if ((finalPass || exporting) && m_frame->anyFrame())
        m_frame->paintFrame(c, gdi::Rect{p.xPos(L0), p.yPos(T0), p.xPos(L0 + W), p.yPos(T0 + H + ps.E)},
                            p.xFactor(), p.yFactor(), &run);
}

bool RpCustomLabel::hasRoomForLine(Canvas &c, PrintState &ps)
{
    if (ps.limit >= ps.Y + ps.LH)
        return true;
    if (!ps.canExpand)
        return false;
    auto *band = qobject_cast<RpCustomBand *>(parentWidget());
    if (!band || !band->canExpand(ps.LH))
        return false;
    const double E0 = ps.E;
    band->expandBand(ps.LH, ps.E, ps.hasExpanded);
    ps.limit = ps.T + ps.H + 1 + ps.E;
    if (ps.run->finalPass() && m_opaque) {
        RpPageDevice &p = ps.run->device();
        fillStrip(c, p.xPos(ps.L), p.yPos(ps.T + ps.H + E0), p.xPos(ps.L + ps.W),
                  p.yPos(ps.T + ps.H + ps.E));
    }
    return true;
}

void RpCustomLabel::printLine(Canvas &c, PrintState &ps, int i)
{
    const QString &line = m_printLines.at(i);
    RpReportRun &run = *ps.run;
    const bool finalPass = run.finalPass();
    const bool exporting = run.exporting();
    RpPageDevice &p = run.device();
    if (finalPass && !line.isEmpty()) {
        if (m_fullJustify) {
            justifyLine(c, ps, line);
            return;
        }
        const quint32 options = useRightToLeftReading() ? quint32(gdi::ETO_RTLREADING) : 0u;
        c.extTextOut(p.xPos(ps.X), p.yPos(ps.Y), options, nullptr, line);
    }
    if (exporting) {
        if (m_fullJustify)
            justifyLine(c, ps, line);
        else {
            run.textSource = this;
            run.exportFilter()->textOut(ps.X, ps.Y, font(), rpcolor::resolve(m_color), effectiveAlignment(),
                                        line);
            run.textSource = nullptr;
        }
    }
    ps.Y += ps.LH;
}

void RpCustomLabel::justifyLine(Canvas &c, PrintState &ps, const QString &line)
{
    RpReportRun &run = *ps.run;
    RpPageDevice &p = run.device();
    const bool exporting = run.exporting();
    QStringList words;
    for (const QString &w : line.split(QLatin1Char(' ')))
        if (const QString t = w.trimmed(); !t.isEmpty())
            words.append(t);
    double total = 0;
    for (const QString &w : words)
        total += c.textWidth(w);
    const double available = pixelBounds().width * (p.yPos(100000) / 100000.0 / units::kScreenPixelsPerNative);
    const double space = c.textWidth(QStringLiteral(" "));
    double gap = space;
    if (words.size() >= 2 && available > total)
        gap = (available - total) / (words.size() - 1);
    if (space > 0 && m_maxBreakChars < gap / space)
        gap = space;
    double x = p.xPos(ps.X);
    const int y = p.yPos(ps.Y);
    for (const QString &w : words) {
        if (!exporting)
            c.textOut(rpRound(x), y, w);
        else {
            run.textSource = this;
            run.exportFilter()->textOut(rpRound(x / units::kScreenPixelsPerNative), ps.Y, font(),
                                        rpcolor::resolve(m_color), effectiveAlignment(), w);
            run.textSource = nullptr;
        }
        x += c.textWidth(w) + gap;
    }
    if (!exporting)
        ps.Y += ps.LH;
}

void RpCustomLabel::paintToCanvas(Canvas &c, const gdi::Rect &r, int lh)
{
    formatLines();
    if (m_opaque)
        c.fillRect(r, gdi::LogBrush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0});
    int Y = r.top;
    int X = r.left;
    if (m_frame->anyFrame()) {
        const int inset = rpRound(zoom() * (m_frame->width() / units::kPointsPerInch * units::screenPixelsPerInch()) / 100.0);
        if (m_frame->drawTop() && m_frame->width() > 0)
            Y += inset;
        if (m_frame->drawLeft())
            X += inset;
    }
    c.setBkMode(gdi::TRANSPARENT);
    switch (effectiveAlignment()) {
    case Alignment::taLeftJustify:
        c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
        break;
    case Alignment::taRightJustify:
        c.setTextAlign(gdi::TA_RIGHT | gdi::TA_TOP);
        X += r.width();
        break;
    case Alignment::taCenter:
        c.setTextAlign(gdi::TA_CENTER | gdi::TA_TOP);
        X += r.width() / 2;
        break;
    }
    c.setTextColor(rpcolor::resolve(font().color));
    for (int i = 0; i < m_formattedLines.size(); ++i)
        if (!m_formattedLines.at(i).isEmpty())
            c.textOut(X, Y + lh * i, m_formattedLines.at(i));
}

void RpCustomLabel::paintSurface(Canvas &c)
{
    RpFont f = font();
    const int size = rpRound(f.size() * zoom() / 100.0);
    if (f.size() != size)
        f.setSize(size);
    if (!m_isPrinting)
        paintBase(c);
    c.setFont(f.toLogFont(units::screenPixelsPerInch()));
    const int lh = c.textHeight(QStringLiteral("W"));
    paintToCanvas(c, gdi::Rect{0, 0, width(), height()}, lh);
    paintCorners(c);
}
