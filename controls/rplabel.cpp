#include "controls/rplabel.h"

#include "platform/units.h"
#include "platform/canvas.h"
#include "platform/paintercanvas.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/rpband.h"
#include "report/rpshape.h"

#include <QImage>
#include <cmath>

namespace {

// A surface to measure on for a label that belongs to no report.
Canvas &ownMeasureCanvas()
{
    static QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    static PainterCanvas canvas(&image, units::screenPixelsPerInch());
    return canvas;
}

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

int RpCustomLabel::measureWidth(const QString &s)
{
    if (m_parentReport) {
        const qint64 w = m_parentReport->textWidth(font(), s);
        return int(rpRound64(double(w * zoom()) / 100.0));
    }
    Canvas &c = ownMeasureCanvas();
    c.setFont(font().toLogFont(c.logPixelsY()));
    return c.textWidth(s);
}

int RpCustomLabel::lineHeight()
{
    if (!m_parentReport)
        return 0;
    return m_parentReport->textHeight(font(), QStringLiteral("W")) * zoom() / 100;
}

void RpCustomLabel::flushLine(LineState &st)
{
    m_formattedLines.append(st.line);
    st.line.clear();
}

void RpCustomLabel::addWord(LineState &st, QString w, int W)
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
        flushLine(st);
    } else {
        flushLine(st);
        if (measureWidth(w) > W) {
            if (W == 0)
                w.clear();
            else
                while (!w.isEmpty() && measureWidth(w) > W)
                    w.chop(1);
            st.line = w;
            flushLine(st);
            w.clear();
        }
    }
    if (!m_wordWrap) {
        w.clear();
        st.stop = true;
    }
    st.line += w;
}

void RpCustomLabel::formatLine(const QString &input)
{
    QString s = input;
    s.remove(QChar(10));
    if (s.contains(QChar(13))) {
        const QStringList parts = s.split(QChar(13));
        for (const QString &part : parts)
            formatLine(part);
        return;
    }
    LineState st;
    const int W = width();
    if (m_autoSize) {
        st.line = s;
        flushLine(st);
        st.stop = true;
        return;
    }
    if (m_wrapStyle == WrapStyle::BreakAnywhere) {
        for (QChar c : s) {
            if (measureWidth(st.line + c) > W)
                flushLine(st);
            st.line += c;
        }
        if (!isBlank(st.line))
            flushLine(st);
        return;
    }
    // Words end after the first space or hyphen; the break stays with the word.
    QString word;
    for (QChar c : s) {
        word += c;
        if (c == QLatin1Char(' ') || c == QLatin1Char('-')) {
            addWord(st, word, W);
            word.clear();
        }
    }
    if (!word.isEmpty())
        addWord(st, word, W);
    if (!st.stop)
        flushLine(st);
}

void RpCustomLabel::formatLines()
{
    if (isLoading())
        return; // formatted once the description has been read
    if (!parentWidget()) {
        m_doneFormat = true;
        return;
    }
    m_formattedLines.clear();
    const bool hasReport = m_parentReport != nullptr;
    if (isCaptionBased()) {
        formatLine(m_printCaption);
        if (!m_updatingBounds && hasReport) {
            const int h = m_parentReport->textHeight(font(), QStringLiteral("Wp")) * zoom() / 100 + 1;
            if (h > height()) {
                m_updatingBounds = true;
                setHeight(h);
                m_updatingBounds = false;
            }
        }
    } else if (!m_lines.isEmpty()) {
        if (m_autoSize)
            m_formattedLines = m_lines;
        else
            for (const QString &l : m_lines)
                formatLine(l);
    }
    if (m_autoSize && !m_updatingBounds && hasReport) {
        int w = 0;
        for (const QString &l : m_formattedLines)
            w = std::max(w, measureWidth(l));
        if (m_frame->drawLeft())
            w += m_frame->width();
        if (m_frame->drawRight())
            w += m_frame->width();
        m_updatingBounds = true;
        int l = left();
        switch (effectiveAlignment()) {
        case Alignment::taRightJustify:
            l = left() + width() - w;
            break;
        case Alignment::taCenter:
            l = left() + (width() - w) / 2;
            break;
        case Alignment::taLeftJustify:
            break;
        }
        setBounds(l, top(), w, height());
        const int lh = lineHeight();
        if (lh + 1 > height())
            setHeight(lh + 1);
        m_updatingBounds = false;
    }
    m_doneFormat = true;
}

