"""Round trips between konversi-cli and ezdxf, a DXF library written by others.

Usage: ezdxf_roundtrip.py PATH-TO-KONVERSI-CLI

The DXF that txt2point and txt2poly write must read in ezdxf (plain and
recover mode) as the entities the input describes; drawings that ezdxf writes
(R12 and R2000, POINT and 2D/3D POLYLINE) must give point2txt and poly2txt the
coordinates that ezdxf itself reads back, rounded to 15 significant digits.
"""

import os
import random
import re
import subprocess
import sys
import tempfile
import unittest

try:
    import ezdxf
    from ezdxf import recover
except ImportError as error:
    # A missing library must fail the test run, never let it pass unseen.
    print(f"FAIL: ezdxf cannot be imported ({error}); install python3-ezdxf",
          file=sys.stderr)
    sys.exit(1)

CLI = None

# One output line: three numbers in the print form (sign place, digits, one
# space) separated by a single space, then CR LF.
NUMBER = r"([ -]\d+(?:\.\d+)?(?:E[+-]\d{2,3})?) "
COORDINATE_LINE = re.compile(rf"{NUMBER} {NUMBER} {NUMBER}\r\n")


def run_cli(mode, path):
    result = subprocess.run([CLI, mode, path], capture_output=True)
    if result.returncode != 0 or result.stdout:
        raise AssertionError(
            f"konversi-cli {mode} {path!r}: status {result.returncode}, "
            f"stdout {result.stdout!r}, stderr {result.stderr!r}")


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def coordinate_lines(path):
    """The coordinates of every line of a point2txt or poly2txt output."""
    data = read_bytes(path).decode("ascii")
    lines = data.split("\r\n")
    if lines[-1] != "":
        raise AssertionError(f"{path}: last line lacks CR LF: {data!r}")
    triples = []
    for line in lines[:-1]:
        match = COORDINATE_LINE.fullmatch(line + "\r\n")
        if match is None:
            raise AssertionError(f"{path}: not a coordinate line: {line!r}")
        triples.append(tuple(float(match.group(i).strip()) for i in (1, 2, 3)))
    return triples


def rounded(value):
    """The value that the 15-significant-digit print form stands for."""
    return float(format(value, ".15g"))


def both_readers(path):
    """The drawing as ezdxf's strict reader and its recover mode see it."""
    yield "readfile", ezdxf.readfile(path)
    doc, auditor = recover.readfile(path)
    if auditor.has_errors:
        raise AssertionError(
            f"{path}: recover reports errors: {[str(e.message) for e in auditor.errors]}")
    yield "recover", doc


class TempFolderTest(unittest.TestCase):
    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix="konversi-ezdxf-")
        self.folder = self._folder.name

    def tearDown(self):
        self._folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder, name)


# Inputs of the two writers. `points` are the values the print form writes
# for each triple, `labels` the TEXT values of txt2point (the z print form).
WRITER_INPUTS = [
    dict(name="single", text=b"100.5,-20,3\r\n",
         points=[(100.5, -20.0, 3.0)], labels=[" 3 "]),
    dict(name="lf_and_space_separated", text=b"1, 2 ,3.250\n4 5 6\n",
         points=[(1.0, 2.0, 3.25), (4.0, 5.0, 6.0)], labels=[" 3.25 ", " 6 "]),
    dict(name="rounded_and_exponent_forms",
         text=b"0.1234567890123456789,-1e-5,1e20\r\n-0,+7.,-123456789012.3456\r\n\r\n",
         points=[(0.123456789012346, -1e-05, 1e20), (0.0, 7.0, -123456789012.346)],
         labels=[" 1E+20 ", "-123456789012.346 "]),
    dict(name="empty", text=b"", points=[], labels=[]),
]


