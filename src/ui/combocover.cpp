#include "ui/combocover.h"

#include <QComboBox>
#include <QEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

ComboCover::ComboCover(QComboBox *box, const QString &text, const QString &objectName)
    : QLineEdit(text, box), m_box(box)
{
    setObjectName(objectName);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setFrame(false);
    setAccessibleName(text);
    box->installEventFilter(this);
    connect(box, &QComboBox::activated, this, &QWidget::hide);
    place();
}

bool ComboCover::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        place();
    return QLineEdit::eventFilter(watched, event);
}

void ComboCover::mousePressEvent(QMouseEvent *)
{
    m_box->showPopup();
}

void ComboCover::place()
{
    // Over the list's text, leaving its arrow free to click.
    QStyleOptionComboBox option;
    option.initFrom(m_box);
    option.editable = m_box->isEditable();
    setGeometry(
        m_box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, m_box));
}
