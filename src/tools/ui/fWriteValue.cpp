#include "tools/ui/fWriteValue.h"

#include "app/AppContext.h"
#include "app/Text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarveon {

fWriteValue::fWriteValue(AppContext &ctx, const WriteChoices &choices, QWidget *parent)
    : QDialog(parent), m_choices(choices)
{
    setObjectName(QStringLiteral("fWriteValue"));
    setWindowTitle(choices.title);
    lblPrompt = new QLabel(choices.prompt, this);
    auto *form = new QFormLayout;
    if (!choices.options.isEmpty()) {
        cboValor = new QComboBox(this);
        cboValor->setObjectName(QStringLiteral("cboValor"));
        for (const auto &[value, text] : choices.options)
            cboValor->addItem(text, value);
        const int current = cboValor->findData(int(std::lround(choices.current)));
        cboValor->setCurrentIndex(qMax(0, current));
        form->addRow(ctx.GetText(QStringLiteral("TLG15")), cboValor);
    } else {
        txtValor = new QLineEdit(QString::number(double(choices.current)), this);
        txtValor->setObjectName(QStringLiteral("txtValor"));
        txtValor->selectAll();
        QString unit = choices.range.unit;
        form->addRow(ctx.GetText(QStringLiteral("TLG15")), txtValor);
        lblAviso = new QLabel(this);
        lblAviso->setObjectName(QStringLiteral("lblAviso"));
        lblAviso->setStyleSheet(QStringLiteral("color: #b00000"));
        if (choices.range.min && choices.range.max)
            lblAviso->setText(ctx.GetText(QStringLiteral("TLG14")) + QStringLiteral(" %1..%2 %3")
                                  .arg(*choices.range.min).arg(*choices.range.max).arg(unit).trimmed());
        lblAviso->hide();
        form->addRow(QString(), lblAviso);
        connect(txtValor, &QLineEdit::textChanged, this, &fWriteValue::checkRange);
    }
    buttons = new QDialogButtonBox(this);
    buttons->addButton(ctx.GetText(QStringLiteral("X1")), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(ctx.GetText(QStringLiteral("X3")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addLayout(form);
    layout->addWidget(buttons);
    checkRange();
    setMinimumWidth(qMax(360, fontMetrics().horizontalAdvance(choices.title) + 80));
}

float fWriteValue::value() const
{
    if (cboValor)
        return float(cboValor->currentData().toInt());
    return float(LeadingNumber(firstCommaToPoint(txtValor->text())));
}

bool fWriteValue::outsideRange() const
{
    if (!txtValor || !m_choices.range.min || !m_choices.range.max)
        return false;
    const double v = value();
    return v < *m_choices.range.min || v > *m_choices.range.max;
}

void fWriteValue::checkRange()
{
    if (lblAviso)
        lblAviso->setVisible(outsideRange());
}

} // namespace tarveon
