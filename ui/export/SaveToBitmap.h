// "Save to bitmap": the save dialog with the image writer's types, the
// extension rules, the options dialog, and the picture written.
#pragma once

#include "render/PictureFile.h"
#include "render/SceneImage.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace quillmere {

class CConfiguration;
class CSceneRender;
class CVideoExportDialog;

// What the command asks the user, replaceable so tests never block.
struct SaveToBitmapPrompts {
    // The save dialog: returns the typed name ("" for Cancel) and sets the
    // chosen filter.
    std::function<QString(const QString& suggested, const QStringList& filters, QString& chosenFilter)>
        fileName;
    // Runs the options dialog; true for OK.
    std::function<bool(CVideoExportDialog&)> options;
};

// The whole command for a view: true when a picture was written. Messages
// and the question before replacing a file whose name got its extension
// here go through the message sink.
bool SaveToBitmap(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                  const SaveToBitmapPrompts& prompts = SaveToBitmapPrompts());

} // namespace quillmere
