#!/usr/bin/env bash
# cmake --install under a scratch prefix lays out the programs, the data and the desktop files,
# and the installed marvo-cli plays an installed sample game with the installed library.
# Usage: install_layout_test.sh BUILD_DIR SCRATCH_DIR WITH_GUI(ON|OFF)
set -euo pipefail
build=$1 work=$2 gui=$3
rm -rf "$work"
mkdir -p "$work/play"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cd "$work/prefix"
expected=(bin/marvo-cli share/marvo/games/marvo.lib share/marvo/games/yarmarka.scn
          share/mime/packages/marvo.xml share/man/man1/marvo-cli.1.gz
          share/bash-completion/completions/marvo-cli share/doc/marvo/copyright
          share/doc/marvo/reference/README.md)
if [[ $gui == ON ]]; then
  expected+=(bin/marvo share/applications/marvo.desktop share/icons/hicolor/scalable/apps/marvo.svg
             share/metainfo/org.marvoif.marvo.metainfo.xml share/man/man1/marvo.1.gz)
fi
for f in "${expected[@]}"; do
  [[ -f $f ]] || { echo "install: missing $f"; exit 1; }
done
if find . -name 'CMakeLists.txt' -o -name '*.cmake' | grep -q .; then
  echo "install: build files installed as data"; exit 1
fi
if [[ -f share/applications/marvo.desktop ]] && command -v desktop-file-validate >/dev/null; then
  desktop-file-validate share/applications/marvo.desktop
fi
if [[ -f share/metainfo/org.marvoif.marvo.metainfo.xml ]] && command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic share/metainfo/org.marvoif.marvo.metainfo.xml >/dev/null
fi
cd "$work/play"
games=$work/prefix/share/marvo/games
printf '1\n' | "$work/prefix/bin/marvo-cli" play --no-clock --library "$games/marvo.lib" "$games/yarmarka.scn" >out.txt
grep -q 'Ярмарочные ворота' out.txt || { echo "install: the installed sample game did not answer"; cat out.txt; exit 1; }
echo "install: passed"
