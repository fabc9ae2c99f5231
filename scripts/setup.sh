#!/usr/bin/env bash
# Installs what building, running and testing Vandrel needs on Debian 12,
# skipping what is already there. Run as root or with sudo available.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev
    qt6-svg-dev  # renders the larger theme icons from the scalable drawing at build time
    libgtest-dev googletest
    clang libclang-rt-14-dev
    clang-format
    fonts-ipafont-gothic fonts-liberation
    qt6-translations-l10n  # Qt's own dialogs and context menus in Japanese
    libxcb1-dev  # the eyedropper keeps its picture on the X server
    libxcb-shm0-dev  # on Xwayland it hands the compositor's copy to that server through shared memory
    libwayland-dev libwayland-bin  # and asks a Wayland compositor for a copy of its outputs
    libxcb-res0-dev  # the eyedropper's test and benchmark ask the X server what the program holds there
    xvfb xdotool xclip x11-utils x11-apps x11-xserver-utils imagemagick openbox
    wmctrl  # the end-to-end tests close a window through the window manager, as its close box does
    appstream desktop-file-utils
    dpkg-dev file lintian  # the Debian package: library dependencies, file types, its check
    qt6-wayland  # Qt's Wayland platform, for Wayland desktops without Xwayland
    dbus-daemon  # a private session bus for the desktop portal's tests
    sway swaybg grim xwayland pipewire  # the headless Wayland desktop of the end-to-end tests
    xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk  # and its screenshot portal
    python3
    chromium  # the browser that judges the CSS colour texts the program writes and reads
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
