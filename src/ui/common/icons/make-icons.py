#!/usr/bin/env python3
"""Draws the icons the program ships for desktops without a (complete) icon theme.

Each icon is a small SVG drawing on a 32 x 32 grid, rendered to PNG at the sizes of the
fallback theme with ImageMagick, so the program needs no SVG support to show them. Run it after
changing a drawing; it rewrites quillforge-fallback/ and icons.qrc beside this script.

    python3 make-icons.py
"""
import os
import shutil
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
THEME = "quillforge-fallback"
SIZES = (16, 22, 32)

INK = "#3d4b5c"
PAPER = "#ffffff"
FOLD = "#dde3ea"
BLUE = "#2f7ed8"
DARKBLUE = "#1d5ea8"
GREEN = "#2e9e44"
RED = "#d9383a"
ORANGE = "#ef8a1d"
YELLOW = "#f6c338"
FOLDER = "#e9b440"
FOLDER_DARK = "#b9842a"
GREY = "#6b7785"
LIGHTGREY = "#c9d1da"
PURPLE = "#8a4fc4"
FONT = "DejaVu-Sans-Bold"
SERIF = "DejaVu-Serif-Bold-Italic"


def page(lines=False):
    s = (f'<path d="M7 3h12l6 6v20H7z" fill="{PAPER}" stroke="{INK}" stroke-width="1.6" '
         'stroke-linejoin="round"/>'
         f'<path d="M19 3v6h6" fill="{FOLD}" stroke="{INK}" stroke-width="1.6" '
         'stroke-linejoin="round"/>')
    if lines:
        for y in (13, 17, 21):
            s += f'<path d="M10.5 {y}h11" stroke="{LIGHTGREY}" stroke-width="2"/>'
    return s


def badge(colour, mark):
    """A round badge at the bottom right: mark is "plus", "minus", "cross" or "i"."""
    s = f'<circle cx="23" cy="23" r="7.5" fill="{colour}" stroke="{PAPER}" stroke-width="1.2"/>'
    if mark == "plus":
        s += '<path d="M23 19v8M19 23h8" stroke="#fff" stroke-width="2.6" stroke-linecap="round"/>'
    elif mark == "minus":
        s += '<path d="M19 23h8" stroke="#fff" stroke-width="2.6" stroke-linecap="round"/>'
    elif mark == "cross":
        s += ('<path d="M20 20l6 6M26 20l-6 6" stroke="#fff" stroke-width="2.4" '
              'stroke-linecap="round"/>')
    elif mark == "i":
        s += ('<circle cx="23" cy="19.6" r="1.5" fill="#fff"/>'
              '<path d="M23 22.5v5" stroke="#fff" stroke-width="2.6" stroke-linecap="round"/>')
    elif mark == "star":
        s += ('<path d="M23 17.5l1.7 3.6 3.9.5-2.9 2.7.8 3.9-3.5-2-3.5 2 .8-3.9-2.9-2.7 '
              '3.9-.5z" fill="#fff"/>')
    return s


def folder(open_=False):
    s = (f'<path d="M3 8a2 2 0 0 1 2-2h7l3 3h12a2 2 0 0 1 2 2v15a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2z" '
         f'fill="{FOLDER_DARK}" stroke="{FOLDER_DARK}" stroke-width="1.2" stroke-linejoin="round"/>')
    if open_:
        s += (f'<path d="M5.5 14h24.5l-3 14H3z" fill="{FOLDER}" stroke="{FOLDER_DARK}" '
              'stroke-width="1.2" stroke-linejoin="round"/>')
    else:
        s += (f'<path d="M3 12h26v14a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2z" fill="{FOLDER}" '
              f'stroke="{FOLDER_DARK}" stroke-width="1.2" stroke-linejoin="round"/>')
    return s


