// "Compare with...": chooses the reference of the active view, another open
// project or another record of the view's own, whether the reference's
// record follows the view's or stays at one record, and how the sheets are
// matched: node by node, or by position for meshes that differ.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace quillmere {

// An open project as the dialog lists it.
struct CompareCandidate {
    QString name;
    int records = 1;
    bool sameMesh = true; // node by node is possible
};

struct CompareChoice {
    int project = 0; // index into the candidates
    bool follow = true;
    int record = 1; // the fixed record, 1-based
    bool byPosition = false;
    double maxDistance = 0; // by position, in the length unit the dialog was given
};

class CCompareDialog : public QDialog {
    Q_OBJECT

public:
    // own: the index of the view's project among the candidates; the
    // maximum distance of the comparison by position starts at maxDistance,
    // in lengthUnit.
    CCompareDialog(const std::vector<CompareCandidate>& candidates, int own, double maxDistance,
                   const QString& lengthUnit, QWidget* parent = nullptr);

    CompareChoice Choice() const;

    QComboBox* ReferenceList() const { return referenceList; }
    QRadioButton* FollowButton() const { return followButton; }
    QRadioButton* FixedButton() const { return fixedButton; }
    QSpinBox* RecordBox() const { return recordBox; }
    QRadioButton* MatchNodesButton() const { return matchNodesButton; }
    QRadioButton* ByPositionButton() const { return byPositionButton; }
    QDoubleSpinBox* DistanceBox() const { return distanceBox; }

private:
    void ReferenceChosen(int index);

    std::vector<CompareCandidate> candidates;
    int own;
    QComboBox* referenceList = nullptr;
    QRadioButton* followButton = nullptr;
    QRadioButton* fixedButton = nullptr;
    QSpinBox* recordBox = nullptr;
    QRadioButton* matchNodesButton = nullptr;
    QRadioButton* byPositionButton = nullptr;
    QDoubleSpinBox* distanceBox = nullptr;
};

} // namespace quillmere
