# Shapes --help output the way help2man reads it: a capital "Usage:" for the synopsis, and
# one paragraph per entry of a command list, its description lines (indented further) kept
# together with it.
s/^usage:/Usage:/
/^[Cc]ommands:$/,/^$/ {
    s/^[Cc]ommands:$/\nCommands:/
    s/^  [^ ]/\n&/
}
