#include "controls/kznLabelEdit.h"

#include "controls/PlainToolTip.h"
#include "data/AnswerMatches.h"

#include <QEvent>
#include <QLabel>

namespace {

constexpr char kCaptionProperty[] = "kznEditCaption";

} // namespace

TkznLabelEdit::TkznLabelEdit(QWidget* parent) : QLineEdit(parent), m_label(new QLabel(parent))
{
    m_label->setProperty(kCaptionProperty, true);
    m_label->setTextFormat(Qt::PlainText);
    PlaceLabel();
}

bool TkznLabelEdit::IsCaptionLabel(const QObject* object)
{
    return object && object->property(kCaptionProperty).toBool();
}

TkznLabelEdit::~TkznLabelEdit()
{
    delete m_label;  // a sibling: the parent would otherwise keep it
}

void TkznLabelEdit::SetCaption(const QString& caption)
{
    m_caption = caption;
    PlaceLabel();
}

bool TkznLabelEdit::IsAnswerRight() const
{
    return AnswerMatches(m_answer, text());
}

void TkznLabelEdit::PlaceLabel()
{
    if (!m_label)
        return;
    m_label->setFont(font());
    const QFontMetrics metrics(m_label->font());
    const QString shown = metrics.elidedText(m_caption, Qt::ElideRight, width());
    m_label->setText(shown);
    // A cut caption shows whole on the pointer.
    m_label->setToolTip(shown == m_caption ? QString() : PlainToolTip(m_caption));
    const int height = metrics.height();
    m_label->setGeometry(x(), y() - height - kLabelSpacing, width(), height);
}

void TkznLabelEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (!m_label)
        return;
    if (event->type() == QEvent::EnabledChange) {
        m_label->setEnabled(isEnabled());
    } else if (event->type() == QEvent::ParentChange) {
        m_label->setParent(parentWidget());
        PlaceLabel();
    }
    else if (event->type() == QEvent::FontChange)
        PlaceLabel();
}

void TkznLabelEdit::hideEvent(QHideEvent* event)
{
    QLineEdit::hideEvent(event);
    if (m_label && isHidden())
        m_label->hide();
}

void TkznLabelEdit::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    if (m_label && m_label->parentWidget())
        m_label->show();
}

void TkznLabelEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void TkznLabelEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}
