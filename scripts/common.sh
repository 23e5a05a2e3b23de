# Shared by the scripts: where things are and which build runs the programs.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PRODUCT_BUILD="$ROOT/build"
JOBS=${JOBS:-$(nproc)}

# The product is 32-bit. Some machines (for example virtual machines
# without 32-bit user mode) cannot execute 32-bit code at all; there the
# programs that Wine runs are the 64-bit build of the same sources.
can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

run_arch() {
    if can_run_32bit; then echo i686; else echo x86_64; fi
}

build_dir_for() {
    if [ "$1" = i686 ]; then echo "$PRODUCT_BUILD"; else echo "$ROOT/build-x64"; fi
}

# A developer machine with ccache rebuilds unchanged files from its cache,
# shared between checkouts side by side (paths relative to the checkout).
compiler_launcher() {
    if command -v ccache >/dev/null 2>&1; then
        echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    fi
}
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}"

# configure_and_build ARCH [TARGET...]
# (sh has no local variables: the names here must not clash with callers'.)
configure_and_build() {
    cb_arch=$1; shift
    cb_dir=$(build_dir_for "$cb_arch")
    cmake -S "$ROOT" -B "$cb_dir" -DKESTREL_ARCH="$cb_arch" $(compiler_launcher) >"$cb_dir.configure.log" 2>&1 \
        || { cat "$cb_dir.configure.log"; return 1; }
    if [ $# -eq 0 ]; then
        cmake --build "$cb_dir" -j "$JOBS"
    else
        for cb_target in "$@"; do
            cmake --build "$cb_dir" -j "$JOBS" --target "$cb_target" || return 1
        done
    fi
}
