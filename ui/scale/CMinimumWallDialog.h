// "Minimum wall...": the wall thickness the drawing asks for. While it is on,
// the view draws every element thinner than it in the warning colour and
// the scale panel gives their share of the area.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quillmere {

class CConfiguration;

class CMinimumWallDialog : public QDialog {
    Q_OBJECT

public:
    // shown: the view's wall in metres, not above 0 when it is off; last: the
    // wall typed last, offered when it is off.
    CMinimumWallDialog(double shown, double last, const CConfiguration& configuration,
                       QWidget* parent = nullptr);

    // After OK: the wall in metres, 0 when it is off.
    double Wall() const { return wall; }
    // The value typed in metres, kept for next time even when it is off; 0
    // when none is.
    double Typed() const { return typed; }

    QCheckBox* ShownBox() const { return shownBox; }
    QLineEdit* ValueEdit() const { return valueEdit; }

public slots:
    // OK: with the wall on, the value must be a thickness above 0.
    void accept() override;

private:
    const CConfiguration& configuration;
    double wall = 0, typed = 0;
    QCheckBox* shownBox = nullptr;
    QLineEdit* valueEdit = nullptr;
};

} // namespace quillmere
