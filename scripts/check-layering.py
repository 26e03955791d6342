#!/usr/bin/env python3
"""Fails when a file includes a header of a target its own target does not link.

The boundaries are the CMake targets, read from a configured build folder through
CMake's file API: each target's sources, include paths and dependencies.  A target
may include its own headers and those of the targets it depends on, directly or
through others; tests and benchmarks are targets like any other.  A header belongs
to the targets that compile the .cpp of the same name beside it, else to every
target with sources in its folder; a header of the tests without a .cpp is support
that any test may include.  Each target is checked on what it compiles: its sources
and every project header they reach through its include paths.  Prints the target graph (each target with the
targets it links directly), one count per target and every violation; exit 1 on any.

  scripts/check-layering.py [BUILD]   (default build-check, configured here if needed)
"""
import glob
import json
import os
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
CODE = (".c", ".cc", ".cpp", ".h", ".hpp")


def configure(root, build):
    query = os.path.join(build, ".cmake", "api", "v1", "query")
    os.makedirs(query, exist_ok=True)
    open(os.path.join(query, "codemodel-v2"), "w").close()
    subprocess.run(["cmake", "-S", root, "-B", build, "-G", "Ninja"], check=True,
                   stdout=subprocess.DEVNULL)


def load_targets(build):
    reply = os.path.join(build, ".cmake", "api", "v1", "reply")
    index = json.load(open(sorted(glob.glob(os.path.join(reply, "index-*.json")))[-1]))
    model = index["reply"]["codemodel-v2"]
    codemodel = json.load(open(os.path.join(reply, model["jsonFile"])))
    config = codemodel["configurations"][0]
    raw = [json.load(open(os.path.join(reply, t["jsonFile"]))) for t in config["targets"]]
    by_id = {t["id"]: t["name"] for t in raw}
    source_root = codemodel["paths"]["source"]
    targets = {}
    for t in raw:
        groups = t.get("compileGroups", [])
        includes = [i["path"] for g in groups[:1] for i in g.get("includes", [])]
        sources = [os.path.normpath(os.path.join(source_root, s["path"]))
                   for s in t.get("sources", []) if not s.get("isGenerated")]
        targets[t["name"]] = {
            "type": t["type"],
            "sources": [s for s in sources if s.endswith(CODE)],
            "includes": includes,
            "deps": sorted({by_id[d["id"]] for d in t.get("dependencies", [])}),
        }
    return source_root, targets


def closure(targets, name, seen=None):
    seen = set() if seen is None else seen
    for d in targets[name]["deps"]:
        if d not in seen:
            seen.add(d)
            closure(targets, d, seen)
    return seen


def direct_deps(targets, name):
    """The dependencies not already reached through another one."""
    deps = set(targets[name]["deps"])
    through = set()
    for d in deps:
        through |= closure(targets, d)
    return sorted(deps - through)


def header_owners(targets):
    by_file, by_dir = {}, {}
    for name, t in targets.items():
        for s in t["sources"]:
            by_file.setdefault(os.path.splitext(s)[0], set()).add(name)
            by_dir.setdefault(os.path.dirname(s), set()).add(name)

    def owners(header):
        stem = os.path.splitext(header)[0]
        return by_file.get(stem) or by_dir.get(os.path.dirname(header), set())

    return owners


def resolve(name, including, include_dirs):
    for d in [os.path.dirname(including)] + include_dirs:
        path = os.path.normpath(os.path.join(d, name))
        if os.path.isfile(path):
            return path
    return None


def includes_of(path, include_dirs):
    with open(path, encoding="utf-8") as text:
        for line_no, line in enumerate(text, 1):
            m = INCLUDE.match(line)
            if m:
                header = resolve(m.group(1), path, include_dirs)
                if header:
                    yield line_no, header


def is_test(root, target):
    return all(os.path.relpath(s, root).startswith(("tests" + os.sep, "bench" + os.sep))
               for s in target["sources"][:1])


def shared_test_support(root, header, own):
    """A header of the tests without a .cpp of its own is support any test may use."""
    stem = os.path.splitext(header)[0]
    return os.path.relpath(header, root).startswith("tests" + os.sep) and not any(
        os.path.isfile(stem + ext) for ext in (".cpp", ".cc", ".c"))


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-check"))
    configure(root, build)
    source_root, targets = load_targets(build)
    owners = header_owners(targets)
    print("target graph (each target: the targets it links directly)")
    for name in sorted(targets):
        if targets[name]["type"] != "UTILITY":
            print(f"  {name:28} -> {' '.join(direct_deps(targets, name)) or '-'}")

    bad, counts = [], {}
    for name, t in sorted(targets.items()):
        reach = closure(targets, name) | {name}
        test = is_test(source_root, t)
        counts[name] = 0
        # What the target compiles: its sources and every project header they reach.
        todo, seen = list(t["sources"]), set(t["sources"])
        while todo:
            path = todo.pop()
            for line_no, header in includes_of(path, t["includes"]):
                if not header.startswith(source_root + os.sep):
                    continue  # a system or generated header
                counts[name] += 1
                if header not in seen:
                    seen.add(header)
                    todo.append(header)
                own = owners(header)
                if not own or own & reach or (test and shared_test_support(source_root, header, own)):
                    continue
                rel = os.path.relpath(path, source_root)
                bad.append(f"{rel}:{line_no}: {name} includes "
                           f"{os.path.relpath(header, source_root)} of "
                           f"{', '.join(sorted(own))}, which it does not link")
    checked = sum(counts.values())
    print(f"{len([c for c in counts.values() if c])} targets, {checked} project includes checked")
    for b in sorted(set(bad)):
        print(b)
    print("layering: FAIL" if bad else "layering: OK")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
