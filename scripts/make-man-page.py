#!/usr/bin/env python3
"""Writes a man page (plain roff) from a program's --help text, so that the page says what
the program says and a new command or option appears in both at once.

    make-man-page.py PROGRAM --name NAME --summary TEXT --version V -o OUT.1
                     [--commands] [--files] [--see-also NAME(1) ...]

The help text is read as the programs write it: "Usage:" lines, prose, "Heading:" lines and
option tables ("  --option VALUE   what it does", continued on deeper indented lines).
--commands also runs "PROGRAM help COMMAND" for every command the help lists under
"Commands:" and gives each its own subsection.
"""
import argparse
import os
import re
import subprocess
import sys
import time

ITEM = re.compile(r"^ {1,4}(\S.*?) {2,}(\S.*)$")
# An option whose name fills its column: "  --bad-identification answer MWH ..."
LONG_ITEM = re.compile(r"^ {1,4}(-\S+) (\S.*)$")
HEADING = re.compile(r"^([A-Z][A-Za-z ]*):$")


def roff_text(s):
    """Text for a roff text line: backslashes, dashes and quotes escaped."""
    s = s.replace("\\", "\\e").replace("-", "\\-").replace('"', "\\(dq")
    s = s.replace("'", "\\(aq").replace("`", "\\(ga")
    return s


def text_line(s):
    s = roff_text(s)
    # A line starting with a dot or a quote would be a request.
    return "\\&" + s if s.startswith((".", "'")) else s


def run_help(program, args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    r = subprocess.run([program, *args], capture_output=True, env=env, timeout=60)
    if r.returncode != 0:
        sys.exit(f"make-man-page: {program} {' '.join(args)} exited with {r.returncode}: "
                 f"{r.stderr.decode(errors='replace')}")
    return r.stdout.decode("utf-8")


def split_usage(text):
    """The "Usage:" lines (without the word) and the rest of the text."""
    lines = text.splitlines()
    usage = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if not usage and line.startswith("Usage: "):
            usage.append(line[len("Usage: "):].strip())
        elif usage and line.startswith(" ") and line.strip():
            usage.append(line.strip())
        else:
            break
        i += 1
    return usage, lines[i:]


def body(lines):
    """Roff for help lines: paragraphs, subsection headings and option tables."""
    out = []
    state = None  # None, "para" or "item"
    for raw in lines:
        line = raw.rstrip()
        if not line:
            state = None
            continue
        heading = HEADING.match(line)
        item = ITEM.match(line) or LONG_ITEM.match(line)
        if heading:
            out += [".SS " + roff_text(heading.group(1))]
            state = None
        elif item:
            out += [".TP", text_line(item.group(1).strip()), text_line(item.group(2))]
            state = "item"
        elif state == "item" and line.startswith("     "):
            out.append(text_line(line.strip()))
        else:
            if state != "para":
                out.append(".PP")
            out.append(text_line(line.strip()))
            state = "para"
    return out


def synopsis(name, usage):
    out = [".SH SYNOPSIS"]
    for k, u in enumerate(usage):
        if k:
            out.append(".br")
        rest = u[len(name):].strip() if u.startswith(name) else u
        out.append(f"\\fB{roff_text(name)}\\fR {roff_text(rest)}".rstrip())
    return out


FILES = r"""
.SH FILES
.TP
.I PREFIX/share/zarn/
The language files, the user guides and the images of an installed program.
A portable program keeps them beside its executable.
.TP
.I $XDG_CONFIG_HOME/zarn/ZARN.INI
The settings of an installed program (\fI~/.config/zarn/ZARN.INI\fR when
\fBXDG_CONFIG_HOME\fR is not set).
A portable program keeps them beside its executable when it may write there;
\fB\-\-program\-dir\fR \fIDIR\fR takes everything from \fIDIR\fR.
""".strip().splitlines()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program")
    ap.add_argument("--name", required=True)
    ap.add_argument("--summary", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("-o", "--output", required=True)
    ap.add_argument("--commands", action="store_true")
    ap.add_argument("--files", action="store_true")
    ap.add_argument("--see-also", nargs="*", default=[])
    a = ap.parse_args()

    usage, rest = split_usage(run_help(a.program, ["--help"]))
    commands = []
    if a.commands:
        # The command list is replaced by one subsection per command.
        at = next((i for i, l in enumerate(rest) if l == "Commands:"), len(rest))
        for line in rest[at + 1:]:
            m = re.match(r"^  (\S+)", line)
            if m:
                commands.append(m.group(1))
        rest = rest[:at]

    # The date of the sources when the build is to be reproducible, no date otherwise.
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    date = time.strftime("%Y-%m-%d", time.gmtime(int(epoch))) if epoch else ""
    out = [f'.TH {a.name.upper()} 1 "{date}" "zarn {a.version}" "User Commands"',
           ".SH NAME", f"{roff_text(a.name)} \\- {roff_text(a.summary)}"]
    out += synopsis(a.name, usage)
    # A help that starts with its options (zarnctl) has them as a section of their own.
    text = body(rest)
    if text[:1] == [".SS Options"]:
        out += [".SH OPTIONS"] + text[1:]
    elif text:
        out += [".SH DESCRIPTION"] + text
    if commands:
        out.append(".SH COMMANDS")
        for c in commands:
            cu, crest = split_usage(run_help(a.program, ["help", c]))
            # "zarnctl [--program-dir DIR] show FILE" -> "show FILE"
            line = cu[0] if cu else c
            line = line[line.find(" " + c) + 1:] if (" " + c) in line else c
            out += [".SS " + roff_text(line).replace('"', "\\(dq")]
            out += body(crest)
    if a.files:
        out += FILES
    if a.see_also:
        refs = []
        for ref in a.see_also:
            m = re.match(r"^(.*)\((\d)\)$", ref)
            refs.append(f".BR {roff_text(m.group(1))} ({m.group(2)})" if m else roff_text(ref))
        out += [".SH SEE ALSO"] + [r + ("," if k + 1 < len(refs) else "")
                                   for k, r in enumerate(refs)]

    tmp = a.output + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    os.replace(tmp, a.output)


if __name__ == "__main__":
    main()
