#!/usr/bin/env python3
"""Extract the multiple-star table of the starter logbook from stellarium-data.

For each star of DOUBLES (below: the showpiece doubles and multiples observers
seek, chosen by us) it reads, from the data of Stellarium (GPL-2.0-or-later):
the Hipparcos number of its designation (stars/default/name.fab), its proper
name (skycultures/western/star_names.fab), the Washington Double Star system
it belongs to (stars/default/wds_hip_part.dat), and from the star catalogue
(stars/default/stars_*.cat, Hipparcos and Tycho) the position, V magnitude
and B-V colour index of the primary and of its companion. The companion is
a second component of the star's own Hipparcos entry at least 1" away, else
the brightest other Hipparcos star of the same WDS system within 300".
Separation and position angle are the WDS extract's measure when it lies
between 1" and 60" (the pair a telescope shows), else worked out from the two
catalogue positions when both come from one catalogue file (one epoch).
make_starter.py reads the B-V index as a colour: B (< -0.05), W (< 0.3),
Y (< 0.8) or O.
Nothing else is filled in: what the data lacks stays empty.

    python3 tools/starterdata/make_doubles.py [--stellarium /usr/share/stellarium]
        [--out tools/starterdata/doubles.tsv]
"""
import argparse
import math
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WANTED = 110

# Designations as name.fab spells them (Greek letter or Flamsteed number,
# component digit, constellation); "HIP n" where name.fab has none.
DOUBLES = """
η_Cas γ1_And α_UMi γ1_Ari λ_Ari ι_Cas ψ1_Psc ζ_Psc α_Psc η_Per ε_Ari 32_Eri θ1_Eri
β_Ori λ_Ori σ_Ori θ1_Ori ζ_Ori δ_Ori ι_Ori 118_Tau β_Mon ε_Mon θ_Aur ω_Aur 38_Gem δ_Gem
α_Gem κ_Gem 19_Lyn ζ1_Cnc ι_Cnc γ1_Leo 54_Leo ε_Hya δ_Crv α2_CVn ζ_UMa γ_Vir 24_Com
ε_Boo ξ_Boo κ2_Boo π1_Boo μ1_Boo δ_Boo 39_Boo α2_Lib β1_Sco ν_Sco ξ_Sco α_Sco ζ2_CrB
σ_CrB ν1_Dra ψ1_Dra 17_Dra α1_Her δ_Her ρ_Her 95_Her 70_Oph ρ_Oph 36_Oph 61_Oph ε1_Lyr
ζ1_Lyr β_Lyr θ1_Ser 57_Aql 15_Aql β1_Cyg 61_Cyg@104214 ο1_Cyg ψ_Cyg μ1_Cyg γ2_Del 1_Equ
β_Cep δ_Cep ξ_Cep ζ2_Aqr 94_Aqr σ_Cas 8_Lac α1_Cen α1_Cru θ_Eri ε_Dra η_Lyr 41_Aqr
γ_Vol ν_Dra ξ_UMa ι_Boo ε_Per γ_Lep α_Cap ζ_Cnc ι_Leo 90_Leo τ_Leo γ_Crt ζ_Cap ο_Cep
κ_Her 31_Cyg γ_Cet ρ_Cap β_Cap γ_Ari 30_Tau 14_Aur 12_Lyn 65_UMa 23_UMa
""".split()

def unit(v):
    n = math.sqrt(sum(x * x for x in v))
    return [x / n for x in v]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


class Grid:
    """The catalogue's zones: an icosahedron's triangles divided level times."""

    def __init__(self, level):
        g = 0.5 * (1 + math.sqrt(5))
        b = 1 / math.sqrt(1 + g * g)
        a = b * g
        c = [(a, -b, 0), (a, b, 0), (-a, b, 0), (-a, -b, 0), (0, a, -b), (0, a, b),
             (0, -a, b), (0, -a, -b), (-b, 0, a), (b, 0, a), (b, 0, -a), (-b, 0, -a)]
        faces = [(1, 0, 10), (0, 1, 9), (0, 9, 6), (9, 8, 6), (0, 7, 10), (6, 7, 0), (7, 6, 3),
                 (6, 8, 3), (11, 10, 7), (7, 3, 11), (3, 2, 11), (2, 3, 8), (10, 11, 4),
                 (2, 4, 11), (5, 4, 2), (2, 8, 5), (4, 1, 10), (4, 5, 1), (5, 9, 1), (8, 9, 5)]
        self.level = level
        self.zones = [None] * (20 * 4 ** level)
        self.scale = 0.0
        for i, f in enumerate(faces):
            self.divide(0, i, c[f[0]], c[f[1]], c[f[2]])

    def divide(self, level, index, c0, c1, c2):
        if level == self.level:
            centre = unit([c0[i] + c1[i] + c2[i] for i in range(3)])
            axis0 = unit(cross([0, 0, 1], centre))
            axis1 = cross(centre, axis0)
            self.zones[index] = (centre, axis0, axis1)
            for corner in (c0, c1, c2):
                d = [corner[i] - centre[i] for i in range(3)]
                mu0, mu1 = dot(d, axis0), dot(d, axis1)
                f = 1 / math.sqrt(1 - mu0 * mu0 - mu1 * mu1)
                self.scale = max(self.scale, abs(mu0) * f, abs(mu1) * f)
            return
        e0 = unit([c1[i] + c2[i] for i in range(3)])
        e1 = unit([c2[i] + c0[i] for i in range(3)])
        e2 = unit([c0[i] + c1[i] for i in range(3)])
        self.divide(level + 1, index * 4 + 0, c0, e2, e1)
        self.divide(level + 1, index * 4 + 1, e2, c1, e0)
        self.divide(level + 1, index * 4 + 2, e1, e0, c2)
        self.divide(level + 1, index * 4 + 3, e0, e1, e2)