def turned(points, direction):
    """Points drawn for an arrow pointing up, turned about the centre (no SVG transforms: the
    renderer used here does not draw them reliably)."""
    out = []
    for x, y in points:
        dx, dy = x - 16, y - 16
        x2, y2 = {"up": (dx, dy), "right": (-dy, dx), "down": (-dx, -dy), "left": (dy, -dx)}[direction]
        out.append(f"{16 + x2:.2f},{16 + y2:.2f}")
    return " ".join(out)


def arrow(direction, colour=BLUE, bar=False):
    top = 9 if bar else 4
    shape = [(16, top), (27, top + 11), (20.5, top + 11), (20.5, 28), (11.5, 28),
             (11.5, top + 11), (5, top + 11)]
    s = (f'<polygon points="{turned(shape, direction)}" fill="{colour}" stroke="{DARKBLUE}" '
         'stroke-width="1.2" stroke-linejoin="round"/>')
    if bar:
        bar_ = [(5, 3), (27, 3), (27, 6.5), (5, 6.5)]
        s += f'<polygon points="{turned(bar_, direction)}" fill="{INK}"/>'
    return s


def text(x, y, size, content, colour=INK, font=FONT, anchor="middle"):
    content = content.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return (f'<text x="{x}" y="{y}" font-family="{font}" font-size="{size}" fill="{colour}" '
            f'text-anchor="{anchor}">{content}</text>')


def gear(colour=GREY, cx=16, cy=16, r=11):
    import math
    pts = []
    teeth = 8
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4)
        rr = r if (i % 4) in (0, 1) else r * 0.74
        pts.append(f"{cx + rr * math.cos(a):.2f},{cy + rr * math.sin(a):.2f}")
    return (f'<polygon points="{" ".join(pts)}" fill="{colour}" stroke="{INK}" '
            f'stroke-width="1" stroke-linejoin="round"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r * 0.33:.2f}" fill="#fff" stroke="{INK}" '
            'stroke-width="1"/>')


def magnifier(cx=13, cy=13, r=8):
    return (f'<path d="M{cx + r * 0.7:.1f} {cy + r * 0.7:.1f}l8 8" stroke="{INK}" '
            'stroke-width="4.5" stroke-linecap="round"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#d6ebfb" stroke="{INK}" '
            'stroke-width="2.4"/>')


def bug(colour):
    return (f'<path d="M9 12l-4-3M23 12l4-3M8 18H3M24 18h5M9 24l-4 4M23 24l4 4" stroke="{INK}" '
            'stroke-width="1.8" stroke-linecap="round"/>'
            f'<ellipse cx="16" cy="19" rx="8" ry="10" fill="{colour}" stroke="{INK}" '
            'stroke-width="1.4"/>'
            f'<circle cx="16" cy="8.5" r="4.5" fill="{INK}"/>'
            f'<path d="M16 11v17" stroke="{INK}" stroke-width="1.4"/>')


def along(x0, y0, x1, y1, points):
    """Points given as (distance along the axis from (x0, y0) to (x1, y1), offset across it)."""
    import math
    length = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    return " ".join(f"{x0 + ux * a - uy * b:.2f},{y0 + uy * a + ux * b:.2f}" for a, b in points)


def pencil(x0=29, y0=5, x1=13, y1=21):
    """A pencil from its end (x0, y0) to its point (x1, y1)."""
    import math
    n = math.hypot(x1 - x0, y1 - y0)
    body = along(x0, y0, x1, y1, [(3, -3), (n - 5, -3), (n - 5, 3), (3, 3)])
    tip = along(x0, y0, x1, y1, [(n - 5, -3), (n, 0), (n - 5, 3)])
    end = along(x0, y0, x1, y1, [(0, -3), (3, -3), (3, 3), (0, 3)])
    return (f'<polygon points="{body}" fill="{ORANGE}" stroke="{INK}" stroke-width="1.1" '
            'stroke-linejoin="round"/>'
            f'<polygon points="{tip}" fill="#f3d7a6" stroke="{INK}" stroke-width="1.1" '
            'stroke-linejoin="round"/>'
            f'<polygon points="{end}" fill="{RED}" stroke="{INK}" stroke-width="1.1" '
            'stroke-linejoin="round"/>')


