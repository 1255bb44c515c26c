# Sourced by run.sh and test.sh: which Windows build this machine can run under Wine.
# The programs ship as 32-bit code; a kernel without 32-bit support (its i386 loader answers
# "Exec format error") runs 32-bit Wine not at all, so there the same sources are built for
# x86-64 and run under 64-bit Wine instead. VELMOR_WINDOWS_TREE=win32|win64 overrides.
windows_tree=${VELMOR_WINDOWS_TREE:-}
if [ -z "$windows_tree" ]; then
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    windows_tree=win32
  else
    windows_tree=win64
  fi
fi
case "$windows_tree" in
  win32) windows_toolchain=cmake/mingw-i686.cmake ;;
  win64) windows_toolchain=cmake/mingw-x86_64.cmake
         echo "note: this kernel runs no 32-bit code; the Windows tree is built for x86-64 (build/win64)" ;;
  *) echo "VELMOR_WINDOWS_TREE must be win32 or win64" >&2; exit 64 ;;
esac
windows_build=build/$windows_tree
