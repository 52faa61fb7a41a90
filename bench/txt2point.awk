# A peer for the timings: writes the POINT and TEXT layout of txt2point for
# comma-separated x,y,z lines. Values keep their spelling behind the sign
# place; unlike konversi-cli it neither rounds nor drops trailing zeros.
#
#   mawk -f txt2point.awk coordinates.txt > points.dxf

function printed(value) {
    return substr(value, 1, 1) == "-" ? value " " : " " value " "
}

BEGIN {
    FS = ","
    RS = "\r\n"
    ORS = ""
    printf " 0 \r\nSECTION\r\n 2 \r\nENTITIES\r\n"
    layout = " 0 \r\nPOINT\r\n 8 \r\nTITIK\r\n 10 \r\n%s\r\n 20 \r\n%s\r\n 30 \r\n%s\r\n" \
             " 0 \r\nTEXT\r\n 8 \r\nTEKS\r\n 10 \r\n%s\r\n 20 \r\n%s\r\n 30 \r\n 0 \r\n" \
             " 40 \r\n 1 \r\n 1 \r\n%s\r\n 7 \r\nSTANDARD\r\n"
}

NF >= 3 {
    x = printed($1)
    y = printed($2)
    z = printed($3)
    printf layout, x, y, z, x, y, z
}

END {
    printf " 0 \r\nENDSEC\r\n 0 \r\nEOF\r\n"
}
