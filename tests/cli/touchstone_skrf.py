#!/usr/bin/python3
"""The choke's S-parameter files read by an independent reader (scikit-rf) and by ours.

From `vtq-cli touchstone` (four ports, and two ports of each mode), scikit-rf's own mixed-mode
conversion and ABCD parameters give Zcm and Zdm, which must be the model's (`vtq-cli
impedance --json`) within 0.1 %; reading the files back with `vtq-cli impedance --measured`
must give ratios of 1 within 0.1 %.
usage: touchstone_skrf.py VTQ_CLI SCRATCH_FOLDER
"""
import json
import os
import subprocess
import sys
import warnings

warnings.simplefilter("ignore")
try:
    import numpy
    import skrf
except ImportError:
    print("scikit-rf (python3-scikit-rf) is not installed")
    sys.exit(77)
# Debian 12's scikit-rf 0.15.4 still spells numpy's removed alias in its mixed-mode code.
numpy.bool = bool

cli, scratch = sys.argv[1], sys.argv[2]
os.makedirs(scratch, exist_ok=True)
design = ["--mode", "impedance", "--main", "600", "--current", "2", "--material", "N"]
sweep = ["--from", "10000", "--to", "1e8", "--points", "41"]


def run(*args):
    done = subprocess.run([cli, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"vtq-cli {' '.join(args)} exited {done.returncode}: {done.stderr}")
    return done.stdout


def write(name, *args):
    path = os.path.join(scratch, name)
    with open(path, "w") as f:
        f.write(run("touchstone", *design, *sweep, *args))
    return path


model = json.loads(run("impedance", *design, *sweep, "--json"))["points"]
zcm = numpy.array([complex(p["rcm_ohm"], p["xcm_ohm"]) for p in model])
zdm = numpy.array([complex(p["rdm_ohm"], p["xdm_ohm"]) for p in model])
failures = []


def agree(what, got, want):
    worst = numpy.max(numpy.abs(got / want - 1))
    print(f"{what}: worst deviation {worst:.2e}")
    if not worst < 1e-3:
        failures.append(what)


def series_z(ntwk):
    # The B of a series element's ABCD matrix is its impedance.
    return ntwk.a[:, 0, 1]


s4p = write("choke.s4p", "--ports", "4")
with open(s4p) as f:
    header = f.read(400)
if "Port 1: line 1 in, port 2: line 1 out, port 3: line 2 in, port 4: line 2 out" not in header:
    failures.append("the header states the port numbering")
four = skrf.Network(s4p)
agree("frequencies", four.f, numpy.array([p["frequency_hz"] for p in model]))
# scikit-rf pairs its ports (1, 2) and (3, 4); ours pair (1, 3) and (2, 4).
four.renumber([0, 1, 2, 3], [0, 2, 1, 3])
four.se2gmm(p=2)  # differential ports 1, 2 at 100 ohm, then common ports at 25 ohm
dd = skrf.Network(frequency=four.frequency, s=four.s[:, 0:2, 0:2], z0=four.z0[:, 0:2])
cc = skrf.Network(frequency=four.frequency, s=four.s[:, 2:4, 2:4], z0=four.z0[:, 2:4])
agree("four-port, common mode", series_z(cc), zcm)
agree("four-port, differential mode per line", series_z(dd) / 2, zdm)
agree("four-port, no mode conversion", 1 + numpy.abs(four.s[:, 0:2, 2:4]).max(axis=(1, 2)), 1)

for mode, want, half in (("cm", zcm, 1), ("dm", zdm, 2)):
    two = skrf.Network(write(f"choke_{mode}.s2p", "--ports", "2", "--as", mode))
    agree(f"two-port {mode}", series_z(two) / half, want)

# Our own reader: each file against the model at its own frequencies.
for name, extra, keys in (("choke.s4p", [], ("zcm_ratio", "zdm_ratio")),
                          ("choke_cm.s2p", [], ("zcm_ratio",)),
                          ("choke_dm.s2p", ["--measured-mode", "dm"], ("zdm_ratio",))):
    got = json.loads(run("impedance", *design, "--json", "--measured", os.path.join(scratch, name), *extra))
    ratios = numpy.array([p[k] for p in got["measured"]["points"] for k in keys])
    agree(f"read back {name}", ratios, 1)

if failures:
    sys.exit("failed: " + "; ".join(failures))
