# SPDX-License-Identifier: MIT
"""A browser judges every CSS text the program writes or reads.

Headless Chromium paints each text on a canvas (fillStyle, then
getImageData, the sRGB colour profile forced). A declaration reaches the
canvas through an element's style, an attribute or six bare digits through
an HTML table's bgcolor. The colour painted must be the one the program wrote
the text for, or the one the program reads from it; a text the program
refuses for its CSS grammar the browser must refuse too.

Usage: test_css_browser.py <css_probe program>"""
import html
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import unittest

PROBE = sys.argv.pop(1) if len(sys.argv) > 1 else "css_probe"
NAMES_SOURCE = os.path.join(os.path.dirname(__file__), "..", "..", "colour", "cssnames.cpp")

PAGE = """<!doctype html><meta charset="utf-8"><body><pre id="out"></pre><script>
const canvas = document.createElement('canvas');
canvas.width = canvas.height = 1;
const g = canvas.getContext('2d', {willReadFrequently: true});
const table = document.body.appendChild(document.createElement('table'));
const div = document.body.appendChild(document.createElement('div'));
function bgcolor(value) {
  table.setAttribute('bgcolor', value);
  return getComputedStyle(table).backgroundColor;
}
function cssValue(text) {
  if (text.includes('=')) {
    const template = document.createElement('template');
    template.innerHTML = '<table ' + text + '>';
    const element = template.content.firstElementChild;
    return element && element.attributes.length == 1 ? bgcolor(element.attributes[0].value) : null;
  }
  if (/^\\s*[0-9a-f]{6}\\s*$/i.test(text)) return bgcolor(text);
  const declaration = /^\\s*([-\\w]+)\\s*:/.exec(text);
  if (!declaration) return text;
  div.style.cssText = text;
  return div.style.getPropertyValue(declaration[1]) || null;
}
function painted(text) {
  const value = cssValue(text);
  if (value === null) return null;
  g.fillStyle = '#0a0b0c'; g.fillStyle = value; const first = g.fillStyle;
  g.fillStyle = '#0d0e0f'; g.fillStyle = value;
  if (first == '#0a0b0c' && g.fillStyle == '#0d0e0f') return null;
  g.clearRect(0, 0, 1, 1);
  g.fillRect(0, 0, 1, 1);
  return Array.from(g.getImageData(0, 0, 1, 1).data);
}
document.getElementById('out').textContent = JSON.stringify(%s.map(painted));
</script>"""

NAMES = ["なし", "BGCOLOR", "color:", "background-color:", "--brand:", "rgb()", "hsl()", "oklch()"]

# Beside random_texts(): the other forms, and the syntax random values do not reach.
ACCEPTED = [
    "#FF8000", "  #f80 \n", "#ff8000ff", "#F80F", " 00Ff80 ", 'BGCOLOR="#FF8000"',
    "bgcolor='#ff8000'", "color=#abc", ' text = " #0000ff " ', 'bgcolor="ff8000"',
    "link=RebeccaPurple", "color: #FF8000;", "background-color:#abc", "--brand: rgb(255 128 0);",
    "border-color: hsl(30 100% 50%) !important;", "color: red; /* brand */",
    "  outline-color : oklch(70% 0.1 150)  ", "-webkit-text-fill-color: navy;",
    "rgba(255,128,0,1)", "rgba(255 128 0 / 100%)", "rgb(127.5 0.5 254.5)", "RGB(none 128 0)",
    "rgb(1 2 3/1)", "rgb( 1 , 2 , 3 )", "rgb(1/**/2 3)", "rgb(.5e1 +2 3)", "rgb(50% 128 0)",
    "rgb(1 2 3 / 2)", "hsla(30, 100%, 50%, 1)", "hsl(30deg 100 50 / 100%)", "hsl(none 100% 25%)",
    "hsl(30 100% none)", "hsl(30DEG 100% 50%)", "oklch(0.628 0.2577 29.23)", "oklch(90% 100% 100)",
    "oklch(0.7 -0.1 150)", "oklch(50% 0.1 0.25turn / 1)", "OKLCH(none none none)", "oklch(1 0 0)",
]
# Refused by CSS's grammar, which the browser applies too.
REFUSED_BY_GRAMMAR = [
    "rgb (1 2 3)", "rgb(5. 2 3)", "rgb(1,2,3/1)", "rgb(255 128, 0)", "rgb(100%, 128, 0)",
    "rgb(none, 2, 3)", "rgb(1, 2, 3,)", "rgb(1 2)", "rgb(1 2 3 4)", "rgb(1deg 2 3)",
    "rgb(0x10 0 0)", "rgb(1 2 3 /)", "rgb(1e+ 0 0)", "rgb(1 2 3 / 1deg)", "rgb(１ 2 3)",
    "hsl(30, 100, 50)", "hsl(none, 100%, 50%)", "hsl(30.deg 100% 50%)", "hsl(30 100 % 50%)",
    "oklch(50%, 0.1, 30)", "oklch(50% 0.1 30 deg)", "#12345", "#ggg", "rebecca purple",
    "rgb(1 2 3) x", "-webkit-rgb(1 2 3)", "color: ff8000",
]
# Refused although a browser paints something: nothing a paste could mean as one colour.
REFUSED_OTHERWISE = [
    "", "  ", "transparent", "Transparent", "currentColor", "canvas", "rgb(1 2 3 / 0.5)",
    "rgb(1 2 3 / 0.999)", "rgb(1 2 3 / none)", "hsl(0 100% 50% / 50%)", "#ff800080", "#f808",
    "ff800", "abc", 'bgcolor="rgb(1 2 3)"', 'bgcolor="#ff8000ff"', "bgcolor=abc", "rgb(1 2 3",
    "rgb(calc(1) 2 3)", "#FF8000 #000000", "ſeashell", "hello", "color: red; background: blue",
    "hsl(1e308turn 100% 50%)", "oklch(50% 1e300 30)",  # overflow on the way to sRGB
]


