#!/usr/bin/env python3
"""Check the spell library files under data/library and print a summary.

Usage: python3 scripts/check-library.py [--delivered] [path/to/data/library]

Exits with status 1 and lists every problem found, or prints counts of spells
per level, frequency and school when everything is in order.

With --delivered, the rules for the spells that ship with Vellumar are applied
as well: every spell comes from the book KXR and has an empty author.
"""
import collections
import json
import pathlib
import re
import sys

KEYS = [
    "name", "level", "frequency", "book", "page", "components", "range", "duration",
    "areaOfEffect", "castingTime", "castingTimeType", "savingThrow", "author", "schools",
    "description",
]
FREQUENCIES = ["Common", "UnCommon", "Rare", "Very Rare", "Unique", "Restricted"]
COMPONENTS = {"V", "S", "M", "V,S", "S,M", "V,M", "V,S,M"}
CASTING_TIME_TYPES = {"Segment(s)", "Round(s)", "Turn(s)", "Hour(s)", "Day(s)", "Special"}
FORBIDDEN = ("||", "~~")
MAX_BUILTIN_SCHOOLS = 49


def main():
    args = sys.argv[1:]
    delivered = "--delivered" in args
    args = [a for a in args if a != "--delivered"]
    root = pathlib.Path(args[0] if args else
                        pathlib.Path(__file__).resolve().parent.parent / "data" / "library")
    problems = []

    def bad(where, msg):
        problems.append(f"{where}: {msg}")

    def check_text(where, value):
        for seq in FORBIDDEN:
            if seq in value:
                bad(where, f"contains {seq!r}")

    # Schools
    schools_path = root / "schools.json"
    try:
        schools = json.loads(schools_path.read_text(encoding="utf-8"))
    except (OSError, ValueError) as e:
        print(f"{schools_path}: cannot read: {e}")
        return 1
    school_names = []
    if not isinstance(schools, list):
        bad(schools_path, "not a JSON array")
        schools = []
    if len(schools) > MAX_BUILTIN_SCHOOLS:
        bad(schools_path, f"{len(schools)} schools; at most {MAX_BUILTIN_SCHOOLS} fit below counter 50")
    for i, school in enumerate(schools):
        where = f"{schools_path.name}[{i}]"
        if not isinstance(school, dict) or set(school) != {"name", "description"}:
            bad(where, "must be an object with exactly 'name' and 'description'")
            continue
        for key in ("name", "description"):
            if not isinstance(school[key], str) or not school[key].strip():
                bad(where, f"{key} must be a non-empty string")
            else:
                check_text(f"{where}.{key}", school[key])
        name = school["name"]
        if isinstance(name, str):
            if name != name.strip():
                bad(where, "name has leading or trailing spaces")
            if name in school_names:
                bad(where, f"duplicate school {name!r}")
            school_names.append(name)

    # Spells
    seen = {}
    per_level = collections.Counter()
    per_freq = collections.Counter()
    per_school = collections.Counter()
    per_level_freq = collections.defaultdict(collections.Counter)
    authored = 0
    for level in range(1, 10):
        path = root / "spells" / f"level-{level}.json"
        try:
            raw = path.read_text(encoding="utf-8")
            spells = json.loads(raw)
        except (OSError, ValueError) as e:
            bad(path, f"cannot read: {e}")
            continue
        if not isinstance(spells, list):
            bad(path, "not a JSON array")
            continue
        for i, spell in enumerate(spells):
            where = f"{path.name}[{i}]"
            if not isinstance(spell, dict):
                bad(where, "not an object")
                continue
            where = f"{path.name}: {spell.get('name', '?')!r}"
            if list(spell) != KEYS:
                missing = [k for k in KEYS if k not in spell]
                extra = [k for k in spell if k not in KEYS]
                if missing or extra:
                    bad(where, f"missing keys {missing}, unexpected keys {extra}")
                    continue
            for key in KEYS:
                value = spell[key]
                if key == "schools":
                    if not isinstance(value, list) or not value:
                        bad(where, "schools must be a non-empty array")
                        continue
                    for school in value:
                        if school not in school_names:
                            bad(where, f"unknown school {school!r}")
                    if len(set(value)) != len(value):
                        bad(where, "a school is listed twice")
                    continue
                if not isinstance(value, str):
                    bad(where, f"{key} must be a string")
                    continue
                check_text(f"{where}.{key}", value)
            name = spell["name"]
            if not name or name != name.strip():
                bad(where, "name empty or not trimmed")
            folded = name.casefold()
            if folded in seen:
                bad(where, f"name clashes with {seen[folded]!r}")
            seen[folded] = name
            if spell["level"] != str(level):
                bad(where, f"level {spell['level']!r} in level-{level}.json")
            if spell["frequency"] not in FREQUENCIES:
                bad(where, f"frequency {spell['frequency']!r}")
            if not spell["book"].strip():
                bad(where, "book is empty")
            elif delivered and spell["book"] != "KXR":
                bad(where, f"book {spell['book']!r}; delivered spells come from KXR")
            if not re.fullmatch(r"[1-9][0-9]*", spell["page"]):
                bad(where, f"page {spell['page']!r} is not a number")
            if spell["components"] not in COMPONENTS:
                bad(where, f"components {spell['components']!r}")
            ctt = spell["castingTimeType"]
            ct = spell["castingTime"]
            if ctt not in CASTING_TIME_TYPES:
                bad(where, f"castingTimeType {ctt!r}")
            elif ctt == "Special":
                if ct != "":
                    bad(where, "castingTime must be empty when the type is Special")
            elif not re.fullmatch(r"[1-9][0-9]*", ct):
                bad(where, f"castingTime {ct!r} is not an amount")
            for key in ("range", "duration", "areaOfEffect", "savingThrow"):
                if not spell[key].strip() or spell[key] != spell[key].strip():
                    bad(where, f"{key} empty or not trimmed")
            if spell["author"] != spell["author"].strip():
                bad(where, "author not trimmed")
            if spell["author"]:
                authored += 1
                if delivered:
                    bad(where, "author must be empty for delivered spells")
            desc = spell["description"]
            paragraphs = desc.split("\n\n")
            if "\r" in desc or any("\n" in p for p in paragraphs):
                bad(where, "description has line breaks other than paragraph breaks")
            if not 1 <= len(paragraphs) <= 4:
                bad(where, f"description has {len(paragraphs)} paragraphs")
            if any(not p.strip() or p != p.strip() for p in paragraphs):
                bad(where, "description has an empty or untrimmed paragraph")
            per_level[level] += 1
            per_freq[spell["frequency"]] += 1
            per_level_freq[level][spell["frequency"]] += 1
            for school in spell["schools"]:
                per_school[school] += 1
        if not raw.endswith("\n"):
            bad(path, "no newline at end of file")

    if problems:
        for p in problems:
            print(p)
        print(f"{len(problems)} problem(s) found")
        return 1

    total = sum(per_level.values())
    print(f"{len(school_names)} schools, {total} spells, {authored} with an author")
    print()
    header = "Level  Total  " + "  ".join(f"{f:>10}" for f in FREQUENCIES)
    print(header)
    for level in range(1, 10):
        row = "  ".join(f"{per_level_freq[level][f]:>10}" for f in FREQUENCIES)
        print(f"{level:>5}  {per_level[level]:>5}  {row}")
    print(f"{'All':>5}  {total:>5}  " + "  ".join(f"{per_freq[f]:>10}" for f in FREQUENCIES))
    print()
    for school in school_names:
        print(f"{per_school[school]:>4}  {school}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
