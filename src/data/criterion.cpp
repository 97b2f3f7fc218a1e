#include "data/criterion.h"

#include "data/dataerror.h"
#include "data/jetdialect.h"

namespace {

QString trimRight(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

int compareText(const QString &a, const QString &b)
{
    return QString::compare(trimRight(a), trimRight(b), Qt::CaseInsensitive);
}

bool isNumeric(const QVariant &v, double *out)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
        *out = v.toDouble();
        return true;
    default: {
        bool ok = false;
        *out = v.toString().trimmed().toDouble(&ok);
        return ok;
    }
    }
}

bool applyOrder(Criterion::Op op, int cmp)
{
    switch (op) {
    case Criterion::Op::Equal: return cmp == 0;
    case Criterion::Op::NotEqual: return cmp != 0;
    case Criterion::Op::Less: return cmp < 0;
    case Criterion::Op::Greater: return cmp > 0;
    case Criterion::Op::LessEqual: return cmp <= 0;
    case Criterion::Op::GreaterEqual: return cmp >= 0;
    case Criterion::Op::Like: return false;
    }
    return false;
}

[[noreturn]] void malformed(const QString &text, const QString &why)
{
    throw DataError("The find criterion \"" + text + "\" cannot be used: " + why + ".");
}

} // namespace

Criterion Criterion::parse(const QString &text)
{
    Criterion c;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    skipBlanks();
    const int nameStart = i;
    if (i < n && text.at(i) == '[') {
        const int close = int(text.indexOf(']', i));
        if (close < 0)
            malformed(text, "a bracketed name is not closed");
        c.column = text.mid(i + 1, close - i - 1);
        i = close + 1;
    } else {
        while (i < n && (text.at(i).isLetterOrNumber() || text.at(i) == '_'))
            ++i;
        c.column = text.mid(nameStart, i - nameStart);
    }
    if (c.column.isEmpty())
        malformed(text, "it names no column");
    skipBlanks();
    if (i >= n)
        malformed(text, "it has no operator");
    if (text.mid(i, 4).compare("like", Qt::CaseInsensitive) == 0 &&
        (i + 4 >= n || !text.at(i + 4).isLetterOrNumber())) {
        c.op = Op::Like;
        i += 4;
    } else {
        static const struct { const char *sym; Op op; } ops[] = {
            {"<>", Op::NotEqual}, {"<=", Op::LessEqual}, {">=", Op::GreaterEqual},
            {"=", Op::Equal},     {"<", Op::Less},       {">", Op::Greater}};
        bool found = false;
        for (const auto &o : ops) {
            const QString sym = QString::fromLatin1(o.sym);
            if (text.mid(i, sym.size()) == sym) {
                c.op = o.op;
                i += int(sym.size());
                found = true;
                break;
            }
        }
        if (!found)
            malformed(text, "the operator is not one of = <> < > <= >= like");
    }
    skipBlanks();
    if (i >= n)
        malformed(text, "it has no value");
    const QChar q = text.at(i);
    if (q == '\'' || q == '"' || q == '#') {
        QString value;
        ++i;
        bool closed = false;
        while (i < n) {
            if (text.at(i) == q) {
                if (i + 1 < n && text.at(i + 1) == q && q != '#') {
                    value += q;
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            value += text.at(i++);
        }
        if (!closed)
            malformed(text, "a quoted value is not closed");
        c.value = value;
        c.quoted = true;
    } else {
        const QString rest = text.mid(i).trimmed();
        bool ok = false;
        const double d = rest.toDouble(&ok);
        if (ok)
            c.value = d;
        else if (rest.compare("true", Qt::CaseInsensitive) == 0)
            c.value = 1.0; // booleans are stored 0/1
        else if (rest.compare("false", Qt::CaseInsensitive) == 0)
            c.value = 0.0;
        else if (rest.contains(' '))
            malformed(text, "an unquoted value has blanks in it");
        else
            c.value = rest;
        i = n;
    }
    skipBlanks();
    if (i < n)
        malformed(text, "there is text after the value");
    if (c.op == Op::Like && !c.quoted && c.value.typeId() == QMetaType::Double)
        c.value = text.mid(text.lastIndexOf(' ') + 1).trimmed();
    return c;
}

bool Criterion::matches(const QVariant &cell) const
{
    if (cell.isNull())
        return false;
    if (op == Op::Like)
        return JetDialect::likeMatch(value.toString(), cell.toString());
    if (value.typeId() == QMetaType::Double) {
        double x = 0;
        if (!isNumeric(cell, &x))
            return false;
        const double v = value.toDouble();
        return applyOrder(op, x < v ? -1 : (x > v ? 1 : 0));
    }
    return applyOrder(op, compareText(cell.toString(), value.toString()));
}
