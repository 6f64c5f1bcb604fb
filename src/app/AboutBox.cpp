#include "app/AboutBox.h"

#include "app/AppFonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("关于 Veltra精读"));
    setFont(SongTiFont(12));

    auto* name = new QLabel(QStringLiteral("Veltra精读"), this);
    name->setObjectName(QStringLiteral("lblName"));
    QFont big = SongTiFont(20);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("版本 %1").arg(QStringLiteral(VELTRA_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);
    auto* purpose = new QLabel(QStringLiteral("四册英语课程的精读学习软件：单词、课文朗读、跟读对比、练习与笔记。"), this);
    purpose->setWordWrap(true);
    purpose->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 12);
    layout->setSpacing(10);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addWidget(buttons);
    setFixedWidth(320);
}
