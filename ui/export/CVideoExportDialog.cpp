#include "ui/export/CVideoExportDialog.h"

#include "export/PictureExport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>

namespace quillmere {

namespace {
const QString ColourScaleKey = QStringLiteral("Export/ColourScale");

QSettings Profile() {
    return QSettings(QStringLiteral("Veltrane"), QStringLiteral("Quillmere"));
}
} // namespace

CVideoExportDialog::CVideoExportDialog(Use use, QWidget* parent)
    : QDialog(parent), purpose(use), xEdit(new QLineEdit(this)), yEdit(new QLineEdit(this)),
      codecBox(new QCheckBox(tr("Select codec"), this)),
      nameBox(new QCheckBox(tr("Remove project name"), this)),
      scaleBox(new QCheckBox(tr("Colour scale"), this)) {
    setWindowTitle(tr("Video / Bitmap export options"));
    auto* group = new QGroupBox(tr("Resolution (pixels)"), this);
    auto* form = new QFormLayout(group);
    form->addRow(tr("X:"), xEdit);
    form->addRow(tr("Y:"), yEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CVideoExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CVideoExportDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(scaleBox);
    layout->addWidget(codecBox);
    layout->addWidget(nameBox);
    layout->addWidget(buttons);
    codecBox->setVisible(use == Use::Video);
    nameBox->setVisible(use == Use::Bitmap);
    SetSize(DefaultPictureWidth, DefaultPictureHeight);
    scaleBox->setChecked(RememberedColourScale());
    refuse = [this](const QString& message) { QMessageBox::warning(this, windowTitle(), message); };
}

void CVideoExportDialog::SetSize(int x, int y) {
    xEdit->setText(QString::number(x));
    yEdit->setText(QString::number(y));
}

int CVideoExportDialog::X() const {
    return xEdit->text().trimmed().toInt();
}

int CVideoExportDialog::Y() const {
    return yEdit->text().trimmed().toInt();
}

bool CVideoExportDialog::SelectCodec() const {
    return codecBox->isChecked();
}

bool CVideoExportDialog::RemoveProjectName() const {
    return nameBox->isChecked();
}

bool CVideoExportDialog::ColourScale() const {
    return scaleBox->isChecked();
}

void CVideoExportDialog::SetColourScale(bool on) {
    scaleBox->setChecked(on);
}

bool CVideoExportDialog::RememberedColourScale() {
    return Profile().value(ColourScaleKey, true).toBool();
}

int CVideoExportDialog::MaxSize() const {
    return purpose == Use::Video ? MaxPictureSize / 2 : MaxPictureSize;
}

void CVideoExportDialog::SetSelectCodec(bool on) {
    codecBox->setChecked(on);
}

void CVideoExportDialog::SetRemoveProjectName(bool on) {
    nameBox->setChecked(on);
}

QString CVideoExportDialog::Check() const {
    for (const QLineEdit* edit : {xEdit, yEdit}) {
        bool number = false;
        const qulonglong value = edit->text().trimmed().toULongLong(&number);
        if (!number || value > static_cast<qulonglong>(MaxSize()) ||
            !ValidPictureSize(static_cast<long long>(value)))
            return tr("Enter an integer between %1 and %2.").arg(MinPictureSize).arg(MaxSize());
    }
    return QString();
}

void CVideoExportDialog::accept() {
    const QString refusal = Check();
    if (!refusal.isEmpty()) {
        if (refuse)
            refuse(refusal);
        return;
    }
    Profile().setValue(ColourScaleKey, ColourScale());
    QDialog::accept();
}

} // namespace quillmere
