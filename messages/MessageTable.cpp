// The one table of the texts the libraries' messages show, exactly as the
// program shows them. A switch without a default: the compiler names an id
// that has no text.
#include "messages/MessageText.h"

namespace quillmere {

const char* MessageFormat(MessageId id) {
    switch (id) {
    case MessageId::None:
    case MessageId::Count:
        return "";

    case MessageId::CriticalError:
        return "Critical error: %s";
    case MessageId::OutOfMemory:
        return "there is not enough memory";
    case MessageId::FailedInside:
        return "the program failed inside";
    case MessageId::FailureDetail:
        return "%s";
    case MessageId::FileCannotOpen:
        return "the file cannot be opened";
    case MessageId::FileCannotRead:
        return "the file cannot be read";

    case MessageId::Name:
        return "%s";
    case MessageId::ListNext:
        return "%s, %s";
    case MessageId::ListLast:
        return "%s and %s";
    case MessageId::AndMore:
        return "%s and %d more";
    case MessageId::Range:
        return "%s to %s";

    case MessageId::CannotParseFile:
        return "Quillmere can not read %s to parse it!";
    case MessageId::UnableToReadFrom:
        return "Unable to read from the %s file.";
    case MessageId::UnableToReadToolFile:
        return "Unable to read file %s";
    case MessageId::TooManySections:
        return "The tool file %s holds %lu sections, more than the %lu a tool may have; it is not read.";
    case MessageId::ToolFileTooLarge:
        return "The tool file %s of %.1f GB is larger than this computer's memory can read (%.1f GB); it is "
               "not "
               "read.";
    case MessageId::IncorrectFormat:
        return "Cannot open project for postprocessing.\r\nThe project %s has incorrect "
               "format.\r\nPlease solve the project again.";
    case MessageId::ToolNotLoaded:
        return "Tool named %s was not loaded to the project, this operation canceled!";
    case MessageId::ReadOnlyQuestion:
        return "Some project files are read only. Modify them to be writable?\n";
    case MessageId::UnableToModifyOnDisk:
        return "Unable to modify the project files.\nIn case the project files are on "
               "compact disk, please copy them to hard disk.";
    case MessageId::UnableToModify:
        return "Unable to modify the project files.";
    case MessageId::NoRecords:
        return "There are no records of %s";
    case MessageId::MissingRecord:
        return "Missing record file %s";
    case MessageId::ReferencedFileMissing:
        return "The file %s named in the project was not found.";
    case MessageId::UnusableRecord:
        return "The record file %s cannot be used: %s";
    case MessageId::RecordFilesMissing:
        return "Record files missing: %s. The project opens with the %d records found, "
               "so its last record is not the final state of the forming.";
    case MessageId::UnableToOpenSheet:
        return "Unable to open sheet file";
    case MessageId::ZeroPlaneArea:
        return "Zero plane area.";

    case MessageId::RecordShorterThanHeader:
        return "the file is shorter than a record header";
    case MessageId::RecordWithoutMesh:
        return "its header gives %d elements and %d nodes";
    case MessageId::RecordShorterThanCounts:
        return "the file is shorter than its %d elements and %d nodes need";
    case MessageId::RecordTooManyPlanes:
        return "it gives %d symmetry planes, where a sheet has at most %d";
    case MessageId::RecordEndsEarly:
        return "the file ends before its symmetry planes or node marks";
    case MessageId::RecordBeyondMemory:
        return "its %d elements and %d nodes need %.1f GB of memory, more than this computer has";
    case MessageId::RecordNodeOutOfRange:
        return "element %d uses node %d, outside 1 ... %d";
    case MessageId::RecordOtherMesh:
        return "its mesh of %d elements and %d nodes is not the project's mesh of %d elements and %d nodes";
    case MessageId::RecordNotProjectMesh:
        return "its mesh is not the project's mesh";

    case MessageId::NonFiniteValues:
        return "Record %d holds %s whose values are not numbers (the first: %s). They are drawn grey and "
               "left "
               "out of the limits, means and sums.";
    case MessageId::OneNode:
        return "%d node";
    case MessageId::Nodes:
        return "%d nodes";
    case MessageId::OneElement:
        return "%d element";
    case MessageId::Elements:
        return "%d elements";
    case MessageId::NodeNumber:
        return "node %d";
    case MessageId::ElementNumber:
        return "element %d";

    case MessageId::StopAnimationFirst:
        return "Please stop the animation first.";
    case MessageId::InvalidRecordNumber:
        return "Invalid record number.";

    case MessageId::CannotOpenConfiguration:
        return "Can not open configuration file Quillmere.cfg, default configuration values "
               "will be used and new configuration file will be created.";
    case MessageId::CannotWriteConfiguration:
        return "Can not write to the Quillmere configuration file.";

    case MessageId::NoSheetToCompare:
        return "There is no sheet to compare.";
    case MessageId::MeshNodesDiffer:
        return "The meshes differ: %d nodes against %d.";
    case MessageId::MeshElementsDiffer:
        return "The meshes differ: %d elements against %d.";
    case MessageId::MeshCountsDiffer:
        return "The meshes differ: %d nodes against %d, %d elements against %d.";
    case MessageId::MeshElementNodesDiffer:
        return "The meshes differ: element %d has nodes %d, %d, %d against %d, %d, %d.";
    case MessageId::OneNodeBeyondReference:
        return "1 node is farther than %s from the reference sheet and has no value.";
    case MessageId::NodesBeyondReference:
        return "%d nodes are farther than %s from the reference sheet and have no value.";

    case MessageId::MeasurementUnusable:
        return "The measurement file %s cannot be used: %s.";
    case MessageId::MeasurementLineTooLong:
        return "line %d is longer than %zu characters";
    case MessageId::MeasurementNoHeader:
        return "it holds no header naming the columns x, y and z";
    case MessageId::MeasurementMissingColumn:
        return "the header on line %d names no %s column (x, y and z are needed)";
    case MessageId::MeasurementMissingColumns:
        return "the header on line %d names no %s columns (x, y and z are needed)";
    case MessageId::MeasurementRepeatedColumn:
        return "the header on line %d names the %s column twice";
    case MessageId::MeasurementUnknownUnit:
        return "the header on line %d gives the column \"%s\" a unit other than mm, m, in and inch";
    case MessageId::MeasurementNoUsableRow:
        return "it has no row of numbers that can be used";
    case MessageId::MeasurementTooManyRows:
        return "it has more than %d rows, more than a measurement gives";
    case MessageId::MeasurementBadRow:
        return "The measurement file %s has a row that is not used: %s.";
    case MessageId::MeasurementBadRows:
        return "The measurement file %s has rows that are not used: %s.";
    case MessageId::BadRowLine:
        return "line %d (%s)";
    case MessageId::TooFewFields:
        return "too few fields";
    case MessageId::NotANumber:
        return "%s is not a number";
    case MessageId::NotFinite:
        return "%s is not a finite number";
    case MessageId::OutOfRange:
        return "%s is out of range";
    case MessageId::NotPositive:
        return "%s is not above 0";
    case MessageId::QuoteNotClosed:
        return "a quote is not closed";

    case MessageId::GraphicalInitialisationFailed:
        return "Graphical initilaization failed.";
    case MessageId::PixelFormatError:
        return "Pixel format error.";
    case MessageId::MeasurementInElementMode:
        return "The distance measurement feature is not supported in the Element Info mode! Please, select "
               "the "
               "3D Point Info or Node Info display mode for this measurement.";

    case MessageId::VideoErrorCaption:
        return "Message";
    case MessageId::VideoError:
        return "Some errors occured in AVI creating. Please try another compressor.";
    case MessageId::VideoCancelled:
        return "Video creation cancelled.";
    case MessageId::VideoCreated:
        return "Video successfully created.";

    case MessageId::NoExportFolder:
        return "No export folder specified.\r\nPlease specify a folder.";
    case MessageId::ExportToProjectFolder:
        return "You can not export data to the project directory including TFF "
               "file. Please, change the target directory and export required data!";
    case MessageId::CreateFolderQuestion:
        return "Folder %s does not exists.\r\nCreate the folder?";
    case MessageId::CannotCreateFolder:
        return "Unable to create the folder %s.\r\nPlease try another folder.";
    case MessageId::SomeNotExported:
        return "Result export: Some project files were not exported.\r\nPossible "
               "cause: Files do not exist or the target disk is full.";
    case MessageId::AllExported:
        return "Results export: Project files were successfully exported.";
    case MessageId::ReplaceOneQuestion:
        return "The folder %s already holds a file of the same name:\r\n%s\r\nReplace it?";
    case MessageId::ReplaceQuestion:
        return "The folder %s already holds %d files of the same names.\r\nReplace them?";
    case MessageId::Replaced:
        return "Replaced %s";
    case MessageId::CannotOpenReport:
        return "Cannot open report file (%s).\r\n";

    case MessageId::GlbTooLarge:
        return "the model needs more than the 4 GB a .glb file holds";
    }
    return "";
}

} // namespace quillmere
