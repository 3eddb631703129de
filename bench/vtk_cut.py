#!/usr/bin/python3
"""The same work as cutting the sheet with a plane, done with VTK: cut the
mesh of a binary uncompressed .vtu with vtkCutter (a vtkPlane with normal x
at the given position in mm) and join the pieces into polylines with
vtkStripper. The file is read once; only the cut and the strip are timed.
Prints the best and median of the runs in seconds."""
import statistics
import sys
import time

import vtk


def read(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    return reader.GetOutput()


def run(mesh, position):
    plane = vtk.vtkPlane()
    plane.SetOrigin(position, 0, 0)
    plane.SetNormal(1, 0, 0)
    cutter = vtk.vtkCutter()
    cutter.SetInputData(mesh)
    cutter.SetCutFunction(plane)
    cutter.GenerateCutScalarsOff()
    stripper = vtk.vtkStripper()
    stripper.SetInputConnection(cutter.GetOutputPort())
    stripper.JoinContiguousSegmentsOn()
    stripper.Update()
    output = stripper.GetOutput()
    return output.GetNumberOfLines(), output.GetNumberOfPoints()


def main():
    path = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    position_mm = float(sys.argv[3]) if len(sys.argv) > 3 else 0.3
    mesh = read(path)
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        lines, points = run(mesh, position_mm * 0.001)
        times.append(time.perf_counter() - start)
    print(f"vtk cut x={position_mm}mm lines={lines} points={points} "
          f"best={min(times):.4f} median={statistics.median(times):.4f}")


if __name__ == "__main__":
    main()