def signed(v, bits):
    v &= (1 << bits) - 1
    return v - (1 << bits) if v & (1 << (bits - 1)) else v


def read_stars(path):
    """(unit vector, V magnitude, B-V, hip) of every star of a zone file."""
    data = open(path, "rb").read()
    magic, kind, _maj, _min, level, mag_min, mag_range, mag_steps = struct.unpack_from("<IiiiiiiI", data, 0)
    if magic != 0x835F040A or kind not in (0, 1):
        raise SystemExit("unexpected star catalogue " + path)
    grid = Grid(level)
    counts = struct.unpack_from("<%dI" % len(grid.zones), data, 32)
    pos = 32 + 4 * len(grid.zones)
    size = 28 if kind == 0 else 10
    scale = grid.scale / (2147483647.0 if kind == 0 else float((1 << 19) - 1))
    out = []
    for z, count in enumerate(counts):
        centre, a0, a1 = grid.zones[z]
        for _ in range(count):
            if kind == 0:
                word, x0, x1, bv, mag = struct.unpack_from("<IiiBB", data, pos)
                hip = word & 0xFFFFFF
            else:
                lo, = struct.unpack_from("<Q", data, pos)
                hi = data[pos + 8] | data[pos + 9] << 8
                x0, x1 = signed(lo, 20), signed(lo >> 20, 20)
                bv = (hi >> 4) & 0x7F
                mag = (hi >> 11) & 31
                hip = 0
            pos += size
            v = unit([centre[i] + (a0[i] * x0 + a1[i] * x1) * scale for i in range(3)])
            out.append((v, (mag_min + mag * mag_range / mag_steps) / 1000.0, bv * 4.0 / 127.0 - 0.5, hip, path))
    return out


def ra_dec(v):
    return math.degrees(math.atan2(v[1], v[0])) % 360, math.degrees(math.asin(max(-1, min(1, v[2]))))


