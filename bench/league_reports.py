#!/usr/bin/env python3
"""Writes a report file ("vorskal.log") of N made-up games in the report's
layout, for timing the league's import and standings.

    bench/league_reports.py GAMES SEED [PILOTS] > vorskal.log

Each game has 16 to 32 pilots drawn from a pool of PILOTS names (120), scores worked
out from kills, deaths and targets at 10 and -5 points, team totals, the ZORL
block and section 7. Games differ by their rows and by the log line section 5
quotes (its date and time), so every report is a game of its own.
"""
import random
import sys

KILL, DEATH = 10, -5
TYPES = [("Bridge", 15), ("Depot", 10), ("Hangar", 20), ("Factory", 25),
         ("Railyard", 30), ("Battery", 12), ("Aerodrome", 40)]
MAPS = ["Verdun", "Flanders", "Somme", "Ypres"]
POOL = ["Pilot_%03d" % i for i in range(120)]


def row(name, score, kills, deaths, targets, points, locations):
    return "%-16s.....%d.........%d.......%d........%d...%d...%s" % (
        name, score, kills, deaths, targets, points, "".join("," + k for k in locations))


def totals(head, t):
    return "%s%d........%d.......%d........%d...%d..." % (head, t[0], t[1], t[2], t[3], t[4])


def game(rng, number):
    day = 1 + number % 28
    month = 1 + (number // 28) % 12
    date = "%02d/%02d/26" % (month, day)
    hh, mm, ss = 19 + number % 4, number % 60, (number * 7) % 60
    lines = ["", "", "UX7SERVER Log Tally (VORSKAL.LOG)",
             "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
             "Current time is %02d:%02d:%02d    Current date is %s" % (hh, mm, ss, date), "", ""]
    lines += ["1. Report pilot number greater than 16.", "-" * 39, " ", " ", " "]
    lines += ["2. Report possible multi-death bugs.", "-" * 36, " ", " ", " "]
    lines += ["3. Report fighter destroyed targets.", "-" * 36, " ", " ", " "]
    lines += ["4. Report score corrections.", "-" * 28, " ",
              "NOTICE -- Over Max Pilot penalty enabled ",
              "NOTICE -- Multiple Death bug correction enabled ",
              "NOTICE -- Fighter Destroyed Target correction enabled ", " ", " "]
    lines += ["5. Report non-red boxed targets destroyed.", "-" * 42, " ",
              "NOTICE -- Only red boxed targets have been tallied ", " ",
              "%s %02d:%02d:%02d Target Depot #3 destroyed by Nobody." % (date, hh, mm, ss),
              " ", " "]
    lines += ["6. Report scores.", "-" * 17, " "]
    pilots = rng.sample(POOL, rng.randint(16, 32))
    finals = []
    for side, members in (("Allied", pilots[0::2]), ("Hun", pilots[1::2])):
        lines += ["*%s*" % side, " ",
                  "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)", "-" * 68]
        t = [0, 0, 0, 0, 0]
        for name in members:
            kills, deaths, targets = rng.randint(0, 4), rng.randint(0, 3), rng.randint(0, 2)
            keys = ["#%d" % rng.randint(1, 250) for _ in range(targets)]
            points = sum(rng.choice(TYPES)[1] for _ in range(targets))
            score = deaths * DEATH + kills * KILL + points
            lines.append(row(name, score, kills, deaths, targets, points, keys))
            for i, v in enumerate((score, kills, deaths, targets, points)):
                t[i] += v
        head = "Allied Totals:......" if side == "Allied" else "Hun Totals:........."
        lines += [" ", totals(head, t)]
        lines += [" ", " "] if side == "Allied" else []
        finals.append(t[0])
    lines += [" ", " "]
    lines += ["ZORL Scoring Results (includes corrections if enabled)", "-" * 59,
              "Allied Total:...%d" % finals[0], "Hun Total:......%d" % finals[1], " ", " "]
    lines += [" ", "7. ZORL Scoring Point Values", "-" * 33, "Kill=%d" % KILL, "Death=%d" % DEATH]
    lines += ["%s=%d" % tv for tv in TYPES]
    lines += [" ", "Map used was " + MAPS[number % len(MAPS)], " "]
    return lines


def main():
    games, seed = int(sys.argv[1]), int(sys.argv[2])
    size = int(sys.argv[3]) if len(sys.argv) > 3 else len(POOL)
    POOL[:] = ["Pilot_%05d" % i if size > 1000 else "Pilot_%03d" % i for i in range(size)]
    rng = random.Random(seed)
    out = sys.stdout.buffer
    for number in range(games):
        out.write(("\r\n".join(game(rng, seed * 100000 + number)) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
