// "About Thermo-Anemometer": the icon, the version line and OK.
#pragma once

#include <QDialog>

namespace qf {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace qf
