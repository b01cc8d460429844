#!/usr/bin/env python3
"""Validates MAS files against the schemas beside this script (schemas/MAS.json and what it
refers to), each reference resolved to the local copy, never fetched.
Usage: validate_mas.py FILE...   Exit status 0 when every file is valid."""
import json
import pathlib
import sys
import warnings

import jsonschema

SCHEMAS = pathlib.Path(__file__).resolve().parent / "schemas"
BASE = "https://psma.com/mas/"


def main():
    store = {}
    for path in SCHEMAS.rglob("*.json"):
        schema = json.loads(path.read_text())
        store[schema.get("$id", BASE + path.relative_to(SCHEMAS).as_posix())] = schema
    root = store[BASE + "MAS.json"]
    try:  # jsonschema 4.18 and later resolve through the referencing package
        import referencing

        registry = referencing.Registry().with_resources(
            (uri, referencing.Resource.from_contents(schema)) for uri, schema in store.items())
        validator = jsonschema.Draft202012Validator(root, registry=registry)
    except ImportError:  # Debian 12's jsonschema 4.10
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)
            resolver = jsonschema.RefResolver(BASE + "MAS.json", root, store=store)
            validator = jsonschema.Draft202012Validator(root, resolver=resolver)
    failed = 0
    for name in sys.argv[1:]:
        errors = sorted(validator.iter_errors(json.loads(pathlib.Path(name).read_text())), key=str)
        for e in errors[:5]:
            print(f"{name}: {'/'.join(map(str, e.absolute_path))}: {e.message[:300]}")
        failed += bool(errors)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
