#!/usr/bin/env python3
"""The host's registry and paths, for the sibling programs beside this file.

The registry is the text file $CADHOST_HOME/registry.txt (CADHOST_HOME defaults
to ~/.cadhost), one line per key or value, fields separated by tabs:
    <key>
    <key> TAB <value name> TAB REG_SZ TAB <text>
In keys, names and texts "%", tab, line ends and NUL are written %25, %09, %0A,
%0D, %00. Keys and names are matched without regard to case. A change takes the
lock file registry.txt.lock (flock), rewrites a temporary file and renames it
over the registry, the same way the host does.

Used as a program:
    cadhost_registry.py get NAME          prints the product key's value NAME
    cadhost_registry.py set NAME TEXT     writes it
    cadhost_registry.py path PATH         prints the path of this machine for PATH
"""
import fcntl
import os
import re
import sys

PRODUCT_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Software\\orvik_survey"
_SPECIAL = "%\t\n\r\0"


def home():
    path = os.environ.get("CADHOST_HOME") or os.path.join(os.path.expanduser("~"), ".cadhost")
    os.makedirs(path, exist_ok=True)
    return path.rstrip("/") or "/"


def registry_file():
    return os.path.join(home(), "registry.txt")


def _escape(text):
    return "".join("%%%02X" % ord(c) if c in _SPECIAL else c for c in text)


def _unescape(text):
    return re.sub(r"%([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), text)


def _lines():
    try:
        with open(registry_file(), encoding="utf-8", errors="surrogateescape", newline="\n") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def _matches(line, key, name):
    fields = line.split("\t")
    return (len(fields) >= 4 and _unescape(fields[0]).lower() == key.lower()
            and _unescape(fields[1]).lower() == name.lower())


def read(name, key=PRODUCT_KEY):
    """The REG_SZ text of the value, or None when it is missing or not a text."""
    for line in _lines():
        if _matches(line, key, name):
            fields = line.split("\t")
            return _unescape(fields[3]) if fields[2] == "REG_SZ" else None
    return None


def write(name, text, key=PRODUCT_KEY):
    """Writes the value as a REG_SZ text (the key is made when missing)."""
    path = registry_file()
    with open(path + ".lock", "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        lines = _lines() or ["# The host's registry: key, or key TAB value name TAB type TAB data."]
        entry = "\t".join([_escape(key), _escape(name), "REG_SZ", _escape(text)])
        for i, line in enumerate(lines):
            if _matches(line, key, name):
                lines[i] = entry
                break
        else:
            lines.append(entry)
        temp = "%s.tmp.%d" % (path, os.getpid())
        try:
            with open(temp, "w", encoding="utf-8", errors="surrogateescape", newline="\n") as f:
                f.write("\n".join(lines) + "\n")
            os.replace(temp, path)
        except OSError:
            # A full home folder: the registry stays as it was, with no scratch file left.
            try:
                os.unlink(temp)
            except OSError:
                pass
            raise


def _resolve_case(path):
    """Windows finds "Data\\Symboldata.bin" in a folder "data": the parts of the
    path that do not exist as spelt are looked up without regard to case, as
    far as they go; the rest is kept as it is."""
    if not path or os.path.lexists(path):
        return path
    done = "/" if path.startswith("/") else ""
    parts = path[len(done):].split("/")
    for i, part in enumerate(parts):
        candidate = done + part
        if part not in ("", ".", "..") and not os.path.lexists(candidate):
            try:
                names = os.listdir(done or ".")
            except OSError:
                names = []
            match = next((n for n in names if n.lower() == part.lower()), None)
            if match is None:
                return done + "/".join(parts[i:])
            candidate = done + match
        done = candidate if i == len(parts) - 1 else candidate + "/"
    return done


def native_path(path):
    """The path of this machine that a Windows-style path stands for, by the
    host's rules: "\\" becomes "/", doubled separators collapse, "x:\\rest" is
    $CADHOST_HOME/drive_x/rest, a path of this machine stays as it is, and parts
    that do not exist as spelt are matched without regard to case."""
    unified = re.sub(r"/+", "/", path.replace("\\", "/"))
    m = re.match(r"^([A-Za-z]):/?(.*)$", unified)
    if m:
        drive = os.path.join(home(), "drive_" + m.group(1).lower())
        os.makedirs(drive, exist_ok=True)
        rest = _within_drive(m.group(2))
        unified = os.path.join(drive, rest) if rest else drive
    return _resolve_case(unified)


def _within_drive(rest):
    """The part after "x:" as Windows takes it: from the drive's root, with ".."
    at the root staying there, so that no path leaves the drive's folder."""
    parts = []
    for part in rest.split("/"):
        if part == "..":
            if parts:
                parts.pop()
        elif part not in ("", "."):
            parts.append(part)
    out = "/".join(parts)
    return out + "/" if out and rest.endswith("/") else out


def main(argv):
    if len(argv) == 3 and argv[1] == "get":
        value = read(argv[2])
        if value is None:
            return 1
        print(value)
        return 0
    if len(argv) == 4 and argv[1] == "set":
        try:
            write(argv[2], argv[3])
        except OSError as error:
            sys.stderr.write("The registry could not be written: %s\n" % error.strerror)
            return 1
        return 0
    if len(argv) == 3 and argv[1] == "path":
        print(native_path(argv[2]))
        return 0
    sys.stderr.write("usage: cadhost_registry.py get NAME | set NAME TEXT | path WINDOWS_PATH\n")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
