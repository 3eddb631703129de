// "Create video - animation of results": every record of a view's project
// drawn at twice the chosen size, halved and written as one frame of an AVI
// or MP4 file, under a progress dialog with Cancel.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class QProgressDialog;
class QWidget;

namespace quillmere {

class CConfiguration;
class CSceneRender;

struct VideoExportOptions {
    int width = 640, height = 480; // frame size of the video
    bool selectCodec = false;      // "Select codec"
    bool colourScale = true;       // the colour bar and its labels
};

// What asks the user, behind functions so tests never block; an empty one
// takes the standard dialog.
struct VideoExportHooks {
    // The typed file name and the chosen file type; empty cancels.
    std::function<QString(QWidget* parent, QString& chosenFilter)> askFileName;
    // The options dialog; false cancels.
    std::function<bool(QWidget* parent, VideoExportOptions& options)> askOptions;
    // One of the encoders offered; empty cancels.
    std::function<QString(QWidget* parent, const QStringList& encoders)> chooseCodec;
    // Called once the views took a record, before its frame is drawn.
    std::function<void()> recordShown;
    // The frame at w x h (the view's scene image by default).
    std::function<QImage(int w, int h)> renderFrame;
    // Called after each frame is written and the progress shown.
    std::function<void(QProgressDialog& progress, int frame)> frameWritten;
};

// The file name the save dialog's answer becomes: unless it ends in ".avi"
// or ".mp4" (any case), a trailing "." dropped and the chosen type's
// extension appended (".mp4" for the MP4 type, otherwise ".avi").
QString VideoFileName(const QString& typed, const QString& chosenFilter = QString());

// The video of every record of the view's project; true when it was written
// whole. Cancel, or a record that cannot be read or drawn, ends it with the
// frames so far in the file. The document keeps the last record loaded and
// its views are updated.
bool ExportVideo(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                 const VideoExportHooks& hooks = VideoExportHooks());

} // namespace quillmere
