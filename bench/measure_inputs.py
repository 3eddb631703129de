#!/usr/bin/env python3
"""The inputs of the measurement benchmarks from the VTU of a sheet that
quillmere-batch vtk wrote (its points in metres): N gauge points on the sheet,
each moved up to 0.3 mm off it, as a measurement file (CSV) and as a bare
point cloud (XYZ), and the sheet's triangles as a binary PLY mesh.

    measure_inputs.py SHEET.vtu N POINTS.csv POINTS.xyz MESH.ply
"""
import math
import random
import sys

from vtkmodules.vtkFiltersGeometry import vtkGeometryFilter
from vtkmodules.vtkIOPLY import vtkPLYWriter
from vtkmodules.vtkIOXML import vtkXMLUnstructuredGridReader

vtu, count, csv_path, xyz_path, ply_path = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
reader = vtkXMLUnstructuredGridReader()
reader.SetFileName(vtu)
reader.Update()
grid = reader.GetOutput()
surface = vtkGeometryFilter()
surface.SetInputData(grid)
writer = vtkPLYWriter()
writer.SetInputConnection(surface.GetOutputPort())
writer.SetFileName(ply_path)
writer.SetFileTypeToBinary()
if not writer.Write():
    sys.exit(f"cannot write {ply_path}")

rng = random.Random(27)
cells = grid.GetNumberOfCells()
with open(csv_path, "w") as csv, open(xyz_path, "w") as xyz:
    csv.write("label,x_m,y_m,z_m,thickness_mm\n")
    for i in range(count):
        ids = grid.GetCell(rng.randrange(cells)).GetPointIds()
        a, b, c = (grid.GetPoint(ids.GetId(k)) for k in range(3))
        u, v = rng.random(), rng.random()
        if u + v > 1:
            u, v = 1 - u, 1 - v
        ab = [b[k] - a[k] for k in range(3)]
        ac = [c[k] - a[k] for k in range(3)]
        n = [ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]]
        length = math.sqrt(sum(x * x for x in n)) or 1.0
        off = rng.uniform(-0.0003, 0.0003) / length
        p = [a[k] + u * ab[k] + v * ac[k] + off * n[k] for k in range(3)]
        csv.write(f"P{i + 1},{p[0]:.7f},{p[1]:.7f},{p[2]:.7f},{rng.uniform(1.0, 3.0):.3f}\n")
        xyz.write(f"{p[0]:.7f} {p[1]:.7f} {p[2]:.7f}\n")
