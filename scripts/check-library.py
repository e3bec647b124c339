#!/usr/bin/env python3
"""Check the spell library files under data/library and print a summary.

Usage: python3 scripts/check-library.py [--delivered] [path/to/data/library]

Exits with status 1 and lists every problem found, or prints counts of spells
per level, frequency and school when everything is in order.

With --delivered, the rules for the spells that ship with Vellumar are applied
as well: every spell comes from the book KXR and has an empty author, and the
library is large enough: at least 300 spells, 20 on every level, 8 in every
school, and no priestly sphere thinner than the thinnest wizard school.

Always checked: no two spells open their descriptions with the same sentence,
every value survives a trip through an exchange file (.spel), and the sample
casters' spellbooks, failed spells, memorized days and scrolls name spells that
exist and fit together.
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
WIZARD_SCHOOLS = [
    "Abjuration", "Alteration", "Conjuration/Summoning", "Divination", "Enchantment/Charm",
    "Illusion/Phantasm", "Invocation/Evocation", "Necromancy",
]
MIN_DELIVERED_SPELLS = 300
MIN_DELIVERED_PER_LEVEL = 20
MIN_DELIVERED_PER_SCHOOL = 8
# In exchange files "||" joins fields, "~~" joins schools and "^^" stands for a line break, so
# a value must not form one of them with its neighbour either.
EXCHANGE_EDGES = {"||": "|", "~~": "~"}


def opening_sentence(description):
    """The description up to the end of its first sentence, ignoring case."""
    paragraph = description.split("\n", 1)[0]
    match = re.search(r"[.!?](\s|$)", paragraph)
    return (paragraph[:match.end()] if match else paragraph).strip().casefold()


def exchange_problems(spell):
    """Why a spell would come back different from an exchange file, if it would."""
    found = []
    for key in KEYS:
        values = spell[key] if key == "schools" else [spell[key]]
        for value in values:
            if value.startswith("|") or value.endswith("|"):
                found.append(f"{key} starts or ends with '|'")
            if key == "schools" and (value.startswith("~") or value.endswith("~")):
                found.append("a school starts or ends with '~'")
            if key != "description" and "\n" in value:
                found.append(f"{key} holds a line break")
    desc = spell["description"]
    if "^^" in desc or re.search(r"\^\n|\n\^|^\^|\^$", desc):
        found.append("description holds '^' where a line break would be read")
    return found


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
    openings = {}
    levels_of = {}
    spell_info = {}
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
            for problem in exchange_problems(spell):
                bad(where, f"would not survive a spells file: {problem}")
            opening = opening_sentence(desc)
            if opening in openings:
                bad(where, f"description opens as {openings[opening]!r} does")
            openings[opening] = name
            levels_of[name] = str(level)
            spell_info[name] = spell
            per_level[level] += 1
            per_freq[spell["frequency"]] += 1
            per_level_freq[level][spell["frequency"]] += 1
            for school in spell["schools"]:
                per_school[school] += 1
        if not raw.endswith("\n"):
            bad(path, "no newline at end of file")

    check_casters(root / "casters.json", spell_info, bad)

    if delivered:
        total = sum(per_level.values())
        if total < MIN_DELIVERED_SPELLS:
            bad(root, f"{total} spells; the delivered library holds at least {MIN_DELIVERED_SPELLS}")
        for level in range(1, 10):
            if per_level[level] < MIN_DELIVERED_PER_LEVEL:
                bad(root, f"level {level} has {per_level[level]} spells, fewer than {MIN_DELIVERED_PER_LEVEL}")
        for school in school_names:
            if per_school[school] < MIN_DELIVERED_PER_SCHOOL:
                bad(root, f"{school} has {per_school[school]} spells, fewer than {MIN_DELIVERED_PER_SCHOOL}")
        wizard = [per_school[s] for s in school_names if s in WIZARD_SCHOOLS]
        spheres = [(per_school[s], s) for s in school_names if s not in WIZARD_SCHOOLS]
        if wizard and spheres and min(spheres)[0] < min(wizard):
            bad(root, f"the sphere {min(spheres)[1]} has {min(spheres)[0]} spells, fewer than the "
                      f"thinnest wizard school ({min(wizard)})")

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


def check_casters(path, spells, bad):
    """The sample casters' lists name library spells and agree with one another."""
    if not path.exists():
        return
    try:
        casters = json.loads(path.read_text(encoding="utf-8"))
    except (OSError, ValueError) as e:
        bad(path, f"cannot read: {e}")
        return
    for caster in casters:
        where = f"{path.name}: {caster.get('name', '?')!r}"
        capacity = caster.get("capacity", [])
        held = caster.get("spells", [])
        lists = {"spells": held, "failed": caster.get("failed", []),
                 "memorized": caster.get("memorized", [])}
        lists.update({f"scroll {s.get('name', '?')!r}": s.get("spells", [])
                      for s in caster.get("scrolls", [])})
        for list_name, names in lists.items():
            for name in names:
                if name not in spells:
                    bad(where, f"{list_name}: unknown spell {name!r}")
        for name in set(held) & set(lists["failed"]):
            bad(where, f"{name!r} is both in the spellbook and failed")
        memorized = collections.Counter()
        for name in lists["memorized"]:
            if name not in held:
                bad(where, f"{name!r} is memorized but not in the spellbook")
            elif name in spells:
                memorized[int(spells[name]["level"])] += 1
        learned = collections.Counter(int(spells[n]["level"]) for n in held if n in spells)
        for level in range(1, 10):
            slots = capacity[level - 1] if len(capacity) == 9 else ""
            slots = int(slots) if slots.isdigit() else 0
            if memorized[level] > slots or learned[level] > slots:
                bad(where, f"more level {level} spells than its {slots} slots")


if __name__ == "__main__":
    sys.exit(main())
