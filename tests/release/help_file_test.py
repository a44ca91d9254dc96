#!/usr/bin/env python3
"""Checks the compiled help file korvelant.chm against its sources.

    help_file_test.py CHM_FILE HELP_SOURCE_FOLDER VERSION

The plug-ins open the help file with HH_HELP_CONTEXT and the context
numbers 201 (decoder), 300 (adder) and 101 (shift register). The help
control looks a number up in the file's context map, the internal file #IVB
(pairs of number and offset into #STRINGS), and opens the topic that the
string names, relative to the root of the CHM. This test reads the CHM
itself (ITSF container, directory, LZX-compressed section) with the
standard library only and checks that

  - each of the three numbers leads to its topic, as a root-relative path
    of a topic that is in the file (not the compiling machine's path);
  - the project file declares the same map;
  - every source page and picture is in the file unchanged, but for the
    version, which the build fills in and the start page shows;
  - the file names its default topic, title and German language;
  - its keyword index and full-text search find German words, and its
    window definition gives the viewer a navigation pane with contents,
    index and search;
  - every page and picture is one that the help viewer of Windows XP shows:
    HTML 4 and CSS 2 without script, SVG or objects other than the
    sitemap's, pictures as GIF or PNG without an alpha channel, none wider
    than the room the viewer leaves beside its contents pane.
"""

import os
import re
import struct
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
from chm_reader import Chm, cstring  # noqa: E402

CONTEXT_MAP = {101: "shiftreg.htm", 201: "decoder.htm", 300: "adder.htm"}
TITLES = {"shiftreg.htm": "Schieberegister", "decoder.htm": "BCD-Anzeige", "adder.htm": "Quenvik (Volladdierer)"}

# --- the checks -------------------------------------------------------------

