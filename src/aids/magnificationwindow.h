#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
struct LogbookDeclaration;

// The magnification calculator, the same window for every logbook.
class MagnificationWindow : public QDialog
{
    Q_OBJECT
public:
    // "Paste" writes into the logbook's magnification field.
    explicit MagnificationWindow(const LogbookDeclaration &logbook, QWidget *parent = nullptr);

    static const char *const kNotAboveZero;

    // "Calculate": true when Text3 shows a result.
    bool calculate();
    // "Paste": the result in front of the field's text; closes the window.
    void paste();

private:
    const LogbookDeclaration &m_logbook;
    QLineEdit *m_telescope;
    QLineEdit *m_eyepiece;
    QLineEdit *m_result;
    QRadioButton *m_telescopeInches;
    QRadioButton *m_eyepieceInches;
    QComboBox *m_barlow;
    // Items of the register: choosing one fills its length in; with a
    // telescope and an eyepiece chosen, Calculate shows the whole optics.
    QComboBox *m_registerScope;
    QComboBox *m_registerEyepiece;
    QComboBox *m_registerLens;
    QLabel *m_optics;
    void fillFromRegister();
    bool calculateFromRegister();
};
