#include "app/SetFrm.h"

#include "app/AppFonts.h"
#include "app/DialogButtons.h"
#include "controls/kznTrackBarOk.h"
#include "data/DMUnit.h"

#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A number box that takes any digits while typing: an empty box counts as the
// minimum, and leaving the box (or OK) clamps the number into the range
// instead of refusing keystrokes such as the 5 of "25".
class NumberBox final : public QSpinBox {
public:
    NumberBox(int minimum, int maximum, QWidget* parent)
        : QSpinBox(parent)
    {
        setRange(minimum, maximum);
        setSingleStep(1);
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        setMinimumWidth(56);
        // Short enough that every digit string fits an int and clamps to the maximum.
        lineEdit()->setMaxLength(4);
    }

protected:
    QValidator::State validate(QString& input, int&) const override
    {
        for (const QChar c : input) {
            if (c < u'0' || c > u'9')
                return QValidator::Invalid;
        }
        bool ok = false;
        const int number = input.toInt(&ok);
        return ok && number >= minimum() && number <= maximum() ? QValidator::Acceptable
                                                                : QValidator::Intermediate;
    }

    void fixup(QString& input) const override { input = QString::number(valueFromText(input)); }

    int valueFromText(const QString& text) const override
    {
        bool ok = false;
        const int number = text.toInt(&ok);
        return ok ? std::clamp(number, minimum(), maximum()) : minimum();
    }
};

} // namespace

bool ShowSettings(QWidget* owner, TDM& dm)
{
    TSetForm form(owner, dm);
    return form.exec() == QDialog::Accepted;
}

TSetForm::TSetForm(QWidget* owner, TDM& dm)
    : QDialog(owner)
    , m_dm(dm)
{
    setWindowTitle(QStringLiteral("设置"));
    setFont(SongTiFont(12));

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pcSet"));
    pages->addTab(CreateNormalPage(pages), QStringLiteral("常规"));
    pages->addTab(CreateTestPage(pages), QStringLiteral("练习"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    QPushButton* btnOk = AddOkCancelRow(this, layout);

    connect(kznTBO, &QSlider::valueChanged, this, &TSetForm::kznTBOChange);
    connect(btnOk, &QPushButton::clicked, this, &TSetForm::btnOkClick);

    // The outer size of the dialog is 462 x 308 with a usual frame.
    setFixedSize(454, 278);

    ReadSettingsToDialog();
}

// Page "常规": reading speed and continuous reading.
QWidget* TSetForm::CreateNormalPage(QWidget* pages)
{
    auto* tsNormal = new QWidget(pages);
    tsNormal->setObjectName(QStringLiteral("tsNormal"));
    kznTBO = new TkznTrackBarOk(tsNormal);
    kznTBO->setObjectName(QStringLiteral("kznTBO"));
    kznTBO->setRange(8, 12);
    kznTBO->setValue(10);
    Label3 = new QLabel(QStringLiteral("100%"), tsNormal);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    auto* speedScale = new QHBoxLayout;
    speedScale->addWidget(new QLabel(QStringLiteral("慢"), tsNormal));
    speedScale->addWidget(Label3, 1);
    speedScale->addWidget(new QLabel(QStringLiteral("快"), tsNormal));
    auto* speed = new QVBoxLayout;
    speed->setSpacing(2);
    speed->addWidget(kznTBO);
    speed->addLayout(speedScale);
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(QStringLiteral("朗读语速"), tsNormal), 0, Qt::AlignTop);
    speedRow->addLayout(speed, 1);

    auto* reading = new QGroupBox(QStringLiteral(" 课文朗读 "), tsNormal);
    cbSpeak = new QCheckBox(QStringLiteral("打开新课程时直接开始课文精读(否则先从单词初记开始)"), reading);
    cbSpeak->setObjectName(QStringLiteral("cbSpeak"));
    SpinEdit1 = new NumberBox(0, 20, reading);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit2 = new NumberBox(1, 20, reading);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("每句间隔时间"), reading), 0, 0);
    numbers->addWidget(SpinEdit1, 0, 1);
    numbers->addWidget(new QLabel(QStringLiteral("秒"), reading), 0, 2);
    numbers->addWidget(new QLabel(QStringLiteral("每句重复次数"), reading), 1, 0);
    numbers->addWidget(SpinEdit2, 1, 1);
    numbers->addWidget(new QLabel(QStringLiteral("次"), reading), 1, 2);
    numbers->setColumnStretch(3, 1);
    // In the free space right of the numbers, so nothing else moves.
    cbKeepPitch = new QCheckBox(QStringLiteral("变速不变调"), reading);
    cbKeepPitch->setObjectName(QStringLiteral("cbKeepPitch"));
    numbers->addWidget(cbKeepPitch, 0, 4);
    auto* readingLayout = new QVBoxLayout(reading);
    readingLayout->addWidget(cbSpeak);
    readingLayout->addLayout(numbers);

    auto* normalLayout = new QVBoxLayout(tsNormal);
    normalLayout->addLayout(speedRow);
    normalLayout->addWidget(reading);
    normalLayout->addStretch(1);
    return tsNormal;
}

