# Cross-builds for Debian's arm64 (64-bit Raspberry Pi OS among them) with Debian's cross
# toolchain (crossbuild-essential-arm64) and its multiarch :arm64 libraries. Only the arm64
# libraries and pkg-config files are looked at: the machine's own would be found first
# otherwise. Programs built for testing run under qemu-aarch64.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
