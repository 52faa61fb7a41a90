"""Survey drawings of konversi-cli opened by two DXF readers written by others.

Usage: survey_readers.py PATH-TO-KONVERSI-CLI

ezdxf's recover mode audits each drawing (no error allowed) and GDAL's
ogrinfo lists its entities: both must find every point on the layer its
code names, the labels as texts, and polylines that keep their elevations.
Fails, rather than skipping, when ezdxf or ogrinfo is missing.
"""

import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

try:
    from ezdxf import recover
except ImportError as error:
    print(f"FAIL: ezdxf cannot be imported ({error}); install python3-ezdxf", file=sys.stderr)
    sys.exit(1)
if shutil.which("ogrinfo") is None:
    print("FAIL: ogrinfo is missing; install gdal-bin", file=sys.stderr)
    sys.exit(1)

CLI = None

# Codes as field crews type them: repeated, in runs, in mixed case, with a
# remark after the code, with characters no layer name may hold, or none.
CODES = ["TREE OAK", "TREE", "tree", "KERB/L", "KERB/L", "", "BM 1", "KERB/L", "FENCE"]
LAYERS = {"TREE OAK": "TREE", "TREE": "TREE", "tree": "TREE", "KERB/L": "KERB_L", "BM 1": "BM", "FENCE": "FENCE"}


def survey_records():
    lines = ["PNT,N,E,Z,DESC"]
    for i, code in enumerate(CODES * 4):
        lines.append(f"{i + 1},{9123456.5 + i * 3.25:.3f},{512345.25 + i * 2:.3f},"
                     f"{10 + i / 4:.2f},{code}")
    return "\r\n".join(lines) + "\r\n"


def convert(folder, args):
    path = os.path.join(folder, "titik.csv")
    with open(path, "w", newline="") as f:
        f.write(survey_records())
    result = subprocess.run([CLI, *args, path], capture_output=True)
    if result.returncode != 0:
        raise AssertionError(f"konversi-cli {args}: status {result.returncode}, {result.stderr!r}")
    return os.path.join(folder, "titik.dxf")


def audited(path):
    doc, auditor = recover.readfile(path)
    errors = [error.message for error in auditor.errors]
    if errors:
        raise AssertionError(f"{path}: ezdxf audit errors: {errors}")
    return doc


def ogr_features(path):
    """(layer, kind, geometry) of every feature ogrinfo reads; kind is TEXT
    for a feature with a text, otherwise its geometry type."""
    result = subprocess.run(["ogrinfo", "-ro", "-al", "-q", path], capture_output=True, text=True,
                            check=True)
    features = []
    for block in result.stdout.split("OGRFeature(")[1:]:
        layer = re.search(r"^  Layer \(String\) = (.*)$", block, re.M).group(1)
        geometry = re.search(r"^  ([A-Z]+ Z?) ?\(.*$", block, re.M).group(0).strip()
        kind = "TEXT" if "  Text (String) =" in block else geometry.split(" (")[0]
        features.append((layer, kind, geometry))
    return features


def expected_point_layers():
    return collections.Counter(LAYERS.get(code, "TITIK") for code in CODES * 4)


class SurveyDrawingsInOtherReaders(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)

    def test_labelled_points_on_code_layers(self):
        for layout in ("full", "minimal"):
            with self.subTest(layout=layout):
                path = convert(self.folder, ["txt2point", "--columns", "pnezd", "--skip", "1",
                                             "--labels", "pzd", "--layer-by-code",
                                             "--dxf", layout])
                doc = audited(path)
                points = collections.Counter(e.dxf.layer.upper()
                                             for e in doc.modelspace().query("POINT"))
                self.assertEqual(points, expected_point_layers())
                features = ogr_features(path)
                ogr_points = collections.Counter(layer.upper() for layer, kind, _ in features
                                                 if kind == "POINT Z")
                self.assertEqual(ogr_points, expected_point_layers())
                texts = sum(1 for _, kind, _ in features if kind == "TEXT")
                labels_per_point = [3 if code else 2 for code in CODES * 4]
                self.assertEqual(texts, sum(labels_per_point))

    def test_full_layout_declares_every_layer_and_the_extents(self):
        path = convert(self.folder, ["txt2point", "--columns", "pnezd", "--skip", "1",
                                     "--layer-by-code", "--dxf", "full"])
        doc = audited(path)
        self.assertEqual(doc.dxfversion, "AC1009")
        declared = {layer.dxf.name for layer in doc.layers} - {"Defpoints"}
        self.assertEqual(declared, {"0", "TITIK", "TEKS", "TREE", "KERB_L", "BM", "FENCE"})
        count = len(CODES) * 4
        self.assertEqual(tuple(doc.header["$EXTMIN"]), (512345.25, 9123456.5, 10.0))
        self.assertEqual(tuple(doc.header["$EXTMAX"]),
                         (512345.25 + (count - 1) * 2, 9123456.5 + (count - 1) * 3.25,
                          10 + (count - 1) / 4))
        self.assertNotEqual(doc.header["$PDMODE"], 0)

    def test_polylines_split_by_code_keep_their_elevations(self):
        path = convert(self.folder, ["txt2poly", "--columns", "pnezd", "--skip", "1",
                                     "--split-by-code", "--layer-by-code", "--dxf", "full"])
        doc = audited(path)
        polylines = list(doc.modelspace().query("POLYLINE"))
        self.assertTrue(all(p.is_3d_polyline for p in polylines))
        elevations = [v.dxf.location.z for p in polylines for v in p.vertices]
        self.assertEqual(elevations, [10 + i / 4 for i in range(len(CODES) * 4)])
        lines = [(layer, geometry) for layer, kind, geometry in ogr_features(path)
                 if kind == "LINESTRING Z"]
        self.assertEqual(lines[0], ("KERB_L", "LINESTRING Z (512351.25 9123466.25 10.75,"
                                    "512353.25 9123469.5 11)"))

    def test_full_layout_of_plain_triples(self):
        path = os.path.join(self.folder, "peta.txt")
        with open(path, "w") as f:
            f.write("100.5,-20,3\r\n101,-21,4\r\n")
        for mode in ("txt2point", "txt2poly"):
            with self.subTest(mode=mode):
                subprocess.run([CLI, mode, "--dxf", "full", path], check=True)
                audited(os.path.join(self.folder, "peta.dxf"))
                kinds = {kind for _, kind, _ in ogr_features(os.path.join(self.folder,
                                                                          "peta.dxf"))}
                self.assertEqual(kinds, {"POINT Z", "TEXT"} if mode == "txt2point"
                                 else {"LINESTRING Z"})


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
