#!/usr/bin/env python3
"""Kav Tamor's saved state in an Ardour session file, for ardour_session.sh.

  ardour_state.py show SESSION_FILE
      the bank Ardour keeps: the VST chunk or the LV2 state's bank property
  ardour_state.py same SESSION_FILE OTHER_SESSION_FILE
      succeeds when both files keep the very same bank bytes
  ardour_state.py matches SESSION_FILE VALUE...
      succeeds when the bank's current preset holds these 22 values
  ardour_state.py choose SESSION_FILE PRESET
      rewrites the VST chunk so that PRESET is the current one, as choosing it
      in the editor's preset bar does
"""
import base64
import os
import re
import struct
import sys

HEADER = 41  # the bank buffer's header; the VST chunk puts 8 bytes before it
PARAMETERS = 22


def kav_processor(xml):
    m = re.search(r'<Processor [^>]*name="Kav Tamor"[^>]*>.*?</Processor>', xml, re.S)
    if not m:
        sys.exit("no Kav Tamor processor in the session")
    return m


def bank_of(path):
    """The bank buffer Ardour keeps for the plug-in, and the format."""
    xml = open(path, encoding="utf-8").read()
    node = kav_processor(xml).group(0)
    chunk = re.search(r'<chunk[^>]*>([^<]+)</chunk>', node)
    if chunk:
        data = base64.b64decode(chunk.group(1))
        if data[4:8] != b"Kvtr":
            sys.exit("the chunk is not Kav Tamor's")
        return data[8:], "vst"
    ident = re.search(r'<Processor id="(\d+)"', node).group(1)
    state_dir = re.search(r'<lv2 [^>]*state-dir="([^"]+)"', node).group(1)
    ttl = os.path.join(os.path.dirname(path), "plugins", ident, state_dir, "state.ttl")
    text = open(ttl, encoding="utf-8").read()
    m = re.search(r'limiter#bank>\s*"""(.*?)"""', text, re.S)
    if not m:
        sys.exit(f"no bank in {ttl}")
    data = base64.b64decode("".join(m.group(1).split()))
    return (data[8:] if data[4:8] == b"Kvtr" else data), "lv2"


def decode(bank):
    current = struct.unpack(">i", bank[17:21])[0]
    names, values = {}, {}
    pos = HEADER
    while pos + 12 <= len(bank):
        kind, length, preset = struct.unpack(">iii", bank[pos:pos + 12])
        body = bank[pos + 12:pos + 12 + length]
        if kind == 0:
            names[preset] = body[:24].split(b"\0")[0].decode("latin-1")
        elif kind == 1:
            index = struct.unpack(">i", body[0:4])[0]
            values.setdefault(preset, {})[index] = struct.unpack(">f", body[12:16])[0]
        pos += 12 + length
    return current, names, values


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    command, path = argv[1], argv[2]
    bank, fmt = bank_of(path)
    current, names, values = decode(bank)
    if command == "show":
        print(f"{fmt} bank of {len(bank)} bytes, {len(names)} presets, "
              f"current {current} '{names.get(current)}'")
        print("current values:",
              " ".join(f"{values[current][i]:.6f}" for i in range(PARAMETERS)))
    elif command == "same":
        other, _ = bank_of(argv[3])
        if other != bank:
            sys.exit("the banks differ")
        print(f"the same {len(bank)} bytes")
    elif command == "matches":
        wanted = [float(v) for v in argv[3:]]
        held = [values[current][i] for i in range(PARAMETERS)]
        wrong = [i for i in range(PARAMETERS) if abs(held[i] - wanted[i]) > 1e-5]
        if len(wanted) != PARAMETERS or wrong:
            sys.exit(f"preset {current} holds other values at {wrong}")
        print(f"preset {current} '{names.get(current)}' holds the plug-in's values")
    elif command == "choose":
        preset = int(argv[3])
        xml = open(path, encoding="utf-8").read()
        node = kav_processor(xml)
        m = re.search(r'(<chunk[^>]*>)([^<]+)(</chunk>)', node.group(0))
        data = bytearray(base64.b64decode(m.group(2)))
        data[8 + 17:8 + 21] = struct.pack(">i", preset)
        start = node.start() + m.start(2)
        end = node.start() + m.end(2)
        xml = xml[:start] + base64.b64encode(bytes(data)).decode() + xml[end:]
        open(path, "w", encoding="utf-8").write(xml)
        print(f"current preset {preset} '{names.get(preset)}'")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
