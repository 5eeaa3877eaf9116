#!/usr/bin/env python3
"""Checks a `kestrel --characterize` run over the shared skeletons: the report against its
schema and against the files it names, the written .kntc files as the tool's reader of the
format would see them, and the HTML page's order and self-containment.

usage: check_characterize_report.py REPORT.json SCHEMA.json PAGE.html KNTC_DIR"""
import json
import os
import re
import struct
import sys

import jsonschema

report_path, schema_path, page_path, kntc_dir = sys.argv[1:5]
report = json.load(open(report_path))
jsonschema.validate(report, json.load(open(schema_path)))
files = report["files"]
by_name = {os.path.basename(row["file"]): row for row in files}
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


# Every skeleton gets a row; only the three non-bipeds are refused, each with its reason.
check(len(files) == 18, "%d rows, expected 18" % len(files))
refused = sorted(name for name, row in by_name.items() if row["status"] == "refused")
check(refused == ["generic_bone_names_binary.fbx", "godot_ccdik_robot_arm.glb",
                  "khronos_fox_quadruped.glb"], "refused: %s" % refused)
check("four-legged" in by_name["khronos_fox_quadruped.glb"]["message"], "the fox's reason")
check(not any(row["status"] == "unreadable" for row in files), "an unreadable row")
summary = report["summary"]
for status in ("valid", "warning", "error", "refused", "unreadable"):
    count = sum(row["status"] == status for row in files)
    check(summary[status] == count, "summary %s %d, rows %d" % (status, summary[status], count))
check(summary["files"] == len(files), "summary files")

# An unsure row names its slot as the tool's report names that slot wherever it is bound.
slot_names = {slot["id"]: slot["name"] for row in files for slot in row["slots"]}
unsure = [(name, u) for name, row in by_name.items() for u in row["unsure"]
          if u["id"] in slot_names]
check(len(unsure) > 10, "%d unsure rows of slots bound elsewhere" % len(unsure))
for name, u in unsure:
    check(slot_names[u["id"]] == u["name"],
          "%s: unsure slot %d named %s" % (name, u["id"], u["name"]))

# A row is saved exactly when it is not in error or refused, and its file opens again: magic,
# version, one 120-byte record per used slot and as many used slots as the row binds.
for name, row in by_name.items():
    saved = row["status"] in ("valid", "warning")
    check((row["kntc"] is not None) == saved, "%s: kntc %s" % (name, row["kntc"]))
    check(row["status"] != "error" or row["missing"] or row["message"], name + ": no reason")
    # The tool's status code: none for a file it never judged, 0 for a valid one.
    check((row["code"] is None) == (row["status"] in ("refused", "unreadable")) and
          (row["status"] != "valid" or row["code"] == 0), "%s: code %s" % (name, row["code"]))
    if not saved:
        continue
    data = open(row["kntc"], "rb").read()
    check(os.path.dirname(row["kntc"]) == os.path.abspath(kntc_dir), name + ": folder")
    check(os.path.exists(row["kntc"][:-len(".kntc")] + ".bones.xml"), name + ": bones.xml")
    magic, version = struct.unpack_from("<II", data)
    used = sum(1 for word in struct.unpack_from("<212I", data, 8) if word & 1)
    check((magic, version) == (0x24022789, 2), "%s: header %x %d" % (name, magic, version))
    check(used == row["boundSlots"], "%s: %d used, %d bound" % (name, used, row["boundSlots"]))
    check(len(data) == 872 + 120 * used, "%s: %d bytes" % (name, len(data)))

check(sorted(os.listdir(kntc_dir)) == sorted(
    name for row in files if row["kntc"] for name in
    (os.path.basename(row["kntc"]), os.path.basename(row["kntc"])[:-5] + ".bones.xml")),
      "the output folder holds exactly the saved files")

# The page stands alone and lists the worst first.
page = open(page_path, encoding="utf-8").read()
check(not re.search(r'(src|href)="(?!data:)', page), "the page refers to another file")
check(not re.search(r'<(?![a-zA-Z/!])', page), "a '<' that opens no tag")
order = re.findall(r'class="badge"[^>]*>[^ ]+ (unreadable|error|refused|warning|valid)</span>',
                   page)
rank = ["unreadable", "error", "refused", "warning", "valid"]
check(len(order) == 18 and order == sorted(order, key=rank.index), "page order %s" % order)
check(page.count("data:image/png;base64,") == 15, "one diagram per file not refused")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
