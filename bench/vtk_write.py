#!/usr/bin/python3
"""The same work as quillmere-batch vtk writing a record, done with VTK's own
writer: the grid of a .vtu (read once, untimed) written again as binary raw
appended data with 64-bit headers and no compression, to a temporary name
renamed when complete, synced first as quillmere-batch syncs every file it
writes; with "nosync" as third argument, VTK's plain Write() alone. Prints
the best and median of the runs in seconds.

    vtk_write.py GRID.vtu RUNS [nosync]"""
import os
import statistics
import sys
import time

import vtk

path, runs = sys.argv[1], int(sys.argv[2])
sync = sys.argv[3:] != ["nosync"]
reader = vtk.vtkXMLUnstructuredGridReader()
reader.SetFileName(path)
reader.Update()
grid = reader.GetOutput()
target = os.path.join(os.path.dirname(os.path.abspath(path)), "vtk-writer.vtu")
times = []
for _ in range(runs):
    start = time.perf_counter()
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
    times.append(time.perf_counter() - start)
os.remove(target)
print(f"VTK write{'' if sync else ' (no sync)'} {grid.GetNumberOfCells()} cells, {grid.GetNumberOfPoints()} points: "
      f"best={min(times):.3f} median={statistics.median(times):.3f} s")
