#include "screens/results/zone_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLocale>

namespace quillon::screens {

ZoneSettingsDialog::ZoneSettingsDialog(const analysis::ZoneSettings& settings, QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgZoneSettings");
    setWindowTitle("Zone Settings");
    auto* form = new QFormLayout(this);

    // Numbers with a point whatever the locale, as everywhere in the program.
    const QLocale point = QLocale::c();
    txtZoneLength = new QDoubleSpinBox(this);
    txtZoneLength->setObjectName("txtZoneLength");
    txtZoneLength->setLocale(point);
    txtZoneLength->setRange(analysis::ZoneSettings::shortestZone,
                            analysis::ZoneSettings::longestZone);
    txtZoneLength->setDecimals(1);
    txtZoneLength->setSingleStep(0.5);
    txtZoneLength->setSuffix(" m");
    txtZoneLength->setValue(settings.zoneLength);
    form->addRow("Zone length past each buoy:", txtZoneLength);

    txtLimit = new QDoubleSpinBox(this);
    txtLimit->setObjectName("txtLimit");
    txtLimit->setLocale(point);
    txtLimit->setRange(analysis::ZoneSettings::smallestLimit, analysis::ZoneSettings::largestLimit);
    txtLimit->setDecimals(2);
    txtLimit->setSingleStep(0.01);
    txtLimit->setSuffix(" m");
    txtLimit->setValue(settings.limit);
    form->addRow("Limit off the path centre:", txtLimit);

    cbBuoy1Side = new QComboBox(this);
    cbBuoy1Side->setObjectName("cbBuoy1Side");
    cbBuoy1Side->addItems({"Boat's right", "Boat's left"});
    cbBuoy1Side->setCurrentIndex(settings.buoy1Side == analysis::BoatSide::Left ? 1 : 0);
    form->addRow("Buoy 1 on the:", cbBuoy1Side);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

analysis::ZoneSettings ZoneSettingsDialog::settings() const {
    analysis::ZoneSettings settings;
    settings.zoneLength = txtZoneLength->value();
    settings.limit = txtLimit->value();
    settings.buoy1Side =
        cbBuoy1Side->currentIndex() == 1 ? analysis::BoatSide::Left : analysis::BoatSide::Right;
    return settings;
}

}  // namespace quillon::screens
