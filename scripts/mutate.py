#!/usr/bin/env python3
"""Mutation testing for the game code: how many small faults does the suite catch?

Needs python3, cmake, ninja and the compiler the build uses. The working tree is
never modified: its files are copied into WORK/src, built in WORK/build (-O1,
tests on, benchmarks, fuzzers and the memory tracker off), and each mutant is
applied to the copy, rebuilt and tested there, then undone.

A mutant changes one operator or constant in app engine sound entity world net
player items enemies memory: < <=, > >=, == !=, + -, * /, += -=, *= /=, ++ --,
&& ||, dropping a !, true false, and a number n -> n+1. A mutant is killed when
a test program fails (or crashes, or hangs past its timeout), or when building
the game data fails (the world compiler checks the map with the game's code).
Mutants that do not compile are left out of the score.

Usage:
  scripts/mutate.py --list --seed 1 --sample 160          # the chosen mutants
  nice -n 10 scripts/mutate.py --seed 1 --sample 160 --json out.json --report out.md
  scripts/mutate.py --seed 1 --sample 160 --paths player,items --json p.json
  scripts/mutate.py --only 3f2a91c0,77d0e1b4              # rerun given mutants
  scripts/mutate.py ... --compare old.json                # what changed since
  scripts/mutate.py --rerun old.json --json new.json      # the same mutants again, compared
Options: --tree DIR (sources, default this checkout), --work DIR (default
TREE/build-mutate), --min-per-dir N, --max-includers N, --tests linked|own,
--resume.

Mutant ids hash the file, the text of the line, which repetition of that line
it is and the token's place in it, so the same seed and sample pick the same
mutants as long as the game code is unchanged; edits to tests do not move them.
When the game code has changed too, --rerun repeats exactly the mutants of an
earlier run whose lines still exist. --paths filters after choosing, so a
per-folder run repeats the full run's mutants of that folder.
"""

import argparse
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

PROGRAMS = {}  # filled from tests/**/CMakeLists.txt
GAME_DIRS = ["app", "engine", "sound", "entity", "world", "net", "player", "items", "enemies", "memory"]
SOURCE_EXT = (".cpp", ".h", ".hpp", ".cc")

# Too slow to run per mutant: two copies of the game over the network, an install.
SLOW_PROGRAMS = {"test_two_players", "test_install"}

# The test folders whose programs exercise each game folder; --tests own runs only these.
OWN = {
    "app": ["app"],
    "engine": ["engine", "app"],
    "sound": ["sound", "app"],
    "entity": ["entity", "world", "player", "items", "enemies", "app"],
    "world": ["world", "tools", "app"],
    "net": ["net", "app"],
    "player": ["player", "items", "enemies", "app"],
    "items": ["items", "enemies", "app"],
    "enemies": ["enemies", "app"],
    "memory": ["memory"],
}


def find_programs(src_root):
    """{name: (test folder, path in the build)} of every GoogleTest program under tests/."""
    found = {}
    tests = os.path.join(src_root, "tests")
    for base, _, names in sorted(os.walk(tests)):
        for name in sorted(names):
            if name != "CMakeLists.txt" and not name.endswith(".cmake"):
                continue
            with open(os.path.join(base, name)) as f:
                text = f.read()
            folder = os.path.relpath(base, tests).split(os.sep)[0]
            for m in re.finditer(r"\b(karsk_add_test_program|add_executable)\(\s*(\w+)", text):
                prog = m.group(2)
                if m.group(1) == "add_executable" and not re.search(
                        r"target_link_libraries\(\s*%s\b[^)]*GTest" % prog, text):
                    continue
                if prog not in SLOW_PROGRAMS:
                    found[prog] = (folder, os.path.join("tests", os.path.relpath(base, tests), prog))
    return found


# ---------------------------------------------------------------- lexer

OPERATORS = sorted(
    "<<= >>= <=> ... ->* -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= :: .* "
    "< > + - * / % & | ^ ! ~ = ? : ; , . ( ) [ ] { } #".split(),
    key=len,
    reverse=True,
)
NUMBER = re.compile(r"\.?\d(?:[eEpP][+-]|[\w.'])*")
IDENT = re.compile(r"[A-Za-z_]\w*")


