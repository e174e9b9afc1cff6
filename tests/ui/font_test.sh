#!/usr/bin/env bash
# The Quarnel symbol font as built by tools/make-font: its names, the logic glyphs at the Latin-1
# code points of the alphabet bytes (each a reference to the symbol's own glyph), the symbols and
# displaced letters still in the font, the notices kept; and a source font lacking a symbol is
# refused rather than turned into a font with a hole.
# Usage: font_test.sh PATH-TO-myfont.ttf (needs Debian's /usr/bin/python3 with python3-fontforge).
set -u
font=${1:?usage: font_test.sh MYFONT.ttf}
make_font="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/make-font"
python=/usr/bin/python3
# A scratch folder `tmp`, the `failures` count and `fail`.
source "$(dirname "${BASH_SOURCE[0]}")/../cli/checks.bash"

[[ -s "$font" ]] || { echo "FAIL: no font at $font" >&2; exit 1; }

# --- glyphs, code points and names, read back from the file ------------------------------------

if ! "$python" - "$font" 2>"$tmp/fontforge.err" <<'EOF'; then
import struct, sys
import fontforge

path = sys.argv[1]
problems = []

def check(ok, what):
    if not ok:
        problems.append(what)

font = fontforge.open(path)
check(font.familyname == "Quarnel", "family is %r" % font.familyname)
check(font.fontname == "Quarnel", "PostScript name is %r" % font.fontname)
check(font.fullname == "Quarnel", "full name is %r" % font.fullname)

def at(code):
    try:
        return font[code]
    except TypeError:
        return None

# Alphabet byte -> the symbol it must show, and the Latin-1 letter it displaces.
expected = [
    (0xF7, 0x2200, "divide"), (0xF6, 0x2203, "odieresis"), (0xFD, 0x2227, "yacute"),
    (0xFC, 0x2228, "udieresis"), (0xF4, 0x2192, "ocircumflex"), (0xE1, 0x2260, "aacute"),
    (0xDF, 0x2264, "germandbls"), (0xDD, 0x2265, "Yacute"), (0xE4, 0x22A4, "adieresis"),
    (0xE7, 0x22A5, "ccedilla"),
]
for latin, symbol, letter in expected:
    glyph, target = at(latin), at(symbol)
    if glyph is None or target is None:
        check(False, "U+%04X or U+%04X is not encoded" % (latin, symbol))
        continue
    check(len(target.foreground) > 0, "U+%04X has no outline of its own" % symbol)
    check(glyph.glyphname != target.glyphname,
          "U+%04X is the symbol's own glyph, not a new one" % latin)
    check(len(glyph.foreground) == 0, "U+%04X copies outlines instead of referring" % latin)
    refs = glyph.references
    check(len(refs) == 1 and refs[0][0] == target.glyphname
          and tuple(refs[0][1]) == (1.0, 0.0, 0.0, 1.0, 0.0, 0.0),
          "U+%04X refers to %r, not to %s unmoved" % (latin, refs, target.glyphname))
    check(glyph.width == target.width, "U+%04X is not as wide as U+%04X" % (latin, symbol))
    check(letter in font and font[letter].unicode == -1
          and (len(font[letter].foreground) > 0 or len(font[letter].references) > 0),
          "the displaced letter %s is not kept unencoded with its drawing" % letter)

negation = at(0xAC)
check(negation is not None and len(negation.foreground) > 0, "U+00AC lost its negation glyph")

# The letters that stay letters still draw through their components.
for code in (0xE9, 0xF1, 0xC4):
    glyph = at(code)
    check(glyph is not None and (len(glyph.references) > 0 or len(glyph.foreground) > 0),
          "U+%04X is empty" % code)

# The name table itself, every platform: only the copyright (0), licence (13) and licence URL
# (14) may name the source family or its trademarks, and those notices must be there.
data = open(path, "rb").read()
count = struct.unpack(">H", data[4:6])[0]
table = None
for i in range(count):
    tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
    if tag == b"name":
        table = data[offset:offset + length]
records = {}
if table is None:
    check(False, "no name table")
else:
    _, n, strings = struct.unpack(">HHH", table[:6])
    for i in range(n):
        platform, _, _, name_id, length, offset = struct.unpack(
            ">6H", table[6 + 12 * i:18 + 12 * i])
        raw = table[strings + offset:strings + offset + length]
        text = raw.decode("utf-16-be" if platform in (0, 3) else "latin-1")
        records.setdefault(name_id, []).append(text)
for name_id, texts in sorted(records.items()):
    for text in texts:
        if name_id not in (0, 13, 14):
            for word in ("dejavu", "bitstream", "vera"):
                check(word not in text.lower(), "name %d names %r: %r" % (name_id, word, text))
for name_id in (1, 4, 6):
    check(records.get(name_id) and set(records[name_id]) == {"Quarnel"},
          "name %d is %r" % (name_id, records.get(name_id)))
check(any("Copyright (c) 2003 by Bitstream, Inc." in t for t in records.get(0, [])),
      "copyright notice missing")
check(any("only if the fonts are renamed" in t for t in records.get(13, [])),
      "licence notice missing")

for p in problems:
    print("FAIL: " + p, file=sys.stderr)
sys.exit(1 if problems else 0)
EOF
  failures=$((failures + 1))
  # The FAIL lines, or a traceback, among fontforge's own remarks.
  cat "$tmp/fontforge.err" >&2
fi

if command -v fc-query >/dev/null; then
  family=$(fc-query -f '%{family}\n' "$font")
  [[ "$family" == "Quarnel" ]] || fail "fontconfig sees the family as '$family'"
fi

# --- a source without the existential sign is refused -------------------------------------------

"$python" - "$tmp/holed.ttf" 2>/dev/null <<'EOF' || fail "could not make the holed source font"
import sys
import fontforge
font = fontforge.open("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf")
font.removeGlyph(0x2203)
font.generate(sys.argv[1])
EOF
if [[ -s "$tmp/holed.ttf" ]]; then
  "$make_font" "$tmp/out.ttf" "$tmp/holed.ttf" 2>"$tmp/holed.err"
  rc=$?
  [[ $rc -ne 0 ]] || fail "a source without U+2203 still gave a font"
  grep -q 'U+2203' "$tmp/holed.err" ||
    fail "the refusal does not name U+2203: $(cat "$tmp/holed.err")"
  [[ ! -e "$tmp/out.ttf" ]] || fail "a refused build left an output file"
fi

if [[ $failures -eq 0 ]]; then echo "font_test: ok"; fi
exit $((failures > 0))
