#!/usr/bin/env python3
"""Every sentence of the help that says what a part does, held against the part.

    help_statements_test.py WINE_RUN HOSTSIM PLUGIN_FOLDER HELP_FOLDER PART...

In the pages (HELP_FOLDER/*.htm) such a sentence is marked
<span class="aussage" id="ID">...</span>. HELP_FOLDER/aussagen/PAGE.vectors
holds its rows in `hostsim test`'s format, in a section opened by the line
"# aussage: ID"; "# bauteil: NAME.dll" names the part, for the whole file
before the first section or for one section inside it. An id may have
several sections (one per part, on pages about all of them).

Each section runs on its own, with a new part: `hostsim test DLL FILE`, FILE
being the vector file with every line outside the section blanked, so that
hostsim's line numbers are those of the vector file. The test fails for an
id without rows, for rows under an id the page lacks, for a page with ids
but no vector file, and for every failing row, named by page, id, the
sentence and hostsim's own line. A section that hostsim did not judge
(it did not start, refused the file or counted no cases) is an error.
"""

import concurrent.futures
import glob
import html
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
from wine_path import windows_path  # noqa: E402

STATEMENT = re.compile(r'<span class="aussage" id="([^"]*)">(.*?)</span>', re.S)
SECTION = re.compile(r"^#\s*aussage:\s*(\S*)\s*$")
PART = re.compile(r"^#\s*bauteil:\s*(\S*)\s*$")
COUNTS = re.compile(r"^(\d+) passed, (\d+) failed$")


class Section:
    def __init__(self, page, ident, line, part):
        self.page, self.ident, self.line, self.part = page, ident, line, part
        self.lines = []  # (number, text) of its rows, settings and the like


def plain_text(markup):
    return " ".join(html.unescape(re.sub(r"<[^>]+>", "", markup)).split())


def page_statements(path, problems):
    """{id: sentence} of a page; a mark that is not read as one is a problem."""
    page = os.path.basename(path)
    with open(path, "rb") as f:
        text = f.read().decode("cp1252")
    statements = {}
    for ident, sentence in STATEMENT.findall(text):
        if not re.fullmatch(r"[a-z0-9-]+", ident):
            problems.append(f'{page}: the statement id "{ident}" is not lower-case ASCII letters, digits and -')
        if ident in statements:
            problems.append(f'{page}: the statement id "{ident}" is given twice')
        statements[ident] = plain_text(sentence)
    if text.count('class="aussage"') != len(STATEMENT.findall(text)):
        problems.append(f'{page}: a class="aussage" that is not <span class="aussage" id="ID">...</span>')
    return statements


def read_sections(path, page, problems):
    """The sections of a page's vector file, each with its part."""
    sections, default_part, current = [], None, None
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for number, text in enumerate(lines, 1):
        if (opened := SECTION.match(text)):
            current = Section(page, opened.group(1), number, default_part)
            sections.append(current)
        elif (named := PART.match(text)):
            if current is None:
                default_part = named.group(1)
            else:
                current.part = named.group(1)
        elif text.strip() and not text.lstrip().startswith("#"):
            if current is None:
                problems.append(f"{page}: {os.path.basename(path)}:{number}: a line under no statement: {text}")
            else:
                current.lines.append((number, text))
    return sections, len(lines)


def section_file(section, line_count, folder):
    """The vector file with only the section's lines, at their own numbers."""
    kept = dict(section.lines)
    path = os.path.join(folder, f"{os.path.splitext(section.page)[0]}-{section.line}.vectors")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(kept.get(number, "") + "\n" for number in range(1, line_count + 1)))
    return path


class Runner:
    def __init__(self, wine_run, hostsim, plugins, parts):
        self.wine_run, self.hostsim, self.plugins = wine_run, hostsim, plugins
        self.parts = {part if part.endswith(".dll") else part + ".dll" for part in parts}

    def judge(self, section, statement, vectors_name, file):
        """The problems of one section: empty where hostsim ran it and it passed."""
        where = f'{section.page}, statement "{section.ident}" ({section.part}): "{statement}"'
        if section.part not in self.parts:
            return [f"{where}\n  names no part of the list ({', '.join(sorted(self.parts))}): nothing ran"]
        dll = windows_path(os.path.join(self.plugins, section.part))
        try:
            run = subprocess.run([self.wine_run, self.hostsim, "test", dll, windows_path(file)],
                                 capture_output=True, timeout=600)
        except (OSError, subprocess.TimeoutExpired) as error:
            return [f"{where}\n  hostsim did not run: {error}"]
        out = run.stdout.decode("utf-8", "replace").splitlines()
        err = run.stderr.decode("utf-8", "replace").strip()
        failed = [f"{where}\n  {vectors_name}: {line}" for line in out if line.startswith("FAILED ")]
        counts = COUNTS.match(out[-1]) if out else None
        if run.returncode == 1 and failed:
            return failed
        if run.returncode == 0 and counts and int(counts.group(1)) > 0 and counts.group(2) == "0" and not failed:
            return []
        said = (err or (out[-1] if out else "no output")).replace(windows_path(file), vectors_name)
        return [f"{where}\n  not judged: hostsim exit status {run.returncode}: {said}"]


def main(argv):
    if len(argv) < 6:
        sys.exit(__doc__)
    wine_run, hostsim, plugins, help_folder, parts = argv[1], argv[2], argv[3], argv[4], argv[5:]
    runner = Runner(wine_run, hostsim, plugins, parts)
    problems, work = [], []
    pages = {os.path.basename(p): p for p in sorted(glob.glob(os.path.join(help_folder, "*.htm")))}
    vector_files = {os.path.basename(p): p for p in glob.glob(os.path.join(help_folder, "aussagen", "*.vectors"))}
    for name in sorted(set(vector_files) - {os.path.splitext(p)[0] + ".vectors" for p in pages}):
        problems.append(f"aussagen/{name}: no page {os.path.splitext(name)[0]}.htm has its statements")
    with tempfile.TemporaryDirectory(prefix="help-statements-") as folder:
        for page, path in pages.items():
            statements = page_statements(path, problems)
            vectors_name = "aussagen/" + os.path.splitext(page)[0] + ".vectors"
            vectors = os.path.join(help_folder, vectors_name)
            if not os.path.isfile(vectors):
                problems += [f'{page}, statement "{i}": "{s}"\n  has no rows: there is no {vectors_name}'
                             for i, s in statements.items()]
                continue
            sections, line_count = read_sections(vectors, page, problems)
            with_rows = {s.ident for s in sections if s.lines}
            for ident, sentence in statements.items():
                if ident not in with_rows:
                    problems.append(f'{page}, statement "{ident}": "{sentence}"\n  has no rows in {vectors_name}')
            for section in sections:
                if section.ident not in statements:
                    problems.append(f'{vectors_name}:{section.line}: a section "{section.ident}", '
                                    f"which {page} has no statement of")
                elif section.lines:
                    work.append((section, statements[section.ident], vectors_name,
                                 section_file(section, line_count, folder)))
        passed = 0
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for found in pool.map(lambda job: runner.judge(*job), work):
                problems += found
                passed += not found
    if not work:
        problems.append(f"{help_folder}: no page has a statement with rows: nothing was judged")
    for problem in problems:
        print(problem)
    statements = len({(s.page, s.ident) for s, *_ in work})
    print(f"{passed} of {len(work)} sections passed ({statements} statements of {len(pages)} pages); "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
