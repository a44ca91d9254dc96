"""What the help says of Tamberlo beyond what the part itself gives:
what its pins mean, where each output's segment sits, and its truth table
as the segment table with each code's digit drawn. tools/help-facts reads
it with its kit (the tables' cells, the drawing) and the part (pins, truth
rows)."""

# The outputs run through the display row by row (README): where each
# output's segment sits, and the letter a display's data sheet usually
# gives that place.
SEGMENT_PLACES = [("oben", "a"), ("links oben", "f"), ("rechts oben", "b"), ("Mitte", "g"),
                  ("links unten", "e"), ("rechts unten", "c"), ("unten", "d")]
DIGITS = "0123456789AbCdEF"

MEANINGS = {
    "i": ["Wertigkeit 1 (niederwertigstes Bit)", "Wertigkeit 2", "Wertigkeit 4",
          "Wertigkeit 8 (h&ouml;chstwertiges Bit)"],
    "o": [f"Segment {place}" for place, _ in SEGMENT_PLACES],
}

# Shown as the segment table below, with the digits drawn.
TRUTH_TABLE = None

DIGIT_SIZE = (24, 36)
SEGMENT_BARS = [  # rectangles of the seven places, in reading order, on a 24x36 digit
    (6, 3, 17, 5), (3, 6, 5, 16), (18, 6, 20, 16), (6, 17, 17, 19), (3, 20, 5, 30), (18, 20, 20, 30),
    (6, 31, 17, 33)]


def extras(kit, part):
    tables = {"segmente": segment_names_table(kit, part.pins),
              "segmenttabelle": segment_table(kit, part.pins, part.rows)}
    files = {"bilder/segmente.png": ("the segments' numbers and letters", segments_picture(kit, part.pins))}
    for row in part.rows:
        code = decoder_code(row)
        files[f"bilder/ziffer-{code:02d}.png"] = (f"the digit of code {code} ({DIGITS[code]})",
                                                  digit_picture(kit, row[1]))
    return tables, files


def decoder_code(row):
    inputs, _ = row
    return sum(bit << place for place, bit in enumerate(inputs))


def segment_table(kit, pins, rows):
    cell = kit.cell
    weights = list(reversed(pins.labels["i"]))
    lines = ["<table>", kit.header("Code", "Eing&auml;nge<br>" + " ".join(weights), "Anzeige",
                                   *[f"{n}<br>{kit.entities(label)}" for n, label in enumerate(pins.labels["o"], 1)])]
    for row in sorted(rows, key=decoder_code):
        code = decoder_code(row)
        inputs = " ".join(str(bit) for bit in reversed(row[0]))
        lines.append(f"<tr>{cell(code)}{cell(inputs)}"
                     f'<td class="n"><img src="bilder/ziffer-{code:02d}.png" width="{DIGIT_SIZE[0]}" '
                     f'height="{DIGIT_SIZE[1]}" alt="{DIGITS[code]}"></td>'
                     + "".join(cell(bit) for bit in row[1]) + "</tr>")
    lines.append("</table>")
    return lines


def segment_names_table(kit, pins):
    cell = kit.cell
    lines = ["<table>", "<tr><th>Ausgang</th><th>Name</th><th>Beschriftung</th><th>Lage des Segments</th>"
             "<th>&uuml;bliche Bezeichnung</th></tr>"]
    for number, (name, label, (place, usual)) in enumerate(zip(pins.names["o"], pins.labels["o"], SEGMENT_PLACES), 1):
        lines.append(f"<tr>{cell(number)}{cell(name, False)}{cell(label)}{cell(place, False)}{cell(usual)}</tr>")
    lines.append("</table>")
    return lines


def digit_picture(kit, outputs):
    draw = kit.draw
    canvas = draw.Canvas(*DIGIT_SIZE)
    canvas.fill(0, 0, DIGIT_SIZE[0] - 1, DIGIT_SIZE[1] - 1, draw.DARK_RED)
    for bar, lit in zip(SEGMENT_BARS, outputs):
        canvas.fill(*bar, draw.RED if lit else draw.DIM_RED)
    return canvas.png()


def segments_picture(kit, pins):
    """Two large digits: the places numbered as the part's outputs with its
    labels, and the same places with the letters usually given them."""
    draw = kit.draw
    canvas = draw.Canvas(420, 200)
    scale = 4
    for left, title, names in ((20, "Am Bauteil: Ausgang (Beschriftung)",
                                [f"{n} ({label})" for n, label in enumerate(pins.labels["o"], 1)]),
                               (230, "Sonst \u00fcblich", [usual for _, usual in SEGMENT_PLACES])):
        canvas.text(left + 70, 4, title, align="centre")
        for (x0, y0, x1, y1), name in zip(SEGMENT_BARS, names):
            bar = (left + 20 + x0 * scale, 24 + y0 * scale, left + 20 + x1 * scale, 24 + y1 * scale)
            canvas.fill(*bar, draw.RED)
            centre_x, centre_y = (bar[0] + bar[2]) // 2, (bar[1] + bar[3]) // 2
            if x1 - x0 > y1 - y0:  # a horizontal bar: its name above it
                canvas.text(centre_x, bar[1] - 14, name, draw.BLUE, align="centre")
            elif x0 < 10:  # a left bar: its name left of it
                canvas.text(bar[0] - 3, centre_y - 6, name, draw.BLUE, align="right")
            else:
                canvas.text(bar[2] + 4, centre_y - 6, name, draw.BLUE)
    return canvas.png()
