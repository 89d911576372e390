#pragma once
#include "app/Version.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarveon {

class AppContext;

// The about box: the program's icon, title, version, description and disclaimer.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(AppContext &ctx, QWidget *parent = nullptr);

    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
};

} // namespace tarveon