class WrittenByKonversi(TempFolderTest):
    def test_txt2point_reads_as_points_labelled_with_z(self):
        for case in WRITER_INPUTS:
            source = self.path(case["name"] + ".txt")
            write_bytes(source, case["text"])
            run_cli("txt2point", source)
            for reader, doc in both_readers(self.path(case["name"] + ".dxf")):
                with self.subTest(case=case["name"], reader=reader):
                    entities = list(doc.modelspace())
                    self.assertEqual([e.dxftype() for e in entities],
                                     ["POINT", "TEXT"] * len(case["points"]))
                    for index, (x, y, z) in enumerate(case["points"]):
                        point, label = entities[2 * index], entities[2 * index + 1]
                        self.assertEqual(point.dxf.layer, "TITIK")
                        self.assertEqual(tuple(point.dxf.location), (x, y, z))
                        self.assertEqual(label.dxf.layer, "TEKS")
                        self.assertEqual(tuple(label.dxf.insert), (x, y, 0.0))
                        self.assertEqual(label.dxf.height, 1.0)
                        self.assertEqual(label.dxf.style, "STANDARD")
                        self.assertEqual(label.dxf.text, case["labels"][index])

    def test_txt2poly_reads_as_one_open_polyline_in_input_order(self):
        # The layer is the input's name up to its first dot, control bytes
        # replaced so that the name cannot break the file's lines.
        names = {"single": ("peta.txt", "peta"),
                 "lf_and_space_separated": ("jalan.baru.txt", "jalan"),
                 "rounded_and_exponent_forms": ("sungai\rbaru.txt", "sungai_baru"),
                 "empty": ("kosong.txt", "kosong")}
        for case in WRITER_INPUTS:
            file_name, layer = names[case["name"]]
            source = self.path(file_name)
            write_bytes(source, case["text"])
            run_cli("txt2poly", source)
            output = self.path(file_name.split(".")[0] + ".dxf")
            for reader, doc in both_readers(output):
                with self.subTest(case=case["name"], reader=reader):
                    entities = list(doc.modelspace())
                    self.assertEqual([e.dxftype() for e in entities], ["POLYLINE"])
                    polyline = entities[0]
                    self.assertEqual(polyline.dxf.layer, layer)
                    self.assertFalse(polyline.is_closed)
                    vertices = list(polyline.vertices)
                    self.assertEqual([tuple(v.dxf.location) for v in vertices], case["points"])
                    self.assertEqual([v.dxf.layer for v in vertices], [layer] * len(vertices))


def awkward_values(rng, count):
    """Coordinates of every scale and of many digits, zero and -0 among them."""
    fixed = [1 / 3, -2e6 / 3, 0.1 + 0.2, 1e-7, 5e-324, 1e16, 1234567890123456.7,
             -0.0, 0.0, 123456.789, -1e-3, 999999999999999.9, 1000000000000005.0]
    values = list(fixed)
    while len(values) < count:
        values.append(rng.uniform(-1, 1) * 10 ** rng.randint(-8, 17))
    return values


def ezdxf_drawing(version, rng, layer="0"):
    """POINT entities, 2D and 3D polylines and a few other entities."""
    doc = ezdxf.new(version)
    msp = doc.modelspace()
    values = awkward_values(rng, 90)
    triples = [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]
    attributes = {"layer": layer}
    for triple in triples[:12]:
        msp.add_point(triple, dxfattribs=attributes)
    msp.add_line((0, 0, 0), (1, 1, 1))
    msp.add_text("POINTS AND LINES", dxfattribs={"height": 2.5})
    msp.add_polyline2d([t[:2] for t in triples[12:17]], dxfattribs=attributes)
    msp.add_polyline3d(triples[17:25], dxfattribs=attributes)
    if version != "R12":
        msp.add_lwpolyline([(0, 0), (3, 4), (5, 6)])  # not a POLYLINE: ignored
    msp.add_polyline3d(triples[25:27], dxfattribs=attributes)
    closed = msp.add_polyline2d([t[:2] for t in triples[27:30]], dxfattribs=attributes)
    closed.close(True)
    return doc


def with_line_ends(data, line_end):
    return data.replace(b"\r\n", b"\n").replace(b"\n", line_end)


