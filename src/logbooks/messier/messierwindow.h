#pragma once

#include "logbooks/logbookwindow.h"

#include <QPixmap>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QResizeEvent;

// frmmess: the logbook of the 110 Messier objects, in number or month order,
// with the object's picture and the month notes and worksheet.
class MessierWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit MessierWindow(QWidget *parent = nullptr);

    // The picture file of a row key: pics/ + the key in three digits + .jpg.
    static QString pictureFile(const QString &id);

    void jumpToNumber(const QString &number); // Combo1
    void jumpToMonth(const QString &month);   // Combo4
    void showMonthNotes();                    // Command2

protected:
    void afterMove() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildOwnParts();
    void onFieldChanged(int index);
    void loadPicture();
    void showPicture();

    QComboBox *m_combo1;
    QComboBox *m_combo4;
    QLineEdit *m_text11;
    QLabel *m_picture;
    QPixmap m_pictureSource; // the file as loaded, scaled to the box on each resize
    QPushButton *m_command2;
    QPushButton *m_command4;
};
