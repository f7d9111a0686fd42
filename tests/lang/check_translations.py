"""Every text of both programs has a finished English translation.

Usage: check_translations.py <source dir> <lupdate>
The keys come from the Chinese files and from lupdate's reading of the code;
each must have an English text in the matching _en.ts file.
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SUBSYSTEMS = ["app", "settings", "service", "photos", "upload", "editor", "viewer", "kit", "update"]
MARKER = re.compile(r"%[1-9]")


def messages(path):
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            yield name, message


def key(name, message):
    return (name, message.findtext("source"), message.findtext("comment") or "")


def problems_of(name, message):
    source = message.findtext("source")
    translation = message.find("translation")
    where = "%s: %r" % (name, source)
    if translation is None or translation.get("type") in ("unfinished", "obsolete", "vanished"):
        return [where + " has no finished English text"]
    forms = [f.text or "" for f in translation.iter("numerusform")] if message.get("numerus") == "yes" \
        else [translation.text or ""]
    if message.get("numerus") == "yes" and len(forms) != 2:
        return [where + " needs a singular and a plural form"]
    found = []
    for form in forms:
        if not form.strip():
            found.append(where + " has an empty English text")
        # A sentence filled with arg() loses its values when the English drops a marker;
        # only patterns made of nothing but markers may leave pieces out.
        if MARKER.sub("", source).replace("%n", "").strip():
            missing = set(MARKER.findall(source)) - set(MARKER.findall(form))
            if missing:
                found.append("%s drops %s in %r" % (where, sorted(missing), form))
        extra = set(MARKER.findall(form)) - set(MARKER.findall(source))
        if extra:
            found.append("%s has %s the code does not fill" % (where, sorted(extra)))
    return found


def main(source_dir, lupdate):
    tr_dir = os.path.join(source_dir, "resources", "tr")
    english, problems = {}, []
    for path in sorted(glob.glob(os.path.join(tr_dir, "*_en.ts"))):
        for name, message in messages(path):
            english[key(name, message)] = os.path.basename(path)
            problems += problems_of(name, message)

    for path in sorted(glob.glob(os.path.join(tr_dir, "*_zh.ts"))):
        for name, message in messages(path):
            if message.find("translation").get("type") in ("obsolete", "vanished"):
                continue
            if key(name, message) not in english:
                problems.append("%s: %r of %s has no English text" % (name, message.findtext("source"),
                                                                      os.path.basename(path)))

    with tempfile.TemporaryDirectory() as scratch:
        code_ts = os.path.join(scratch, "code.ts")
        folders = [os.path.join(source_dir, s) for s in SUBSYSTEMS]
        subprocess.run([lupdate, "-silent", "-locations", "none", *folders, "-ts", code_ts], check=True)
        for name, message in messages(code_ts):
            if key(name, message) not in english:
                problems.append("%s: %r is in the code but has no English text" % (name,
                                                                                    message.findtext("source")))

    for problem in problems:
        print(problem)
    print("%d English texts checked, %d problems" % (len(english), len(problems)))
    return 1 if problems or not english else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
