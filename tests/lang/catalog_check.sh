#!/usr/bin/env bash
# Each catalog against the sources: every text marked there has an entry, no entry is stale, the
# English catalog translates every Chinese text and the Chinese one every text of the command line.
set -uo pipefail
cd "$1" || exit 1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export LC_ALL=C.UTF-8
status=0
fail() { echo "FAIL: $*"; status=1; }

# The marked texts of the given folders, as a template.
extract() {
  find "${@:2}" \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 xgettext --from-code=UTF-8 -C -k -kTranslatable -kTranslated -o "$1" || fail "xgettext"
}
# The untranslated entries of catalog $1 that template $2 holds too, one a line: "id" = "id";
untranslated() {
  msgattrib --untranslated -o "$dir/untranslated.po" "$1"
  msgcomm --more-than=1 -o - "$dir/untranslated.po" "$2" | msgcat --stringtable-output - |
    grep '^"[^"]'
}
chinese='^"[^"]*[\x{4e00}-\x{9fff}]'

extract "$dir/all.pot" app cli combine console controls lang res ui win32 window
extract "$dir/cli.pot" cli combine console
[ "$(grep -c '^msgid' "$dir/all.pot")" -gt 40 ] || fail "too few marked texts found"
for po in po/*.po; do
  msgfmt --check -o /dev/null "$po" || fail "$po does not compile"
  msgcmp --use-untranslated "$po" "$dir/all.pot" || fail "$po lacks texts the programs show"
  msgcmp --use-untranslated "$dir/all.pot" "$po" || fail "$po holds texts no program shows"
done
missing=$(untranslated po/en.po "$dir/all.pot" | grep -P "$chinese")
[ -z "$missing" ] || fail "po/en.po leaves Chinese texts untranslated: $missing"
missing=$(untranslated po/zh_CN.po "$dir/cli.pot" | grep -vP "$chinese")
[ -z "$missing" ] || fail "po/zh_CN.po leaves texts of the command line untranslated: $missing"

[ $status -eq 0 ] && echo PASS
exit $status