def floppy():
    return (f'<path d="M4 6a2 2 0 0 1 2-2h17l5 5v17a2 2 0 0 1-2 2H6a2 2 0 0 1-2-2z" '
            f'fill="{BLUE}" stroke="{DARKBLUE}" stroke-width="1.4" stroke-linejoin="round"/>'
            '<rect x="8" y="4" width="14" height="9" fill="#fff"/>'
            f'<rect x="17" y="5.5" width="3" height="6" fill="{DARKBLUE}"/>'
            f'<rect x="8" y="17" width="16" height="11" rx="1" fill="#e8eef5"/>')


def lines_aligned(align):
    s = ""
    for i, w in enumerate((22, 14, 22, 14, 22)):
        y = 6 + i * 5
        x = {"left": 5, "center": 16 - w / 2, "right": 27 - w}[align]
        s += f'<rect x="{x}" y="{y}" width="{w}" height="2.6" rx="1" fill="{INK}"/>'
    return s


def curved(direction, colour=BLUE):
    """Undo: an arrow pointing left that bends down to the right; redo is its mirror."""
    def x(v):
        return v if direction == "undo" else 32 - v
    return (f'<path d="M{x(11)} 11H{x(18)}A8 8 0 0 {1 if direction == "undo" else 0} {x(26)} 19V27" '
            f'fill="none" stroke="{colour}" stroke-width="3.8" stroke-linecap="round"/>'
            f'<polygon points="{x(3)},11 {x(12)},3.5 {x(12)},18.5" fill="{colour}"/>')


def refresh(colour=GREEN):
    import math
    r, cx, cy = 10, 16, 16
    a0, a1 = math.radians(35), math.radians(-50)  # the long way round, through the bottom
    p0 = (cx + r * math.cos(a0), cy + r * math.sin(a0))
    p1 = (cx + r * math.cos(a1), cy + r * math.sin(a1))
    # Head at p1, pointing along the circle's direction there (clockwise: angle increasing).
    tx, ty = -math.sin(a1), math.cos(a1)
    nx, ny = math.cos(a1), math.sin(a1)
    head = [(p1[0] + tx * 6, p1[1] + ty * 6), (p1[0] + nx * 5.5 - tx * 1, p1[1] + ny * 5.5 - ty * 1),
            (p1[0] - nx * 5.5 - tx * 1, p1[1] - ny * 5.5 - ty * 1)]
    pts = " ".join(f"{px:.2f},{py:.2f}" for px, py in head)
    return (f'<path d="M{p0[0]:.2f} {p0[1]:.2f}A{r} {r} 0 1 1 {p1[0]:.2f} {p1[1]:.2f}" '
            f'fill="none" stroke="{colour}" stroke-width="3.6" stroke-linecap="round"/>'
            f'<polygon points="{pts}" fill="{colour}"/>')


def round_sign(colour, inner):
    return (f'<circle cx="16" cy="16" r="13" fill="{colour}" stroke="{DARKBLUE}" '
            'stroke-width="1.2"/>' + inner)


