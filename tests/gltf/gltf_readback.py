"""quillmere-batch gltf read back: the models of projects that the sample
writer writes, checked against what quillmere-batch itself prints, and
validated.

    gltf_readback.py BATCH SAMPLEGEN SAMPLE WORK [NODE_MODULES]

Each .glb is read by the small reader below: the sheet's vertex and
triangle counts against `report sheet`, its points seen through the root
node (+Y up) against `tip`, its colours against the ramp colour of the
index `values` gives (linear), every quantity's attribute against `values`,
a quarter model's four images, the tools and their materials, a minimum
wall, a difference to another record. Every file then goes to the Khronos
validator (validate.mjs, from NODE_MODULES) and must have no error; where
the validator is not installed, VTK's glTF reader reads each file back
instead.
"""
import json
import math
import os
import shutil
import struct
import subprocess
import sys

batch, samplegen, sample, work = sys.argv[1:5]
modules = sys.argv[5] if len(sys.argv) > 5 else ""
here = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


def run(*arguments, status=0):
    result = subprocess.run([batch, *arguments], capture_output=True, text=True, env=dict(os.environ, DISPLAY=""))
    if result.returncode != status:
        sys.exit("quillmere-batch %s: status %d, expected %d\n%s" % (" ".join(arguments), result.returncode,
                                                                      status, result.stderr))
    return result


