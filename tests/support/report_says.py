#!/usr/bin/env python3
"""Exits 0 when the report for machines FILE has the given mode and outcome.

    report_says.py FILE MODE OUTCOME
"""
import json
import sys

path, mode, outcome = sys.argv[1:4]
with open(path, encoding="utf-8") as file:
    report = json.load(file)
found = (report["mode"], report["outcome"])
if found != (mode, outcome):
    sys.exit(f"{path}: mode and outcome {found}, expected {(mode, outcome)}")
