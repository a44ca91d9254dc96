"""Morrel's pictures, drawn by tools/make-images with its kit (palette,
fonts, Picture)."""

# The name "Morrel": capital M and l seven rows high, the rest five. Glyphs
# as the kit's fonts have them.
NAME = {
    'M': ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    'o': ["...", "...", "###", "#.#", "#.#", "#.#", "###"],
    'r': ["..", "..", "##", "#.", "#.", "#.", "#."],
    'e': ["...", "...", "###", "#.#", "###", "#..", "###"],
    'l': ["#", "#", "#", "#", "#", "#", "#"],
}


def pictures(kit):
    return {"Morrel.bmp": bitmap(kit), "Morrel.ico": icon(kit)}


def bitmap(kit):
    p = kit.Picture(24, 24, kit.BLACK)
    p.frame(kit.GREY)
    p.text_centred(NAME, "Morrel", 4, kit.GREEN)
    # "4 8 16": a wider space between the widths than inside "16".
    x = p.text(kit.SMALL, "4", 2, 15, kit.GREEN)
    x = p.text(kit.SMALL, "8", x + 3, 15, kit.GREEN)
    p.text(kit.SMALL, "16", x + 3, 15, kit.GREEN)
    return p


def icon(kit):
    p = kit.Picture(16, 16, kit.TRANSPARENT)
    p.text_centred(NAME, "Mor", 0, kit.BLACK)
    p.text_centred(NAME, "rel", 9, kit.BLACK)
    return p
