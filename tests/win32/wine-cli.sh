#!/usr/bin/env bash
# Runs the Windows batch program ($1) under Wine with the remaining
# arguments, as a Windows user would type them: every absolute Linux path
# becomes its Z: drive path (Z:\tmp\x\in.s), which is how Wine shows the
# Linux file system. The program's exit status is passed through.
#
# Wine's console writes text-mode line ends (CR LF) as Windows does; the
# shell tests compare lines, so the CRs are dropped from what reaches them.
set -u
exe="$1"
shift
args=()
for a in "$@"; do
  if [[ "$a" == /* ]]; then
    a="Z:${a//\//\\}"
  fi
  args+=("$a")
done
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The streams go through pipes only to drop the CRs; the status is the
# program's, not the filter's.
{ wine "$exe" "${args[@]}" 2>&1 1>&3 3>&- | tr -d '\r' >&2; exit "${PIPESTATUS[0]}"; } 3>&1 1>&2 | tr -d '\r'
exit "${PIPESTATUS[0]}"
