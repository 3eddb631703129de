// "Compare with...": chooses the reference of the active view, another open
// project or another record of the view's own, and whether the reference's
// record follows the view's or stays at one record.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QComboBox;
class QRadioButton;
class QSpinBox;

// An open project as the dialog lists it.
struct CompareCandidate {
    QString name;
    int records = 1;
};

struct CompareChoice {
    int project = 0; // index into the candidates
    bool follow = true;
    int record = 1; // the fixed record, 1-based
};

class CCompareDialog : public QDialog {
    Q_OBJECT

public:
    // own: the index of the view's project among the candidates.
    CCompareDialog(const std::vector<CompareCandidate>& candidates, int own, QWidget* parent = nullptr);

    CompareChoice Choice() const;

    QComboBox* ReferenceList() const { return referenceList; }
    QRadioButton* FollowButton() const { return followButton; }
    QRadioButton* FixedButton() const { return fixedButton; }
    QSpinBox* RecordBox() const { return recordBox; }

private:
    void ReferenceChosen(int index);

    std::vector<CompareCandidate> candidates;
    int own;
    QComboBox* referenceList = nullptr;
    QRadioButton* followButton = nullptr;
    QRadioButton* fixedButton = nullptr;
    QSpinBox* recordBox = nullptr;
};
