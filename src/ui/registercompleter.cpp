#include "ui/registercompleter.h"

#include "data/store.h"
#include "ui/windows.h"

#include <QLineEdit>
#include <QStringListModel>

#include <exception>

RegisterCompleter::RegisterCompleter(QLineEdit *field, std::vector<EquipmentItem::Kind> kinds, bool severalParts)
    : QCompleter(field), m_field(field), m_kinds(std::move(kinds)), m_several(severalParts)
{
    setModel(new QStringListModel(this));
    setCaseSensitivity(Qt::CaseInsensitive);
    setFilterMode(Qt::MatchContains);
    setCompletionMode(QCompleter::PopupCompletion);
    reload();
    field->setCompleter(this);
    // The register window may have changed the names meanwhile.
    connect(Windows::events(), &WindowEvents::closed, this, [this](const QString &name) {
        if (name == QLatin1String("frmequipment"))
            reload();
    });
}

void RegisterCompleter::reload()
{
    QStringList names;
    try {
        const std::shared_ptr<Store> store = Store::shared(ConnectionStrings::kBound);
        SQLite::Database &db = store->db();
        for (EquipmentItem::Kind kind : m_kinds)
            for (const EquipmentItem &item : Equipment::list(db, kind))
                names << item.name;
    } catch (const std::exception &) {
        // A store without the register offers nothing to complete.
    }
    static_cast<QStringListModel *>(model())->setStringList(names);
}

QStringList RegisterCompleter::splitPath(const QString &path) const
{
    if (!m_several)
        return {path.trimmed()};
    return {path.section(',', -1).trimmed()};
}

QString RegisterCompleter::pathFromIndex(const QModelIndex &index) const
{
    const QString chosen = QCompleter::pathFromIndex(index);
    if (!m_several || !m_field)
        return chosen;
    const QString text = m_field->text();
    const qsizetype comma = text.lastIndexOf(',');
    return comma < 0 ? chosen : text.left(comma).trimmed() + ", " + chosen;
}
