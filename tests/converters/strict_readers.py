"""point2txt and poly2txt --strict on drawings written by real DXF writers.

Usage: strict_readers.py PATH-TO-KONVERSI-CLI
       strict_readers.py --seeds FOLDER   (writes the ezdxf drawings as fuzz seeds)

ezdxf writes R12, R2000 and R2018 drawings full of what fools a marker scan:
POINTs with colour 10, layers named 10 and POINT, a TEXT reading POINT, a
block of points inserted three times, LWPOLYLINEs with an elevation and the
closed flag, 2D and 3D polylines, a polyface mesh, and points and polylines
in paper space, as a title block is drawn. GDAL's ogr2ogr turns
CSV points and 2D and 3D lines into DXF. Every coordinate konversi-cli
writes must be what ezdxf reads back from the same file: the modelspace
POINTs, and the vertices of its POLYLINEs and LWPOLYLINEs with the elevation
applied, rounded to 15 significant digits. Blocks are not expanded, so their
points are not among them.
"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest

try:
    import ezdxf
except ImportError as error:
    # A missing library must fail the test run, never let it pass unseen.
    print(f"FAIL: ezdxf cannot be imported ({error}); install python3-ezdxf", file=sys.stderr)
    sys.exit(1)

CLI = None
VERSIONS = ("R12", "R2000", "R2018")


def rounded(value):
    """The value that the 15-significant-digit print form stands for."""
    return float(format(value, ".15g"))


def coordinates(*values):
    return tuple(rounded(v) for v in values)


def survey_values(rng, count):
    return [rng.uniform(-1, 1) * 10 ** rng.randint(-3, 7) for _ in range(count)]


def ezdxf_drawing(version):
    """Everything that misleads a reader going by markers, in one drawing."""
    rng = random.Random(version)
    doc = ezdxf.new(version)
    for name in ("10", "POINT", "Jalan"):
        doc.layers.add(name)
    msp = doc.modelspace()
    v = survey_values(rng, 200)
    msp.add_point(v[0:3], dxfattribs={"color": 10})
    msp.add_point(v[3:6], dxfattribs={"layer": "10"})
    msp.add_point(v[6:9], dxfattribs={"layer": "POINT"})
    msp.add_point(v[9:11])
    msp.add_text("POINT", dxfattribs={"layer": "POINT"})
    block = doc.blocks.new("TITIK3")
    for i in range(3):
        block.add_point(v[12 + 3 * i:15 + 3 * i])
    for i in range(3):
        msp.add_blockref("TITIK3", (i, 2 * i, 0))
    msp.add_polyline2d([v[30:32], v[32:34], v[34:36]],
                       dxfattribs={"layer": "10", "elevation": (0, 0, v[36])}).close(True)
    msp.add_polyline3d([v[40:43], v[43:46], v[46:49]], dxfattribs={"layer": "Jalan"})
    mesh = msp.add_polyface()
    mesh.append_face([v[50:53], v[53:56], v[56:59]])
    mesh.append_face([v[53:56], v[56:59], v[60:63]])
    if version != "R12":
        msp.add_lwpolyline([v[70:72], v[72:74], v[74:76]], close=True,
                           dxfattribs={"layer": "POINT", "elevation": v[76]})
        msp.add_lwpolyline([v[80:82], v[82:84]], dxfattribs={"layer": "10"})
    msp.add_point(v[90:93], dxfattribs={"color": 10, "layer": "10"})
    # A title block: in the ENTITIES section, but in paper space (67 = 1).
    paper = doc.layouts.active_layout()
    paper.add_point(v[100:103])
    paper.add_polyline2d([v[104:106], v[106:108]])
    if version != "R12":
        paper.add_lwpolyline([v[110:112], v[112:114]])
    return doc


def gdal_drawing(folder, name, header, rows):
    """A DXF that ogr2ogr writes from a CSV file."""
    csv = os.path.join(folder, name + ".csv")
    with open(csv, "w") as f:
        f.write(header + "\n" + "\n".join(rows) + "\n")
    dxf = os.path.join(folder, name + ".dxf")
    result = subprocess.run(
        ["ogr2ogr", "-f", "DXF", dxf, csv, "-oo", "X_POSSIBLE_NAMES=x",
         "-oo", "Y_POSSIBLE_NAMES=y", "-oo", "Z_POSSIBLE_NAMES=z"], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"ogr2ogr failed: {result.stderr!r}")
    return dxf


def expected_points(path):
    return [(coordinates(*p.dxf.location), p.dxf.layer)
            for p in ezdxf.readfile(path).modelspace().query("POINT")]


def expected_polylines(path, close):
    """Each polyline's vertices (x, y, z) and layer, in file order."""
    polylines = []
    for entity in ezdxf.readfile(path).modelspace().query("POLYLINE LWPOLYLINE"):
        if entity.dxftype() == "LWPOLYLINE":
            z = entity.dxf.elevation
            vertices = [coordinates(x, y, z) for x, y in entity.get_points("xy")]
        elif entity.is_2d_polyline:
            z = entity.dxf.elevation.z
            vertices = [coordinates(v.dxf.location.x, v.dxf.location.y, z)
                        for v in entity.vertices]
        else:
            vertices = [coordinates(*v.dxf.location) for v in entity.vertices
                        if not v.is_face_record]
        if close and entity.is_closed and vertices:
            vertices.append(vertices[0])
        polylines.append((vertices, entity.dxf.layer))
    return polylines