class Tok:
    __slots__ = ("kind", "text", "start", "end", "line", "ws_before", "ws_after")

    def __init__(self, kind, text, start, line):
        self.kind, self.text, self.start, self.end, self.line = kind, text, start, start + len(text), line
        self.ws_before = self.ws_after = False


def lex(src):
    """C++ tokens without comments, literals' insides or preprocessor lines."""
    toks = []
    i, n, line = 0, len(src), 1
    line_start = True
    while i < n:
        c = src[i]
        if c == "\n":
            line += 1
            line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if line_start and c == "#":
            # Preprocessor line, with continuations.
            while i < n and src[i] != "\n":
                if src[i] == "\\" and i + 1 < n and src[i + 1] == "\n":
                    line += 1
                    i += 1
                i += 1
            continue
        line_start = False
        if src.startswith("//", i):
            while i < n and src[i] != "\n":
                i += 1
            continue
        if src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
            line += src.count("\n", i, j)
            i = j
            continue
        m = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', src[i:])
        if m:
            close = ")" + m.group(1) + '"'
            j = src.find(close, i + m.end())
            j = n if j < 0 else j + len(close)
            toks.append(Tok("str", src[i:j], i, line))
            line += src.count("\n", i, j)
            i = j
            continue
        m = re.match(r"(?:u8|u|U|L)?(['\"])", src[i:])
        if m and (c in "'\"" or not IDENT.match(src[i + m.end() - 1 :] or "")):
            q = m.group(1)
            j = i + m.end()
            while j < n and src[j] != q and src[j] != "\n":
                j += 2 if src[j] == "\\" else 1
            j += 1
            toks.append(Tok("str", src[i:j], i, line))
            i = j
            continue
        if c.isdigit() or (c == "." and i + 1 < n and src[i + 1].isdigit()):
            m = NUMBER.match(src, i)
            toks.append(Tok("num", m.group(0), i, line))
            i = m.end()
            continue
        m = IDENT.match(src, i)
        if m:
            toks.append(Tok("id", m.group(0), i, line))
            i = m.end()
            continue
        for op in OPERATORS:
            if src.startswith(op, i):
                toks.append(Tok("op", op, i, line))
                i += len(op)
                break
        else:
            i += 1
    for t in toks:
        t.ws_before = t.start == 0 or src[t.start - 1] in " \t\n"
        t.ws_after = t.end >= n or src[t.end] in " \t\n"
    return toks


# Tokens that may appear inside template arguments.
TEMPLATE_OK = {"::", ",", "*", "&", "(", ")", "[", "]", "...", "<", ">", ">>"}


def template_brackets(toks):
    """Indices of < and > that are template brackets rather than comparisons."""
    marked = set()
    for i, t in enumerate(toks):
        if t.text != "<" or i == 0 or toks[i - 1].kind != "id":
            continue
        depth, paren, inner = 1, 0, [i]
        for j in range(i + 1, min(len(toks), i + 60)):
            u = toks[j]
            if u.kind == "str" or (u.kind == "op" and u.text not in TEMPLATE_OK):
                break
            if u.text == "(":
                paren += 1
            elif u.text == ")":
                paren -= 1
                if paren < 0:
                    break
            elif u.text == "<":
                depth += 1
                inner.append(j)
            elif u.text in (">", ">>"):
                depth -= len(u.text)
                inner.append(j)
                if depth <= 0:
                    if depth == 0 and paren == 0:
                        marked.update(inner)
                    break
    return marked


# ---------------------------------------------------------------- mutants

