#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a font of another family name from a free font, for the tests that
install a real font of a worksheet family: the glyphs of TEXT are kept
(fontTools' subsetter), and every name of the family is replaced.

usage: make_named_font.py SOURCE OUT FAMILY TEXT
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def main():
    source, out, family, text = sys.argv[1:5]
    font = TTFont(source, fontNumber=0)
    options = subset.Options()
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    options.drop_tables += ['FFTM']
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    name = font['name']
    postscript = 'TovrelTestFace'
    for record in list(name.names):
        if record.nameID in (1, 4, 16):
            record.string = family
        elif record.nameID == 3:
            record.string = postscript + '-Regular'
        elif record.nameID == 6:
            record.string = postscript
        elif record.nameID in (17, 2):
            record.string = 'Regular'
    # The family under the English and the Traditional Chinese names.
    for lang in (0x409, 0x404):
        name.setName(family, 1, 3, 1, lang)
        name.setName(family, 4, 3, 1, lang)
    font.save(out)


if __name__ == '__main__':
    main()
