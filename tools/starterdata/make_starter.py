#!/usr/bin/env python3
"""Rebuilds assets/starter/starter.sql, the rows a new velnora.db starts with.

Reads OpenNGC (NGC.csv, addendum.csv), the Herschel 400 list and the files of
Debian's stellarium-data package; see README.md beside this file for the rules.
Python 3 standard library only. The output is deterministic: the same sources
give the same file byte for byte.
"""

import argparse
import csv
import gzip
import math
import os
import re
import struct
import sys
from collections import defaultdict

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
DEFAULT_SHARED = os.path.normpath(os.path.join(REPO, "..", "shared", "data"))
DEFAULT_STELLARIUM = "/usr/share/stellarium"

sys.path.insert(0, HERE)
import atlas  # noqa: E402  (chart numbers of the printed atlases)
import texts  # noqa: E402  (our own prose: scales, month notes, NGC legend)

MONTHS = ["January", "February", "March", "April", "May", "June", "July",
          "August", "September", "October", "November", "December"]

# The 111 NGC numbers of the Best of the NGC observing list.
BEST_NGC = [
    6946, 6939, 7129, 3077, 2655, 2403, 663, 1501, 40, 6503, 6543, 4605,
    5907, 4088, 4449, 4111, 4490, 4244, 4214, 4656, 4631, 4414, 5005, 5033,
    772, 2392, 2158, 1931, 2194, 2022, 2244, 6940, 6781, 6633, 6572, 6210,
    246, 1232, 253, 936, 4567, 4762, 4274, 4494, 4565, 4559, 4725, 4438,
    4388, 4216, 4535, 4526, 3344, 3607, 3628, 3384, 884, 457, 869, 281, 185,
    891, 1023, 1907, 1491, 7789, 7662, 7331, 7243, 7209, 7000, 7027, 6992,
    6960, 6826, 6819, 6207, 4026, 3877, 3675, 3941, 3432, 2903, 2683, 2841,
    3079, 3184, 5128, 5139, 5746, 4699, 4361, 2024, 1973, 1788, 2261, 2438,
    2359, 2440, 1535, 7009, 7293, 6818, 6520, 6369, 6445, 6712, 3521, 3115,
    3242, 2539,
]

# OpenNGC type -> five-character type code of the program's type list.
BASE_TYPE = {
    "G": "GALXY", "GPair": "GALCL", "GTrpl": "GALCL", "GGroup": "GALCL",
    "OCl": "OPNCL", "GCl": "GLOCL", "Cl+N": "CL+NB", "PN": "PLNNB",
    "HII": "BRTNB", "EmN": "BRTNB", "Neb": "BRTNB", "RfN": "BRTNB",
    "DrkN": "DRKNB", "SNR": "SNREM", "*": "1STAR", "Nova": "1STAR",
    "**": "2STAR", "*Ass": "ASTER",
}
# Codes for objects inside the Magellanic Clouds and inside other galaxies.
CLOUD_TYPE = {"OPNCL": "OC", "GLOCL": "GC", "CL+NB": "CN", "BRTNB": "DN"}
IN_GALAXY_TYPE = {"GLOCL": "GX+GC", "CL+NB": "G+C+N", "BRTNB": "GX+DN"}

# Addendum rows whose own name is a Caldwell number get the designation
# observers use for them; C014 is the pair NGC 869 / NGC 884 and is left out.
ADDENDUM_OBJECT = {"C009": "Sh2-155", "C041": "Mel 25", "C099": "Coalsack"}
ADDENDUM_PREFIX = {"B": "B", "Cl": "Cr", "ESO": "ESO", "H": "Harvard",
                   "HCG": "HCG", "M": "M", "Mel": "Mel", "MWSC": "MWSC",
                   "PGC": "PGC", "UGC": "UGC"}
DROPPED_ADDENDUM = {"C014"}

# Survey designations left out of OTHER: long machine names nobody looks up at
# the eyepiece.
SURVEY_PREFIXES = ("2MASS", "2MASX", "SDSS", "IRAS", "6dFGS", "UCAC")

# Messier 102: OpenNGC keeps it as a duplicate of M101; the logbook follows the
# usual identification with NGC 5866.
M102_NAME = "NGC5866"

