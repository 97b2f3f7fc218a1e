#pragma once

#include "ui/logbookdeclaration.h"

#include <QObject>

#include <functional>

class QGroupBox;
class QPushButton;
class QVBoxLayout;
class QWidget;
class RecordBinder;

// The bound fields of a declaration, built the one way every logbook and
// observation window shows them: labelled rows with their aid buttons
// beside them, the defaults two to a row with "Ins" and "U", and the copying
// between the record and its defaults.
class LogbookForm : public QObject
{
public:
    struct Handlers
    {
        std::function<void()> insert;                   // "Ins"
        std::function<void()> store;                    // "U"
        std::function<void(const QString &key)> ownAid; // an aid the window runs itself
    };

    LogbookForm(const LogbookDeclaration &book, QWidget *owner, RecordBinder *record, RecordBinder *defaults,
                Handlers handlers);

    // One field, bound to its row.
    QWidget *field(const LogbookField &f) const;
    // The titled box of the fields of `group`; `inner` is the box's own
    // layout, for what a window adds below the fields.
    QGroupBox *group(const QString &group, QVBoxLayout **inner = nullptr) const;
    // "Ins" (insert) or "U", connected to its handler.
    QPushButton *copyButton(bool insert, QWidget *parent) const;
    void runAid(const LogbookAidButton &aid) const;

    // "Ins" copies each default into the record's control; "U" back.
    void copyDefaultsIn() const;
    void copyToDefaults() const;

private:
    QPushButton *aidButton(const QString &objectName) const;
    QWidget *control(const QString &name) const;

    const LogbookDeclaration &m_book;
    QWidget *m_owner;
    RecordBinder *m_record;
    RecordBinder *m_defaults;
    Handlers m_handlers;
};
