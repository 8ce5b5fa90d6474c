#!/usr/bin/python3
"""Reads a postal table back with dbfread, which takes the code page from
the table's language-driver byte, and prints what a test compares:

  date YYYY-MM-DD
  encoding NAME
  count N
  NAME TYPE WIDTH LONGEST      (per field; LONGEST: the longest value's bytes)
  RECNO|VALUE|VALUE...         (per record asked for, 1 for the first)

usage: readback_dbfread.py TABLE.DBF [RECNO...]   UTF-8 output.
"""
import sys

import dbfread


def main():
    sys.stdout.reconfigure(encoding="utf-8")
    table = dbfread.DBF(sys.argv[1], char_decode_errors="strict", load=False)
    wanted = {int(n) for n in sys.argv[2:]}
    longest = {f.name: 0 for f in table.fields}
    picked = {}
    count = 0
    for count, record in enumerate(table.records, start=1):
        values = list(record.values())
        for field, value in zip(table.fields, values):
            longest[field.name] = max(longest[field.name], len(value.encode(table.encoding)))
        if count in wanted:
            picked[count] = values
    print("date", table.date.isoformat())
    print("encoding", table.encoding)
    print("count", count)
    for f in table.fields:
        print(f.name, f.type, f.length, longest[f.name])
    for n in sorted(picked):
        print("|".join([str(n)] + picked[n]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
