#!/usr/bin/env bash
# Each catalog against the sources: every text marked there has an entry, no entry is stale, the
# English catalog translates every Chinese text and the Chinese one every text of the command line.
set -uo pipefail
root=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

# The marked texts of the given folders, as a template.
extract() {
  local out=$1
  shift
  find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 xgettext --from-code=UTF-8 -C -k -kTranslatable -kTranslated --no-location -o "$out" ||
    fail "xgettext over $*"
}

cd "$root" || exit 1
folders=(app cli combine console controls lang res ui win32 window)
extract "$dir/all.pot" "${folders[@]}"
extract "$dir/cli.pot" cli combine console
[ "$(grep -c '^msgid' "$dir/all.pot")" -gt 40 ] || fail "too few marked texts found"

for po in po/*.po; do
  msgfmt --check -o /dev/null "$po" || fail "$po does not compile"
  msgcmp --use-untranslated "$po" "$dir/all.pot" || fail "$po lacks texts the programs show"
  msgcmp --use-untranslated "$dir/all.pot" "$po" || fail "$po holds texts no program shows"
done

# Entries one a line, as "id" = "text";, the ids holding a Chinese character or not.
entries() {
  msgcat --stringtable-output "$@" | grep '^"'
}
chinese='^"[^"]*[\x{4e00}-\x{9fff}]'
export LC_ALL=C.UTF-8

msgattrib --untranslated -o "$dir/en-untranslated.po" po/en.po
missing=$(entries "$dir/en-untranslated.po" | grep -P "$chinese")
[ -z "$missing" ] || fail "po/en.po leaves Chinese texts untranslated: $missing"

msgattrib --untranslated -o "$dir/zh-untranslated.po" po/zh_CN.po
msgcomm --more-than=1 -o "$dir/zh-missing.po" "$dir/zh-untranslated.po" "$dir/cli.pot"
if [ -e "$dir/zh-missing.po" ]; then
  missing=$(entries "$dir/zh-missing.po" | grep -vP "$chinese" | grep -v '^"" = ')
  [ -z "$missing" ] || fail "po/zh_CN.po leaves texts of the command line untranslated: $missing"
fi

[ $status -eq 0 ] && echo PASS
exit $status
