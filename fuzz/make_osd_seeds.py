#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_osd_text in FuzzedDataProvider's layout:
integers are taken from the end of the input (most significant byte last in
the file), the title bytes from the start."""
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_osd_text")


def tail_int(value, lo, hi):
    span = hi - lo
    width = (span.bit_length() + 7) // 8
    offset = value - lo
    # Consumed from the end, most significant byte first.
    return bytes(reversed([(offset >> (8 * (width - 1 - i))) & 0xFF for i in range(width)]))


def seed(row, index, position, length, repeat, shuffle, kind, title):
    fields = [(row, -2, 17)] + [(v, -2**31, 2**31 - 1) for v in (index, position, length, repeat, shuffle)]
    fields.append((kind, 0, 3))
    # The first field consumed sits at the very end.
    return title + b"".join(reversed([tail_int(v, lo, hi) for v, lo, hi in fields]))


seeds = {
    "next_song": seed(4, 3, 65432, 187, 0, 0, 0, b"Song"),
    "startup_exact_255": seed(17, 0, 3723000, 3600, 0, 0, 2, b"T" * 255),
    "repeat_on": seed(12, 0, 0, 0, 1, 0, 0, b""),
    "shuffle_other": seed(13, 0, 0, 0, 0, 2, 0, b""),
    "prev_no_time": seed(0, 1, -1, 187, 0, 0, 0, b"Title\x00hidden"),
    "jump_long_title": seed(11, 7, 59999, 0, 0, 0, 3, bytes(range(1, 256)) * 2),
    "info_null_title": seed(10, -1, 10000, -1, 0, 0, 1, b""),
    "volume_up": seed(7, 0, 0, 0, 0, 0, 0, b""),
    "playpause": seed(15, 0, 0, 0, 0, 0, 0, b"Song"),
}
os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
