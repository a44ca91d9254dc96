"""Tamberlo's pictures, drawn by tools/make-images with its kit (palette,
fonts, Picture)."""


def pictures(kit):
    return {"Tamberlo.bmp": bitmap(kit), "Tamberlo.ico": icon(kit)}


def bitmap(kit):
    p = kit.Picture(24, 24, kit.BLACK)
    p.frame(kit.GREY)
    p.text_centred(kit.SMALL, "4 BIT", 3, kit.GREEN)
    p.text_centred(kit.LARGE, "BCD", 10, kit.GREEN)
    return p


def icon(kit):
    """One digit of a seven-segment display, all segments lit: an 8 in red
    on a black panel with rounded corners."""
    p = kit.Picture(16, 16, kit.TRANSPARENT)
    p.fill(2, 0, 13, 15, kit.BLACK)
    for x, y in ((2, 0), (13, 0), (2, 15), (13, 15)):
        p.set(x, y, kit.TRANSPARENT)
    for y in (1, 7, 13):               # top, middle, bottom
        p.fill(5, y, 10, y + 1, kit.RED)
    for y in (3, 9):                   # upper and lower pairs of verticals
        p.fill(3, y, 4, y + 3, kit.RED)
        p.fill(11, y, 12, y + 3, kit.RED)
    return p
