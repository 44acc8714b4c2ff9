#!/usr/bin/env bash
# Makes the portable release dist/Vornel-<version>-linux-x86_64.tar.gz: one
# program folder that runs on a desktop Linux without Qt or the build's other
# packages installed. It holds
#   vornel, Guida.pdf, unins000.dll   as the build makes them (the program without
#               its debugging information; the password file written afresh,
#               so it is the initial one whatever the build's copy went through)
#   lib/        every shared library the program loads beyond the base below
#   plugins/    the Qt plugins it needs, qt.conf pointing Qt at them
#   translations/  Qt's Italian translation
#   fonts/      the fonts the layouts are drawn with, and their licences
#   LICENZE/    the licences of everything bundled
# The executable finds lib/ through $ORIGIN in its RUNPATH, and so do the
# libraries and plugins: no LD_LIBRARY_PATH, no wrapper script. The archive
# holds no symbolic links (libraries are named by their SONAME), so the folder
# also survives a FAT-formatted USB stick.
#
#   scripts/package.sh               installs what is missing, builds, packs
#   scripts/package.sh --no-build    packs what the build folder holds now
# Options: --build-dir DIR (default: build)   --out DIR (default: dist)
#          --program-dir DIR (default: <build dir>/program)
#          --list-base   prints the libraries taken as part of the base system
set -euo pipefail

# --- The base system: libraries every desktop Linux has, never bundled -------
# Reference: the AppImage project's exclude list (pkg2appimage/excludelist).
# Of it we keep what is part of the system's core or drivers and is present on a
# minimal Debian with X11 and GL installed; bundling these would clash with the
# machine's own kernel interface, graphics driver or font configuration.
base_libs=(
    # glibc and the dynamic loader: must match the running system.
    ld-linux-x86-64.so.2 libc.so.6 libm.so.6 libmvec.so.1 libdl.so.2 libpthread.so.0
    librt.so.1 libresolv.so.2 libutil.so.1 libanl.so.1 libBrokenLocale.so.1 libthread_db.so.1
    libnss_compat.so.2 libnss_dns.so.2 libnss_files.so.2 libnss_hesiod.so.2
    # The C++ runtime of the system's compiler: a bundled older copy breaks
    # graphics drivers that need the system's newer one.
    libstdc++.so.6 libgcc_s.so.1
    # OpenGL/EGL/GLX loaders and the driver's pieces: they belong to the
    # installed graphics driver.
    libGL.so.1 libEGL.so.1 libGLX.so.0 libGLdispatch.so.0 libglapi.so.0 libgbm.so.1
    libdrm.so.2
    # X11 client libraries: they must match the system's libxcb. Qt's xcb
    # platform also opens libXcursor (with libXfixes, libXrender) by itself
    # when the desktop has it, for the cursor theme.
    libX11.so.6 libX11-xcb.so.1 libxcb.so.1 libxcb-dri2.so.0 libxcb-dri3.so.0
    libXcursor.so.1 libXfixes.so.3 libXrender.so.1
    # Font configuration and rendering: they read the system's font configuration.
    libfontconfig.so.1 libfreetype.so.6 libexpat.so.1
    # Compression and small system libraries every distribution installs.
    libz.so.1 libgpg-error.so.0 libgmp.so.10 libcom_err.so.2 libuuid.so.1
    # Loaded only on behalf of the base libraries above (libxcb, freetype),
    # so they come from the same system.
    libXau.so.6 libXdmcp.so.6 libbsd.so.0 libmd.so.0 libbrotlidec.so.1 libbrotlicommon.so.1
)
# Bundled although the exclude list names them, because Qt links them directly
# and a minimal Debian with X11 and GL (libgl1, libegl1) may lack them:
#   libOpenGL.so.0 (glvnd's entry points, only in libopengl0; the program never
#   draws with OpenGL), libharfbuzz.so.0, libICE.so.6 and libSM.so.6 (these two
#   come only with some X11 packages).

# The Qt plugins the program needs, by folder of the Qt plugin tree.
qt_plugins=(
    platforms/libqxcb.so
    platforms/libqoffscreen.so
    xcbglintegrations/libqxcb-glx-integration.so
    xcbglintegrations/libqxcb-egl-integration.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    imageformats/libqsvg.so
    iconengines/libqsvgicon.so
    printsupport/libcupsprintersupport.so
)

cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=build
program_dir=""
out_dir=dist
do_build=1
while [ $# -gt 0 ]; do
    case "$1" in
    --no-build) do_build=0 ;;
    --build-dir) build_dir=$2; shift ;;
    --program-dir) program_dir=$2; shift ;;
    --out) out_dir=$2; shift ;;
    --list-base) printf '%s\n' "${base_libs[@]}"; exit 0 ;;
    *) echo "usage: scripts/package.sh [--no-build] [--build-dir DIR] [--program-dir DIR] [--out DIR] [--list-base]" >&2; exit 2 ;;
    esac
    shift
