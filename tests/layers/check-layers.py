#!/usr/bin/env python3
"""Fails when an include runs from a lower layer to a higher one, when
includes go round in a circle, when pixels are decoded outside codecs/, or
when core/ reaches into the window's controls. Usage: check-layers.py SOURCE_ROOT"""
import os
import re
import sys

# What each folder may include besides itself: the arrows of the layout,
# followed as far as they go.
MAY_USE = {
    "formats": set(),
    "codecs": {"formats"},
    "platform": {"codecs", "formats"},
    "core": {"platform", "codecs", "formats"},
    "framework": set(),
    "controls": {"framework"},
    "app": {"controls", "framework", "core", "platform", "codecs", "formats"},
    "cli": {"core", "platform", "codecs", "formats"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
# The document works over its entry list; the list box that shows the
# entries, its messages and its control identifier are the window's.
WINDOW_IN_CORE = re.compile(r"\b(LBN?_[A-Z]+|IDC_[A-Z_]+|kIconListId|GetDlgItem|SendMessage[AW]?)\b")

# Pixel decoding lives in codecs/ alone: only there are the decoding
# libraries included and called, and the headers its decoders share among
# themselves stay inside it; every other layer goes through codecs' public
# headers.
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)
DECODING_LIBRARIES = re.compile(r'^(stb_image[a-z_]*|stb/stb_image[a-z_]*|libdeflate|zlib|png|spng)\.h$')
CODECS_INSIDE = {"codecs/png_rows.h"}
DECODING_CALL = re.compile(r'\b(stbi_\w+|stbir_\w+|stbi_write_\w+|libdeflate_\w+|UnfilterRows|PaethPredictor)\b')


def main():
    root = sys.argv[1]
    files = {}
    for layer in MAY_USE:
        for folder, _, names in os.walk(os.path.join(root, layer)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    path = os.path.relpath(os.path.join(folder, name), root)
                    files[path] = open(os.path.join(root, path), encoding="utf-8").read()
    faults = []
    edges = {}
    for path, text in files.items():
        layer = path.split("/")[0]
        if layer == "core":
            for number, line in enumerate(text.splitlines(), 1):
                for word in WINDOW_IN_CORE.findall(line):
                    faults.append(f"{path}:{number}: {word}: the list box is the window's, not core/'s")
        edges[path] = []
        for included in INCLUDE.findall(text):
            target = os.path.normpath(os.path.join(os.path.dirname(path), included))
            if target not in files:
                target = included
            target_layer = target.split("/")[0]
            if target_layer in MAY_USE and target_layer != layer and target_layer not in MAY_USE[layer]:
                faults.append(f"{path} includes {included}: {layer}/ may not use {target_layer}/")
            if target in files:
                edges[path].append(target)
            if layer != "codecs" and target in CODECS_INSIDE:
                faults.append(f"{path} includes {included}: only codecs/ uses its decoders' insides")
        if layer != "codecs":
            for included in SYSTEM_INCLUDE.findall(text):
                if DECODING_LIBRARIES.match(included):
                    faults.append(f"{path} includes <{included}>: pixels are decoded in codecs/ alone")
            for call in sorted(set(DECODING_CALL.findall(text))):
                faults.append(f"{path} calls {call}: pixels are decoded in codecs/ alone")

    # Depth-first search; a file met again while it is still open closes a
    # circle.
    state = {}
    def visit(path, trail):
        state[path] = "open"
        for target in edges[path]:
            if state.get(target) == "open":
                circle = trail[trail.index(target):] + [target]
                faults.append("includes go round: " + " -> ".join(circle))
            elif target not in state:
                visit(target, trail + [target])
        state[path] = "done"
    for path in sorted(edges):
        if path not in state:
            visit(path, [path])

    for fault in faults:
        print(fault)
    print(f"{len(files)} files, {sum(map(len, edges.values()))} includes, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
