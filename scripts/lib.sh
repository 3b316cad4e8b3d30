# Shared by the scripts in this folder (sourced, not run): which Debian packages each job needs,
# and how to install the missing ones.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Building and running the desktop program.
run_packages=(build-essential cmake qt6-base-dev qt6-qpa-plugins fonts-ipafont-gothic)
# Everything the tests use besides: a private X server with XTEST for the end-to-end tests,
# a clipboard reader, screenshots, the desktop-file and AppStream validators, file(1) for
# CPack's .deb, valgrind, clang with libFuzzer, SVG rendering for the icons, PDF tools to read a
# printed page back, the browser page's toolchain and the three browsers its tests drive
# (WebKitGTK's MiniBrowser comes with its WebDriver and runs on a private X server), the
# Windows program's cross compiler and the 64-bit Wine that runs it, and Orca, the screen
# reader, with the accessibility bus and a session bus for its test.
test_packages=(
    xvfb xdotool xclip imagemagick x11-utils libx11-dev libxtst-dev
    desktop-file-utils appstream file
    valgrind clang libclang-rt-14-dev librsvg2-bin poppler-utils
    emscripten chromium firefox-esr webkit2gtk-driver
    g++-mingw-w64-x86-64-posix mingw-w64 wine wine64
    orca at-spi2-core python3-pyatspi dbus-x11
)
# The benchmarks: Google Benchmark, X DAMAGE to see a window's first frame, and the page's.
bench_packages=(libbenchmark-dev libxdamage-dev xvfb emscripten chromium)
# The browser page: Debian's Emscripten, driven by CMake and make.
web_packages=(emscripten cmake make)
# The Windows program: MinGW-w64's cross compiler (posix threads, whose runtime links
# statically), its headers and windres, and the build machine's compiler for the icon tool.
windows_packages=(g++-mingw-w64-x86-64-posix mingw-w64 build-essential cmake make)

# A tool that may also come from outside Debian's packages (a newer CMake, a Node.js of its
# own): present on the PATH counts as installed.
declare -A command_of=([cmake]=cmake [make]=make [build-essential]=g++ [file]=file
    [valgrind]=valgrind [emscripten]=em++ [chromium]=chromium [xvfb]=Xvfb [nodejs]=node
    [npm]=npm)

# True when the package, or a package that provides it, is installed, or its tool is on the PATH.
is_installed()
{
    local p=$1
    [ -n "${command_of[$p]:-}" ] && command -v "${command_of[$p]}" >/dev/null && return 0
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' && return 0
    dpkg-query -W -f='${Status}|${Provides}\n' 2>/dev/null \
        | grep '^install ok installed|' | grep -Eq "(\||, )$p( |,|$)"
}

# install_packages LOG-FILE PACKAGE... — installs the missing ones with apt-get, asking for sudo
# only for that and only when not root. apt's output goes to LOG-FILE; a one-line summary and
# any error show here.
install_packages()
{
    local log=$1 p missing=()
    shift
    for p in "$@"; do is_installed "$p" || missing+=("$p"); done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Brinmoor needs these Debian packages: ${missing[*]}" >&2
            echo "Install them as root, then run this again:" >&2
            echo "    apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    mkdir -p "$(dirname "$log")"
    echo "Installing ${#missing[@]} Debian packages (${missing[*]}); apt's log: $log"
    local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
    local part
    part=$(mktemp)
    if ! { "${apt[@]}" update && "${apt[@]}" install -y --no-install-recommends "${missing[@]}"; } \
        >"$part" 2>&1; then
        cat "$part" >>"$log"
        grep -E '^(E|W):' "$part" >&2 || tail -n 20 "$part" >&2
        rm -f "$part"
        echo "Installing packages failed; the whole log is in $log" >&2
        exit 1
    fi
    echo "Installed: $(grep -c '^Setting up ' "$part") packages set up."
    cat "$part" >>"$log"
    rm -f "$part"
}

# Node.js, npm and the pinned puppeteer-core and selenium-webdriver that drive the browsers for
# the page tests and the page benchmark. Debian's nodejs and npm only where none is on the
# PATH: a Node.js from elsewhere brings its own npm, which Debian's npm package conflicts with.
install_page_driver()
{
    install_packages "$1" nodejs npm
    mkdir -p "$(dirname "$1")"
    (cd "$root" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund) \
        >>"$1" 2>&1 || { tail -n 20 "$1" >&2; echo "npm ci failed; see $1" >&2; exit 1; }
}

# A build folder made while running as root (sudo scripts/test, say) in a checkout that belongs
# to someone else is handed to that owner, so that later builds as that user still work.
give_to_checkout_owner()
{
    local owner
    owner=$(stat -c %u "$root")
    if [ "$(id -u)" -eq 0 ] && [ "$owner" -ne 0 ]; then
        local d
        for d in "$@"; do [ -e "$d" ] && chown -R "$owner:$(stat -c %g "$root")" "$d"; done
    fi
    return 0
}