class Model:
    """A .glb: its JSON, its binary chunk and the world transform of each node."""

    def __init__(self, path):
        data = open(path, "rb").read()
        magic, version, length = struct.unpack_from("<III", data)
        if (magic, version, length) != (0x46546C67, 2, len(data)):
            sys.exit("%s: header %x %d %d for %d bytes" % (path, magic, version, length, len(data)))
        json_length, kind = struct.unpack_from("<II", data, 12)
        try:
            self.json = json.loads(data[20:20 + json_length].decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            sys.exit("%s: the JSON cannot be read: %s" % (path, error))
        at = 20 + json_length
        binary_length, kind = struct.unpack_from("<II", data, at)
        self.binary = data[at + 8:at + 8 + binary_length]
        self.world = {}
        for root in self.json["scenes"][0]["nodes"]:
            self.place(root, identity())

    def place(self, index, parent):
        node = self.json["nodes"][index]
        self.world[index] = multiply(parent, local(node))
        for child in node.get("children", []):
            self.place(child, self.world[index])

    def accessor(self, index):
        accessor = self.json["accessors"][index]
        view = self.json["bufferViews"][accessor["bufferView"]]
        code = {5121: "B", 5123: "H", 5125: "I", 5126: "f"}[accessor["componentType"]]
        width = {"SCALAR": 1, "VEC3": 3, "VEC4": 4}[accessor["type"]]
        values = struct.unpack_from("<%d%s" % (accessor["count"] * width, code), self.binary,
                                    view["byteOffset"] + accessor.get("byteOffset", 0))
        return [values[i:i + width] for i in range(0, len(values), width)] if width > 1 else list(values)

    def nodes_named(self, prefix):
        return [i for i, node in enumerate(self.json["nodes"]) if node.get("name", "").startswith(prefix)]

    def primitive(self, node):
        return self.json["meshes"][self.json["nodes"][node]["mesh"]]["primitives"][0]


def identity():
    return [[1.0 if i == j else 0.0 for j in range(4)] for i in range(4)]


def multiply(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]


def local(node):
    x, y, z, w = node.get("rotation", [0, 0, 0, 1])
    rotation = [[1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
                [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
                [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)]]
    scale = node.get("scale", [1, 1, 1])
    t = node.get("translation", [0, 0, 0])
    return [[rotation[i][j] * scale[j] for j in range(3)] + [t[i]] for i in range(3)] + [[0, 0, 0, 1]]


def apply(matrix, point):
    return [sum(matrix[i][k] * point[k] for k in range(3)) + matrix[i][3] for i in range(3)]


def linear(byte):
    c = byte / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def ramp(index, diverging=False):
    """The sRGB bytes of a ramp index: red through yellow to blue, or blue through white to red."""
    if index == 33:
        return (64, 64, 64)
    if diverging:
        fade = 255 - 15 * abs(index - 16)
        return (fade if index < 16 else 255, fade, fade if index > 16 else 255)
    return (255, 15 * index, 0) if index <= 16 else (255 - 15 * (index - 16), 255 - 15 * (index - 16), 15 * (index - 16))


def number(text):
    return float(text)


def values(project, quantity, *more):
    lines = run("values", project, "--quantity", str(quantity), *more).stdout.splitlines()
    return [(number(line.split(",")[1]), int(line.split(",")[2])) for line in lines[2:]]


def count(project, what):
    report = run("report", "sheet", project).stdout
    return int(next(line for line in report.splitlines() if line.startswith(what)).split(":")[1])


def tip_point(project, node, *more):
    lines = run("tip", project, "--node", str(node), *more).stdout.splitlines()
    return [float(v) / 1000 for v in lines[1].split()[:3]]


NAMES = ["_THICKNESS", "_TEMPERATURE", "_VON_MISES_STRESS", "_EXTENSION_IN_X", "_EXTENSION_IN_Y",
         "_PLANAR_EXTENSION", "_L1_L2"]
NO_VALUE = -3.4028234663852886e+38


def close(written, expected):
    if math.isnan(expected):
        return written == NO_VALUE
    return abs(written - expected) <= 1e-6 * max(abs(expected), 1e-30)


def check_sheet(label, model, project, quantity, sampled, record_options=(), diverging=False, minus=()):
    """Counts, the axis change, the colours and the attributes of the sheet node."""
    sheet = model.nodes_named("Sheet")[0]
    primitive = model.primitive(sheet)
    attributes = primitive["attributes"]
    points = model.accessor(attributes["POSITION"])
    triangles = model.accessor(primitive["indices"])
    check(len(triangles) == 3 * count(project, "Number of elements"),
          "%s: %d triangles" % (label, len(triangles) // 3))
    # The sheet's z is the model's +Y: (x, y, z) seen as (x, z, -y).
    for node in sampled:
        x, y, z = tip_point(project, node, *record_options)
        seen = apply(model.world[sheet], points[node - 1])
        check(all(abs(a - b) < 1e-6 for a, b in zip(seen, [x, z, -y])),
              "%s: node %d seen at %s, not at (x, z, -y) of %s" % (label, node, seen, (x, y, z)))
    colours = model.accessor(attributes["COLOR_0"])
    shown = values(project, quantity, *record_options, *minus)
    check(len(points) == len(shown) == len(colours), "%s: %d points, values prints %d" % (label, len(points),
                                                                                         len(shown)))
    for node in sampled:
        index = shown[node - 1][1] if shown[node - 1][1] >= 0 else 33
        expected = [linear(c) for c in ramp(index, diverging)]
        written = [c / 255 for c in colours[node - 1][:3]]
        check(all(abs(a - b) <= 0.5 / 255 for a, b in zip(written, expected)),
              "%s: node %d coloured %s, not the linear %s of index %d" % (label, node, written, expected, index))
    for quantity_number, name in enumerate(NAMES, 1):
        plain = values(project, quantity_number, *record_options)
        written = model.accessor(attributes[name])
        for node in sampled:
            check(close(written[node - 1], plain[node - 1][0]),
                  "%s: %s of node %d is %r, values prints %r" % (label, name, node, written[node - 1],
                                                                plain[node - 1][0]))
    if minus:
        delta = model.accessor(attributes["_DELTA" + NAMES[quantity - 1]])
        for node in sampled:
            check(close(delta[node - 1], shown[node - 1][0]),
                  "%s: the difference of node %d is %r, values prints %r" % (label, node, delta[node - 1],
                                                                          shown[node - 1][0]))
    return points


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
written = []


def export(name, project, *options):
    path = os.path.join(work, name)
    run("gltf", project, "-o", path, *options)
    written.append(path)
    return Model(path)


# The bundled sample: the sheet, its three tools in the default display
# colours (white, opacity 0.9: blended), the sheet unlit.
model = export("sample.glb", sample)
check_sheet("sample", model, sample, 1, [1, 5, 77, 1000, 2091])
root = model.json["nodes"][0]
check(root["name"] == "cup.tfc, record 15", "the root is named %r" % root["name"])
tools = model.nodes_named("Tool")
check([model.json["nodes"][t]["name"] for t in tools] == ["Tool 1", "Tool 2", "Tool 3"],
      "the tools are %s" % [model.json["nodes"][t]["name"] for t in tools])
for t in tools:
    material = model.json["materials"][model.primitive(t)["material"]]
    check(material["pbrMetallicRoughness"]["baseColorFactor"] == [1, 1, 1, 0.9] and material["alphaMode"] == "BLEND",
          "%s: material %s" % (model.json["nodes"][t]["name"], material))
    check(len(model.accessor(model.primitive(t)["indices"])) > 0, "%s has no triangles" % t)
sheet_material = model.json["materials"][model.primitive(model.nodes_named("Sheet")[0])["material"]]
check("KHR_materials_unlit" in sheet_material.get("extensions", {}), "the sheet is lit: %s" % sheet_material)
check(model.json["scenes"][0]["extras"]["title"] == "Thickness", "the scene's title")

# A minimum wall: the elements thinner than it in its colour, as the sheet
# mesh's second primitive (sharing the first one's attributes, without its
# colours), and empty triangles in their place in the first.
whole = model.accessor(model.primitive(model.nodes_named("Sheet")[0])["indices"])
line = run("values", sample, "--quantity", "1", "--min-wall", "0.8").stdout.splitlines()[1]
thin = int(line.split(": ")[1].split()[0])
walled = export("minimum-wall.glb", sample, "--min-wall", "0.8")
primitives = walled.json["meshes"][walled.json["nodes"][walled.nodes_named("Sheet")[0]]["mesh"]]["primitives"]
check(len(primitives) == 2, "minimum wall: %d primitives" % len(primitives))
if len(primitives) == 2:
    kept, wall = (walled.accessor(p["indices"]) for p in primitives)
    emptied = [e for e in range(len(whole) // 3) if kept[3 * e:3 * e + 3] != whole[3 * e:3 * e + 3]]
    check(thin > 0 and len(emptied) == thin and all(kept[3 * e:3 * e + 3] == [0, 0, 0] for e in emptied),
          "minimum wall: %d elements emptied, values counts %d" % (len(emptied), thin))
    check(wall == [i for e in emptied for i in whole[3 * e:3 * e + 3]],
          "minimum wall: its triangles are not the emptied elements'")
    for e in emptied[:3] + emptied[-3:]:
        thickness = float(run("tip", sample, "--element", str(e)).stdout.splitlines()[1].split()[1])
        check(thickness <= 0.8, "minimum wall: element %d is %g mm thick" % (e, thickness))
    first, second = (p["attributes"] for p in primitives)
    check("COLOR_0" not in second and all(second[name] == first[name] for name in second),
          "minimum wall: its attributes are %s" % second)
    material = walled.json["materials"][primitives[1]["material"]]
    check(material["name"] == "Minimum wall" and material["pbrMetallicRoughness"]["baseColorFactor"] == [1, 0, 1, 0.9]
          and "KHR_materials_unlit" in material.get("extensions", {}), "minimum wall: material %s" % material)

# Another record and quantity; a quarter model is shown whole: its mirror
# images in its planes x = 0 and y = 0 share its mesh.
project = work + "/quarter/cup.tfc"
subprocess.run([samplegen, "cup", work + "/quarter", "--cells", "8", "6", "--records", "3", "--quarter"], check=True)
model = export("quarter.glb", project, "--record", "2", "--quantity", "2")
points = check_sheet("quarter", model, project, 2, [1, 7, 13, 20], ["--record", "2"])
images = model.nodes_named("Sheet")
check(len(images) == 4, "the quarter has %d sheet nodes" % len(images))
for node in range(1, len(points) + 1):
    x, y, z = points[node - 1]
    seen = sorted(tuple(round(c, 7) for c in apply(model.world[i], points[node - 1])) for i in images)
    expected = sorted(tuple(round(c, 7) for c in (sx * x, z, -sy * y)) for sx in (1, -1) for sy in (1, -1))
    if seen != expected:
        failures.append("quarter: node %d's images are %s, not %s" % (node, seen, expected))
        break

# The difference to another record: the diverging ramp's colours, and the
# difference itself beside the plain values.
cup = work + "/cup/cup.tfc"
subprocess.run([samplegen, "cup", work + "/cup", "--cells", "8", "6", "--records", "3"], check=True)
model = export("difference.glb", cup, "--quantity", "2", "--minus", cup, "--minus-record", "1")
check_sheet("difference", model, cup, 2, [1, 9, 30, 63], diverging=True, minus=("--minus", cup, "--minus-record", "1"))

# Values that are not numbers: the lowest float, the grey, and the
# elements around empty triangles.
broken = work + "/nonfinite/cup.tfc"
subprocess.run([samplegen, "cup", work + "/nonfinite", "--cells", "4", "3", "--records", "2", "--nonfinite"],
               check=True)
model = export("nonfinite.glb", broken, "--quantity", "2")
sheet = model.primitive(model.nodes_named("Sheet")[0])
check(model.accessor(sheet["attributes"]["_TEMPERATURE"]).count(NO_VALUE) >= 1, "nonfinite: no node without value")
check(model.accessor(sheet["attributes"]["POSITION"])[1] == (0, 0, 0), "nonfinite: node 2 is not at the origin")
triangles = model.accessor(sheet["indices"])
check(any(triangles[i:i + 3] == [0, 0, 0] for i in range(0, len(triangles), 3)), "nonfinite: no empty triangle")

# A file name of any bytes: the JSON stays UTF-8, a quote stays in its
# string.
odd = 'odd"\udcff'  # a byte that is no UTF-8, as the file system gives it
subprocess.run([samplegen, "cup", work + "/odd", "--name", odd, "--cells", "4", "3", "--records", "2"], check=True)
model = export("odd.glb", work + "/odd/" + odd + ".tfc")
check(model.json["nodes"][0]["name"] == 'odd"\ufffd.tfc, record 2', "the root is named %r" % model.json["nodes"][0]["name"])

if modules and os.path.isdir(os.path.join(modules, "gltf-validator")) and shutil.which("node"):
    result = subprocess.run(["node", os.path.join(here, "validate.mjs"), modules, *written], capture_output=True,
                            text=True)
    print(result.stdout + result.stderr, end="")
    check(result.returncode == 0, "the validator found errors")
else:
    print("gltf-validator is not installed (tools/scripts/install-deps.sh installs it): VTK's glTF reader reads "
          "the files back instead")
    import vtk
    for path in written:
        reader = vtk.vtkGLTFReader()
        reader.SetFileName(path)
        reader.Update()
        blocks = []
        walk = reader.GetOutput().NewIterator()
        walk.InitTraversal()
        while not walk.IsDoneWithTraversal():
            blocks.append(walk.GetCurrentDataObject())
            walk.GoToNextItem()
        model = Model(path)
        # One block a primitive.
        meshes = [primitive for node in model.json["nodes"] if "mesh" in node
                  for primitive in model.json["meshes"][node["mesh"]]["primitives"]]
        check(len(blocks) == len(meshes), "VTK reads %d primitives of %s, not %d" % (len(blocks), path, len(meshes)))
        sheet = model.primitive(model.nodes_named("Sheet")[0])
        arrays = blocks[0].GetPointData() if blocks else None
        check(blocks and blocks[0].GetNumberOfPoints() == model.json["accessors"][sheet["attributes"]["POSITION"]]["count"]
              and all(arrays.GetArray(name) for name in NAMES), "VTK reads another sheet of %s" % path)

print("\n".join(failures) if failures else "gltf read back: all checks passed")
sys.exit(1 if failures else 0)
