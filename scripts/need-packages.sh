# Sourced by the build scripts: need_packages PACKAGE... makes sure these
# Debian packages are installed. Run as root it installs the missing ones
# with apt-get, as CI does; otherwise it names them and ends the script.
# Without dpkg (not Debian) it checks nothing: CMake reports what it lacks.
# Recommended packages are left out: they would bring in X11 and image
# libraries that nothing here uses.
need_packages() {
  command -v dpkg-query >/dev/null 2>&1 || return 0
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q ' installed$' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local install="apt-get install --no-install-recommends ${missing[*]}"
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "installing ${missing[*]} with apt-get"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    # A bare Debian has no sudo: su asks for root's password.
    echo "missing packages; install them as root with: su -c '$install'" >&2
    echo "(or, where sudo is set up: sudo $install)" >&2
    exit 1
  fi
}
