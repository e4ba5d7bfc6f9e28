#!/usr/bin/env python3
"""Module doc
over lines."""
x = f"Hi {name!r:>{width}} {{lit}}" + rb'raw\n' + '''triple
quoted''' + 'open
def f():  # comment
    'doc'
    return (
        "arg", r"\d+")
