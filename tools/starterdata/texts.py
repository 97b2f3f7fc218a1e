"""Our own prose for the starter data: the seeing and transparency scales, the
month notes' introductions and the legend of the NGC description shorthand.
(The abbreviations are Dreyer's; the explanations are written for Velnora.)"""

# Steps 1 (worst) to 10 (best), after W. H. Pickering's scale of star images
# in a small refractor at high power.
SEEING = [
    (1, "Very poor: the star is a boiling blur about twice as wide as the third diffraction ring; nothing holds still."),
    (2, "Very poor: a blur still wider than the third diffraction ring, shrinking a little now and then."),
    (3, "Poor: the blur is about as wide as the third diffraction ring and brighter in its centre."),
    (4, "Poor: the central disk shows for moments, with flickering pieces of rings around it."),
    (5, "Fair: the central disk is seen most of the time, short arcs of the rings come and go."),
    (6, "Fair to good: the disk is always seen and arcs of the rings are frequent."),
    (7, "Good: the disk is sometimes crisp; the rings appear as long arcs or whole circles."),
    (8, "Very good: the disk is always crisp and the rings are long arcs or circles, still moving."),
    (9, "Excellent: the inner ring stands still; the outer rings are steady from time to time."),
    (10, "Perfect: the whole diffraction pattern, disk and rings, stands completely still."),
]

# Steps 0 (nothing visible) to 10 (the clearest sky), judged by the faintest
# stars the naked eye reaches near the zenith.
TRANSPARENCY = [
    (0, "Overcast: no stars are visible at all."),
    (1, "Thick cloud or fog: only the Moon and the brightest planets show through."),
    (2, "Heavy haze or thin cloud: only a handful of first-magnitude stars are seen."),
    (3, "Hazy: second-magnitude stars are visible overhead, nothing fainter."),
    (4, "Poor: the naked eye reaches about magnitude 3.5 and the Milky Way is not seen."),
    (5, "Fair: stars to about magnitude 4.5 are visible; bright nebulae look washed out."),
    (6, "Average: stars to about magnitude 5; the Milky Way is faint but seen overhead."),
    (7, "Good: stars to about magnitude 5.5; the Milky Way is plain overhead."),
    (8, "Very good: stars to about magnitude 6; the Milky Way shows its dark lanes."),
    (9, "Excellent: stars to about magnitude 6.5; faint galaxies stand out against a dark sky."),
    (10, "Perfect: stars of magnitude 7 or fainter are seen and the sky is clear down to the horizon."),
]

# Opening words of each month's notes, written for observers at mid-northern
# latitudes looking around 9 p.m. local time. The generator appends the
# Messier objects whose viewing month it is.
MONTH_INTRO = {
    "January": "Long, cold nights. Taurus with the Pleiades and the Hyades stands high in the "
               "south, Auriga is near the zenith and Orion climbs in the southeast. The winter "
               "Milky Way is rich in open clusters; dress warmly and let the optics cool down.",
    "February": "Orion and Gemini are well up in the south, with Canis Major, Monoceros and Puppis "
                "below them. This is the best month for the open clusters along the winter Milky "
                "Way and for the Orion Nebula at its highest.",
    "March": "The winter stars move west and Cancer crosses the meridian. Ursa Major climbs high "
             "in the northeast, opening the season of galaxies; Hydra's long line of faint stars "
             "lies low in the south.",
    "April": "Leo rides high in the south and the Milky Way lies along the horizon, so the sky is "
             "open to distant galaxies. The Big Dipper is nearly overhead and points the way to "
             "the galaxies of Ursa Major and Canes Venatici.",
    "May": "Virgo and Coma Berenices cross the meridian: the heart of galaxy season. Sweep the "
           "Virgo cluster slowly at low power, and compare the bright globular clusters that "
           "start to rise in the east.",
    "June": "The shortest nights of the northern year. Bootes and Hercules are high, Ophiuchus "
            "and Scorpius stand in the south, and the globular clusters of the summer sky come "
            "into their own.",
    "July": "Scorpius and Sagittarius cross the southern sky, with the bright centre of the Milky "
            "Way behind them. Ophiuchus is full of globular clusters; Lyra and Hercules are close "
            "to the zenith.",
    "August": "The summer Milky Way is at its best: the star clouds of Sagittarius and Scutum, "
              "their bright nebulae and clusters, and Cygnus and Lyra overhead. Choose a moonless "
              "night and a dark southern horizon.",
    "September": "Cygnus, Vulpecula and Aquila hold the Milky Way high in the evening; Capricornus "
                 "and Aquarius are low in the south. The nights are longer again and the air is "
                 "often steady.",
    "October": "Pegasus and its great square stand high in the south; Aquarius lies below. Andromeda "
               "and Cassiopeia climb in the east, bringing the autumn galaxies and the open "
               "clusters of the northern Milky Way.",
    "November": "Andromeda and Triangulum are near the zenith, Perseus and Cassiopeia high in the "
                "northeast. Look for the great nearby galaxies on a dark, transparent night, and "
                "for the clusters along the Perseus arm of the Milky Way.",
    "December": "Perseus, Taurus and Aries are well up and Cetus and Eridanus sprawl across the "
                "south. The nights are at their longest; the Pleiades and the first winter "
                "clusters rise in the east.",
}

