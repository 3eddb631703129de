#include "ui/scale/CCompareDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmere {

CCompareDialog::CCompareDialog(const std::vector<CompareCandidate>& projects, int ownProject,
                               double maxDistance, const QString& lengthUnit, QWidget* parent)
    : QDialog(parent), candidates(projects), own(ownProject) {
    setWindowTitle(QStringLiteral("Compare with"));
    referenceList = new QComboBox(this);
    referenceList->setObjectName(QStringLiteral("referenceList"));
    for (size_t i = 0; i < candidates.size(); ++i)
        referenceList->addItem(static_cast<int>(i) == own
                                   ? candidates[i].name + QStringLiteral(" (this project)")
                                   : candidates[i].name);

    auto* records = new QGroupBox(QStringLiteral("Reference record"), this);
    followButton = new QRadioButton(QStringLiteral("Follow"), records);
    followButton->setObjectName(QStringLiteral("follow"));
    followButton->setToolTip(QStringLiteral("The reference shows the record this view shows"));
    fixedButton = new QRadioButton(QStringLiteral("Record"), records);
    fixedButton->setObjectName(QStringLiteral("fixed"));
    recordBox = new QSpinBox(records);
    recordBox->setObjectName(QStringLiteral("record"));
    auto* recordLayout = new QHBoxLayout(records);
    recordLayout->addWidget(followButton);
    recordLayout->addWidget(fixedButton);
    recordLayout->addWidget(recordBox);
    recordLayout->addStretch(1);

    auto* matching = new QGroupBox(QStringLiteral("Nodes"), this);
    matchNodesButton = new QRadioButton(QStringLiteral("Match nodes"), matching);
    matchNodesButton->setObjectName(QStringLiteral("matchNodes"));
    matchNodesButton->setToolTip(QStringLiteral("Each node against the same node of the reference"));
    byPositionButton = new QRadioButton(QStringLiteral("By position"), matching);
    byPositionButton->setObjectName(QStringLiteral("byPosition"));
    byPositionButton->setToolTip(QStringLiteral(
        "Each node against the reference's value at its closest point on the reference sheet"));
    distanceBox = new QDoubleSpinBox(matching);
    distanceBox->setObjectName(QStringLiteral("maxDistance"));
    distanceBox->setToolTip(QStringLiteral("Nodes farther than this from the reference sheet have no value"));
    distanceBox->setDecimals(3);
    distanceBox->setRange(0.001, 1e6);
    distanceBox->setValue(maxDistance);
    distanceBox->setSuffix(QStringLiteral(" ") + lengthUnit);
    auto* matchingLayout = new QHBoxLayout(matching);
    matchingLayout->addWidget(matchNodesButton);
    matchingLayout->addWidget(byPositionButton);
    matchingLayout->addWidget(new QLabel(QStringLiteral("Max distance"), matching));
    matchingLayout->addWidget(distanceBox);
    matchingLayout->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Reference project"), referenceList);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(records);
    layout->addWidget(matching);
    layout->addWidget(buttons);

    connect(referenceList, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CCompareDialog::ReferenceChosen);
    connect(fixedButton, &QRadioButton::toggled, recordBox, &QSpinBox::setEnabled);
    connect(byPositionButton, &QRadioButton::toggled, distanceBox, &QDoubleSpinBox::setEnabled);
    followButton->setChecked(true);
    recordBox->setEnabled(false);
    // Another project first, when there is one.
    int first = 0;
    while (first == own && first + 1 < static_cast<int>(candidates.size()))
        ++first;
    referenceList->setCurrentIndex(first);
    ReferenceChosen(first);
}

void CCompareDialog::ReferenceChosen(int index) {
    if (index < 0 || index >= static_cast<int>(candidates.size()))
        return;
    recordBox->setRange(1, std::max(1, candidates[static_cast<size_t>(index)].records));
    // A project following itself would only show zeros.
    const bool itself = index == own;
    followButton->setEnabled(!itself);
    if (itself)
        fixedButton->setChecked(true);
    // Node by node where the meshes match; by position where they do not.
    const bool same = candidates[static_cast<size_t>(index)].sameMesh;
    matchNodesButton->setEnabled(same);
    (same ? matchNodesButton : byPositionButton)->setChecked(true);
    distanceBox->setEnabled(!same);
}

CompareChoice CCompareDialog::Choice() const {
    CompareChoice choice;
    choice.project = referenceList->currentIndex();
    choice.follow = followButton->isChecked();
    choice.record = recordBox->value();
    choice.byPosition = byPositionButton->isChecked();
    choice.maxDistance = distanceBox->value();
    return choice;
}

} // namespace quillmere