done

if [ $do_build -eq 1 ]; then
    scripts/install-deps.sh
    scripts/build.sh
fi
for tool in patchelf objcopy ldd dpkg-query tar gzip; do
    if ! command -v $tool >/dev/null 2>&1; then
        echo "package.sh: '$tool' is missing (scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

build_dir=$(cd "$build_dir" && pwd)
[ -n "$program_dir" ] || program_dir=$build_dir/program
for f in vornel Guida.pdf fonts; do
    if [ ! -e "$program_dir/$f" ]; then
        echo "package.sh: $program_dir/$f is missing: build first (scripts/build.sh)" >&2
        exit 1
    fi
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ -n "$version" ] || version=$(sed -n 's/^project(Vornel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=Vornel-$version
archive_name=$name-linux-x86_64.tar.gz

qtpaths=$(command -v qtpaths6 || command -v /usr/lib/qt6/bin/qtpaths6 || command -v qtpaths || true)
if [ -z "$qtpaths" ]; then
    echo "package.sh: qtpaths6 not found (Debian package qt6-base-dev-tools)" >&2
    exit 1
fi
qt_plugin_dir=$("$qtpaths" --query QT_INSTALL_PLUGINS)
qt_translation_dir=$("$qtpaths" --query QT_INSTALL_TRANSLATIONS)

mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
work=$(mktemp -d "$out_dir/.package.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/$name
mkdir -p "$stage/lib" "$stage/plugins" "$stage/translations" "$stage/LICENZE"

is_base() {
    local n
    for n in "${base_libs[@]}"; do
        [ "$n" = "$1" ] && return 0
    done
    return 1
}

# --- The closure: every library the executable and the plugins need, walked
# through DT_NEEDED on this machine's copies, stopping at the base. Names are
# found as the loader finds them: in its cache, else through ldd.
declare -A cache=()     # SONAME -> path, from the loader's cache
while read -r soname kind arrow path; do
    [ "$arrow" = "=>" ] || continue
    case "$kind" in *x86-64*) [ -n "${cache[$soname]:-}" ] || cache[$soname]=$path ;; esac
done < <(ldconfig -p 2>/dev/null || /sbin/ldconfig -p)
declare -A bundled=()   # SONAME -> path on this machine
sources=()              # every file of this machine whose package licence ships
queue=("$program_dir/vornel")
for p in "${qt_plugins[@]}"; do
    if [ ! -f "$qt_plugin_dir/$p" ]; then
        echo "package.sh: Qt plugin $qt_plugin_dir/$p is missing" >&2
        exit 1
    fi
    queue+=("$qt_plugin_dir/$p")
    sources+=("$qt_plugin_dir/$p")
done
while [ ${#queue[@]} -gt 0 ]; do
    obj=${queue[0]}
    queue=("${queue[@]:1}")
    for soname in $(patchelf --print-needed "$obj"); do
        is_base "$soname" && continue
        [ -n "${bundled[$soname]:-}" ] && continue
        path=${cache[$soname]:-}
        if [ -z "$path" ]; then
            path=$(ldd "$obj" | awk -v n="$soname" '$1 == n && $2 == "=>" { print $3 }')
        fi
        if [ -z "$path" ] || [ ! -f "$path" ]; then
            echo "package.sh: $obj needs $soname, which is not installed" >&2
            exit 1
        fi
        bundled[$soname]=$path
        sources+=("$path")
        queue+=("$path")
    done
done

# --- The folder ---------------------------------------------------------------
cp "$program_dir/vornel" "$program_dir/Guida.pdf" "$stage/"
# The build's debugging information stays behind (it is most of the file).
objcopy --strip-debug "$stage/vornel"
"$build_dir/makepassword" "$stage/unins000.dll"
patchelf --set-rpath '$ORIGIN/lib' "$stage/vornel"

for soname in "${!bundled[@]}"; do
    cp -L "${bundled[$soname]}" "$stage/lib/$soname"
    chmod 644 "$stage/lib/$soname"
    patchelf --set-rpath '$ORIGIN' "$stage/lib/$soname"
done
for p in "${qt_plugins[@]}"; do
    mkdir -p "$stage/plugins/$(dirname "$p")"
    cp -L "$qt_plugin_dir/$p" "$stage/plugins/$p"
    chmod 644 "$stage/plugins/$p"
    patchelf --set-rpath '$ORIGIN/../../lib' "$stage/plugins/$p"
done

# Qt looks for its plugins and translations beside the executable.
printf '[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n' > "$stage/qt.conf"
if [ -f "$qt_translation_dir/qtbase_it.qm" ]; then
    cp -L "$qt_translation_dir/qtbase_it.qm" "$stage/translations/"
    sources+=("$qt_translation_dir/qtbase_it.qm")
fi

cp -rL "$program_dir/fonts" "$stage/fonts"

# --- Licences: each bundled file's Debian package and its copyright file ------
# dpkg records the library paths of before the /usr merge, so each file is
# asked for under both spellings.
lookups=()
mapfile -t real < <(readlink -f "${sources[@]}")
for f in "${sources[@]}" "${real[@]}"; do
    lookups+=("$f")
    case "$f" in
    /usr/lib/*) lookups+=("${f#/usr}") ;;
    /lib/*) lookups+=("/usr$f") ;;
    esac
done
declare -A packages=()
while IFS= read -r line; do
    pkg=${line%%: *}
    for one in ${pkg//,/ }; do
        packages[${one%%:*}]=1
    done
done < <(dpkg-query -S "${lookups[@]}" 2>/dev/null || true)

{
    echo "Librerie e file di terze parti inclusi in questa cartella, con il pacchetto Debian"
    echo "da cui provengono e il file della sua licenza in questa cartella."
    echo "Third-party libraries and files bundled in this folder, the Debian package each"
    echo "comes from, and its licence file in this folder."
    echo
} > "$stage/LICENZE/ELENCO.txt"
copied=()
while read -r pkg ver src; do
    copyright=/usr/share/doc/$pkg/copyright
    [ -n "${packages[$pkg]:-}" ] && [ -f "$copyright" ] || continue
    cp -L "$copyright" "$stage/LICENZE/$pkg.txt"
    copied+=("$stage/LICENZE/$pkg.txt")
    echo "$pkg $ver (sorgente/source: ${src:-$pkg}) -> $pkg.txt" >> "$stage/LICENZE/ELENCO.txt"
done < <(dpkg-query -W -f='${Package} ${Version} ${source:Package}\n' "${!packages[@]}" 2>/dev/null | sort -u)
# The copyright files point to the full licence texts of Debian's common-licenses.
declare -A referenced=([LGPL-3]=1 [GPL-3]=1)
while IFS= read -r lic; do
    lic=${lic##*/}
    lic=${lic%.}
    [ -n "$lic" ] && referenced[$lic]=1
done < <(grep -ho '/usr/share/common-licenses/[A-Za-z0-9.+_-]*' /dev/null "${copied[@]}" | sort -u)
for lic in "${!referenced[@]}"; do
    [ -f "/usr/share/common-licenses/$lic" ] && cp -L "/usr/share/common-licenses/$lic" "$stage/LICENZE/$lic.txt"
done

qt_version=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo "")
qt_upstream=${qt_version%%-*}
qt_upstream=${qt_upstream#*:}
qt_upstream=${qt_upstream%%+*}
cat > "$stage/LICENZE/Qt.txt" <<EOF
Qt $qt_upstream (Debian $qt_version)

Questo programma usa le librerie Qt 6 (lib/libQt6*.so.6 e i plugin in plugins/),
distribuite secondo la GNU Lesser General Public License versione 3 (LGPL-3.0,
testo completo in LGPL-3.txt, con GPL-3.txt a cui rimanda). Le librerie sono
collegate dinamicamente: chi lo desidera può sostituirle in lib/ e plugins/ con
una propria versione compatibile delle stesse librerie.

This program uses the Qt 6 libraries (lib/libQt6*.so.6 and the plugins in
plugins/), licensed under the GNU Lesser General Public License version 3
(LGPL-3.0; full text in LGPL-3.txt, together with GPL-3.txt which it refers to).
They are dynamically linked: you may replace them in lib/ and plugins/ with
your own compatible build of the same libraries.

Codice sorgente / Source code:
  Qt $qt_upstream:   https://download.qt.io/archive/qt/${qt_upstream%.*}/$qt_upstream/submodules/
  Debian:     https://sources.debian.org/src/qt6-base/$qt_version/
              https://sources.debian.org/src/qt6-svg/$(dpkg-query -W -f='${Version}' libqt6svg6 2>/dev/null || echo "")/
              apt-get source qt6-base qt6-svg qt6-translations
The licences of the other bundled libraries are listed in ELENCO.txt.
EOF

# --- Checks, then the archive ---------------------------------------------------
links=$(find "$stage" -type l)
if [ -n "$links" ]; then
    echo "package.sh: symbolic links in the release:" >&2
    echo "$links" >&2
    exit 1
fi
find "$stage" -type d -exec chmod 755 {} +

archive=$out_dir/$archive_name
tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner --hard-dereference \
    -cf - "$name" | gzip -6 > "$archive.part"
mv -f "$archive.part" "$archive"
echo "$archive ($(du -h "$archive" | cut -f1); ${#bundled[@]} libraries bundled)"
