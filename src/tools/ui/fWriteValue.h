#pragma once
#include "tools/SignalViewerCore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QDialogButtonBox;

namespace tarveon {

class AppContext;

// "Write value…" of the signal viewer: the signal's choices in a list (On/Off, the mode and fan
// names), or a number field that warns when the value lies outside the signal's range.
class fWriteValue : public QDialog {
    Q_OBJECT
public:
    fWriteValue(AppContext &ctx, const WriteChoices &choices, QWidget *parent = nullptr);

    // The value chosen or typed ("," or "." as decimal point).
    float value() const;
    // The typed value lies outside the signal's limits (the warning shows).
    bool outsideRange() const;

    QLabel *lblPrompt;
    QComboBox *cboValor = nullptr;  // with choices
    QLineEdit *txtValor = nullptr;  // without
    QLabel *lblAviso = nullptr;
    QDialogButtonBox *buttons;

private:
    void checkRange();

    WriteChoices m_choices;
};

} // namespace tarveon
