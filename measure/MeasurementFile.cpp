#include "measure/MeasurementFile.h"

#include "config/Units.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace quillmere {

namespace {

// Lengths beyond this many metres are no part's.
constexpr double kMaxLength = 1e6;

constexpr const char* kColumnNames[MeasurementColumns] = {"x", "y", "z", "thickness", "label"};

double MetresPer(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Metre:
        return 1;
    case LengthUnit::Millimetre:
        return 1e-3;
    case LengthUnit::Inch:
        return kMmPerInch * 1e-3;
    }
    return 1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A header cell's unit word, without case.
bool UnitOfWord(const std::string& word, LengthUnit& unit) {
    const std::string folded = ToLower(Trim(word));
    if (folded == "mm")
        unit = LengthUnit::Millimetre;
    else if (folded == "m")
        unit = LengthUnit::Metre;
    else if (folded == "in" || folded == "inch")
        unit = LengthUnit::Inch;
    else
        return false;
    return true;
}

enum class HeaderCell { Column, Other, BadUnit };

// A header cell: a column's name alone, or followed by its unit as
// "name_unit", "name [unit]" or "name (unit)".
HeaderCell ReadHeaderCell(const std::string& text, int& column, bool& hasUnit, LengthUnit& unit) {
    const std::string cell = ToLower(Trim(text));
    hasUnit = false;
    for (int c = 0; c < MeasurementColumns; ++c) {
        const std::string name = kColumnNames[c];
        if (cell.compare(0, name.size(), name) != 0)
            continue;
        column = c;
        std::string rest = cell.substr(name.size());
        if (rest.empty())
            return HeaderCell::Column;
        // The label has no unit; "labels" or "x2" are other columns.
        if (c == ColumnLabel)
            return HeaderCell::Other;
        size_t at = 0;
        while (at < rest.size() && IsBlank(rest[at]))
            ++at;
        rest = rest.substr(at);
        std::string word;
        if (rest.size() >= 2 && rest[0] == '_' && at == 0)
            word = rest.substr(1);
        else if (rest.size() >= 2 &&
                 ((rest[0] == '[' && rest.back() == ']') || (rest[0] == '(' && rest.back() == ')')))
            word = rest.substr(1, rest.size() - 2);
        else
            return HeaderCell::Other;
        hasUnit = true;
        return UnitOfWord(word, unit) ? HeaderCell::Column : HeaderCell::BadUnit;
    }
    return HeaderCell::Other;
}

// Splits a line at separator; a field may be quoted, with "" for a quote
// inside. Blanks around fields are dropped. False for a quote left open.
bool SplitFields(const std::string& line, char separator, std::vector<std::string>& fields) {
    fields.clear();
    const size_t n = line.size();
    size_t at = 0;
    for (;;) {
        std::string field;
        while (at < n && IsBlank(line[at]) && line[at] != separator)
            ++at;
        if (at < n && line[at] == '"') {
            ++at;
            bool closed = false;
            while (at < n) {
                if (line[at] == '"') {
                    if (at + 1 < n && line[at + 1] == '"') {
                        field.push_back('"');
                        at += 2;
                        continue;
                    }
                    ++at;
                    closed = true;
                    break;
                }
                field.push_back(line[at++]);
            }
            if (!closed)
                return false;
            // Anything between the closing quote and the separator stays.
            while (at < n && line[at] != separator)
                field.push_back(line[at++]);
            fields.push_back(field);
        } else {
            const size_t end = line.find(separator, at);
            field = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
            while (!field.empty() && IsBlank(field.back()))
                field.pop_back();
            fields.push_back(field);
            at = end == std::string::npos ? n : end;
        }
        if (at >= n)
            return true;
        ++at; // the separator
    }
}

bool IsCommentOrBlank(const std::string& line) {
    for (char c : line) {
        if (c == '#')
            return true;
        if (!IsBlank(c) && c != '\r')
            return false;
    }
    return true;
}

struct Header {
    char separator = ',';
    std::array<int, MeasurementColumns> field{}; // field of each column; -1 when missing
    size_t fieldsNeeded = 0;
};

MeasurementError ReadHeader(const std::string& line, int lineNumber, LengthUnit systemUnit, Header& header,
                            MeasurementFile& file) {
    MeasurementError error;
    header.separator = line.find(';') != std::string::npos    ? ';'
                       : line.find(',') != std::string::npos  ? ','
                       : line.find('\t') != std::string::npos ? '\t'
                                                              : ',';
    header.field.fill(-1);
    file.units = {systemUnit, systemUnit, systemUnit, systemUnit};
    std::vector<std::string> cells;
    SplitFields(line, header.separator, cells);
    for (size_t i = 0; i < cells.size(); ++i) {
        int column = 0;
        bool hasUnit = false;
        LengthUnit unit = systemUnit;
        const HeaderCell kind = ReadHeaderCell(cells[i], column, hasUnit, unit);
        if (kind == HeaderCell::Other)
            continue;
        if (kind == HeaderCell::BadUnit)
            return {MeasurementFault::UnknownUnit, lineNumber, Trim(cells[i])};
        if (header.field[static_cast<size_t>(column)] >= 0)
            return {MeasurementFault::RepeatedColumn, lineNumber, kColumnNames[column]};
        header.field[static_cast<size_t>(column)] = static_cast<int>(i);
        if (hasUnit)
            file.units[static_cast<size_t>(column)] = unit;
        header.fieldsNeeded = std::max(header.fieldsNeeded, i + 1);
    }
    std::vector<std::string> missing;
    for (int column : {ColumnX, ColumnY, ColumnZ})
        if (header.field[static_cast<size_t>(column)] < 0)
            missing.push_back(kColumnNames[column]);
    if (!missing.empty()) {
        error = {MeasurementFault::MissingColumns, lineNumber, std::string()};
        for (size_t i = 0; i < missing.size(); ++i)
            error.columns += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
        return error;
    }
    file.hasThickness = header.field[ColumnThickness] >= 0;
    file.hasLabels = header.field[ColumnLabel] >= 0;
    return error;
}

// A length of a row: its value as written, and in metres.
bool ReadLength(std::string text, char separator, double metresPer, double& given, double& metres,
                RowFault& fault) {
    // Where fields are separated by ';' the decimal separator may be a comma.
    if (separator == ';')
        for (char& c : text)
            if (c == ',')
                c = '.';
    if (!ParseWholeNumber(text.c_str(), given)) {
        fault = RowFault::NotANumber;
        return false;
    }
    if (!std::isfinite(given)) {
        fault = RowFault::NotFinite;
        return false;
    }
    metres = given * metresPer;
    if (!(std::fabs(metres) <= kMaxLength)) {
        fault = RowFault::OutOfRange;
        return false;
    }
    return true;
}

void AddBadRow(MeasurementFile& file, int line, RowFault fault, int column) {
    if (file.badRows.size() < kListedBadRows)
        file.badRows.push_back({line, fault, column});
    ++file.badRowCount;
}

// A row after the header; false when it is all blank.
bool ReadRow(const std::vector<std::string>& fields, const Header& header, int line, MeasurementFile& file) {
    bool any = false;
    for (const std::string& field : fields)
        any = any || !field.empty();
    if (!any)
        return false;
    if (fields.size() < header.fieldsNeeded) {
        AddBadRow(file, line, RowFault::TooFewFields, ColumnX);
        return true;
    }
    MeasuredPoint point;
    point.line = line;
    double* given[3] = {&point.given.x, &point.given.y, &point.given.z};
    double* metres[3] = {&point.position.x, &point.position.y, &point.position.z};
    for (int column : {ColumnX, ColumnY, ColumnZ}) {
        const size_t c = static_cast<size_t>(column);
        RowFault fault = RowFault::NotANumber;
        if (!ReadLength(fields[static_cast<size_t>(header.field[c])], header.separator,
                        MetresPer(file.units[c]), *given[c], *metres[c], fault)) {
            AddBadRow(file, line, fault, column);
            return true;
        }
    }
    if (file.hasThickness) {
        const std::string& text = fields[static_cast<size_t>(header.field[ColumnThickness])];
        // An empty cell: the gauge gave nothing there, the point's shape
        // still counts.
        if (!text.empty()) {
            RowFault fault = RowFault::NotANumber;
            if (!ReadLength(text, header.separator, MetresPer(file.units[ColumnThickness]),
                            point.givenThickness, point.thickness, fault)) {
                AddBadRow(file, line, fault, ColumnThickness);
                return true;
            }
            if (!(point.thickness > 0)) {
                AddBadRow(file, line, RowFault::NotPositive, ColumnThickness);
                return true;
            }
        }
    }
    if (file.hasLabels)
        point.label = Trim(fields[static_cast<size_t>(header.field[ColumnLabel])]);
    file.points.push_back(std::move(point));
    return true;
}

} // namespace

