#!/bin/sh
# package_deb.sh BUILD_DIR VERSION
# Packs the build with cpack into a temporary folder, checks the package,
# unpacks it into a scratch root and runs its launcher there twice with a
# temporary HOME, as the desktop entry would.
set -eu
build=$1
version=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg dpkg-shlibdeps xvfb-run lintian; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./dev.sh installs it)"
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velnora-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# Nothing of the developer's environment may point the program at the sources.
unset VELNORA_ASSETS VELNORA_CLI XDG_DATA_HOME QT_QPA_PLATFORM

echo "== cpack"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$tmp/out/velnora_${version}_amd64.deb
[ -f "$deb" ] || { ls "$tmp/out" >&2; fail "no velnora_${version}_amd64.deb"; }

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velnora ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends)
echo "Depends: $depends"
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' >"$tmp/depends"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 libmdb3; do
    grep -qxF "$lib" "$tmp/depends" || fail "Depends lacks $lib"
done

echo "== file list"
dpkg-deb -c "$deb" >"$tmp/contents"
awk '{ print $6 }' "$tmp/contents" | sed 's|^\./|/|; s|/$||' >"$tmp/paths"
for f in /usr/bin/velnora /usr/bin/velnora-cli /usr/bin/velnora-cli-report /usr/bin/velnora-launcher \
         /usr/share/velnora/starter/starter.sql /usr/share/velnora/help/notes.rtf \
         /usr/share/velnora/mess_completed.rpt /usr/share/velnora/map/zoom.gif \
         /usr/share/velnora/pics/001.jpg /usr/share/velnora/pics/planets/p001.jpg \
         /usr/share/applications/velnora.desktop /usr/share/icons/hicolor/scalable/apps/velnora.svg \
         /usr/share/doc/velnora/copyright /usr/share/doc/velnora/changelog.gz \
         /usr/share/man/man1/velnora.1.gz /usr/share/man/man1/velnora-cli.1.gz /usr/share/man/man1/velnora-launcher.1.gz \
         /usr/share/doc/velnora/LICENSES.md /usr/share/doc/velnora/LICENSE-CC-BY-SA-4.0.txt; do
    grep -qx "$f" "$tmp/paths" || fail "the package lacks $f"
done
grep -v -e '^/usr' -e '^/$' "$tmp/paths" && fail "files outside /usr"
grep -q '/tst_' "$tmp/paths" && fail "a test program was packed"
grep ' \./usr/bin/.' "$tmp/contents" | grep -v '^-rwxr-xr-x root/root ' && fail "a program is not 0755 root:root"

echo "== lintian"
lintian --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1 || true
cat "$tmp/lintian"
grep -q '^E: ' "$tmp/lintian" && fail "lintian reports errors"

echo "== install into a scratch root"
root=$tmp/root
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/velnora-cli" --version)" = "velnora-cli $version" ] || fail "velnora-cli --version"
launcher=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/velnora.desktop")
[ -x "$root/usr/bin/$launcher" ] || fail "the desktop entry's command $launcher is not installed"
# A marker in the installed starter shows the new store came from the package.
echo "CREATE TABLE installed_starter_marker (x);" >>"$root/usr/share/velnora/starter/starter.sql"

export HOME="$tmp/home"
mkdir -p "$HOME"
data=$HOME/.local/share/velnora
start() {
    timeout 120 xvfb-run -a "$root/usr/bin/$launcher" --quit-after-start >"$tmp/run.log" 2>&1 \
        || { cat "$tmp/run.log" >&2; fail "the program did not start and quit cleanly"; }
}
query() { (cd "$data" && "$root/usr/bin/velnora-cli" query "$1"); }

echo "== first start"
start
[ -f "$data/velnora.db" ] || fail "no velnora.db in $data"
[ -f "$data/help/notes.rtf" ] && [ -f "$data/map/zoom.gif" ] && [ -f "$data/sacsearch2.rpt" ] \
    || fail "the data folder lacks the program's documents"
[ -e "$data/starter" ] && fail "the starter catalogue was copied into the user's folder"
query "select count(*) from installed_starter_marker" >/dev/null \
    || fail "the store was not made from the installed starter catalogue"
[ "$(query "select count(*) as n from mess" | tail -n 1)" -eq 110 ] || fail "mess does not hold 110 objects"

echo "== between the starts: an observation, an edited document, a lost file, an upgrade"
query "update mess set completed = 1, date = '2025-01-15', view_notes = 'Trapezium split at 120x' where mes = '42'" \
    >/dev/null || fail "the observation could not be written"
printf '%s\n' '{\rtf1 my own notes}' >"$data/help/notes.rtf"
rm "$data/map/zoom.gif"
echo "% newer layout" >>"$root/usr/share/velnora/sacsearch2.rpt"
echo "{\\par a newer note}" >>"$root/usr/share/velnora/help/notes.rtf"

echo "== second start"
start
[ "$(query "select view_notes from mess where mes = '42'" | tail -n 1)" = "Trapezium split at 120x" ] \
    || fail "the observation written between the starts is gone"
[ "$(cat "$data/help/notes.rtf")" = '{\rtf1 my own notes}' ] || fail "the user's edited notes.rtf was overwritten"
cmp -s "$data/sacsearch2.rpt" "$root/usr/share/velnora/sacsearch2.rpt" || fail "the upgraded layout was not brought in"
[ -e "$data/map/zoom.gif" ] && fail "the map the user deleted was laid in again"
grep -q "zoom.gif" "$data/.velnora-shipped" || fail "the deleted map's record was dropped"

echo "== a relative XDG_DATA_HOME, an unreadable file, a folder that cannot be written"
(mkdir -p "$tmp/elsewhere" && cd "$tmp/elsewhere" && XDG_DATA_HOME=relative start)
[ -e "$tmp/elsewhere/relative" ] && fail "a relative XDG_DATA_HOME was used"
# Permissions do not hold back root, so these starts run as nobody.
if command -v setpriv >/dev/null && [ "$(id -u)" -eq 0 ]; then
    nobody_start() {
        HOME=$HOME setpriv --reuid=65534 --regid=65534 --clear-groups \
            timeout 120 xvfb-run -a "$root/usr/bin/$launcher" --quit-after-start >"$tmp/run.log" 2>&1 \
            || { cat "$tmp/run.log" >&2; fail "the program did not start as nobody: $1"; }
    }
    chmod -R a+rX "$tmp" && chown -R 65534:65534 "$data"
    chmod 000 "$data/help/notes.rtf"
    nobody_start "an unreadable file"
    chmod 644 "$data/help/notes.rtf"
    [ "$(cat "$data/help/notes.rtf")" = '{\rtf1 my own notes}' ] || fail "an unreadable file was replaced"
    chmod 555 "$data"
    nobody_start "a folder that cannot be written"
    grep -q "cannot be written: Velnora starts read-only" "$tmp/run.log" || fail "no read-only notice"
    chmod 755 "$data"
fi

echo "PASS"
