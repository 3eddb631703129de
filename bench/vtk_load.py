#!/usr/bin/python3
"""Loading the mesh with VTK, to compare with opening a project and writing
its sheet report: read a binary uncompressed .vtu in this process. Prints the
best and median of the runs in seconds and the peak resident memory of the
whole process holding the mesh, in megabytes."""
import resource
import statistics
import sys
import time

import vtk


def run(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    output = reader.GetOutput()
    return output.GetNumberOfCells(), output.GetNumberOfPoints()


def main():
    path = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        cells, points = run(path)
        times.append(time.perf_counter() - start)
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0  # kilobytes on Linux
    print(f"vtk load cells={cells} points={points} best={min(times):.4f} "
          f"median={statistics.median(times):.4f} peak_MB={peak:.0f}")


if __name__ == "__main__":
    main()
