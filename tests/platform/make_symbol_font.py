#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a symbol-encoded font from a free font, for the tests of symbol
faces that are installed: the glyphs of the characters given are kept
(fontTools' subsetter) and reached only through a symbol character map,
each at the private-use code U+F000 + its code, as symbol faces have them.

usage: make_symbol_font.py SOURCE OUT FAMILY CODE=CHAR...
       (CODE and CHAR in hexadecimal, e.g. B9=2260)
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4


def main():
    source, out, family = sys.argv[1:4]
    pairs = [tuple(int(v, 16) for v in p.split('=')) for p in sys.argv[4:]]
    font = TTFont(source, fontNumber=0)
    options = subset.Options()
    options.name_IDs = ['*']
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[c for _, c in pairs])
    subsetter.subset(font)
    glyph_of = font.getBestCmap()
    table = cmap_format_4(4)
    table.platformID, table.platEncID, table.language = 3, 0, 0
    table.cmap = {0xF000 + code: glyph_of[char] for code, char in pairs}
    font['cmap'].tables = [table]
    name = font['name']
    for record in list(name.names):
        if record.nameID in (1, 4, 16):
            record.string = family
        elif record.nameID in (3, 6):
            record.string = 'TovrelTestSymbol'
    for lang in (0x409,):
        name.setName(family, 1, 3, 1, lang)
        name.setName(family, 4, 3, 1, lang)
    # The face says it is a symbol face: code page "Symbol".
    font['OS/2'].ulCodePageRange1 = 1 << 31
    font['OS/2'].ulCodePageRange2 = 0
    font.save(out)


if __name__ == '__main__':
    main()
