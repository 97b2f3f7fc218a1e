#pragma once

#include "logbooks/logbookwindow.h"

#include <QPixmap>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QResizeEvent;

// frmmess: the logbook of the 110 Messier objects, in number or month order.
class MessierWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit MessierWindow(QWidget *parent = nullptr);

    static const char *const kDateMessage;
    static const CopyPairs &copyPairs();

    // The picture file of a row key: pics/ + the key in three digits + .jpg.
    static QString pictureFile(const QString &id);

    void jumpToNumber(const QString &number);   // Combo1
    void jumpToMonth(const QString &month);     // Combo4
    enum class Nav { First, Previous, Next, Last };
    bool navigate(Nav nav);                     // Command7, Command12, Command11, Command8
    bool updateAll();                           // Command3
    void insertDefaults();                      // Command10
    bool storeDefaults();                       // Command13
    void showMonthNotes();                      // Command2

signals:
    // The report, map and worksheet items; the subsystems that serve them connect here.
    void reportRequested(const QString &file);
    void monthWorksheetRequested(const QString &caption);
    void endReportRequested();
    void mapRequested(const QString &messierNumber);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildUi();
    void buildMenus();
    void onFieldChanged(int index);
    void syncCombos();
    void loadPicture();
    void showPicture();

    QComboBox *m_combo1;
    QComboBox *m_combo4;
    QLineEdit *m_text11;
    QLabel *m_picture;
    QPixmap m_pictureSource; // the file as loaded, scaled to the box on each resize
    QLabel *m_caption;
    QPushButton *m_command2;
    QPushButton *m_command4;
};
