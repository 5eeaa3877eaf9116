#!/usr/bin/env python3
"""Checks a `kestrel --characterize --template dot_side_suffix --fix-stance --big-endian` run
over an A-pose rig whose joints end in .L/.R (read as _L/_R): the template bound the slots by side, Fix Stance
left every pose rule within its limit, and the saved .kntc is big endian.

usage: check_characterize_options.py REPORT.json KNTC_DIR"""
import json
import os
import struct
import sys

report_path, kntc_dir = sys.argv[1:3]
if not os.path.exists(report_path):
    print("Skipped: no report (the shared skeletons are absent).")
    sys.exit(0)
rows = json.load(open(report_path))["files"]
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


check(len(rows) == 1, "%d rows, expected 1" % len(rows))
row = rows[0]
check(row["status"] in ("valid", "warning"), "status %s: %s" % (row["status"], row["message"]))
# The template binds by name alone: auto-characterize would have filled the unsure list.
check(row["unsure"] == [], "unsure rows from a template run")
check(row["boundSlots"] == 102, "%d slots bound, the template binds 102" % row["boundSlots"])
sided = [s for s in row["slots"] if s["name"].startswith(("Left", "Right"))]
check(len(sided) > 40, "%d sided slots" % len(sided))
for slot in sided:
    suffix = "_L" if slot["name"].startswith("Left") else "_R"
    check(slot["joint"].endswith(suffix), "%s bound to %s" % (slot["name"], slot["joint"]))

# The rig stands in an A pose; after Fix Stance every rule is within its 2-degree limit.
stance = row["stance"] or {}
check(sorted(stance) == ["hips", "leftArm", "rightArm", "up"], "stance rules %s" % stance)
check(all(angle < 2 for angle in stance.values()), "stance after the fix %s" % stance)

# Big endian: the magic word and the version read the other way round.
data = open(row["kntc"] or os.devnull, "rb").read()
check(os.path.dirname(row["kntc"] or "") == os.path.abspath(kntc_dir), "kntc folder")
if len(data) >= 8:
    check(struct.unpack_from(">II", data) == (0x24022789, 2),
          "header %s, expected big endian" % data[:8].hex())
    check(len(data) == 872 + 120 * row["boundSlots"], "%d bytes" % len(data))
else:
    check(False, "no .kntc written")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
