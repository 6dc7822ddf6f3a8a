#!/usr/bin/env python3
"""Turns a TopoJSON land topology into the text outline the iono map draws.

usage: land_outline_from_topojson.py LAND.json [OBJECT] > gui/resources/maps/land-110m.txt

The topology's arcs are quantized and delta-encoded: each arc starts with an
absolute position and continues with differences, all in integer steps that
the topology's transform turns into degrees. A polygon lists its rings as arc
indexes; a negative index ~i means arc i walked backwards, and consecutive
arcs share their joining point.

Output: one ring per line, "longitude,latitude" pairs in degrees with two
decimals (about a kilometre, well below what a 1:110m outline holds) separated
by single spaces; each ring ends on its first point. Lines starting with "#"
are comments. Only the Python standard library is used.
"""

import json
import sys


def decode_arcs(topology):
    transform = topology.get("transform")
    scale_x, scale_y = transform["scale"] if transform else (1.0, 1.0)
    shift_x, shift_y = transform["translate"] if transform else (0.0, 0.0)
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            if transform:
                x += dx
                y += dy
            else:
                x, y = dx, dy
            points.append((x * scale_x + shift_x, y * scale_y + shift_y))
        arcs.append(points)
    return arcs


def ring_points(ring, arcs):
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else arcs[~index][::-1]
        points.extend(arc if not points else arc[1:])
    return points


def polygons(geometry):
    kind = geometry["type"]
    if kind == "GeometryCollection":
        for child in geometry["geometries"]:
            yield from polygons(child)
    elif kind == "Polygon":
        yield geometry["arcs"]
    elif kind == "MultiPolygon":
        yield from geometry["arcs"]


def degrees(value):
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def ring_line(points):
    out = []
    for lon, lat in points:
        pair = f"{degrees(lon)},{degrees(lat)}"
        # Rounding can merge neighbours; a repeated point draws nothing.
        if not out or out[-1] != pair:
            out.append(pair)
    return " ".join(out) if len(out) >= 4 else None


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__.split("\n\n")[1])
    with open(argv[1], encoding="utf-8") as source:
        topology = json.load(source)
    name = argv[2] if len(argv) == 3 else "land"
    arcs = decode_arcs(topology)
    lines = []
    for polygon in polygons(topology["objects"][name]):
        for ring in polygon:
            line = ring_line(ring_points(ring, arcs))
            if line:
                lines.append(line)
    out = sys.stdout
    out.write("# Land outlines: Natural Earth 1:110m land, public domain; see NOTICE beside this file.\n")
    out.write("# One ring per line: longitude,latitude in degrees; the last point repeats the first.\n")
    out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv)
