# What a user might write by hand to place one copy of a converter model: the same point
# transform and node rename, numbers printed with %.15g. Used as a yardstick by compare.sh.
#   awk -v x=.. -v y=.. -v z=.. -v o=.. -v az=.. -v ax=.. -v tag=.. -f transform.awk MODEL
BEGIN {
    RS = "\r\n"; ORS = "\r\n"
    s = 0.0174532925
    cx = cos(ax * s); sx = sin(ax * s)
    cz = cos(az * s); sz = sin(az * s)
    co = cos(o * s); so = sin(o * s)
    state = 0
}
state == 1 { print; state = 2; next }
state == 2 {
    line = $0
    gsub(/^ +| +$/, "", line)
    if (index(line, "]")) { print line; state = 0; next }
    p0 = $1; p1 = $2; p2 = substr($3, 1, length($3) - 1)
    r1 = cx * p1 - sx * p2; r2 = cx * p2 + sx * p1
    s0 = cz * p0 - sz * r1; s1 = cz * r1 + sz * p0
    printf " %.15g %.15g %.15g,\r\n", (co * s0 + so * r2) + x, s1 + y, (co * r2 - so * s0) - z
    next
}
{
    if (index($0, "      DEF VRL_")) print "      DEF VRL_" tag "_vrl Transform {"
    else print
    if (index($0, "COORD Coordinate {")) state = 1
}
