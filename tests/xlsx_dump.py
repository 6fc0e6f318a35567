# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints what a workbook holds, one fact a line, tab-separated, for the tests:
cell COORD TYPE VALUE FORMAT FILL SIZE ALIGN / merge RANGE / width COLUMN WIDTH /
page ORIENTATION LEFT RIGHT TOP BOTTOM FOOTER GRIDLINES / print PAPER SCALE FITTOPAGE
FITWIDTH FITHEIGHT ROWBREAKS (comma-separated, each the last row of a page) / sheets COUNT."""
import re
import sys
import zipfile

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
print("sheets", len(book.worksheets), sep="\t")
sheet = book.worksheets[0]
for row in sheet.iter_rows():
    for cell in row:
        if type(cell).__name__ == "MergedCell":
            continue
        fill = cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else "-"
        kind = {"n": "n", "s": "s"}.get(cell.data_type, cell.data_type)
        if cell.value is None and fill == "-":
            continue
        value = "" if cell.value is None else cell.value
        print("cell", cell.coordinate, kind, value, cell.number_format, fill, cell.font.sz,
              cell.alignment.horizontal or "-", sep="\t")
for merged in sheet.merged_cells.ranges:
    print("merge", str(merged), sep="\t")
for letter, dimension in sorted(sheet.column_dimensions.items()):
    if dimension.width:
        print("width", letter, dimension.width, sep="\t")
margins = sheet.page_margins
print("page", sheet.page_setup.orientation, margins.left, margins.right, margins.top, margins.bottom,
      margins.footer, sheet.print_options.gridLines, sep="\t")
fit = sheet.sheet_properties.pageSetUpPr
breaks = ",".join(str(b.id) for b in sheet.row_breaks.brk)
# An absent fitToWidth or fitToHeight is 1, the file format's default.
fit_width = 1 if sheet.page_setup.fitToWidth is None else sheet.page_setup.fitToWidth
fit_height = 1 if sheet.page_setup.fitToHeight is None else sheet.page_setup.fitToHeight
print("print", sheet.page_setup.paperSize, sheet.page_setup.scale, bool(fit and fit.fitToPage), fit_width, fit_height,
      breaks, sep="\t")
# The sheets after the first (the balance chart's): their names and cells,
# and every chart with the ranges it draws from.
for extra in book.worksheets[1:]:
    print("sheet", extra.title, sep="\t")
    for row in extra.iter_rows():
        for cell in row:
            if cell.value is not None:
                print("extra", extra.title, cell.coordinate, cell.data_type, cell.value, cell.number_format, sep="\t")
with zipfile.ZipFile(sys.argv[1]) as archive:
    for name in sorted(n for n in archive.namelist() if n.startswith("xl/charts/chart")):
        xml = archive.read(name).decode("utf-8")
        kind = "bar" if "<c:barChart>" in xml else "other"
        print("chart", name, kind, ",".join(re.findall(r"<c:f>([^<]*)</c:f>", xml)), sep="\t")