# Legend of the coded NGC descriptions, one group per text box of the notes
# window (notes1 .. notes6).
LEGEND = [
    ("Brightness", [
        ("B", "bright"), ("F", "faint"), ("p", "pretty (moderately)"), ("c", "considerably"),
        ("v", "very"), ("e", "extremely"), ("pB", "pretty bright"), ("cB", "considerably bright"),
        ("vB", "very bright"), ("eB", "extremely bright"), ("pF", "pretty faint"),
        ("cF", "considerably faint"), ("vF", "very faint"), ("eF", "extremely faint"),
        ("vv", "very very (stronger than v)"),
    ]),
    ("Size", [
        ("L", "large"), ("S", "small"), ("pL", "pretty large"), ("cL", "considerably large"),
        ("vL", "very large"), ("eL", "extremely large"), ("pS", "pretty small"),
        ("cS", "considerably small"), ("vS", "very small"), ("eS", "extremely small"),
        ("d", "diameter"),
    ]),
    ("Shape", [
        ("R", "round"), ("vlE", "very little elongated"), ("lE", "little elongated"),
        ("E", "elongated"), ("pmE", "pretty much elongated"), ("mE", "much elongated"),
        ("vmE", "very much elongated"), ("iR", "irregularly round"), ("iF", "irregular figure"),
        ("E 50", "elongated along position angle 50 degrees"), ("def", "defined (sharp edged)"),
        ("dif", "diffuse"), ("ring", "ring shaped"), ("bi-N", "with two nuclei"),
    ]),
    ("Light towards the middle", [
        ("M", "middle"), ("bM", "brighter in the middle"), ("lbM", "little brighter in the middle"),
        ("mbM", "much brighter in the middle"), ("gbM", "gradually brighter in the middle"),
        ("sbM", "suddenly brighter in the middle"), ("vsbM", "very suddenly brighter in the middle"),
        ("pgbM", "pretty gradually brighter in the middle"), ("N", "nucleus"),
        ("sN", "stellar nucleus"), ("stell", "star-like"), ("sm", "smaller"),
        ("g", "gradually"), ("s", "suddenly"), ("l", "little"), ("m", "much"),
    ]),
    ("Stars and clusters", [
        ("Cl", "cluster"), ("st", "stars"), ("*", "a star"), ("**", "a double star"),
        ("*10", "a star of magnitude 10"), ("st 9..13", "stars of magnitudes 9 to 13"),
        ("Ri", "rich"), ("P", "poor"), ("C", "compressed"), ("co", "coarse"),
        ("sc", "scattered"), ("r", "resolvable (mottled)"), ("rr", "partly resolved, some stars seen"),
        ("rrr", "well resolved into stars"), ("er", "easily resolved"), ("gr", "group"),
        ("neb", "nebula"), ("nebs", "nebulous"), ("D", "double (two objects)"),
    ]),
    ("Directions and other words", [
        ("p", "preceding (to the west)"), ("f", "following (to the east)"), ("n", "north"),
        ("s", "south"), ("np, nf, sp, sf", "north preceding, north following, south preceding, "
                                           "south following"),
        ("am", "among"), ("att", "attached"), ("b", "brighter"), ("bet", "between"),
        ("inv", "involved (in nebulosity)"), ("sev", "several"), ("susp", "suspected"),
        ("var", "variable"), ("!", "a remarkable object"),
        ("!!", "a very remarkable object"), ("!!!", "a magnificent object"),
    ]),
]


def legend_column(i):
    title, entries = LEGEND[i]
    width = max(len(a) for a, _ in entries)
    lines = [title + ":"] + ["%-*s  %s" % (width, a, meaning) for a, meaning in entries]
    return "\n".join(lines)
