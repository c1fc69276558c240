#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what landed there: the programs, the manual
# where Help finds it, the desktop entry, icons and metainfo (validated), the man pages (rendered),
# the completion, the user service (verified where systemd runs) and the udev rule.
# Usage: check-install.sh BUILD_DIR
set -uo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix/usr" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected=(
    usr/bin/orlamo usr/bin/orlamo-cli usr/bin/modemsim
    usr/share/doc/orlamo/manual/index.html
    usr/share/applications/org.example.Orlamo.desktop
    usr/share/metainfo/org.example.Orlamo.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/orlamo.svg
    usr/share/icons/hicolor/16x16/apps/orlamo.png usr/share/icons/hicolor/32x32/apps/orlamo.png
    usr/share/icons/hicolor/48x48/apps/orlamo.png usr/share/icons/hicolor/64x64/apps/orlamo.png
    usr/share/icons/hicolor/128x128/apps/orlamo.png usr/share/icons/hicolor/256x256/apps/orlamo.png
    usr/share/man/man1/orlamo.1 usr/share/man/man1/orlamo-cli.1 usr/share/man/man1/modemsim.1
    usr/share/doc/orlamo/manual/man/orlamo.1.html usr/share/doc/orlamo/manual/man/orlamo-cli.1.html
    usr/share/doc/orlamo/manual/man/modemsim.1.html
    usr/share/bash-completion/completions/orlamo-cli
    usr/lib/systemd/user/orlamo-recorder.service
    usr/lib/udev/rules.d/70-orlamo-modem.rules
)
for f in "${expected[@]}"; do
    [[ -e "$prefix/$f" ]] || fail "missing $f"
done
# Nothing else: a stray file in a package is a file nobody looks after.
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
declare -A wanted
for f in "${expected[@]}"; do wanted[$f]=1; done
for f in $actual; do
    # The manual's pictures are whatever scripts/screenshot takes; the link check below keeps them honest.
    [[ $f == usr/share/doc/orlamo/manual/images/*.png ]] && continue
    # Not through a pipe: grep -q leaving early would fail the pipe (pipefail) for a file that is expected.
    [[ -n ${wanted[$f]:-} ]] || fail "unexpected $f"
done
# Every picture and page the manual links to is installed beside it.
manual="$prefix/usr/share/doc/orlamo/manual"
for link in $(grep -oE '(src|href)="[^"#:]+"' "$manual/index.html" | sed -E 's/^(src|href)="//; s/"$//'); do
    [[ -f "$manual/$link" ]] || fail "the manual links to $link, which is not installed"
done

[[ -x "$prefix/usr/bin/orlamo-cli" ]] && {
    version=$("$prefix/usr/bin/orlamo-cli" --version 2>&1) || fail "orlamo-cli --version: $version"
    [[ $version == *0.1.0* ]] || fail "orlamo-cli --version printed: $version"
}

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$prefix/usr/share/applications/org.example.Orlamo.desktop" 2>&1) || fail "desktop-file-validate: $out"
else
    echo "SKIP: desktop-file-validate is not installed (scripts/setup installs it)"
fi
if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net --pedantic "$prefix/usr/share/metainfo/org.example.Orlamo.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $out"
else
    echo "SKIP: appstreamcli is not installed (scripts/setup installs it)"
fi
if command -v man >/dev/null; then
    for page in orlamo orlamo-cli modemsim; do
        out=$(MANWIDTH=80 man -l "$prefix/usr/share/man/man1/$page.1" 2>&1 >/dev/null) ||
            fail "man -l $page.1: $out"
        [[ -z $out ]] || fail "man -l $page.1 warned: $out"
        rendered=$(MANWIDTH=80 man -l "$prefix/usr/share/man/man1/$page.1" 2>/dev/null)
        [[ $rendered == *SYNOPSIS* ]] || fail "$page.1 renders no SYNOPSIS"
    done
else
    echo "SKIP: man is not installed (scripts/setup installs man-db)"
fi
grep -q "^ExecStart=$prefix/usr/bin/orlamo-cli record$\|^ExecStart=/usr/bin/orlamo-cli record$\|^ExecStart=.*/bin/orlamo-cli record$" \
    "$prefix/usr/lib/systemd/user/orlamo-recorder.service" || fail "the service does not run orlamo-cli record"
if [[ -d /run/systemd/system ]] && command -v systemd-analyze >/dev/null; then
    out=$(systemd-analyze --user verify "$prefix/usr/lib/systemd/user/orlamo-recorder.service" 2>&1) ||
        fail "systemd-analyze verify: $out"
else
    echo "SKIP: systemd is not running here; systemd-analyze verify not run"
fi
bash -n "$prefix/usr/share/bash-completion/completions/orlamo-cli" || fail "the completion is not valid bash"

((failures == 0)) && echo "install: all checks passed"
exit $((failures > 0))
