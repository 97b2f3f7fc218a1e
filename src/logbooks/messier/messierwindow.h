#pragma once

#include "ui/logbookwindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class PictureBox;

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

private:
    void buildOwnParts();
    void onFieldChanged(int index);
    void loadPicture();

    QComboBox *m_combo1;
    QComboBox *m_combo4;
    QLineEdit *m_text11;
    PictureBox *m_picture;
    QPushButton *m_command2;
    QPushButton *m_command4;
};