void RpCustomLabel::beginPrinting()
{
    RpPrintable::beginPrinting();
    setCaption(m_caption);
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

void RpCustomLabel::printAt(int ofsX, int ofsY)
{
    if (!isPrintable())
        return;
    if (!m_reportPrinter)
        beginPrinting();
    if (!m_reportPrinter || !m_reportPrinter->canvas())
        return;
    Canvas &c = *m_reportPrinter->canvas();
    c.setFont(font().toLogFont(c.logPixelsY()));
    const double L = m_size->nativeValue(RpPrintableSize::LeftIdx);
    const double T = m_size->nativeValue(RpPrintableSize::TopIdx);
    const double W = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double H = m_size->nativeValue(RpPrintableSize::HeightIdx);
    const double LH = c.textHeight(QStringLiteral("W")) / m_reportPrinter->yFactor();
    printToCanvas(c, L + ofsX, T + ofsY, W, H, LH, m_autoStretch);
}

void RpCustomLabel::fillStrip(Canvas &c, int l, int t, int r, int b)
{
    c.setPen(gdi::LogPen{gdi::PS_SOLID, 0, rpcolor::resolve(m_color)});
    const gdi::LogBrush brush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0};
    c.setBrush(brush);
    c.fillRect(gdi::Rect{l, t, r, b}, brush);
}

void RpCustomLabel::printToCanvas(Canvas &c, double L, double T, double W, double H, double LH, bool canExpand)
{
    RpPageDevice &p = *m_reportPrinter;
    CustomReport *report = m_parentReport;
    const bool finalPass = report && report->finalPass();
    const bool exporting = report && report->exporting();
    const double W0 = W;
    m_ps = PrintState{};
    m_ps.E = 0;

    // 1. The OnPrint handler may replace the text for this print.
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
            formatLines();
        }
    }
    // 2.
    formatLines();
    W = m_size->nativeValue(RpPrintableSize::WidthIdx);
    // 3. Background for the exporter (white is never exported).
    if (exporting && m_opaque && rpcolor::resolve(m_color) != gdi::rgb(255, 255, 255)) {
        RpShape bg;
        bg.setBrush({gdi::BS_SOLID, m_color, 0});
        bg.setPen({gdi::PS_NULL, 1, 0});
        bg.setDeviceBounds(gdi::Rect{p.xPos(L), p.yPos(T), p.xPos(L) + p.xSize(W), p.yPos(T) + p.ySize(H)});
        report->exportFilter()->acceptGraphic(bg.x(), bg.y(), &bg);
    }
    // 4.
    if (finalPass && m_opaque)
        fillStrip(c, p.xPos(L), p.yPos(T), p.xPos(L + W), p.yPos(T + H));
    // 5. Inset by the frame.
    const double L0 = L;
    const double T0 = T;
    const int f = rpRound(units::pointsToNative(m_frame->width()));
    if (m_frame->drawTop())
        T += f;
    if (m_frame->drawLeft())
        L += f;
    // 6., 7.
    m_ps.L = L;
    m_ps.T = T;
    m_ps.W = W;
    m_ps.H = H;
    m_ps.LH = LH;
    m_ps.canExpand = canExpand;
    m_ps.limit = T + H + 1;
    m_ps.Y = T;
    double X = L;
    if (m_autoSize) {
        if (m_alignment == Alignment::taRightJustify)
            X = L - (W - W0);
        else if (m_alignment == Alignment::taCenter)
            X = L - (W - W0) / 2;
    }
    // 8.
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
    m_ps.X = X;
    // 9., 10.
    if (m_printFinished)
        m_currentLine = 0;
    while (m_currentLine <= m_formattedLines.size() - 1 && hasRoomForLine(c)) {
        printLine(c, m_currentLine);
        ++m_currentLine;
    }
    m_printFinished = m_currentLine > m_formattedLines.size() - 1 || !m_autoStretch;
    // 11.
    c.selectClipRgnNone();
    if (restoreCaption)
        m_printCaption = savedPrintCaption;
    // 12. The frame goes round the label's own rectangle, grown by what the
    // band gave.
    if ((finalPass || exporting) && m_frame->anyFrame())
        m_frame->paintFrame(c, gdi::Rect{p.xPos(L0), p.yPos(T0), p.xPos(L0 + W), p.yPos(T0 + H + m_ps.E)},
                            p.xFactor(), p.yFactor());
}

