#!/usr/bin/env python3
"""Writes the seed corpus of the reader's fuzz target into fuzz/corpus (or the given directory).

Each seed is one database file, or a near miss, that steers the fuzzer to a part of the reader.
"""
import pathlib
import sys

HEADER = b"%%HP: T(1)A(R)F(,);\r\n"
CRLF = b"\r\n"


def row_bytes(row):
    """A row the way the program writes it: quoted, or counted when it holds a double quote."""
    if b'"' in row:
        return b"C$ " + str(len(row)).encode() + b" " + row
    return b'"' + row + b'"'


def database(topics, header=HEADER, line_end=CRLF):
    out = header + b"{ "
    for rows in topics:
        out += b"{"
        for index, row in enumerate(rows):
            out += row_bytes(row)
            if index == len(rows) - 1:
                out += b"}"
            out += line_end
    return out + b"}" + line_end


def counted(length_digits):
    """A topic with one counted row whose length has the given number of digits."""
    length = {1: 7, 2: 42, 3: 123}[length_digits]
    row = (b'say "hi" ' * 20)[:length]
    return [[b"Counted", row]]


SEEDS = {
    "header-only": HEADER,
    "two-topics": database(
        [
            [b"Greetings", b"Hello world", b"Second row"],
            [b"Tools", b"Hammer", b"Saw", b"Chisel"],
        ]
    ),
    "counted-1-digit": database(counted(1)),
    "counted-2-digit": database(counted(2)),
    "counted-3-digit": database(counted(3)),
    "counted-1-digit-odd-separator": HEADER + b'{ {C$ 3xab"}\r\n}\r\n',
    "counted-malformed": HEADER + b'{ {C$x5 abcde"after"C$ -1 z"tail"C$ 99999999999999 x}\r\n}\r\n',
    "ctrl-z-in-row": HEADER + b'{ {"before"\r\n"half\x1aafter"}\r\n{"lost"}\r\n}\r\n',
    "unterminated-quote": HEADER + b'{ {"kept"\r\n"never closed\r\n}\r\n',
    "twelve-rows": database([[b"Row %d" % n for n in range(1, 13)]]),
    "odd-header-values": database([[b"Odd header"]], header=b"%%HP: T(\x00)A(\xff)F(\r);\r\n"),
    "long-header": database(
        [[b"Long header"]], header=b"%%HP: T(3)A(D)F(.);" + b" comment" * 6 + CRLF
    ),
    # The reader takes at most 50 bytes as header, so the topics may follow on the same line.
    "header-of-50-bytes": b"%%HP: T(3)A(D)F(.);" + b"x" * 31 + b'{ {"Same line"}\r\n}\r\n',
    "lf-only": database([[b"Unix", b"line ends"], [b"Second"]], header=HEADER[:-2] + b"\n",
                        line_end=b"\n"),
    "mode-3-codes": database(
        [[b"\\->\\<<\\228\\\\", b'say "\\GP\\oo"', b"\\q\\25x\\"]],
        header=b"%%HP: T(3)A(R)F(.);\r\n",
    ),
    "mode-0-mixed-line-ends": b'%%HP: T(0)A(R)F(.);\n{ {"a"\r\n"b"}\n{"c" 12 X}\n}\n',
    "too-many-topics": database([[b"T%d" % n] for n in range(1, 202)]),
    "max-topics": database([[b"T%d" % n, b'q"%d' % n] for n in range(1, 200)]),
    "empty-topics-and-rows": database([[b""], [b"", b"", b'"']]),
}


def main():
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).parent / "corpus"
    target.mkdir(parents=True, exist_ok=True)
    for name, contents in SEEDS.items():
        (target / name).write_bytes(contents)
    print(f"{len(SEEDS)} seeds in {target}")


if __name__ == "__main__":
    main()
