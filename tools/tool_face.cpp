// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool face: draws characters in a worksheet face, for review and for
// preparing stroke data, tells how the model cell draws each character, and
// checks the synthesised faces.
#include "toolcommand.h"

#include "facecheck.h"
#include "faces/modelform.h"
#include "faces/strokedataoption.h"
#include "faces/strokestore.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

QString faceFamily(const QString &face)
{
    if (face == u"stroke")
        return faces::strokeOrderFamily();
    if (face == u"trace")
        return faces::tracingFamily();
    if (face == u"kai")
        return QStringLiteral("標楷體");
    throw tool::UsageError{QStringLiteral("--face is stroke, trace or kai, not '%1'").arg(face)};
}

int intOption(const QString &name, const QString &value, int min, int max)
{
    bool ok = false;
    const int v = value.toInt(&ok);
    if (!ok || v < min || v > max)
        throw tool::UsageError{QStringLiteral("%1 needs a number from %2 to %3, not '%4'").arg(name).arg(min).arg(max).arg(value)};
    return v;
}

gdi::ColorRef colorOption(const QString &value)
{
    bool ok = false;
    const uint v = value.toUInt(&ok, 16);
    if (!ok || value.size() != 6)
        throw tool::UsageError{QStringLiteral("--color needs RRGGBB in hexadecimal, not '%1'").arg(value)};
    return gdi::rgb(int(v >> 16), int((v >> 8) & 0xFF), int(v & 0xFF));
}

int drawText(const QString &text, const QString &out, const QString &face, int size, gdi::ColorRef color, bool cells)
{
    gdi::LogFont lf;
    lf.faceName = faceFamily(face);
    lf.height = -size;
    lf.charSet = gdi::CHINESEBIG5_CHARSET;
    const auto font = fonts::resolve(lf);
    const fonts::TextLayout layout = font->layout(text);
    const int margin = std::max(4, size / 8);
    const int cellHeight = font->textMetric().height;
    const int w = int(std::ceil(layout.width)) + 2 * margin, h = cellHeight + 2 * margin;
    if (qint64(w) * h > 200'000'000)
        throw tool::UsageError{QStringLiteral("the picture would be too large")};
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (cells) {
        // Each character's cell, as the stand-in face measures it.
        QPainter p(&img);
        p.setPen(QColor(0xA0, 0xC0, 0xFF));
        qreal x = margin;
        for (qreal a : layout.advances) {
            if (a > 0)
                p.drawRect(QRectF(x, margin, a, cellHeight).adjusted(-0.5, -0.5, -0.5, -0.5));
            x += a;
        }
    }
    {
        PainterCanvas c(&img);
        c.setFont(lf);
        c.setTextColor(color);
        c.setBkMode(gdi::TRANSPARENT);
        c.textOut(margin, margin, text);
    }
    if (!img.save(out, "PNG"))
        throw tool::UsageError{QStringLiteral("cannot write '%1'").arg(out)};
    const bool syn = font->synthesizedFace() != nullptr;
    tool::out(QStringLiteral("%1: %2 drawn by %3%4")
                  .arg(out, lf.faceName, !syn ? font->family() : QStringLiteral("the synthesised face"),
                       !syn ? QString() : QStringLiteral(" (metrics of %1)").arg(font->family())));
    return 0;
}

// One line a character: the character, the strokes it is numbered with (or
// "-"), and where they come from.
int printInfo(const QString &text)
{
    gdi::LogFont lf;
    lf.faceName = faces::strokeOrderFamily();
    lf.height = -160;
    lf.charSet = gdi::CHINESEBIG5_CHARSET;
    const bool synthesised = fonts::resolve(lf)->synthesizedFace() != nullptr;
    for (uint u : text.toUcs4()) {
        const char32_t ch = char32_t(u);
        QString count = QStringLiteral("-"), source;
        if (!synthesised) {
            source = QStringLiteral("installed");
        } else {
            const faces::ModelForm form = faces::modelFormInCell(ch);
            switch (form.kind) {
            case faces::ModelForm::Kind::Numbered:
                count = QString::number(form.glyph->strokeCount);
                source = faces::sourceName(form.source);
                break;
            case faces::ModelForm::Kind::Kai:
                source = QStringLiteral("Kai");
                break;
            case faces::ModelForm::Kind::Blank:
                source = QStringLiteral("none");
                break;
            }
        }
        tool::out(QString::fromUcs4(&ch, 1) + u'\t' + count + u'\t' + source);
    }
    return 0;
}

