#!/usr/bin/env bash
# The Debian package of this build, as a user gets it: packed by CPack,
# its files and dependencies read back with dpkg-deb, unpacked with dpkg -x
# and run from there; its desktop entry, AppStream metainfo and manual pages
# validated, and lintian without errors. Exits 77 (skipped) without the
# Debian tools.
# Usage: package.sh BUILD_DIR
set -euo pipefail
build=$1

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli groff update-mime-database gio; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/package installs what it needs)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
package=$(ls "$work"/vorlen_*_*.deb 2>/dev/null) || fail "no vorlen_<version>_<arch>.deb"
version=$(dpkg-deb -f "$package" Version)
[ "$version" = "$("$build/tools/match/vorlen-match" --version | cut -d' ' -f2)" ] || fail "the package's version $version is not the programs'"
[ "$(basename "$package")" = "vorlen_${version}_$(dpkg --print-architecture).deb" ] || fail "named $(basename "$package")"

depends=$(dpkg-deb -f "$package" Depends)
for needed in bubblewrap libqt6widgets6 libqt6charts6 libsimdjson14 libc6; do
  grep -q "\b$needed\b" <<<"$depends" || fail "no dependency on $needed in: $depends"
done
files=$(dpkg-deb -c "$package" | awk '{print $6}')
for expected in ./usr/bin/vorlen ./usr/bin/vorlen-match ./usr/bin/vorlen-ladder ./usr/share/man/man1/vorlen.1.gz \
  ./usr/share/man/man1/vorlen-match.1.gz ./usr/share/man/man1/vorlen-ladder.1.gz ./usr/share/applications/org.vorlen.vorlen.desktop \
  ./usr/share/metainfo/org.vorlen.vorlen.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/org.vorlen.vorlen.svg \
  ./usr/share/mime/packages/org.vorlen.vorlen.xml \
  ./usr/share/icons/hicolor/48x48/apps/org.vorlen.vorlen.png ./usr/share/doc/vorlen/bots.md \
  ./usr/share/doc/vorlen/copyright ./usr/share/doc/vorlen/changelog.gz \
  ./usr/share/doc/vorlen/examples/bots/random_bot.py ./usr/libexec/vorlen/vorlen-box \
  ./usr/share/doc/vorlen/examples/starter/README.md ./usr/share/doc/vorlen/examples/starter/python/strategy.py \
  ./usr/share/doc/vorlen/examples/starter/cpp/Makefile ./usr/share/doc/vorlen/examples/starter/java/Board.java \
  ./usr/share/doc/vorlen/examples/starter/node/stream_bot.js; do
  grep -qx -- "$expected" <<<"$files" || fail "$expected is not in the package"
done

grep -qx '\./usr/lib/python3/dist-packages/vorlen\.cpython-[0-9]*-.*\.so' <<<"$files" || fail "no Python module where Debian's Python finds it"

dpkg -x "$package" "$work/root"
root=$work/root/usr
"$root/bin/vorlen-match" --version | grep -qx "vorlen-match $version" || fail "vorlen-match --version"
"$root/bin/vorlen" --version | grep -qx "vorlen $version" || fail "vorlen --version"
"$root/bin/vorlen-ladder" --version | grep -qx "vorlen-ladder $version" || fail "vorlen-ladder --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/vorlen" --help | grep -q '^Usage: vorlen' \
  || fail "vorlen --help opens no window and prints the options"
# Boxed, as installed: the launcher is found beside the programs. A root
# referee's boxed bots run as nobody, so the unpacked tree is open to all.
chmod 755 "$work"
(cd "$work" && "$root/bin/vorlen-match" --sandbox --games 2 --swap --seed 3 \
  --first "stream:python3 $root/share/doc/vorlen/examples/bots/random_stream_bot.py" >match.txt 2>/dev/null) \
  || fail "a boxed match with the unpacked programs"
grep -q '^Matches played: 4 of 4' "$work/match.txt" || fail "the unpacked match did not play"
grep -q 'in a box per seat' "$work/match.txt" || fail "the unpacked match did not run its bot in a box"
! grep -q 'failed to start' "$work/match.txt" || fail "the unpacked bot did not start in its box"

PYTHONPATH=$root/lib/python3/dist-packages /usr/bin/python3 -c '
import vorlen
board = vorlen.Board("\n".join("1" * 44 + "3" for _ in range(41)))
assert board.legal() == [2, 4, 5, 6] and board.play(2).scores() == (1804, 41) and vorlen.greedy(board) == 2
' || fail "the packaged Python module does not import or play"

desktop-file-validate "$root/share/applications/org.vorlen.vorlen.desktop" || fail "desktop entry"
# A replay is known by its content, whatever its name; other JSON is not one.
mkdir -p "$work/data/mime/packages"
cp "$root/share/mime/packages/org.vorlen.vorlen.xml" "$work/data/mime/packages/"
cp /usr/share/mime/packages/freedesktop.org.xml "$work/data/mime/packages/"
XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/data update-mime-database "$work/data/mime" 2>&1 | grep . >&2 && fail "the MIME type does not read cleanly"
(cd "$work" && "$root/bin/vorlen-match" --games 1 --seed 3 --replays replays >/dev/null 2>&1) || fail "no replay to type"
cp "$work/replays/game-0.json" "$work/match-of-today"
echo '{"format": "something else"}' > "$work/other.json"
content_type() { XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/data gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p'; }
[ "$(content_type "$work/replays/game-0.json")" = application/x-vorlen-replay ] || fail "a replay is typed $(content_type "$work/replays/game-0.json")"
[ "$(content_type "$work/match-of-today")" = application/x-vorlen-replay ] || fail "a replay without .json is not known"
[ "$(content_type "$work/other.json")" = application/json ] || fail "other JSON is typed $(content_type "$work/other.json")"
grep -qx 'Exec=vorlen --replay %f' "$root/share/applications/org.vorlen.vorlen.desktop" || fail "the desktop entry takes no file"
grep -q '^MimeType=application/x-vorlen-replay;$' "$root/share/applications/org.vorlen.vorlen.desktop" || fail "no MIME type in the desktop entry"
appstreamcli validate --no-net "$root/share/metainfo/org.vorlen.vorlen.metainfo.xml" >/dev/null || fail "AppStream metainfo"
for page in vorlen vorlen-match vorlen-ladder; do
  warnings=$(zcat "$root/share/man/man1/$page.1.gz" | groff -ww -man -z 2>&1)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
lintian --fail-on error "$package" 2>&1 | grep -v 'root privileges' >&2 || true
lintian --fail-on error "$package" >/dev/null 2>&1 || fail "lintian reports errors"
echo "1 passed, 0 failed"