TYPE_WORDS = {
    "ASTER": "Asterism", "BRTNB": "Bright nebula", "CL+NB": "Cluster with nebulosity",
    "DRKNB": "Dark nebula", "GALCL": "Galaxy group", "GALXY": "Galaxy",
    "GLOCL": "Globular cluster", "GX+DN": "Diffuse nebula in a galaxy",
    "GX+GC": "Globular cluster in a galaxy", "G+C+N": "Cluster with nebulosity in a galaxy",
    "OPNCL": "Open cluster", "PLNNB": "Planetary nebula", "SNREM": "Supernova remnant",
    "1STAR": "Star", "2STAR": "Double star", "3STAR": "Triple star", "4STAR": "Group of four stars",
}


# ---------------------------------------------------------------- formats

def sql(value):
    if value is None:
        return "NULL"
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return repr(value)
    return "'" + str(value).replace("'", "''") + "'"


def ra_text(hms):
    """'05:35:16.48' -> '05 35.3' (hours and minutes to a tenth)."""
    h, m, s = (float(x) for x in hms.split(":"))
    tenths = round((h * 60 + m + s / 60) * 10) % (24 * 600)
    return "%02d %04.1f" % (tenths // 600, (tenths % 600) / 10)


def dec_text(dms):
    """'-05:23:22.8' -> '-05 23' (degrees and whole minutes, sign always)."""
    sign = "-" if dms.strip().startswith("-") else "+"
    d, m, s = (abs(float(x)) for x in dms.strip().lstrip("+-").split(":"))
    minutes = round(d * 60 + m + s / 60)
    return "%s%02d %02d" % (sign, minutes // 60, minutes % 60)


def ra_hours(hms):
    h, m, s = (float(x) for x in hms.split(":"))
    return h + m / 60 + s / 3600


def dec_degrees(dms):
    text = dms.strip()
    d, m, s = (abs(float(x)) for x in text.lstrip("+-").split(":"))
    value = d + m / 60 + s / 3600
    return -value if text.startswith("-") else value


def size_text(arcmin):
    if arcmin is None:
        return ""
    if arcmin < 1:
        return "%d s" % round(arcmin * 60)
    return "%.1f m" % arcmin


def number(text):
    text = (text or "").strip()
    return float(text) if text else None


def plain(x, digits):
    """A number with at most `digits` significant digits, no exponent."""
    if x == 0:
        return "0"
    places = digits - 1 - int(math.floor(math.log10(abs(x))))
    return f"{round(x, places):,.{max(0, places)}f}"


# ---------------------------------------------------------------- months

def evening_sidereal_hours():
    """Local sidereal time at 21:00 local mean time on the 15th of each month
    (year 2025; the drift between years is a few minutes)."""
    days_from_j2000 = 9131.5  # 2025-01-01 00:00 UT is JD 2460676.5, J2000.0 is 2451545.0
    lst = []
    doy = 0
    lengths = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
    for m in range(12):
        d = days_from_j2000 + doy + 14 + 21 / 24
        gmst = (18.697374558 + 24.06570982441908 * d) % 24
        lst.append(gmst)
        doy += lengths[m]
    return lst


EVENING_LST = evening_sidereal_hours()


def view_month(ra_h):
    """1..12: the month whose mid-month 9 p.m. sidereal time is nearest RA."""
    def gap(m):
        g = abs(EVENING_LST[m] - ra_h) % 24
        return min(g, 24 - g)
    return min(range(12), key=lambda m: (gap(m), m)) + 1


# ---------------------------------------------------------------- OpenNGC

def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter=";"))


def split_name(name):
    """'NGC0224' -> ('NGC', 224, ''), 'IC1396A' -> ('IC', 1396, 'A')."""
    m = re.match(r"^(NGC|IC)(\d+)(.*)$", name)
    return m.group(1), int(m.group(2)), m.group(3)


def object_name(name):
    if name.startswith(("NGC", "IC")):
        cat, num, suffix = split_name(name)
        return ("NGC%d" % num if cat == "NGC" else "IC %d" % num) + suffix
    if name in ADDENDUM_OBJECT:
        return ADDENDUM_OBJECT[name]
    m = re.match(r"^([A-Za-z]+)(\d+)(?:-(\d+))?$", name)
    prefix, num, tail = m.group(1), int(m.group(2)), m.group(3)
    return "%s %d" % (ADDENDUM_PREFIX[prefix], num) + ("-%d" % int(tail) if tail else "")


