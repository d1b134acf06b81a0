#!/usr/bin/env python3
"""A serial cable between two pseudo-terminals that reads the Kermit packets crossing it.

Usage: wire_relay.py PROGRAM_LINK CALCULATOR_LINK REPORT

Makes two pseudo-terminals, links their device names to PROGRAM_LINK and CALCULATOR_LINK,
and passes every byte from one to the other unchanged. Each packet is read as it passes:
MARK (SOH), LEN, SEQ, TYPE, the data field and the block check, or after LEN 0 the long
form with LENX1, LENX2 and the header check. A packet whose bytes after TYPE hold a raw
control character (0-31 or 127) is reported: a peer that needs every control character
prefixed would take it for the end of the packet or drop it. Appends to REPORT, one a line:

    fault FROM seq=N type=T byte=0xHH at=K    a raw control character at data byte K
    longest FROM N                            a new longest packet (its LEN) from FROM

FROM is "program" or "calculator". Runs until it is terminated.
"""
import os
import select
import signal
import sys
import tty

MARK = 0x01


class PacketReader:
    """Follows one direction of the line, packet by packet."""

    def __init__(self, name, report):
        self.name = name
        self.report = report
        self.packet = None  # the bytes after MARK of the packet being read
        self.longest = 0

    def feed(self, data):
        for byte in data:
            if byte == MARK:
                # A mark starts a packet, also inside one: that is how peers resynchronise.
                # A raw SOH inside a data field is a fault of the packet it cut short.
                if self.packet is not None and len(self.packet) >= 3:
                    self.fault(len(self.packet) - 3, byte)
                self.packet = bytearray()
                continue
            if self.packet is None:
                continue
            self.packet.append(byte)
            self.step()

    def expected_size(self):
        """The bytes after MARK the packet holds, once its header tells; else None."""
        if not self.packet:
            return None
        length = self.packet[0] - 32
        if length > 0:
            return 1 + length
        if len(self.packet) < 6:
            return None
        return 6 + (self.packet[3] - 32) * 95 + (self.packet[4] - 32)

    def step(self):
        size = self.expected_size()
        if size is None:
            return
        # Past LEN, SEQ and TYPE (and the long header) every byte must be printable.
        start = 3 if self.packet[0] != 32 else 6
        index = len(self.packet) - 1
        if index >= start and (self.packet[index] < 32 or self.packet[index] == 127):
            self.fault(index - start, self.packet[index])
        if len(self.packet) >= size:
            self.note_length(size - 1)
            self.packet = None

    def note_length(self, length):
        if length > self.longest:
            self.longest = length
            self.write(f"longest {self.name} {length}")

    def fault(self, at, byte):
        seq = self.packet[1] - 32 if len(self.packet) > 1 else -1
        kind = chr(self.packet[2]) if len(self.packet) > 2 else "?"
        self.write(f"fault {self.name} seq={seq} type={kind} byte=0x{byte:02x} at={at}")

    def write(self, line):
        self.report.write(line + "\n")
        self.report.flush()


def open_end(link):
    master, slave = os.openpty()
    tty.setraw(slave)
    os.set_blocking(master, False)
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    # The relay keeps the device end open too, so that the line stays up while no Kermit
    # has it open.
    return master, slave


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    program_link, calculator_link, report_path = argv[1:]
    report = open(report_path, "a", encoding="ascii")
    links = [program_link, calculator_link]

    def stop(*_):
        for link in links:
            if os.path.islink(link):
                os.remove(link)
        sys.exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    program, _program_device = open_end(program_link)
    calculator, _calculator_device = open_end(calculator_link)
    readers = {program: PacketReader("program", report),
               calculator: PacketReader("calculator", report)}
    other = {program: calculator, calculator: program}
    while True:
        ready, _, _ = select.select([program, calculator], [], [])
        for end in ready:
            try:
                data = os.read(end, 4096)
            except OSError:
                continue
            readers[end].feed(data)
            view = memoryview(data)
            try:
                while view:
                    view = view[os.write(other[end], view):]
            except OSError:
                pass  # nobody reads that end: the rest is lost, as on a cable


if __name__ == "__main__":
    sys.exit(main(sys.argv))
