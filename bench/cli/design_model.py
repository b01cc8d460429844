#!/usr/bin/env python3
"""The baseline of the batch benchmark: the automatic design's formulas in plain Python,
one process over the same option sets (JSON Lines) that `vtq-cli batch` reads, one JSON
line of results per design. A model of the rules for timing, not a second implementation:
no 16/32-bit number types, no box formatting, no evaluation of a chosen core.
Usage: design_model.py [FILE]   (default: standard input)"""
import json
import math
import sys

PI = 3.14  # the design formulas take pi as 3.14 throughout
PERMEABILITY = {"D": 1500, "P": 3000, "N": 5000, "S": 10000, "R": 15000}
MATERIALS = "DPNSR"
# Catalogue number, OD, ID, HT (in.), AL in D P N S R (mH/1000 T), path (cm), area (cm2),
# area product (cm4), feet of wire a turn.
CORES = [
    ("80101", 0.375, 0.187, 0.125, (657, 1314, 2196, 4392, 6590), 2.07, 0.07, 0.012, 0.037),
    ("80102", 0.375, 0.187, 0.188, (990, 1980, 3308, 6616, 9920), 2.07, 0.107, 0.019, 0.052),
    ("80103", 0.5, 0.312, 0.125, (447, 894, 1488, 2976, 4464), 3.12, 0.072, 0.035, 0.038),
    ("80104", 0.52, 0.29, 0.156, (667, 1334, 2295, 4590, 6885), 3.06, 0.109, 0.046, 0.049),
    ("80105", 0.5, 0.281, 0.188, (815, 1630, 2715, 5430, 8145), 2.95, 0.126, 0.05, 0.054),
    ("80106", 0.5, 0.312, 0.2, (715, 1430, 2380, 4760, 7140), 3.12, 0.117, 0.058, 0.054),
    ("80107", 0.5, 0.281, 0.25, (1083, 2166, 3612, 7224, 10836), 2.95, 0.169, 0.064, 0.06),
    ("80108", 0.5, 0.312, 0.25, (891, 1782, 2968, 5936, 8904), 3.12, 0.146, 0.072, 0.059),
    ("80109", 0.625, 0.35, 0.185, (825, 1650, 2760, 5520, 8280), 3.68, 0.153, 0.094, 0.058),
    ("80110", 0.87, 0.54, 0.25, (906, 1812, 3020, 6040, 9060), 5.42, 0.25, 0.37, 0.071),
    ("80111", 0.87, 0.54, 0.312, (1125, 2250, 3700, 7400, 11100), 5.42, 0.315, 0.466, 0.087),
    ("80112", 1, 0.61, 0.312, (1174, 2348, 3913, 7825, 11700), 6.17, 0.374, 0.707, 0.094),
    ("80113", 0.87, 0.54, 0.5, (1812, 3624, 6040, 12080, 18120), 5.42, 0.511, 0.756, 0.122),
    ("80114", 1.142, 0.748, 0.295, (951, 1902, 3170, 6340, 9510), 7.32, 0.358, 1.02, 0.087),
    ("80115", 1.142, 0.748, 0.6, (1934, 3868, 6447, 12894, 19300), 7.32, 0.74, 2.1, 0.146),
    ("80116", 1.417, 0.906, 0.394, (0, 2726, 4543, 9085, 0), 8.97, 0.628, 2.61, 0.119),
    ("80117", 1.5, 0.75, 0.5, (0, 5020, 8365, 16700, 0), 8.3, 1.15, 3.27, 0.16),
    ("80118", 1.417, 0.906, 0.59, (0, 4040, 6736, 13400, 0), 8.97, 0.946, 3.93, 0.155),
    ("80119", 1.932, 1.332, 0.625, (0, 3540, 5900, 11800, 0), 12.7, 1.16, 10.4, 0.162),
    ("80120", 1.932, 1.252, 0.75, (0, 4460, 7435, 14870, 0), 12.3, 1.46, 11.6, 0.198),
    ("80121", 2.4, 1.4, 0.5, (0, 4107, 6845, 13690, 0), 14.5, 1.56, 15.5, 0.184),
    ("80122", 1.932, 1.332, 1.25, (0, 7080, 11800, 23600, 0), 12.7, 2.36, 21.2, 0.276),
    ("80123", 2.9, 1.53, 0.5, (0, 4880, 8140, 16280, 0), 16.5, 2.12, 25.2, 0.237),
    ("80124", 3.375, 2.187, 0.5, (0, 3310, 5520, 11040, 0), 21.5, 1.87, 45.2, 0.219),
]
HEADERS = [(0.0, 0.38, 0.0, "HB-01"), (0.5, 0.9, 0.385, "HB-02"), (0.0, 1.1, 0.51, "HB-03"),
           (0.0, 1.6, 0.71, "HB-04"), (0.0, 2.5, 0.81, "HB-05")]


