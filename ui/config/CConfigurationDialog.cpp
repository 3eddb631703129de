#include "ui/config/CConfigurationDialog.h"

#include "config/CConfiguration.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillmere {

CConfigurationDialog::CConfigurationDialog(CConfiguration& configuration, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Configuration"));
    auto* group = new QGroupBox(QStringLiteral("System of units"));
    si = new QRadioButton(QString::fromUtf8("SI Metric (mm, \u00b0C)"));
    us = new QRadioButton(QString::fromUtf8("US Customary (inch, \u00b0F)"));
    (configuration.IsSIMetric() ? si : us)->setChecked(true);
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(si);
    radios->addWidget(us);
    connect(si, &QRadioButton::clicked, this, [&configuration] { configuration.SetSIMetric(true); });
    connect(us, &QRadioButton::clicked, this, [&configuration] { configuration.SetSIMetric(false); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CConfigurationDialog::Edit(CConfiguration& configuration, QWidget* parent,
                                const std::function<int(CConfigurationDialog&)>& run) {
    const bool siBefore = configuration.IsSIMetric();
    int result = QDialog::Rejected;
    {
        CConfigurationDialog dialog(configuration, parent);
        if (run) {
            dialog.show();
            result = run(dialog);
        } else {
            result = dialog.exec();
        }
    }
    return FinishConfigurationDialog(configuration, result == QDialog::Accepted, siBefore);
}

bool FinishConfigurationDialog(CConfiguration& configuration, bool accepted, bool siBefore) {
    if (accepted)
        configuration.Write();
    configuration.Read();
    return configuration.IsSIMetric() != siBefore;
}

} // namespace quillmere
