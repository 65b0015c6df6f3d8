#!/usr/bin/env python3
"""The control ids of the program's windows, for the shell scripts that drive them.

    control_ids.py OUT_SH OUT_CPP HEADER... -- SCRIPT...

Reads the `inline constexpr int kName = value` lists of each header's inner namespace
(`mw`, `router_ip`, ...) and writes OUT_SH with one shell variable a control
(`mw_kAddress=3061`) and OUT_CPP with one static_assert a variable, which the build compiles
against the headers themselves, so that the shell's numbers are the compiler's. Then every
`namespace_kName` a SCRIPT uses must be one of them: a control renamed or taken away fails the
build of the tests, not a run three stages later.
"""
import re
import sys

IDENT = r"[A-Za-z_][A-Za-z0-9_]*"
NAMESPACE = re.compile(r"^namespace (" + IDENT + r") \{")
DECL = re.compile(r"inline constexpr int ((?:k" + IDENT + r"\s*=\s*[^,;]+,?\s*)+);", re.S)
ITEM = re.compile(r"(k" + IDENT + r")\s*=\s*([^,;]+)")
USE = re.compile(r"\$\{?([a-z][a-z0-9_]*_k[A-Za-z0-9]+)")


def constants(path):
    """(outer namespace, inner namespace or None, name, value text) of every int constant."""
    outer, inner, found, pending = None, None, [], ""
    for line in open(path, encoding="utf-8"):
        code = line.split("//")[0]
        if code.startswith("namespace orvano::"):
            outer = code.split()[1]
        elif NAMESPACE.match(code):
            inner = NAMESPACE.match(code).group(1)
        elif code.startswith("}") and inner and not pending:
            inner = None
        if pending or code.lstrip().startswith("inline constexpr int "):
            pending += code
            if ";" in code:
                for decl in DECL.finditer(pending):
                    for name, value in ITEM.findall(decl.group(1)):
                        found.append((outer, inner, name, value.strip()))
                pending = ""
    return found


def main(argv):
    split = argv.index("--")
    out_sh, out_cpp, headers, scripts = argv[1], argv[2], argv[3:split], argv[split + 1:]
    plain = {}   # unqualified name -> value, for the aliases one header takes from another
    rows = []
    for header in headers:
        for outer, inner, name, value in constants(header):
            if inner is None:
                plain[name] = value
            else:
                rows.append((header, outer, inner, name, value))
    shell, asserts, known = [], [], set()
    for header, outer, inner, name, value in rows:
        local = {n: v for h, o, i, n, v in rows if i == inner}
        while not value.isdigit():
            value = local.get(value) or plain.get(value)
            if value is None:
                sys.exit(f"{header}: {inner}::{name} is neither a number nor a known name")
        var = f"{inner}_{name}"
        known.add(var)
        shell.append(f"{var}={value}")
        asserts.append(f"static_assert({outer}::{inner}::{name} == {value});")
    includes = [f'#include "{h.split("/src/", 1)[-1]}"' for h in headers]
    with open(out_sh, "w", encoding="utf-8") as f:
        f.write("# Made by the build from the control tables' headers: do not edit.\n")
        f.write("\n".join(shell) + "\n")
    with open(out_cpp, "w", encoding="utf-8") as f:
        f.write("// Made by the build: the scripts' control ids are the compiler's.\n")
        f.write("\n".join(includes + asserts) + "\n")
    unknown = []
    for script in scripts:
        for number, line in enumerate(open(script, encoding="utf-8"), 1):
            for var in USE.findall(line):
                if var not in known:
                    unknown.append(f"{script}:{number}: {var} is no control of the program")
    if unknown:
        sys.exit("\n".join(unknown))


if __name__ == "__main__":
    main(sys.argv)
