#!/usr/bin/python3
"""Prints a DBF table as python3-dbf reads it: its code page and fields
(NAME:TYPE WIDTH), then one line per record, the values joined by '|' with
their trailing blanks removed. UTF-8 output.

usage: dump_dbf.py TABLE.DBF
"""
import sys

import dbf


def main():
    sys.stdout.reconfigure(encoding="utf-8")
    t = dbf.Table(sys.argv[1])
    t.open(dbf.READ_ONLY)
    fields = []
    for name in t.field_names:
        info = t.field_info(name)
        fields.append("%s:%s%d" % (name.upper(), chr(int(info[0])), info[1]))
    print(t.codepage.name, " ".join(fields))
    for record in t:
        print("|".join(str(v).rstrip() for v in record))
    t.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
