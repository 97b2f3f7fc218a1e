#pragma once

#include <QLineEdit>

class QComboBox;

// A read-only text lying over the text part of a drop-down list, showing
// what an empty choice means ("Notes", "Any") until an item is picked; a
// click on it opens the list, and picking an item uncovers the list.
class ComboCover : public QLineEdit
{
    Q_OBJECT
public:
    ComboCover(QComboBox *box, const QString &text, const QString &objectName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void place();

    QComboBox *m_box;
};
