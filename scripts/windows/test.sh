#!/usr/bin/env bash
# The Windows stage: cross-builds the programs and the test suites for Windows, runs the suites
# under Wine, programs the QX-7M emulator through Wine's COM port, builds the setup program and
# the portable zip, installs the setup program silently in a fresh Wine prefix, opens the
# installed program's port question on an X display of its own, uploads through the installed
# window ten times, and uninstalls it.
# Usage: test.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
start=$SECONDS
build=build-windows
source scripts/windows/wineprefix.sh
fail() { echo "windows: $*" >&2; exit 1; }

QX7M_QT_PREFIX=$(bash scripts/windows/qt.sh | tail -n 1)
export QX7M_QT_PREFIX
qt=$QX7M_QT_PREFIX

echo "== Windows build"
cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "-DCMAKE_CROSSCOMPILING_EMULATOR=bash;$PWD/scripts/windows/wine-test.sh" >/dev/null
cmake --build $build
# The Linux emulator, the Linux qx7m-upload, whose upload the Windows one must equal, and the library
# that lets Wine tell the Windows one of the emulator's answers.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build --target qx7m-sim qx7m-upload winecomport

# Wine in prefixes of this build's own: no Mono or Gecko to fetch (there is no network), no menu
# entries or file types on this computer's desktop, no debug chatter.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" WINEDEBUG=-all
newWinePrefix "$PWD/$build/wine-tests"
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Test suites under Wine"
# The suites run from the build folder, with Qt's DLLs, the MinGW runtime and the offscreen
# plug-in copied beside them (the installed programs get theirs from the setup program).
cp "$qt"/bin/Qt6{Core,Gui,Widgets,SerialPort,Test}.dll $build/
for library in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$library)" $build/
done
mkdir -p $build/platforms && cp "$qt/plugins/platforms/qoffscreen.dll" $build/platforms/
QT_QPA_PLATFORM=offscreen ctest --test-dir $build --output-on-failure | grep -v '^PASS\|^QWARN'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "a test suite failed under Wine"

echo "== Upload through Wine's COM port"
bash scripts/windows/upload.sh $build/qx7m-upload.exe

echo "== Setup program and portable zip"
(cd $build && cpack >/dev/null)
setup=$build/qx7m-programmer-1.2-win64-setup.exe
zip=$build/qx7m-programmer-1.2-win64.zip
[ -f $setup ] && [ -f $zip ] || fail "cpack made no $setup or $zip"
echo "$setup: $(du -k $setup | cut -f1) kB; $zip: $(du -k $zip | cut -f1) kB"

echo "== Setup, the installed programs, the window's uploads, uninstall"
bash scripts/windows/install.sh $setup
echo "Windows stage: $((SECONDS - start)) s"
