#!/usr/bin/env bash
# Checks that an executable is hardened: linked with -z now (BIND_NOW) and
# -z relro (GNU_RELRO), position-independent, with the stack protector, and
# calling fortified functions.
# Usage: hardening_check.sh PROGRAM
set -u
program=$1
fail() { echo "FAILED: $program: $*"; exit 1; }
dynamic=$(readelf -d "$program") || fail "not an ELF file"
grep -q 'BIND_NOW' <<<"$dynamic" || fail "not linked with -z now"
grep -q 'FLAGS_1.*PIE' <<<"$dynamic" || fail "not a position-independent executable"
readelf -lW "$program" | grep -q GNU_RELRO || fail "no GNU_RELRO segment"
symbols=$(readelf --dyn-syms -W "$program") || fail "no dynamic symbols"
grep -q ' __stack_chk_fail@' <<<"$symbols" || fail "no stack protector (__stack_chk_fail)"
grep -qE ' __[a-z0-9_]+_chk@' <<<"$symbols" || fail "no fortified calls (__*_chk)"
echo "$program: BIND_NOW, GNU_RELRO, PIE, stack protector, fortified"