ICONS = {
    "application-exit": (f'<path d="M5 4h13v24H5z" fill="{LIGHTGREY}" stroke="{INK}" '
                         'stroke-width="1.6" stroke-linejoin="round"/>'
                         f'<path d="M14 16h13M22 10l6 6-6 6" fill="none" stroke="{RED}" '
                         'stroke-width="3.4" stroke-linecap="round" stroke-linejoin="round"/>'),
    "application-x-executable": (f'<rect x="3" y="5" width="26" height="22" rx="2" '
                                 f'fill="{PAPER}" stroke="{INK}" stroke-width="1.6"/>'
                                 f'<rect x="3" y="5" width="26" height="6" rx="2" fill="{BLUE}"/>'
                                 + gear(GREY, 16, 19, 7)),
    "code-function": (f'<rect x="3" y="3" width="26" height="26" rx="5" fill="{PURPLE}"/>'
                      + text(16, 25, 22, "f", "#fff", SERIF)),
    "code-variable": (f'<rect x="3" y="3" width="26" height="26" rx="5" fill="{BLUE}"/>'
                      + text(16, 25, 21, "$", "#fff")),
    "configure": gear(BLUE),
    "debug-run": bug(GREEN) + f'<path d="M21 20l9 5-9 5z" fill="{ORANGE}" stroke="{INK}" '
                              'stroke-width="1" stroke-linejoin="round"/>',
    "document-close": page(True) + badge(RED, "cross"),
    "document-edit": page(True) + pencil(),
    "document-new": page() + badge(GREEN, "plus"),
    "document-new-from-template": page(True) + badge(ORANGE, "star"),
    "document-open": folder(True),
    "document-properties": page(True) + badge(BLUE, "i"),
    "document-save": floppy(),
    "document-save-as": floppy() + pencil(),
    "edit-copy": ('<g transform="translate(-3 -2)">' + page() + '</g>'
                  '<g transform="translate(4 2)">' + page(True) + '</g>'),
    "edit-cut": (f'<path d="M9 3l10 17M23 3L13 20" stroke="{GREY}" stroke-width="2.6" '
                 'stroke-linecap="round"/>'
                 f'<circle cx="10" cy="24" r="4.5" fill="none" stroke="{RED}" stroke-width="2.6"/>'
                 f'<circle cx="22" cy="24" r="4.5" fill="none" stroke="{RED}" '
                 'stroke-width="2.6"/>'),
    "edit-delete": (f'<path d="M8 9h16l-1.5 19h-13z" fill="{LIGHTGREY}" stroke="{INK}" '
                    'stroke-width="1.6" stroke-linejoin="round"/>'
                    f'<path d="M5 8h22M13 8V5h6v3M13 13v11M19 13v11" fill="none" stroke="{INK}" '
                    'stroke-width="1.8" stroke-linecap="round"/>'),
    "edit-find": magnifier(),
    "edit-find-replace": magnifier(11, 11, 7) + pencil(30, 12, 16, 26),
    "edit-paste": (f'<rect x="5" y="5" width="20" height="24" rx="2" fill="#b07b3c" '
                   f'stroke="{INK}" stroke-width="1.4"/>'
                   f'<rect x="11" y="2.5" width="8" height="5" rx="1.5" fill="{GREY}" '
                   f'stroke="{INK}" stroke-width="1.2"/>'
                   '<g transform="translate(6 6) scale(0.78)">' + page(True) + '</g>'),
    "edit-redo": curved("redo"),
    "edit-select-all": (f'<rect x="4" y="4" width="24" height="24" fill="#d6ebfb" stroke="{BLUE}" '
                        'stroke-width="2" stroke-dasharray="4 2.5"/>'
                        f'<path d="M9 11h14M9 16h14M9 21h9" stroke="{INK}" stroke-width="2"/>'),
    "edit-undo": curved("undo"),
    "emblem-symbolic-link": (f'<rect x="4" y="4" width="24" height="24" rx="3" fill="{PAPER}" '
                             f'stroke="{INK}" stroke-width="1.6"/>'
                             f'<path d="M10 23v-4a6 6 0 0 1 6-6h5" fill="none" stroke="{BLUE}" '
                             'stroke-width="3.2" stroke-linecap="round"/>'
                             f'<path d="M20 8l6 5-6 5z" fill="{BLUE}"/>'),
    "folder": folder(),
    "folder-new": folder() + badge(GREEN, "plus"),
    "folder-open": folder(True),
    "format-justify-center": lines_aligned("center"),
    "format-justify-left": lines_aligned("left"),
    "format-justify-right": lines_aligned("right"),
    "format-text-bold": text(16, 26, 26, "B"),
    "format-text-italic": ('<polygon points="14,5 23,5 22.3,8.2 20.1,8.2 16.4,23.8 18.6,23.8 '
                           f'17.9,27 8.9,27 9.6,23.8 11.8,23.8 15.5,8.2 13.3,8.2" fill="{INK}"/>'),
    "format-text-underline": (text(16, 23, 22, "U")
                              + f'<rect x="6" y="26" width="20" height="3" fill="{INK}"/>'),
    "go-bottom": arrow("down", bar=True),
    "go-down": arrow("down"),
    "go-home": (f'<path d="M6 15v13h8v-8h4v8h8V15" fill="{PAPER}" stroke="{INK}" '
                'stroke-width="1.6" stroke-linejoin="round"/>'
                f'<path d="M2.5 16.5L16 4l13.5 12.5" fill="none" stroke="{RED}" '
                'stroke-width="3.4" stroke-linecap="round" stroke-linejoin="round"/>'),
    "go-jump": (f'<path d="M6 26v-6a8 8 0 0 1 8-8h8" fill="none" stroke="{GREEN}" '
                'stroke-width="4" stroke-linecap="round"/>'
                f'<path d="M20 4l9 8-9 8z" fill="{GREEN}"/>'),
    "go-next": arrow("right"),
    "go-previous": arrow("left"),
    "go-top": arrow("up", bar=True),
    "go-up": arrow("up"),
    "help-about": round_sign(BLUE, '<circle cx="16" cy="9.5" r="2.3" fill="#fff"/>'
                                   '<path d="M16 14v10" stroke="#fff" stroke-width="3.6" '
                                   'stroke-linecap="round"/>'),
    "help-contents": round_sign(BLUE, text(16, 23, 20, "?", "#fff")),
    "help-hint": (f'<path d="M16 3a9 9 0 0 0-5 16.5V23h10v-3.5A9 9 0 0 0 16 3z" fill="{YELLOW}" '
                  f'stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>'
                  f'<path d="M11.5 25.5h9M12.5 28.5h7" stroke="{GREY}" stroke-width="2.2" '
                  'stroke-linecap="round"/>'),
    "insert-link": (f'<path d="M6 22l8-8" stroke="{GREY}" stroke-width="9" stroke-linecap="round"/>'
                    '<path d="M6 22l8-8" stroke="#fff" stroke-width="3.6" stroke-linecap="round"/>'
                    f'<path d="M18 18l8-8" stroke="{BLUE}" stroke-width="9" '
                    'stroke-linecap="round"/>'
                    '<path d="M18 18l8-8" stroke="#fff" stroke-width="3.6" '
                    'stroke-linecap="round"/>'),
    "list-add": (f'<path d="M16 5v22M5 16h22" stroke="{GREEN}" stroke-width="5.5" '
                 'stroke-linecap="round"/>'),
    "list-remove": (f'<path d="M5 16h22" stroke="{RED}" stroke-width="5.5" '
                    'stroke-linecap="round"/>'),
    "media-playback-start": (f'<path d="M8 4l20 12L8 28z" fill="{GREEN}" stroke="#237a34" '
                             'stroke-width="1.6" stroke-linejoin="round"/>'),
    "network-server": (f'<rect x="7" y="3" width="18" height="26" rx="2" fill="{LIGHTGREY}" '
                       f'stroke="{INK}" stroke-width="1.6"/>'
                       f'<path d="M10 9h12M10 14h12M10 19h12" stroke="{GREY}" stroke-width="2"/>'
                       f'<circle cx="21" cy="24.5" r="1.8" fill="{GREEN}"/>'),
    "preferences-desktop-font": (text(14, 25, 27, "A", INK, "DejaVu-Serif-Bold")
                                 + f'<rect x="3" y="27" width="26" height="2.6" fill="{BLUE}"/>'),
    "preferences-system": gear(GREY),
    "process-stop": (f'<path d="M11 3h10l8 8v10l-8 8H11l-8-8V11z" fill="{RED}" stroke="#a82224" '
                     'stroke-width="1.4" stroke-linejoin="round"/>'
                     '<rect x="9" y="14" width="14" height="4.5" rx="1" fill="#fff"/>'),
    "text-html": (page() + f'<path d="M13 15l-4 4.5 4 4.5M19 15l4 4.5-4 4.5" fill="none" '
                           f'stroke="{ORANGE}" stroke-width="2.6" stroke-linecap="round" '
                           'stroke-linejoin="round"/>'),
    "text-x-script": (page()
                      + f'<path d="M10.5 13h8" stroke="{BLUE}" stroke-width="2.2"/>'
                      + f'<path d="M13 17.5h9" stroke="{ORANGE}" stroke-width="2.2"/>'
                      + f'<path d="M13 22h6" stroke="{GREEN}" stroke-width="2.2"/>'
                      + f'<path d="M10.5 26h9" stroke="{BLUE}" stroke-width="2.2"/>'),
    "tools-check-spelling": (text(15, 17, 13, "abc", INK)
                             + f'<path d="M8 23l5 5 12-12" fill="none" stroke="{GREEN}" '
                             'stroke-width="3.4" stroke-linecap="round" stroke-linejoin="round"/>'),
    "tools-report-bug": bug(RED),
    "view-choose": "".join(f'<rect x="{x}" y="{y}" width="11" height="11" rx="1.5" '
                           f'fill="{c}" stroke="{INK}" stroke-width="1.2"/>'
                           for x, y, c in ((4, 4, BLUE), (17, 4, LIGHTGREY), (4, 17, LIGHTGREY),
                                           (17, 17, LIGHTGREY))),
    "view-refresh": refresh(),
    "view-task": (f'<rect x="5" y="3" width="22" height="26" rx="2" fill="{PAPER}" stroke="{INK}" '
                  'stroke-width="1.6"/>'
                  + "".join(f'<path d="M8.5 {y}l2 2 3.5-4" fill="none" stroke="{GREEN}" '
                            'stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>'
                            f'<path d="M16 {y + 0.5}h8" stroke="{GREY}" stroke-width="2"/>'
                            for y in (9, 16, 23))),
    "window-close": (f'<path d="M8 8l16 16M24 8L8 24" stroke="{INK}" stroke-width="4" '
                     'stroke-linecap="round"/>'),
}


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" '
            f'viewBox="0 0 32 32">{body}</svg>')


