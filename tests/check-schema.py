#!/usr/bin/python3
"""Checks a document wavescan --json wrote against man/wavescan.schema.json:
every key named, of its type, each keyword from its list. Prints what does
not hold and exits 1."""
import json
import sys

import jsonschema

schema_path, document_path = sys.argv[1], sys.argv[2]
with open(schema_path, encoding="utf-8") as schema_file:
    schema = json.load(schema_file)
with open(document_path, encoding="utf-8") as document_file:
    document = json.load(document_file)
validator = jsonschema.Draft202012Validator(schema)
errors = sorted(validator.iter_errors(document), key=lambda error: list(error.absolute_path))
for error in errors:
    where = "/".join(str(step) for step in error.absolute_path) or "(the document)"
    print(f"{where}: {error.message}")
sys.exit(1 if errors else 0)
