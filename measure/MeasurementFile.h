// Measurement files: points measured on a formed part, one a row of a CSV
// file with a header naming its columns (x, y, z, and optionally thickness
// and label), with the wall thickness a gauge gave at each.
#pragma once

#include "core/Messages.h"
#include "model/Vectors.h"

#include <array>
#include <limits>
#include <string>
#include <vector>

namespace quillmere {

// The units lengths are read and written in.
enum class LengthUnit { Metre, Millimetre, Inch };

// The factor that turns a length in from into one in to.
double LengthFactor(LengthUnit from, LengthUnit to);
// "m", "mm", "inch".
const char* LengthUnitWord(LengthUnit unit);

// The columns a measurement file may have, in this order in the arrays below.
enum MeasurementColumn { ColumnX = 0, ColumnY, ColumnZ, ColumnThickness, ColumnLabel, MeasurementColumns };
// "x", "y", "z", "thickness", "label".
const char* MeasurementColumnName(int column);

struct MeasuredPoint {
    CCoordinate position; // in metres
    // In metres; NaN where the file gives none.
    double thickness = std::numeric_limits<double>::quiet_NaN();
    // The numbers as the file writes them, in the units of their columns.
    CCoordinate given;
    double givenThickness = std::numeric_limits<double>::quiet_NaN();
    std::string label; // "" when the file has none for the point
    int line = 0;      // 1-based line of the file

    bool HasThickness() const { return thickness == thickness; }
};

// Why a row of the file is not used.
enum class RowFault {
    TooFewFields,
    NotANumber,  // of column
    NotFinite,   // NaN or infinite
    OutOfRange,  // beyond any part's size
    NotPositive, // a thickness of 0 or less
    OpenQuote,   // a quoted field without its closing quote
};
struct BadRow {
    int line = 0;
    RowFault fault = RowFault::TooFewFields;
    int column = ColumnX;
};

// What makes a measurement file unusable as a whole.
enum class MeasurementFault {
    None,
    CannotOpen,     // missing, not a regular file, or not to be opened
    CannotRead,     // a read failed
    LineTooLong,    // line
    NoHeader,       // nothing but blank and comment lines
    MissingColumns, // columns: those of x, y and z the header lacks
    RepeatedColumn, // line, columns: the column named twice
    UnknownUnit,    // line, columns: the header's text of the column
    NoUsableRow,    // no row after the header, or none that is good
    TooManyRows,    // more than kMaxMeasurementRows
};
struct MeasurementError {
    MeasurementFault fault = MeasurementFault::None;
    int line = 0;
    std::string columns;

    explicit operator bool() const { return fault != MeasurementFault::None; }
};

// More rows than any measurement gives: a file with more is refused before
// it fills the memory.
constexpr int kMaxMeasurementRows = 2000000;
// Bad rows kept for the message; the rest are counted.
constexpr size_t kListedBadRows = 10;

struct MeasurementFile {
    MeasurementError error;
    std::vector<MeasuredPoint> points; // in file order
    std::array<LengthUnit, 4> units{}; // of x, y, z and thickness as read
    bool hasThickness = false;         // the header names a thickness column
    bool hasLabels = false;
    std::vector<BadRow> badRows; // the first kListedBadRows
    int badRowCount = 0;
};

// Reads a measurement file. Columns are named in the header, in any order
// and case: x, y and z are needed, thickness and label may follow, other
// columns are passed over. A unit after the name ("x_mm", "x [mm]",
// "thickness (in)": mm, m, in or inch) is the column's; a column without
// one is in systemUnit. Fields are separated by ';' when the header has one
// (a decimal comma is then read as a point), else by ','; a field may be
// quoted. Blank lines and lines starting with '#' are passed over. Rows
// that cannot be read are kept in badRows and the others used; a file with
// no usable row has the error NoUsableRow. Numbers are read in the "C"
// locale.
MeasurementFile ReadMeasurementFile(const std::string& path, LengthUnit systemUnit);

// Why a measurement file cannot be used, the reason inside the message that
// refuses it: "its header names no z column"; empty without an error.
Message MeasurementErrorMessage(const MeasurementError& error);
// "The measurement file <path> cannot be used: <why>."
Message MeasurementRefusal(const std::string& path, const MeasurementError& error);
// The rows of a file that were left out, in one message; empty when none
// was. "The measurement file <path> has rows that are not used: line 4 (too
// few fields), line 9 (thickness is not a number)."
Message BadRowsMessage(const std::string& path, const MeasurementFile& file);

} // namespace quillmere
