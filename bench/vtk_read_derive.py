#!/usr/bin/python3
"""The same work as reading and deriving a record, done with VTK: read a
binary uncompressed .vtu, compute cell areas with vtkCellSizeFilter and
normals with vtkPolyDataNormals. With "load" as third argument, only read
it. Prints the best and median of the runs in seconds, and with "load" the
peak resident memory of the whole process holding the mesh."""
import resource
import statistics
import sys
import time

import vtk


def load(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    output = reader.GetOutput()
    return output.GetNumberOfCells(), output.GetNumberOfPoints()


def run(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    sizes = vtk.vtkCellSizeFilter()
    sizes.SetInputConnection(reader.GetOutputPort())
    sizes.ComputeAreaOn()
    sizes.ComputeVolumeOff()
    sizes.ComputeLengthOff()
    sizes.ComputeVertexCountOff()
    surface = vtk.vtkGeometryFilter()
    surface.SetInputConnection(sizes.GetOutputPort())
    normals = vtk.vtkPolyDataNormals()
    normals.SetInputConnection(surface.GetOutputPort())
    normals.ComputeCellNormalsOn()
    normals.ComputePointNormalsOn()
    normals.SplittingOff()  # the sheet keeps one normal per node
    normals.ConsistencyOff()  # element order is taken as stored
    normals.Update()
    output = normals.GetOutput()
    return output.GetNumberOfCells(), output.GetNumberOfPoints()


def main():
    path = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    load_only = len(sys.argv) > 3 and sys.argv[3] == "load"
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        cells, points = (load if load_only else run)(path)
        times.append(time.perf_counter() - start)
    figures = f"cells={cells} points={points} best={min(times):.4f} median={statistics.median(times):.4f}"
    if load_only:
        peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0  # kilobytes on Linux
        print(f"vtk load {figures} peak_MB={peak:.0f}")
    else:
        print(f"vtk {figures}")


if __name__ == "__main__":
    main()
