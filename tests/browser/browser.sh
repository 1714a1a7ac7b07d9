# What the browser tests share, sourced once $artifacts is set: chromium
# (exit 77, skipped, when it is missing) run headless and offline, a work
# folder, and the count of failures.

browser=$(command -v chromium || true)
if [[ -z $browser ]]; then
    echo "chromium is not installed (scripts/setup.sh installs it): skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"

offline=()
if unshare -n true 2>/dev/null; then
    offline=(unshare -n)
fi

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Opens URL with the extra arguments: what the browser prints (the DOM, with
# --dump-dom) in $work/out, its messages in $work/log.
run_browser() {
    local url=$1
    shift
    rm -rf "$work/profile"
    "${offline[@]}" timeout 120 "$browser" --headless --no-sandbox --disable-gpu --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" --proxy-server=127.0.0.1:9 \
        --host-resolver-rules="MAP * ~NOTFOUND" --enable-logging=stderr --v=0 \
        "$@" "$url" >"$work/out" 2>"$work/log"
}

# Fails, naming WHAT, when the browser logged a console message of a page
# (those of the browser's own chrome:// pages, such as a note that the
# network is slow, are not the site's).
no_console() {
    local messages
    messages=$(grep ':CONSOLE' "$work/log" | grep -v 'source: chrome://' || true)
    if [[ -n $messages ]]; then
        fail "$1: console messages:"
        echo "$messages"
    fi
}

# Ends the test: exit 1 after any failure.
finish() {
    if ((failures > 0)); then
        exit 1
    fi
    echo "$1 in $("$browser" --version 2>/dev/null | head -1); screenshots in $artifacts"
}
