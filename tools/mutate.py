#!/usr/bin/env python3
# Mutation testing: draws a seeded sample of the one-line mutants of a folder's code and reports which the tests kill.
"""How sharp the tests are, measured with mutants.

For every folder given, every one-line mutant of its .cpp and .h files is listed (a comparison swapped, an
arithmetic operator swapped, an integer constant moved by one or set to 0, a boolean literal flipped, a whole
call statement removed, && and || exchanged). A seeded random sample of them (--count per folder) is applied,
one at a time, to a scratch copy of the project in build/mutants; ninja rebuilds only what the mutated file
feeds, and the test programs built from it run with a time-out, then the scripts that run programs built
from it (those that pass unmutated within --script-limit seconds: the operator's commands, a window
under a virtual display). A mutant that does not build is not counted
and the next one of the sample takes its place. The report gives killed, survived and did-not-build per
folder and lists the survivors with file:line.

    python3 tools/mutate.py --seed 20261208 core game rink
    python3 tools/mutate.py --list core          # the mutants, without building anything
    python3 tools/mutate.py --rerun build/mutants/results-20261208.tsv   # only that run's survivors again
    python3 tools/mutate.py --resume --seed 20261208 core game rink      # go on with a run that was stopped
    python3 tools/mutate.py --report build/mutants/results-20261208.tsv  # a run's table so far
"""

import argparse
import dataclasses
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE_SUFFIXES = (".cpp", ".h")

# ---------------------------------------------------------------------------------------------------------
# Listing the mutants


@dataclasses.dataclass(frozen=True)
class Mutant:
    path: str  # relative to the project root
    line: int  # from 1
    column: int  # from 0, in the line
    original: str
    replacement: str
    kind: str

    def key(self):
        return f"{self.path}:{self.line}:{self.column}:{self.original}>{self.replacement}"

    def describe(self, text):
        # The line as the mutant has it.
        mutated = text[: self.column] + self.replacement + text[self.column + len(self.original) :]
        return f"{self.path}:{self.line}: {self.kind}: {self.original!r} -> {self.replacement!r}   | {mutated.strip()}"


