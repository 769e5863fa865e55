#!/usr/bin/env python3
"""Finds the words the installed POV-Ray refuses as a #declare name.

The include file's declared name must never be one of them, or the whole
include fails to parse. Rather than trust a written list, every candidate is
put to POV-Ray itself in a scene declaring it as a color_map:

  - the keyword index of the POV-Ray reference (package povray-doc);
  - every identifier-like word in the povray binary, and every tail of a
    lower-case one (the linker keeps "steps" as the end of "u_steps");
  - the words in src/gradient/reserved_words.cpp today.

Scenes hold many declarations each, to spare POV-Ray's start-up; a scene that
fails names the line of the refused word, and the scan goes on after it. Every
word found that way is then tried again alone, and counts only if refused
there too.

Prints the refused words, sorted, one a line (with --cpp, as the body of the
C++ array), and on standard error the counts. Every word of today's list is
kept even where POV-Ray accepts it: the built-in values (clock_delta,
image_width, ...) may be declared over, but the rest of the scene would then
find a color_map in their place; and a documented word this build lacks
(atand) may well be there in the next.

Usage: scripts/reserved_words.py [--cpp] [--jobs N] [--batch N]
"""
import argparse
import concurrent.futures
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIST = os.path.join(ROOT, "src", "gradient", "reserved_words.cpp")
WORD = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
LOWER_START = re.compile(r"[a-z_]")
ERROR_LINE = re.compile(r"File '[^']*' line (\d+): Parse Error")

CONTROL_ACCEPTED = "sunset"   # an ordinary gradient name
CONTROL_REFUSED = "sphere"    # a keyword every POV-Ray knows

HEADER = "#version 3.7;\n"
DECLARATION = "#declare %s = color_map { [0 rgb 0] [1 rgb 1] }\n"


def die(message):
    print("reserved_words.py: " + message, file=sys.stderr)
    sys.exit(1)


def documented_keywords():
    """The words of the reference's keyword index (section "Keywords",
    a table of links, one <code> per entry)."""
    pages = sorted(glob.glob("/usr/share/doc/povray*/**/*.html", recursive=True))
    for page in pages:
        text = open(page, encoding="utf-8", errors="replace").read()
        start = text.find('contains="Keywords"')
        if start < 0:
            continue
        end = text.find('<div class="content-level', start + 1)
        section = text[start:end if end > 0 else len(text)]
        words = {html.unescape(w) for w in
                 re.findall(r"<code><a [^>]*>([^<]+)</a></code>", section)}
        if words:
            return words
    die("no keyword index under /usr/share/doc/povray*: install povray-doc")


def binary_words(povray):
    """Identifier-like runs in the strings of the binary, and the tails of the
    lower-case ones."""
    output = subprocess.run(["strings", "-a", "-n", "1", povray],
                            capture_output=True, check=True).stdout
    words = set(WORD.findall(output.decode("latin-1")))
    for word in [w for w in words if w == w.lower()]:
        for i in range(1, len(word)):
            if LOWER_START.match(word[i]):
                words.add(word[i:])
    return words


def listed_words():
    text = open(LIST, encoding="utf-8").read()
    body = text[text.index("kReservedWords"):]
    body = body[:body.index("};")]
    return set(re.findall(r'u"([^"]*)"', body))


class Povray:
    ATTEMPTS = 5

    def __init__(self, povray, work):
        self.povray = povray
        self.work = work
        self.lock = threading.Lock()
        self.runs = 0
        self.strange = []     # (words, what happened): failures naming no line
        self.undecided = []   # words alone that never got a clear answer

    def parse(self, words, tag):
        """Parses one scene declaring the words in order. Returns None if it
        parsed, else the index of the word whose line the error names, or -1
        if POV-Ray kept failing without naming a line."""
        # Under load POV-Ray now and then gives up before parsing ("Timed out
        # waiting for worker thread startup"): that says nothing of the words.
        for _ in range(self.ATTEMPTS):
            at = self.parse_once(words, tag)
            if at != -1:
                return at
        return -1

    def parse_once(self, words, tag):
        with self.lock:  # one directory per run, across threads
            self.runs += 1
            directory = os.path.join(self.work, "%s%d" % (tag, self.runs))
        os.makedirs(directory)  # empty: no povray.ini is read
        with open(os.path.join(directory, "scene.pov"), "w") as scene:
            scene.write(HEADER + "".join(DECLARATION % w for w in words))
        try:
            result = subprocess.run(
                [self.povray, "+Iscene.pov", "-F", "-D", "+W1", "+H1", "-A"],
                cwd=directory, stdin=subprocess.DEVNULL, capture_output=True,
                timeout=120, env=dict(os.environ, HOME=self.work))
        except subprocess.TimeoutExpired:
            self.strange.append((words, "timed out"))
            return -1
        if result.returncode == 0:
            return None
        errors = result.stderr.decode(errors="replace")
        match = ERROR_LINE.search(errors)
        line = int(match.group(1)) if match else 0
        first = HEADER.count("\n") + 1
        if not first <= line < first + len(words):
            self.strange.append((words, "exit code %d: %s" % (
                result.returncode, " / ".join(errors.strip().splitlines()[-2:]))))
            return -1
        return line - first

    def refused_alone(self, word):
        at = self.parse([word], "alone")
        if at == -1:
            self.undecided.append(word)
        return at == 0

    def screen(self, words, tag):
        """The words whose declaration fails, scanning past each failure."""
        found = []
        rest = list(words)
        while rest:
            at = self.parse(rest, tag)
            if at is None:
                break
            if at < 0:  # no line to go by: each word on its own
                found += [w for w in rest if self.refused_alone(w)]
                break
            found.append(rest[at])
            rest = rest[at + 1:]
        return found


