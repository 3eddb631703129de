#include "ui/scale/CMinimumWallDialog.h"

#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "messages/MessageText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace quillmere {

namespace {

constexpr const char* EnterAThickness = "Enter a thickness above 0.";

} // namespace

CMinimumWallDialog::CMinimumWallDialog(double shown, double last, const CConfiguration& units,
                                       QWidget* parent)
    : QDialog(parent), configuration(units) {
    setWindowTitle(QStringLiteral("Minimum wall"));
    shownBox = new QCheckBox(QStringLiteral("Mark the elements thinner than"), this);
    shownBox->setObjectName(QStringLiteral("shown"));
    shownBox->setChecked(shown > 0);
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName(QStringLiteral("wall"));
    const double start = shown > 0 ? shown : last;
    if (start > 0)
        valueEdit->setText(
            QString::fromStdString(FormatText("%.15g", configuration.LengthToDisplay(start * 1000))));
    valueEdit->setEnabled(shown > 0);
    connect(shownBox, &QCheckBox::toggled, valueEdit, &QLineEdit::setEnabled);

    auto* value = new QHBoxLayout;
    value->addWidget(shownBox);
    value->addWidget(valueEdit);
    value->addWidget(new QLabel(QString::fromUtf8(configuration.LengthUnit()), this));
    auto* note = new QLabel(
        QStringLiteral(
            "They are drawn in the warning colour whatever the quantity, in the view, its pictures, "
            "prints and videos; the scale panel gives their share of the formed area."),
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMinimumWallDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMinimumWallDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(value);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void CMinimumWallDialog::accept() {
    double value = 0;
    const std::string text = valueEdit->text().trimmed().toStdString();
    const bool number = ParseWholeNumber(text.c_str(), value) && std::isfinite(value) && value > 0;
    if (shownBox->isChecked() && !number) {
        ShowMessage(EnterAThickness, MessageIcon::Warning);
        valueEdit->setFocus();
        valueEdit->selectAll();
        return;
    }
    typed = number ? configuration.LengthFromDisplay(value) / 1000 : 0;
    wall = shownBox->isChecked() ? typed : 0;
    QDialog::accept();
}

} // namespace quillmere
