#include "ui/scale/CCompareDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

CCompareDialog::CCompareDialog(const std::vector<CompareCandidate>& projects, int ownProject, QWidget* parent)
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

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Reference project"), referenceList);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(records);
    layout->addWidget(buttons);

    connect(referenceList, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CCompareDialog::ReferenceChosen);
    connect(fixedButton, &QRadioButton::toggled, recordBox, &QSpinBox::setEnabled);
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
}

CompareChoice CCompareDialog::Choice() const {
    CompareChoice choice;
    choice.project = referenceList->currentIndex();
    choice.follow = followButton->isChecked();
    choice.record = recordBox->value();
    return choice;
}
