#pragma once

#include "reports/programmeprogress.h"
#include "reports/reportdocument.h"

#include <QDate>
#include <QString>

#include <memory>

// The page an observer frames once a programme is done: who completed it,
// when the work began and ended, and the sky map of the list, followed by
// the list itself with the date each object was observed.
namespace ProgressCertificate {

inline constexpr const char *kTitle = "Certificate of Completion";

// The observer named on the certificate: the account's user name.
QString observerName();

std::shared_ptr<ReportDocument> build(const ProgrammeStatus &status, const QString &observer,
                                      const QDate &printed = QDate::currentDate());

} // namespace ProgressCertificate
