#pragma once

#include "data/equipment.h"

#include <QCompleter>
#include <QPointer>

class QLineEdit;

// Offers the names of the register's items in a field as the user types.
// In a field of several parts ("Dob 8, Plossl 10") each comma-separated part
// completes on its own and the earlier parts stay.
class RegisterCompleter : public QCompleter
{
    Q_OBJECT
public:
    RegisterCompleter(QLineEdit *field, std::vector<EquipmentItem::Kind> kinds, bool severalParts);

    // Reads the names again (after the register changed).
    void reload();
    QStringList splitPath(const QString &path) const override;
    QString pathFromIndex(const QModelIndex &index) const override;

private:
    QPointer<QLineEdit> m_field;
    std::vector<EquipmentItem::Kind> m_kinds;
    bool m_several;
};
