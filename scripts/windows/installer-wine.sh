#!/usr/bin/env bash
# Runs the Windows installer under Wine in a fresh prefix, as a user would
# with a double-click and as an administrator would silently, and checks
# what it left: the program where the Start-menu shortcut points, the .cvl
# association in the registry pointing at it, a list opened by `wine start`
# in its window, and an uninstaller that takes all of it away and leaves the
# user's lists. Screenshots (the first page, the list opened) go to
# <folder>/shots.
# Usage: installer-wine.sh <setup.exe> <folder>
set -euo pipefail
setup="$1"
dir="$2"
rm -rf "$dir"
mkdir -p "$dir/shots"

export LANG=C.UTF-8
name=installer
# shellcheck source=wine-display.sh
source "$(dirname "$0")/wine-display.sh"

reg_value() { # key [value]: the data of a value (the key's default without one), or nothing
    local out
    if [ -n "${2:-}" ]; then
        out="$("$wine" reg query "$1" /v "$2" 2>/dev/null)" || return 0
    else
        out="$("$wine" reg query "$1" /ve 2>/dev/null)" || return 0
    fi
    printf '%s\n' "$out" | tr -d '\r' | awk -F'    ' 'NF >= 4 && /REG_/ {print $4; exit}'
}

"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w
# A fresh prefix has no font with Chinese glyphs for the dialogs' faces
# (the Chinese pages ask for 宋体); Windows has them, Wine is lent Noto.
for face in "宋体" "SimSun" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Noto Sans CJK SC" /f \
        >/dev/null 2>&1
done
"$wineserver" -w
user_dir="$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -n1)"
user_dir="${user_dir%/}"
# Wine links the user's Documents and Desktop to the Linux home; the check
# keeps its lists and shortcuts inside its own prefix.
for folder in Documents Desktop; do
    if [ -L "$user_dir/$folder" ]; then
        rm "$user_dir/$folder"
        mkdir "$user_dir/$folder"
    fi
done

# The first page, in Chinese, as a user who double-clicked it sees it.
("$wine" "$setup" >/dev/null 2>&1 &)
page="$(wait_window_like "钢筋计算器 \\(Corvala\\)" 60)" || fail "the installer's window did not open"
sleep 2
shot first-page
xdotool windowclose "$page" 2>/dev/null || true
sleep 1
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true

# Silently, for the current user: no administrator rights asked for.
"$wine" "$setup" /S
"$wineserver" -w
program="$user_dir/AppData/Local/Programs/Corvala"
[ -f "$program/corvala.exe" ] || fail "corvala.exe is not in $program"
[ -f "$program/corvala_list.dll" ] || fail "corvala_list.dll is not beside the program"
[ -f "$program/uninstall.exe" ] || fail "no uninstaller"
link="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/钢筋计算器 (Corvala).lnk"
[ -f "$link" ] || fail "no Start-menu shortcut"
# A shell link keeps its target as a path in the link's own text.
grep -aq 'Programs\\Corvala\\corvala.exe' "$link" ||
    iconv -f UTF-16LE -t UTF-8 "$link" 2>/dev/null | grep -aq 'Programs\\Corvala\\corvala.exe' ||
    fail "the shortcut does not point at the installed corvala.exe"
echo "installer: installed into $program, shortcut in the Start menu"

progid="$(reg_value 'HKCU\Software\Classes\.cvl')"
[ "$progid" = "Corvala.CuttingList" ] || fail ".cvl is registered as '$progid'"
command="$(reg_value 'HKCU\Software\Classes\Corvala.CuttingList\shell\open\command')"
case "$command" in
*'Programs\Corvala\corvala.exe" "%1"') ;;
*) fail "the open command is '$command'" ;;
esac
uninstall="$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvala' UninstallString)"
[ -n "$uninstall" ] || fail "not in Programs and Features"
echo "installer: .cvl opens with $command"

# A list in the user's documents, opened by the command the association
# registered, as Explorer runs it. (Wine's own `start` reads only the
# machine's classes, not the user's; it is tried below on an install for
# all users.)
documents="$user_dir/Documents"
mkdir -p "$documents"
list="$documents/一层梁.cvl"
cp "$(dirname "$0")/../../docs/examples/frame-beams-columns.cvl" "$list"
before="$(sha256sum "$list" | cut -d' ' -f1)"
registered_exe="$("$wine" winepath -u "$(echo "$command" | sed -E 's/^"([^"]+)".*/\1/')" 2>/dev/null | tr -d '\r')"
("$wine" "$registered_exe" "$("$wine" winepath -w "$list" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 &)
opened="$(wait_window "一层梁.cvl - 钢筋下料单 - Corvala" 90)" || fail "the registered command did not open the list"
echo "installer: the registered command opened \"$(xdotool getwindowname "$opened")\""
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true

# Installing again over it (an upgrade) keeps it where it was.
"$wine" "$setup" /S
"$wineserver" -w
[ -f "$program/corvala.exe" ] || fail "the upgrade lost corvala.exe"

# Uninstalled: program, shortcut and association gone, the list untouched.
"$wine" "$program/uninstall.exe" /S
"$wineserver" -w
for _ in $(seq 60); do [ -e "$program" ] || break; sleep 0.5; done
[ ! -e "$program" ] || fail "the program's folder is still there: $(ls "$program")"
[ ! -e "$link" ] || fail "the Start-menu shortcut is still there"
[ -z "$(reg_value 'HKCU\Software\Classes\.cvl')" ] || fail ".cvl is still registered"
[ -z "$(reg_value 'HKCU\Software\Classes\Corvala.CuttingList\shell\open\command')" ] ||
    fail "the open command is still registered"
[ -z "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvala' UninstallString)" ] ||
    fail "still in Programs and Features"
[ "$(sha256sum "$list" | cut -d' ' -f1)" = "$before" ] || fail "the user's list changed"
echo "installer: uninstalled; the list in Documents is as it was"

# For all users (Wine's user may): into Program Files, the machine's classes,
# and `wine start` on a list opens it in its window.
"$wine" "$setup" /S /AllUsers
"$wineserver" -w
machine="$WINEPREFIX/drive_c/Program Files/Corvala"
[ -f "$machine/corvala.exe" ] || fail "corvala.exe is not in $machine"
[ "$(reg_value 'HKLM\Software\Classes\.cvl')" = "Corvala.CuttingList" ] ||
    fail ".cvl is not registered for all users"
("$wine" start /unix "$list" >/dev/null 2>&1 &)
opened="$(wait_window "一层梁.cvl - 钢筋下料单 - Corvala" 90)" || fail "wine start did not open the list"
sleep 2
shot list-opened
echo "installer: wine start opened \"$(xdotool getwindowname "$opened")\""
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
"$wine" "$machine/uninstall.exe" /S
"$wineserver" -w
for _ in $(seq 60); do [ -e "$machine" ] || break; sleep 0.5; done
[ ! -e "$machine" ] || fail "the program's folder is still there: $(ls "$machine")"
[ -z "$(reg_value 'HKLM\Software\Classes\.cvl')" ] || fail ".cvl is still registered for all users"
[ "$(sha256sum "$list" | cut -d' ' -f1)" = "$before" ] || fail "the user's list changed"
echo "installer: uninstalled for all users; the list in Documents is as it was"
echo "installer: $(stat -c %s "$setup") bytes"
