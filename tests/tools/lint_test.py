#!/usr/bin/env python3
"""tools/lint, run in a small repository of its own: what an author has not
yet committed is checked where authors work, what git ignores is not, shell
and Python faults are found in scripts known by extension or #! line, a file
that is not UTF-8 is a finding rather than a crash, and a missing checker
fails the run instead of passing it.

Usage: lint_test.py SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = sys.argv[1]

COMPONENTS = "korvelant_component(Widget  widget  0x63A00000  widget/test/widget_test.cpp)\n"
CLEAN = {
    "widget/widget.h": "#pragma once\nint widget();\n",
    "tools/quiet": '#!/usr/bin/env bash\necho "$1"\n',
    "tools/quiet.py": "import os\nprint(os.sep)\n",
}
FAULTY = {
    "widget/widget.cpp": "int widget() { return 1; } \n",  # blank at the end, not yet committed
    "widget/scratch/note.cpp": "int x; \n",  # ignored
    "tools/helper": "#!/bin/sh\necho $1\n",  # shell by its #! line, no extension
    "host/gen.py": "import os\n",  # Python by extension
    "frame/env.sh": "cd $1\n",  # shell by extension, no #! line
    "tools/maker": "#!/usr/bin/env python3\nprint(undefined_name)\n",  # Python by its #! line
    "notes/todo.txt": "later \n",  # where no author's part lives
}


def write(tree, files):
    for path, text in files.items():
        os.makedirs(os.path.dirname(os.path.join(tree, path)), exist_ok=True)
        with open(os.path.join(tree, path), "wb") as f:
            f.write(text if isinstance(text, bytes) else text.encode())


def make_tree(into):
    """A repository with tools/lint, one part's line and an ignore rule, all
    tracked, and the files above not yet committed."""
    tree = os.path.join(into, "tree")
    for path in ("tools/lint", "tools/component_lines.py", ".clang-format"):
        os.makedirs(os.path.dirname(os.path.join(tree, path)), exist_ok=True)
        shutil.copy2(os.path.join(SOURCE, path), os.path.join(tree, path))
    write(tree, {"cmake/Components.cmake": COMPONENTS, ".gitignore": "widget/scratch/\n"})
    subprocess.run(["git", "init", "-q", tree], check=True)
    subprocess.run(["git", "add", "."], cwd=tree, check=True)
    return tree


def lint(tree, path=None):
    env = dict(os.environ, PATH=path) if path else None
    return subprocess.run([sys.executable, "tools/lint"], cwd=tree, capture_output=True, text=True, env=env)


class LintTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp()
        self.tree = make_tree(self.scratch)
        write(self.tree, CLEAN)

    def tearDown(self):
        shutil.rmtree(self.scratch)

    def test_clean_files_not_yet_committed_pass(self):
        run = lint(self.tree)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertIn("0 findings", run.stdout)

    def test_faults_not_yet_committed_are_found_where_authors_work(self):
        write(self.tree, FAULTY)
        write(self.tree, {"frame/latin.h": b"// Z\xe4hler\n", "tools/latin.py": b"# Z\xe4hler\n"})
        run = lint(self.tree)
        out = run.stdout
        self.assertEqual(run.returncode, 1, out + run.stderr)
        self.assertNotIn("Traceback", run.stderr)
        self.assertIn("widget/widget.cpp:1: blanks at the end of the line", out)
        self.assertIn("frame/latin.h: not UTF-8 (byte 4)", out)
        self.assertIn("tools/latin.py: not UTF-8 (byte 3)", out)
        self.assertRegex(out, r"tools/helper:2:\d+: .*\[SC2086\]")
        self.assertIn("host/gen.py:1:1: 'os' imported but unused", out)
        self.assertRegex(out, r"frame/env.sh:1:\d+: .*\[SC2148\]")
        self.assertRegex(out, r"tools/maker:2:\d+:? undefined name 'undefined_name'")
        self.assertNotIn("widget/scratch", out)
        self.assertNotIn("notes/todo.txt", out)
        self.assertNotIn("tools/quiet", out)

    def test_a_missing_checker_fails_the_run(self):
        bin_dir = os.path.join(self.scratch, "bin")
        os.mkdir(bin_dir)
        for program in ("git", "clang-format", "pyflakes3"):  # no shellcheck
            os.symlink(shutil.which(program), os.path.join(bin_dir, program))
        run = lint(self.tree, path=bin_dir)
        self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
        self.assertIn("lint: shellcheck is missing, 1 scripts not checked", run.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
