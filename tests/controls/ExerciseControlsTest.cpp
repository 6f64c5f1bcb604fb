#include "controls/PlainToolTip.h"
#include "controls/QorSenMemo.h"
#include "controls/QorWordSelectLabel.h"
#include "controls/kznLabelEdit.h"

#include "GuiAppEnvironment.h"

#include <QLabel>
#include <QRadioButton>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

const auto* const exerciseControlsApp = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

TEST(LabelEdit, CaptionIsTheLabelAboveNotTheText)
{
    QWidget page;
    auto* edit = new TkznLabelEdit(&page);
    edit->setGeometry(18, 32, 235, 20);
    edit->setText(QStringLiteral("typed"));
    edit->SetCaption(QString::fromUtf8("苹果"));
    EXPECT_EQ(edit->text(), QStringLiteral("typed"));
    EXPECT_EQ(edit->Caption(), QString::fromUtf8("苹果"));
    QLabel* label = edit->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &page);
    EXPECT_EQ(label->text(), QString::fromUtf8("苹果"));
    EXPECT_TRUE(label->toolTip().isEmpty());
    EXPECT_EQ(label->geometry().left(), 18);
    EXPECT_EQ(label->geometry().bottom() + 1 + TkznLabelEdit::kLabelSpacing, 32);

    // A caption wider than the edit is shortened on screen, kept whole.
    const QString longCaption = QString::fromUtf8("名词，苹果树上结的果实；也指纽约这座城市的别称，用于口语");
    edit->SetCaption(longCaption);
    EXPECT_EQ(edit->Caption(), longCaption);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), 235);
    EXPECT_EQ(label->toolTip(), PlainToolTip(longCaption));  // readable whole on the pointer
    EXPECT_TRUE(TkznLabelEdit::IsCaptionLabel(label));
    EXPECT_FALSE(TkznLabelEdit::IsCaptionLabel(edit));

    page.show();
    EXPECT_TRUE(label->isVisible());
    edit->hide();
    EXPECT_FALSE(label->isVisible());
    edit->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    delete edit;
    EXPECT_TRUE(page.findChildren<QLabel*>().isEmpty());
}

// Words, meanings and sentences that look like markup show in a tooltip
// exactly as they are, and never load an image.
TEST(ExerciseControls, ToolTipsShowDataAsItIs)
{
    EXPECT_TRUE(PlainToolTip(QString()).isEmpty());
    for (const char* text : {"<b>bold</b>", "<img src=\"/usr/share/pixmaps/debian-logo.png\">", "a < b & c > d",
                             "o'clock", "名词 <n.>\n第二行"}) {
        const QString data = QString::fromUtf8(text);
        const QString tip = PlainToolTip(data);
        ASSERT_TRUE(Qt::mightBeRichText(tip)) << text;  // shown as the markup we made, not guessed
        QTextDocument shown;
        shown.setHtml(tip);
        EXPECT_EQ(shown.toPlainText(), data) << text;
        EXPECT_FALSE(tip.contains(QStringLiteral("<img"))) << text;
        EXPECT_FALSE(tip.contains(QStringLiteral("<b>"))) << text;
    }
}

TEST(ExerciseControls, AnswersAreJudgedOnTheirLetters)
{
    QWidget page;
    TkznLabelEdit edit(&page);
    edit.SetAnswer(QStringLiteral("Apple"));
    edit.setText(QStringLiteral("apple "));
    EXPECT_TRUE(edit.IsAnswerRight());
    edit.setText(QStringLiteral("aple"));
    EXPECT_FALSE(edit.IsAnswerRight());
    edit.SetAnswer(QStringLiteral("1990"));
    edit.clear();
    EXPECT_TRUE(edit.IsAnswerRight());

    TQorSenMemo memo;
    memo.SetAnswer(QStringLiteral("It's nine o'clock."));
    memo.setPlainText(QStringLiteral("its NINE\noclock"));
    EXPECT_TRUE(memo.IsAnswerRight());
    memo.setPlainText(QStringLiteral("its ten oclock"));
    EXPECT_FALSE(memo.IsAnswerRight());
    EXPECT_TRUE(memo.tabChangesFocus());
}

TEST(ExerciseControls, WordSelectLabelIsRightOnlyWithItsButtonSelected)
{
    QWidget panel;
    auto* right = new QRadioButton(&panel);
    auto* other = new QRadioButton(&panel);
    TQorWordSelectLabel label(&panel);
    other->setChecked(true);
    EXPECT_FALSE(label.IsAnswerRight());  // no answer button: never right
    label.SetAnswerButton(right);
    EXPECT_FALSE(label.IsAnswerRight());
    right->setChecked(true);
    EXPECT_TRUE(label.IsAnswerRight());
    delete right;
    EXPECT_EQ(label.AnswerButton(), nullptr);
    EXPECT_FALSE(label.IsAnswerRight());
}

} // namespace
