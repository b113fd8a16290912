#!/usr/bin/env bash
# Without a display the program says so in one line and ends with status 1: DISPLAY unset,
# and DISPLAY naming a display where no server listens. Help and version need none; an
# argument it does not know gets the usage on standard error and status 2, display or not.
set -euo pipefail
bin=$1
source "$(dirname "$0")/common.sh"  # no need_display: this one runs without
free=200
while [ -e "/tmp/.X11-unix/X$free" ] || [ -e "/tmp/.X$free-lock" ]; do free=$((free + 1)); done
for how in unset ":$free"; do
    set +e
    if [ "$how" = unset ]; then
        err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$bin" 2>&1 >/dev/null)
    else
        err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$how" timeout 20 "$bin" 2>&1 >/dev/null)
    fi
    rc=$?
    set -e
    [ $rc -eq 1 ] || { echo "DISPLAY $how: status $rc, not 1 ($err)"; exit 1; }
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "DISPLAY $how: more than one line: $err"; exit 1; }
    [[ "$err" == "rezazo: cannot open display "* ]] || { echo "DISPLAY $how: said '$err'"; exit 1; }
    if [ "$how" != unset ]; then [[ "$err" == *"$how"* ]] || { echo "does not name $how: $err"; exit 1; }; fi
done

nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$bin" "$@"; }
for args in "--help" "-h" "--version" "-V" "--version --bogus" "--help -V"; do
    set +e
    # shellcheck disable=SC2086
    out=$(nodisplay $args 2>"$XDG_CONFIG_HOME/err")
    rc=$?
    set -e
    [ $rc -eq 0 ] || fail "$args: status $rc"
    [ ! -s "$XDG_CONFIG_HOME/err" ] || fail "$args wrote to standard error: $(cat "$XDG_CONFIG_HOME/err")"
    case $args in
        -h | --help*) [[ "$out" == "Usage: rezazo "*"--version"* ]] || fail "$args printed '$out'" ;;
        *) [[ "$out" =~ ^"Rezazo '98 "[0-9]+\.[0-9]+$ ]] || fail "$args printed '$out'" ;;
    esac
done
# The refusal comes before the display check, so it holds with and without one.
for how in unset ":$free"; do
    for args in "--bogus" "-x" "extra" "-session" "--helpme"; do
        set +e
        # shellcheck disable=SC2086
        if [ "$how" = unset ]; then
            out=$(nodisplay $args 2>"$XDG_CONFIG_HOME/err")
        else
            out=$(env -u WAYLAND_DISPLAY DISPLAY="$how" timeout 20 "$bin" $args 2>"$XDG_CONFIG_HOME/err")
        fi
        rc=$?
        set -e
        [ $rc -eq 2 ] || fail "$args ($how): status $rc, not 2"
        [ -z "$out" ] || fail "$args ($how) printed on standard output: $out"
        head -n1 "$XDG_CONFIG_HOME/err" | grep -qF "'$args'" || fail "$args ($how) not named: $(cat "$XDG_CONFIG_HOME/err")"
        grep -q "^Usage: rezazo " "$XDG_CONFIG_HOME/err" || fail "$args ($how): no usage"
    done
done
# A server that takes the connection and hangs up on it, as one at its client limit does:
# the same line and status, no abort. (The real server only makes the sockets' folder.)
command -v Xvfb >/dev/null || missing Xvfb
own_display 200
fake=$((${DISPLAY#:} + 1))
while [ -e "/tmp/.X11-unix/X$fake" ] || [ -e "/tmp/.X$fake-lock" ]; do fake=$((fake + 1)); done
perl -MIO::Socket::UNIX -e '
    my $l = IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => $ARGV[0], Listen => 8) or die "$ARGV[0]: $!";
    while (my $c = $l->accept) { close $c }
' "/tmp/.X11-unix/X$fake" &
end_at_exit $!
at_exit "rm -f /tmp/.X11-unix/X$fake"
wait_for 10 test -S "/tmp/.X11-unix/X$fake" || fail "the stand-in did not listen"
set +e
err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":$fake" timeout 20 "$bin" 2>&1 >/dev/null)
rc=$?
set -e
[ $rc -eq 1 ] && [ "$err" = "rezazo: cannot open display :$fake" ] ||
    fail "a refused connection: status $rc, said: $err"
echo "no display ok"
