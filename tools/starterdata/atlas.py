"""Chart numbers of two printed atlases, worked out from a J2000 position.

Observers look an object up by chart number, and both atlases cut the sky into
fixed declination zones, so the number follows from right ascension (hours)
and declination (degrees) alone.
"""

import math

# Uranometria 2000.0, first edition: zones by |Dec| from the pole down, each
# (lowest |Dec| of the zone, charts in it, first north chart, first south chart).
# The equator zone is shared by both hemispheres.
URANOMETRIA_ZONES = [
    (84.5, 2, 1, 472),
    (72.5, 12, 3, 460),
    (61.0, 20, 15, 440),
    (50.0, 24, 35, 416),
    (39.0, 30, 59, 386),
    (28.0, 36, 89, 350),
    (17.0, 45, 125, 305),
    (5.5, 45, 170, 260),
    (0.0, 45, 215, 215),
]


def uranometria(ra_h, dec):
    """Chart 1-473 of Uranometria 2000.0 (first edition)."""
    for low, n, north, south in URANOMETRIA_ZONES:
        if abs(dec) >= low:
            break
    first = north if dec >= 0 else south
    if n == 2:
        half = int(ra_h * n / 24) % n
        # The south cap's two charts are numbered the other way round:
        # 472 holds 12h-24h, 473 holds 0h-12h.
        return first + (half if dec >= 0 else 1 - half)
    # The first chart of a zone is centred on 0h in the wide zones; the twelve
    # polar charts start a twelfth of a chart later.
    shift = 5 / 12 if n == 12 else 0.5
    return first + math.floor(ra_h * n / 24 + shift) % n


def sky_atlas(ra_h, dec):
    """Chart 1-26 of Sky Atlas 2000.0. Zones overlap near +-18.5 and +-52
    degrees; an object on a boundary goes to the chart nearer the pole."""
    if dec >= 52:
        return 1 + int(ra_h / 8) % 3
    if dec >= 18.5:
        return 4 + int(ra_h / 4) % 6
    if dec > -18.5:
        # The equator charts are centred on 2h, 5h, ...: chart 17 spans 0h.
        return 10 + int(((ra_h - 0.5) % 24) / 3) % 8
    if dec > -52:
        return 18 + int(ra_h / 4) % 6
    return 24 + int(ra_h / 8) % 3