def main():
    out = os.path.join(HERE, THEME)
    shutil.rmtree(out, ignore_errors=True)
    files = []
    with tempfile.TemporaryDirectory() as tmp:
        for name, body in sorted(ICONS.items()):
            src = os.path.join(tmp, name + ".svg")
            with open(src, "w") as f:
                f.write(svg(body))
            for size in SIZES:
                folder_ = os.path.join(out, f"{size}x{size}")
                os.makedirs(folder_, exist_ok=True)
                png = os.path.join(folder_, name + ".png")
                subprocess.run(["convert", "-background", "none", "-density", "768", src,
                                "-resize", f"{size}x{size}", "-depth", "8", "-strip",
                                "PNG32:" + png], check=True)
                files.append(os.path.relpath(png, HERE))
    dirs = ",".join(f"{s}x{s}" for s in SIZES)
    with open(os.path.join(out, "index.theme"), "w") as f:
        f.write("[Icon Theme]\nName=Quillforge fallback\n"
                "Comment=The program's own icons, for desktops whose theme lacks them\n"
                f"Directories={dirs}\n")
        for s in SIZES:
            f.write(f"\n[{s}x{s}]\nSize={s}\nType=Fixed\n")
    files.append(os.path.join(THEME, "index.theme"))
    with open(os.path.join(HERE, "icons.qrc"), "w") as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/icons">\n')
        for path in sorted(files):
            f.write(f"    <file>{path}</file>\n")
        f.write("</qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
