#!/usr/bin/env bash
# The start prompt's exact text; No ends the program.
source "$(dirname "$0")/../check_helper.sh"
need_wine
make_installation
prompt='升级程序升级和备份本机数据：\r\n运行升级程序之前请先将您的关键数据备份到excel\r\n升级程序虽然能将您已存的大部分数据自动拷贝到升级后的Brevak软件中\r\n但是保险公司政策折扣信息需要您自行备份(excel)并导入到升级后的软件中\r\n是否继续？'
printf 'no\n' >"$work/no.script"
printf 'msgbox YesNo %s\nanswer no\nexit 0\n' "$prompt" >"$work/no.expected"
status=0
scripted "$work/no.script" "$work/no.transcript" 'C:\升级包\brevak-upgrade.exe' || status=$?
if [ $status -eq 0 ] && cmp -s "$work/no.expected" "$work/no.transcript"; then
  pass "the prompt's exact text; No ends the program"
fi
diff "$work/no.expected" "$work/no.transcript" || true
fail "the prompt (exit $status)"
