#pragma once

#include <QString>
#include <QVariant>

// A find criterion "column op value" as the windows write them:
//   mes = '42'      object ='NGC 224'     best_number = 12
//   Notes Like  '*galaxy*'    view_notes like '*it''s*'
// Values are quoted text (doubled quotes inside), numbers, or a bare word.
// Parsed, never pasted into SQL; malformed text throws DataError.
struct Criterion
{
    enum class Op { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };

    QString column;
    Op op = Op::Equal;
    QVariant value;      // QString for quoted or bare text, double for a number
    bool quoted = false;

    static Criterion parse(const QString &text);

    // True when a cell value satisfies the criterion. Text compares without
    // regard to case or trailing blanks; NULL never matches.
    bool matches(const QVariant &cell) const;
};
