"""What the artwork scripts share: the look's colours, the supersampling helpers and fonts of
tools/make-artwork.py, the card and header every dialog background draws, and writing a
picture into the repository.

A script imports it through its own folder, so that it runs from any working folder:

    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))   # or the tools folder
    import kestrum_art as ka
"""

import importlib.util
import os

TOOLS = os.path.dirname(os.path.abspath(__file__))


def load(name, file):
    """Loads the script tools/<file> (whose name is no module name) as the module <name>."""
    spec = importlib.util.spec_from_file_location(name, os.path.join(TOOLS, file))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


art = load("artwork", "make-artwork.py")

ROOT = art.ROOT
SS, s, font = art.SS, art.s, art.font

# The look's colours: those of the dark panels and accents, then those of the light dialogs.
INK, INK_LIGHT, EDGE = art.INK, art.INK_LIGHT, art.EDGE
SKY, BLUE, AMBER, RED, MIST, WHITE = art.SKY, art.SKY_DEEP, art.AMBER, art.RED, art.MIST, art.WHITE
SLATE = (88, 106, 134)         # secondary text on light surfaces
CARD = (247, 249, 254)         # the panel the fields sit on
CARD_EDGE = (186, 202, 232)
SHADOW = (196, 210, 238)       # the card's one offset shadow


def save(img, folder, name):
    """Writes img as <folder>/<name> under the repository's root and says so."""
    out = os.path.join(ROOT, folder)
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, name)
    img.save(path, optimize=True)
    print(f"{os.path.relpath(path, ROOT)}: {img.width}x{img.height}")


def header(d, title, hint):
    """A dialog's title with its amber mark, and the hint under it."""
    d.rounded_rectangle(s(14, 17, 17, 35), radius=1.5 * SS, fill=AMBER + (255,))
    d.text(s(24, 14), title, font=font(16 * SS, bold=True), fill=BLUE + (255,))
    d.text(s(24, 40), hint, font=font(12 * SS), fill=SLATE + (255,))


def card(d, x0, y0, x1, y1, fill=CARD, radius=10):
    """The rounded panel the fields sit on, with its one offset shadow."""
    d.rounded_rectangle(s(x0 + 2, y0 + 3, x1 + 2, y1 + 3), radius=radius * SS, fill=SHADOW + (255,))
    d.rounded_rectangle(s(x0, y0, x1, y1), radius=radius * SS, fill=fill + (255,), outline=CARD_EDGE + (255,),
                        width=SS)