SWAPS = {
    "<": ("<=", "relational"), "<=": ("<", "relational"), ">": (">=", "relational"),
    ">=": (">", "relational"), "==": ("!=", "relational"), "!=": ("==", "relational"),
    "+": ("-", "arithmetic"), "-": ("+", "arithmetic"), "*": ("/", "arithmetic"), "/": ("*", "arithmetic"),
    "+=": ("-=", "arithmetic"), "-=": ("+=", "arithmetic"), "*=": ("/=", "arithmetic"),
    "/=": ("*=", "arithmetic"), "++": ("--", "arithmetic"), "--": ("++", "arithmetic"),
    "&&": ("||", "logical"), "||": ("&&", "logical"),
}
OPERAND_END = {"id", "num"}


def bump_number(text):
    """n -> n+1, keeping base and suffix; None when it is not a plain literal."""
    body = text.replace("'", "")
    m = re.fullmatch(r"(0[xX][0-9a-fA-F]+|0[bB][01]+|\d+)([uUlL]*)", body)
    if m:
        digits, suffix = m.groups()
        if digits[:2] in ("0x", "0X"):
            return "0x%X%s" % (int(digits, 16) + 1, suffix)
        if digits[:2] in ("0b", "0B"):
            return "0b%s%s" % (bin(int(digits, 2) + 1)[2:], suffix)
        if len(digits) > 1 and digits[0] == "0":
            return "0%o%s" % (int(digits, 8) + 1, suffix)
        return "%d%s" % (int(digits) + 1, suffix)
    m = re.fullmatch(r"((?:\d+\.\d*|\.\d+|\d+)(?:[eE][+-]?\d+)?)([fFlL]?)", body)
    if m and ("." in m.group(1) or "e" in m.group(1).lower()):
        value = repr(float(m.group(1)) + 1.0)
        if "inf" in value or "nan" in value:
            return None
        return value + m.group(2)
    return None


def file_mutants(rel, src):
    toks = lex(src)
    templ = template_brackets(toks)
    lines = src.split("\n")
    # Stable key of a line: its text and which repetition of that text it is.
    seen, line_key = {}, {}
    for no, text in enumerate(lines, 1):
        s = text.strip()
        seen[s] = seen.get(s, 0) + 1
        line_key[no] = "%s\x00%d" % (s, seen[s])
    per_line = {}
    out = []
    for i, t in enumerate(toks):
        prev = toks[i - 1] if i else None
        nxt = toks[i + 1] if i + 1 < len(toks) else None
        repl = kind = None
        if t.kind == "op" and t.text in SWAPS and i not in templ:
            repl, kind = SWAPS[t.text]
            if prev is not None and prev.text == "operator":
                repl = None
            elif t.text in ("++", "--"):
                pass
            elif t.text in ("+", "-", "*", "/", "&&", "||") or t.text.endswith("="):
                # Binary use only (formatted with spaces); not pointers, references, unary signs.
                binary = (
                    t.ws_before and t.ws_after and prev is not None and nxt is not None
                    and (prev.kind in OPERAND_END or prev.text in (")", "]"))
                )
                if not binary:
                    repl = None
        elif t.kind == "op" and t.text == "!":
            repl, kind = "", "negation"
        elif t.kind == "id" and t.text in ("true", "false"):
            repl, kind = ("false" if t.text == "true" else "true"), "boolean"
        elif t.kind == "num":
            repl, kind = bump_number(t.text), "constant"
        if repl is None:
            continue
        n = per_line.get(t.line, 0)
        per_line[t.line] = n + 1
        key = "%s\x00%s\x00%d\x00%s" % (rel, line_key[t.line], n, repl)
        mid = hashlib.sha1(key.encode()).hexdigest()[:8]
        col = t.start - (src.rfind("\n", 0, t.start) + 1)
        out.append({
            "id": mid, "dir": rel.split("/")[0], "file": rel, "line": t.line, "col": col + 1,
            "start": t.start, "end": t.end, "kind": kind, "orig": t.text, "repl": repl,
            "text": lines[t.line - 1].strip(),
        })
    return out


# ---------------------------------------------------------------- tree

