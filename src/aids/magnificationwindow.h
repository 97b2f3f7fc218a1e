#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QRadioButton;

// One logbook's calculator: the field "Paste" writes into.
struct MagnificationMember
{
    const char *window;  // "frmmag_mess"
    const char *logbook; // "frmmess"
    const char *field;   // "txtFields_9"
};

// The magnification calculator, the same window for every logbook.
class MagnificationWindow : public QDialog
{
    Q_OBJECT
public:
    explicit MagnificationWindow(const MagnificationMember &member, QWidget *parent = nullptr);

    static const std::vector<MagnificationMember> &members();
    static const MagnificationMember *member(const QString &window);

    static const char *const kNotAboveZero;

    // "Calculate": true when Text3 shows a result.
    bool calculate();
    // "Paste": the result in front of the field's text; closes the window.
    void paste();

private:
    MagnificationMember m_member;
    QLineEdit *m_telescope;
    QLineEdit *m_eyepiece;
    QLineEdit *m_result;
    QRadioButton *m_telescopeInches;
    QRadioButton *m_eyepieceInches;
    QComboBox *m_barlow;
};
