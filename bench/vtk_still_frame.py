#!/usr/bin/python3
"""A still frame of the 3D view's default look, drawn by VTK: the mesh of a
binary uncompressed .vtu as a lit, smooth-shaded surface without edges,
coloured by a point scalar (the cell temperatures averaged to the nodes, as
the view colours nodes), at the view's default sheet opacity of 0.9, in a
1024 x 768 off-screen render window (run it under xvfb-run). The first frame
(which uploads the mesh) is left out; each timed frame is Render() followed
by reading the pixels back, as our RenderImage reads its frame. Prints the
best and median of the frames in seconds, and of Render() alone."""
import statistics
import sys
import time

import vtk


def scene(path, opacity):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    surface = vtk.vtkDataSetSurfaceFilter()
    surface.SetInputConnection(reader.GetOutputPort())
    points = vtk.vtkCellDataToPointData()
    points.SetInputConnection(surface.GetOutputPort())
    normals = vtk.vtkPolyDataNormals()
    normals.SetInputConnection(points.GetOutputPort())
    normals.SplittingOff()
    normals.Update()
    mesh = normals.GetOutput()
    mapper = vtk.vtkPolyDataMapper()
    mapper.SetInputData(mesh)
    mapper.SetScalarModeToUsePointData()
    mapper.SetScalarRange(mesh.GetPointData().GetScalars().GetRange())
    actor = vtk.vtkActor()
    actor.SetMapper(mapper)
    actor.GetProperty().SetInterpolationToGouraud()
    actor.GetProperty().EdgeVisibilityOff()
    actor.GetProperty().SetOpacity(opacity)
    renderer = vtk.vtkRenderer()
    renderer.AddActor(actor)
    renderer.SetBackground(0.75, 0.75, 0.75)
    renderer.ResetCamera()
    renderer.GetActiveCamera().Elevation(-50)
    renderer.GetActiveCamera().Azimuth(30)
    renderer.ResetCamera()
    # The sheet about as large in the frame as the view draws it.
    renderer.GetActiveCamera().Zoom(1.25)
    window = vtk.vtkRenderWindow()
    window.SetOffScreenRendering(1)
    window.SetSize(1024, 768)
    window.AddRenderer(renderer)
    return window, mesh.GetNumberOfCells()


def main():
    path = sys.argv[1]
    frames = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    opacity = float(sys.argv[3]) if len(sys.argv) > 3 else 0.9
    window, cells = scene(path, opacity)
    window.Render()
    pixels = vtk.vtkUnsignedCharArray()
    window.GetRGBACharPixelData(0, 0, 1023, 767, 0, pixels)
    renders, times = [], []
    for _ in range(frames):
        start = time.perf_counter()
        window.Render()
        rendered = time.perf_counter()
        window.GetRGBACharPixelData(0, 0, 1023, 767, 0, pixels)
        done = time.perf_counter()
        renders.append(rendered - start)
        times.append(done - start)
    print(f"vtk still frame 1024x768 cells={cells} opacity={opacity} "
          f"best={min(times):.4f} median={statistics.median(times):.4f} "
          f"render_best={min(renders):.4f} render_median={statistics.median(renders):.4f}")


if __name__ == "__main__":
    main()
