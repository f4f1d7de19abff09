#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree: every file in place, the
# desktop validators content, and the installed command line finding its definition files
# from the prefix.
# Usage: installed-tree-test.sh BUILD_FOLDER SOURCE_FOLDER CONFIGURED_DATA_FOLDER
set -euo pipefail
build=$1
source=$2
configured=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Nothing the programs do may reach the user's own files.
# shellcheck source=scripts/sandbox-home.sh
source "$source/scripts/sandbox-home.sh"
enter_sandbox_home "$scratch"

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

id=io.github.hushvault.Hushvault
expected=(
  bin/hushvault bin/hushvault-cli
  share/hushvault/winclean.cln share/hushvault/webclean.cln
  share/hushvault/windows.pick share/hushvault/web.pick
  "share/hushvault/nautilus/Encrypt with Hushvault" "share/hushvault/nautilus/Wipe with Hushvault"
  share/hushvault/systemd/hushvault-clean.service share/hushvault/systemd/hushvault-clean.timer
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" "share/mime/packages/$id.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  share/man/man1/hushvault.1 share/man/man1/hushvault-cli.1
  share/bash-completion/completions/hushvault-cli share/kio/servicemenus/hushvault.desktop
)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || fail "not installed: $file"
done
for program in bin/hushvault bin/hushvault-cli "share/hushvault/nautilus/Encrypt with Hushvault" \
  "share/hushvault/nautilus/Wipe with Hushvault"; do
  [ -x "$prefix/$program" ] || fail "not executable: $program"
done
# Each PNG is drawn at the size its folder names.
for size in 16 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dimensions" = "${size}x${size}" ] || fail "$png is $dimensions"
done

validate() {
  local tool=$1
  shift
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh --tests installs it)"
    return
  fi
  "$tool" "$@" >"$scratch/validator" 2>&1 || fail "$tool $*: $(cat "$scratch/validator")"
}
validate desktop-file-validate "$prefix/share/applications/$id.desktop"
validate appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime"
  grep -q "application/x-hushvault-vault:\*.vlt" "$prefix/share/mime/globs" ||
    fail "*.vlt is not declared as application/x-hushvault-vault"
fi
grep -q "^MimeType=application/x-hushvault-vault;" "$prefix/share/applications/$id.desktop" ||
  fail "the desktop entry does not open .vlt files"

# The installed command line lists what the source's definition files hold.
"$build/src/cli/hushvault-cli" --config "$source/config" list >"$scratch/from-source"
if "$prefix/bin/hushvault-cli" list >"$scratch/installed" 2>"$scratch/errors"; then
  [ -s "$scratch/installed" ] || fail "hushvault-cli list printed nothing"
  cmp -s "$scratch/from-source" "$scratch/installed" ||
    fail "the installed list differs: $(diff "$scratch/from-source" "$scratch/installed" | head)"
else
  fail "installed hushvault-cli list: $(cat "$scratch/errors")"
fi

# The installed completion offers each command's own options.
framework=/usr/share/bash-completion/bash_completion
if [ -r "$framework" ]; then
  completions=(
    "|list preview clean presets wipe encrypt decrypt --config --help --version"
    "cl|clean"
    "--config /tmp pre|preview presets"
    "presets |list show save delete --help"
    "presets show --j|--json"
    "encrypt --|--password-file --password-fd --strong --help"
    "decrypt --password-|--password-file --password-fd"
    "wipe --|--yes --help"
  )
  for row in "${completions[@]}"; do
    typed=${row%%|*}
    got=$(
      # shellcheck source=/dev/null
      source "$framework" && source "$prefix/share/bash-completion/completions/hushvault-cli"
      read -ra COMP_WORDS <<<"hushvault-cli $typed"
      [[ $typed == *" " || -z $typed ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMP_LINE="hushvault-cli $typed" COMP_POINT=${#COMP_LINE}
      _hushvault_cli
      echo "${COMPREPLY[*]}"
    )
    [ "$got" = "${row#*|}" ] || fail "completing '$typed' offers '$got', not '${row#*|}'"
  done
else
  echo "SKIP: completion not checked: bash-completion is not installed"
fi

# A program with no definition files anywhere names every folder it looked in.
if [ ! -e "$configured" ]; then
  mkdir -p "$scratch/alone/bin"
  cp "$prefix/bin/hushvault-cli" "$scratch/alone/bin/"
  status=0
  "$scratch/alone/bin/hushvault-cli" list >/dev/null 2>"$scratch/errors" || status=$?
  [ "$status" -eq 3 ] || fail "without definition files the exit status is $status, not 3"
  for folder in "$scratch/alone/bin/config" "$scratch/alone/share/hushvault" "$configured"; do
    grep -qF "$folder" "$scratch/errors" ||
      fail "the message does not name $folder: $(cat "$scratch/errors")"
  done
fi

[ "$failures" -eq 0 ] && echo "installed tree: ${#expected[@]} files in place"
exit $((failures > 0))