def code_mask(text):
    """The text with comments, string and character literals blanked out; line breaks are kept."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i + 2)
            delim = text[i + 2 : k]
            j = text.find(")" + delim + '"', k)
            j = n if j < 0 else j + len(delim) + 2
            blank(i, j)
            i = j
        elif c in "\"'":
            # A digit separator (1'000) is not a character literal.
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


SPACED = r"(?<=\s){}(?=\s)"
RELATIONAL = {"<": ["<=", ">"], "<=": ["<", ">="], ">": [">=", "<"], ">=": [">", "<="], "==": ["!="], "!=": ["=="]}
ARITHMETIC = {"+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"], "%": ["/"]}
COMPOUND = {"+=": ["-="], "-=": ["+="], "*=": ["/="], "/=": ["*="]}
LOGICAL = {"&&": ["||"], "||": ["&&"]}
OPERATORS = [("comparison", RELATIONAL), ("logic", LOGICAL), ("arithmetic", COMPOUND), ("arithmetic", ARITHMETIC)]

OPERATOR_RE = re.compile(SPACED.format(r"(<=|>=|==|!=|&&|\|\||\+=|-=|\*=|/=|<|>|\+|-|\*|/|%)"))
STEP_RE = re.compile(r"(\+\+|--)")
BOOL_RE = re.compile(r"\b(true|false)\b")
INTEGER_RE = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F']+|\d[\d']*)([uUlL]*)(?![\w.'])")
# A statement that is one call: a name, perhaps reached through objects, then its arguments.
CALL_RE = re.compile(r"(?:[A-Za-z_]\w*\s*(?:::|\.|->)\s*)*~?[A-Za-z_]\w*\s*\(.*\)\s*;")
NOT_CALLS = {"return", "delete", "throw", "sizeof", "static_assert", "if", "while", "for", "switch", "case",
             "co_return", "co_yield", "decltype", "alignof", "new", "using", "typedef", "template"}
PURE_RE = re.compile(r"\)\s*(?:const\s*)?(?:override\s*)?=\s*$")
CONTROL_RE = re.compile(r"^\s*(?:\}\s*)?(?:else\s+)?(?:(?:if|while|for)\s*\(|else\b)")


def closing_paren(s, open_at):
    depth = 0
    for k in range(open_at, len(s)):
        if s[k] == "(":
            depth += 1
        elif s[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def balanced(s):
    depth = 0
    for ch in s:
        depth += ch == "("
        depth -= ch == ")"
        if depth < 0:
            return False
    return depth == 0


def call_statement(masked):
    """(start, end) of a whole call statement on the line, alone or as the body of if/while/for/else."""
    start = 0
    m = CONTROL_RE.match(masked)
    if m:
        start = m.end()
        if masked[m.end() - 1] == "(":
            close = closing_paren(masked, m.end() - 1)
            if close < 0:
                return None
            start = close + 1
    rest = masked[start:]
    lead = len(rest) - len(rest.lstrip())
    body = rest.strip()
    if not body or not CALL_RE.fullmatch(body) or not balanced(body):
        return None
    first = re.match(r"[A-Za-z_]\w*", body.lstrip("~"))
    if first and first.group(0) in NOT_CALLS:
        return None
    # An assignment or a declaration is no call statement: only the arguments may hold an "=".
    head = body[: body.index("(")]
    if "=" in head or " " in head.strip():
        return None
    begin = start + lead
    return begin, begin + len(body)


def integer_replacements(literal, suffix):
    digits = literal.replace("'", "")
    value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits, 10)
    out = [value + 1]
    if value > 0:
        out.append(value - 1)
    if value > 1:
        out.append(0)
    return [f"{v}{suffix}" for v in out]


def mutants_of_text(path, text):
    masked = code_mask(text)
    found = []
    for number, (line, code) in enumerate(zip(text.split("\n"), masked.split("\n")), start=1):
        stripped = code.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in code:
            continue
        for m in OPERATOR_RE.finditer(code):
            op = m.group(1)
            kind, table = next((k, t) for k, t in OPERATORS if op in t)
            for r in table[op]:
                found.append(Mutant(path, number, m.start(1), op, r, kind))
        for m in STEP_RE.finditer(code):
            found.append(Mutant(path, number, m.start(1), m.group(1), "--" if m.group(1) == "++" else "++",
                                "arithmetic"))
        for m in BOOL_RE.finditer(code):
            found.append(Mutant(path, number, m.start(1), m.group(1), "false" if m.group(1) == "true" else "true",
                                "boolean"))
        for m in INTEGER_RE.finditer(code):
            if PURE_RE.search(code[: m.start()]):
                continue  # "= 0" of a pure virtual function
            for r in integer_replacements(m.group(1), m.group(2)):
                found.append(Mutant(path, number, m.start(1), m.group(0), r, "constant"))
        call = call_statement(code)
        if call:
            found.append(Mutant(path, number, call[0], line[call[0] : call[1]], "{}", "removed call"))
    return found


def folder_files(base, folder):
    folder = folder.strip("/")
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "--", folder], cwd=ROOT,
                            capture_output=True, text=True, check=True).stdout.split()
    # The Windows views are built by the cross build and tested under Wine, never by this build: their
    # mutants would all read as survivors here.
    return sorted(f for f in listed if f.endswith(SOURCE_SUFFIXES) and (base / f).is_file()
                  and "win32" not in Path(f).parts)


def mutants_of_folder(base, folder):
    out = []
    for f in folder_files(base, folder):
        out.extend(mutants_of_text(f, (base / f).read_text(encoding="utf-8", errors="replace")))
    return out


def apply(text, m):
    lines = text.split("\n")
    line = lines[m.line - 1]
    assert line[m.column : m.column + len(m.original)] == m.original, m.key()
    lines[m.line - 1] = line[: m.column] + m.replacement + line[m.column + len(m.original) :]
    return "\n".join(lines)


def load_equivalents():
    """Mutants that cannot change what the program does, each with its reason (tools/mutants.txt)."""
    table = {}
    listing = ROOT / "tools" / "mutants.txt"
    if listing.exists():
        for raw in listing.read_text(encoding="utf-8").splitlines():
            if not raw.strip() or raw.startswith("#"):
                continue
            path, code, original, replacement, *_ = [p.strip() for p in raw.split("\t")]
            table[(path, code, original, replacement)] = True
    return table


def equivalent(equivalents, m, text):
    """Listed by its file and line's code; a line whose code recurs in the file is listed as "file#N", the
    N-th line with that code, so that its twins elsewhere are still tried."""
    line_text = text.split("\n")[m.line - 1]
    codes = [c.strip() for c in code_mask(text).split("\n")]
    code = codes[m.line - 1]
    nth = f"{m.path}#{codes[: m.line].count(code)}"
    return any((path, c, m.original, m.replacement) in equivalents
               for path in (m.path, nth) for c in (code, line_text.strip()))


# ---------------------------------------------------------------------------------------------------------
# The scratch copy and its build


def sync_scratch(src):
    """Copies the project into src, touching only files that differ, so ninja rebuilds only what changed."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, capture_output=True,
                           text=True, check=True).stdout.split("\n")
    wanted = set()
    for f in files:
        if not f or not (ROOT / f).is_file():
            continue
        wanted.add(f)
        a, b = ROOT / f, src / f
        if not b.exists() or a.read_bytes() != b.read_bytes():
            b.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(a, b)
    for p in src.rglob("*"):
        if p.is_file() and str(p.relative_to(src)) not in wanted:
            p.unlink()


