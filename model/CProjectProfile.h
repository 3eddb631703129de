// An open solved project: the files it names, the sheet of the record shown,
// the tools standing at that record's positions, and the player that moves
// them from record to record.
#pragma once

#include "core/Messages.h"
#include "model/CDocument.h"
#include "model/CMoldProfile.h"
#include "model/CRecordPlayer.h"
#include "model/CSheetProfile.h"
#include "model/ProjectFile.h"
#include "model/RecordReader.h"

#include <memory>
#include <string>
#include <vector>

namespace quillmere {

class IProgressSink;

// The record files missing below the highest one found, named compactly
// ("cup.003, cup.007 to cup.009"); empty without a gap. prefix: a record
// file's name up to its number; found: the numbers of the record files found.
Message MissingRecordFiles(const std::string& prefix, std::vector<int> found);

class CProjectProfile : public CDocument {
public:
    CProjectProfile();
    ~CProjectProfile() override;
    CProjectProfile(const CProjectProfile&) = delete;
    CProjectProfile& operator=(const CProjectProfile&) = delete;

    // Parses, repairs moved references, counts the records, checks the first
    // record and loads the last one with the tools. Every failure has been
    // reported when it returns false.
    bool Open(const std::string& path, IProgressSink* progress);
    int RecordCount() const { return recordCount; }
    // Navigation, stepping and the animation.
    CRecordPlayer& Player() const { return *player; }
    CSheetProfile* Sheet() const { return sheet.get(); }
    // Slot i holds tool i + 1, or null for an empty position.
    CMoldProfile* Tool(int slot) const {
        return static_cast<size_t>(slot) < tools.size() ? tools[static_cast<size_t>(slot)].get() : nullptr;
    }
    // Every slot once the project is open; none before.
    const CToolList& Tools() const { return tools; }

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

    // What other parts ask of the player, passed on.
    int CurrentRecord() const { return player->CurrentRecord(); }
    bool GoToRecord(int record) { return player->GoToRecord(record); }
    bool StepToRecord(int record, bool notify) { return player->StepToRecord(record, notify); }
    void SetAnimationPeriod(int milliseconds) { player->SetAnimationPeriod(milliseconds); }
    void ToggleAnimation() { player->ToggleAnimation(); }
    bool IsAnimationRunning() const { return player->IsAnimationRunning(); }
    bool IsAnimationBusy() const { return player->IsAnimationBusy(); }
    // Stops a running animation, waiting on the interface thread, before the
    // document goes away.
    void PrepareClose() { player->PrepareClose(); }

private:
    bool ProjectFileParse(const std::string& path, IProgressSink* progress);
    bool FinalLoad(const std::string& path, IProgressSink* progress);
    // The first referenced file that must exist and does not, or "".
    std::string FirstMissingReference() const;
    // Every name of the project's base name with a numbered extension;
    // missing: the record files missing below the highest one found.
    int CountRecords(Message& missing) const;
    // A record file looked up, then read or only checked; its messages wait
    // for Usable, so that reads side by side are reported in order.
    struct CRecordRead {
        std::string name;
        std::string found; // "" when missing
        RecordError error;
        CRecordData data; // when read, not only checked
    };
    CRecordRead FindRecord(int index) const;
    static void ReadFound(CRecordRead& read, int index, IProgressSink* progress, bool keepValues);
    // Shows why a record cannot be used, if so, and says whether it can.
    static bool Usable(const CRecordRead& read);

    int recordCount = 0;
    std::unique_ptr<CSheetProfile> sheet;
    CToolList tools;
    ProjectFileFields fields;
    std::string projectPathName;
    std::string openingPath; // the path being opened, before the final load
    Message missingRecords;  // named in a warning once the project is open
    CRecordRead lastRead;    // read beside the check of the first record, until the final load
    std::unique_ptr<CRecordPlayer> player;
};

} // namespace quillmere
