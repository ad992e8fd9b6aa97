#!/usr/bin/env bash
# The Debian package, as a user gets it: its files unpacked into a scratch root (dpkg -x), both
# programs run from there (the desktop program under a virtual display, opening an installed
# example, writing no association of its own), and, when run as root on a machine without
# Axolite installed, installed with dpkg and removed without leftovers.
# Usage: package_test.sh PACKAGE_FOLDER
set -uo pipefail
package=$(ls "$1"/axolite_*.deb)
version=$(dpkg-deb -f "$package" Version)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}" >/dev/null 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1"
    fi
}

root=$scratch/root
dpkg -x "$package" "$root"
usr=$root/usr
for file in bin/axolite bin/axolite-cli \
    share/applications/org.axolite.Axolite.desktop \
    share/mime/packages/axolite.xml \
    share/metainfo/org.axolite.Axolite.metainfo.xml \
    share/icons/hicolor/scalable/apps/axolite.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-axolite-network.svg \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/axolite.png \
    share/man/man1/axolite.1.gz share/man/man1/axolite-cli.1.gz \
    share/man/ru/man1/axolite.1.gz share/man/ru/man1/axolite-cli.1.gz \
    share/bash-completion/completions/axolite-cli \
    share/axolite/examples/ring.net share/axolite/examples/models/1.neu \
    share/doc/axolite/copyright share/doc/axolite/changelog.gz; do
    check "$file is in the package" test -s "$usr/$file"
done
check "the validators accept the desktop entry" \
    desktop-file-validate "$usr/share/applications/org.axolite.Axolite.desktop"
check "the validators accept the metadata" \
    appstreamcli validate --no-net "$usr/share/metainfo/org.axolite.Axolite.metainfo.xml"
check "the manual pages render" bash -c "man -l '$usr/share/man/man1/axolite-cli.1.gz' | grep -q -- --write-net"
check "the completion knows the commands" \
    bash -ec "source '$usr/share/bash-completion/completions/axolite-cli' && COMP_WORDS=(axolite-cli tr); COMP_CWORD=1; _axolite_cli; [ \"\${COMPREPLY[*]}\" = train ]; COMP_WORDS=(axolite-cli plot --sv); COMP_CWORD=2; _axolite_cli; [ \"\${COMPREPLY[*]}\" = --svg ]"

# Both programs from the scratch root.
check "axolite-cli --version" bash -c "[ \"\$('$usr/bin/axolite-cli' --version)\" = 'axolite-cli $version' ]"
check "axolite --version" bash -c "[ \"\$('$usr/bin/axolite' --version)\" = 'axolite $version' ]"
examples=$usr/share/axolite/examples
check "axolite-cli runs an installed example" \
    "$usr/bin/axolite-cli" run "$examples/ring.net" --models "$examples/models"
python_site=$(ls -d "$usr"/lib/python3*/dist-packages)
check "the Python module imports from the package and runs an installed example" \
    env PYTHONPATH="$python_site" /usr/bin/python3 -c \
    "import axolite; assert axolite.run('$examples/ring.net', models='$examples/models').steps == 2000"
work=$scratch/work
mkdir -p "$work/data"
(cd "$work" && XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb timeout 20 xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c "'$usr/bin/axolite' '$examples/ring.net' & sleep 4; kill \$!; wait \$!" \
    >/dev/null 2>&1)
check "the program opened the installed example (its recent-files list names it)" \
    grep -q "ring.net" "$work/Axolite.ini"
check "an installed program writes no association of its own" \
    test ! -e "$work/data/applications/axolite.desktop"

# Installed and removed by dpkg, where that cannot disturb an installation of the machine's.
if [ "$(id -u)" -eq 0 ] && ! dpkg -s axolite >/dev/null 2>&1; then
    files=$(dpkg-deb -c "$package" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$')
    check "dpkg installs the package" dpkg -i "$package"
    check "the installed axolite-cli runs" bash -c "[ \"\$(/usr/bin/axolite-cli --version)\" = 'axolite-cli $version' ]"
    check "dpkg removes the package" dpkg --purge axolite
    leftovers=0
    for file in $files; do
        if [ -e "$file" ]; then
            echo "left after removal: $file"
            leftovers=1
        fi
    done
    check "nothing of the package is left" test "$leftovers" -eq 0
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
