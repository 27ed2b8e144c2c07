#!/usr/bin/env python3
"""Compiles the help pages into XADE.CHM with chmcmd (docs/help, Spanish; docs/help-gl, Galician).

Usage: compile.py SOURCE_DIR WORK_DIR OUTPUT_CHM [CHMCMD]

The pages are written in UTF-8. They are copied into WORK_DIR with every character beyond ASCII
written as a numeric character reference, so that the compiled file reads the same in any help
viewer, whatever code page it assumes for the contents and index files. The pictures the project
lists under [FILES] are the screenshots of docs/screens (made by docs/screenshots.sh), copied as
they are; a translation takes the stylesheet of the reference help, docs/help.
"""
import pathlib
import shutil
import subprocess
import sys

TEXT = (".htm", ".hhc", ".hhk", ".hhp", ".css")


def to_ascii(text: str) -> str:
    return "".join(c if ord(c) < 128 else f"&#{ord(c)};" for c in text)


def listed_files(project: pathlib.Path) -> list[str]:
    files, inside = [], False
    for line in project.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if line.startswith("["):
            inside = line.upper() == "[FILES]"
        elif inside and line:
            files.append(line)
    return files


def main() -> int:
    source, work, output = (pathlib.Path(a) for a in sys.argv[1:4])
    chmcmd = sys.argv[4] if len(sys.argv) > 4 else "chmcmd"
    screens = source.parent / "screens"
    reference = pathlib.Path(__file__).resolve().parent
    if work.exists():
        shutil.rmtree(work)
    work.mkdir(parents=True)
    for f in sorted(source.iterdir()):
        if f.suffix.lower() in TEXT:
            (work / f.name).write_text(to_ascii(f.read_text(encoding="utf-8")), encoding="ascii")
    for name in listed_files(source / "XADE.hhp"):
        if (work / name).exists():
            continue
        if (reference / name).is_file() and name.endswith(".css"):
            (work / name).write_text(to_ascii((reference / name).read_text(encoding="utf-8")), encoding="ascii")
            continue
        picture = screens / name
        if not picture.is_file():
            sys.stderr.write(f"{source / 'XADE.hhp'}: {name} is neither in {source} nor in {screens}\n")
            return 1
        shutil.copyfile(picture, work / name)
    run = subprocess.run([chmcmd, "--no-html-scan", "XADE.hhp"], cwd=work, capture_output=True, text=True)
    chm = work / "XADE.CHM"
    if run.returncode != 0 or not chm.is_file() or "Error" in run.stdout:
        sys.stderr.write(run.stdout + run.stderr)
        return 1
    output.parent.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(chm, output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
