#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarveon {

class AppContext;

// The input dialog: a prompt, one input line with a default text, OK and Cancel.
class fInputBox : public QDialog {
    Q_OBJECT
public:
    explicit fInputBox(AppContext &ctx, QWidget *parent = nullptr);

    // Shows the dialog modally; the typed text after OK, empty after Cancel or the close box.
    QString ShowInputBox(const QString &title, const QString &prompt, const QString &defaultText);

    const QString &result() const { return m_result; }

    QLabel *lblDesc;
    QLineEdit *txtDato;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_result;
};

// Creates the input dialog, shows it and returns its result.
QString ShowInputBox(AppContext &ctx, QWidget *parent, const QString &title, const QString &prompt,
                     const QString &defaultText);

} // namespace tarveon
