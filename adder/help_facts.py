"""What the help says of Quenvik beyond what the part itself gives: what
its pins mean and the worked sum of four of it as a ripple-carry adder.
tools/help-facts reads it with its kit (the tables' cells, the drawing) and
the part (name, pins, truth rows)."""

MEANINGS = {
    "i": ["erster Summand", "zweiter Summand", "&Uuml;bertragseingang (von der niederwertigeren Stelle)"],
    "o": ["Summenbit", "&Uuml;bertragsausgang (zur h&ouml;herwertigen Stelle)"],
}

# The worked sum: 7 + 5, whose carry runs through three of the four places.
SUMMANDS = (7, 5)


def extras(kit, part):
    places = ripple_carry(part.rows)
    return ({"addierwerk": ripple_table(kit, places)},
            {"bilder/addierwerk.png": ("the ripple-carry adder with its worked sum",
                                       ripple_picture(kit, part.name, places))})


def ripple_carry(rows):
    """The four places of the worked sum, lowest first: (A, B, carry in,
    sum, carry out), each place's carry in the carry out of the place
    below, looked up in the adder's truth table."""
    table = dict(rows)
    places, carry = [], 0
    for place in range(4):
        a, b = (SUMMANDS[0] >> place) & 1, (SUMMANDS[1] >> place) & 1
        total, carry_out = table[(a, b, carry)]
        places.append((a, b, carry, total, carry_out))
        carry = carry_out
    return places


def ripple_table(kit, places):
    """The places as rows, the highest first as in the picture, each named
    by its number as the bits A0 ... A3 are."""
    cell = kit.cell
    lines = ["<table>", kit.header("Stelle", "A", "B", "&Uuml; (Eingang)", "S", "&Uuml; (Ausgang)")]
    for place, values in reversed(list(enumerate(places))):
        lines.append(f"<tr>{cell(place)}" + "".join(cell(v) for v in values) + "</tr>")
    top = len(places)
    result = sum(values[3] << place for place, values in enumerate(places)) + (places[-1][4] << top)
    lines.append("</table>")
    lines.append(f"<p>Ergebnis: {SUMMANDS[0]} + {SUMMANDS[1]} = {result} "
                 f"(dual {SUMMANDS[0]:04b} + {SUMMANDS[1]:04b} = {result:05b}; "
                 f"S{top}, die f&uuml;nfte Stelle, ist der &Uuml;bertrag aus Stelle {top - 1}).</p>")
    return lines


# The picture's layout: each place's box, the gap between two boxes that
# the carry runs through, where the highest place's box begins, right of
# its carry out and the label of the sum's top bit, the wires of the
# carries into and out of the whole, and the carries' height.
BOX, GAP, FIRST_LEFT, OUTER_WIRE = 90, 34, 48, 30
CARRY_Y = 110


def ripple_picture(kit, name, places):
    """Four adders in a row, the lowest place on the right as one writes a
    number, each carry out wired to the carry in of the next on its left,
    an arrowhead on every carry wire where the carry goes; every bit
    written with its number and level as the page names it."""
    draw = kit.draw
    top = len(places) - 1
    lowest_left = FIRST_LEFT + top * (BOX + GAP)
    canvas = draw.Canvas(lowest_left + BOX + OUTER_WIRE + 2, 200)
    for index, (a, b, carry_in, total, _) in enumerate(places):
        left = lowest_left - index * (BOX + GAP)
        canvas.box(left, 50, left + BOX, 140, draw.BLACK, draw.LIGHT)
        canvas.text(left + 45, 68, name, align="centre")
        canvas.text(left + 45, 84, f"Stelle {index}", draw.GREY, align="centre")
        for x, label, value in ((left + 25, "A", a), (left + 65, "B", b)):
            canvas.line(x, 20, x, 49, draw.BLACK)
            canvas.text(x, 4, f"{label}{index} = {value}", draw.BLUE, align="centre")
            canvas.text(x, 53, label, draw.GREEN, align="centre")
        canvas.line(left + 45, 141, left + 45, 168, draw.BLACK)
        canvas.text(left + 45, 124, "S", draw.GREEN, align="centre")
        canvas.text(left + 45, 172, f"S{index} = {total}", draw.RED, align="centre")
        canvas.text(left + 4, CARRY_Y - 7, "\u00dc aus", draw.GREEN)
        canvas.text(left + BOX - 4, CARRY_Y - 7, "\u00dc ein", draw.GREEN, align="right")
        # The carry in, from the place on the right or, for place 0, from outside.
        wire = (left + BOX + 1, left + BOX + (GAP - 1 if index else OUTER_WIRE))
        carry_wire(canvas, draw, *wire)
        canvas.text(sum(wire) // 2 + 2, CARRY_Y + 4, str(carry_in), draw.RED, align="centre")
    carry_wire(canvas, draw, FIRST_LEFT - OUTER_WIRE, FIRST_LEFT - 1)
    canvas.text(2, CARRY_Y - 16, f"S{top + 1} = {places[-1][4]}", draw.RED)
    return canvas.png()


def carry_wire(canvas, draw, left, right):
    """A carry's wire from right to left, its arrowhead at the left end."""
    canvas.line(left, CARRY_Y, right, CARRY_Y, draw.BLACK)
    for step in range(5):
        canvas.line(left + step, CARRY_Y - step, left + step, CARRY_Y + step, draw.BLACK)
