#!/usr/bin/env python3
"""Draws kobrex-bench's JSON (kobrex-bench --json) as an SVG bar chart.

Usage: bench/chart.py RESULTS.json CHART.svg
"""
import json
import sys

COLOURS = {
    "memcpy": "#9e9e9e", "8-of-9 copy": "#d9d9d9", "sszl plain": "#f4a582", "sszl fast": "#ca0020",
    "wp16 plain": "#92c5de", "wp16 fast": "#0571b0", "lz4": "#4d4d4d",
}


def main(source, target):
    rows = json.load(open(source))["rows"]
    corpora = list(dict.fromkeys(r["corpus"] for r in rows))
    decoders = list(dict.fromkeys(r["decoder"] for r in rows))
    top = max(r["mb_per_s"] for r in rows)
    bar, gap, left, height = 14, 30, 70, 260
    group = bar * len(decoders)
    width = left + len(corpora) * (group + gap) + 170
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height + 60}" '
           'font-family="sans-serif" font-size="11">',
           f'<text x="{left}" y="14" font-size="13">Decoded MB/s, 64 MiB corpora, one core</text>']
    for step in range(0, int(top) + 1, 2000):
        y = 30 + height - height * step / top
        out.append(f'<line x1="{left - 4}" x2="{left + len(corpora) * (group + gap)}" y1="{y:.1f}" '
                   f'y2="{y:.1f}" stroke="#ddd"/>')
        out.append(f'<text x="{left - 8}" y="{y + 4:.1f}" text-anchor="end">{step}</text>')
    for c, corpus in enumerate(corpora):
        x0 = left + c * (group + gap)
        for d, decoder in enumerate(decoders):
            row = next((r for r in rows if r["corpus"] == corpus and r["decoder"] == decoder), None)
            if row is None:
                continue
            h = height * row["mb_per_s"] / top
            out.append(f'<rect x="{x0 + d * bar}" y="{30 + height - h:.1f}" width="{bar - 2}" '
                       f'height="{h:.1f}" fill="{COLOURS.get(decoder, "#000")}">'
                       f'<title>{decoder}: {row["mb_per_s"]:.0f} MB/s</title></rect>')
        out.append(f'<text x="{x0 + group / 2}" y="{height + 46}" text-anchor="middle">{corpus}</text>')
    for d, decoder in enumerate(decoders):
        x = left + len(corpora) * (group + gap) + 10
        y = 40 + d * 18
        out.append(f'<rect x="{x}" y="{y - 10}" width="12" height="12" '
                   f'fill="{COLOURS.get(decoder, "#000")}"/>')
        out.append(f'<text x="{x + 18}" y="{y}">{decoder}</text>')
    out.append("</svg>")
    open(target, "w").write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
