#!/usr/bin/env bash
# The installed tree: `cmake --install` of a finished build into a scratch
# DESTDIR under the prefix /usr, then checks in groups.
#
#   install.sh layout   BUILD SOURCE APP_ID   what lands where, nothing stray
#   install.sh validate BUILD SOURCE APP_ID   the desktop ecosystem's own checkers;
#                                             exits 77 (skipped) when they are absent
#   install.sh run      BUILD SOURCE APP_ID   the installed kx700ctl as a user with a
#                                             fresh HOME: settings kept per user
#
# Each group is a function below; a new group (say, running the installed
# programs with a fresh HOME) is one more function and one more case.
set -euo pipefail
group="$1"; build="$2"; source="$3"; id="$4"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "cmake --install failed"; exit 1; }
usr="$root/usr"
data="$usr/share/kx700"
stage="$build/stage"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need_file() { [ -f "$1" ] || fail "missing ${1#"$root"}"; }

# Width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }

check_layout() {
  # The two programs, and nothing else, in bin/.
  local programs
  programs=$(cd "$usr/bin" && find . -mindepth 1 | sort | tr '\n' ' ')
  [ "$programs" = "./kx700 ./kx700ctl " ] || fail "usr/bin holds: $programs"
  for exe in kx700 kx700ctl; do
    [ -x "$usr/bin/$exe" ] || fail "$exe is not executable"
    # A run path into the build tree would tie the installation to it.
    if readelf -d "$usr/bin/$exe" | grep -Eq 'R(UN)?PATH'; then fail "$exe carries a run path"; fi
  done

  # The data folder: every picture and layout file the stage holds, at the
  # same place relative to the folder.
  local f n=0
  while IFS= read -r f; do
    n=$((n + 1))
    cmp -s "$stage/$f" "$data/$f" || fail "share/kx700/$f differs from the stage or is missing"
  done < <(cd "$stage" && find skins -maxdepth 2 \( -name '*.jpg' -o -name '*.png' -o -name 'skin_*.ini' -o -name 'LBWarning*.ini' \))
  [ "$n" -gt 40 ] || fail "only $n pictures and layout files in the stage"
  cmp -s "$stage/constMacro.dat" "$data/constMacro.dat" || fail "constMacro.dat differs or is missing"
  cmp -s "$source/data/links.ini" "$data/links.ini" || fail "links.ini is not the shipped one"
  for f in config.ini configReset.ini; do
    cmp -s "$source/data/config/$f" "$data/skins/config/$f" || fail "skins/config/$f is not the shipped one"
  done
  for lang in EN CN; do
    local macro="$data/skins/INI_$lang/macro" reset="$data/skins/INI_$lang/macroReset"
    need_file "$macro/macroGrp.ini"
    ls "$macro"/*.dat >/dev/null 2>&1 || fail "no macro group files in INI_$lang/macro"
    diff -r "$macro" "$reset" >/dev/null || fail "INI_$lang/macro and macroReset differ"
  done
  # Nothing the data folder should not hold (a portable run's backups, say).
  local stray
  stray=$(cd "$data" && find . -type f ! -name '*.jpg' ! -name 'kx700.png' ! -name 'skin_*.ini' ! -name 'LBWarning*.ini' \
    ! -path './constMacro.dat' ! -path './links.ini' ! -path './skins/config/config.ini' ! -path './skins/config/configReset.ini' \
    ! -regex './skins/INI_\(EN\|CN\)/macro\(Reset\)?/[^/]*\.\(dat\|ini\)')
  [ -z "$stray" ] || fail "unexpected in share/kx700: $stray"

  # Desktop integration, under the one application id.
  need_file "$usr/share/applications/$id.desktop"
  need_file "$usr/share/metainfo/$id.metainfo.xml"
  grep -qx "Icon=$id" "$usr/share/applications/$id.desktop" || fail "the desktop entry names another icon"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo launches another desktop entry"
  local version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  grep -q "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo has no release entry for version $version"
  for size in 48 128 256; do
    local icon="$usr/share/icons/hicolor/${size}x$size/apps/$id.png"
    need_file "$icon"
    [ ! -f "$icon" ] || [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon")"
  done
  cmp -s "$source/data/udev/70-kx700.rules" "$usr/lib/udev/rules.d/70-kx700.rules" || fail "udev rule missing"
  need_file "$usr/share/doc/kx700/copyright"
  need_file "$usr/share/doc/kx700/changelog.gz"

  # Manual pages and completion name every option and command the programs
  # take (from their own --help), so they cannot drift apart unnoticed.
  local word page completion
  completion=$(cat "$usr/share/bash-completion/completions/kx700ctl")
  for exe in kx700 kx700ctl; do
    need_file "$usr/share/man/man1/$exe.1.gz"
    page=$(gzip -dc "$usr/share/man/man1/$exe.1.gz" | sed 's/\\-/-/g') || { fail "$exe.1.gz is not gzip"; continue; }
    for word in $("$usr/bin/$exe" --help | grep -oE -- '(^| |\[)--?[A-Za-z][A-Za-z-]*' | tr -d ' [' | sort -u); do
      grep -qF -- "$word" <<<"$page" || fail "$exe.1 does not mention $word"
      if [ "$exe" = kx700ctl ] && [ "$word" != -h ]; then
        grep -qF -- "$word" <<<"$completion" || fail "completion lacks $word"
      fi
    done
  done
  # The commands: the first word of each line indented by two in the usage.
  for word in $("$usr/bin/kx700ctl" --help | sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\?$/\1/p'); do
    grep -q "^\.B $word\b" <<<"$page" || fail "kx700ctl.1 lacks the command $word"
    grep -qw -- "$word" <<<"$completion" || fail "completion lacks the command $word"
  done
}

check_validate() {
  local missing=() tool
  for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: ${missing[*]} not installed (scripts/deps.sh package)"
    exit 77
  fi
  desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

  # Completion as bash runs it, where bash-completion is there to run it.
  local framework=/usr/share/bash-completion/bash_completion
  [ -f "$framework" ] || { echo "bash-completion not installed: completion not exercised"; return; }
  # Each case: the line typed so far (a trailing blank starts a new word) and
  # what a Tab offers.
  local line want got words
  while IFS='|' read -r line want; do
    read -ra words <<<"$line"
    [ "${line% }" = "$line" ] || words+=('')
    got=$(bash -c 'source "$1"; source "$2"; shift 2
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      _kx700ctl kx700ctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      echo "${COMPREPLY[*]}"' _ "$framework" "$usr/share/bash-completion/completions/kx700ctl" "${words[@]}")
    [ "$got" = "$want" ] || fail "completing '$line': got '$got', want '$want'"
  done <<'CASES'
kx700ctl |list status apply monitor settings get set profile macro autostart doctor memory log describe sim-status
kx700ctl autostart |on off status
kx700ctl --sim-state /tmp/m s|status settings set sim-status
kx700ctl set lighting.dir|lighting.direction=
kx700ctl set report-rate = |125 250 500 1000
kx700ctl set profile.1.button.4 = Vol|Volume\ up Volume\ down
kx700ctl get cpi.1|cpi.1 cpi.1.enabled cpi.1.colour
kx700ctl get --j|--json
kx700ctl doctor --j|--json
kx700ctl profile |export import reset
kx700ctl --simulate monitor --a|--apply-first
kx700ctl sim-status --fail-reads |on off
kx700ctl sim-status --profile |0 1 2 3
CASES
}

# A sum of every file of a folder, to see that nothing in it changed.
folder_sum() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum) | sha256sum; }

check_run() {
  # A normal user where the machine has one to spare; else, as root, the data
  # folder made read-only (which stops nothing but shows intent) and the sums
  # below are what would see a write.
  local as=()
  chmod 755 "$work"
  if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && id nobody >/dev/null 2>&1; then
    as=(runuser -u nobody --)
  else
    chmod -R a-w "$data"
  fi
  local home="$work/home"
  mkdir -p "$home"
  [ ${#as[@]} -eq 0 ] || chown nobody "$home"
  local before
  before=$(folder_sum "$data")
  ctl() {
    "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home" "$usr/bin/kx700ctl" "$@" \
      >"$work/out" 2>&1
  }
  local user="$home/.local/share/kx700"
  ctl --sim-state "$home/mouse" apply || fail "apply: $(cat "$work/out")"
  for f in skins/config/config.ini skins/INI_EN/macro/macroGrp.ini skins/INI_CN/macro/macroGrp.ini; do
    need_file "$user/$f"
  done
  # The user's own change, applied and kept by the next run.
  sed -i 's/^K3=.*/K3=25/' "$user/skins/config/config.ini"
  ctl --sim-state "$home/mouse" apply || fail "second apply: $(cat "$work/out")"
  grep -qx 'K3=25' "$user/skins/config/config.ini" || fail "the user's change was not kept"
  ctl --sim-state "$home/mouse" describe || fail "describe: $(cat "$work/out")"
  grep -q 'button 3 (code 4): multimedia key, consumer usage 0x00E9' "$work/out" ||
    fail "the mouse was not programmed from the user's settings"
  # The desktop starts the installed window.
  ctl autostart on || fail "autostart on: $(cat "$work/out")"
  grep -qx "Exec=\"/usr/bin/kx700\" -HIDE" "$home/.config/autostart/$id.desktop" 2>/dev/null ||
    grep -qx "Exec=\"$usr/bin/kx700\" -HIDE" "$home/.config/autostart/$id.desktop" ||
    fail "the autostart entry does not start the installed kx700"
  [ "$(folder_sum "$data")" = "$before" ] || fail "the data folder was written"
  [ ! -e "$data/skins/config/config.ini.bak" ] || fail "a backup landed in the data folder"
  echo "ran as: ${as[*]:-$(id -un) with a read-only data folder}"
  chmod -R u+w "$data" 2>/dev/null || true
}

case "$group" in
  layout) check_layout ;;
  validate) check_validate ;;
  run) check_run ;;
  *) echo "unknown group $group"; exit 2 ;;
esac
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "$group: passed"
