#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the four worksheet layouts rpt1.txt .. rpt4.txt beside this script.

Run by hand after changing the element rows below; the generated files are
committed and compiled into the program as resources.

Each row is an element of a layout in millimetres relative to the title band,
rounded to 0.001 mm. A value that is whole pixels at 96 dpi (one pixel is
25.4/96 mm) is stored as the exact native value of that pixel count, e.g.
80.433 mm = 304 px -> 804.3333333333333; any other value is stored as given.
"""
import os
import sys
from decimal import Decimal, Context, ROUND_HALF_EVEN

HERE = os.path.dirname(os.path.abspath(__file__))

REPORT_POS = {1: (0, -24), 2: (0, 0), 3: (0, -30), 4: (0, 0)}
BAND_NAME = {1: 'RpBand2', 2: 'BandTitle', 3: 'RpBand3', 4: 'RpBand1'}

FONTS = {
    'S': ('華康標楷筆順體', 'CHINESEBIG5_CHARSET'),
    'D': ('華康標楷虛線體', 'CHINESEBIG5_CHARSET'),
    'K': ('標楷體', 'ANSI_CHARSET'),
}

# Elements per layout: '## <layout> labels|shapes' then one row per element:
# | # | name | left | top | width | height | ... |
ROWS = open(os.path.join(HERE, 'elements.txt'), encoding='utf-8').read()


SIXTEEN = Context(prec=16, rounding=ROUND_HALF_EVEN)


def native(mm_text):
    """Native value (tenths of a millimetre) for a table value in mm, as a
    Decimal: pixel values exact to 16 significant digits, others as given."""
    mm = Decimal(mm_text)
    px = int((mm * 96 / Decimal('25.4')).to_integral_value(ROUND_HALF_EVEN))
    if abs(Decimal(px) * Decimal('25.4') / 96 - mm) <= Decimal('0.0005'):
        return SIXTEEN.divide(Decimal(px * 254), Decimal(96))
    return mm * 10


def fmt(v):
    """Plain decimal text; whole numbers keep one decimal place."""
    v = v.normalize()
    if v == v.to_integral_value():
        return '%d.0' % int(v)
    return format(v, 'f')


def colour(rgb):
    if rgb == '`clWindowText`':
        return 'clWindowText'
    r, g, b = (int(x, 16) for x in rgb.split())
    return str(r | (g << 8) | (b << 16))


def parse():
    layouts = {1: [], 2: [], 3: [], 4: []}
    current = None
    for line in ROWS.splitlines():
        line = line.strip()
        if not line:
            continue
        if line.startswith('##'):
            _, n, kind = line.split()
            current = (int(n), kind)
            continue
        cells = [c.strip() for c in line.strip('|').split('|')]
        layouts[current[0]].append((int(cells[0]), current[1], cells))
    for n, elems in layouts.items():
        elems.sort(key=lambda e: e[0])
        nums = [e[0] for e in elems]
        if nums != list(range(1, len(nums) + 1)):
            sys.exit('layout %d: element numbers not contiguous: %r' % (n, nums))
    return layouts


def size_values(cells, ind):
    left, top, width, height = cells[2:6]
    out = [ind + 'Size.Values = (']
    vals = [native(height), native(left), native(top), native(width)]
    for i, v in enumerate(vals):
        out.append(ind + '  ' + fmt(v) + (')' if i == 3 else ''))
    return out


def frame(ind):
    return [ind + 'Frame.Color = clBlack', ind + 'Frame.DrawTop = False',
            ind + 'Frame.DrawBottom = False', ind + 'Frame.DrawLeft = False',
            ind + 'Frame.DrawRight = False']


def label(cells, ind):
    name = cells[1].strip('`')
    font, fsize, fheight, col, align, autowrap, caption = cells[6:13]
    family, charset = FONTS[font]
    auto, wrap = autowrap.split('/')
    is_cell = cells[13] != '—'
    out = ['%sobject %s: TRpLabel' % (ind, name)]
    ind += '  '
    out += size_values(cells, ind)
    out += frame(ind)
    out += [
        ind + 'Alignment = ' + {'left': 'taLeftJustify', 'centre': 'taCenter'}[align],
        ind + 'AlignToBand = False',
        ind + 'AutoSize = ' + ('True' if auto == 'yes' else 'False'),
        ind + 'AutoStretch = False',
        ind + "Caption = '%s'" % caption.strip('"'),
        ind + 'Color = clWhite',
        ind + 'Font.Charset = ' + charset,
        ind + 'Font.Color = ' + colour(col),
        ind + 'Font.Height = ' + fheight,
        ind + "Font.Name = '%s'" % family,
        ind + 'Font.Style = []',
        ind + 'ParentFont = False',
        ind + 'Transparent = ' + ('True' if is_cell else 'False'),
        ind + 'WordWrap = ' + ('True' if wrap == 'yes' else 'False'),
        ind + 'ExportAs = exptText',
        ind + 'WrapStyle = BreakOnSpaces',
        ind + 'XLColumn = 0',
        ind + 'FontSize = ' + fsize,
    ]
    out.append(ind[:-2] + 'end')
    return out


def shape(cells, ind):
    name = cells[1].strip('`')
    pen, brush = cells[6], cells[7]
    out = ['%sobject %s: TRpShape' % (ind, name)]
    ind += '  '
    out += size_values(cells, ind)
    out += frame(ind)
    if brush == '`bsClear`':
        out.append(ind + 'Brush.Style = bsClear')
    elif brush != 'default':
        sys.exit('unknown brush ' + brush)
    if pen.startswith('`clGray`'):
        out.append(ind + 'Pen.Color = clGray')
        if 'psDot' in pen:
            out.append(ind + 'Pen.Style = psDot')
    elif pen != 'default':
        sys.exit('unknown pen ' + pen)
    out += [ind + 'Shape = rpsRectangle', ind + 'VertAdjust = 0', ind + 'XLColumn = 0']
    out.append(ind[:-2] + 'end')
    return out


def report(n, elems):
    left, top = REPORT_POS[n]
    i1, i2, i3 = '  ', '    ', '      '
    out = ['object rpt%d: TReport' % n,
           i1 + 'Left = %d' % left, i1 + 'Top = %d' % top,
           i1 + 'Width = 794', i1 + 'Height = 1123']
    out += frame(i1)
    out += [
        i1 + 'Font.Charset = DEFAULT_CHARSET',
        i1 + 'Font.Color = clWindowText',
        i1 + 'Font.Height = -13',
        i1 + "Font.Name = 'Arial'",
        i1 + 'Font.Style = []',
        i1 + 'Page.Values = (',
    ]
    page = ['100.0', '2970.0', '100.0', '2100.0', '100.0', '70.0', '0.0']
    for i, v in enumerate(page):
        out.append(i2 + v + (')' if i == len(page) - 1 else ''))
    out += [
        i1 + 'Page.PaperSize = A4',
        i1 + 'Page.Orientation = poPortrait',
        i1 + 'Page.Columns = 1',
        i1 + 'Page.Continuous = False',
        i1 + 'PrinterSettings.Copies = 1',
        i1 + 'PrinterSettings.OutputBin = Auto',
        i1 + 'PrinterSettings.Duplex = False',
        i1 + 'PrinterSettings.FirstPage = 0',
        i1 + 'PrinterSettings.LastPage = 0',
        i1 + 'PrinterSettings.UseStandardprinter = False',
        i1 + 'PrinterSettings.UseCustomBinCode = False',
        i1 + 'PrinterSettings.CustomBinCode = 0',
        i1 + 'PrinterSettings.ExtendedDuplex = 0',
        i1 + 'PrinterSettings.UseCustomPaperCode = False',
        i1 + 'PrinterSettings.CustomPaperCode = 0',
        i1 + 'PrinterSettings.PrintMetaFile = False',
        i1 + 'PrinterSettings.PrintQuality = 0',
        i1 + 'PrinterSettings.Collate = 0',
        i1 + 'PrinterSettings.ColorOption = 0',
        i1 + 'Units = MM',
        i1 + 'Zoom = 100',
        i1 + 'Options = [FirstPageHeader, LastPageFooter]',
        i1 + 'PrintIfEmpty = True',
        i1 + 'SnapToGrid = True',
        i1 + 'PrevFormStyle = fsNormal',
        i1 + 'PreviewInitialState = wsMaximized',
        i1 + 'PrevInitialZoom = rpZoomToFit',
        i1 + 'PreviewDefaultSaveType = stTRP',
        i1 + 'PreviewLeft = 0',
        i1 + 'PreviewTop = 0',
        i1 + 'object %s: TRpBand' % BAND_NAME[n],
        i2 + 'Color = clWhite',
        i2 + 'Font.Charset = DEFAULT_CHARSET',
        i2 + 'Font.Color = clWindowText',
        i2 + 'Font.Height = -13',
        i2 + "Font.Name = 'Arial'",
        i2 + 'Font.Style = []',
        i2 + 'ParentFont = False',
    ]
    out += frame(i2)
    out += [
        i2 + 'BandType = rbTitle',
        i2 + 'TransparentBand = False',
        i2 + 'AlignToBottom = False',
        i2 + 'ForceNewColumn = False',
        i2 + 'ForceNewPage = False',
        i2 + 'KeepOnOnePage = False',
        i2 + 'PreCaluculateBandHeight = False',
        i2 + 'Size.Values = (',
        i3 + '2759.604166666667',
        i3 + '1931.458333333333)',
    ]
    for _, kind, cells in elems:
        out += (label if kind == 'labels' else shape)(cells, i2)
    out += [i1 + 'end', 'end']
    return out


def main():
    for n, elems in parse().items():
        path = os.path.join(HERE, 'rpt%d.txt' % n)
        with open(path, 'w', encoding='utf-8', newline='\n') as f:
            f.write('\n'.join(report(n, elems)) + '\n')
        print('%s: %d elements' % (path, len(elems)))


if __name__ == '__main__':
    main()
