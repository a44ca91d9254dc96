"""Quenvik's icon, drawn by tools/make-images with its kit (palette, fonts,
Picture)."""


def pictures(kit):
    return {"Quenvik.ico": icon(kit)}


def icon(kit):
    """A plus sign, navy with a white edge so that it shows on any ground."""
    p = kit.Picture(16, 16, kit.TRANSPARENT)
    p.fill(5, 1, 10, 14, kit.WHITE)
    p.fill(1, 5, 14, 10, kit.WHITE)
    p.fill(6, 2, 9, 13, kit.NAVY)
    p.fill(2, 6, 13, 9, kit.NAVY)
    return p
