// The numeric identifiers of the program's commands. Menus, toolbars and the
// navigation bar send them; the main frame routes each to the controller
// that carries it out.
#pragma once

namespace quillmere {

namespace command {

enum Id : int {
    Configuration = 102,
    PrintCut = 103,
    DisplayOptions = 104,
    Animation = 105,
    SaveBitmap = 106,
    ExportVideo = 107,
    DocumentInfo = 108,
    CutWindow = 109,
    SheetProperties = 110,
    Open = 114,
    AutoLoad = 116,
    ExportProject = 117,
    ProjectInfo = 118,
    RecordInfo = 119,
    ReportFile = 120,
    GraphicsOptions = 122,
    Measurement = 123,
    Sheet = 124,
    SheetEdges = 125,
    SheetElementsAndEdges = 126,
    SheetElements = 127,
    Dots = 128,
    Tool1 = 129,
    Tool1Shading = 130,
    Tool2 = 131,
    Tool2Shading = 132,
    NavigationBar = 133,
    ScaleBar = 134,
    CloseAll = 135,
    CompareWith = 136,
    StopComparing = 137,
    ImportMeasurements = 138,
    ExportModel = 139,
    MinimumWall = 140,
    FormingSummary = 141,
    ShareWebPage = 150,
    GoToStart = 214,
    Fit = 215,
    GoToEnd = 240,
    Limits = 241,
    LoadRecord = 242,
    NextRecord = 252,
    PreviousRecord = 259,
    XYView = 338,
    GeneralView = 339,
    XZView = 340,
    YZView = 343,
    ExclusiveZoomBox = 345,
    RemoveClipPlanes = 346,
    ZoomBox = 347,
    ZoomIn = 348,
    ZoomOut = 349,
    Close = 57602,
    PrintSetup = 57606,
    Print = 57607,
    PrintDirect = 57608,
    RecentFirst = 57616,
    NewWindow = 57648,
    About = 57664,
    Exit = 57665,
    StandardToolbar = 59392,
    StatusBar = 59393,
};

} // namespace command

} // namespace quillmere