// Page "练习": exercise options.
QWidget* TSetForm::CreateTestPage(QWidget* pages)
{
    auto* tsTest = new QWidget(pages);
    tsTest->setObjectName(QStringLiteral("tsTest"));
    cbTestHint = new QCheckBox(QStringLiteral("显示正确答案的提示"), tsTest);
    cbTestHint->setObjectName(QStringLiteral("cbTestHint"));
    cbAction = new QCheckBox(QStringLiteral("连续朗读结束后自动开始相应练习"), tsTest);
    cbAction->setObjectName(QStringLiteral("cbAction"));
    auto* testLayout = new QVBoxLayout(tsTest);
    testLayout->addWidget(cbTestHint);
    testLayout->addWidget(cbAction);
    testLayout->addStretch(1);
    return tsTest;
}

void TSetForm::ReadSettingsToDialog()
{
    kznTBO->setValue(m_dm.ReadOptionInt(QStringLiteral("Speed"), 10, 8, 12));
    cbTestHint->setChecked(m_dm.OptTestHint);
    SpinEdit1->setValue(m_dm.ReadOptionInt(QStringLiteral("NextTime"), 1, 0, 20));
    SpinEdit2->setValue(m_dm.OptSpeakCount);
    cbSpeak->setChecked(m_dm.OptFirstSen);
    cbKeepPitch->setChecked(m_dm.OptKeepPitch);
}

void TSetForm::WriteSettingsFromDialog()
{
    // A number still being typed counts as it would after leaving its box.
    SpinEdit1->interpretText();
    SpinEdit2->interpretText();

    m_dm.OptSpeed = kznTBO->value();
    m_dm.WriteOptionInt(QStringLiteral("Speed"), m_dm.OptSpeed);
    m_dm.OptTestHint = cbTestHint->isChecked();
    m_dm.WriteOptionBool(QStringLiteral("TestHint"), m_dm.OptTestHint);
    m_dm.WriteOptionInt(QStringLiteral("NextTime"), SpinEdit1->value());
    m_dm.OptSpeakCount = SpinEdit2->value();
    m_dm.WriteOptionInt(QStringLiteral("SpeakCount"), m_dm.OptSpeakCount);
    m_dm.OptFirstSen = cbSpeak->isChecked();
    m_dm.WriteOptionBool(QStringLiteral("FirstSen"), m_dm.OptFirstSen);
    m_dm.OptKeepPitch = cbKeepPitch->isChecked();
    m_dm.WriteOptionBool(QStringLiteral("KeepPitch"), m_dm.OptKeepPitch);
}

void TSetForm::kznTBOChange(int position)
{
    Label3->setText(QString::number(position * 10) + u'%');
}

void TSetForm::btnOkClick()
{
    WriteSettingsFromDialog();
    accept();
}
