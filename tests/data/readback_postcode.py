#!/usr/bin/python3
"""Reads POSTCODE.DBF back with python3-dbf and checks every record against
the source list, computed here on its own from the rules of PROVENANCE.md.

usage: readback_postcode.py POSTCODE.DBF zipcode.csv
Prints one line per fault and exits 1 on any; prints "OK <count>" otherwise.
"""
import sys

import dbf

PROVINCES = {
    "서울": "02", "경기": "031", "인천": "032", "강원": "033", "충남": "041",
    "대전": "042", "충북": "043", "세종": "044", "부산": "051", "울산": "052",
    "대구": "053", "경북": "054", "경남": "055", "전남": "061", "광주": "062",
    "전북": "063", "제주": "064",
}


def ddd(sido, gugun, dong):
    district = gugun.split(" ")[0]
    if sido == "경기" and district in ("광명시", "과천시"):
        return "02"
    if sido == "경기" and district == "부천시":
        return "032"
    if sido == "경기" and gugun == "안산시 단원구" and dong.split(" ")[0] in (
            "대부남동", "대부동동", "대부북동"):
        return "032"
    if sido == "충남" and district == "계룡시":
        return "042"
    if sido == "경북" and district == "경산시":
        return "053"
    return PROVINCES[sido]


def main():
    table_path, csv_path = sys.argv[1], sys.argv[2]
    with open(csv_path, encoding="cp949", newline="") as f:
        lines = f.read().split("\r\n")
    rows = [l.split(",") for l in lines[1:] if l]
    rows.sort(key=lambda r: int(r[5]))
    expected = []
    for zipcode, sido, gugun, dong, bunji, _ in rows:
        etc = " ".join(p for p in (sido, gugun, dong, bunji) if p)
        expected.append((zipcode, ddd(sido, gugun, dong), etc))
    width = max(len(e[2].encode("cp949")) for e in expected)

    faults = []
    t = dbf.Table(table_path)
    t.open(dbf.READ_ONLY)
    if t.codepage.name != "cp949":
        faults.append("code page %s" % t.codepage)
    infos = [(n, t.field_info(n)[:2]) for n in t.field_names]
    want = [("zipcode", (67, 7)), ("ddd", (67, 4)), ("etc", (67, width))]
    if [(n, (int(i[0]), i[1])) for n, i in infos] != want:
        faults.append("fields %s, expected %s" % (infos, want))
    if len(t) != len(expected):
        faults.append("%d records, expected %d" % (len(t), len(expected)))
    for i, (record, exp) in enumerate(zip(t, expected)):
        got = (record.zipcode, record.ddd.rstrip(), record.etc.rstrip())
        if got != exp:
            faults.append("record %d: %r, expected %r" % (i + 1, got, exp))
            if len(faults) > 20:
                break
    t.close()
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print("OK %d" % len(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
