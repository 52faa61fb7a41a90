# A peer for the timings: reads back the points of a DXF written by
# txt2point, one "x y z" line per POINT, the coordinates as they stand.
#
#   mawk -f point2txt.awk points.dxf > points.txt

BEGIN {
    RS = "\r\n"
    ORS = "\r\n"
}

$0 == "POINT" {
    wanted = 1
    next
}

wanted && $0 == " 10 " {
    getline x
    getline
    getline y
    getline
    getline z
    print x " " y " " z
    wanted = 0
}
