"""quillmere-batch vtk read back by VTK's own reader.

    vtk_readback.py BATCH SAMPLEGEN WORK

Writes a cup project with the sample writer, exports it in both systems of
units and checks the grids against what quillmere-batch itself prints: point
and cell counts, every point array against `values` (stored SI units
converted), the field data and the .pvd times against `report record`.
Under US customary units every array and the points are converted (inch,
degF, psi), and the .pvd lists the records in their order whatever the
order they were asked in.
"""
import math
import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

try:
    import vtk
except ImportError:
    sys.exit(f"{sys.executable} cannot import vtk: tools/scripts/install-deps.sh installs python3-vtk9")

batch, samplegen, work = sys.argv[1:4]
failures = []


def values_of(array):
    return [array.GetValue(i) for i in range(array.GetNumberOfTuples())]


def check(condition, text):
    if not condition:
        failures.append(text)


def run(*arguments, status=0):
    result = subprocess.run([batch, *arguments], capture_output=True, text=True, env=dict(os.environ, DISPLAY=""))
    if result.returncode != status:
        sys.exit("quillmere-batch %s: status %d, expected %d\n%s" % (" ".join(arguments), result.returncode,
                                                                      status, result.stderr))
    return result


shutil.rmtree(work, ignore_errors=True)
subprocess.run([samplegen, "cup", work + "/project", "--cells", "9", "7", "--records", "4"], check=True)
project = work + "/project/cup.tfc"
elements = int(next(line for line in run("report", "sheet", project).stdout.splitlines()
                    if line.startswith("Number of elements:")).split(":")[1])

# Stored SI value (metres, degC, MPa) to the file's unit, per quantity 1..9.
PSI_PER_MPA = 145.032632342277
to_us = {1: lambda v: v * 1000 / 25.4, 2: lambda v: v * 9 / 5 + 32, 3: lambda v: v * PSI_PER_MPA}
to_si = {1: lambda v: v * 1000}
systems = {
    "si": (["thickness_mm", "temperature_C", "von_mises_stress_MPa", "extension_in_x", "extension_in_y",
            "planar_extension", "l1_l2", "thinning_percent", "first_contact"], to_si, "MPa", "all", [1, 2, 3, 4]),
    "us": (["thickness_inch", "temperature_F", "von_mises_stress_psi", "extension_in_x", "extension_in_y",
            "planar_extension", "l1_l2", "thinning_percent", "first_contact"], to_us, "psi", "4,2", [2, 4]),
}
si_points, si_stresses = {}, {}


def close(written, expected):
    # A node without a value (first contact of a node that never touches)
    # is nan on both sides.
    def gap(a, b):
        if math.isnan(a) or math.isnan(b):
            return 0.0 if math.isnan(a) and math.isnan(b) else math.inf
        return abs(a - b) / max(1.0, abs(b))
    worst = max((gap(a, b) for a, b in zip(written, expected)), default=0)
    return len(written) == len(expected) and worst < 1e-12, worst


