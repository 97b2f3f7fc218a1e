#include "ui/registerdefaults.h"

#include "data/catalogue.h"
#include "data/equipment.h"
#include "data/store.h"
#include "ui/controlvalue.h"
#include "ui/logbookdeclaration.h"

#include <QStringList>
#include <QWidget>

#include <exception>

namespace RegisterDefaults {

void fillEmpty(QWidget *window, const LogbookDeclaration &book, bool defaultsRow)
{
    const Catalogue *catalogue = Catalogues::find(book.table);
    if (!catalogue)
        return;
    using Kind = EquipmentItem::Kind;
    QString instrument, site;
    try {
        SQLite::Database &db = Store::shared(ConnectionStrings::kBound)->db();
        QStringList parts;
        for (Kind kind : {Kind::Telescope, Kind::Eyepiece})
            if (const auto item = Equipment::defaultItem(db, kind))
                parts << item->name;
        instrument = parts.join(", ");
        if (const auto item = Equipment::defaultItem(db, Kind::Site))
            site = item->name;
    } catch (const std::exception &) {
        return; // a store without the register has nothing to carry
    }
    for (const LogbookField &f : book.fields) {
        if (f.onDefaults || f.column.isEmpty())
            continue;
        QString value;
        if (f.column.compare(catalogue->observation.instrument, Qt::CaseInsensitive) == 0)
            value = instrument;
        else if (f.column.compare(catalogue->observation.location, Qt::CaseInsensitive) == 0)
            value = site;
        if (value.isEmpty())
            continue;
        QString name = f.objectName;
        if (defaultsRow) {
            name.clear();
            for (const auto &[from, to] : book.copyPairs)
                if (to == f.objectName)
                    name = from;
        }
        QWidget *control = name.isEmpty() ? nullptr : window->findChild<QWidget *>(name);
        if (control && ControlValue::text(control).trimmed().isEmpty())
            ControlValue::setText(control, value);
    }
}

} // namespace RegisterDefaults