# Abbreviations of the catalogue notes written out for the observer.
NOTE_WORDS = ((re.compile(r"\bspec\. cat\."), "spectroscopic cat."),
              (re.compile(r"\bphot\. cat\."), "photometric cat."))


def notes_of(r):
    text = " ".join(x.strip() for x in (r["NED notes"], r["OpenNGC notes"]) if x.strip())
    for short, full in NOTE_WORDS:
        text = short.sub(full, text)
    return text


HOST_RE = re.compile(r"\b(?:in|within|of)\s+(?:the\s+)?(?:boundaries\s+of\s+)?"
                     r"(?:the\s+)?(?:galaxy\s+)?(Messier|M|NGC|IC)\s?0*(\d+)", re.I)


def type_code(r, by_name):
    t = r["Type"]
    notes = notes_of(r)
    if t == "Other":
        return other_type(notes)
    code = BASE_TYPE[t]
    sources = {x.split(":")[1] for x in r["Sources"].split("|") if ":" in x}
    if code in CLOUD_TYPE:
        if "7" in sources or re.search(r"\bLMC\b|Large Magellanic", notes):
            if not re.search(r"superposed|foreground", notes, re.I):
                return "LMC" + CLOUD_TYPE[code]
        if "6" in sources or re.search(r"\bSMC\b|Small Magellanic", notes):
            if not re.search(r"superposed|foreground", notes, re.I):
                return "SMC" + CLOUD_TYPE[code]
    if code in IN_GALAXY_TYPE:
        m = HOST_RE.search(r["NED notes"])
        if m:
            cat = m.group(1).upper()
            host = by_name.get(("M" if cat in ("M", "MESSIER") else cat, int(m.group(2))))
            if host is not None and host["Type"] in ("G", "GPair", "GTrpl", "GGroup"):
                return IN_GALAXY_TYPE[code]
    return code


def nothing_there(r):
    """An 'Other' entry whose notes say no object lies at its position."""
    n = notes_of(r).lower()
    return r["Type"] == "Other" and bool(
        re.match(r"(nominal position[;,.]? )?(nothing|no optical|only (a )?faint)|this is a defect|"
                 r"nonexistent|.*defect on the", n) or "nothing here" in n[:40])


def other_type(notes):
    """OpenNGC's 'Other' class, read from the object's notes."""
    n = notes.lower()
    if re.search(r"\b(two|pair of) (galactic )?stars|double star", n):
        return "2STAR"
    if re.search(r"\bthree (galactic )?stars|triple star", n):
        return "3STAR"
    if re.search(r"\bfour (galactic )?stars", n):
        return "4STAR"
    if re.search(r"hii region|knot", n):
        return "GX+DN"
    if re.search(r"\b(arm|part|portion) of (the )?(galaxy )?ngc", n):
        return "GALXY"
    return "ASTER"


def load_openngc(shared):
    base = os.path.join(shared, "openngc")
    ngc = read_csv(os.path.join(base, "NGC.csv"))
    add = read_csv(os.path.join(base, "addendum.csv"))
    by_name = {}
    for r in ngc + add:
        if r["Name"].startswith(("NGC", "IC")):
            cat, num, suffix = split_name(r["Name"])
            if not suffix and r["Type"] != "Dup":
                by_name[(cat, num)] = r
        if r["M"] and r["Type"] != "Dup":
            by_name[("M", int(r["M"]))] = r
    return ngc, add, by_name


def listed_duplicate(dup, by_name):
    master_num = int(dup["NGC"].split(",")[0])
    master = by_name[("NGC", master_num)]
    row = dict(master)
    row.update({"Name": dup["Name"], "NGC": str(master_num), "IC": "", "M": "",
                "Identifiers": re.sub(r"\bC \d{3},?", "", master["Identifiers"]).strip(","),
                "NED notes": "The same object as NGC %d, catalogued twice." % master_num,
                "OpenNGC notes": ""})
    return row


def sort_key(r):
    cat, num, suffix = split_name(r["Name"])
    return (0 if cat == "NGC" else 1, num, suffix)


def caldwell_numbers(r):
    nums = {int(x) for x in re.findall(r"\bC (\d{3})\b", r["Identifiers"])}
    nums |= {int(x) for x in re.findall(r"Caldwell (\d+) refers to", r["OpenNGC notes"])}
    if re.match(r"C\d{3}$", r["Name"]):
        nums.add(int(r["Name"][1:]))
    return nums


