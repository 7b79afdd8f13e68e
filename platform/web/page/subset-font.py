# Build step: the page's face, cut down to the characters the program can write. The full
# Liberation Serif covers Greek, Cyrillic and more in some 2,600 glyphs, and as base64 it was
# most of the page; the program writes only its own German texts and numbers.
# Outlines, hinting, kerning and every metric of the glyphs kept stay as they are, so text
# looks the same and the character cells (FontMetrics.cpp) come out the same.
# Two files come out: the face for the browser as WOFF2 (Brotli-compressed, under half the size
# of the TrueType file, which the page parses and decodes before the title shows), and for
# FontMetrics.cpp, which reads TrueType tables, the few tables it reads in a TrueType file of
# their own (2 KB).
# The SIL Open Font License lets a modified version be shipped under another name than the
# reserved one ("Liberation"): the result is "Mikroteilchen Serif", with the copyright and the
# licence kept in its name table.
# usage: python3 subset-font.py INPUT.ttf FACE.woff2 METRICS.ttf SOURCE...
# Every character beyond ASCII that a SOURCE file holds is kept, whatever else it is used for.
import io
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# Printable ASCII, Latin-1 (German letters, degree, plus-minus, micro, guillemets) and the
# dashes, quotes, ellipsis and euro sign German texts use. The browsers' font engine hints the
# superscripts and ordinals of Latin-1 (¹ ² ³ ª º) against modifier letters this leaves out,
# so at some sizes they come out a shade different from the full face; the program writes none
# of them. Should a text need one, keeping U+02B0-02B8, U+1D2C-1D6A, U+1D9C-1DBF and
# U+2070-209F (some 18 KB more) makes them exact again.
KEPT_RANGES = [(0x20, 0x7E), (0xA0, 0xFF), (0x2013, 0x2014), (0x2018, 0x201E), (0x2026, 0x2026),
               (0x20AC, 0x20AC), (0x2212, 0x2212)]
FAMILY = 'Mikroteilchen Serif'
KEPT_NAMES = [0, 13, 14]   # copyright, licence and where to read it
METRIC_TABLES = ['head', 'hhea', 'maxp', 'hmtx', 'cmap', 'name']   # and the licence in 'name'
CELL_LETTERS = 'abcdefghijklmnopqrstuvwxyz '


def cell_metrics(font):
    """What FontMetrics.cpp reads to place text in cells."""
    widths = font['hmtx'].metrics
    glyphs = font.getBestCmap()
    return (font['head'].unitsPerEm, font['hhea'].ascent, font['hhea'].descent,
            [widths[glyphs[ord(letter)]][0] for letter in CELL_LETTERS])


def main(source, face_target, metrics_target, program_files):
    characters = {code for first, last in KEPT_RANGES for code in range(first, last + 1)}
    for name in program_files:
        with open(name, encoding='utf-8') as file:
            characters |= {ord(c) for c in file.read() if ord(c) > 0x7E}

    options = subset.Options()
    options.name_IDs = KEPT_NAMES
    options.layout_features = ['*']
    options.legacy_kern = True
    options.notdef_outline = True
    options.drop_tables += ['FFTM']   # FontForge's own time stamps
    original = TTFont(source)
    font = TTFont(source, recalcTimestamp=False)   # its own date kept: the same sources, the same files
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=characters)
    subsetter.subset(font)

    version = original['name'].getDebugName(5) or ''
    names = font['name']
    for name_id, text in [(1, FAMILY), (2, 'Regular'), (3, f'{FAMILY} Regular; {version}'), (4, FAMILY),
                          (5, f'{version}; a subset of Liberation Serif'),
                          (6, FAMILY.replace(' ', '') + '-Regular')]:
        names.setName(text, name_id, 3, 1, 0x409)
    truetype = io.BytesIO()   # the subset as TrueType, which both files are made from
    font.save(truetype)

    face = TTFont(io.BytesIO(truetype.getvalue()), recalcTimestamp=False)
    face.flavor = 'woff2'
    face.save(face_target)

    metrics = TTFont(io.BytesIO(truetype.getvalue()), recalcBBoxes=False, recalcTimestamp=False)
    for tag in list(metrics.keys()):
        if tag not in METRIC_TABLES + ['GlyphOrder']:
            del metrics[tag]
    metrics.save(metrics_target)

    for written in (face_target, metrics_target):
        if cell_metrics(TTFont(written)) != cell_metrics(original):
            sys.exit(f'subset-font.py: {written}: the subset would change the text cells')


if __name__ == '__main__':
    if len(sys.argv) < 4:
        sys.exit('usage: subset-font.py INPUT.ttf FACE.woff2 METRICS.ttf SOURCE...')
    main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:])
