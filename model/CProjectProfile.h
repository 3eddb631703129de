// An open solved project: the files it names, the record shown and the
// tools standing at that record's positions.
#pragma once

#include "CDataBase.h"
#include "CDocument.h"
#include "CMoldProfile.h"
#include "CSheetProfile.h"
#include "ProjectFile.h"

#include <array>
#include <memory>
#include <string>

class IProgressSink;

class CProjectProfile : public CDocument {
public:
    static constexpr int ToolSlots = 10;

    CProjectProfile();
    ~CProjectProfile() override;

    // Parses, repairs moved references, counts the records, checks the first
    // record and loads the last one with the tools. Every failure has been
    // reported when it returns false.
    bool Open(const std::string& path, IProgressSink* progress);

    int RecordCount() const { return recordCount; }
    int CurrentRecord() const { return currentRecord; }
    CSheetProfile* Sheet() const { return sheet.get(); }
    // Slot i holds tool i + 1, or null for an empty position.
    CMoldProfile* Tool(int slot) const { return tools ? tools->At(slot) : nullptr; }
    const CDataBase<CMoldProfile>* Tools() const { return tools.get(); }

    const std::string& HeatFrictionFileName() const { return fields.heatFriction.name; }
    const std::string& SheetFileName() const { return fields.sheet.name; }
    const std::string& ProcessControlFileName() const { return fields.processControl.name; }
    const std::string& ConfigurationFileName() const { return fields.configuration.name; }
    const std::string& ProjectPathName() const { return projectPathName; }
    const std::string& ToolFileName(int slot) const { return fields.tools[static_cast<size_t>(slot)].name; }
    const std::string& MaterialFileName(int slot) const {
        return fields.materials[static_cast<size_t>(slot)].name;
    }

    // The folder of the project file, where relative names are looked up.
    std::string ProjectFolder() const;
    // The record file of a 0-based index: the project path up to its last
    // dot followed by the index with at least three digits.
    std::string RecordFileName(int index) const;

private:
    bool ProjectFileParse(const std::string& path, IProgressSink* progress);
    bool FinalLoad(const std::string& path, IProgressSink* progress);
    // The first referenced file that must exist and does not, or "".
    std::string FirstMissingReference() const;
    int CountRecords() const;
    std::unique_ptr<CSheetProfile> ReadRecord(int index, IProgressSink* progress, bool derive);

    int recordCount = 0;
    int currentRecord = 0;
    std::unique_ptr<CSheetProfile> sheet;
    std::unique_ptr<CDataBase<CMoldProfile>> tools;
    ProjectFileFields fields;
    std::string projectPathName;
    std::string openingPath;                    // the path being opened, before the final load
    std::unique_ptr<CSheetProfile> firstRecord; // the test read, kept when it is also the last
};
