#!/usr/bin/env bash
# Formats every C++ source of the tree with the project's .clang-format.
# --check changes nothing and fails when a file differs from its formatted form.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=format
case "${1:-}" in
  "") ;;
  --check) mode=check ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ ${#files[@]} -eq 0 ] && exit 0

if [ "$mode" = check ]; then
  report=$(mktemp)
  trap 'rm -f "$report"' EXIT
  if ! clang-format --dry-run --Werror "${files[@]}" 2>"$report"; then
    grep -E '^[^ ].*: (error|warning):' "$report" | cut -d: -f1 | sort -u | sed 's/^/needs formatting: /' >&2
    echo "Run scripts/format.sh to format them." >&2
    exit 1
  fi
  echo "format check: ${#files[@]} files formatted"
  exit 0
fi
clang-format -i "${files[@]}"
