#!/usr/bin/env python3
"""Reads the program's CSV and JSON exports with Python's csv and json modules and checks every
awkward value: commas, quotes, line breaks, text beyond ASCII and a leading "=" (which the CSV
guards with an apostrophe so that a spreadsheet does not run it as a formula).
Usage: check_exports.py WRITER FOLDER"""
import csv
import json
import os
import subprocess
import sys

GUARDED_STARTS = ("=", "+", "-", "@", "\t", "\r", "'")


def unguard(cell):
    """The reading rule of the CSV: a leading apostrophe goes only before a guarded character."""
    return cell[1:] if len(cell) >= 2 and cell[0] == "'" and cell[1] in GUARDED_STARTS else cell


def main():
    writer, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    subprocess.run([writer, folder], check=True)
    failures = []

    def expect(what, actual, wanted):
        if actual != wanted:
            failures.append(f"{what}: {actual!r} != {wanted!r}")

    csv_path = os.path.join(folder, "catalogue.csv")
    with open(csv_path, "rb") as raw:
        data = raw.read()
    expect("CSV byte-order mark", data[:3], b"\xef\xbb\xbf")
    expect("CSV row end", data.endswith(b"\r\n"), True)
    with open(csv_path, newline="", encoding="utf-8-sig") as handle:
        rows = list(csv.DictReader(handle))
    expect("CSV rows", len(rows), 2)
    row = rows[0]
    expect("Id", row["Id"], "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9")
    expect("Name (comma)", row["Name"], "Comma, Inc. tool")
    expect("Version as stored (guarded)", row["Version"], "'=1+2")
    expect("Version as read back", unguard(row["Version"]), "=1+2")
    expect("Company (quotes)", row["Company"], 'Quote "Q" Ltd')
    expect("Website as read back", unguard(row["Website"]), "-minus")
    expect("Price", row["Price"], "12.50")
    expect("Currency", row["Currency"], "EUR")
    expect("Category", row["Category"], "Internet")
    expect("Type", row["Type"], "Share-ware")
    expect("UserName (non-ASCII)", row["UserName"], "Zoë Ünïcødé 日本語 \U0001F4BE")
    expect("Comment (line breaks)", row["Comment"], "line1\r\nline2\nline3")
    expect("Codes", row["Codes"].split("\n"), ["Serial: AB-12", "Key\\: 2: x\\ny"])
    expect("InstallerPath", row["InstallerPath"], 'C:\\Path, with "quotes"\\setup.exe')
    expect("AttachMode", row["AttachMode"], "Reference")
    expect("ExpiryDate", row["ExpiryDate"], "2027-01-31")
    expect("PurchaseDate (not set)", row["PurchaseDate"], "")
    expect("second record", (rows[1]["Name"], rows[1]["Price"], rows[1]["Codes"]), ("Unknown", "0.00", ""))

    with open(os.path.join(folder, "catalogue.json"), encoding="utf-8") as handle:
        document = json.load(handle)
    expect("JSON format", (document["Format"], document["Version"]), ("Quorvane catalogue", 1))
    records = document["Records"]
    expect("JSON records", len(records), 2)
    record = records[0]
    basic, reg = record["BasicInfo"], record["RegInfo"]
    expect("JSON Id", record["Id"], "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9")
    expect("JSON Name", basic["Name"], "Comma, Inc. tool")
    expect("JSON Version (no guard needed)", basic["Version"], "=1+2")
    expect("JSON Company", basic["Company"], 'Quote "Q" Ltd')
    expect("JSON Price", basic["Price"], 12.5)
    expect("JSON vocabularies", (basic["Currency"], basic["Category"], basic["Type"]), ("EUR", "Internet", "Share-ware"))
    expect("JSON UserName", reg["UserName"], "Zoë Ünïcødé 日本語 \U0001F4BE")
    expect("JSON Comment", reg["Comment"], "line1\r\nline2\nline3")
    expect("JSON Codes", reg["Codes"], [{"Name": "Serial", "Code": "AB-12"}, {"Name": "Key: 2", "Code": "x\ny"}])
    expect("JSON installer", record["InstallerInfo"],
           {"InstallerPath": 'C:\\Path, with "quotes"\\setup.exe', "OriginalPath": "", "AttachMode": "Reference"})
    expect("JSON ExpiryDate", record["ExtraInfo"]["ExpiryDate"], "2027-01-31")
    expect("JSON second record price", records[1]["BasicInfo"]["Price"], 0.0)

    for failure in failures:
        print("FAILED", failure)
    print(f"{'ok' if not failures else 'failed'}: csv.DictReader and json read the exports ({len(failures)} failures)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