double LengthFactor(LengthUnit from, LengthUnit to) {
    if (from == to)
        return 1;
    // Between millimetres and inches by the factors the display uses.
    if (from == LengthUnit::Millimetre && to == LengthUnit::Inch)
        return kInchPerMm;
    if (from == LengthUnit::Inch && to == LengthUnit::Millimetre)
        return kMmPerInch;
    if (from == LengthUnit::Metre)
        return to == LengthUnit::Millimetre ? 1e3 : 1e3 * kInchPerMm;
    return to == LengthUnit::Metre ? MetresPer(from) : MetresPer(from) / MetresPer(to);
}

const char* LengthUnitWord(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Metre:
        return "m";
    case LengthUnit::Millimetre:
        return "mm";
    case LengthUnit::Inch:
        return "inch";
    }
    return "m";
}

const char* MeasurementColumnName(int column) {
    return column >= 0 && column < MeasurementColumns ? kColumnNames[column] : "";
}

MeasurementFile ReadMeasurementFile(const std::string& path, LengthUnit systemUnit) {
    MeasurementFile file;
    file.units = {systemUnit, systemUnit, systemUnit, systemUnit};
    CFileHandle handle(path, "rb");
    if (!handle) {
        file.error.fault = MeasurementFault::CannotOpen;
        return file;
    }
    CLineReader reader(handle.get());
    std::string line;
    bool crlf = false;
    int lineNumber = 0;
    bool headerRead = false;
    Header header;
    std::vector<std::string> fields;
    int rows = 0;
    while (reader.Next(line, crlf)) {
        if (lineNumber == INT_MAX) {
            file.error.fault = MeasurementFault::TooManyRows;
            break;
        }
        ++lineNumber;
        // A spreadsheet may start its UTF-8 file with a byte order mark.
        if (lineNumber == 1 && StartsWith(line, "\xEF\xBB\xBF"))
            line.erase(0, 3);
        if (IsCommentOrBlank(line))
            continue;
        if (!headerRead) {
            file.error = ReadHeader(line, lineNumber, systemUnit, header, file);
            if (file.error)
                break;
            headerRead = true;
            continue;
        }
        if (!SplitFields(line, header.separator, fields)) {
            AddBadRow(file, lineNumber, RowFault::OpenQuote, ColumnX);
        } else if (!ReadRow(fields, header, lineNumber, file)) {
            continue;
        }
        if (++rows > kMaxMeasurementRows) {
            file.error.fault = MeasurementFault::TooManyRows;
            break;
        }
    }
    if (!file.error) {
        if (reader.Overlong())
            file.error = {MeasurementFault::LineTooLong, lineNumber + 1, std::string()};
        else if (std::ferror(handle.get()))
            file.error.fault = MeasurementFault::CannotRead;
        else if (!headerRead)
            file.error.fault = MeasurementFault::NoHeader;
        else if (file.points.empty())
            file.error.fault = MeasurementFault::NoUsableRow;
    }
    if (file.error && file.error.fault != MeasurementFault::NoUsableRow) {
        // Nothing of a refused file is used.
        MeasurementFile refused;
        refused.error = file.error;
        refused.units = file.units;
        return refused;
    }
    return file;
}

