# Writes survey-like x,y,z triples, one per CR LF line, the same bytes on
# every run and with every awk: a Park-Miller generator keeps all arithmetic
# exact in doubles, where awk's own rand() differs between implementations.
#
#   awk -v lines=1000000 -f make_coordinates.awk > coordinates.txt
#   awk -v lines=1000000 -v layout=pnezd -f make_coordinates.awk > records.csv
#
# The pnezd layout writes the same points as survey exports do: number,
# northing, easting, elevation, and a code with a remark, codes in runs.
#
# Eastings have 6 whole digits and northings 7, all with 3 decimals as a
# total station exports them (so about one value in ten ends in a zero the
# print form drops); elevations range from -50 to 1450 with a few whole ones.

function next_random() {
    seed = (seed * 16807) % 2147483647
    return seed
}

function fixed3(thousandths,    sign, whole, fraction) {
    sign = ""
    if (thousandths < 0) {
        sign = "-"
        thousandths = -thousandths
    }
    whole = int(thousandths / 1000)
    fraction = thousandths - whole * 1000
    return sprintf("%s%d.%03d", sign, whole, fraction)
}

BEGIN {
    if (lines == "") lines = 1000000
    seed = 20240601
    split("TREE KERB BM FENCE DRAIN WALL POLE MANHOLE", codes, " ")
    for (i = 0; i < lines; i++) {
        easting = fixed3(500000000 + next_random() % 400000000)
        northing = fixed3(9100000000 + next_random() % 800000000)
        r = next_random()
        if (r % 50 == 0) {
            elevation = sprintf("%d", int(r / 50) % 1500 - 50)
        } else {
            elevation = fixed3(int(r / 50) % 1500000 - 50000)
        }
        if (layout == "pnezd") {
            printf "%d,%s,%s,%s,%s run %d\r\n", i + 1, northing, easting, elevation,
                codes[int(i / 25) % 8 + 1], int(i / 25)
        } else {
            printf "%s,%s,%s\r\n", easting, northing, elevation
        }
    }
}
