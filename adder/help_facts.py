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
    return ({"addierwerk": ripple_table(kit, part.name, places)},
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


def ripple_table(kit, name, places):
    cell = kit.cell
    lines = ["<table>", kit.header("Stelle", "Bauteil", "A", "B", "&Uuml; (Eingang)", "S", "&Uuml; (Ausgang)")]
    for place, values in reversed(list(enumerate(places))):
        lines.append(f"<tr>{cell(2 ** place)}{cell(f'{name} {place + 1}')}" + "".join(cell(v) for v in values)
                     + "</tr>")
    result = sum(values[3] << place for place, values in enumerate(places)) + (places[-1][4] << 4)
    lines.append("</table>")
    lines.append(f"<p>Ergebnis: {SUMMANDS[0]} + {SUMMANDS[1]} = {result} "
                 f"(dual {SUMMANDS[0]:04b} + {SUMMANDS[1]:04b} = {result:05b}; "
                 f"die f&uuml;nfte Stelle ist der &Uuml;bertrag des letzten Bauteils).</p>")
    return lines


def ripple_picture(kit, name, places):
    """Four adders in a row, the lowest place on the right as one writes a
    number, each carry out wired to the carry in of the next on its left;
    the worked sum's levels written at the wires."""
    draw = kit.draw
    canvas = draw.Canvas(660, 200)
    for index, (a, b, carry_in, total, carry_out) in enumerate(places):
        left = 510 - index * 150
        canvas.box(left, 50, left + 90, 140, draw.BLACK, draw.LIGHT)
        canvas.text(left + 45, 70, f"{name} {index + 1}", align="centre")
        canvas.text(left + 45, 86, f"Stelle {2 ** index}", draw.GREY, align="centre")
        for x, label, value in ((left + 25, "A", a), (left + 65, "B", b)):
            canvas.line(x, 20, x, 49, draw.BLACK)
            canvas.text(x, 4, f"{label}{index} = {value}", draw.BLUE, align="centre")
            canvas.text(x, 53, label, draw.GREEN, align="centre")
        canvas.line(left + 45, 141, left + 45, 168, draw.BLACK)
        canvas.text(left + 45, 124, "S", draw.GREEN, align="centre")
        canvas.text(left + 45, 172, f"S{index} = {total}", draw.RED, align="centre")
        canvas.line(left + 91, 110, left + 120, 110, draw.BLACK)  # carry in, from the place on the right
        canvas.text(left + 85, 103, "\u00dc", draw.GREEN, align="right")
        canvas.line(left - 30, 110, left - 1, 110, draw.BLACK)  # carry out, to the place on the left
        canvas.text(left + 5, 103, "\u00dc", draw.GREEN)
        canvas.text(left - 15, 114, str(carry_out), draw.RED, align="centre")
    canvas.text(650, 114, str(places[0][2]), draw.RED, align="right")
    canvas.text(4, 94, "S4", draw.RED)
    return canvas.png()