def tree_files(tree):
    if os.path.isdir(os.path.join(tree, ".git")) or os.path.isfile(os.path.join(tree, ".git")):
        out = subprocess.run(["git", "-C", tree, "ls-files", "-z", "--cached", "--others", "--exclude-standard"], capture_output=True, check=True)
        files = [f for f in out.stdout.decode().split("\0") if f]
        return [f for f in files if os.path.isfile(os.path.join(tree, f))]
    files = []
    for root, dirs, names in os.walk(tree):
        rel_root = os.path.relpath(root, tree)
        dirs[:] = [d for d in dirs if not (rel_root == "." and (d.startswith("build") or d == ".git"))]
        for name in names:
            files.append(os.path.normpath(os.path.join(rel_root, name)))
    return files


def sync_tree(tree, dest, files):
    """Copy changed files only, with a fresh mtime, so the build stays incremental."""
    os.makedirs(dest, exist_ok=True)
    wanted = set(files)
    copied = 0
    for rel in files:
        s, d = os.path.join(tree, rel), os.path.join(dest, rel)
        with open(s, "rb") as f:
            data = f.read()
        try:
            with open(d, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        os.makedirs(os.path.dirname(d), exist_ok=True)
        with open(d, "wb") as f:
            f.write(data)
        shutil.copymode(s, d)
        copied += 1
    for root, _, names in os.walk(dest):
        for name in names:
            rel = os.path.relpath(os.path.join(root, name), dest)
            if rel not in wanted:
                os.remove(os.path.join(root, name))
    return copied


def includers(src_root):
    """How many source files outside tests/ include each header, directly or not."""
    direct = {}
    for base, dirs, names in os.walk(src_root):
        dirs[:] = [d for d in dirs if not (base == src_root and d in ("tests", ".git"))]
        for name in names:
            if name.endswith(SOURCE_EXT):
                rel = os.path.relpath(os.path.join(base, name), src_root)
                with open(os.path.join(base, name), encoding="utf-8", errors="replace") as f:
                    direct[rel] = re.findall(r'^\s*#\s*include\s*"([^"]+)"', f.read(), re.M)
    counts = {}
    for rel in direct:
        if rel.endswith(".h") or rel.endswith(".hpp"):
            continue
        seen, todo = set(), list(direct[rel])
        while todo:
            h = todo.pop()
            if h not in seen:
                seen.add(h)
                todo.extend(direct.get(h, []))
        for h in seen:
            counts[h] = counts.get(h, 0) + 1
    return counts


def all_mutants(src_root, max_includers=0):
    """Every candidate; headers that most of the game includes are left out when
    max_includers is set, as each of their mutants rebuilds nearly everything twice."""
    users = includers(src_root) if max_includers else {}
    out = []
    for d in GAME_DIRS:
        base = os.path.join(src_root, d)
        for root, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith(SOURCE_EXT):
                    full = os.path.join(root, name)
                    rel = os.path.relpath(full, src_root)
                    if max_includers and users.get(rel, 0) > max_includers:
                        continue
                    with open(full, encoding="utf-8", newline="") as f:
                        out.extend(file_mutants(rel, f.read()))
    return out


def choose(mutants, seed, sample, min_per_dir):
    """Stratified by folder: a share of the sample in proportion, at least min_per_dir each."""
    by_dir = {}
    for m in mutants:
        by_dir.setdefault(m["dir"], []).append(m)
    total = len(mutants)
    chosen = []
    for d in GAME_DIRS:
        group = by_dir.get(d, [])
        if not group:
            continue
        quota = min(len(group), max(min_per_dir, int(round(sample * len(group) / total))))
        ranked = sorted(group, key=lambda m: hashlib.sha1(("%s:%s" % (seed, m["id"])).encode()).hexdigest())
        # One mutant per line first, for spread.
        picked, lines = [], set()
        for m in ranked:
            if len(picked) == quota:
                break
            key = (m["file"], m["line"])
            if key not in lines:
                lines.add(key)
                picked.append(m)
        for m in ranked:
            if len(picked) == quota:
                break
            if m not in picked:
                picked.append(m)
        chosen.extend(picked)
    return interleave(chosen)


def interleave(mutants):
    """Folder by folder in turn, so that a run cut short still covers every folder."""
    by_dir = {}
    for m in sorted(mutants, key=lambda m: (m["file"], m["start"])):
        by_dir.setdefault(m["dir"], []).append(m)
    out = []
    while any(by_dir.values()):
        for d in GAME_DIRS:
            if by_dir.get(d):
                out.append(by_dir[d].pop(0))
    return out


# ---------------------------------------------------------------- build and run

def run(cmd, cwd=None, env=None, timeout=None):
    """(exit code or None on timeout, output); a hung program loses its whole process group."""
    p = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
        return None, out.decode(errors="replace")


def configure(work, src, build):
    if os.path.exists(os.path.join(build, "build.ninja")):
        return
    os.makedirs(build, exist_ok=True)
    # A mutant may well draw a warning (a || b && c); it must still be tested.
    launcher = os.path.join(work, "no-werror.sh")
    with open(launcher, "w") as f:
        f.write('#!/bin/sh\nfor a; do shift; [ "$a" = -Werror ] || set -- "$@" "$a"; done\nexec "$@"\n')
    os.chmod(launcher, 0o755)
    cmd = ["cmake", "-G", "Ninja", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=None",
           "-DCMAKE_CXX_FLAGS=-O1", "-DCMAKE_C_FLAGS=-O1", "-DCMAKE_CXX_COMPILER_LAUNCHER=" + launcher,
           "-DKARSK_BUILD_TESTS=ON", "-DKARSK_BUILD_BENCH=OFF", "-DKARSK_BUILD_FUZZ=OFF",
           "-DKARSK_MEMORY_TRACKER=OFF"]
    if shutil.which("ld.lld"):
        cmd.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")  # each mutant relinks many programs
    rc, out = run(cmd)
    if rc != 0:
        sys.exit("configure failed:\n" + out[-3000:])


def build(build_dir, targets, jobs):
    return run(["ninja", "-C", build_dir, "-j", str(jobs)] + targets)


def test_env(work, build_dir):
    env = dict(os.environ)
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    env.update(SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy", KARSK_DATA=os.path.join(build_dir, "data"),
               HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"))
    return env


def run_program(build_dir, name, env, cwd, timeout):
    shutil.rmtree(cwd, ignore_errors=True)
    os.makedirs(cwd)
    path = os.path.join(build_dir, PROGRAMS[name][1])
    t0 = time.time()
    rc, out = run([path, "--gtest_fail_fast", "--gtest_brief=1"], cwd=cwd, env=env, timeout=timeout)
    failed = re.findall(r"\[  FAILED  \] (\S+)", out)
    if failed:
        what = failed[0]
    elif rc is not None and rc < 0:
        what = "signal %d" % -rc  # a crash
    elif rc:
        what = "exit %d" % rc
    else:
        what = ""
    return rc, time.time() - t0, what


def own_programs(d, available):
    return [p for folder in OWN.get(d, []) for p in available if PROGRAMS[p][0] == folder]


def program_order(d, available, base_times):
    """The folder's own programs first, then the rest, quickest first."""
    first = own_programs(d, available)
    rest = sorted((p for p in available if p not in first), key=lambda p: base_times.get(p, 0))
    return first + rest


def data_digest(build_dir):
    h = hashlib.sha1()
    root = os.path.join(build_dir, "data")
    for base, _, names in sorted(os.walk(root)):
        for name in sorted(names):
            if name.endswith(".stamp"):
                continue
            with open(os.path.join(base, name), "rb") as f:
                h.update(name.encode() + f.read())
    return h.hexdigest()


def mtimes(build_dir, names):
    out = {}
    for n in names:
        try:
            out[n] = os.stat(os.path.join(build_dir, PROGRAMS[n][1])).st_mtime_ns
        except OSError:
            out[n] = None
    return out


def apply(src_root, m, original):
    text = original[: m["start"]] + m["repl"] + original[m["end"] :]
    write(os.path.join(src_root, m["file"]), text)


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def test_mutant(m, args, src_root, build_dir, programs, base_times, env, digest0):
    path = os.path.join(src_root, m["file"])
    with open(path, encoding="utf-8", newline="") as f:
        original = f.read()
    result = {}
    assert original[m["start"] : m["end"]] == m["orig"], m
    if args.tests == "own":
        programs = own_programs(m["dir"], programs)
    before = mtimes(build_dir, programs)
    t0 = time.time()
    apply(src_root, m, original)
    try:
        rc, out = build(build_dir, programs, args.jobs)
        result["build_seconds"] = round(time.time() - t0, 1)
        if rc != 0:
            failed = re.findall(r"^FAILED: (\S+)", out, re.M)
            if failed and all(f.startswith("data/") for f in failed):
                # The world compiler checks the map with the game's own code.
                result.update(status="killed", program="data build", test=failed[0])
            else:
                errors = re.findall(r"^\S+:\d+:\d+: error: .*$", out, re.M)
                result.update(status="build error", test=(errors[0] if errors else "")[-200:])
            return result
        # A program that was not relinked is the unmutated one, unless the data changed.
        after = mtimes(build_dir, programs)
        relinked = [p for p in programs if after[p] != before[p]]
        if data_digest(build_dir) != digest0:
            relinked = list(programs)
        order = [p for p in program_order(m["dir"], programs, base_times) if p in relinked]
        result["programs"] = len(order)
        for p in order:
            cwd = os.path.join(args.work, "run")
            rc, secs, test = run_program(build_dir, p, env, cwd, base_times[p] * 5 + 20)
            if rc is None:
                result.update(status="timeout", program=p, test="")
                break
            if rc != 0:
                result.update(status="killed", program=p, test=test)
                break
        else:
            result.update(status="survived")
        return result
    finally:
        write(path, original)
        result["seconds"] = round(time.time() - t0, 1)


# ---------------------------------------------------------------- report

def summarize(results):
    rows = {}
    for r in results:
        for key in (r["dir"], "total"):
            row = rows.setdefault(key, {"total": 0, "killed": 0, "survived": 0, "timeout": 0, "build error": 0})
            row["total"] += 1
            row[r["status"]] += 1
            if r.get("program") == "data build":
                row["by data build"] = row.get("by data build", 0) + 1
    for row in rows.values():
        caught = row["killed"] + row["timeout"]
        judged = caught + row["survived"]
        row["score"] = round(100.0 * caught / judged, 1) if judged else None
    return rows


def report_text(meta, results, compare_lines):
    rows = summarize(results)
    out = ["# Mutation testing", "", "Command: `%s`" % meta["command"], "",
           "Tree: %s; seed %s, sample %s, at least %s per folder; tests: %s; %s mutants, %s s each on average."
           % (meta["tree"], meta["seed"], meta["sample"], meta["min_per_dir"], meta["tests"], len(results),
              meta.get("seconds_per_mutant")), "",
           "Score = (killed + timeout) / (killed + timeout + survived); build errors are left out.", "",
           "Killed by data build: the world compiler's map check, which runs the game's collision code, "
           "failed before any test ran.", "",
           "| folder | mutants | killed | of which by data build | timeout | survived | build error | score % |",
           "|---|---|---|---|---|---|---|---|"]
    for d in GAME_DIRS + ["total"]:
        if d in rows:
            r = rows[d]
            out.append("| %s | %d | %d | %d | %d | %d | %d | %s |" % (
                d, r["total"], r["killed"], r.get("by data build", 0), r["timeout"], r["survived"],
                r["build error"], r["score"]))
    out += ["", "## Survivors", ""]
    for r in sorted(results, key=lambda r: (r["file"], r["line"])):
        if r["status"] == "survived":
            out.append("- `%s` %s:%d (%s) `%s` -> `%s`: `%s`" % (r["id"], r["file"], r["line"], r["kind"],
                                                                r["orig"], r["repl"] or "(removed)", r["text"]))
    kills = {}
    for r in results:
        if r["status"] == "killed":
            kills[r.get("program", "")] = kills.get(r.get("program", ""), 0) + 1
    out += ["", "## First program to catch each killed mutant", ""]
    out += ["- %s: %d" % (k, v) for k, v in sorted(kills.items(), key=lambda kv: -kv[1])]
    out += ["", "## Build errors (left out) and timeouts (caught)", ""]
    for r in results:
        if r["status"] in ("build error", "timeout"):
            out.append("- `%s` %s:%d `%s` -> `%s`: %s %s" % (r["id"], r["file"], r["line"], r["orig"],
                                                            r["repl"] or "(removed)", r["status"],
                                                            r.get("program", "") or r.get("test", "")))
    if compare_lines:
        out += ["", "## Compared with an earlier run", ""] + compare_lines
    return "\n".join(out) + "\n"


def compare(old_path, results):
    with open(old_path) as f:
        old = {r["id"]: r for r in json.load(f)["mutants"]}
    caught = ("killed", "timeout")
    lost, gained, missing = [], [], []
    new_ids = {r["id"] for r in results}
    for r in results:
        o = old.get(r["id"])
        if not o or "build error" in (o["status"], r["status"]):
            continue
        line = "- `%s` %s:%d `%s` -> `%s`: was %s (%s %s), now %s" % (
            r["id"], r["file"], r["line"], r["orig"], r["repl"] or "(removed)", o["status"],
            o.get("program", ""), o.get("test", ""), r["status"])
        if o["status"] in caught and r["status"] == "survived":
            lost.append(line)
        elif o["status"] == "survived" and r["status"] in caught:
            gained.append(line)
    missing = [i for i in old if i not in new_ids]
    lines = ["Killed before, surviving now: %d" % len(lost)] + lost
    lines += ["", "Surviving before, killed now: %d" % len(gained)] + gained
    lines += ["", "Earlier mutants not run now: %d" % len(missing)]
    return lines


# ---------------------------------------------------------------- main

def main():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tree", default=here, help="source tree to test (default: this checkout)")
    ap.add_argument("--work", help="scratch directory (default: TREE/build-mutate)")
    ap.add_argument("--seed", default="1")
    ap.add_argument("--sample", type=int, default=160, help="number of mutants (0: all)")
    ap.add_argument("--min-per-dir", type=int, default=8)
    ap.add_argument("--max-includers", type=int, default=10,
                    help="leave out headers included by more game files than this (0: none left out)")
    ap.add_argument("--paths", help="comma-separated folders to keep after choosing")
    ap.add_argument("--only", help="comma-separated mutant ids (from any folder, chosen or not)")
    ap.add_argument("--rerun", help="run the mutants of an earlier results JSON again and compare")
    ap.add_argument("--list", action="store_true", help="print the chosen mutants and stop")
    ap.add_argument("--tests", choices=["linked", "own"], default="linked",
                    help="linked: every fast test program the change relinks; own: the programs that exercise the folder")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--json", help="results file (written after each mutant)")
    ap.add_argument("--report", help="markdown report")
    ap.add_argument("--compare", help="earlier results JSON")
    ap.add_argument("--resume", action="store_true", help="keep results already in --json")
    args = ap.parse_args()
    args.tree = os.path.abspath(args.tree)
    args.work = os.path.abspath(args.work or os.path.join(args.tree, "build-mutate"))
    src_root, build_dir = os.path.join(args.work, "src"), os.path.join(args.work, "build")

    files = tree_files(args.tree)
    files = [f for f in files if not f.startswith(os.path.relpath(args.work, args.tree) + os.sep)]
    copied = sync_tree(args.tree, src_root, files)
    mutants = all_mutants(src_root, args.max_includers)
    if args.rerun:
        with open(args.rerun) as f:
            args.only = ",".join(r["id"] for r in json.load(f)["mutants"])
        args.compare = args.compare or args.rerun
    if args.only:
        ids = set(args.only.split(","))
        chosen = interleave([m for m in mutants if m["id"] in ids])
        unknown = ids - {m["id"] for m in chosen}
        if unknown:
            print("unknown ids (line gone?): " + ",".join(sorted(unknown)), file=sys.stderr)
    else:
        sample = args.sample or len(mutants)
        chosen = choose(mutants, args.seed, sample, args.min_per_dir)
    if args.paths:
        keep = set(p.strip().strip("/") for p in args.paths.split(","))
        chosen = [m for m in chosen if m["dir"] in keep]
    if args.list:
        for m in chosen:
            print("%s %s:%d:%d %s `%s` -> `%s`  %s" % (m["id"], m["file"], m["line"], m["col"], m["kind"],
                                                       m["orig"], m["repl"] or "(removed)", m["text"]))
        counts = {}
        for m in chosen:
            counts[m["dir"]] = counts.get(m["dir"], 0) + 1
        print("%d mutants of %d candidates: %s" % (len(chosen), len(mutants),
                                                 ", ".join("%s %d" % kv for kv in counts.items())))
        return

    print("synced %d changed files; %d mutants to run" % (copied, len(chosen)), flush=True)
    configure(args.work, src_root, build_dir)
    PROGRAMS.update(find_programs(src_root))
    programs = sorted(PROGRAMS)
    rc, out = build(build_dir, programs, args.jobs)
    if rc != 0:
        sys.exit("the unmutated tree does not build:\n" + out[-3000:])
    env = test_env(args.work, build_dir)
    programs = [p for p in programs if os.path.exists(os.path.join(build_dir, PROGRAMS[p][1]))]
    base_times = {}
    for p in list(programs):
        rc, secs, test = run_program(build_dir, p, env, os.path.join(args.work, "run"), 600)
        base_times[p] = round(secs, 2)
        if rc != 0:
            print("warning: %s fails without mutation (%s); left out" % (p, test), file=sys.stderr)
            programs.remove(p)
        print("baseline %s: %.1f s" % (p, secs), flush=True)
    digest0 = data_digest(build_dir)

    done = {}
    if args.resume and args.json and os.path.exists(args.json):
        with open(args.json) as f:
            done = {r["id"]: r for r in json.load(f)["mutants"]}
    meta = {"command": " ".join([os.path.relpath(sys.argv[0])] + sys.argv[1:]), "tree": args.tree,
            "seed": args.seed, "sample": args.sample, "min_per_dir": args.min_per_dir, "tests": args.tests,
            "max_includers": args.max_includers,
            "programs": programs, "baseline_seconds": base_times, "started": time.strftime("%Y-%m-%d %H:%M:%S")}
    results = []
    t_start = time.time()

    def save():
        ran = [r for r in results if "seconds" in r]
        meta["seconds_per_mutant"] = round(sum(r["seconds"] for r in ran) / len(ran), 1) if ran else None
        if args.json:
            with open(args.json + ".tmp", "w") as f:
                json.dump({"meta": meta, "summary": summarize(results), "mutants": results}, f, indent=1)
            os.replace(args.json + ".tmp", args.json)

    chosen.sort(key=lambda m: m["id"] not in done)
    for k, m in enumerate(chosen, 1):
        if m["id"] in done:
            results.append(done[m["id"]])
            continue
        r = {key: m[key] for key in ("id", "dir", "file", "line", "col", "kind", "orig", "repl", "text")}
        r.update(test_mutant(m, args, src_root, build_dir, programs, base_times, env, digest0))
        results.append(r)
        save()
        print("[%d/%d] %s %s:%d `%s` -> `%s`: %s %s %s (%.0f s)" % (
            k, len(chosen), m["id"], m["file"], m["line"], m["orig"], m["repl"], r["status"],
            r.get("program", ""), r.get("test", ""), r["seconds"]), flush=True)
    meta["finished"] = time.strftime("%Y-%m-%d %H:%M:%S")
    meta["wall_seconds"] = round(time.time() - t_start)
    save()
    # Leave the build matching the sources again.
    build(build_dir, programs, args.jobs)
    compare_lines = compare(args.compare, results) if args.compare else []
    text = report_text(meta, results, compare_lines)
    if args.report:
        with open(args.report, "w") as f:
            f.write(text)
    print(text)


if __name__ == "__main__":
    main()
