#!/usr/bin/env bash
# The printer the print tests send their jobs to: a local CUPS scheduler with a PDF queue.
#
#   scripts/cups-test-queue.sh start    start cupsd if needed and add the queue (idempotent)
#   scripts/cups-test-queue.sh stop     remove the queue; stop cupsd if this script started it
#   scripts/cups-test-queue.sh status   exit 0 when the queue accepts jobs
#
# The queue is named zarn-test (ZARN_TEST_QUEUE overrides). cups-pdf writes what the queue
# prints to /var/spool/cups-pdf/zarn-test/, and CUPS keeps each job's document in
# /var/spool/cups/d<job>-001, where the tests read the text that was sent. start and stop
# need root; status does not. Works without systemd (containers, CI).
set -euo pipefail

queue=${ZARN_TEST_QUEUE:-zarn-test}
outdir=/var/spool/cups-pdf/$queue
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
pidfile=/run/zarn-cupsd.pid

scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "is running"
}

queue_ready() {
    scheduler_running && lpstat -a "$queue" 2>/dev/null | grep -q "accepting requests" &&
        lpstat -p "$queue" 2>/dev/null | grep -qv "disabled"
}

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "cups-test-queue: '$1' needs root (the queue '$queue' is not ready)" >&2
        exit 1
    fi
}

start() {
    if queue_ready; then
        return 0
    fi
    need_root start
    for tool in cupsd lpadmin lpstat cupsctl; do
        if ! command -v "$tool" >/dev/null && [ ! -x "/usr/sbin/$tool" ]; then
            echo "cups-test-queue: $tool is missing; install cups and printer-driver-cups-pdf" >&2
            exit 1
        fi
    done
    if [ ! -f "$ppd" ]; then
        echo "cups-test-queue: $ppd is missing; install printer-driver-cups-pdf" >&2
        exit 1
    fi

    # cups-pdf reads cups-pdf-<name>.conf for the device URI cups-pdf:/<name>.
    mkdir -p "$outdir"
    chmod 1777 "$outdir" # the backend writes as the job's user, often nobody
    cat >"/etc/cups/cups-pdf-$queue.conf" <<EOF
Out $outdir
AnonDirName $outdir
UserPrefix 0
Grp lpadmin
EOF

    if ! scheduler_running; then
        mkdir -p /run/cups /var/spool/cups /var/cache/cups /var/log/cups
        # In the foreground under setsid, so the pid is known and no terminal holds it.
        setsid /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 &
        echo $! >"$pidfile"
        for _ in $(seq 1 100); do
            scheduler_running && break
            sleep 0.1
        done
        if ! scheduler_running; then
            echo "cups-test-queue: cupsd did not start; see /var/log/cups/error_log" >&2
            exit 1
        fi
    fi

    # Job documents stay in the spool after completion, so tests can read what was sent.
    cupsctl PreserveJobFiles=Yes
    lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o printer-error-policy=abort-job
    cupsenable "$queue"
    cupsaccept "$queue"
    if ! queue_ready; then
        echo "cups-test-queue: the queue '$queue' does not accept jobs" >&2
        exit 1
    fi
    echo "cups-test-queue: '$queue' ready, output in $outdir"
}

stop() {
    need_root stop
    if scheduler_running && lpstat -p "$queue" >/dev/null 2>&1; then
        cancel -a "$queue" 2>/dev/null || true
        lpadmin -x "$queue"
    fi
    rm -f "/etc/cups/cups-pdf-$queue.conf"
    # Only a scheduler that start launched is stopped.
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
}

case "${1:-}" in
start) start ;;
stop) stop ;;
status)
    if queue_ready; then
        echo "cups-test-queue: '$queue' ready"
    else
        echo "cups-test-queue: '$queue' not ready" >&2
        exit 1
    fi
    ;;
*)
    echo "usage: $0 start|stop|status" >&2
    exit 2
    ;;
esac