class WrittenByEzdxf(TempFolderTest):
    VERSIONS = ("R12", "R2000")

    def save(self, doc, name):
        path = self.path(name + ".dxf")
        doc.saveas(path)
        return path

    def assert_coordinates(self, extracted, expected, where):
        self.assertEqual(len(extracted), len(expected), where)
        for index, (got, want) in enumerate(zip(extracted, expected)):
            self.assertEqual(got, tuple(rounded(v) for v in want), f"{where}, line {index + 1}")

    def test_point2txt_gives_what_ezdxf_reads_back(self):
        for version in self.VERSIONS:
            with self.subTest(version=version):
                name = "titik_" + version
                source = self.save(ezdxf_drawing(version, random.Random(version)), name)
                expected = [tuple(e.dxf.location) for e in ezdxf.readfile(source).modelspace()
                            if e.dxftype() == "POINT"]
                self.assertEqual(len(expected), 12)
                run_cli("point2txt", source)
                self.assert_coordinates(coordinate_lines(self.path(name + ".txt")), expected,
                                        name)

    def test_poly2txt_gives_what_ezdxf_reads_back(self):
        for version in self.VERSIONS:
            with self.subTest(version=version):
                name = "garis_" + version
                source = self.save(ezdxf_drawing(version, random.Random(version)), name)
                polylines = [[tuple(v.dxf.location) for v in e.vertices]
                             for e in ezdxf.readfile(source).modelspace()
                             if e.dxftype() == "POLYLINE"]
                self.assertEqual([len(p) for p in polylines], [5, 8, 2, 3])
                run_cli("poly2txt", source)
                for number, vertices in enumerate(polylines, start=1):
                    output = self.path(f"{name}.{number:03d}")
                    self.assert_coordinates(coordinate_lines(output), vertices, output)
                self.assertFalse(os.path.exists(self.path(f"{name}.{len(polylines) + 1:03d}")))

    def test_crlf_and_cr_only_copies_convert_like_the_lf_original(self):
        for version in self.VERSIONS:
            original = self.save(ezdxf_drawing(version, random.Random(version)), "asli")
            data = read_bytes(original)
            self.assertNotIn(b"\r", data, "ezdxf is expected to write LF line ends here")
            run_cli("point2txt", original)
            run_cli("poly2txt", original)
            points = read_bytes(self.path("asli.txt"))
            polylines = [read_bytes(self.path(f"asli.00{n}")) for n in range(1, 5)]
            for label, line_end in (("crlf", b"\r\n"), ("cr", b"\r")):
                with self.subTest(version=version, line_end=label):
                    copy = self.path(label + ".dxf")
                    write_bytes(copy, with_line_ends(data, line_end))
                    run_cli("point2txt", copy)
                    run_cli("poly2txt", copy)
                    self.assertEqual(read_bytes(self.path(label + ".txt")), points)
                    for n in range(1, 5):
                        self.assertEqual(read_bytes(self.path(f"{label}.00{n}")),
                                         polylines[n - 1])

    def test_layer_named_10_is_read_as_the_group_code(self):
        # The readers take the first line reading 10 after the marker as the
        # group code of x. A layer named 10 is such a line, so the five
        # values read after it are what follows the layer line, not the
        # coordinates that ezdxf sees. R12 writes " 10", x, " 20", y, " 30"
        # there; R2000 first writes subclass markers (group 100): "100",
        # "AcDbPoint", " 10", x, " 20" after a POINT's layer and "100",
        # "AcDbVertex", "100", "AcDb2dVertex" (or "AcDb3dPolylineVertex"),
        # " 10" after a VERTEX's.
        point_line = {"R12": (10.0, 20.0, 30.0), "R2000": (100.0, 10.0, 20.0)}
        vertex_line = {"R12": (10.0, 20.0, 30.0), "R2000": (100.0, 100.0, 10.0)}
        for version in self.VERSIONS:
            with self.subTest(version=version):
                name = "lapis_" + version
                source = self.save(ezdxf_drawing(version, random.Random(1), layer="10"), name)
                entities = list(ezdxf.readfile(source).modelspace())
                points = [e for e in entities if e.dxftype() == "POINT"]
                polylines = [e for e in entities if e.dxftype() == "POLYLINE"]
                self.assertEqual({e.dxf.layer for e in points + polylines}, {"10"})
                run_cli("point2txt", source)
                self.assertEqual(coordinate_lines(self.path(name + ".txt")),
                                 [point_line[version]] * len(points))
                run_cli("poly2txt", source)
                for number, polyline in enumerate(polylines, start=1):
                    self.assertEqual(coordinate_lines(self.path(f"{name}.{number:03d}")),
                                     [vertex_line[version]] * len(polyline.vertices))


def main():
    global CLI
    if len(sys.argv) < 2:
        print("usage: ezdxf_roundtrip.py PATH-TO-KONVERSI-CLI", file=sys.stderr)
        return 2
    CLI = os.path.abspath(sys.argv[1])
    print(f"ezdxf {ezdxf.__version__} from {os.path.dirname(ezdxf.__file__)}")
    program = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
