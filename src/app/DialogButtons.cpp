#include "app/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QPushButton* AddOkCancelRow(QDialog* dialog, QBoxLayout* layout)
{
    auto* btnOk = new QPushButton(QStringLiteral("确定(&O)"), dialog);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("取消(&C)"), dialog);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    QObject::connect(btnCancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return btnOk;
}