def ninja(bin_dir, *args, timeout=None):
    return subprocess.run(["ninja", "-C", str(bin_dir), *args], capture_output=True, text=True, timeout=timeout)


def test_targets(bin_dir):
    out = ninja(bin_dir, "-t", "targets", "all").stdout
    return sorted({line.split(":")[0] for line in out.splitlines()
                   if re.match(r"tests/[\w/]+/test_\w+:\s", line)})


def coverage(bin_dir, src, targets):
    """For each file of the project, the test programs built from it (sources and the headers they include)."""
    users = {}
    prefix = str(src) + "/"
    for t in targets:
        inputs = ninja(bin_dir, "-t", "inputs", t).stdout.split()
        objects = [i for i in inputs if i.endswith(".o")]
        files = {i[len(prefix):] for i in inputs if i.startswith(prefix)}
        for k in range(0, len(objects), 200):
            deps = ninja(bin_dir, "-t", "deps", *objects[k : k + 200]).stdout
            files.update(line.strip()[len(prefix):] for line in deps.splitlines() if line.strip().startswith(prefix))
        for f in files:
            users.setdefault(f, set()).add(t)
    return users


def script_tests(bin_dir, programs):
    """The tests that run scripts on the built programs rather than being cases of a test program: each
    test's name with the build targets its command names."""
    shown = subprocess.run(["ctest", "--show-only=json-v1"], cwd=bin_dir, capture_output=True, text=True)
    try:
        tests = json.loads(shown.stdout).get("tests", [])
    except json.JSONDecodeError:
        return {}
    listed = ninja(bin_dir, "-t", "targets", "all").stdout.splitlines()
    outputs = {str(bin_dir / line.split(":")[0]): line.split(":")[0] for line in listed if ":" in line}
    programs = {str(bin_dir / p) for p in programs}
    found = {}
    for t in tests:
        command = t.get("command") or []
        if not command or command[0] in programs:
            continue
        used = sorted({outputs[arg] for arg in command[1:] if arg in outputs})
        if used:
            found[t["name"]] = used
    return found


def run_script(bin_dir, name, limit):
    """True when the ctest test of that name passes (or skips) within limit seconds."""
    try:
        r = subprocess.run(["ctest", "-R", "^" + re.escape(name) + "$", "--timeout", str(int(limit) + 1)],
                           cwd=bin_dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit + 30)
        return r.returncode == 0
    except subprocess.TimeoutExpired:
        return False


def run_test(bin_dir, target, limit):
    """True when the test program passes within limit seconds."""
    try:
        r = subprocess.run([str(bin_dir / target), "--gtest_brief=1", "--gtest_fail_fast"], cwd=bin_dir / Path(target).parent,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit,
                           env={**os.environ, "TUNDRIX_TEST": "1"})
        return r.returncode == 0
    except subprocess.TimeoutExpired:
        return False


# ---------------------------------------------------------------------------------------------------------
# The run


