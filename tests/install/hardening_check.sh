#!/usr/bin/env bash
# Checks that an executable is hardened: linked with -z now (BIND_NOW) and
# -z relro (GNU_RELRO), position-independent, and calling fortified functions
# or the stack protector.
# Usage: hardening_check.sh PROGRAM
set -u
program=$1
fail() { echo "FAILED: $program: $*"; exit 1; }
dynamic=$(readelf -d "$program") || fail "not an ELF file"
grep -q 'BIND_NOW' <<<"$dynamic" || fail "not linked with -z now"
grep -q 'FLAGS_1.*PIE' <<<"$dynamic" || fail "not a position-independent executable"
readelf -lW "$program" | grep -q GNU_RELRO || fail "no GNU_RELRO segment"
readelf --dyn-syms -W "$program" | grep -qE '__stack_chk_fail|__[a-z_]+_chk@' ||
  fail "neither fortified calls nor the stack protector"
echo "$program: BIND_NOW, GNU_RELRO, PIE, fortified"