int runCheck(int sampleSize, const QString &chars, int em, const QString &formsTable)
{
    std::vector<char32_t> set;
    QString what;
    if (!chars.isEmpty()) {
        for (uint u : chars.toUcs4())
            set.push_back(char32_t(u));
        what = QStringLiteral("the characters given");
    } else {
        const std::vector<char32_t> all = facecheck::big5Level1();
        if (all.size() != 5401)
            throw tool::UsageError{QStringLiteral("the Big5 table gives %1 level-1 characters, not 5401").arg(all.size())};
        set = facecheck::sample(all, sampleSize);
        what = sampleSize > 0 && size_t(sampleSize) < all.size()
                   ? QStringLiteral("a fixed sample of %1 of the 5401 Big5 level-1 characters").arg(set.size())
                   : QStringLiteral("the 5401 Big5 level-1 characters (A440-C67E)");
    }
    gdi::LogFont s;
    s.faceName = faces::strokeOrderFamily();
    gdi::LogFont d;
    d.faceName = faces::tracingFamily();
    const auto sf = fonts::resolve(s), df = fonts::resolve(d);
    tool::out(QStringLiteral("checking %1 at an em of %2 pixels").arg(what).arg(em));
    tool::out(QStringLiteral("stroke-order face: %1; tracing face: %2")
                  .arg(!sf->synthesizedFace() ? QStringLiteral("installed (%1), not synthesised").arg(sf->family())
                                              : QStringLiteral("synthesised, metrics of %1").arg(sf->family()),
                       !df->synthesizedFace() ? QStringLiteral("installed (%1), not synthesised").arg(df->family())
                                              : QStringLiteral("synthesised, metrics of %1").arg(df->family())));
    tool::out(facecheck::describe(facecheck::smallestCells()));
    QElapsedTimer timer;
    timer.start();
    QStringList table;
    const facecheck::Counts c = facecheck::check(set, em, formsTable.isEmpty() ? nullptr : &table);
    for (const QString &line : facecheck::report(c))
        tool::out(line);
    if (!chars.isEmpty() && !c.unnumberedCharacters.isEmpty())
        tool::out(QStringLiteral("drawn without stroke numbers: ") + c.unnumberedCharacters.join(QString()));
    if (!formsTable.isEmpty()) {
        QFile f(formsTable);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write((QStringLiteral("character\tsource\tstrokes\textra\tmissing\tdivided\tdivided_leave_one_out\n") + table.join(u'\n') + u'\n').toUtf8()) < 0)
            throw tool::UsageError{QStringLiteral("cannot write '%1'").arg(formsTable)};
    }
    for (qsizetype i = 0; i < c.failures.size() && i < 50; ++i)
        tool::out(QStringLiteral("  ") + c.failures[i]);
    if (c.failures.size() > 50)
        tool::out(QStringLiteral("  ... and %1 more").arg(c.failures.size() - 50));
    tool::out(QStringLiteral("time: %1 s").arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    return c.failed() ? 1 : 0;
}

int run(const QStringList &argsIn)
{
    QStringList args = argsIn;
    const faces::StrokeDataOption data = faces::takeStrokeDataOption(args);
    if (!data.error.isEmpty())
        throw tool::UsageError{data.error};
    for (const QString &w : faces::useStrokeData(data.folder))
        tool::err(QStringLiteral("tovrel-tool face: warning: ") + w);
    for (const faces::MissingStrokeData &m : faces::StrokeStore::global().missingData())
        tool::err(QStringLiteral("tovrel-tool face: warning: ") + faces::describeMissing(m));

    QString text, out, face = QStringLiteral("stroke"), chars, formsTable;
    int size = 256, sampleSize = 0, em = 160;
    bool check = false, cells = false, info = false;
    gdi::ColorRef color = gdi::rgb(0x9D, 0x9D, 0x9D);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw tool::UsageError{QStringLiteral("%1 needs a value").arg(a)};
            return args[++i];
        };
        if (a == u"-o")
            out = value();
        else if (a == u"--face")
            face = value();
        else if (a == u"--size")
            size = intOption(a, value(), 4, 4096);
        else if (a == u"--color")
            color = colorOption(value());
        else if (a == u"--cells")
            cells = true;
        else if (a == u"--check")
            check = true;
        else if (a == u"--info")
            info = true;
        else if (a == u"--forms-table")
            formsTable = value();
        else if (a == u"--sample")
            sampleSize = intOption(a, value(), 1, 5401);
        else if (a == u"--chars")
            chars = value();
        else if (a == u"--em")
            em = intOption(a, value(), 16, 1024);
        else if (a.startsWith(u'-') && a.size() > 1)
            throw tool::UsageError{QStringLiteral("unknown option '%1'").arg(a)};
        else if (text.isEmpty())
            text = a;
        else
            throw tool::UsageError{QStringLiteral("one TEXT only")};
    }
    if (check)
        return runCheck(sampleSize, chars, em, formsTable);
    if (info) {
        if (text.isEmpty())
            throw tool::UsageError{QStringLiteral("usage: face --info TEXT")};
        return printInfo(text);
    }
    if (text.isEmpty() || out.isEmpty())
        throw tool::UsageError{QStringLiteral("usage: face TEXT -o OUT.png [--face stroke|trace|kai] [--size PX]")};
    faceFamily(face);
    return drawText(text, out, face, size, color, cells);
}

const tool::ToolCommand command("face",
                                "face TEXT -o OUT.png [--face stroke|trace|kai] [--size PX] [--color RRGGBB] [--cells]"
                                " [--stroke-data DIR] | face --info TEXT | face --check [--sample N] [--chars TEXT]"
                                " [--em PX] [--forms-table FILE]",
                                run);

} // namespace