def print_table(title, table, survivors):
    print()
    print(title)
    print("| folder | drawn | killed | % | survived | did not build | equivalent, skipped |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    for folder, drawn, killed, survived, stillborn, skipped in table:
        share = 100.0 * killed / drawn if drawn else 0.0
        print(f"| `{folder}/` | {drawn} | {killed} | {share:.0f} % | {survived} | {stillborn} | {skipped} |")
    if survivors:
        print("\n== survivors")
        for s in survivors:
            print(s)


def report(log_path):
    """The table of a results file as it stands, also while its run goes on."""
    counts, survivors = {}, []
    rows = {}  # by mutant, the newest outcome: two runs may have tried the same one
    for row in Path(log_path).read_text(encoding="utf-8").splitlines()[1:]:
        fields = (row.split("\t") + ["", "", "", ""])[:4]
        rows[fields[2]] = fields
    equivalents, texts, listed, rewritten = load_equivalents(), {}, {}, {}
    for folder, outcome, key, description in rows.values():
        path = key.split(":")[0]
        if "win32" in Path(path).parts:
            continue  # drawn by a run from before the Windows views were left out
        # Mutants listed as equivalent since they were tried are left out as a run leaves them out.
        if path not in texts:
            texts[path] = (ROOT / path).read_text(encoding="utf-8") if (ROOT / path).is_file() else ""
            listed[path] = {m.key(): m for m in mutants_of_text(path, texts[path])}
        m = listed[path].get(key)
        if m is None:
            # A mutant of a line rewritten since: the run draws from the lines as they are now.
            rewritten[folder] = rewritten.get(folder, 0) + 1
            continue
        if equivalent(equivalents, m, texts[path]):
            continue
        c = counts.setdefault(folder, [0, 0, 0])
        c[{"killed": 0, "survived": 1}.get(outcome, 2)] += 1
        if outcome == "survived":
            survivors.append(description)
    table = [(folder, c[0] + c[1], *c, 0) for folder, c in counts.items()]
    print_table(f"== {log_path}", table, survivors)
    if rewritten:
        print("\n(left out, as mutants of lines rewritten since: " +
              ", ".join(f"{n} of {folder}/" for folder, n in rewritten.items()) + ")")
    return 0


def main():
    p = argparse.ArgumentParser(description="Mutation testing of the project's folders.")
    p.add_argument("folders", nargs="*", help="folders whose code is mutated (core game rink ...)")
    p.add_argument("--seed", type=int, default=20261208, help="seed of the sample (default 20261208)")
    p.add_argument("--count", type=int, default=100, help="mutants counted per folder (default 100)")
    p.add_argument("--list", action="store_true", help="only list the mutants of the folders")
    p.add_argument("--rerun", metavar="LOG", help="test again the survivors recorded in a results file")
    p.add_argument("--resume", action="store_true",
                   help="keep the outcomes already in this seed's results file and go on from there")
    p.add_argument("--timeout", type=float, default=0, help="seconds per test program (default: 10 x its time)")
    p.add_argument("--script-limit", type=float, default=30,
                   help="scripts run on the built programs count when they pass within this many seconds "
                        "unmutated (default 30; 0 leaves them out)")
    p.add_argument("--jobs", type=int, default=2, help="ninja's jobs (default 2)")
    p.add_argument("--scratch", default=str(ROOT / "build" / "mutants"), help="the scratch folder")
    p.add_argument("--log", metavar="LOG", help="the results file (default: the scratch folder's results-SEED.tsv)")
    p.add_argument("--report", metavar="LOG", help="only print the table of a results file")
    a = p.parse_args()
    if a.report:
        return report(a.report)

    equivalents = load_equivalents()

    if a.list:
        for folder in a.folders:
            ms = mutants_of_folder(ROOT, folder)
            texts = {}
            for m in ms:
                text = texts.setdefault(m.path, (ROOT / m.path).read_text(encoding="utf-8").split("\n"))
                print(m.describe(text[m.line - 1]))
            print(f"== {folder}: {len(ms)} mutants", file=sys.stderr)
        return 0

    scratch = Path(a.scratch).resolve()  # the build runs in other folders, so a relative path would point elsewhere
    src, bin_dir, art_dir = scratch / "src", scratch / "build", scratch / "art"
    src.mkdir(parents=True, exist_ok=True)
    sync_scratch(src)
    # The art is drawn once from the unmutated code, in a build of its own, and every mutant's build takes it.
    configure = ["cmake", "-S", str(src), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release", "-DTUNDRIX_BENCH=OFF",
                 "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG"]
    # Every mutant relinks the test programs built from its file; lld does that several times faster.
    if shutil.which("ld.lld"):
        configure += ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"]
    # Putting a mutated file back compiles the original again, and a header's mutant compiles every file that
    # includes it twice; ccache hands the unmutated objects back instead.
    if shutil.which("ccache"):
        configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    if not (art_dir / "build.ninja").exists():
        subprocess.run(configure + ["-B", str(art_dir)], check=True, stdout=subprocess.DEVNULL)
    print("== drawing the art", flush=True)
    drawn = ninja(art_dir, f"-j{a.jobs}", "tundrix_resources")
    if drawn.returncode != 0:
        print(drawn.stdout[-4000:])
        return 1
    # Configured every time (quick when nothing changed), so a changed option reaches an old scratch build.
    subprocess.run(configure + ["-B", str(bin_dir), f"-DTUNDRIX_PREDRAWN_ASSETS={art_dir}/resources/generated"],
                   check=True, stdout=subprocess.DEVNULL)
    # The build files first, so that test programs added since the last run are listed too.
    ninja(bin_dir, "build.ninja")
    targets = test_targets(bin_dir)
    print(f"== building the unmutated test programs ({len(targets)})", flush=True)
    built = ninja(bin_dir, f"-j{a.jobs}", *targets)
    if built.returncode != 0:
        print(built.stdout[-4000:], built.stderr[-2000:])
        print("the unmutated tests do not build")
        return 1
    users = coverage(bin_dir, src, targets)
    # The scripts that run the built programs (the channel's operator commands, a window opened under a
    # virtual display) are tests too: a mutant of a file their programs are built from runs them as well.
    scripts = script_tests(bin_dir, targets) if a.script_limit > 0 else {}
    script_programs = sorted({t for used in scripts.values() for t in used})
    if script_programs and ninja(bin_dir, f"-j{a.jobs}", *script_programs).returncode != 0:
        print("the programs the scripts run do not build")
        return 1
    program_files = coverage(bin_dir, src, script_programs)
    script_users = {}
    for name, used in scripts.items():
        for f, programs in program_files.items():
            if programs & set(used):
                script_users.setdefault(f, set()).add(name)

    # What to draw: a sample per folder, or the survivors of an earlier run.
    plan = []  # (folder, [mutants in drawing order])
    if a.rerun:
        rows = [r.split("\t") for r in Path(a.rerun).read_text(encoding="utf-8").splitlines()[1:]]
        survivors = {}
        for folder, outcome, key, *_ in rows:
            if outcome == "survived":
                survivors.setdefault(folder, []).append(key)
        for folder, keys in survivors.items():
            by_key = {m.key(): m for m in mutants_of_folder(src, folder)}
            missing = [k for k in keys if k not in by_key]
            for k in missing:
                print(f"?? gone from the code: {k}")
            plan.append((folder, [by_key[k] for k in keys if k in by_key]))
    else:
        for folder in a.folders:
            ms = mutants_of_folder(src, folder)
            random.Random(f"{a.seed}/{folder.strip('/')}").shuffle(ms)
            plan.append((folder.strip("/"), ms))

    needed = sorted({t for _, ms in plan for m in ms for t in users.get(m.path, ())})
    # How long each unmutated test takes sets its time-out; a resumed run takes the times measured before.
    timings_path = scratch / "timings.json"
    known = json.loads(timings_path.read_text()) if a.resume and timings_path.exists() else {}
    timing = {t: v for t, v in known.get("tests", {}).items() if t in needed}
    for t in needed:
        if t in timing:
            continue
        start = time.monotonic()
        if not run_test(bin_dir, t, 600):
            print(f"{t} fails without any mutant")
            return 1
        timing[t] = time.monotonic() - start
    limit = lambda t: a.timeout or max(10.0, 10 * timing[t])
    # Only the scripts that pass unmutated within the limit count; the slow ones would make a mutant cost
    # minutes.
    script_timing = {}
    known_scripts = known.get("scripts", {})
    for name in sorted({n for _, ms in plan for m in ms for n in script_users.get(m.path, ())}):
        if name in known_scripts:
            took = known_scripts[name]
        else:
            start = time.monotonic()
            took = time.monotonic() - start if run_script(bin_dir, name, a.script_limit) else None
            known_scripts[name] = took
        if took is not None:
            script_timing[name] = took
        else:
            print(f"-- {name} left out: it fails or takes more than {a.script_limit:.0f} s unmutated")
    timings_path.write_text(json.dumps({"tests": {**known.get("tests", {}), **timing}, "scripts": known_scripts}))
    print(f"== {len(needed)} test programs and {len(script_timing)} scripts", flush=True)

    log_path = Path(a.log).resolve() if a.log else scratch / (f"results-{a.seed}.tsv" if not a.rerun else "results-rerun.tsv")
    # A sample is long: a run that was stopped takes up again where it ended, keeping the outcomes of the
    # mutants already tried as long as their lines read as they did then.
    earlier = {}
    if a.resume and not a.rerun and log_path.exists():
        for row in log_path.read_text(encoding="utf-8").splitlines()[1:]:
            folder, outcome, key, description = (row.split("\t") + ["", "", "", ""])[:4]
            earlier[key] = (outcome, description)
    else:
        log_path.write_text("folder\toutcome\tmutant\tdescription\n", encoding="utf-8")
    log = open(log_path, "a", encoding="utf-8")
    counts = {folder: [0, 0, 0, 0] for folder, _ in plan}  # killed, survived, did not build, equivalent
    survivors = []
    started = time.monotonic()

    def decide(folder, m):
        """Applies one mutant, builds and tests it; its outcome."""
        original = (src / m.path).read_text(encoding="utf-8")
        line_text = original.split("\n")[m.line - 1]
        if equivalent(equivalents, m, original):
            return "equivalent", line_text
        if m.key() in earlier and earlier[m.key()][1] == m.describe(line_text):
            return earlier[m.key()][0], line_text
        # The folder's own test program first, then the quickest: most mutants die in the first program, and
        # each program is built only when its turn comes (a header's mutant would otherwise compile every
        # file of every program that includes it).
        own = "test_" + m.path.split("/")[0]
        tests = sorted(users.get(m.path, ()), key=lambda t: (Path(t).name != own, timing.get(t, 0)))
        runs = sorted((n for n in script_users.get(m.path, ()) if n in script_timing),
                      key=lambda n: script_timing[n])
        outcome = "survived"
        if not tests and not runs:
            outcome = "untested"
        else:
            try:
                (src / m.path).write_text(apply(original, m), encoding="utf-8")

                def built(*targets):
                    try:
                        return ninja(bin_dir, f"-j{a.jobs}", *targets, timeout=900).returncode == 0
                    except subprocess.TimeoutExpired:
                        return False

                steps = [((t,), lambda t=t: run_test(bin_dir, t, limit(t))) for t in tests]
                steps += [(tuple(scripts[n]), lambda n=n: run_script(bin_dir, n, max(10.0, 3 * script_timing[n])))
                          for n in runs]
                for targets, passes in steps:
                    if not built(*targets):
                        # The first build that fails says the mutant does not compile; one that fails after
                        # a program was built and passed says the same of the rest of its files.
                        outcome = "no build"
                        break
                    if not passes():
                        outcome = "killed"
                        break
            finally:
                # Back to the original with a new time stamp, so the next build compiles it again.
                (src / m.path).write_text(original, encoding="utf-8")
                now = time.time_ns()
                os.utime(src / m.path, ns=(now, now))
        log.write(f"{folder}\t{'survived' if outcome == 'untested' else outcome}\t{m.key()}\t"
                  f"{m.describe(line_text)}\n")
        log.flush()
        return outcome, line_text

    try:
        # The folders take turns, one mutant each, so a run stopped early still says something of every one.
        queues = {folder: iter(ms) for folder, ms in plan}
        while queues:
            for folder in list(queues):
                c = counts[folder]
                want = len(dict(plan)[folder]) if a.rerun else a.count
                m = next(queues[folder], None) if c[0] + c[1] < want else None
                if m is None:
                    del queues[folder]
                    continue
                outcome, line_text = decide(folder, m)
                if outcome == "killed":
                    c[0] += 1
                elif outcome in ("survived", "untested"):
                    c[1] += 1
                    survivors.append(m.describe(line_text))
                else:
                    c[2 if outcome == "no build" else 3] += 1
                if outcome != "equivalent":
                    elapsed = time.monotonic() - started
                    print(f"{outcome:9} {m.describe(line_text)}   [{elapsed / 60:.1f} min]", flush=True)
        table = [(folder, c[0] + c[1], *c) for folder, c in counts.items()]
    finally:
        log.close()
        # Leave the scratch build matching the sources again.
        ninja(bin_dir, f"-j{a.jobs}", *needed, *script_programs)

    print_table(f"== seed {a.seed}" if not a.rerun else f"== survivors of {a.rerun} again", table, survivors)
    print(f"\n(results in {log_path}; {(time.monotonic() - started) / 60:.1f} minutes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