def run_cli(*args):
    result = subprocess.run([CLI, *args], capture_output=True)
    if result.returncode != 0 or result.stdout or result.stderr:
        raise AssertionError(f"konversi-cli {args}: status {result.returncode}, "
                             f"stderr {result.stderr!r}")


def records(path):
    """Lines of --columns pxyzd --delimiter semicolon output."""
    with open(path, "rb") as f:
        data = f.read().decode("ascii")
    assert data == "" or data.endswith("\r\n"), f"{path}: last line lacks CR LF"
    rows = []
    for line in data.split("\r\n")[:-1]:
        number, x, y, z, layer = line.split(";")
        rows.append((int(number), coordinates(float(x), float(y), float(z)), layer))
    return rows


def default_lines(path):
    """Lines of the default layout: three print forms and CR LF."""
    with open(path, "rb") as f:
        data = f.read().decode("ascii")
    lines = data.split("\r\n")
    assert lines[-1] == "", f"{path}: last line lacks CR LF"
    return [coordinates(*map(float, line.split())) for line in lines[:-1]]


# What ezdxf reads from each drawing, so that a drawing read as empty cannot
# pass: the number of points, and of vertices in each polyline with --close.
EXPECTED_COUNTS = {
    "ezdxf R12": (5, [4, 3, 4]),
    "ezdxf R2000": (5, [4, 3, 4, 4, 2]),
    "ezdxf R2018": (5, [4, 3, 4, 4, 2]),
    "gdal_points": (2, []),
    "gdal_lines": (0, [3, 3]),
}


class RealDrawings(unittest.TestCase):
    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix="konversi-strict-")
        self.folder = self._folder.name

    def tearDown(self):
        self._folder.cleanup()

    def drawings(self):
        """(name, path) of every drawing: ezdxf's and GDAL's."""
        for version in VERSIONS:
            path = os.path.join(self.folder, f"ezdxf_{version}.dxf")
            ezdxf_drawing(version).saveas(path)
            yield f"ezdxf {version}", path
        yield "gdal_points", gdal_drawing(
            self.folder, "gdal_points", "id,x,y,z",
            ["1,594018.144,9218479.287,876.442", "2,594020.5,9218480.25,-0.125"])
        yield "gdal_lines", gdal_drawing(
            self.folder, "gdal_lines", "id,WKT",
            ['1,"LINESTRING (594018.1 9218479.2,594020.5 9218480.25,1 2)"',
             '2,"LINESTRING Z (1 2 3,4 5 6,7.5 8.25 -9)"'])

    def test_point2txt_strict_gives_what_ezdxf_reads_back(self):
        for name, path in self.drawings():
            with self.subTest(drawing=name):
                expected = expected_points(path)
                self.assertEqual(len(expected), EXPECTED_COUNTS[name][0])
                run_cli("point2txt", "--strict", path)
                output = os.path.splitext(path)[0] + ".txt"
                self.assertEqual(default_lines(output), [p for p, _ in expected])
                run_cli("point2txt", "--strict", "--columns", "pxyzd",
                        "--delimiter", "semicolon", path)
                self.assertEqual(records(output),
                                 [(n, p, layer) for n, (p, layer) in enumerate(expected, 1)])

    def test_poly2txt_strict_gives_what_ezdxf_reads_back(self):
        for name, path in self.drawings():
            with self.subTest(drawing=name):
                base = os.path.splitext(path)[0]
                expected = expected_polylines(path, close=False)
                run_cli("poly2txt", "--strict", path)
                for number, (vertices, _) in enumerate(expected, 1):
                    self.assertEqual(default_lines(f"{base}.{number:03d}"), vertices)
                self.assertFalse(os.path.exists(f"{base}.{len(expected) + 1:03d}"))
                closed = expected_polylines(path, close=True)
                self.assertEqual([len(v) for v, _ in closed], EXPECTED_COUNTS[name][1])
                run_cli("poly2txt", "--strict", "--close", "--columns", "pxyzd",
                        "--delimiter", "semicolon", path)
                for number, (vertices, layer) in enumerate(closed, 1):
                    rows = records(f"{base}.{number:03d}")
                    self.assertEqual([v for _, v, _ in rows], vertices)
                    self.assertEqual({d for _, _, d in rows} or {layer}, {layer})

    def test_layer_chooses_entities_without_regard_to_case(self):
        for version in VERSIONS:
            with self.subTest(version=version):
                path = os.path.join(self.folder, f"lapis_{version}.dxf")
                ezdxf_drawing(version).saveas(path)
                run_cli("point2txt", "--strict", "--layer", "point", "--layer", "10", path)
                self.assertEqual(default_lines(path[:-4] + ".txt"),
                                 [p for p, layer in expected_points(path)
                                  if layer in ("POINT", "10")])


def write_seeds(folder):
    os.makedirs(folder, exist_ok=True)
    for version in VERSIONS:
        ezdxf_drawing(version).saveas(os.path.join(folder, f"ezdxf_{version}.dxf"))


def main():
    global CLI
    if len(sys.argv) == 3 and sys.argv[1] == "--seeds":
        write_seeds(sys.argv[2])
        return 0
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    if shutil.which("ogr2ogr") is None:
        print("FAIL: ogr2ogr is missing; install gdal-bin", file=sys.stderr)
        return 1
    CLI = os.path.abspath(sys.argv[1])
    print(f"ezdxf {ezdxf.__version__}")
    program = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
