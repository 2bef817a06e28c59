#!/usr/bin/python3
"""Writes the import fixtures made with python3-xlwt (run with the Debian
interpreter, /usr/bin/python3): sheets whose headings or cell types the
spreadsheet-program fixtures do not cover."""
import os
import xlwt

here = os.path.dirname(os.path.abspath(__file__))


def write(name, sheet, rows):
    book = xlwt.Workbook()
    ws = book.add_sheet(sheet)
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None:
                ws.write(r, c, value)
    book.save(os.path.join(here, name))


write("TwoNames-biff8.xls", "PhoneDB",
      [["Name", "PhoneNo", "Name", "Memo"], ["A", "1", "B", ""]])
write("NoMemo-biff8.xls", "PhoneDB",
      [["Name", "PhoneNo", "Note"], ["A", "1", ""]])
# Columns in another order and one more; a CO type to be corrected; a number
# cell with its leading zero lost.
write("Corrections-biff8.xls", "SpeedDB",
      [["Memo", "CONo", "COType", "Extra", "Number", "Name", "SpdNo"],
       ["", 5, "l", "x", "0123", "lower", 2100],
       ["", 4, "g", "", 456, "", 2101],
       ["", None, "n", "", "7", "", 2102]])
