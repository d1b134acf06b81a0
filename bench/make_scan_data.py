#!/usr/bin/env python3
"""Writes the database files that bench/scan-vs-grep searches.

make_scan_data.py DIR TEXT [FILES] [BYTES]: FILES database files of about BYTES bytes each
(default 5000 of 20000) into DIR, the same ones on every run. Each holds up to 199 topics of up
to ten rows of words; rows with a double quote are stored counted ("C$ len row"). TEXT is planted
a few times, in varying letter case, into about one file in ten; nowhere else does it occur.
"""
import pathlib
import random
import sys

SEED = 48
HEADER = b"%%HP: T(3)A(D)F(.);\r\n"
CRLF = b"\r\n"
MAX_TOPICS = 199
ROWS_PER_TOPIC = 10
ROW_LIMIT = 30
PLANTED_SHARE = 0.10

WORDS = """
angle area array base binary bit byte circle column complex constant cosine cube degree
delta derivative determinant digit distance equation error exponent factor field flag force
fraction frequency function gradient graph grid hex integer integral interval inverse label
length limit list local logarithm loop mass matrix mean memory menu meter minus modulus
momentum name node number object octal offset orbit origin output period pixel plot point
polar power prime program radian radius range rate ratio real register root rotation row
scalar series sigma sine slope solve speed square stack step string sum system table tangent
tensor time torque total unit value variable vector velocity voltage volume wave weight width
""".split()
PUNCTUATION = [",", ".", ":", ";", "=", "+", "-", "*", "/", "(", ")", "!", "?", "#"]


def random_word(rng):
    word = rng.choice(WORDS)
    roll = rng.random()
    if roll < 0.15:
        word = word.capitalize()
    elif roll < 0.20:
        word = str(rng.randint(0, 9999))
    elif roll < 0.25:
        word += rng.choice(PUNCTUATION)
    return word


def random_row(rng):
    row = random_word(rng)
    while len(row) < ROW_LIMIT and rng.random() < 0.8:
        word = random_word(rng)
        if rng.random() < 0.06:
            word = '"' + word + '"'
        if len(row) + 1 + len(word) > ROW_LIMIT:
            break
        row += " " + word
    return row


def random_topic(rng):
    title = " ".join(random_word(rng) for _ in range(rng.randint(1, 3))).title()
    return [title] + [random_row(rng) for _ in range(rng.randint(0, ROWS_PER_TOPIC - 1))]


def plant(rng, topics, text):
    topic = rng.choice(topics)
    index = rng.randrange(len(topic))
    variant = rng.choice([text, text.lower(), text.upper()])
    words = topic[index].split(" ")
    words.insert(rng.randint(0, len(words)), variant)
    topic[index] = " ".join(words)


def row_bytes(row):
    data = row.encode("ascii")
    if b'"' in data:
        return b"C$ " + str(len(data)).encode() + b" " + data
    return b'"' + data + b'"'


def topic_bytes(rows):
    lines = [row_bytes(row) for row in rows]
    lines[-1] += b"}"
    return b"{" + CRLF.join(lines) + CRLF


def database(topics):
    return HEADER + b"{ " + b"".join(topic_bytes(rows) for rows in topics) + b"}" + CRLF


def random_topics(rng, size, text):
    topics, written = [], len(HEADER) + 5
    while written < size and len(topics) < MAX_TOPICS:
        topic = random_topic(rng)
        if any(text.lower() in row.lower() for row in topic):
            continue
        topics.append(topic)
        written += len(topic_bytes(topic))
    return topics


def main():
    if len(sys.argv) not in (3, 4, 5):
        sys.exit(__doc__)
    directory, text = pathlib.Path(sys.argv[1]), sys.argv[2]
    files = int(sys.argv[3]) if len(sys.argv) > 3 else 5000
    size = int(sys.argv[4]) if len(sys.argv) > 4 else 20000
    rng = random.Random(SEED)
    directory.mkdir(parents=True, exist_ok=True)
    planted = 0
    for number in range(1, files + 1):
        topics = random_topics(rng, size, text)
        if rng.random() < PLANTED_SHARE:
            planted += 1
            for _ in range(rng.randint(1, 4)):
                plant(rng, topics, text)
        (directory / f"notes{number:05d}.hp").write_bytes(database(topics))
    print(f"{files} files in {directory}, {planted} of them holding {text}")


if __name__ == "__main__":
    main()
