#pragma once

#include "ui/logbookwindow.h"

class DataFormWidget;

// frmdstars: the best double and multiple stars in ID order, with the
// standard data-form commands and the Greek alphabet beside the names.
class StarsWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit StarsWindow(QWidget *parent = nullptr);

    // Character 229 of the Symbol typeface, the summation sign, shown in Text1.
    static QString symbolCharacter();

protected:
    void ownAction(const QString &key) override;

private:
    void buildOwnParts();
    DataFormWidget *m_commands = nullptr;
};
