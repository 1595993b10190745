# Sourced by scripts that run Windows programs under Wine: a fresh prefix with
# a persistent server (without it every Wine process costs seconds).
# Call wine_start first and wine_stop when done.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_start() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quillet-wine.XXXXXX")
  export WINEPREFIX
  # Started detached from our output, so that nothing waits on it.
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot -i >/dev/null 2>&1 || true
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
}
