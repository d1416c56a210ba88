# Reads a tracing wineserver's log from a ktstartmark.exe run and prints
# "count request" for each request type that the started process's first
# thread made, from its start until it made its top-level dialog visible
# (the first set_window_pos with SWP_SHOWWINDOW on the first #32770 window
# without a parent).
/ktmark begin/ { begun = 1; next }
!begun { next }
thread == "" {
    if ($2 ~ /^init_first_thread\(/) thread = $1
    else next
}
$1 != thread { next }
$2 ~ /^[a-z_]+\($/ || $2 ~ /^[a-z_]+\(\)$/ {
    name = $2
    sub(/\(.*/, "", name)
    if ($2 ~ /\(\)$/) {
        # A reply: the dialog's handle comes back in the one to create_window.
        if (name == "create_window" && waiting && match($0, /handle=[0-9a-f]+/)) {
            dialog = substr($0, RSTART + 7, RLENGTH - 7)
            waiting = 0
        }
        next
    }
    count[name]++
    if (name == "create_window" && dialog == "" && $0 ~ /atom=8002/) waiting = 1
    if (name == "set_window_pos" && dialog != "" && $0 ~ ("handle=" dialog ",") &&
        match($0, /swp_flags=[0-9a-f]+/)) {
        flags = substr($0, RSTART + 10, RLENGTH - 10)
        digit = substr(flags, length(flags) - 1, 1)
        # SWP_SHOWWINDOW is 0x40.
        if (index("4567cdef", digit)) exit
    }
}
END { for (name in count) print count[name], name }
