#!/usr/bin/env python3
"""Checks that `transxade --help`, every command's --help and the manual page transxade.1 agree:
the same commands, the same options and arguments for each, and the same exit statuses where a
command's help lists them. In Galician too (TRANSXADE_LANG=gl and the page of man/gl), where the
help's sections and "Exit status:" have their Galician names.

Usage: help_matches_man.py TRANSXADE MANPAGE
"""
import re
import subprocess
import sys


def run_help(binary, *args):
    out = subprocess.run([binary, *args, "--help"], capture_output=True, text=True, check=True).stdout
    return out


# The help's sections in Galician, by their names in the converter's own language.
GALICIAN_SECTIONS = {"ORDES": "SUBCOMMANDS", "OPCIÓNS": "OPTIONS", "ARGUMENTOS": "POSITIONALS"}


def sections(help_text):
    """Splits CLI11's help into its sections: {'': description, 'OPTIONS': ..., ...}."""
    result, name = {"": []}, ""
    for line in help_text.splitlines():
        m = re.match(r"^(\w+):\s*$", line)
        if m:
            name = GALICIAN_SECTIONS.get(m.group(1).upper(), m.group(1).upper())
            result[name] = []
        else:
            result.setdefault(name, []).append(line)
    return {k: "\n".join(v) for k, v in result.items()}


def exit_statuses(text):
    """The numbers listed after 'Exit status:' ("0 done, 1 ..., 64 wrong usage")."""
    m = re.search(r"(?:Exit status|Estado de saída):(.*)", " ".join(text.split()))
    if not m:
        return None
    return sorted({int(n) for n in re.findall(r"(?:^|[:,])\s*(\d+)\s+\S", m.group(1))})


def man_text(path):
    text = open(path, encoding="utf-8").read()
    text = text.replace("\\-", "-")
    return re.sub(r"\\f[BIRP]", "", text)


def man_commands(text):
    """{command: body} from the '.SS "transxade COMMAND ..."' subsections."""
    result = {}
    parts = re.split(r'^\.S[SH] (.*)$', text, flags=re.M)
    for title, body in zip(parts[1::2], parts[2::2]):
        m = re.match(r'"?transxade ([a-z][a-z-]*)', title)
        if m:
            result[m.group(1)] = title + "\n" + body
    return result


def main():
    binary, manpage = sys.argv[1:3]
    problems = []
    top = sections(run_help(binary))
    commands = re.findall(r"^\s{2}([a-z][a-z-]*)\s", top.get("SUBCOMMANDS", ""), flags=re.M)
    man = man_text(manpage)
    documented = man_commands(man)
    for name in sorted(set(commands) ^ set(documented)):
        where = "the man page" if name in commands else "transxade --help"
        problems.append(f"command '{name}' is missing from {where}")

    for name in sorted(set(commands) & set(documented)):
        help_sections = sections(run_help(binary, name))
        body = documented[name]
        opts = set(re.findall(r"(--[a-z][a-z-]*)", help_sections.get("OPTIONS", ""))) - {"--help"}
        args = set(re.findall(r"^\s{2}([A-Z][A-Z_]*)\s", help_sections.get("POSITIONALS", ""), flags=re.M))
        man_opts = set(re.findall(r"(--[a-z][a-z-]*)", body))
        for o in sorted(opts - man_opts):
            problems.append(f"{name}: option {o} is not in the man page")
        for o in sorted(man_opts - opts):
            problems.append(f"{name}: the man page names {o}, which the command does not take")
        for a in sorted(args):
            if not re.search(rf"\b{a}\b", body):
                problems.append(f"{name}: argument {a} is not in the man page")
        statuses = exit_statuses(help_sections.get("", ""))
        man_statuses = sorted(int(n) for n in re.findall(r"^\.IP (\d+)", body, flags=re.M))
        if statuses is not None and statuses != man_statuses:
            problems.append(f"{name}: exit statuses {statuses} in --help, {man_statuses} in the man page")

    for p in problems:
        print(p)
    print(f"{len(commands)} commands compared, {len(problems)} disagreements")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