bool RpCustomLabel::hasRoomForLine(Canvas &c)
{
    if (m_ps.limit >= m_ps.Y + m_ps.LH)
        return true;
    if (!m_ps.canExpand)
        return false;
    auto *band = qobject_cast<RpCustomBand *>(parentWidget());
    if (!band || !band->canExpand(m_ps.LH))
        return false;
    const double E0 = m_ps.E;
    band->expandBand(m_ps.LH, m_ps.E, m_ps.hasExpanded);
    m_ps.limit = m_ps.T + m_ps.H + 1 + m_ps.E;
    if (m_parentReport && m_parentReport->finalPass() && m_opaque) {
        RpPageDevice &p = *m_reportPrinter;
        fillStrip(c, p.xPos(m_ps.L), p.yPos(m_ps.T + m_ps.H + E0), p.xPos(m_ps.L + m_ps.W),
                  p.yPos(m_ps.T + m_ps.H + m_ps.E));
    }
    return true;
}

void RpCustomLabel::printLine(Canvas &c, int i)
{
    const QString &line = m_formattedLines.at(i);
    const bool finalPass = m_parentReport && m_parentReport->finalPass();
    const bool exporting = m_parentReport && m_parentReport->exporting();
    RpPageDevice &p = *m_reportPrinter;
    if (finalPass && !line.isEmpty()) {
        if (m_fullJustify) {
            justifyLine(c, line);
            return;
        }
        const quint32 options = useRightToLeftReading() ? quint32(gdi::ETO_RTLREADING) : 0u;
        c.extTextOut(p.xPos(m_ps.X), p.yPos(m_ps.Y), options, nullptr, line);
    }
    if (exporting) {
        if (m_fullJustify)
            justifyLine(c, line);
        else
            m_parentReport->exportFilter()->textOut(m_ps.X, m_ps.Y, font(), rpcolor::resolve(m_color),
                                                    effectiveAlignment(), line);
    }
    m_ps.Y += m_ps.LH;
}

void RpCustomLabel::justifyLine(Canvas &c, const QString &line)
{
    RpPageDevice &p = *m_reportPrinter;
    const bool exporting = m_parentReport && m_parentReport->exporting();
    QStringList words;
    for (const QString &w : line.split(QLatin1Char(' ')))
        if (const QString t = w.trimmed(); !t.isEmpty())
            words.append(t);
    double total = 0;
    for (const QString &w : words)
        total += c.textWidth(w);
    const double available = width() * (p.yPos(100000) / 100000.0 / units::kScreenPixelsPerNative);
    const double space = c.textWidth(QStringLiteral(" "));
    double gap = space;
    if (words.size() >= 2 && available > total)
        gap = (available - total) / (words.size() - 1);
    if (space > 0 && m_maxBreakChars < gap / space)
        gap = space;
    double x = p.xPos(m_ps.X);
    const int y = p.yPos(m_ps.Y);
    for (const QString &w : words) {
        if (!exporting)
            c.textOut(rpRound(x), y, w);
        else
            m_parentReport->exportFilter()->textOut(rpRound(x / units::kScreenPixelsPerNative), m_ps.Y, font(), rpcolor::resolve(m_color),
                                                    effectiveAlignment(), w);
        x += c.textWidth(w) + gap;
    }
    if (!exporting)
        m_ps.Y += m_ps.LH;
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
