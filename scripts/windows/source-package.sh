# Sourced by the scripts that cross-build libraries for Windows.
# fetch_source PACKAGE: Debian's source package, unpacked once into
# "$cache/src" (with Debian's patches applied). The newest version first;
# where its archive cannot be reached (a security update's), the next one apt
# knows.
fetch_source() {
    local package="$1" version
    if ls -d "$cache/src/$package"-[0-9]*/ >/dev/null 2>&1; then
        return 0
    fi
    for version in $(apt-cache showsrc "$package" | sed -nE 's/^Version: //p' | sort -urV); do
        if (cd "$cache/src" && apt-get -o DPkg::Lock::Timeout=900 source "$package=$version" >&2); then
            return 0
        fi
        echo "source $package $version could not be fetched; trying an older one" >&2
    done
    echo "no source package $package could be fetched" >&2
    return 1
}
