#!/usr/bin/env bash
# Installs the Debian 12 packages that zarn needs to build, test and run.
# As root it installs what is missing; otherwise it prints the exact apt-get line.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-format libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev nlohmann-json3-dev libjpeg-dev
    python3 fonts-dejavu-core xvfb xauth
    cups printer-driver-cups-pdf poppler-utils
    # The install test: validators of the desktop file and metainfo, the MIME database and
    # the generic desktop's look-ups (xdg-mime, File::MimeInfo, gio), the man pages; the
    # Debian package (dpkg-shlibdeps).
    desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
    libglib2.0-bin man-db groff-base dpkg-dev file
    # A real spreadsheet reads the text export in the tests (about 80 MB to download).
    libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "zarn needs these Debian packages. Install them as root with:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
