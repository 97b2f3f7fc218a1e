#include "logbooks/sac/sacsearch.h"

namespace SacSearch {

NgcAnswer readNgcAnswer(const QString &answer)
{
    NgcAnswer a;
    if (answer.isEmpty())
        return a;
    if (answer.contains(' ')) {
        a.kind = NgcAnswer::Kind::HasBlank;
        return a;
    }
    const QString head = answer.left(3);
    if (head == "ngc" || head == "NGC") {
        a.kind = NgcAnswer::Kind::Number;
        a.number = answer.mid(3, 100);
        return a;
    }
    bool ok = false;
    const double n = answer.toDouble(&ok);
    if (!ok || n <= 0 || n >= 7841) {
        a.kind = NgcAnswer::Kind::OutOfRange;
        return a;
    }
    a.kind = NgcAnswer::Kind::Number;
    a.number = answer;
    return a;
}

QString ngcCriterion(const QString &number)
{
    return "object = 'ngc" + number + "'";
}

const QStringList &searchFields()
{
    static const QStringList fields = {"Notes", "Other Name", "NGC Description", "Personal Notes"};
    return fields;
}

QString pattern(const QString &typed, const QString &field)
{
    QString p = "*" + typed + "*";
    const QString f = field.isEmpty() ? QString("Notes") : field;
    const qsizetype quote = p.indexOf('\'');
    if (searchFields().contains(f) && quote >= 0)
        p.insert(quote, '\'');
    return p;
}

QString criterion(const QString &field, const QString &pattern)
{
    if (field == "Personal Notes")
        return "view_notes Like  '" + pattern + "'";
    if (field == "Other Name")
        return "other like '" + pattern + "'";
    if (field == "NGC Description")
        return "ngc_descr like '" + pattern + "'";
    return "Notes Like  '" + pattern + "'";
}

bool acceptsDescription(const QString &description, const QString &typed)
{
    if (!description.contains(typed, Qt::CaseSensitive))
        return false;
    for (const char *word : {"Seen", "seen", "degrees", "between"})
        if (description.contains(QLatin1String(word), Qt::CaseSensitive))
            return false;
    return true;
}

} // namespace SacSearch
