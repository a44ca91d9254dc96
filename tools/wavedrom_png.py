"""Draws a timing diagram from WaveDrom's JSON (the convention of the
field for digital waves) as a PNG without alpha, for the help viewer of
Windows XP, which shows neither SVG nor script.

Of WaveDrom's format, what the help's diagrams use: "signal" as a list of
{"name", "wave"} with the wave characters 0, 1, x, "." (the previous
value goes on) and H (1 after a 0, its rising edge marked with an arrow), "head" with "text" and "tick" (the number of the first
period, written over each period), and "foot" with "text". A character is
one period. Anything else in the JSON is refused, so that nothing in a
diagram goes undrawn unnoticed.
"""

import help_drawing as draw

PERIOD = 22
ROW = 30
HIGH, LOW = 6, 22  # a row's levels, from its top
TOP = 40


def wave_string(values):
    """WaveDrom's wave of a list of levels ("0", "1", "x"): a repeated
    level is written as "."."""
    return "".join("." if i and value == values[i - 1] else value for i, value in enumerate(values))


def levels(wave):
    out = []
    for c in wave:
        if c == ".":
            if not out:
                raise ValueError("a wave cannot start with '.'")
            out.append(out[-1])
        elif c in "01x":
            out.append(c)
        elif c == "H":
            if not out or out[-1] != "0":
                raise ValueError(f"an edge marked at period {len(out)}, where the wave does not rise from 0")
            out.append("1")
        else:
            raise ValueError(f"wave character {c!r} is not drawn here")
    return out


def marked_edges(wave):
    """The periods whose rising edge the wave marks."""
    return [period for period, c in enumerate(wave) if c == "H"]


def check_keys(diagram):
    unknown = set(diagram) - {"signal", "head", "foot"}
    unknown |= {f"signal.{key}" for signal in diagram["signal"] for key in set(signal) - {"name", "wave"}}
    unknown |= {f"head.{key}" for key in set(diagram.get("head", {})) - {"text", "tick"}}
    unknown |= {f"foot.{key}" for key in set(diagram.get("foot", {})) - {"text"}}
    if unknown:
        raise ValueError("not drawn here: " + ", ".join(sorted(unknown)))


def render(diagram):
    check_keys(diagram)
    signals = [(signal["name"], levels(signal["wave"])) for signal in diagram["signal"]]
    marks = [marked_edges(signal["wave"]) for signal in diagram["signal"]]
    periods = max(len(wave) for _, wave in signals)
    names = max(draw.font().width(name) for name, _ in signals) + 16
    width = names + periods * PERIOD + 10
    height = TOP + len(signals) * ROW + 30
    canvas = draw.Canvas(width, height)
    head, foot = diagram.get("head", {}), diagram.get("foot", {})
    if "text" in head:
        canvas.text(width // 2, 2, head["text"], align="centre")
    for period in range(periods + 1):
        x = names + period * PERIOD
        for y in range(TOP - 4, TOP + len(signals) * ROW, 3):
            canvas.dot(x, y, draw.GREY)
        if "tick" in head and period < periods:
            canvas.text(x + PERIOD // 2, TOP - 18, str(head["tick"] + period), draw.GREY, align="centre")
    for row, (name, wave) in enumerate(signals):
        top = TOP + row * ROW
        canvas.text(4, top + 8, name)
        for period, level in enumerate(wave):
            x0, x1 = names + period * PERIOD, names + (period + 1) * PERIOD
            if level == "x":
                canvas.fill(x0, top + HIGH, x1, top + LOW, draw.LIGHT)
                continue
            y = top + (HIGH if level == "1" else LOW)
            canvas.line(x0, y, x1, y, draw.BLUE, thick=2)
            if period and wave[period - 1] not in (level, "x"):
                canvas.line(x0, top + HIGH, x0, top + LOW + 1, draw.BLUE, thick=2)
        for period in marks[row]:
            edge_arrow(canvas, names + period * PERIOD, top + HIGH + 3)
    if "text" in foot:
        canvas.text(width // 2, height - 18, foot["text"], draw.GREY, align="centre")
    return canvas.png()


def edge_arrow(canvas, x, tip):
    """An arrowhead pointing up, its tip at (x, tip), on a rising edge drawn
    two pixels thick from x."""
    for step in range(5):
        canvas.fill(x - step, tip + step, x + 1 + step, tip + step, draw.RED)
