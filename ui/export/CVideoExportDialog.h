// "Video / Bitmap export options": the picture or frame size, the colour
// scale (remembered in the profile store, also for prints), and the check
// box that belongs to the one use (the codec choice for a video, leaving out
// the project name for a picture).
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;

namespace quillmere {

class CVideoExportDialog : public QDialog {
    Q_OBJECT

public:
    enum class Use { Video, Bitmap };
    explicit CVideoExportDialog(Use use, QWidget* parent = nullptr);

    void SetSize(int x, int y);
    int X() const;
    int Y() const;
    bool SelectCodec() const;
    bool RemoveProjectName() const;
    bool ColourScale() const;
    void SetSelectCodec(bool on);
    void SetRemoveProjectName(bool on);
    void SetColourScale(bool on);

    // Whether pictures, prints and videos carry the colour scale: the choice
    // last accepted in this dialog, on until then.
    static bool RememberedColourScale();

    // The largest size either way: a video's frames are drawn at twice theirs.
    int MaxSize() const;
    // The message that refuses the typed sizes; empty when both are in range.
    QString Check() const;
    // Shows a refusal; a message box unless a test replaces it.
    std::function<void(const QString&)> refuse;

    QLineEdit* XEdit() const { return xEdit; }
    QLineEdit* YEdit() const { return yEdit; }
    QCheckBox* CodecBox() const { return codecBox; }
    QCheckBox* NameBox() const { return nameBox; }
    QCheckBox* ScaleBox() const { return scaleBox; }

    void accept() override;

private:
    Use purpose;
    QLineEdit* xEdit;
    QLineEdit* yEdit;
    QCheckBox* codecBox;
    QCheckBox* nameBox;
    QCheckBox* scaleBox;
};

} // namespace quillmere
