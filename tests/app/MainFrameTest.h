// The main window test program: its fixture, shared by the window tests
// (MainFrameTest.cpp), those of the difference of two projects
// (ComparisonTest.cpp), those of measured points (MeasurementTest.cpp), the 3D model's export
// (ModelExportTest.cpp), those of the minimum wall and the forming summary (FormingTest.cpp) and those
// of the program around the window (ApplicationTest.cpp).
#pragma once

#include "app/CMainFrame.h"
#include "config/CConfiguration.h"
#include "tests/model/ProjectFixture.h"

#include <QAction>
#include <QObject>

#include <memory>
#include <string>

namespace quillmere {
class CChildFrame;
}

using namespace quillmere;

// Answers the Open dialog with a preset file.
class CPresetFiles : public IFileChooser {
public:
    QString next, measurements, table, model;
    QString ProjectToOpen(QWidget*) override { return next; }
    QString MeasurementsToImport(QWidget*) override { return measurements; }
    QString TableToSave(QWidget*, const QString&) override { return table; }
    QString ModelToSave(QWidget*, const QString&) override { return model; }
};

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openCommandOpensTheProjectInAWindow();
    void menusAndScalePanelFollowTheActiveWindow();
    void navigationBarIsShownOnFirstActivationOnly();
    void scaleShowsTheLimitsOfTheRecordOnScreen();
    void thinningAndFirstContactLabelWhatValuesComputes();
    void animationLeavesOtherWindowsRecordBoxes();
    void graphicalOptionsFollowTheActiveView();
    void graphicalOptionsShowTheToolbarCommands();
    void commandStatesFollowTheActiveView();
    void commandStatesFollowTheViewAndTheBars();
    void commandStatesFollowTheReportFileAndTheAnimation();
    void secondWindowHasItsOwnBarAndTheLastClosesTheDocument();
    void cutWindowToggleOpensOneWindowPerDocument();
    void printingIntoAFileWritesNoPlantedLink();
    void keysReachTheActiveWindowAfterTheRecordBox();
    void tileAndCascadeKeepTheFrameAndUsableViews();
    void windowMenuListsAndActivatesTheWindows();
    void viewsShowAgainWhenAWindowOnTopCloses();
    void newWindowIsUsableWhereverTheOthersAre();
    void closingTheCutWindowActivatesTheWindowItCameFrom();
    // ComparisonTest.cpp
    void compareWithShowsTheDifferenceOfTwoProjects();
    void compareWithAnotherMeshGoesByPositionAndEndsWithTheReference();
    void projectsOfOneNameShowTheirFolders();
    // FormingTest.cpp
    void minimumWallShowsItsShareAndIsRememberedPerProject();
    void formingSummaryShowsTheRecordAndCopiesItsText();
    // MeasurementTest.cpp
    void importedMeasurementsShowInEveryViewAndTheTable();
    void aRefusedMeasurementFileLeavesTheProjectAsItWas();
    // ModelExportTest.cpp
    void exportModelWritesWhatTheActiveViewShows();
    // ApplicationTest.cpp
    void promptsAndVersionAreTheProgramsOwn();
    void windowPlacementRoundTrip();
    void secondStartHandsItsFileToTheFirst();
    void runningProgramIsKeyedByUserDisplayAndSession();
    void aSocketFolderTakenByAnotherGivesWayToAPrivateOne();
    void aFifoIsNotOpenedAtTheStart();
    void aProfileStoreThatIsNoFileIsNotRead();
    void messageBoxesShowTheTextAsTypedUnderTheirCaptionAndIcon();

private:
    CChildFrame* Open(const std::string& path);
    QAction* Command(int id) const { return frame->Commands().Action(id); }

    CTempFolder home;
    std::unique_ptr<CProjectFixture> fixture, other;
    std::unique_ptr<CRecordingMessages> messages;
    CPresetFiles files;
    std::unique_ptr<CConfiguration> configuration;
    std::unique_ptr<CMainFrame> frame;
};