for units, (names, convert, stress_unit, records, expected_records) in systems.items():
    folder = work + "/" + units
    run("vtk", project, "--to", folder, "--records", records, "--units", units)
    collection = ElementTree.parse(folder + "/cup.pvd").getroot().find("Collection")
    datasets = collection.findall("DataSet")
    check([d.get("file") for d in datasets] == ["cup_%d.vtu" % r for r in expected_records],
          "%s: the .pvd lists %s" % (units, [d.get("file") for d in datasets]))
    check(sorted(os.listdir(folder)) == sorted(["cup.pvd"] + ["cup_%d.vtu" % r for r in expected_records]),
          "%s: the folder holds %s" % (units, os.listdir(folder)))
    for dataset, record in zip(datasets, expected_records):
        report = run("report", "record", project, "--record", str(record)).stdout
        milliseconds = float(next(line for line in report.splitlines() if line.startswith("Time (ms):")).split(":")[1])
        time = float(dataset.get("timestep"))
        check(abs(time * 1000 - milliseconds) < 1e-9, "%s record %d: time %r, report %r ms" % (units, record, time,
                                                                                                milliseconds))
        reader = vtk.vtkXMLUnstructuredGridReader()
        reader.SetFileName(folder + "/" + dataset.get("file"))
        reader.Update()
        grid = reader.GetOutput()
        check(grid.GetNumberOfCells() == elements, "%s record %d: %d cells, not %d" % (units, record,
                                                                                       grid.GetNumberOfCells(), elements))
        check(all(grid.GetCellType(i) == vtk.VTK_TRIANGLE for i in range(grid.GetNumberOfCells())),
              "%s record %d: not every cell is a triangle" % (units, record))
        fields = grid.GetFieldData()
        check(fields.GetArray("record").GetValue(0) == record, "%s record %d: field record" % (units, record))
        check(fields.GetArray("TimeValue").GetValue(0) == time, "%s record %d: field TimeValue" % (units, record))
        check(grid.GetPoints().GetData().GetDataType() == vtk.VTK_DOUBLE, "points are not 64-bit floats")
        # Metres under SI; the same points in inches under US.
        points = grid.GetPoints().GetData()
        coordinates = [points.GetComponent(i, c) for i in range(points.GetNumberOfTuples()) for c in range(3)]
        stresses = [values_of(grid.GetCellData().GetArray("stress_%d_%s" % (k, stress_unit))) for k in (1, 2, 3)]
        if units == "si":
            si_points[record], si_stresses[record] = coordinates, stresses
        elif record in si_points:
            ok, worst = close(coordinates, [v * 1000 / 25.4 for v in si_points[record]])
            check(ok, "us record %d: the points are not the SI ones in inches (%g)" % (record, worst))
            for k in range(3):
                ok, worst = close(stresses[k], [v * PSI_PER_MPA for v in si_stresses[record][k]])
                check(ok, "us record %d: stress %d is not the SI one in psi (%g)" % (record, k + 1, worst))
        scalars = grid.GetPointData().GetScalars()
        check(scalars is not None and scalars.GetName() == names[0], "%s: the thickness is not the active scalar" % units)
        for quantity, name in enumerate(names, 1):
            lines = run("values", project, "--quantity", str(quantity), "--record", str(record)).stdout.splitlines()
            stored = [float(line.split(",")[1]) for line in lines[2:]]
            array = grid.GetPointData().GetArray(name)
            if array is None:
                failures.append("%s record %d: no point array %s" % (units, record, name))
                continue
            check(grid.GetNumberOfPoints() == len(stored), "%s record %d: %d points, values prints %d" % (
                units, record, grid.GetNumberOfPoints(), len(stored)))
            ok, worst = close(values_of(array), [convert.get(quantity, lambda v: v)(v) for v in stored])
            check(ok, "%s record %d: %s differs from values by %g" % (units, record, name, worst))
        cells = grid.GetCellData()
        for name in [names[0], names[1]] + ["stress_%d_%s" % (k, stress_unit) for k in (1, 2, 3)] + [
                "contact", "clamped", "no_pressure"]:
            check(cells.GetArray(name) is not None and cells.GetArray(name).GetNumberOfTuples() == elements,
                  "%s record %d: cell array %s" % (units, record, name))
        clamped = values_of(cells.GetArray("clamped"))
        check(set(clamped) <= {0, 1} and 0 < sum(clamped) < elements, "%s: clamped flags %s" % (units, set(clamped)))

# A record outside the project writes nothing.
run("vtk", project, "--to", work + "/none", "--records", "2,5", status=2)
check(not os.path.exists(work + "/none/cup.pvd"), "a bad record list left a .pvd")

print("\n".join(failures) if failures else "vtk read back: all checks passed")
sys.exit(1 if failures else 0)
