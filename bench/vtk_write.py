#!/usr/bin/python3
"""The same work as quillmere-batch vtk writing a record, done with VTK's own
writer: the grid of a .vtu (read once, untimed) written again as binary raw
appended data with 64-bit headers and no compression, to a temporary name
synced and renamed into place, as quillmere-batch writes every file. By
default the target is removed before each run, out of the timing, as for a
first export; "replacing" keeps it, so that each run replaces the one before
as exporting again does; "nosync" times VTK's plain Write() alone. Prints
the best and median of the runs in seconds.

    vtk_write.py GRID.vtu RUNS [replacing|nosync]"""
import os
import statistics
import sys
import time

import vtk

path, runs = sys.argv[1], int(sys.argv[2])
mode = sys.argv[3] if len(sys.argv) > 3 else "new"
reader = vtk.vtkXMLUnstructuredGridReader()
reader.SetFileName(path)
reader.Update()
grid = reader.GetOutput()
target = os.path.join(os.path.dirname(os.path.abspath(path)), "vtk-writer.vtu")


def write(sync):
    writer = vtk.vtkXMLUnstructuredGridWriter()
    writer.SetInputData(grid)
    writer.SetFileName(target + ".part" if sync else target)
    writer.SetDataModeToAppended()
    writer.EncodeAppendedDataOff()
    writer.SetHeaderTypeToUInt64()
    writer.SetCompressorTypeToNone()
    if not writer.Write():
        sys.exit("VTK's writer failed")
    if sync:
        with open(target + ".part", "rb+") as written:
            os.fsync(written.fileno())
        os.replace(target + ".part", target)


if mode == "replacing":
    write(True)
times = []
for _ in range(runs):
    if mode != "replacing" and os.path.exists(target):
        os.remove(target)
    start = time.perf_counter()
    write(mode != "nosync")
    times.append(time.perf_counter() - start)
os.remove(target)
label = {"new": "", "replacing": " (replacing)", "nosync": " (no sync)"}[mode]
print(f"VTK write{label} {grid.GetNumberOfCells()} cells, {grid.GetNumberOfPoints()} points: "
      f"best={min(times):.3f} median={statistics.median(times):.3f} s")
