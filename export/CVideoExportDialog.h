// "Video / Bitmap export options": the picture or frame size, and the check
// box that belongs to the one use (the codec choice for a video, leaving out
// the project name for a picture).
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;

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
    void SetSelectCodec(bool on);
    void SetRemoveProjectName(bool on);

    // The message that refuses the typed sizes; empty when both are in range.
    QString Check() const;
    // Shows a refusal; a message box unless a test replaces it.
    std::function<void(const QString&)> refuse;

    QLineEdit* XEdit() const { return xEdit; }
    QLineEdit* YEdit() const { return yEdit; }
    QCheckBox* CodecBox() const { return codecBox; }
    QCheckBox* NameBox() const { return nameBox; }

    void accept() override;

private:
    QLineEdit* xEdit;
    QLineEdit* yEdit;
    QCheckBox* codecBox;
    QCheckBox* nameBox;
};