def cpp_body(words):
    """The array's initializer lines, filled to 80 columns as clang-format
    would."""
    lines, line = [], "   "
    for word in words:
        item = ' u"%s",' % word
        if len(line) + len(item) > 80:
            lines.append(line)
            line = "   "
        line += item
    lines.append(line)
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpp", action="store_true",
                        help="print the body of the C++ array")
    parser.add_argument("--jobs", type=int, default=2,
                        help="POV-Ray processes at once (default 2)")
    parser.add_argument("--batch", type=int, default=200,
                        help="declarations per scene; 1 tries each word alone")
    options = parser.parse_args()

    povray = shutil.which("povray")
    if not povray:
        die("povray is not installed")
    documented, stored, listed = documented_keywords(), binary_words(povray), listed_words()
    # POV-Ray refuses any name of 256 characters or more ("String too long");
    # a file name, .json included, is shorter than that anyway.
    candidates = sorted(w for w in documented | stored | listed if len(w) < 256)

    work = tempfile.mkdtemp(prefix="reserved-words-")
    try:
        pov = Povray(povray, work)
        # A setup in which every parse fails (or none does) would give a
        # list of everything (or nothing).
        if pov.refused_alone(CONTROL_ACCEPTED) or pov.undecided:
            die("POV-Ray does not take the control name %r: %s" % (CONTROL_ACCEPTED, pov.strange))
        if not pov.refused_alone(CONTROL_REFUSED):
            die("POV-Ray accepts the keyword %r: %s" % (CONTROL_REFUSED, pov.strange))

        size = max(1, options.batch)
        batches = [candidates[i:i + size] for i in range(0, len(candidates), size)]
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
            screened = pool.map(lambda b: pov.screen(b[1], "batch%d" % b[0]),
                                enumerate(batches))
            suspects = sorted({w for found in screened for w in found})
            if size > 1:
                confirmed = list(pool.map(pov.refused_alone, suspects))
                refused = [w for w, r in zip(suspects, confirmed) if r]
            else:
                refused = suspects
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for words, what in pov.strange:
        print("POV-Ray failed without naming a line (%s ...): %s"
              % (" ".join(words[:3]), what), file=sys.stderr)
    if pov.undecided:
        die("no answer for: %s" % " ".join(sorted(pov.undecided)))

    kept = sorted(listed - set(refused))
    result = sorted(set(refused) | listed)
    print(cpp_body(result) if options.cpp else "\n".join(result))

    report = sys.stderr
    print("%d candidates tried (%d from the keyword index, %d from the binary, "
          "%d from the list), %d POV-Ray runs"
          % (len(candidates), len(documented), len(stored), len(listed), pov.runs),
          file=report)
    print("%d words refused; %d more kept from the list though accepted: %s"
          % (len(refused), len(kept), " ".join(kept)), file=report)
    added = sorted(set(refused) - listed)
    print("%d not in the list before: %s" % (len(added), " ".join(added)), file=report)
    unconfirmed = sorted(set(suspects) - set(refused))
    if unconfirmed:
        print("refused in a scene with others, accepted alone: %s"
              % " ".join(unconfirmed), file=report)
    refused_undocumented = sorted(set(refused) - documented)
    print("%d refused words missing from the keyword index: %s"
          % (len(refused_undocumented), " ".join(refused_undocumented)), file=report)
    return 0


if __name__ == "__main__":
    sys.exit(main())
