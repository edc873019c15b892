#pragma once

#include <QDialog>

#include "analysis/zone_readings.h"

class QComboBox;
class QDoubleSpinBox;

namespace quillon::screens {

// "Zone Settings": the zone length, the limit and buoy 1's side, for the zone table and the
// dossier. Shown window-modal; the screen reads settings() once it is accepted.
class ZoneSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    ZoneSettingsDialog(const analysis::ZoneSettings& settings, QWidget* parent);

    analysis::ZoneSettings settings() const;

  private:
    QDoubleSpinBox* txtZoneLength = nullptr;
    QDoubleSpinBox* txtLimit = nullptr;
    QComboBox* cbBuoy1Side = nullptr;
};

}  // namespace quillon::screens
