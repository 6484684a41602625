#!/usr/bin/env python3
"""Writes client documents with N work entries (XML property lists) for the benchmarks."""
import datetime
import plistlib
import random
import sys

DESCRIPTIONS = ["Design review", "Coding", "Client meeting", "Travel", "Support call",
                "Documentation", "Testing", "Deployment", "Research", "Planning"]


def archive_date(moment):
    return moment.strftime("%A, %d %B %Y, %I:%M %p")


def entry(index, rng, start):
    if index % 10 == 9:
        return {"Description": "Expense %d" % index, "LineItem": "YES", "RateSetAsZero": "YES",
                "WorkRate": "%.2f" % rng.uniform(5, 200), "Taxable": "YES" if index % 20 == 19 else "NO",
                "StartTime": archive_date(start)}
    minutes = rng.randint(15, 480)
    work = {"Description": rng.choice(DESCRIPTIONS) + " " + str(index),
            "StartTime": archive_date(start),
            "EndTime": archive_date(start + datetime.timedelta(minutes=minutes)),
            "Time": "%f" % round(minutes / 60, 2),
            "WorkRate": "%.2f" % rng.choice([85, 100, 125, 150])}
    if index % 7 == 0:
        work["DownTime"] = "%f" % 0.25
    if index % 3 == 0:
        work["Paid"] = "YES"
    return work


def document(count, seed=7):
    rng = random.Random(seed)
    start = datetime.datetime(2015, 1, 5, 9, 0)
    work = []
    for index in range(count):
        start += datetime.timedelta(minutes=rng.randint(30, 600))
        work.append(entry(index, rng, start))
    return {"ClientName": "Benchmark Client", "ProjectName": "Years of data", "Address": "1 Main St\nTown",
            "Email": "client@example.com", "Phone": "555-0100", "Rate": "125.000000", "TaxRate": "5.875000",
            "ShareCost": "800.000000", "Equity": "0.000000", "Taxable": "YES", "Version": "1",
            "SortIsDescending": "YES", "MoneySymbol": "$", "ThousandsSeparator": ",",
            "DecimalSeparatorKey": ".", "MoneyComesAfter": "NO", "Work": work}


def main():
    if len(sys.argv) < 3:
        print("usage: generate_documents.py FOLDER COUNT...", file=sys.stderr)
        return 2
    folder = sys.argv[1]
    for count in map(int, sys.argv[2:]):
        path = "%s/work-%d.tickSheet" % (folder, count)
        with open(path, "wb") as handle:
            plistlib.dump(document(count), handle)
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