def other_names(r, messier):
    parts = []
    if messier:
        parts.append("M %d" % messier)
    for c in sorted(caldwell_numbers(r)):
        parts.append("C %d" % c)
    for col, cat in (("NGC", "NGC"), ("IC", "IC")):
        for x in r[col].split(","):
            if x.strip():
                parts.append("%s %s" % (cat, x.strip().lstrip("0")))
    for x in r["Common names"].split(","):
        if x.strip():
            parts.append(x.strip())
    for x in r["Identifiers"].split(","):
        x = x.strip()
        if x and not x.startswith(SURVEY_PREFIXES) and not re.match(r"C \d{3}$", x):
            parts.append(x)
    seen, out = set(), []
    for p in parts:
        if p not in seen:
            seen.add(p)
            out.append(p)
    return ", ".join(out)


def build_sac(shared):
    ngc, add, by_name = load_openngc(shared)
    herschel = set()
    with open(os.path.join(shared, "herschel400.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                herschel.add(int(line))
    best = set(BEST_NGC)
    assert len(best) == 111, "the Best of the NGC list must hold 111 numbers"

    kept = [r for r in ngc if r["Type"] not in ("NonEx", "Dup") and not nothing_there(r)]
    # A second entry of one object stays when an observing list names it by
    # that number (NGC 2244, the Rosette cluster, is OpenNGC's NGC 2239).
    for r in ngc:
        if r["Type"] == "Dup" and r["Name"].startswith("NGC"):
            num, suffix = split_name(r["Name"])[1:]
            if not suffix and (num in herschel or num in best):
                kept.append(listed_duplicate(r, by_name))
    kept.sort(key=sort_key)
    extra = [r for r in add if r["Type"] not in ("NonEx", "Dup") and r["Name"] not in DROPPED_ADDENDUM]
    extra.sort(key=lambda r: r["Name"])

    rows = []
    for r in kept + extra:
        is_ngc = r["Name"].startswith("NGC")
        num = split_name(r["Name"])[1] if r["Name"].startswith(("NGC", "IC")) else None
        suffix = split_name(r["Name"])[2] if num is not None else ""
        plain_ngc = is_ngc and not suffix
        messier = int(r["M"]) if r["M"] else None
        if r["Name"] == M102_NAME:
            messier = 102
        letters = ""
        if plain_ngc and num in best:
            letters += "B"
        if caldwell_numbers(r):
            letters += "C"
        if plain_ngc and num in herschel:
            letters += "H"
        if messier:
            letters += "M"
        v, b = number(r["V-Mag"]), number(r["B-Mag"])
        mag = v if v is not None else b
        if mag is None:
            mag = 79.9 if r["Type"] == "DrkN" else 99.9
        con = r["Const"].upper()
        con = "SER" if con in ("SE1", "SE2") else con
        rows.append({
            "src": r, "messier": messier, "ngc_number": num if plain_ngc else None,
            "OBJECT": object_name(r["Name"]),
            "OTHER": other_names(r, messier),
            "TYPE": type_code(r, by_name),
            "CON": con,
            "RA": ra_text(r["RA"]), "DEC": dec_text(r["Dec"]),
            "ra_h": ra_hours(r["RA"]),
            # Charts from the full position, not the rounded text form.
            "U2K": str(atlas.uranometria(ra_hours(r["RA"]), dec_degrees(r["Dec"]))),
            "TI": str(atlas.sky_atlas(ra_hours(r["RA"]), dec_degrees(r["Dec"]))),
            "MAG": mag, "SUBR": number(r["SurfBr"]),
            "SIZE_MAX": size_text(number(r["MajAx"])),
            "SIZE_MIN": size_text(number(r["MinAx"])),
            "PA": r["PosAng"].strip(),
            "CLASS": r["Hubble"].strip(),
            "BCHM": letters,
            "NOTES": notes_of(r),
        })
    # The Best of the NGC list walks the sky in right ascension.
    best_rows = sorted((x for x in rows if "B" in x["BCHM"]), key=lambda x: (x["ra_h"], x["ngc_number"]))
    assert len(best_rows) == 111, "every Best of the NGC number needs its row"
    for i, x in enumerate(best_rows, 1):
        x["best_number"] = i
    return rows


SAC_COLUMNS = ["ID", "OBJECT", "OTHER", "TYPE", "CON", "RA", "DEC", "MAG", "SUBR", "U2K", "TI",
               "SIZE_MAX", "SIZE_MIN", "PA", "CLASS", "NSTS", "BRSTR", "BCHM", "NGC_DESCR",
               "ngc1", "NOTES", "photo", "completed", "best_number"]


def sac_values(i, x):
    # Text columns no source fills are empty text, not NULL, so that the
    # search's `like '*'` conditions still match every row.
    return [i, x["OBJECT"], x["OTHER"], x["TYPE"], x["CON"], x["RA"], x["DEC"], float(x["MAG"]),
            x["SUBR"], x["U2K"], x["TI"], x["SIZE_MAX"], x["SIZE_MIN"], x["PA"], x["CLASS"], "", "",
            x["BCHM"], "", "", x["NOTES"], "", 0, x.get("best_number")]


# ---------------------------------------------------------------- Stellarium

class Stellarium:
    def __init__(self, root):
        self.root = root
        self.constellations = {}
        path = os.path.join(root, "skycultures", "western", "constellation_names.eng.fab")
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = re.match(r'(\w+)\s+"([^"]+)"', line)
                if m:
                    self.constellations[m.group(1).upper()] = m.group(2)

    def messier_distances(self):
        """Messier number -> distance in kpc from the deep-sky catalogue."""
        data = gzip.open(os.path.join(self.root, "nebulae", "default", "catalog.dat")).read()
        pos = 0

        def u32():
            nonlocal pos
            v = struct.unpack_from(">I", data, pos)[0]
            pos += 4
            return v

        def dbl():
            nonlocal pos
            v = struct.unpack_from(">d", data, pos)[0]
            pos += 8
            return v

        def qstr():
            nonlocal pos
            n = u32()
            if n == 0xFFFFFFFF:
                return None
            s = data[pos:pos + n].decode("utf-16-be")
            pos += n
            return s

        version = qstr()
        qstr()
        if version != "3.16":
            raise SystemExit("unexpected deep-sky catalogue version %s" % version)
        out = {}
        while pos < len(data):
            u32()
            for _ in range(4):
                dbl()
            u32()
            qstr()
            dbl(), dbl()
            u32()
            for _ in range(4):
                dbl()
            dist, _err = dbl(), dbl()
            ids = [u32() for _ in range(14)]  # NGC IC M C B Sh2 VdB RCW LDN LBN Cr Mel PGC UGC
            qstr()
            u32(), u32()
            for _ in range(7):
                qstr()
            for _ in range(5):
                u32()
            if ids[2] and dist > 0:
                out[ids[2]] = dist
        return out

    def hipparcos_magnitudes(self):
        """HIP number -> V magnitude, from the star catalogues of levels 0 to 2."""
        mags = {}
        for name in ("stars_0_0v0_8.cat", "stars_1_0v0_8.cat", "stars_2_0v0_8.cat"):
            data = open(os.path.join(self.root, "stars", "default", name), "rb").read()
            magic, dtype, _major, _minor, level, mag_min, mag_range, mag_steps = \
                struct.unpack_from("<IiiiiiiI", data, 0)
            if magic != 0x835F040A or dtype != 0:
                raise SystemExit("unexpected star catalogue " + name)
            zones = 20 * 4 ** level
            counts = struct.unpack_from("<%dI" % zones, data, 32)
            pos = 32 + 4 * zones
            for _ in range(sum(counts)):
                word, = struct.unpack_from("<I", data, pos)
                hip = word & 0xFFFFFF
                mag = data[pos + 13]
                if hip:
                    mags.setdefault(hip, (mag_min + mag * mag_range / mag_steps) / 1000.0)
                pos += 28
        return mags

    def double_stars(self):
        """Candidate doubles: (hip, wds designation, year, pa, sep)."""
        out = []
        with open(os.path.join(self.root, "stars", "default", "wds_hip_part.dat"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                hip, wds, year, pa, sep = line.split()[:5]
                out.append((int(hip), wds, year, pa, float(sep)))
        return out

    def star_designations(self):
        out = defaultdict(list)
        with open(os.path.join(self.root, "stars", "default", "name.fab"), encoding="utf-8") as f:
            for line in f:
                if "|" in line:
                    hip, name = line.strip().split("|", 1)
                    out[int(hip)].append(name)
        return out

    def star_names(self):
        out = {}
        path = os.path.join(self.root, "skycultures", "western", "star_names.fab")
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)', line)
                if m and int(m.group(1)) not in out:
                    out[int(m.group(1))] = m.group(2)
        return out

    def bodies(self):
        out, current = {}, None
        with open(os.path.join(self.root, "data", "ssystem_major.ini"), encoding="utf-8") as f:
            for line in f:
                line = line.split("#")[0].strip()
                if line.startswith("["):
                    current = {}
                    out[line.strip("[]")] = current
                elif "=" in line and current is not None and not line.startswith(";"):
                    k, v = line.split("=", 1)
                    current[k.strip()] = v.strip()
        return out


# ---------------------------------------------------------------- Messier

def build_messier(sac, stel):
    distances = stel.messier_distances()
    rows = []
    for x in sac:
        if not x["messier"]:
            continue
        r = x["src"]
        names = [n.strip() for n in r["Common names"].split(",") if n.strip()]
        kind = TYPE_WORDS.get(x["TYPE"]) or TYPE_WORDS[BASE_TYPE[r["Type"]]]
        if x["CLASS"]:
            kind += " (%s)" % x["CLASS"]
        name = (names[0] + " - " if names else "") + kind
        maj, mn = number(r["MajAx"]), number(r["MinAx"])
        size = ""
        if maj:
            size = "%.1f'" % maj + (" x %.1f'" % mn if mn else "")
        mag = number(r["V-Mag"]) if r["V-Mag"] else number(r["B-Mag"])
        kpc = distances.get(x["messier"])
        month = view_month(x["ra_h"])
        con = stel.constellations["SER" if x["CON"] == "SER" else x["CON"]]
        rows.append({
            "ID": x["messier"], "mes": str(x["messier"]),
            "ngc": str(x["ngc_number"]) if x["ngc_number"] else ("" if x["OBJECT"].startswith("M ") else x["OBJECT"]),
            "Name": name,
            "distance": plain(kpc * 3261.56, 3) if kpc else "",
            "size": size, "mag": "%.1f" % mag if mag is not None else "",
            "ra": x["RA"], "dec": x["DEC"], "const": con,
            "view_month": MONTHS[month - 1], "month_sort": month,
            "completed": 0,
        })
    rows.sort(key=lambda m: m["ID"])
    assert [m["ID"] for m in rows] == list(range(1, 111)), "one row per Messier number"
    return rows


# ---------------------------------------------------------------- planets

BODIES = ["Sun", "Mercury", "Venus", "Earth", "Moon", "Mars", "Phobos", "Deimos", "Asteroids",
          "Jupiter", "Io", "Europa", "Ganymede", "Callisto", "Saturn", "Tethys", "Dione", "Rhea",
          "Titan", "Uranus", "Umbriel", "Titania", "Oberon", "Neptune", "Triton", "Pluto",
          "Charon", "Comets", "Meteors"]

# Published masses (kg): NASA/NSSDCA planetary fact sheets.
MASS_KG = {
    "Sun": 1.9885e30, "Mercury": 3.30e23, "Venus": 4.87e24, "Earth": 5.97e24, "Moon": 7.35e22,
    "Mars": 6.42e23, "Phobos": 1.07e16, "Deimos": 1.48e15, "Jupiter": 1.898e27, "Io": 8.93e22,
    "Europa": 4.80e22, "Ganymede": 1.48e23, "Callisto": 1.08e23, "Saturn": 5.68e26,
    "Tethys": 6.17e20, "Dione": 1.10e21, "Rhea": 2.31e21, "Titan": 1.35e23, "Uranus": 8.68e25,
    "Neptune": 1.02e26, "Triton": 2.14e22, "Pluto": 1.30e22, "Charon": 1.59e21,
}
# Semi-major axes (AU): JPL's approximate Keplerian elements of the planets.
SEMI_MAJOR_AU = {"Mercury": 0.387, "Venus": 0.723, "Earth": 1.000, "Mars": 1.524,
                 "Jupiter": 5.203, "Saturn": 9.537, "Uranus": 19.189, "Neptune": 30.070,
                 "Pluto": 39.482}
G = 6.674e-11


def power_text(x):
    exp = int(math.floor(math.log10(x)))
    return "%s x 10^%d" % (plain(x / 10 ** exp, 3), exp)


def period_text(hours):
    retro = hours < 0
    hours = abs(hours)
    text = "%s hours" % plain(hours, 4) if hours < 48 else "%s days" % plain(hours / 24, 4)
    return text + (" (retrograde)" if retro else "")


def build_planets(stel):
    ini = stel.bodies()
    earth = ini["earth"]
    earth_vol = float(earth["radius"]) ** 3 * (1 - float(earth.get("oblateness", 0)))
    rows = []
    for sort, name in enumerate(BODIES, 1):
        b = ini.get(name.lower())
        row = {"id": name, "name": name, "asteroid": 1 if name == "Asteroids" else 0,
               "moon": 1 if b and b.get("type") == "moon" else 0, "atmosphere": "",
               "mass": "", "volume": "", "day": "", "Diameter": "", "Distance": "",
               "Gravity": "", "Orbital_period": "", "completed": 0, "sort": sort}
        if b:
            r_km = float(b["radius"])
            flat = float(b.get("oblateness", 0))
            row["Diameter"] = "%s km" % plain(2 * r_km, 5 if r_km >= 50 else 3)
            volume = r_km ** 3 * (1 - flat) / earth_vol
            row["volume"] = plain(volume, 3) if volume >= 0.001 else power_text(volume)
            if b.get("atmosphere") == "1":
                row["atmosphere"] = "Yes"
            if "rot_periode" in b:
                row["day"] = period_text(float(b["rot_periode"]))
            period = b.get("orbit_Period") or b.get("orbit_visualization_period")
            if period and name != "Sun":
                days = float(period)
                row["Orbital_period"] = ("%s days" % plain(days, 4) if days < 1000
                                         else "%s years" % plain(days / 365.25, 4))
            parent = b.get("parent", "")
            au = SEMI_MAJOR_AU.get(name) or SEMI_MAJOR_AU.get(parent)
            if au:
                row["Distance"] = "%.3f" % au
            if name in MASS_KG:
                kg = MASS_KG[name]
                row["mass"] = power_text(kg) + " kg"
                # Escape velocity at the equator.
                v = math.sqrt(2 * G * kg / (r_km * 1000)) / 1000
                row["Gravity"] = "%s km/s" % plain(v, 3)
        rows.append(row)
    return rows


# ---------------------------------------------------------------- doubles

DOUBLES_TSV = os.path.join(HERE, "doubles.tsv")


def build_doubles(stel, path=DOUBLES_TSV):
    """The multiple stars of doubles.tsv (made by make_doubles.py), in order of RA."""
    rows = []
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f if not line.startswith("#")]
    cols = lines[0].split("\t")
    for line in lines[1:]:
        d = dict(zip(cols, line.split("\t")))
        ra_h = float(d["ra"]) / 15
        minutes = round(ra_h * 60, 1)
        ra = "%02d %04.1f" % (int(minutes // 60) % 24, minutes % 60)
        dec_min = round(abs(float(d["dec"])) * 60)
        dec = "%s%02d %02d" % ("-" if float(d["dec"]) < 0 else "+", dec_min // 60, dec_min % 60)
        mags = "A %s" % d["mag_a"] + (", B %s" % d["mag_b"] if d["mag_b"] else "")
        colours = ["%s=%s" % (c, colour_letter(float(d["bv_" + c.lower()]))) for c in "AB" if d["bv_" + c.lower()]]
        notes = []
        if colours:
            notes.append(", ".join(colours) + " (from B-V).")
        ids = ["WDS %s" % d["wds"]] if d["wds"] else []
        if d["hip_b"] and d["hip_b"] != d["hip_a"]:
            ids.append("HIP %s and HIP %s" % (d["hip_a"], d["hip_b"]))
        else:
            ids.append("HIP %s" % d["hip_a"])
        notes.append("; ".join(ids) + ".")
        if d["measured"] == "Hipparcos":
            notes.append("Separation and angle from the Hipparcos positions.")
        elif d["measured"]:
            notes.append("Separation and angle measured %s." % d["measured"])
        elif not d["mag_b"]:
            notes.append("The companion is not in the open catalogues used.")
        rows.append({"Name": d["name"], "const": stel.constellations[d["con"]], "ra": ra, "dec": dec,
                     "magnitudes": mags, "sep": d["sep"], "pa": d["pa"], "notes": " ".join(notes),
                     "observed": 0, "_ra": ra_h})
    rows.sort(key=lambda r: r["_ra"])
    for i, r in enumerate(rows, 1):
        r["ID"] = i
    return rows


def colour_letter(bv):
    """The colour an observer names for a B-V index: B, W, Y or O."""
    return "B" if bv < -0.05 else "W" if bv < 0.3 else "Y" if bv < 0.8 else "O"


# ---------------------------------------------------------------- output

def insert(out, table, columns, rows, chunk=400):
    for start in range(0, len(rows), chunk):
        out.append("INSERT INTO %s (%s) VALUES\n" % (table, ",".join(columns)))
        part = rows[start:start + chunk]
        out.append(",\n".join("(" + ",".join(sql(v) for v in row) + ")" for row in part))
        out.append(";\n")


def month_notes(messier):
    by_month = defaultdict(list)
    for m in messier:
        by_month[m["month_sort"]].append(m)
    rows = []
    for i, month in enumerate(MONTHS, 1):
        groups = defaultdict(list)
        for m in sorted(by_month[i], key=lambda m: m["ID"]):
            groups[m["const"]].append("M%d" % m["ID"])
        listing = "; ".join("%s: %s" % (c, ", ".join(groups[c])) for c in sorted(groups))
        text = texts.MONTH_INTRO[month] + "\n\nMessier objects best placed this month: " + \
            (listing + "." if listing else "none; use the month to revisit last month's objects.")
        rows.append([month + " Notes", text])
    return rows


def build(shared, stellarium):
    stel = Stellarium(stellarium)
    sac = build_sac(shared)
    messier = build_messier(sac, stel)
    planets = build_planets(stel)
    doubles = build_doubles(stel)

    out = ["-- Starter rows of a new velnora.db. Generated by tools/starterdata/make_starter.py;\n"
           "-- do not edit by hand. Sources and licences: assets/starter/LICENSES.md.\n"]
    insert(out, "Sac72", SAC_COLUMNS, [sac_values(i, x) for i, x in enumerate(sac, 1)])
    out.append("INSERT INTO velnora_meta (key,value) VALUES ('sac72_original_rows','%d');\n" % len(sac))
    mcols = ["ID", "mes", "ngc", "Name", "distance", "size", "mag", "ra", "dec", "const",
             "view_month", "month_sort", "completed"]
    insert(out, "mess", mcols, [[m[c] for c in mcols] for m in messier])
    insert(out, "seeing", ["number", "seeing"], [[i, t] for i, t in texts.SEEING])
    insert(out, "trans", ["number", "trans"], [[i, t] for i, t in texts.TRANSPARENCY])
    insert(out, "month_view", ["view_month", "notes"], month_notes(messier))
    insert(out, "ngc_description_notes", ["notes1", "notes2", "notes3", "notes4", "notes5", "notes6"],
           [[texts.legend_column(i) for i in range(6)]])
    pcols = ["id", "name", "asteroid", "moon", "atmosphere", "mass", "volume", "day", "Diameter",
             "Distance", "Gravity", "Orbital_period", "completed", "sort"]
    insert(out, "planet", pcols, [[p[c] for c in pcols] for p in planets])
    dcols = ["ID", "Name", "const", "ra", "dec", "magnitudes", "sep", "pa", "notes", "observed"]
    insert(out, "dstars", dcols, [[d[c] for c in dcols] for d in doubles])
    out.append("INSERT INTO default_sac (observed,date,time,ut,location,inst,mag,see,trans) "
               "VALUES (0,NULL,'','','','','','','');\n")
    summary = {"Sac72": len(sac), "mess": len(messier), "planet": len(planets), "dstars": len(doubles)}
    return "".join(out), summary


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--shared", default=DEFAULT_SHARED, help="folder holding openngc/ and herschel400.txt")
    ap.add_argument("--stellarium", default=DEFAULT_STELLARIUM, help="stellarium-data install root")
    ap.add_argument("--out", default=os.path.join(REPO, "assets", "starter", "starter.sql"))
    args = ap.parse_args()
    text, summary = build(args.shared, args.stellarium)
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    print("wrote %s: %s" % (args.out, ", ".join("%s %d" % kv for kv in summary.items())))


if __name__ == "__main__":
    main()
