// The user-visible texts of the application shell, exactly as the program
// shows them.
#pragma once

namespace quillmere {

namespace appTexts {

constexpr const char* Title = "Quillmere 1.00";
constexpr const char* ProjectFilter = "QRELL projects (*.tfc)";
constexpr const char* OpenTitle = "Open";
constexpr const char* StandardToolbar = "Standard";
constexpr const char* ScalePanel = "Scale & Cube";
constexpr const char* BackgroundMissing = "The background image was not loaded into the application!";
constexpr const char* LowColourDepth = "Your graphic card is set to have too low color definition.\nPlease "
                                       "make it at least 16 bits, then restart "
                                       "Quillmere.";
constexpr const char* ProjectRecords = "Project contains %d records.";
constexpr const char* RecordCaption = "%s: Rec. %d / %d.";
constexpr const char* RecordBoxTip = "Enter record number to load here";
constexpr const char* MeasurementFilter = "Measurement files (*.csv *.txt);;All files (*)";
constexpr const char* ImportMeasurementsTitle = "Import measurements";
constexpr const char* SaveTableTitle = "Save table";
constexpr const char* TableFilter = "CSV files (*.csv)";
constexpr const char* ExportModelTitle = "Export 3D model";
constexpr const char* ModelFilter = "glTF binary models (*.glb)";
constexpr const char* MeasurementsPanel = "Measurements";

} // namespace appTexts

} // namespace quillmere
