#!/usr/bin/python3
"""The same work as quillmere-batch gltf writing a record, done with VTK's own
glTF exporter: the sheet of a .vtu (read once, untimed) as a polygonal surface
coloured by its thickness, exported into a folder emptied before each run
(untimed), its files synced as quillmere-batch syncs its .glb. VTK's
exporter writes a .gltf with its buffers in .bin files beside it (it has no
.glb); their sizes are added up. Prints the best and median of the runs in
seconds, the median of the process's user and system time (every thread's)
and the bytes written.

    vtk_gltf_export.py GRID.vtu RUNS"""
import os
import shutil
import statistics
import sys
import time

import vtk

path, runs = sys.argv[1], int(sys.argv[2])
reader = vtk.vtkXMLUnstructuredGridReader()
reader.SetFileName(path)
reader.Update()
surface = vtk.vtkGeometryFilter()
surface.SetInputData(reader.GetOutput())
surface.Update()
sheet = surface.GetOutput()
thickness = sheet.GetPointData().GetArray("thickness_mm")
sheet.GetPointData().SetActiveScalars("thickness_mm")
mapper = vtk.vtkPolyDataMapper()
mapper.SetInputData(sheet)
mapper.SetScalarModeToUsePointData()
mapper.SetScalarRange(thickness.GetRange())
actor = vtk.vtkActor()
actor.SetMapper(mapper)
renderer = vtk.vtkRenderer()
renderer.AddActor(actor)
window = vtk.vtkRenderWindow()
window.SetOffScreenRendering(1)
window.AddRenderer(renderer)
folder = os.path.join(os.path.dirname(os.path.abspath(path)), "vtk-gltf")

times, process_times = [], []
size = 0
for _ in range(runs):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    start, process_start = time.perf_counter(), time.process_time()
    exporter = vtk.vtkGLTFExporter()
    exporter.SetRenderWindow(window)
    exporter.SetFileName(os.path.join(folder, "sheet.gltf"))
    exporter.Write()
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb+") as written:
            os.fsync(written.fileno())
    times.append(time.perf_counter() - start)
    process_times.append(time.process_time() - process_start)
    size = sum(os.path.getsize(os.path.join(folder, name)) for name in os.listdir(folder))
shutil.rmtree(folder, ignore_errors=True)
print(f"VTK glTF export {sheet.GetNumberOfCells()} cells, {sheet.GetNumberOfPoints()} points: "
      f"best={min(times):.3f} median={statistics.median(times):.3f} s, "
      f"process={statistics.median(process_times):.3f} s, bytes={size}")
