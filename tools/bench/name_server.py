#!/usr/bin/env python3
"""A name server on loopback for the name-service benchmark (tools/bench/dns.sh).

    name_server.py ADDRESS MODE MAX_QUERIES MAX_SECONDS [DELAY_SECONDS]

MODE "silent" reads every query and never answers; "forward" answers every A query with
192.0.2.10 (and other forward queries with an empty answer) but never a reverse (PTR) one;
"slow" answers every query, each DELAY_SECONDS (default 2) after it came: A queries with
192.0.2.10, reverse (PTR) ones with the name "slow.name.server", others with an empty answer.
It ends after MAX_QUERIES queries or MAX_SECONDS seconds, whichever comes first.
"""
import heapq
import itertools
import signal
import socket
import struct
import sys
import time

ANSWER = bytes([192, 0, 2, 10])
HOST_NAME = b"".join(bytes([len(label)]) + label for label in b"slow.name.server".split(b".")) + b"\0"
TYPE_A, TYPE_PTR = 1, 12


def question_end(packet):
    """Offset just past the question's name, type and class."""
    i = 12
    while i < len(packet) and packet[i] != 0:
        i += 1 + packet[i]
    return i + 5


def reply(packet, reverse=False):
    """The answer to a forward query; to a reverse one only when `reverse`, else None."""
    end = question_end(packet)
    if end > len(packet):
        return None
    qtype = struct.unpack("!H", packet[end - 4:end - 2])[0]
    if qtype == TYPE_PTR and not reverse:
        return None
    ident = packet[:2]
    answers = 1 if qtype in (TYPE_A, TYPE_PTR) else 0
    header = ident + struct.pack("!HHHHH", 0x8180, 1, answers, 0, 0)
    body = packet[12:end]
    if qtype == TYPE_A:
        body += struct.pack("!HHHIH", 0xC00C, TYPE_A, 1, 60, 4) + ANSWER
    elif qtype == TYPE_PTR:
        body += struct.pack("!HHHIH", 0xC00C, TYPE_PTR, 1, 60, len(HOST_NAME)) + HOST_NAME
    return header + body


def main():
    address, mode = sys.argv[1], sys.argv[2]
    max_queries, max_seconds = int(sys.argv[3]), float(sys.argv[4])
    delay = float(sys.argv[5]) if len(sys.argv) > 5 else 2.0
    later = []  # (time due, order, answer, sender) of the slow mode's answers
    order = itertools.count()
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind((address, 53))
    deadline = time.monotonic() + max_seconds
    queries = {"A": 0, "PTR": 0, "other": 0}
    # Ended by the benchmark: say how much was asked on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        while sum(queries.values()) < max_queries or later:
            now = time.monotonic()
            while later and later[0][0] <= now:
                _, _, answer, sender = heapq.heappop(later)
                server.sendto(answer, sender)
            left = deadline - now
            if left <= 0:
                break
            server.settimeout(min(left, later[0][0] - now) if later else left)
            try:
                packet, sender = server.recvfrom(4096)
            except socket.timeout:
                continue
            if sum(queries.values()) >= max_queries:
                continue  # only the answers still owed are sent
            end = question_end(packet)
            qtype = struct.unpack("!H", packet[end - 4:end - 2])[0] if end <= len(packet) else 0
            queries["A" if qtype == TYPE_A else "PTR" if qtype == TYPE_PTR else "other"] += 1
            if mode == "forward" and len(packet) > 12:
                answer = reply(packet)
                if answer:
                    server.sendto(answer, sender)
            if mode == "slow" and len(packet) > 12:
                answer = reply(packet, reverse=True)
                if answer:
                    heapq.heappush(later, (time.monotonic() + delay, next(order), answer, sender))
    finally:
        print(f"name server {address} ({mode}): queries {queries}", file=sys.stderr)


if __name__ == "__main__":
    main()
