# shellcheck shell=bash
# Sourced by the screenshot scripts, with their arguments: [-l en|zh|LOCALE] [PROGRAM].
# The language comes from -l, else from LC_ALL, LC_MESSAGES or LANG: Chinese under any zh
# locale, English under every other. Sets language (en or zh), program (the argument left, if
# any) and exports the locale, so that the program, wine and its dialogs all follow it.
while getopts l: option; do
  case $option in
    l) named=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
# shellcheck disable=SC2034 # read by the script that sources this
program=${1:-}
case ${named:-${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}} in
  zh*) language=zh ;;
  *) language=en ;;
esac
# LANGUAGE would come before the locale for gettext and for the window.
unset LANGUAGE LC_MESSAGES
if [ "$language" = zh ]; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
else
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
fi
