#include "ui/inspect/ViewInspection.h"

#include "inspect/DataTip.h"
#include "model/CProjectProfile.h"
#include "session/CSession.h"
#include "ui/inspect/CDataTip.h"
#include "ui/inspect/CDistanceMeasurement.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QCursor>

namespace quillmere {

CDataTip* AttachInspection(CSceneRender& view, const CConfiguration& configuration) {
    auto* tip = new CDataTip(configuration, &view);
    CSceneRender* scene = &view;
    // The pick is made on the button press, so the pointer is still where it
    // was pressed.
    // A comparing view adds the values of both sides and their difference,
    // any other the value of a quantity shown that the tip's own lines
    // leave out.
    QObject::connect(
        scene, &CSceneRender::Picked, tip, [tip, scene, &configuration](const CDataDisplay& record) {
            std::vector<std::string> compared;
            const CProjectProfile* project = scene->Scene().Project();
            // A marker of a measured point where the pick was made tells
            // its row.
            const CSession* session = scene->Scene().View().Session();
            const MeasuredPoints* measured = session ? session->Measured().get() : nullptr;
            const int marker = measured ? scene->MeasurementMarkerPicked() : -1;
            if (marker >= 0)
                compared = MeasurementTipLines(*measured, static_cast<size_t>(marker), configuration);
            else if (project && project->Sheet()) {
                const Presentation& shown = scene->Scene().Presented();
                compared = shown.Difference()
                               ? ComparisonTipLines(shown, *project->Sheet(), record, scene->ShownRecord(),
                                                    configuration)
                               : QuantityTipLines(shown, *project->Sheet(), record, configuration);
            }
            tip->ShowPick(record, QCursor::pos(), compared);
        });
    QObject::connect(scene, &CSceneRender::PickInformationHidden, tip, &CDataTip::HidePick);
    QObject::connect(
        scene, &CSceneRender::MeasurementReady, scene,
        [scene, &configuration](const CDataDisplay& first, const CDataDisplay& second, QPoint position) {
            CDistanceMeasurement* window =
                CDistanceMeasurement::Open(first, second, configuration, position, scene);
            if (window)
                QObject::connect(window, &CDistanceMeasurement::MarkersToRemove, &scene->Commands(),
                                 &CSceneCommands::ClearMeasurementMarks, Qt::UniqueConnection);
        });
    return tip;
}

} // namespace quillmere
