#!/usr/bin/env bash
# A manual page names every option its program's help shows, so that no option goes undescribed.
# Usage: manual_names_options.sh PAGE PROGRAM [HELP-ARGUMENT...] (--help when none is given).
set -u
page=$1
shift
[ $# -gt 1 ] || set -- "$1" --help
export LC_ALL=C.UTF-8
unset LANGUAGE
help=$("$@") || { echo "FAIL: $* exits $?"; exit 1; }
manual=$(sed 's/\\-/-/g' "$page")
options=$(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' <<<"$help" | tr -d ' ,' | sort -u)
[ -n "$options" ] || { echo "FAIL: no option found in: $help"; exit 1; }
status=0
for option in $options; do
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$manual" ||
    { echo "FAIL: $(basename "$page") does not name $option"; status=1; }
done
[ $status -eq 0 ] && echo PASS
exit $status