class HelpFileTest(unittest.TestCase):
    chm_path = help_folder = version = None

    @classmethod
    def setUpClass(cls):
        with open(cls.chm_path, "rb") as f:
            cls.chm = Chm(f.read())

    def context_map(self):
        ivb = self.chm.read("/#IVB")
        strings = self.chm.read("/#STRINGS")
        size = struct.unpack_from("<I", ivb, 0)[0]
        self.assertEqual(len(ivb) - 4, size, "#IVB: its length field")
        self.assertEqual(0, size % 8)
        pairs = [struct.unpack_from("<II", ivb, 4 + 8 * i) for i in range(size // 8)]
        return {number: cstring(strings, offset) for number, offset in pairs}

    def test_context_numbers_lead_to_their_topics_inside_the_file(self):
        mapping = self.context_map()
        self.assertEqual(CONTEXT_MAP, mapping)
        for number, topic in mapping.items():
            with self.subTest(context=number):
                self.assertNotRegex(topic, r"^[/\\]|^[A-Za-z]:|\\|(^|/)\.\.(/|$)", "root-relative")
                self.assertIn("/" + topic, self.chm.entries, "the topic is in the file")
                page = self.chm.read("/" + topic).decode("cp1252")
                title = re.search(r"<title>(.*?)</title>", page, re.S | re.I)
                self.assertEqual(TITLES[topic], title and title.group(1))

    def test_project_declares_the_same_map(self):
        with open(os.path.join(self.help_folder, "korvelant.hhp"), encoding="cp1252") as f:
            project = f.read()
        alias = dict(re.findall(r"^(\w+)=(\S+)\s*$", section(project, "ALIAS"), re.M))
        numbers = {name: int(n) for name, n in re.findall(r"^#define\s+(\w+)\s+(\d+)", section(project, "MAP"), re.M)}
        self.assertEqual(CONTEXT_MAP, {numbers[name]: alias[name] for name in numbers})

    def test_file_holds_every_source_page_unchanged(self):
        with open(os.path.join(self.help_folder, "korvelant.hhp"), encoding="cp1252") as f:
            project = f.read()
        files = section(project, "FILES").split() + ["korvelant.hhc", "korvelant.hhk"]
        for name in files:
            with self.subTest(file=name):
                with open(os.path.join(self.help_folder, name), "rb") as f:
                    source = f.read().replace(b"@PROJECT_VERSION@", self.version.encode())
                self.assertIn("/" + name, self.chm.entries)
                self.assertTrue(self.chm.read("/" + name) == source, f"{name} differs from docs/help/{name}")

    def test_file_names_default_topic_title_and_german(self):
        records = self.system_records()
        self.assertEqual("index.htm", cstring(records[2], 0))
        self.assertEqual("Korvelant-Bauteile", cstring(records[3], 0))
        self.assertEqual(0x0407, struct.unpack_from("<I", records[4], 0)[0])
        self.assertEqual(0x0407, self.chm.language)
        self.assertIn(f"Version {self.version}", self.chm.read("/index.htm").decode("cp1252"))


    def test_keyword_index_lists_the_words_of_the_trade_in_german_order(self):
        keywords = binary_index_keywords(self.chm)
        titles = topic_titles(self.chm)
        for word in INDEX_WORDS:
            with self.subTest(keyword=word):
                self.assertIn(word, keywords, "in the index")
                self.assertTrue(all(0 <= topic < len(titles) for topic in keywords[word]), "leads to topics")
        self.assertEqual(sorted(keywords, key=german_sort_key), list(keywords), "in the order of a German dictionary")
        with open(os.path.join(self.help_folder, "korvelant.hhk"), encoding="cp1252") as f:
            source = f.read()
        named = [name for name in re.findall(r'<param name="Name" value="([^"]*)">', source)]
        self.assertEqual(sorted(set(named), key=german_sort_key),
                         sorted({word.split(", ")[-1] for word in keywords}, key=german_sort_key),
                         "the binary index has every keyword of korvelant.hhk, umlauts and all")

    def test_every_index_and_contents_entry_leads_to_a_place_in_the_file(self):
        for sitemap in ("korvelant.hhk", "korvelant.hhc"):
            with open(os.path.join(self.help_folder, sitemap), encoding="cp1252") as f:
                source = f.read()
            entries = re.findall(r'<param name="Name" value="([^"]*)">\s*<param name="Local" value="([^"]*)">', source)
            self.assertTrue(entries, sitemap)
            for name, local in entries:
                with self.subTest(sitemap=sitemap, entry=name):
                    page, _, anchor = local.partition("#")
                    self.assertTrue("/" + page in self.chm.entries, f"{local}: no such page in the file")
                    if anchor:
                        text = self.chm.read("/" + page).decode("cp1252")
                        self.assertTrue(f'<a name="{anchor}"' in text, f"{local}: no such anchor on {page}")

    def test_full_text_search_finds_german_words_on_their_pages(self):
        found = full_text_words(self.chm)
        titles = topic_titles(self.chm)
        for word, page_title in (("löschen", "Schieberegister"), ("übertrag", "Quenvik (Volladdierer)"),
                                 ("pseudotetraden", "BCD-Anzeige"), ("größer", "Korvelant-Bauteile")):
            with self.subTest(word=word):
                self.assertIn(word, found)
                self.assertIn(page_title, {titles[topic] for topic in found[word]})
        debris = sorted(word for word in found if re.search(r"(^|[^a-z])(auml|ouml|uuml|szlig|nbsp|bdquo)", word))
        self.assertEqual([], debris, "entities are read as the letters they stand for")

    def test_window_definition_gives_navigation_contents_index_and_search(self):
        strings = self.chm.read("/#STRINGS")
        windows = self.chm.read("/#WINDOWS")
        count, entry_size = struct.unpack_from("<II", windows, 0)
        self.assertEqual((1, 196), (count, entry_size))
        entry = windows[8:8 + entry_size]
        name, valid, properties = struct.unpack_from("<III", entry, 8)
        toc, index, default = struct.unpack_from("<III", entry, 0x60)
        self.assertEqual(cstring(strings, name), self.system_records()[5].rstrip(b"\0").decode(),
                         "the default window is the one defined")
        self.assertEqual(("korvelant.hhc", "korvelant.hhk", "index.htm"),
                         tuple(cstring(strings, at) for at in (toc, index, default)))
        for flag, what in ((HHWIN_PROP_TRI_PANE, "navigation pane"), (HHWIN_PROP_TAB_SEARCH, "search tab")):
            self.assertTrue(properties & flag, what)
        with open(os.path.join(self.help_folder, "korvelant.hhp"), encoding="cp1252") as f:
            line = section(f.read(), "WINDOWS").strip()
        self.assertEqual(valid_members(line), valid, "the viewer is told exactly the fields the project gives")

    def test_pages_and_pictures_are_what_the_viewer_of_windows_xp_shows(self):
        with open(os.path.join(self.help_folder, "korvelant.hhp"), encoding="cp1252") as f:
            files = section(f.read(), "FILES").split()
        for name in files:
            with self.subTest(file=name):
                data = self.chm.read("/" + name)
                if name.endswith(".htm"):
                    self.assertEqual([], old_viewer_page_findings(data.decode("cp1252"), files))
                elif name.endswith(".css"):
                    self.assertEqual([], old_viewer_css_findings(data.decode("cp1252")))
                else:
                    self.assertEqual("", picture_finding(data), name)

    def system_records(self):
        system = self.chm.read("/#SYSTEM")
        records, pos = {}, 4
        while pos + 4 <= len(system):
            code, length = struct.unpack_from("<HH", system, pos)
            records[code] = system[pos + 4:pos + 4 + length]
            pos += 4 + length
        return records


# The words a teacher looks for first, each a keyword of the index.
INDEX_WORDS = ["Übertrag", "Flanke", "Takt", "Löschen", "Segment", "Pegel", "Laufzeit nachbilden", "BCD",
               "Pseudotetrade", "Siebensegmentanzeige", "Volladdierer", "Schieberegister", "Netzlaufwerk",
               "Installation", "Entfernen", "Zulassen", "Schulnetz", "Aktion abgebrochen",
               "Die Seite kann nicht angezeigt werden", "Serieller Eingang", "Schiebefreigabe", "Summe",
               "7-Segment-Anzeige", "Tamberlo.dll", "Quenvik.dll", "Morrel.dll"]

HHWIN_PROP_TRI_PANE, HHWIN_PROP_TAB_SEARCH = 1 << 5, 1 << 10
# The fields of a [WINDOWS] line after its five strings and four jump
# button strings, with the bit of HH_WINTYPE's valid members each sets.
WINDOW_NUMBER_FIELDS = [1 << 1, 1 << 5, 1 << 8, 1 << 4, 1 << 2, 1 << 3, 1 << 6, 1 << 9, 1 << 13, 1 << 10, 0]


def valid_members(line):
    fields = re.findall(r'("[^"]*"|\[[^\]]*\]|[^,]*)(?:,|$)', line.split("=", 1)[1])
    return sum(bit for bit, field in zip(WINDOW_NUMBER_FIELDS, fields[9:]) if field.strip())


def german_sort_key(word):
    folded = word.lower().translate(str.maketrans({"ä": "a", "ö": "o", "ü": "u", "ß": "ss"}))
    return folded, word


def topic_titles(chm):
    topics, strings = chm.read("/#TOPICS"), chm.read("/#STRINGS")
    titles = []
    for at in range(0, len(topics), 16):
        title = struct.unpack_from("<I", topics, at + 4)[0]
        titles.append(cstring(strings, title) if title != 0xFFFFFFFF else "")
    return titles


def binary_index_keywords(chm):
    """The keywords of $WWKeywordLinks/BTree in their stored order, each
    with the topics it leads to."""
    tree = chm.read("/$WWKeywordLinks/BTree")
    block_size, = struct.unpack_from("<H", tree, 4)
    last_listing_block, = struct.unpack_from("<I", tree, 0x1A)
    keywords = {}
    for block in range(last_listing_block + 1):
        at = 0x4C + block * block_size
        free, entries = struct.unpack_from("<HH", tree, at)
        pos = at + 12
        for _ in range(entries):
            end = pos
            while tree[end:end + 2] != b"\0\0":
                end += 2
            keyword = tree[pos:end].decode("utf-16-le")
            pos = end + 2
            see_also, _, _, _, pairs = struct.unpack_from("<HHIII", tree, pos)
            pos += 16
            keywords[keyword] = list(struct.unpack_from(f"<{pairs}I", tree, pos))
            pos += 4 * pairs + 8
    return keywords


def full_text_words(chm):
    """The words of the full-text index ($FIftiMain), as the viewer looks
    them up (lower case, code page 1252), each with the topics it is on."""
    fti = chm.read("/$FIftiMain")
    node_size = 4096
    offset, = struct.unpack_from("<I", fti, 8)  # the root node
    depth, = struct.unpack_from("<H", fti, 0x18)
    doc_root, code_root, loc_root = fti[0x1F], fti[0x21], fti[0x23]
    for _ in range(depth - 1):  # down an index node's first entry: free space, word, child
        length = fti[offset + 2]
        offset, = struct.unpack_from("<I", fti, offset + 2 + 1 + length)
    words = {}
    while True:
        next_leaf, _, free = struct.unpack_from("<IHH", fti, offset)
        pos, end, last = offset + 8, offset + node_size - free, b""
        while pos < end:
            length, shared = fti[pos], fti[pos + 1]
            word = last[:shared] + fti[pos + 2:pos + 1 + length]
            pos += 1 + length + 1  # the word, then whether it is in a title
            count, pos = encint_le(fti, pos)
            wlc_offset, = struct.unpack_from("<I", fti, pos)
            size, pos = encint_le(fti, pos + 6)
            words.setdefault(word.decode("cp1252"), set()).update(
                topics_of_word(fti[wlc_offset:wlc_offset + size], count, doc_root, code_root, loc_root))
            last = word
        if next_leaf == 0:
            return words
        offset = next_leaf


def encint_le(data, pos):
    value = shift = 0
    while True:
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            return value, pos


def topics_of_word(data, count, doc_root, code_root, loc_root):
    """The topic numbers of a word's entry, in scale-and-root coding (scale
    2): a document's number as the difference to the previous one, then the
    count of its locations and the locations, each entry padded to a byte."""
    bits = "".join(f"{byte:08b}" for byte in data)
    pos = 0

    def number(root):
        nonlocal pos
        prefix = 0
        while bits[pos] == "1":
            prefix, pos = prefix + 1, pos + 1
        pos += 1
        width = root + max(prefix - 1, 0)
        value = int(bits[pos:pos + width] or "0", 2)
        pos += width
        return value + ((1 << width) if prefix else 0)

    topics, topic = [], 0
    for _ in range(count):
        topic += number(doc_root)
        topics.append(topic)
        for _ in range(number(code_root)):
            number(loc_root)
        pos += -pos % 8
    return topics


# What the help viewer of Windows XP (an engine of 2001) cannot show.
PAGE_FAULTS = [
    (r"<script\b", "a script"), (r"<svg\b", "SVG"), (r"<(canvas|video|audio|iframe)\b", "an HTML 5 element"),
    (r"\son[a-z]+\s*=", "an event handler"), (r"<(section|article|nav|header|footer|figure)\b", "an HTML 5 element"),
    (r"\bjavascript:", "a script link"),
]
CSS_FAULTS = [
    (r"\brgba\(|\bhsla?\(", "a colour with alpha"), (r"border-radius|box-shadow|text-shadow|opacity|transform",
                                                     "a property of CSS 3"),
    (r"\bflex\b|\bgrid\b|calc\(|var\(--", "a layout of CSS 3"), (r":nth-|:not\(|::", "a selector of CSS 3"),
]


def old_viewer_page_findings(page, files):
    findings = [what for pattern, what in PAGE_FAULTS if re.search(pattern, page, re.I)]
    if not page.startswith('<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN">'):
        findings.append("not HTML 4.01")
    for style in re.findall(r"<style[^>]*>(.*?)</style>|style=\"([^\"]*)\"", page, re.S | re.I):
        findings += old_viewer_css_findings("".join(style))
    for source in re.findall(r"<img\b[^>]*\bsrc=\"([^\"]+)\"", page, re.I):
        if source not in files:
            findings.append(f"the picture {source} is not in [FILES]")
    for target in re.findall(r"<a\b[^>]*\bhref=\"([^\"#:]+)", page, re.I):
        if target not in files:
            findings.append(f"the link to {target} leads out of the file")
    return findings


def old_viewer_css_findings(css):
    return [what for pattern, what in CSS_FAULTS if re.search(pattern, css, re.I)]


# The viewer of Windows XP leaves about 576 pixels beside its contents
# pane; a wider picture is cut at its right edge, with no scroll bar to
# say so.
MAX_PICTURE_WIDTH = 560


def picture_finding(data):
    if data[:6] in (b"GIF87a", b"GIF89a"):
        return width_finding(struct.unpack_from("<H", data, 6)[0])
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return "neither GIF nor PNG"
    colour_type = data[25]
    if colour_type in (4, 6):
        return "a PNG with an alpha channel"
    if b"tRNS" in data:
        return "a PNG with transparency"
    return width_finding(struct.unpack_from(">I", data, 16)[0])


def width_finding(width):
    return f"{width} px wide, more than {MAX_PICTURE_WIDTH}" if width > MAX_PICTURE_WIDTH else ""


def section(project, name):
    match = re.search(r"^\[" + re.escape(name) + r"\]\s*$(.*?)(?=^\[|\Z)", project, re.M | re.S)
    return match.group(1) if match else ""


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: help_file_test.py CHM_FILE HELP_SOURCE_FOLDER VERSION")
    HelpFileTest.chm_path, HelpFileTest.help_folder, HelpFileTest.version = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1], verbosity=2)