def separation(a, b):
    """Separation (arc seconds) and position angle (degrees east of north) of b from a."""
    ra1, de1 = map(math.radians, ra_dec(a))
    ra2, de2 = map(math.radians, ra_dec(b))
    d = ra2 - ra1
    sep = math.degrees(math.acos(max(-1, min(1, dot(a, b))))) * 3600
    pa = math.degrees(math.atan2(math.sin(d), math.cos(de1) * math.tan(de2) - math.sin(de1) * math.cos(d)))
    return sep, pa % 360


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--stellarium", default="/usr/share/stellarium")
    ap.add_argument("--out", default=os.path.join(HERE, "doubles.tsv"))
    args = ap.parse_args()
    root = os.path.join(args.stellarium, "stars", "default")

    desig = {}
    for line in open(os.path.join(root, "name.fab"), encoding="utf-8"):
        if "|" in line:
            hip, name = line.strip().split("|", 1)
            desig.setdefault(name, int(hip))
    proper = {}
    for line in open(os.path.join(args.stellarium, "skycultures", "western", "star_names.fab"), encoding="utf-8"):
        m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)', line)
        if m and int(m.group(1)) not in proper:
            proper[int(m.group(1))] = m.group(2)
    wds, members = {}, {}
    for line in open(os.path.join(root, "wds_hip_part.dat"), encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        hip, system = line.split()[:2]
        wds[int(hip)] = system
        members.setdefault(system, []).append(int(hip))
    stars = []
    for name in sorted(os.listdir(root)):
        if re.match(r"stars_\d_", name):
            stars += read_stars(os.path.join(root, name))
    # Stars by tenth of a degree of declination, for the neighbours of a star.
    bands = {}
    for s in stars:
        bands.setdefault(int(math.floor(ra_dec(s[0])[1] * 10)), []).append(s)

    components = {}
    for st in stars:
        if st[3]:
            components.setdefault(st[3], []).append(st)
    for parts in components.values():
        parts.sort(key=lambda st: st[1])
    by_hip = {h: parts[0] for h, parts in components.items()}
    measures = {}
    for line in open(os.path.join(root, "wds_hip_part.dat"), encoding="utf-8"):
        if not line.startswith("#") and line.strip():
            hip, _system, year, pa, sep = line.split()[:5]
            measures[int(hip)] = (year, pa, float(sep))

    def companion_of(hip):
        """The companion a telescope shows beside the primary, or None."""
        primary = by_hip[hip]
        # A second component of the same Hipparcos entry, far enough to split.
        own = [st for st in components[hip][1:] if separation(primary[0], st[0])[0] >= 1.0]
        if own:
            return own[0], True
        others = [by_hip[h] for h in members.get(wds.get(hip), []) if h != hip and h in by_hip]
        others = [st for st in others if 1.0 <= separation(primary[0], st[0])[0] <= 300]
        if others:
            return min(others, key=lambda st: st[1]), False
        return None, False

    wanted = []
    for d in DOUBLES:
        label, _, number = d.partition("@")
        hip = int(number) if number else desig.get(label)
        if hip is None or hip not in by_hip:
            print("skipped", d)
            continue
        if hip not in {h for h, _ in wanted}:
            wanted.append((hip, label.replace("_", " ")))
    # Up to the full list: the brightest other named stars whose Hipparcos
    # entry splits into two components 1" to 60" apart.
    chosen = {hip for hip, _ in wanted}
    extra = []
    for name, hip in desig.items():
        parts = components.get(hip, [])
        if hip in chosen or len(parts) < 2 or parts[0][1] > 6.0:
            continue
        sep = separation(parts[0][0], parts[1][0])[0]
        if 1.0 <= sep <= 60.0:
            extra.append((parts[0][1], hip, name.replace("_", " ")))
            chosen.add(hip)
    for _mag, hip, label in sorted(extra)[:max(0, WANTED - len(wanted))]:
        wanted.append((hip, label))

    rows = []
    for hip, label in wanted:
        primary = by_hip[hip]
        companion, same_entry = companion_of(hip)
        ra, dec = ra_dec(primary[0])
        row = {"name": ("%s (%s)" % (proper[hip], label)) if hip in proper else label,
               "con": label.split()[-1].upper(), "ra": ra, "dec": dec, "wds": wds.get(hip, ""),
               "hip_a": hip, "mag_a": "%.1f" % primary[1], "bv_a": "%.2f" % primary[2],
               "hip_b": "", "mag_b": "", "bv_b": "", "sep": "", "pa": "", "measured": ""}
        if companion:
            # A second component without a colour index of its own holds the
            # catalogue's 0.00.
            bv_b = "" if same_entry and abs(companion[2]) < 0.005 else "%.2f" % companion[2]
            row.update({"hip_b": hip if same_entry else companion[3], "mag_b": "%.1f" % companion[1],
                        "bv_b": bv_b})
            year, pa, sep = measures.get(hip, ("", "", -1.0))
            if 1.0 <= sep <= 60.0 and not year.startswith("-"):
                # The double-star catalogue's own measure of the pair.
                row.update({"sep": "%.1f" % sep, "pa": pa, "measured": year})
            elif companion[4] == primary[4]:
                # Positions of one catalogue file share their epoch; across
                # files a fast-moving pair would be measured wrongly.
                sep, pa = separation(primary[0], companion[0])
                row.update({"sep": "%.1f" % sep, "pa": "%.0f" % pa, "measured": "Hipparcos"})
        rows.append(row)
    rows.sort(key=lambda r: r["ra"])
    cols = ["name", "con", "ra", "dec", "wds", "hip_a", "mag_a", "bv_a", "hip_b", "mag_b", "bv_b", "sep", "pa",
            "measured"]
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("# Multiple stars of the starter logbook, extracted from stellarium-data (GPL-2.0-or-later)\n"
                "# by tools/starterdata/make_doubles.py. ra/dec: J2000 degrees; sep: arc seconds; pa: degrees.\n")
        f.write("\t".join(cols) + "\n")
        for r in rows:
            f.write("\t".join("%.5f" % r[c] if c in ("ra", "dec") else str(r[c]) for c in cols) + "\n")
    print("wrote %s: %d stars" % (args.out, len(rows)))


if __name__ == "__main__":
    main()
