#include "ui/inspect/ViewInspection.h"

#include "ui/inspect/CDataTip.h"
#include "ui/inspect/CDistanceMeasurement.h"
#include "ui/scene/CSceneRender.h"

#include <QCursor>

CDataTip* AttachInspection(CSceneRender& view, const CConfiguration& configuration) {
    auto* tip = new CDataTip(configuration, &view);
    CSceneRender* scene = &view;
    // The pick is made on the button press, so the pointer is still where it
    // was pressed.
    QObject::connect(scene, &CSceneRender::Picked, tip,
                     [tip](const CDataDisplay& record) { tip->ShowPick(record, QCursor::pos()); });
    QObject::connect(scene, &CSceneRender::PickInformationHidden, tip, &CDataTip::HidePick);
    QObject::connect(
        scene, &CSceneRender::MeasurementReady, scene,
        [scene, &configuration](const CDataDisplay& first, const CDataDisplay& second, QPoint position) {
            CDistanceMeasurement* window =
                CDistanceMeasurement::Open(first, second, configuration, position, scene);
            if (window)
                QObject::connect(window, &CDistanceMeasurement::MarkersToRemove, scene,
                                 &CSceneRender::ClearMeasurementMarks, Qt::UniqueConnection);
        });
    return tip;
}