def random_texts(rng=random.Random(20)):
    """Colour functions with random values in both syntaxes, angle units, out
    of range and out of gamut; the same ones every run."""
    def n(low, high, unit=""):
        return "%.*f%s" % (rng.randrange(4), rng.uniform(low, high), unit)

    def hue():
        unit, turn = rng.choice((("", 360), ("deg", 360), ("turn", 1), ("grad", 400), ("rad", 6.3)))
        return n(-turn / 4, turn * 1.25, unit)

    def function(name, values):
        return "%s(%s)" % (name, (", " if rng.random() < 0.5 else " ").join(values))

    return [text for _ in range(150) for percent in [rng.random() < 0.5] for text in (
        function("rgb", [n(-2, 102, "%") if percent else n(-5, 260) for _ in range(3)]),
        function("hsl", [hue(), n(-5, 105, "%"), n(-5, 105, "%")]),
        "oklch(%s %s %s)" % (n(-5, 105, "%"), n(0, 0.45), hue()))]


def ask_program(questions):
    lines = "".join(json.dumps(q) + "\n" for q in questions)
    out = subprocess.run([PROBE], input=lines, capture_output=True, text=True, timeout=120, check=True)
    answers = [json.loads(line)[0] for line in out.stdout.splitlines()]
    assert len(answers) == len(questions), "the program answered %d of %d" % (len(answers), len(questions))
    return answers


def ask_browser(texts):
    """What Chromium paints for each text: [red, green, blue, alpha], or None."""
    with tempfile.TemporaryDirectory(prefix="vandrel-css-") as folder:
        page = os.path.join(folder, "page.html")
        with open(page, "w", encoding="utf-8") as f:
            f.write(PAGE % json.dumps(texts))
        out = subprocess.run(
            ["chromium", "--headless", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + os.path.join(folder, "profile"), "--force-color-profile=srgb",
             "--dump-dom", "file://" + page] + (["--no-sandbox"] if os.geteuid() == 0 else []),
            capture_output=True, text=True, timeout=120).stdout
    painted = json.loads(html.unescape(out.split('<pre id="out">')[1].split("</pre>")[0]))
    assert len(painted) == len(texts), "the browser painted %d of %d" % (len(painted), len(texts))
    return painted


def differences(texts, expected, got):
    return ["%r: expected %s, got %s" % t for t in zip(texts, expected, got) if t[1] != t[2]][:10]


class BrowserJudges(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Every mix of the edge values and random colours, in every form and letter case.
        rng, edges = random.Random(1), (0, 1, 127, 128, 254, 255)
        colours = [(r, g, b) for r in edges for g in edges for b in edges] + \
            [tuple(rng.randrange(256) for _ in range(3)) for _ in range(300)]
        asked = [(c, name, case) for c in colours for name in NAMES for case in (0, 1)]
        cls.written = [list(c) for c, _, _ in asked]
        cls.texts = ask_program([["write", name, "#%02X%02X%02X" % c, case] for c, name, case in asked])
        cls.pasted_back = ask_program([["read", text] for text in cls.texts])
        # The names the program knows, every other one in capitals.
        with open(NAMES_SOURCE, encoding="utf-8") as source:
            names = re.findall(r'\{"([a-z]+)", 0x', source.read())
        assert len(names) == 148, "%d names found in %s" % (len(names), NAMES_SOURCE)
        cls.read = ACCEPTED + random_texts() + [n.upper() if i % 2 else n for i, n in enumerate(names)]
        cls.reads = ask_program([["read", text] for text in cls.read])
        cls.refused = ask_program([["read", text] for text in REFUSED_BY_GRAMMAR + REFUSED_OTHERWISE])
        painted = ask_browser(cls.texts + cls.read + REFUSED_BY_GRAMMAR)
        cls.painted_written = painted[:len(cls.texts)]
        cls.painted_read = painted[len(cls.texts):len(cls.texts) + len(cls.read)]
        cls.painted_refused = painted[len(cls.texts) + len(cls.read):]

    def test_written_texts_paint_and_paste_back_as_their_colour(self):
        self.assertEqual(differences(self.texts, [c + [255] for c in self.written], self.painted_written), [])
        self.assertEqual(differences(self.texts, self.written, self.pasted_back), [])

    def test_texts_read_paint_what_the_program_reads(self):
        self.assertEqual(differences(self.read, [rgb and rgb + [255] for rgb in self.reads],
                                     self.painted_read), [])

    def test_refused_texts(self):
        refused = REFUSED_BY_GRAMMAR + REFUSED_OTHERWISE
        self.assertEqual([t for t, rgb in zip(refused, self.refused) if rgb], [])
        self.assertEqual([t for t, p in zip(REFUSED_BY_GRAMMAR, self.painted_refused) if p], [])


if __name__ == "__main__":
    unittest.main()