Message MeasurementErrorMessage(const MeasurementError& error) {
    switch (error.fault) {
    case MeasurementFault::None:
        return Message();
    case MeasurementFault::CannotOpen:
        return MessageId::FileCannotOpen;
    case MeasurementFault::CannotRead:
        return MessageId::FileCannotRead;
    case MeasurementFault::LineTooLong:
        return Message(MessageId::MeasurementLineTooLong, error.line, kMaxTextLine);
    case MeasurementFault::NoHeader:
        return MessageId::MeasurementNoHeader;
    case MeasurementFault::MissingColumns:
        return Message(Contains(error.columns, " and ") ? MessageId::MeasurementMissingColumns
                                                        : MessageId::MeasurementMissingColumn,
                       error.line, error.columns);
    case MeasurementFault::RepeatedColumn:
        return Message(MessageId::MeasurementRepeatedColumn, error.line, error.columns);
    case MeasurementFault::UnknownUnit:
        return Message(MessageId::MeasurementUnknownUnit, error.line, error.columns);
    case MeasurementFault::NoUsableRow:
        return MessageId::MeasurementNoUsableRow;
    case MeasurementFault::TooManyRows:
        return Message(MessageId::MeasurementTooManyRows, kMaxMeasurementRows);
    }
    return Message();
}

Message MeasurementRefusal(const std::string& path, const MeasurementError& error) {
    return Message(MessageId::MeasurementUnusable, path, MeasurementErrorMessage(error));
}

namespace {

Message RowFaultMessage(const BadRow& row) {
    const char* column = MeasurementColumnName(row.column);
    switch (row.fault) {
    case RowFault::TooFewFields:
        return MessageId::TooFewFields;
    case RowFault::NotANumber:
        return Message(MessageId::NotANumber, column);
    case RowFault::NotFinite:
        return Message(MessageId::NotFinite, column);
    case RowFault::OutOfRange:
        return Message(MessageId::OutOfRange, column);
    case RowFault::NotPositive:
        return Message(MessageId::NotPositive, column);
    case RowFault::OpenQuote:
        return MessageId::QuoteNotClosed;
    }
    return Message();
}

} // namespace

Message BadRowsMessage(const std::string& path, const MeasurementFile& file) {
    if (file.badRowCount == 0)
        return Message();
    Message list;
    for (size_t i = 0; i < file.badRows.size(); ++i) {
        const bool last =
            i + 1 == file.badRows.size() && file.badRowCount == static_cast<int>(file.badRows.size());
        Message row(MessageId::BadRowLine, file.badRows[i].line, RowFaultMessage(file.badRows[i]));
        list = i == 0 ? std::move(row)
                      : Message(last ? MessageId::ListLast : MessageId::ListNext, std::move(list),
                                std::move(row));
    }
    const int more = file.badRowCount - static_cast<int>(file.badRows.size());
    if (more > 0)
        list = Message(MessageId::AndMore, std::move(list), more);
    return Message(file.badRowCount == 1 ? MessageId::MeasurementBadRow : MessageId::MeasurementBadRows, path,
                   std::move(list));
}

} // namespace quillmere