def positive(options, key, default, what):
    try:
        value = float(options.get(key, default))
    except ValueError:
        value = 0.0
    if not value > 0:
        raise ValueError(what + " field requires a numeric entry greater than zero.")
    return value


def design(o):
    mode = o.get("mode", "inductance")
    material = o.get("material", "N")
    inches = o.get("units", "in") != "mm"
    main = positive(o, "main", "1", mode.capitalize())
    current = positive(o, "current", "5", "Current")
    frequency = positive(o, "frequency", "10000", "Cutoff Frequency")
    density = positive(o, "density", "400", "Current Density")
    permeability = PERMEABILITY[material]
    if mode == "inductance":
        li = main * current
    elif mode == "voltage":
        li = max(main / current, 50) * current * 1000 / (2 * PI * frequency)
    else:
        main = main * current
        li = main * 1000 / (2 * PI * frequency)
    required_ap = 0.386 * (li * 1e6 / (permeability * density)) ** 1.299
    inductance = li / current
    stack, row = 1, len(CORES) - 1
    if required_ap > 181:
        return {"txtPN": "Too Large"}
    if required_ap > 45.2:
        stack = 2 if required_ap <= 90.4 else 3 if required_ap <= 135.6 else 4
    else:
        row = next((r for r, c in enumerate(CORES) if c[7] >= required_ap), row)
    number, od, idia, ht, al, path, area, _, turn_length = CORES[row]
    effective_al = al[MATERIALS.index(material)] * stack
    if effective_al <= 0:
        return {"txtPN": "Q" + material + "-" + number + "-KX", "warning": "Improper Core Selection."}
    turns = math.floor(math.sqrt(inductance / effective_al * 1e6) + 0.5)
    gauge = max(1, int(round(-4.31 * math.log(current * 1.889 / density))))
    reached = effective_al * turns * turns / 1e6
    wire_length = (turn_length * turns * (1 + 0.5 * (stack - 1)) + 0.5) * 12
    resistance = wire_length * 8.196 / 1e6 * math.exp(0.2319 * gauge)
    cutoff = 1000 * main / (2 * PI * reached * current)
    d = 0.3326 * 0.8927 ** gauge
    wound_od, wound_id, wound_ht = od + 2 * d + 0.03, idia - 2 * d - 0.03, ht * stack + 2 * d + 0.03
    header = next((h[3] for h in HEADERS if (h[0] == 0 or wound_od > h[0]) and wound_od < h[1]
                   and (h[2] == 0 or wound_ht < h[2])), "None Available")
    surface = (2 * PI * (wound_od / 2) ** 2 + PI * wound_od * wound_ht) * 2.54 * 2.54
    rise = (2000 * current * current * resistance / surface) ** 0.833
    leakage = int(round(2 * permeability)) / (0.1 * permeability + 1)
    diff_l = 1000 * turns * turns * 4 * PI * leakage * area * stack * 1e-6 / path
    unit = 1 if inches else 25.4
    return {"txtPN": ("(%dx) " % stack if stack > 1 else "") + "Q" + material + "-" + number + "-KX",
            "OD": od * unit, "ID": idia * unit, "HT": ht * unit, "AL": al[MATERIALS.index(material)],
            "AreaProduct": required_ap, "Inductance": reached, "Turns": turns, "WireSize": gauge,
            "WireLength": wire_length * (1 if inches else 2.54), "DCres": resistance,
            "FrequencyOutput": cutoff, "txtWoundOD": wound_od * unit, "txtWoundID": wound_id * unit,
            "txtWoundHt": wound_ht * unit, "txtHeader": header, "txtTrise": rise, "txtDiffL": diff_l}


def main():
    source = open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin
    out = sys.stdout
    for number, line in enumerate(source, 1):
        try:
            result = {"outputs": design(json.loads(line))}
        except (ValueError, ZeroDivisionError, OverflowError) as e:
            result = {"line": number, "error": str(e)}
        out.write(json.dumps(result) + "\n")


if __name__ == "__main__":
    main()
