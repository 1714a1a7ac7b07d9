#!/usr/bin/env python3
"""The JSON and CSV files of real runs: the JSON validates against
docs/results.schema.json, and the CSV files, read with a CSV reader, hold
the same numbers as the JSON.

    results_files.py SOURCE_DIR VORSKAL_TALLY
"""
import csv
import hashlib
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

import jsonschema

source = pathlib.Path(sys.argv[1])
tally = sys.argv[2]
schema = json.loads((source / "docs/results.schema.json").read_text())
validator = jsonschema.Draft202012Validator(schema)
failures = []


def check(name, condition):
    if not condition:
        failures.append(name)
        print("FAILED:", name, file=sys.stderr)


def run(game, *options):
    out = game.parent / (game.name + "-out")
    out.mkdir(exist_ok=True)
    result = subprocess.run(
        [tally, "--json", str(out / "results.json"), "--csv", str(out / "csv"), *options, str(game)],
        capture_output=True, text=True)
    check(f"{game.name} {options}: exit 0 ({result.stderr.strip()})", result.returncode == 0)
    return json.loads((out / "results.json").read_text(encoding="utf-8")), out / "csv"


def rows(folder, name):
    with open(folder / name, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def compare(label, data, folder):
    errors = sorted(validator.iter_errors(data), key=str)
    for error in errors[:5]:
        print(f"{label}: {error.json_path}: {error.message}", file=sys.stderr)
    check(f"{label}: valid JSON", not errors)
    pilots = rows(folder, "pilots.csv")
    check(f"{label}: one CSV row per pilot", len(pilots) == len(data["pilots"]))
    for row, pilot in zip(pilots, data["pilots"]):
        for field in ("kills", "deaths", "targetsDestroyed", "targetPoints", "score", "teamCode"):
            check(f"{label}: {pilot['name']} {field}", int(row[field]) == pilot[field])
        check(f"{label}: {pilot['name']}", row["name"] == pilot["name"] and row["team"] == pilot["team"])
        check(f"{label}: {pilot['name']} locations", row["locations"].split(",") == pilot["locations"]
              if pilot["locations"] else row["locations"] == "")
    teams = {row["team"]: row for row in rows(folder, "teams.csv")}
    for side in ("Allied", "Hun"):
        for field, value in data["teams"][side].items():
            check(f"{label}: {side} {field}", int(teams[side][field]) == value)
    targets = rows(folder, "targets.csv")
    check(f"{label}: targets", [int(r["line"]) for r in targets] == [t["line"] for t in data["targets"]])
    check(f"{label}: target texts", [r["text"] for r in targets] == [t["text"] for t in data["targets"]])
    arena = rows(folder, "arena.csv")
    check(f"{label}: arena", [(int(r["line"]), int(r["inGameAfter"])) for r in arena]
          == [(e["line"], e["inGameAfter"]) for e in data["arena"]["events"]])
    kills = rows(folder, "kills.csv")
    check(f"{label}: kills", [(int(r["line"]), r["victim"], r["killer"], r["takenBackBy"]) for r in kills]
          == [(k["line"], k["victim"], k["killer"] or "", str(k["takenBackBy"] or "")) for k in data["kills"]])
    moves = sum(max(1, len(c["moves"])) for c in data["corrections"])
    check(f"{label}: corrections", len(rows(folder, "corrections.csv")) == moves)
    warnings = rows(folder, "warnings.csv")
    check(f"{label}: warnings", [w["code"] for w in warnings] == [w["code"] for w in data["warnings"]])


with tempfile.TemporaryDirectory() as work:
    work = pathlib.Path(work)
    sample = work / "sample"
    shutil.copytree(source / "examples/sample-game", sample)
    data, folder = run(sample)
    compare("sample", data, folder)
    # The game's key: the SHA-256 of the report just appended, from its title on, each line
    # ended by CR LF, without its third line (the time line); the whole report's beside it.
    appended = (sample / "vorskal.log").read_bytes()
    report = appended[appended.rindex(b"UX7SERVER Log Tally (VORSKAL.LOG)\r\n"):]
    lines = report.split(b"\r\n")
    while lines and lines[-1] == b"":
        lines.pop()
    check("sample: the time line", lines[2].startswith(b"Current time is "))
    body = b"".join(line + b"\r\n" for i, line in enumerate(lines) if i != 2)
    check("sample: report key", data["report"]["key"] == hashlib.sha256(body).hexdigest())
    check("sample: report sha256", data["report"]["sha256"] == hashlib.sha256(report).hexdigest())
    check("sample: ZORL totals", (data["teams"]["Allied"]["final"], data["teams"]["Hun"]["final"]) == (79, 65))
    # Line 58 logs Baron_Red's death again 12 s after line 57: the third correction (after
    # section 1's two over-max deductions) takes it back.
    check("sample: a kill taken back", [k for k in data["kills"] if k["line"] == 58] == [{
        "line": 58, "time": "20:15:15", "victim": "Baron_Red", "victimAircraft": "FOKKER_DVII",
        "victimSide": "Hun", "killer": "Snoopy", "killerAircraft": "SOPWITH_CAMEL",
        "killerSide": "Allied", "selfKill": False, "takenBackBy": 3}])
    # A numbered log has no fingerprint (results_test.cpp checks the others'), and the schema
    # refuses one that has.
    hashed = json.loads(json.dumps(data))
    hashed["inputs"][0]["sha256"] = "0" * 64
    check("schema: a numbered log with a fingerprint is refused", not validator.is_valid(hashed))

    data, folder = run(sample, "--no-over-max-correction", "--no-multi-death-correction",
                       "--no-fighter-target-correction", "--all-targets")
    compare("sample, options off", data, folder)
    check("sample, options off: ZORL totals",
          (data["teams"]["Allied"]["final"], data["teams"]["Hun"]["final"]) == (120, 97))

    # A bad setup: no map block, a log beyond a gap, and a name in Latin-1.
    bad = work / "bad"
    shutil.copytree(source / "examples/sample-game", bad)
    ini = (bad / "vorskal.ini").read_bytes().replace(b"Map=Verdun", b"Map=Cambrai")
    (bad / "vorskal.ini").write_bytes(ini)
    (bad / "ux7server4.log").write_bytes(b"12/06/26 19:00:00 Kill of J\xfcrgen\r\n")
    log = (bad / "ux7server2.log").read_bytes()
    (bad / "ux7server2.log").write_bytes(log + b"12/06/26 21:31:00 Player |J\xfcrgen, \"the ace\" has entered the arena, flying a ROLAND_CII\r\n")
    data, folder = run(bad)
    compare("bad setup", data, folder)
    codes = [w["code"] for w in data["warnings"]]
    check("bad setup: warnings", {"no-map-block", "log-beyond-gap", "unknown-aircraft"} <= set(codes))

    # Times that are no time of day: an entry at 24:00:00 and a kill at 99:59:59 after the last
    # line of ux7server2.log (lines 188 and 189 of the merged log: the sample's logs have 86, 53
    # and 48 lines). The JSON still matches its schema: null for the entry's time, the kill out of
    # the timeline, one warning at the first of the two lines; the last time of day stays that of
    # the line before them, "21:30:00".
    times = work / "times"
    shutil.copytree(source / "examples/sample-game", times)
    log = (times / "ux7server2.log").read_bytes()
    (times / "ux7server2.log").write_bytes(
        log + b"12/06/26 24:00:00 Player |Latecomer has entered the arena, flying a SOPWITH_CAMEL\r\n"
        b"12/06/26 99:59:59 Kill of Latecomer       SOPWITH_CAMEL awarded to Udet            "
        b"FOKKER_DVII\r\n")
    data, folder = run(times)
    compare("times", data, folder)
    check("times: last time of day", data["game"]["lastTime"] == "21:30:00")
    late = [e for e in data["arena"]["events"] if e["line"] == 188]
    check("times: the entry without a time", [(e["time"], e["seconds"]) for e in late] == [(None, None)])
    check("times: the CSV row without a time",
          [(r["time"], r["seconds"]) for r in rows(folder, "arena.csv") if r["line"] == "188"] == [("", "")])
    found = [w for w in data["warnings"] if w["code"] == "time-out-of-range"]
    check("times: one warning at line 188 for 2 lines",
          [(w["file"], w["line"], "(2 lines in all)" in w["message"]) for w in found]
          == [("ux7server.log", 188, True)])

sys.exit(1 if failures else 0)
