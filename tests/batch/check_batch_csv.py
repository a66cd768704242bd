#!/usr/bin/env python3
"""Reads a batch CSV back with Python's csv module: the byte-order mark,
one row per key with every column, and the formula guard."""
import csv
import io
import os
import subprocess
import sys
import tempfile

TRICKY = [
    "=cmd|' /C calc'!A0", "+1", "-1", "@SUM(A1)", "\tx", "\rx",
    "a,b", 'say "hi"', "line\nbreak", "日本語の組織",
]
GUARDED = "=+-@\t\r"


def main():
    test_program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "batch.csv")
        env = dict(os.environ, DQ_BATCH_CSV_OUT=path, QT_QPA_PLATFORM="offscreen")
        subprocess.run([test_program, "writeCsvForReader"], env=env, check=True)
        with open(path, "rb") as file:
            data = file.read()
    assert data.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
    rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
    titles, body = rows[0], rows[1:]
    assert len(body) == len(TRICKY), f"{len(body)} rows for {len(TRICKY)} keys"
    column = titles.index("登録者組織")
    for value, row in zip(TRICKY, body):
        assert len(row) == len(titles), f"{len(row)} cells, {len(titles)} titles: {row}"
        assert row[titles.index("キー")] == "example.com"
        expected = "'" + value if value[0] in GUARDED else value
        assert row[column] == expected, f"{row[column]!r} != {expected!r}"
    print(f"{len(body)} rows read back")


if __name__ == "__main__":
    main()
